#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds Tarmalo for 64-bit Windows on Debian: installs what is missing,
# builds Qt for Windows once (scripts/windows-qt.sh keeps it in a cache),
# then Tarmalo with the project's own CMake. Leaves in build-windows/:
#   bin/                          the program folder (tarmalo.exe, sounds, DLLs)
#   Tarmalo-<version>-windows.zip the portable program folder
#   Tarmalo-Setup-<version>.exe   the installer
# With --tests the test suites are built too (tests/stages/windows.sh).
# With TARMALO_SIGN_PFX and TARMALO_SIGN_PASSWORD set (and TARMALO_SIGN_TIMESTAMP,
# so that the signatures outlive the certificate), every program and DLL in
# the program folder, the NSIS plugins the setup unpacks, the setup and the
# uninstaller it writes are signed: see scripts/sign-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh

tests=OFF
[ "${1:-}" != --tests ] || tests=ON
ensure_packages "${BUILD_PACKAGES[@]}" g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev \
    binutils-mingw-w64-x86-64 nsis zip
sign=()
if [ -n "${TARMALO_SIGN_PFX:-}" ] && [ -z "${TARMALO_SIGN_PASSWORD+set}" ]; then
    echo "TARMALO_SIGN_PFX is set but TARMALO_SIGN_PASSWORD is not (export it, empty if the file has none)" >&2
    exit 1
fi
if [ -n "${TARMALO_SIGN_PFX:-}" ]; then
    ensure_packages osslsigncode
    [ -r "$TARMALO_SIGN_PFX" ] || { echo "TARMALO_SIGN_PFX: cannot read $TARMALO_SIGN_PFX" >&2; exit 1; }
    sign=(scripts/sign-windows.sh)
    signing="signed with $(sha256sum <"$TARMALO_SIGN_PFX" | cut -d' ' -f1)"
    if [ -n "${TARMALO_SIGN_TIMESTAMP:-}" ]; then
        signing+=", timestamped"
    else
        echo "Not timestamped: TARMALO_SIGN_TIMESTAMP is not set, so the signatures stop" \
             "validating when the certificate expires" >&2
    fi
else
    signing=unsigned
fi
TARMALO_WINDOWS_QT=$(bash scripts/windows-qt.sh | tail -n 1)
export TARMALO_WINDOWS_QT

cmake --preset windows -DTARMALO_BUILD_TESTS="$tests" -DTARMALO_WERROR="${TARMALO_WERROR:-ON}"
cmake --build --preset windows -j"$(nproc)"

out=build-windows
version=$(sed -n 's/^project(Tarmalo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
zip="$out/Tarmalo-$version-windows.zip" setup="$out/Tarmalo-Setup-$version.exe"
signed_note="$out/packed-$version.txt"
plugins_src=/usr/share/nsis/Plugins/amd64-unicode
[ -d "$plugins_src" ] || { echo "No NSIS plugins in $plugins_src" >&2; exit 1; }
# Packed again only when the program folder or what packs or signs it has
# changed, or the certificate has.
if [ -e "$zip" ] && [ -e "$setup" ] && [ "$(cat "$signed_note" 2>/dev/null)" = "$signing" ] &&
   [ -z "$(find "$out/bin" packaging LICENSES assets/icons/tarmalo.ico scripts/build-windows.sh \
                scripts/sign-windows.sh "$plugins_src" -newer "$setup" -print -quit)" ]; then
    echo "Up to date ($signing): $out/bin/tarmalo.exe, $zip, $setup"
    exit 0
fi
rm -f "$signed_note"
stage="$out/stage/Tarmalo"
rm -rf "$out/stage"
cmake --install "$out" --prefix "$stage" >/dev/null
find "$stage" -name '*.exe' -o -name '*.dll' | xargs x86_64-w64-mingw32-strip --strip-unneeded
# Windows may refuse to load an unsigned DLL of a program it does not know,
# so everything that runs is signed, the setup's own plugins included.
plugins="$out/stage/plugins"
mkdir -p "$plugins"
cp "$plugins_src"/*.dll "$plugins"
if [ "${#sign[@]}" -gt 0 ]; then
    find "$stage" "$plugins" -type f \( -name '*.exe' -o -name '*.dll' \) -print0 | sort -z |
        xargs -0 "${sign[@]}"
else
    echo "Unsigned: TARMALO_SIGN_PFX is not set, so the program folder, the setup and its" \
         "uninstaller are not signed"
fi

# The portable form: the program folder, runnable from anywhere.
rm -f "$zip"
(cd "$out/stage" && zip -q -r -9 "../${zip##*/}" Tarmalo)

# The installer names every file it installs, and its uninstaller removes
# exactly those.
files="$out/stage/files.nsh" unfiles="$out/stage/unfiles.nsh"
: >"$files"
: >"$unfiles"
abs_stage=$(cd "$stage" && pwd)
while IFS= read -r dir; do
    win=${dir#.}
    echo "SetOutPath \"\$INSTDIR${win//\//\\}\"" >>"$files"
    find "$stage/$dir" -maxdepth 1 -type f -printf '%f\n' | sort | while IFS= read -r f; do
        echo "File \"$abs_stage/${dir#./}/$f\"" | sed 's|/\./|/|; s|//|/|' >>"$files"
        echo "Delete \"\$INSTDIR${win//\//\\}\\$f\"" >>"$unfiles"
    done
done < <(cd "$stage" && find . -type d | sort)
(cd "$stage" && find . -mindepth 1 -type d | sort -r) | while IFS= read -r dir; do
    d=${dir#.}
    echo "RMDir \"\$INSTDIR${d//\//\\}\"" >>"$unfiles"
done
nsis_sign=()
[ "${#sign[@]}" -eq 0 ] || nsis_sign=(-DSIGN="$(pwd)/${sign[0]}")
makensis -V2 -DVERSION="$version" -DSTAGE="$abs_stage" -DFILES="$(pwd)/$files" \
    -DUNFILES="$(pwd)/$unfiles" -DICON="$(pwd)/assets/icons/tarmalo.ico" \
    -DLICENSE="$abs_stage/LICENSE.txt" -DPLUGINS="$(cd "$plugins" && pwd)" "${nsis_sign[@]}" \
    -DOUTFILE="$(pwd)/$setup" packaging/windows/tarmalo.nsi
echo "$signing" >"$signed_note"

echo "Built: $out/bin/tarmalo.exe"
ls -l "$zip" "$setup" | awk '{print "       " $NF " (" $5 " bytes)"}'
