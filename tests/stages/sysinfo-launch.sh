#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# "System Info..." starting a real system-information program under Xvfb.
# "sysinfo-launch.sh install" only installs what the stage needs.
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/lib.sh
stage_packages "${1:-}" hardinfo xvfb xauth
exec bash tests/sysinfo/run.sh "${TARMALO_BUILD_DIR:-build}"
