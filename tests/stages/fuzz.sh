#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds the libFuzzer targets with clang, replays each one's committed seed
# corpus and fuzzes it for a bounded time from a copy of it. Any crash,
# broken property, timeout or sanitizer report fails the stage.
#
# Every folder fuzz/corpus/<name> is the corpus of the target fuzz_<name>;
# its dictionary is fuzz/<name>.dict, else fuzz/numbers.dict, else none.
#   FUZZ_SECONDS   fuzzing time per target (default 15; e.g. 3600 for a
#                  long run)
#   FUZZ_JOBS      targets fuzzed at once (default: the number of cores)
#   FUZZ_BUILD_DIR build folder (default build-fuzz)
# "fuzz.sh install" only installs what the stage needs; "fuzz.sh build" also
# builds the targets.
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/lib.sh
# clang-14's libFuzzer and sanitizer runtimes live in libclang-rt-14-dev.
stage_packages "${1:-}" clang clang-14 libclang-rt-14-dev cmake ninja-build qt6-base-dev qt6-qpa-plugins

seconds="${FUZZ_SECONDS:-15}"
jobs="${FUZZ_JOBS:-$(nproc)}"
root="$PWD"
build="$(realpath -m "${FUZZ_BUILD_DIR:-build-fuzz}")"

names=()
for d in fuzz/corpus/*/; do
    [ -d "$d" ] && names+=("$(basename "$d")")
done
if [ "${#names[@]}" -eq 0 ]; then
    echo "no corpus folders in fuzz/corpus: nothing to fuzz"
    exit 1
fi
targets=("${names[@]/#/fuzz_}")

echo "Building ${targets[*]} with clang in $build"
CC=clang CXX=clang++ cmake -S fuzz -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"
[ "${1:-}" != build ] || exit 0

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:print_stacktrace=1:abort_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0"

dictionary() {  # the dictionary option for a target, or nothing
    local f
    for f in "fuzz/$1.dict" fuzz/numbers.dict; do
        if [ -f "$f" ]; then echo "-dict=$root/$f"; return; fi
    done
}

# One target: replays its corpus, then fuzzes; the exit status goes to a file.
fuzz_one() {
    local name="$1" corpus="$work/corpus-$1"
    mkdir -p "$work/artifacts-$name"
    local status=0
    (cd "$work/artifacts-$name" && "$build/fuzz_$name" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2560 -print_final_stats=1 $(dictionary "$name") "$corpus") \
        >"$work/$name.log" 2>&1 || status=$?
    echo "$status" >"$work/$name.status"
}

for name in "${names[@]}"; do
    cp -r "fuzz/corpus/$name" "$work/corpus-$name"
done
echo "Fuzzing ${#names[@]} targets, ${seconds} s each, $jobs at a time"
running=0
for name in "${names[@]}"; do
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
    fuzz_one "$name" &
    running=$((running + 1))
done
wait

failed=()
for name in "${names[@]}"; do
    log="$work/$name.log"
    corpus="$work/corpus-$name"
    seeds=$(find "fuzz/corpus/$name" -type f | wc -l)
    status=$(cat "$work/$name.status" 2>/dev/null || echo "no status")
    dict=$(dictionary "$name")
    dict=${dict#-dict=$root/}
    echo
    echo "--- fuzz_$name: $seeds seeds, ${seconds} s, dictionary ${dict:-none}"
    grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)' "$log" || true
    grep -E '^stat::(number_of_executed_units|new_units_added)' "$log" || true
    artifacts=$(find "$work/artifacts-$name" -type f | wc -l)
    if [ "$status" != 0 ] || [ "$artifacts" -ne 0 ] \
        || grep -qE 'runtime error:|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|PROPERTY BROKEN' "$log"; then
        echo "fuzz_$name FAILED (exit $status, $artifacts saved inputs):"
        grep -vE '^#[0-9]+[[:space:]]+(NEW|REDUCE|pulse|RELOAD)' "$log" | tail -60
        for a in "$work/artifacts-$name"/*; do
            [ -e "$a" ] || continue
            echo "input $(basename "$a"): $(base64 -w0 "$a")"
        done
        failed+=("fuzz_$name")
    else
        echo "fuzz_$name: no crash, no broken property, no sanitizer report" \
             "(corpus $seeds -> $(find "$corpus" -type f | wc -l) inputs)"
    fi
done

echo
if [ "${#failed[@]}" -gt 0 ]; then
    echo "Fuzzing failed: ${failed[*]}"
    exit 1
fi
echo "Fuzzing: all ${#names[@]} targets passed"
