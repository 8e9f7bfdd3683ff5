#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# End-to-end: the built program under a display, bus, window manager and
# sound server of its own, driven by real key presses and watched only from
# outside (window properties, the settings file, AT-SPI, the sound sink).
# TARMALO_BUILD_DIR names the build tree (default: build).
# "e2e.sh install" only installs what the stage needs.
set -uo pipefail
cd "$(dirname "$0")/../.."
. scripts/lib.sh
stage_packages "${1:-}" xvfb xdotool x11-utils imagemagick libfaketime at-spi2-core dbus python3 \
               python3-pyatspi pulseaudio pulseaudio-utils openbox fonts-dejavu-core orca \
               weston xwayland qt6-wayland

export TARMALO_BUILD_DIR="${TARMALO_BUILD_DIR:-build}"
if [ ! -x "$TARMALO_BUILD_DIR/bin/tarmalo" ]; then
    echo "e2e: $TARMALO_BUILD_DIR/bin/tarmalo is missing; build it first"
    exit 1
fi
py=/usr/bin/python3  # Debian's own, the one with pyatspi
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
started=$(date +%s)
passed=0
failed=()

finish() {  # name, exit code
    if [ "$2" -eq 0 ]; then passed=$((passed + 1)); else failed+=("$1"); fi
}

# The two boardings take a few minutes of real time each: they run side by
# side, each on its own display and sound server, while the short cases run.
declare -A pids
for c in clock_boarding countdown_boarding; do
    timeout 600 "$py" tests/e2e/cases.py "$c" >"$logs/$c.log" 2>&1 &
    pids[$c]=$!
done
for c in first_start refused_start help_about accessibility wayland_xwayland wayland_native; do
    timeout 300 "$py" tests/e2e/cases.py "$c"
    finish "$c" $?
done
for c in clock_boarding countdown_boarding; do
    wait "${pids[$c]}"
    rc=$?
    cat "$logs/$c.log"
    finish "$c" "$rc"
done

# tarmalo-window.png, help-window.png and about-box.png there are the
# pictures in docs/.
echo "e2e artifacts (screenshots): $TARMALO_BUILD_DIR/e2e-artifacts"
echo "e2e stage time: $(( $(date +%s) - started )) s"
echo "e2e: $passed passed, ${#failed[@]} failed"
[ "${#failed[@]}" -eq 0 ] || { echo "failed cases: ${failed[*]}"; exit 1; }
