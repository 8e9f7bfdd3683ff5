#!/bin/bash

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The Windows build under Wine: start-up of the real main window against a
# bare QMainWindow built the same way (bench_startup.exe main|bare), each
# opened and closed as soon as it is on screen, interleaved, under one Xvfb
# server and one Wine prefix whose wineserver stays up; and the size of the
# portable zip. Aims: start-up ratio within 1.2, the zip at most 15 MB.
#
#   bench/run-windows.sh [runs]     (default 9)
#
# Builds bench_startup.exe into build-windows/bin (after
# scripts/build-windows.sh has built the program and its zip). Installs
# nothing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)

if [ "${1:-}" = "--inside" ]; then
    runs=$2 exe=$3 results=$4
    one() {
        local t0 t1
        t0=$(date +%s%N)
        wine "$exe" "$1" >"$results.out" 2>/dev/null
        t1=$(date +%s%N)
        echo "$1 $(( (t1 - t0) / 1000 )) $(tr -d '\r' <"$results.out" | sed -n 's/^exposed after \([0-9]*\) ms$/\1/p')" >>"$results"
    }
    # One wineserver for every run, as on a desktop where Wine is running.
    mkdir -p "$WINEPREFIX"
    wineserver -p
    wine wineboot --init >/dev/null 2>&1
    # Qt 6 runs on Windows 10 and 11; a new prefix says Windows 7.
    wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win10 /f >/dev/null 2>&1
    wine "$exe" main >/dev/null 2>&1 || true
    wine "$exe" bare >/dev/null 2>&1 || true
    for ((i = 0; i < runs; i++)); do
        if ((i % 2)); then one bare; one main; else one main; one bare; fi
    done
    wineserver -k
    exit 0
fi

runs=${1:-9}
for tool in xvfb-run wine bc; do
    command -v "$tool" >/dev/null 2>&1 || { echo "run-windows.sh: $tool is missing" >&2; exit 1; }
done
cd "$root"
[ -d build-windows ] || { echo "run-windows.sh: run scripts/build-windows.sh first" >&2; exit 1; }
TARMALO_WINDOWS_QT=$(bash scripts/windows-qt.sh | tail -n 1)
export TARMALO_WINDOWS_QT
cmake --preset windows -DTARMALO_BUILD_BENCH=ON >/dev/null
cmake --build --preset windows --target bench_startup tarmalo_runtime >/dev/null

work=$(mktemp -d /tmp/tarmalo-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
results=$work/results
env WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$here/run-windows.sh" --inside "$runs" \
    "$root/build-windows/bin/bench_startup.exe" "$results"

median() {  # mode column
    awk -v m="$1" -v c="$2" '$1 == m && $c != "" { print $c }' "$results" | sort -n |
        awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
bare_us=$(median bare 2) main_us=$(median main 2)
echo "bench_startup.exe under $(wine --version 2>/dev/null), $runs runs each, interleaved, Xvfb 1280x1024x24"
printf '%-6s %14s %26s\n' "" "wall (median)" "main() to exposed (median)"
printf '%-6s %11.1f ms %23s ms\n' bare "$(echo "$bare_us / 1000" | bc -l)" "$(median bare 3)"
printf '%-6s %11.1f ms %23s ms\n' main "$(echo "$main_us / 1000" | bc -l)" "$(median main 3)"
ratio=$(echo "$main_us / $bare_us" | bc -l)
printf 'ratio main/bare: wall %.2f (%s)\n' "$ratio" \
    "$( (($(echo "$ratio <= 1.2" | bc -l))) && echo "within 1.2" || echo "ABOVE 1.2")"

for zip in build-windows/Tarmalo-*-windows.zip; do
    [ -e "$zip" ] || continue
    bytes=$(stat -c %s "$zip")
    printf '%s: %.1f MB (%s)\n' "$zip" "$(echo "$bytes / 1000000" | bc -l)" \
        "$( ((bytes <= 15000000)) && echo "within 15 MB" || echo "ABOVE 15 MB")"
done
