#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# from a copy of its committed seed corpus. Any crash, broken property,
# timeout or sanitizer report fails the stage.
#   FUZZ_SECONDS   time per target (default 60)
#   FUZZ_BUILD_DIR build folder (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/lib.sh
# clang-14's libFuzzer and sanitizer runtimes live in libclang-rt-14-dev.
ensure_packages clang clang-14 libclang-rt-14-dev cmake ninja-build qt6-base-dev qt6-qpa-plugins

seconds="${FUZZ_SECONDS:-60}"
root="$PWD"
build="$(realpath -m "${FUZZ_BUILD_DIR:-build-fuzz}")"

echo "Building the fuzz targets with clang in $build"
CC=clang CXX=clang++ cmake -S fuzz -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:print_stacktrace=1:abort_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0"

failed=()
for target in cint isnumeric timefield; do
    corpus="$work/corpus-$target"
    cp -r "fuzz/corpus/$target" "$corpus"
    seeds=$(find "$corpus" -type f | wc -l)
    mkdir -p "$work/artifacts-$target"
    log="$work/$target.log"
    dict="fuzz/numbers.dict"
    [ "$target" = timefield ] && dict="fuzz/timefield.dict"
    echo
    echo "--- fuzz_$target: $seeds seeds, ${seconds} s"
    status=0
    (cd "$work/artifacts-$target" && "$build/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2560 -print_final_stats=1 -dict="$root/$dict" "$corpus") >"$log" 2>&1 || status=$?
    grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)' "$log" || true
    grep -E '^stat::(number_of_executed_units|new_units_added)' "$log" || true
    artifacts=$(find "$work/artifacts-$target" -type f | wc -l)
    if [ "$status" -ne 0 ] || [ "$artifacts" -ne 0 ] \
        || grep -qE 'runtime error:|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|PROPERTY BROKEN' "$log"; then
        echo "fuzz_$target FAILED (exit $status, $artifacts saved inputs):"
        grep -vE '^#[0-9]+[[:space:]]+(NEW|REDUCE|pulse|RELOAD)' "$log" | tail -60
        for a in "$work/artifacts-$target"/*; do
            [ -e "$a" ] || continue
            echo "input $(basename "$a"): $(base64 -w0 "$a")"
        done
        failed+=("fuzz_$target")
    else
        echo "fuzz_$target: no crash, no broken property, no sanitizer report" \
             "(corpus $seeds -> $(find "$corpus" -type f | wc -l) inputs)"
    fi
done

echo
if [ "${#failed[@]}" -gt 0 ]; then
    echo "Fuzzing failed: ${failed[*]}"
    exit 1
fi
echo "Fuzzing: all 3 targets passed"
