#!/bin/sh
# shellcheck disable=SC2086  # $FMT holds several sox options, split on purpose
# Makes the four announcement sounds with espeak-ng and sox.
# Usage: make-sounds.sh [OUTPUT_DIR]   (default: the sounds folder here)
#
# The WAVs are committed; run this only to change them.  Output is 16-bit
# mono PCM at 22050 Hz.  sox runs in repeatable mode (-R), so its noise and
# dither are seeded and a re-run with the same tools gives the same files.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/sounds}
RATE=22050

for tool in espeak-ng sox; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "make-sounds.sh: $tool is missing (apt-get install espeak-ng sox)" >&2
        exit 1
    fi
done

mkdir -p "$out"
out=$(cd "$out" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT INT TERM

sx() { sox -R -V1 "$@"; }
calc() { awk "BEGIN { printf \"%.4f\", $1 }"; }
FMT="-r $RATE -c 1 -b 16 -e signed-integer"

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
sx "$tmp/chime.wav" $FMT "$out/Ding.wav" \
    reverb 35 55 60 100 8 -6 \
    trim 0 2.3 fade t 0 2.3 0.35 \
    channels 1 rate $RATE gain -n -3

# A single softer stroke, the attention chime before a crew announcement.
note "$tmp/pa-chime.wav" 659.26 1.0 3.0
sx "$tmp/pa-chime.wav" $FMT "$tmp/pa-chime-short.wav" fade t 0 1.0 0.3 gain -4

# announce OUT VOICE SPEED PITCH TEXT: speech through a cabin loudspeaker:
# telephone-band, squeezed by a compressor, slightly overdriven, in a small
# metal room, over the low rumble of the aircraft.
announce() {
    o=$1 voice=$2 speed=$3 pitch=$4 text=$5
    espeak-ng -v "$voice" -s "$speed" -p "$pitch" -g 2 -w "$tmp/voice.wav" "$text"
    sx "$tmp/voice.wav" $FMT "$tmp/voice22.wav" rate $RATE pad 0.15 0.1 gain -n -6
    sx "$tmp/pa-chime-short.wav" "$tmp/voice22.wav" $FMT "$tmp/spoken.wav"
    sx "$tmp/spoken.wav" $FMT "$tmp/speaker.wav" \
        sinc 300-3400 \
        compand 0.01,0.25 6:-70,-60,-40,-24,-20,-12,0,-8 -4 -90 0.02 \
        overdrive 3 15 \
        sinc 280-3500 \
        reverb 22 60 28 100 4 -8 \
        pad 0 0.45 \
        gain -n -3
    len=$(soxi -D "$tmp/speaker.wav")
    sx -n $FMT "$tmp/rumble.wav" synth "$len" brownnoise lowpass 350 gain -n -34
    sx -m "$tmp/speaker.wav" "$tmp/rumble.wav" $FMT "$o" \
        fade t 0.02 "$len" 0.2 channels 1 rate $RATE gain -n -1
}

announce "$out/BoardComplete.wav" en-gb+f3 160 52 \
    "Ladies and gentlemen, boarding is now complete. Cabin crew, please prepare the doors for departure."

announce "$out/Gndbrief.wav" en-gb+m3 155 38 \
    "Ladies and gentlemen, this is your captain speaking. The doors are closed, and we are now pushing back from the gate."

announce "$out/Pretaxbr.wav" en-gb+m3 160 40 \
    "Cabin crew, please take your seats for taxi. Ladies and gentlemen, we are now taxiing to the runway."

for f in Ding BoardComplete Gndbrief Pretaxbr; do
    printf '%-18s %ss\n' "$f.wav" "$(soxi -D "$out/$f.wav")"
done
