#!/usr/bin/env bash
# Tarmalo for Windows: built with mingw-w64 against a Qt built here (kept in
# a cache, see scripts/windows-qt.sh), its suites run under Wine, the real
# program driven under Wine on a display and sound server of its own, and
# the installer installed and removed again in a fresh Wine prefix.
# "windows.sh install" only installs what the stage needs; "windows.sh build"
# also builds, and boots the Wine prefix that every run here starts from a
# copy of (build-windows/wine-prefix), so Wine is set up once, not per run.
set -uo pipefail
cd "$(dirname "$0")/../.."
. scripts/lib.sh
ensure_packages g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 nsis zip \
                dpkg-dev qt6-base-dev-tools wine wine64 fonts-wine xvfb xdotool x11-utils imagemagick dbus \
                at-spi2-core python3 python3-pyatspi pulseaudio pulseaudio-utils openbox || exit 1
[ "${1:-}" != install ] || exit 0

started=$(date +%s)
failed=()
bash scripts/build-windows.sh --tests || { echo "windows: the build failed"; exit 1; }
export TARMALO_WINE_PREFIX="$PWD/build-windows/wine-prefix"
wine_version=$(wine --version)
if [ "$(cat "$TARMALO_WINE_PREFIX/.ready" 2>/dev/null)" != "$wine_version" ]; then
    rm -rf "$TARMALO_WINE_PREFIX"
    python3 tests/windows/smoke.py prefix "$TARMALO_WINE_PREFIX" || { echo "windows: no Wine prefix"; exit 1; }
    echo "$wine_version" >"$TARMALO_WINE_PREFIX/.ready"
fi
echo "--- Windows build and Wine prefix: $(( $(date +%s) - started )) s"
[ "${1:-}" != build ] || exit 0

# The suites under Wine, in a copy of their own.
prefix=$(mktemp -d /tmp/tarmalo-wine-XXXXXX)
trap 'WINEPREFIX="$prefix" wineserver -k 2>/dev/null; rm -rf "$prefix"' EXIT
cp -a "$TARMALO_WINE_PREFIX/." "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
ctest --preset windows || failed+=("suites under Wine")
wineserver -k 2>/dev/null
unset WINEPREFIX

python3 tests/windows/smoke.py program build-windows/bin || failed+=("the program under Wine")
python3 tests/windows/smoke.py installer build-windows/Tarmalo-Setup-*.exe || failed+=("the installer")

echo "windows stage time: $(( $(date +%s) - started )) s"
[ "${#failed[@]}" -eq 0 ] || { echo "windows: failed: ${failed[*]}"; exit 1; }
echo "windows: passed"
