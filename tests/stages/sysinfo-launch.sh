#!/usr/bin/env bash
# "System Info..." starting a real system-information program under Xvfb.
set -euo pipefail
exec bash tests/sysinfo/run.sh "${TARMALO_BUILD_DIR:-build}"
