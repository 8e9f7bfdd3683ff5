#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# System Info for real: installs hardinfo and Xvfb when missing, then runs
# test_sysinfo_launch under a virtual display, where pressing the About box's
# button must start hardinfo (and, with no tool on the PATH, show the message).
# Usage: tests/sysinfo/run.sh [BUILD_DIR]   (default: a build of its own)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)

missing=()
command -v hardinfo >/dev/null 2>&1 || missing+=(hardinfo)
command -v xvfb-run >/dev/null 2>&1 || missing+=(xvfb)
command -v xauth >/dev/null 2>&1 || missing+=(xauth)
if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

build=${1:-}
if [ -z "$build" ]; then
    build=/tmp/tarmalo-sysinfo-build
    echo "== building test_sysinfo_launch in $build"
    cmake -S "$repo" -B "$build" -G Ninja -DTARMALO_BUILD_BENCH=OFF >/dev/null
    cmake --build "$build" -j2 --target test_sysinfo_launch
fi
bin="$build/bin/test_sysinfo_launch"
[ -x "$bin" ] || { echo "no $bin: build the target test_sysinfo_launch first"; exit 1; }

echo "== running with $(command -v hardinfo) under Xvfb"
set +e
TARMALO_REQUIRE_SYSINFO=1 QT_QPA_PLATFORM=offscreen \
    timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" "$bin"
rc=$?
set -e
if [ "$rc" -ne 0 ]; then
    echo "== System Info launch: FAILED (exit $rc)"
    exit 1
fi
echo "== System Info launch: passed"
