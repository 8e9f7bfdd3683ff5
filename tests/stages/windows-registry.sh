#!/usr/bin/env bash
# The Windows registry backend, cross-compiled and run under Wine.
# "windows-registry.sh install" only installs what the stage needs.
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/lib.sh
ensure_packages g++-mingw-w64-x86-64-posix wine wine64
[ "${1:-}" != install ] || exit 0
exec bash tests/wine/run.sh
