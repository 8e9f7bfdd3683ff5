#!/bin/sh

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# shellcheck disable=SC2086  # $FMT holds several sox options, split on purpose
# Makes the four announcement sounds: the crew speaks with Festival's
# HTS voice cmu_us_slt_arctic_hts, the captain with Flite's rms voice, and
# sox turns them into a cabin loudspeaker with a chime in front.
# Usage: make-sounds.sh [-d DRY_DIR] [OUTPUT_DIR]   (default: the sounds folder here)
#   -d  also write each voice as spoken, before the loudspeaker, to DRY_DIR
#       (check-sounds.sh -d scores it).
#
# Needs: apt-get install festival festvox-us-slt-hts flite sox
# The WAVs are committed; run this only to change them.  Output is 16-bit
# mono PCM at 22050 Hz, every sound at the same loudness.  sox runs in repeatable mode (-R), so its noise and
# dither are seeded and a re-run with the same tools gives the same files.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
dry=
if [ "${1:-}" = "-d" ]; then
    dry=${2:?make-sounds.sh: -d needs a folder}
    shift 2
fi
out=${1:-$here/sounds}
texts=$here/announcements.txt
RATE=22050
# Integrated loudness of every sound, by EBU R 128.
LUFS=-23

for tool in text2wave flite sox soxi od; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "make-sounds.sh: $tool is missing" \
            "(apt-get install festival festvox-us-slt-hts flite sox)" >&2
        exit 1
    fi
done

mkdir -p "$out"
out=$(cd "$out" && pwd)
if [ -n "$dry" ]; then
    mkdir -p "$dry"
    dry=$(cd "$dry" && pwd)
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT INT TERM

sx() { sox -R -V1 "$@"; }
calc() { awk "BEGIN { printf \"%.4f\", $1 }"; }
FMT="-r $RATE -c 1 -b 16 -e signed-integer"

# lufs WAV: integrated loudness by EBU R 128 (ITU-R BS.1770): K-weighted,
# in 400 ms blocks every 100 ms, gated at -70 LUFS and then at 10 LU below
# the mean of what is left.  It agrees with ffmpeg's ebur128 to 0.1 LU.
lufs() {
    rate=$(soxi -r "$1")
    sox -V1 "$1" -t f32 -c 1 - | od -An -v -f -w4 | awk -v rate="$rate" '
    function tan(x) { return sin(x) / cos(x) }
    BEGIN {
        pi = atan2(0, -1)
        # the two K-weighting filters, designed for the rate of the file
        f0 = 1681.974450955533; G = 3.999843853973347; Q = 0.7071752369554196
        K = tan(pi * f0 / rate); Vh = 10 ^ (G / 20); Vb = Vh ^ 0.4996667741545416
        a0 = 1 + K / Q + K * K
        b0 = (Vh + Vb * K / Q + K * K) / a0; b1 = 2 * (K * K - Vh) / a0; b2 = (Vh - Vb * K / Q + K * K) / a0
        a1 = 2 * (K * K - 1) / a0; a2 = (1 - K / Q + K * K) / a0
        f0 = 38.13547087602444; Q = 0.5003270373238773
        K = tan(pi * f0 / rate)
        c1 = 2 * (K * K - 1) / (1 + K / Q + K * K); c2 = (1 - K / Q + K * K) / (1 + K / Q + K * K)
        step = int(rate / 10 + 0.5)
    }
    {
        x = $1
        y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2
        x2 = x1; x1 = x; y2 = y1; y1 = y
        z = y - 2 * y1p + y2p - c1 * z1 - c2 * z2
        y2p = y1p; y1p = y; z2 = z1; z1 = z
        acc += z * z; n++
        if (n == step) { q[nq++] = acc / step; acc = 0; n = 0 }
    }
    END {
        for (i = 3; i < nq; i++) {
            m = (q[i] + q[i - 1] + q[i - 2] + q[i - 3]) / 4
            if (m > 0 && -0.691 + 10 * log(m) / log(10) > -70) { blk[nb++] = m; s += m }
        }
        if (!nb) exit 1
        thr = -0.691 + 10 * log(s / nb) / log(10) - 10
        s = 0; k = 0
        for (i = 0; i < nb; i++)
            if (-0.691 + 10 * log(blk[i]) / log(10) > thr) { s += blk[i]; k++ }
        printf "%.2f\n", -0.691 + 10 * log(s / k) / log(10)
    }'
}

# loudness IN OUT: OUT is IN turned to $LUFS, a plain gain; fails rather
# than let a peak come above -1 dBFS.
loudness() {
    if ! now=$(lufs "$1"); then
        echo "make-sounds.sh: $(basename "$2") is silent" >&2
        exit 1
    fi
    sx "$1" $FMT "$2" gain "$(calc "$LUFS - ($now)")"
    peak=$(sox -V1 "$2" -n stats 2>&1 | awk '/^Pk lev dB/ { print $4 }')
    if awk "BEGIN { exit !($peak > -1) }"; then
        echo "make-sounds.sh: $(basename "$2") peaks at $peak dBFS" >&2
        exit 1
    fi
}

# note OUT FREQ SECONDS RING: one soft bell-like stroke.  sox's log fade
# falls about 100 dB over its length, so each partial is faded over a
# multiple of RING and cut at SECONDS; the overtones die away faster than
# the fundamental, which is what makes it sound struck.
partial() {
    sx -n $FMT "$1" synth "$2" sine "$3" fade l 0.005 "$2" "$(calc "$2 - 0.005")" \
        trim 0 "$4" fade t 0 "$4" 0.05
}
note() {
    o=$1 f=$2 len=$3 ring=$4
    partial "$tmp/p1.wav" "$ring" "$f" "$len"
    partial "$tmp/p2.wav" "$(calc "$ring * 0.5")" "$(calc "$f * 2")" "$len"
    partial "$tmp/p3.wav" "$(calc "$ring * 0.3")" "$(calc "$f * 3.01")" "$len"
    sx -m -v 0.75 "$tmp/p1.wav" -v 0.18 "$tmp/p2.wav" -v 0.06 "$tmp/p3.wav" $FMT "$o"
}

# The cabin chime: a high stroke, then a lower one a major third below,
# in a little room.
note "$tmp/hi.wav" 740 1.7 5
note "$tmp/lo.wav" 587.33 1.7 6
sx "$tmp/lo.wav" $FMT "$tmp/lo-late.wav" pad 0.62
sx -m "$tmp/hi.wav" "$tmp/lo-late.wav" $FMT "$tmp/chime.wav"
sx "$tmp/chime.wav" $FMT "$tmp/ding.wav" \
    reverb 35 55 60 100 8 -6 \
    trim 0 2.3 fade t 0 2.3 0.35 \
    channels 1 rate $RATE gain -n -3
loudness "$tmp/ding.wav" "$out/Ding.wav"

# A single softer stroke, the attention chime before an announcement.
note "$tmp/pa-chime.wav" 659.26 1.0 3.0
sx "$tmp/pa-chime.wav" $FMT "$tmp/pa-chime-short.wav" fade t 0 1.0 0.3 gain -n -9

# speak VOICE TEXT OUT: the words as the synthesiser says them.
speak() {
    rm -f "$tmp/said.wav"
    case $1 in
        # The crew a tenth slower than the voice's own pace: calmer, and
        # easier to follow through the loudspeaker.
        crew) printf '%s\n' "$2" >"$tmp/text.txt"
              text2wave -eval '(voice_cmu_us_slt_arctic_hts)' \
                  -eval "(set! hts_engine_params (append hts_engine_params '((\"-r\" 0.9))))" \
                  -o "$tmp/said.wav" "$tmp/text.txt" ;;
        captain) flite -voice rms -t "$2" -o "$tmp/said.wav" ;;
    esac
    # text2wave says nothing about a missing voice, it only writes no file.
    if [ ! -s "$tmp/said.wav" ]; then
        echo "make-sounds.sh: no $1 voice (apt-get install festival festvox-us-slt-hts flite)" >&2
        exit 1
    fi
    sx "$tmp/said.wav" $FMT "$3" channels 1 rate $RATE pad 0.15 0.1 gain -n -6
}

# announce OUT VOICE TEXT: the chime, then the speech through a cabin
# loudspeaker: a band of about 200 Hz to 6.5 kHz with a little presence,
# lightly compressed, in the small soft room of a cabin, over the low
# rumble of the aircraft.  No overdrive: it smears the consonants.
announce() {
    o=$1
    speak "$2" "$3" "$tmp/voice.wav"
    if [ -n "$dry" ]; then
        loudness "$tmp/voice.wav" "$dry/$(basename "$o")"
    fi
    sx "$tmp/pa-chime-short.wav" "$tmp/voice.wav" $FMT "$tmp/spoken.wav"
    sx "$tmp/spoken.wav" $FMT "$tmp/speaker.wav" \
        sinc 200-6500 \
        equalizer 2500 1.5q 3 \
        compand 0.005,0.15 6:-60,-60,-30,-30,0,-15 -3 -90 0.01 \
        reverb 20 60 25 100 4 -10 \
        sinc 180-6800 \
        pad 0 0.45 \
        gain -n -3
    len=$(soxi -D "$tmp/speaker.wav")
    sx -n $FMT "$tmp/rumble.wav" synth "$len" brownnoise lowpass 300 gain -n -32
    sx -m "$tmp/speaker.wav" "$tmp/rumble.wav" $FMT "$tmp/mixed.wav" \
        fade t 0.02 "$len" 0.2 gain -n -3
    loudness "$tmp/mixed.wav" "$o"
}

# The texts live in announcements.txt, where check-sounds.sh finds them too.
text() { awk -F '\t' -v n="$1" '!/^#/ && $1 == n { print $2 }' "$texts"; }

announce "$out/BoardComplete.wav" crew "$(text BoardComplete.wav)"
announce "$out/Gndbrief.wav" captain "$(text Gndbrief.wav)"
announce "$out/Pretaxbr.wav" captain "$(text Pretaxbr.wav)"

# Each one as the program takes it: 16-bit PCM mono, half a second to 20 s.
for f in Ding BoardComplete Gndbrief Pretaxbr; do
    o=$out/$f.wav
    got="$(soxi -c "$o") $(soxi -b "$o") $(soxi -r "$o") $(soxi -e "$o")"
    len=$(soxi -D "$o")
    printf '%-18s %ss\n' "$f.wav" "$len"
    if [ "$got" != "1 16 $RATE Signed Integer PCM" ] || ! awk -v l="$len" 'BEGIN { exit !(l > 0.5 && l < 20) }'; then
        echo "make-sounds.sh: $o is $got, $len s: not a sound the program takes" >&2
        exit 1
    fi
done
