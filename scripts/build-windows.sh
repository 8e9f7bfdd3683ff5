#!/usr/bin/env bash
# Builds Tarmalo for 64-bit Windows on Debian: installs what is missing,
# builds Qt for Windows once (scripts/windows-qt.sh keeps it in a cache),
# then Tarmalo with the project's own CMake. Leaves in build-windows/:
#   bin/                          the program folder (tarmalo.exe, sounds, DLLs)
#   Tarmalo-<version>-windows.zip the portable program folder
#   Tarmalo-Setup-<version>.exe   the installer
# With --tests the test suites are built too (tests/stages/windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh

tests=OFF
[ "${1:-}" != --tests ] || tests=ON
ensure_packages "${BUILD_PACKAGES[@]}" g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev \
    binutils-mingw-w64-x86-64 nsis zip
TARMALO_WINDOWS_QT=$(bash scripts/windows-qt.sh | tail -n 1)
export TARMALO_WINDOWS_QT

cmake --preset windows -DTARMALO_BUILD_TESTS="$tests" -DTARMALO_WERROR="${TARMALO_WERROR:-ON}"
cmake --build --preset windows -j"$(nproc)"

out=build-windows
version=$(sed -n 's/^project(Tarmalo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
zip="$out/Tarmalo-$version-windows.zip" setup="$out/Tarmalo-Setup-$version.exe"
# Packed again only when the program folder or what packs it has changed.
if [ -e "$zip" ] && [ -e "$setup" ] && [ -z "$(find "$out/bin" packaging assets/icons/tarmalo.ico \
                                               scripts/build-windows.sh -newer "$setup" -print -quit)" ]; then
    echo "Up to date: $out/bin/tarmalo.exe, $zip, $setup"
    exit 0
fi
stage="$out/stage/Tarmalo"
rm -rf "$out/stage"
cmake --install "$out" --prefix "$stage" >/dev/null
find "$stage" -name '*.exe' -o -name '*.dll' | xargs x86_64-w64-mingw32-strip --strip-unneeded

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
makensis -V2 -DVERSION="$version" -DSTAGE="$abs_stage" -DFILES="$(pwd)/$files" \
    -DUNFILES="$(pwd)/$unfiles" -DICON="$(pwd)/assets/icons/tarmalo.ico" \
    -DOUTFILE="$(pwd)/$setup" packaging/windows/tarmalo.nsi

echo "Built: $out/bin/tarmalo.exe"
ls -l "$zip" "$setup" | awk '{print "       " $NF " (" $5 " bytes)"}'
