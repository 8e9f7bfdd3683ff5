#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs what is missing, builds Tarmalo and runs every test headless:
# CTest, then every stage in tests/stages/ (e2e first).
#   FUZZ_SECONDS  fuzzing time per fuzz target (default 15)
#
# To save time, work that needs no quiet machine runs beside work that
# waits: the later stages' packages install while the program builds, and
# the sanitizer and fuzzing builds run at a low priority while CTest
# and the end-to-end stage mostly wait for real time to pass.
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

# Stages that can install their packages on their own ("STAGE.sh install").
prefetch=()
for s in e2e fuzz sysinfo-launch windows-registry windows; do
    [ -e "tests/stages/$s.sh" ] && prefetch+=("$s")
done
# Asked now, not from the background.
[ "$(id -u)" -eq 0 ] || sudo -v
background "installs for the stages" \
    bash -c 'for s; do bash "tests/stages/$s.sh" install || exit 1; done' _ "${prefetch[@]}"

# The benchmarks are not tests.
t0=$(date +%s)
build_tarmalo default -- -DTARMALO_BUILD_BENCH=OFF -DTARMALO_WERROR=ON
echo "--- build: $(( $(date +%s) - t0 )) s"
await "installs for the stages"

# A sound server of our own with a null sink, so real sounds can play.
eval "$(tests/audio/pulse-null.sh start)"
trap 'stop_background; tests/audio/pulse-null.sh stop >/dev/null 2>&1 || true; rm -rf "$logs"' EXIT

background --group "sanitizer and fuzzing builds" nice -n 10 \
    bash -c 'bash tests/stages/sanitizers.sh build && bash tests/stages/fuzz.sh build'
# The Windows build: Qt for Windows comes from the cache (only a first run
# builds it, which takes long), then the program, its suites and installer,
# and the Wine prefix the Windows stage copies.
background --group "Windows build" nice -n 10 bash tests/stages/windows.sh build
stage "unit and window tests" ctest --preset default
[ ! -e tests/stages/e2e.sh ] || stage e2e bash tests/stages/e2e.sh
await "sanitizer and fuzzing builds"
await "Windows build"
for extra in tests/stages/*.sh; do
    [ -e "$extra" ] || continue
    [ "$extra" != tests/stages/e2e.sh ] || continue
    stage "$(basename "$extra" .sh)" bash "$extra"
done

echo
echo "Total time: $(( $(date +%s) - started )) s"
if [ "${#failed[@]}" -gt 0 ]; then
    echo "Failed stages: ${failed[*]}"
    exit 1
fi
echo "All stages passed."
