#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs what is missing, builds the program (not the tests) and starts it.
# Later starts only rebuild what changed; build/bin/tarmalo starts it directly.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
ensure_packages "${BUILD_PACKAGES[@]}"
# The program and the sounds copied beside it.
build_tarmalo default tarmalo -- -DTARMALO_WERROR=OFF
exec build/bin/tarmalo "$@"
