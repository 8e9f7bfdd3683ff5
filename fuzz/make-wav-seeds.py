#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Writes the WAV reader's seed corpus into fuzz/corpus/wav: short sounds of
every format the reader takes, and the odd files a user's folder may hold
instead (cut off, empty, sizes far past the end, wrong formats, chunks in odd
places). Every seed is a few hundred bytes at most; the sizes a header claims
are what makes them "huge"."""
import math
import os
import struct
import sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "wav")
SUBFORMAT_TAIL = b"\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71"


def samples(frames, bits, channels, coding):
    out = bytearray()
    for i in range(frames):
        x = 0.5 * math.sin(2 * math.pi * i / 16)
        for _ in range(channels):
            if coding == 3:
                out += struct.pack("<f" if bits == 32 else "<d", x)
            elif bits == 8:
                out.append(128 + int(x * 127))
            else:
                v = int(x * ((1 << (bits - 1)) - 1))
                out += (v & ((1 << bits) - 1)).to_bytes(bits // 8, "little")
    return bytes(out)


def fmt(coding=1, channels=1, rate=8000, bits=16, extensible=False, align=None, tag=None):
    align = channels * bits // 8 if align is None else align
    body = struct.pack("<HHIIHH", tag if tag is not None else (0xFFFE if extensible else coding),
                       channels, rate, (rate * align) & 0xFFFFFFFF, align, bits)
    if extensible:
        body += struct.pack("<HHIH", 22, bits, 0x4 if channels == 1 else 0x3, coding) + SUBFORMAT_TAIL
    return body


def chunk(name, body, length=None):
    length = len(body) if length is None else length
    pad = b"\x00" if len(body) % 2 else b""
    return name + struct.pack("<I", length) + body + pad


def riff(*chunks, size=None, form=b"WAVE"):
    body = form + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body) if size is None else size) + body


def wav(frames=32, coding=1, channels=1, rate=8000, bits=16, extensible=False):
    return riff(chunk(b"fmt ", fmt(coding, channels, rate, bits, extensible)),
                chunk(b"data", samples(frames, bits, channels, coding)))


def seeds():
    plain = wav()
    yield "pcm16-mono", plain
    yield "pcm8", wav(bits=8)
    yield "pcm24", wav(bits=24)
    yield "pcm32", wav(bits=32)
    yield "float32", wav(coding=3, bits=32)
    yield "float64", wav(coding=3, bits=64)
    yield "stereo16", wav(channels=2)
    yield "extensible16", wav(extensible=True)
    yield "extensible-float-stereo", wav(coding=3, bits=32, channels=2, extensible=True)
    yield "list-odd-length", riff(chunk(b"fmt ", fmt()), chunk(b"LIST", b"INFOISFT\x07\x00\x00\x00Tarmalo"),
                                  chunk(b"data", samples(16, 16, 1, 1)))
    yield "data-before-fmt", riff(chunk(b"data", samples(16, 16, 1, 1)), chunk(b"fmt ", fmt()))
    yield "many-chunks", riff(*[chunk(b"junk", bytes([i])) for i in range(40)], chunk(b"fmt ", fmt()),
                              chunk(b"data", samples(8, 16, 1, 1)))
    yield "empty", b""
    yield "riff-only", b"RIFF\x00\x00\x00\x00"
    yield "truncated-header", plain[:20]
    yield "truncated-fmt", plain[:30]
    yield "cut-off-data", plain[:60]
    yield "odd-cut", plain[:61]
    yield "huge-data-size", riff(chunk(b"fmt ", fmt()), chunk(b"data", samples(8, 16, 1, 1), length=0xFFFFFFFF))
    yield "huge-riff-size", riff(chunk(b"fmt ", fmt()), chunk(b"data", samples(8, 16, 1, 1)), size=0xFFFFFFFF)
    yield "huge-fmt-size", riff(chunk(b"fmt ", fmt(), length=0xFFFFFFF0), chunk(b"data", b"\x00" * 16))
    yield "huge-list-size", riff(chunk(b"fmt ", fmt()), chunk(b"LIST", b"INFO", length=0x7FFF0000),
                                 chunk(b"data", b"\x00" * 16))
    yield "zero-fmt", riff(chunk(b"fmt ", b""), chunk(b"data", b"\x00" * 16))
    yield "short-fmt", riff(chunk(b"fmt ", fmt()[:14]), chunk(b"data", b"\x00" * 16))
    yield "short-extensible", riff(chunk(b"fmt ", fmt(extensible=True)[:18]), chunk(b"data", b"\x00" * 16))
    yield "no-data", riff(chunk(b"fmt ", fmt()))
    yield "no-fmt", riff(chunk(b"data", b"\x00" * 16))
    yield "empty-data", riff(chunk(b"fmt ", fmt()), chunk(b"data", b""))
    yield "zero-channels", riff(chunk(b"fmt ", fmt(channels=0, align=2)), chunk(b"data", b"\x00" * 16))
    yield "six-channels", riff(chunk(b"fmt ", fmt(channels=6)), chunk(b"data", b"\x00" * 48))
    yield "rate-zero", riff(chunk(b"fmt ", fmt(rate=0)), chunk(b"data", b"\x00" * 16))
    yield "rate-huge", riff(chunk(b"fmt ", fmt(rate=0xFFFFFFFF)), chunk(b"data", b"\x00" * 16))
    yield "wrong-align", riff(chunk(b"fmt ", fmt(align=3)), chunk(b"data", b"\x00" * 16))
    yield "bits-12", riff(chunk(b"fmt ", fmt(bits=12, align=2)), chunk(b"data", b"\x00" * 16))
    yield "bits-0", riff(chunk(b"fmt ", fmt(bits=0, align=0)), chunk(b"data", b"\x00" * 16))
    yield "adpcm", riff(chunk(b"fmt ", fmt(tag=2)), chunk(b"data", b"\x00" * 16))
    yield "float16", riff(chunk(b"fmt ", fmt(coding=3, bits=16)), chunk(b"data", b"\x00" * 16))
    yield "float-nan-inf", riff(chunk(b"fmt ", fmt(coding=3, bits=32)),
                                chunk(b"data", struct.pack("<4f", float("nan"), float("inf"), -float("inf"), 7.0)))
    yield "rifx", b"RIFX" + plain[4:]
    yield "rf64", b"RF64" + plain[4:]
    yield "avi", riff(chunk(b"LIST", b"hdrl"), form=b"AVI ")
    yield "text", b"This is not a sound.\n"
    yield "folder-listing", b"RIFF\x10\x00\x00\x00WAVE./Ding.wav/../BoardComplete.wav\x00"
    yield "zeros", b"\x00" * 64


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, data in seeds():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)
    print(f"wrote the seeds into {OUT}", file=sys.stderr)


if __name__ == "__main__":
    main()
