#!/bin/sh

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Regenerates banner.bmp and the icons from make_art.py.
# Usage: make-art.sh [OUTPUT_DIR]   (default: this folder)
# Only needed when the art changes: the outputs are committed, the build
# never runs this.  Needs Python 3 with numpy and PIL
# (Debian: apt-get install python3-numpy python3-pil).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here}

# The first interpreter on PATH may be a private one without Debian's
# modules, so try the system one as well.
for py in python3 /usr/bin/python3; do
    if command -v "$py" >/dev/null 2>&1 &&
       "$py" -c 'import numpy, PIL' >/dev/null 2>&1; then
        exec "$py" "$here/make_art.py" "$out"
    fi
done
echo "make-art.sh: needs Python 3 with numpy and PIL (apt-get install python3-numpy python3-pil)" >&2
exit 1
