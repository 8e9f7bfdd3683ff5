#!/bin/sh

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Scores how well a speech recogniser understands the announcements: each
# one is decoded with pocketsphinx (16 kHz mono, the model's own rate) and
# its word error rate against the text in announcements.txt is printed,
# with its loudness when ffmpeg is there.
#
# Usage: check-sounds.sh [-d] [SOUNDS_DIR]   (default: the sounds folder here)
#   -d  also remake the sounds in a temporary folder, keeping the dry voice
#       before the loudspeaker, and score the dry voice and the remade files.
#
# Needs: apt-get install pocketsphinx pocketsphinx-en-us sox
#        (ffmpeg for loudness; with -d also what make-sounds.sh needs)
# Exits 1 when a dry voice is above 20 % or a finished sound above 30 %.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
dry=0
if [ "${1:-}" = "-d" ]; then
    dry=1
    shift
fi
dir=${1:-$here/sounds}
texts=$here/announcements.txt

for tool in pocketsphinx_continuous sox; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "check-sounds.sh: $tool is missing (apt-get install pocketsphinx pocketsphinx-en-us sox)" >&2
        exit 2
    fi
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT INT TERM

# heard WAV: what the recogniser makes of it, on one line.  The file is
# decoded as one piece: split by the voice activity detector, the chime
# becomes an utterance of its own, and the running cepstral mean learnt
# from its pure tones garbles the words that follow (a listener is not
# thrown by a chime).
heard() {
    sox -R -V1 "$1" -r 16000 -c 1 -b 16 -e signed-integer "$tmp/16k.wav" remix - rate -v 16000
    if ! pocketsphinx_continuous -infile "$tmp/16k.wav" -remove_silence no \
        -logfn "$tmp/log" </dev/null >"$tmp/heard" 2>"$tmp/err"; then
        echo "check-sounds.sh: pocketsphinx failed on $1 (is pocketsphinx-en-us installed?)" >&2
        tail -n 3 "$tmp/log" "$tmp/err" >&2
        exit 2
    fi
    tr '\n' ' ' <"$tmp/heard"
}

# wer REFERENCE HYPOTHESIS: word error rate in per cent, as
# (substitutions + deletions + insertions) / words of the reference.
wer() {
    awk -v ref="$1" -v hyp="$2" '
    function words(s, a) {
        s = tolower(s)
        gsub(/[^a-z'\'']+/, " ", s)
        return split(s, a, " ")
    }
    BEGIN {
        n = words(ref, r); m = words(hyp, h)
        for (j = 0; j <= m; j++) d[0, j] = j
        for (i = 1; i <= n; i++) {
            d[i, 0] = i
            for (j = 1; j <= m; j++) {
                c = d[i - 1, j - 1] + (r[i] != h[j])
                if (d[i - 1, j] + 1 < c) c = d[i - 1, j] + 1
                if (d[i, j - 1] + 1 < c) c = d[i, j - 1] + 1
                d[i, j] = c
            }
        }
        printf "%.0f\n", n ? 100 * d[n, m] / n : 0
    }'
}

# loudness WAV: integrated loudness and true peak, by EBU R 128.
loudness() {
    if ! command -v ffmpeg >/dev/null 2>&1; then
        echo "-"
        return
    fi
    ffmpeg -nostdin -nostats -hide_banner -i "$1" -af ebur128=peak=true -f null - 2>&1 |
        awk '/Integrated loudness:/ { f = 1 } f && /I:/ { i = $2 } /True peak:/ { p = 1 }
             p && /Peak:/ { pk = $2 } END { printf "%s LUFS, peak %s dBTP\n", i, pk }'
}

failed=0
# score LABEL WAV TEXT LIMIT
score() {
    h=$(heard "$2")
    w=$(wer "$3" "$h")
    verdict=ok
    if [ "$w" -gt "$4" ]; then
        verdict="above $4 %"
        failed=1
    fi
    printf '%-26s WER %3s %%  %-10s %s\n' "$1" "$w" "$verdict" "$(loudness "$2")"
    printf '%-26s heard: %s\n' "" "$h"
}

if [ "$dry" = 1 ]; then
    sh "$here/make-sounds.sh" -d "$tmp/dry" "$tmp/made" >/dev/null
fi

for f in Ding.wav $(awk -F '\t' '!/^#/ { print $1 }' "$texts"); do
    if [ ! -f "$dir/$f" ]; then
        echo "check-sounds.sh: $dir/$f is missing" >&2
        exit 2
    fi
done

printf '%-26s %-21s %s\n' "Ding.wav" "" "$(loudness "$dir/Ding.wav")"
tab=$(printf '\t')
while IFS=$tab read -r name text <&3; do
    case $name in '#'* | '') continue ;; esac
    score "$name" "$dir/$name" "$text" 30
    if [ "$dry" = 1 ]; then
        score "  dry voice" "$tmp/dry/$name" "$text" 20
        score "  remade" "$tmp/made/$name" "$text" 30
    fi
done 3<"$texts"
exit $failed
