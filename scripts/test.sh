#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs what is missing, builds Tarmalo and runs every test headless:
# CTest, then every stage in tests/stages/ (e2e first).
#   FUZZ_SECONDS  fuzzing time per fuzz target (default 15)
#
# To save time, work that needs no quiet machine runs beside work that
# waits: the later stages' packages install (in one apt-get run) while the
# program builds, the Windows, sanitizer and fuzzing builds run at a low
# priority while CTest and the end-to-end stage mostly wait for real time to
# pass, and the Windows, sanitizer and fuzzing stages run beside the others.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
started=$(date +%s)
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

logs=$(mktemp -d)
failed=()
# Whatever still runs in the background ends with the script.
bg_groups=()
stop_background() {
    local g
    for g in "${bg_groups[@]}"; do kill -- "-$g" 2>/dev/null || true; done
}
trap 'stop_background; rm -rf "$logs"' EXIT
stage() {
    local name="$1"; shift
    echo
    echo "=== $name ==="
    local t0; t0=$(date +%s)
    if "$@"; then
        echo "=== $name: passed ($(( $(date +%s) - t0 )) s) ==="
    else
        echo "=== $name: FAILED ($(( $(date +%s) - t0 )) s) ==="
        failed+=("$name")
    fi
}

# background [--group] NAME COMMAND...: runs a command in the background,
# its output in $logs/NAME.log; with --group in a process group of its own,
# which ends with the script. (Installs are left to finish: dpkg is never
# stopped halfway, and sudo keeps its terminal.)
background() {
    local group=false
    if [ "$1" = --group ]; then group=true; shift; fi
    local name="$1"; shift
    local run=(bash -c 't0=$(date +%s); rc=0; "$@" || rc=$?; echo "$rc $(( $(date +%s) - t0 ))" >"$0"'
               "$logs/$name.done" "$@")
    if $group; then
        setsid "${run[@]}" >"$logs/$name.log" 2>&1 &
        bg_groups+=("$!")
    else
        "${run[@]}" >"$logs/$name.log" 2>&1 &
    fi
}
# Waits for it; on failure shows its output (the stage that needs it then
# tries again and fails with its own message).
await() {
    local name="$1" t0; t0=$(date +%s)
    while [ ! -e "$logs/$name.done" ]; do sleep 1; done
    local rc secs; read -r rc secs <"$logs/$name.done"
    echo "--- $name: $([ "$rc" -eq 0 ] && echo done || echo "FAILED ($rc)") in $secs s" \
         "(waited $(( $(date +%s) - t0 )) s)"
    [ "$rc" -eq 0 ] || tail -n 40 "$logs/$name.log"
}

# Every stage's packages in one apt-get run ("STAGE.sh packages" names them).
stage_needs=()
for s in tests/stages/*.sh; do
    grep -q '^stage_packages ' "$s" || continue
    read -ra p < <(bash "$s" packages) || true
    stage_needs+=("${p[@]}")
done
# Asked now, not from the background.
[ "$(id -u)" -eq 0 ] || sudo -v
background "installs for the stages" bash -c '. scripts/lib.sh && ensure_packages "$@"' _ "${stage_needs[@]}"

# after NAME...: waits until these background jobs have ended.
after() {
    local n
    for n; do
        while [ ! -e "$logs/$n.done" ]; do sleep 1; done
    done
}
export logs
export -f after

# The benchmarks are not tests. Line tables, not full debug information:
# a backtrace keeps its files and lines, and the build takes a third less.
t0=$(date +%s)
build_tarmalo default -- -DTARMALO_BUILD_BENCH=OFF -DTARMALO_WERROR=ON \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
echo "--- build: $(( $(date +%s) - t0 )) s"
await "installs for the stages"

# A sound server of our own with a null sink, so real sounds can play.
eval "$(tests/audio/pulse-null.sh start)"
trap 'stop_background; tests/audio/pulse-null.sh stop >/dev/null 2>&1 || true; rm -rf "$logs"' EXIT

# The Windows build: Qt for Windows comes from the cache (only a first run
# builds it, which takes long), then the program, its suites and installer,
# and the Wine prefix the Windows stages copy. It starts first, as its
# stages take longest.
background --group "Windows build" nice -n 5 bash tests/stages/windows.sh build
# Then the sanitizer build, whose suites take longer than the fuzzing.
background --group "sanitizer build" nice -n 15 bash tests/stages/sanitizers.sh build
background --group "fuzzing build" nice -n 15 bash -c \
    'after "sanitizer build"; bash tests/stages/fuzz.sh build'

# Three lanes run beside this one, as much of each stage waits for real
# time: the sanitizer suites, the fuzzers, and the Windows stage. Each stage
# starts once its build is done; the Windows one also waits for the
# end-to-end stage, whose spoken statuses are timed, to end.
lane() {  # STAGE...: the stages one after the other
    local s t0 r
    for s; do
        [ -e "tests/stages/$s.sh" ] || continue
        case $s in
            sanitizers) after "sanitizer build" ;;
            fuzz) after "fuzzing build" ;;
            windows*)
                after "Windows build" e2e
                read -r r _ <"$logs/Windows build.done"
                # Its Wine prefix, booted once, is where every Windows stage starts from.
                [ "$r" -ne 0 ] || export TARMALO_WINDOWS_BUILT=1
                export TARMALO_WINE_PREFIX="$PWD/build-windows/wine-prefix" ;;
        esac
        t0=$(date +%s)
        if bash "tests/stages/$s.sh" >"$logs/stage-$s.log" 2>&1; then r=passed; else r=FAILED; fi
        echo "$r $(( $(date +%s) - t0 ))" >"$logs/stage-$s.result"
    done
}
export -f lane
lanes=("sanitizers" "fuzz" "windows")
laned=()
for l in "${lanes[@]}"; do
    for s in $l; do [ ! -e "tests/stages/$s.sh" ] || laned+=("$s"); done
done
background --group "sanitizer lane" lane ${lanes[0]}
background --group "fuzzing lane" lane ${lanes[1]}
background --group "Windows lane" lane ${lanes[2]}

stage "unit and window tests" ctest --preset default
[ ! -e tests/stages/e2e.sh ] || stage e2e bash tests/stages/e2e.sh
touch "$logs/e2e.done"
for extra in tests/stages/*.sh; do
    name=$(basename "$extra" .sh)
    case " e2e ${laned[*]} " in *" $name "*) continue ;; esac
    stage "$name" bash "$extra"
done

for job in "Windows build" "sanitizer build" "fuzzing build" \
           "sanitizer lane" "fuzzing lane" "Windows lane"; do
    await "$job"
done
for name in "${laned[@]}"; do
    echo
    echo "=== $name ==="
    cat "$logs/stage-$name.log" 2>/dev/null
    r=FAILED secs="?"
    read -r r secs <"$logs/stage-$name.result" 2>/dev/null || true
    echo "=== $name: $r ($secs s) ==="
    [ "$r" = passed ] || failed+=("$name")
done

echo
echo "Total time: $(( $(date +%s) - started )) s"
if [ "${#failed[@]}" -gt 0 ]; then
    echo "Failed stages: ${failed[*]}"
    exit 1
fi
echo "All stages passed."
