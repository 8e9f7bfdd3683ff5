#!/usr/bin/env bash
# Installs what is missing, builds Tarmalo and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

started=$(date +%s)
failed=()
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

build_tarmalo default

# A sound server of our own with a null sink, so real sounds can play.
eval "$(tests/audio/pulse-null.sh start)"
trap 'tests/audio/pulse-null.sh stop >/dev/null 2>&1 || true' EXIT

stage "unit and window tests" ctest --preset default
for extra in tests/stages/*.sh; do
    [ -e "$extra" ] || continue
    stage "$(basename "$extra" .sh)" bash "$extra"
done

echo
echo "Total time: $(( $(date +%s) - started )) s"
if [ "${#failed[@]}" -gt 0 ]; then
    echo "Failed stages: ${failed[*]}"
    exit 1
fi
echo "All stages passed."
