#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The whole test suite again, built with AddressSanitizer and
# UndefinedBehaviorSanitizer (the asan preset). Any sanitizer report fails
# the stage, even one from a test that still exited 0.
#   TARMALO_SOAK_RUNS  boardings in the soak test (default 250)
# "sanitizers.sh install" only installs what the stage needs; "sanitizers.sh
# build" also builds the suites.
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/lib.sh
stage_packages "${1:-}" "${BUILD_PACKAGES[@]}"

echo "Building the asan preset's suites in build-asan"
cmake --preset asan >/dev/null
# Only what CTest runs: the program and the packaging's sound check are not.
cmake --build --preset asan -j"$(nproc)" --target tarmalo_suites
[ "${1:-}" != build ] || exit 0

reports="$(mktemp -d)"
trap 'rm -rf "$reports"' EXIT

# Reports go to files as well as ending the process: a report inside a
# child process or a passing test is still seen.
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:print_stacktrace=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1:log_path=$reports/asan"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1:log_path=$reports/ubsan"
# No leak suppressions: the suite ends its QApplication normally and
# nothing, ours or a library's, is left to excuse.
unset LSAN_OPTIONS
# The plain run boards a thousand flights for their variety; here a quarter
# of them walks every path again at a quarter of the time.
export TARMALO_SOAK_RUNS="${TARMALO_SOAK_RUNS:-250}"
echo "ASAN_OPTIONS=$ASAN_OPTIONS"
echo "UBSAN_OPTIONS=$UBSAN_OPTIONS"
echo "TARMALO_SOAK_RUNS=$TARMALO_SOAK_RUNS"

status=0
ctest --preset asan || status=$?

found=$(find "$reports" -type f | wc -l)
if [ "$found" -ne 0 ]; then
    echo "Sanitizer reports ($found):"
    for f in "$reports"/*; do
        echo "--- $(basename "$f")"
        cat "$f"
    done
    status=1
fi
if [ "$status" -ne 0 ]; then
    echo "Sanitizer stage FAILED"
    exit "$status"
fi
echo "Sanitizer stage: every test passed under ASan+UBSan+LSan with no report"
