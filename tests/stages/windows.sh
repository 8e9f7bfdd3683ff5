#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Tarmalo for Windows: built with mingw-w64 against a Qt built here (kept in
# a cache, see scripts/windows-qt.sh), its suites run under Wine, the real
# program driven under Wine on a display and sound server of its own, and
# the installer installed and removed again in a fresh Wine prefix, and
# refused by both while the installed program runs. Everything is signed
# with a throwaway code-signing certificate, and the signatures checked.
# "windows.sh install" only installs what the stage needs; "windows.sh build"
# also builds, and boots the Wine prefix that every run here starts from a
# copy of (build-windows/wine-prefix), so Wine is set up once, not per run.
set -uo pipefail
cd "$(dirname "$0")/../.."
. scripts/lib.sh
ensure_packages g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 nsis zip unzip \
                dpkg-dev qt6-base-dev-tools wine wine64 fonts-wine xvfb xdotool x11-utils imagemagick dbus \
                at-spi2-core python3 python3-pyatspi pulseaudio pulseaudio-utils openbox \
                openssl osslsigncode || exit 1
[ "${1:-}" != install ] || exit 0

started=$(date +%s)
failed=()
# A self-signed code-signing certificate of the stage's own, made once and
# again when it is about to expire; being its own root, it is also what the
# signatures are checked against.
signing=build-windows/test-signing
if ! openssl x509 -checkend 86400 -noout -in "$signing/cert.pem" >/dev/null 2>&1 ||
   [ ! -s "$signing/tarmalo.pfx" ] || [ ! -s "$signing/password" ]; then
    rm -rf "$signing" && mkdir -p "$signing" && chmod 700 "$signing"
    openssl rand -hex 16 >"$signing/password"
    TARMALO_SIGN_PASSWORD=$(cat "$signing/password") \
        openssl req -x509 -newkey rsa:3072 -sha256 -days 30 -noenc -subj "/CN=Tarmalo test signing" \
            -addext keyUsage=critical,digitalSignature -addext extendedKeyUsage=codeSigning \
            -keyout "$signing/key.pem" -out "$signing/cert.pem" 2>/dev/null &&
    TARMALO_SIGN_PASSWORD=$(cat "$signing/password") \
        openssl pkcs12 -export -inkey "$signing/key.pem" -in "$signing/cert.pem" \
            -out "$signing/tarmalo.pfx" -passout env:TARMALO_SIGN_PASSWORD ||
        { echo "windows: no test certificate"; exit 1; }
fi
TARMALO_SIGN_PASSWORD=$(cat "$signing/password")
export TARMALO_SIGN_PFX="$PWD/$signing/tarmalo.pfx" TARMALO_SIGN_PASSWORD
export TARMALO_SIGN_CA="$PWD/$signing/cert.pem"
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

# The zip: the licence texts beside the program. (Its tarmalo.exe is the
# one the setup installs, whose signature the smoke test checks.)
unzipped=$(mktemp -d /tmp/tarmalo-zip-XXXXXX)
unzip -q build-windows/Tarmalo-*-windows.zip -d "$unzipped"
for f in LICENSE.txt:LICENSES/GPL-3.0-or-later.txt COPYRIGHT.txt:packaging/copyright; do
    if cmp -s "$unzipped/Tarmalo/${f%%:*}" "${f#*:}"; then
        echo "ok: the zip carries ${f%%:*} (${f#*:})"
    else
        failed+=("${f%%:*} in the zip")
    fi
done
rm -rf "$unzipped"

echo "windows stage time: $(( $(date +%s) - started )) s"
[ "${#failed[@]}" -eq 0 ] || { echo "windows: failed: ${failed[*]}"; exit 1; }
echo "windows: passed"
