# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Tells which of the program's WAV files reached the sink, and when.

Both the recording of the sink's monitor and each WAV file are reduced to a
loudness envelope (20 ms frames); every onset after a pause in the recording
is compared with each file's envelope, and the best match above a threshold
names the sound.
"""

import audioop
import math
import re
import wave
from pathlib import Path

RATE = 22050
FRAME = RATE // 50  # 20 ms
SILENT = 40  # RMS of a 16-bit frame below which the sink counts as quiet
PAUSE = 10  # frames of quiet before an onset (0.2 s)
MATCH = 0.85  # lowest correlation that names a sound
# A starved machine can leave the sink without data for a moment (an
# underrun): the sink plays digital silence and the rest of the sound comes
# late. All the gaps within one sound together may last this long (frames).
DROPOUTS = 250
_ZEROS = re.compile(rb"(?:\x00\x00){32,}")

NAMES = ("Ding.wav", "BoardComplete.wav", "Gndbrief.wav", "Pretaxbr.wav")


def _pcm_mono(path):
    with wave.open(str(path), "rb") as w:
        ch, width, rate = w.getnchannels(), w.getsampwidth(), w.getframerate()
        data = w.readframes(w.getnframes())
    if width != 2:
        data = audioop.lin2lin(data, width, 2)
    if ch == 2:
        data = audioop.tomono(data, 2, 0.5, 0.5)
    elif ch != 1:
        raise ValueError(f"{path}: {ch} channels")
    if rate != RATE:
        data, _ = audioop.ratecv(data, 2, 1, rate, RATE, None)
    return data


def envelope(pcm):
    n = len(pcm) // (2 * FRAME)
    return [audioop.rms(pcm[i * 2 * FRAME:(i + 1) * 2 * FRAME], 2) for i in range(n)]


def _squeeze(pcm, want=None):
    """pcm without its runs of digital silence, and how many bytes of pcm it
    took to get `want` bytes of sound (all of pcm when want is None)."""
    out, pos = [], 0
    have = 0
    for m in _ZEROS.finditer(pcm):
        lo, hi = m.start() + (m.start() & 1), m.end() - ((m.end() - m.start() - (m.start() & 1)) & 1)
        if hi - lo < 64:
            continue
        piece = pcm[pos:lo]
        if want is not None and have + len(piece) >= want:
            out.append(piece[:want - have])
            return b"".join(out), pos + (want - have)
        out.append(piece)
        have += len(piece)
        pos = hi
    piece = pcm[pos:]
    if want is not None and have + len(piece) >= want:
        out.append(piece[:want - have])
        return b"".join(out), pos + (want - have)
    out.append(piece)
    return b"".join(out), len(pcm)


def _active_span(env):
    idx = [i for i, v in enumerate(env) if v > SILENT]
    return (idx[0], idx[-1] + 1) if idx else (0, 0)


def _corr(a, b):
    n = min(len(a), len(b))
    if n < 10:
        return 0.0
    a, b = a[:n], b[:n]
    ma, mb = sum(a) / n, sum(b) / n
    sab = sum((x - ma) * (y - mb) for x, y in zip(a, b))
    saa = sum((x - ma) ** 2 for x in a)
    sbb = sum((y - mb) ** 2 for y in b)
    return sab / math.sqrt(saa * sbb) if saa > 0 and sbb > 0 else 0.0


class Templates:
    def __init__(self, folder):
        self.env = {}
        self.squeezed = {}  # (envelope without digital silence, its length in bytes)
        self.seconds = {}
        for name in NAMES:
            pcm = _pcm_mono(Path(folder) / name)
            env = envelope(pcm)
            lo, hi = _active_span(env)
            # Square roots keep the loudest syllables from outweighing the rest.
            self.env[name] = [math.sqrt(v) for v in env[lo:hi]]
            self.seconds[name] = (hi - lo) * FRAME / RATE
            sq, _ = _squeeze(pcm[lo * 2 * FRAME:hi * 2 * FRAME])
            self.squeezed[name] = ([math.sqrt(v) for v in envelope(sq)], len(sq))


def _with_dropouts(pcm, i, templates):
    """The best match from frame i for a sound broken by gaps of digital
    silence, compared without them: (score, name, frame where it ended)."""
    best = (0.0, None, i)
    for name, (tpl, size) in templates.squeezed.items():
        start = i * 2 * FRAME
        window = pcm[start:start + 2 * FRAME * (len(templates.env[name]) + DROPOUTS)]
        sq, used = _squeeze(window, size)
        if len(sq) < size:
            continue
        score = _corr([math.sqrt(v) for v in envelope(sq)], tpl)
        if score > best[0]:
            best = (score, name, i + -(-used // (2 * FRAME)))
    return best


def detect(raw_path, templates):
    """[(first sample, file name, score, length in s)] in order (a sound with
    drop-outs as long as it took to play), and the
    onsets that matched no file: [(first sample, best name, best score)]."""
    pcm = Path(raw_path).read_bytes()
    env = envelope(pcm)
    root = [math.sqrt(v) for v in env]
    found, unknown = [], []
    i, quiet = 0, PAUSE
    while i < len(env):
        if env[i] <= SILENT:
            quiet += 1
            i += 1
            continue
        if quiet < PAUSE:
            i += 1
            continue
        best = (0.0, None, 0)
        for name, tpl in templates.env.items():
            if i + len(tpl) > len(env) + 5:
                continue  # the recording ends before this sound could
            for lag in range(-2, 3):
                j = max(0, i + lag)
                score = _corr(root[j:j + len(tpl)], tpl)
                if score > best[0]:
                    best = (score, name, j)
        score, name, j = best
        if not (name and score >= MATCH):
            late = _with_dropouts(pcm, i, templates)
            if late[0] >= MATCH:
                # As long as it took to play, gaps included.
                score, name, end = late
                found.append((i * FRAME, name, score, (end - i) * FRAME / RATE))
                i, quiet = end, 0
                continue
        if name and score >= MATCH:
            found.append((j * FRAME, name, score, templates.seconds[name]))
            i = j + len(templates.env[name])
            quiet = 0
        else:
            unknown.append((i * FRAME, name, score))
            i += 1
            quiet = 0
    return found, unknown
