#!/usr/bin/env bash
# Installs what is missing, builds Tarmalo and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
ensure_packages "${BUILD_PACKAGES[@]}"
build_tarmalo default
exec build/bin/tarmalo "$@"
