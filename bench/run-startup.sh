#!/bin/bash

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Start-up benchmark: the real main window against a bare QMainWindow with a
# menu bar and a status bar (the toolkit's own floor), each opened and closed
# as soon as it is on screen, interleaved, under one Xvfb server.
#
#   bench/run-startup.sh [runs] [build folder]     (defaults: 15, ./build)
#
# Prints the median wall time (process start to exit) and median peak memory
# (maximum resident set, from /usr/bin/time) of each, and the ratios
# main/bare. Aim: each ratio within 1.2. Installs nothing.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" = "--inside" ]; then
    # Runs inside xvfb-run: <runs> <binary> <results file>
    runs=$2 bin=$3 results=$4
    one() {
        local mode=$1 t0 t1 kb
        t0=$(date +%s%N)
        "$bin" "$mode" >"$results.out" 2>/dev/null
        t1=$(date +%s%N)
        kb=$(/usr/bin/time -f %M "$bin" "$mode" 2>&1 >/dev/null | tail -n 1)
        echo "$mode $(( (t1 - t0) / 1000 )) $kb $(sed -n 's/^exposed after \([0-9]*\) ms$/\1/p' "$results.out")" >>"$results"
    }
    # One unmeasured run of each puts the libraries in the page cache.
    "$bin" main >/dev/null 2>&1
    "$bin" bare >/dev/null 2>&1
    for ((i = 0; i < runs; i++)); do
        if ((i % 2)); then one bare; one main; else one main; one bare; fi
    done
    exit 0
fi

runs=${1:-15}
build=${2:-$here/../build}
bin=$build/bin/bench_startup

missing=()
command -v xvfb-run >/dev/null 2>&1 || missing+=(xvfb)
command -v xauth >/dev/null 2>&1 || missing+=(xauth)
[ -x /usr/bin/time ] || missing+=(time)
command -v bc >/dev/null 2>&1 || missing+=(bc)
if ((${#missing[@]})); then
    echo "run-startup.sh: missing, please install the packages: ${missing[*]}" >&2
    exit 1
fi
if [ ! -x "$bin" ]; then
    echo "run-startup.sh: $bin not found; build it first:" >&2
    echo "  cmake -S . -B $build -G Ninja && cmake --build $build --target bench_startup" >&2
    exit 1
fi

work=$(mktemp -d /tmp/tarmalo-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
results=$work/results

# A fresh HOME: the options read are the defaults, and nothing of the
# user's desktop set-up (themes, fonts, input methods) enters the figures.
env HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime" \
    QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$here/run-startup.sh" --inside "$runs" "$bin" "$results"

median() {  # mode column
    awk -v m="$1" -v c="$2" '$1 == m { print $c }' "$results" | sort -n |
        awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

bare_us=$(median bare 2) main_us=$(median main 2)
bare_kb=$(median bare 3) main_kb=$(median main 3)
bare_in=$(median bare 4) main_in=$(median main 4)

echo "bench_startup, $runs runs each, interleaved, Xvfb 1280x1024x24"
printf '%-6s %14s %18s %26s\n' "" "wall (median)" "peak RSS (median)" "main() to exposed (median)"
printf '%-6s %11.1f ms %15s KB %23s ms\n' bare "$(echo "$bare_us / 1000" | bc -l)" "$bare_kb" "$bare_in"
printf '%-6s %11.1f ms %15s KB %23s ms\n' main "$(echo "$main_us / 1000" | bc -l)" "$main_kb" "$main_in"
wall_ratio=$(echo "$main_us / $bare_us" | bc -l)
mem_ratio=$(echo "$main_kb / $bare_kb" | bc -l)
verdict() { if (($(echo "$1 <= 1.2" | bc -l))); then echo "within 1.2"; else echo "ABOVE 1.2"; fi; }
printf 'ratio main/bare: wall %.2f (%s), peak memory %.2f (%s)\n' \
    "$wall_ratio" "$(verdict "$wall_ratio")" "$mem_ratio" "$(verdict "$mem_ratio")"
