#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The mutation check (tests/mutation/run.py): builds a copy of the tree in
# build-mutation/, puts each fault of tests/mutation/mutants.txt into it in
# turn and runs every CTest suite against it. Not part of scripts/test.sh;
# "scripts/mutate.sh --help" lists its options.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
exec python3 tests/mutation/run.py "$@"
