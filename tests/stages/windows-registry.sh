#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The Windows registry backend, cross-compiled and run under Wine.
# "windows-registry.sh install" only installs what the stage needs.
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/lib.sh
stage_packages "${1:-}" g++-mingw-w64-x86-64-posix wine wine64
exec bash tests/wine/run.sh
