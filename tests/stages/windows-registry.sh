#!/usr/bin/env bash
# The Windows registry backend, cross-compiled and run under Wine.
set -euo pipefail
exec bash tests/wine/run.sh
