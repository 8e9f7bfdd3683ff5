#!/bin/sh

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Regenerates banner.bmp and the icons from make_art.py.
# Usage: make-art.sh [OUTPUT_DIR]   (default: this folder)
# Only needed when the art changes: the outputs are committed, the build
# never runs this.  Made elsewhere, the art is compared with what is
# committed, and a difference fails.  Needs Python 3 with numpy and PIL
# (Debian: apt-get install python3-numpy python3-pil).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here}

# The first interpreter on PATH may be a private one without Debian's
# modules, so try the system one as well.
for py in python3 /usr/bin/python3; do
    if command -v "$py" >/dev/null 2>&1 &&
       "$py" -c 'import numpy, PIL' >/dev/null 2>&1; then
        "$py" "$here/make_art.py" "$out"
        [ "$(cd "$out" && pwd)" != "$here" ] || exit 0
        # The .ico is our own writer's, byte for byte; a library update may
        # move the pictures' rounding by a step or two, nothing more.
        exec "$py" - "$here" "$out" <<'EOF'
import sys
from pathlib import Path
import numpy
from PIL import Image
kept, made = map(Path, sys.argv[1:])
bad = [] if (kept / "icons/tarmalo.ico").read_bytes() == (made / "icons/tarmalo.ico").read_bytes() else ["tarmalo.ico"]
for rel in [Path("banner.bmp")] + sorted(p.relative_to(kept) for p in kept.glob("icons/**/*.png")):
    a, b = (numpy.asarray(Image.open(d / rel).convert("RGBA"), dtype=int) for d in (kept, made))
    if a.shape != b.shape or abs(a - b).max() > 2:
        bad.append(str(rel))
if bad:
    sys.exit("make-art.sh: not what is committed: " + ", ".join(bad))
print("make-art.sh: the same as what is committed")
EOF
    fi
done
echo "make-art.sh: needs Python 3 with numpy and PIL (apt-get install python3-numpy python3-pil)" >&2
exit 1
