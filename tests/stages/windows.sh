#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Tarmalo for Windows: built with mingw-w64 against a Qt built here (kept in
# a cache, see scripts/windows-qt.sh), its suites run under Wine, the real
# program driven under Wine on a display and sound server of its own, and
# the installer installed and removed again in a fresh Wine prefix, and
# refused by both while the installed program runs, and a boarding run
# across the night the clocks go back. Everything is signed with a throwaway
# code-signing certificate and timestamped by a timestamp authority of the
# stage's own on 127.0.0.1, and every signature is checked.
# "windows.sh install" only installs what the stage needs; "windows.sh build"
# also builds, and boots the Wine prefix that every run here starts from a
# copy of (build-windows/wine-prefix), so Wine is set up once, not per run.
set -uo pipefail
cd "$(dirname "$0")/../.."
. scripts/lib.sh
stage_packages "${1:-}" g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 nsis zip unzip \
                       dpkg-dev qt6-base-dev-tools wine wine64 fonts-wine xvfb xdotool x11-utils imagemagick dbus \
                       at-spi2-core python3 python3-pyatspi pulseaudio pulseaudio-utils openbox \
                       openssl osslsigncode 7zip faketime tesseract-ocr tesseract-ocr-eng util-linux

started=$(date +%s)
failed=()
# A self-signed code-signing certificate of the stage's own and one for its
# timestamp authority, made once and again when about to expire; being their
# own roots, they are also what the signatures are checked against.
signing=build-windows/test-signing
if ! openssl x509 -checkend 86400 -noout -in "$signing/cert.pem" >/dev/null 2>&1 ||
   [ ! -s "$signing/tarmalo.pfx" ] || [ ! -s "$signing/password" ] || [ ! -s "$signing/tsa-cert.pem" ]; then
    rm -rf "$signing" && mkdir -p "$signing" && chmod 700 "$signing"
    openssl rand -hex 16 >"$signing/password"
    TARMALO_SIGN_PASSWORD=$(cat "$signing/password") \
        openssl req -x509 -newkey rsa:3072 -sha256 -days 30 -noenc -subj "/CN=Tarmalo test signing" \
            -addext keyUsage=critical,digitalSignature -addext extendedKeyUsage=codeSigning \
            -keyout "$signing/key.pem" -out "$signing/cert.pem" 2>/dev/null &&
    TARMALO_SIGN_PASSWORD=$(cat "$signing/password") \
        openssl pkcs12 -export -inkey "$signing/key.pem" -in "$signing/cert.pem" \
            -out "$signing/tarmalo.pfx" -passout env:TARMALO_SIGN_PASSWORD &&
    openssl req -x509 -newkey rsa:3072 -sha256 -days 30 -noenc -subj "/CN=Tarmalo test timestamps" \
        -addext keyUsage=critical,digitalSignature -addext extendedKeyUsage=critical,timeStamping \
        -keyout "$signing/tsa-key.pem" -out "$signing/tsa-cert.pem" 2>/dev/null ||
        { echo "windows: no test certificate"; exit 1; }
fi
TARMALO_SIGN_PASSWORD=$(cat "$signing/password")
export TARMALO_SIGN_PFX="$PWD/$signing/tarmalo.pfx" TARMALO_SIGN_PASSWORD
export TARMALO_SIGN_CA="$PWD/$signing/cert.pem" TARMALO_SIGN_TSA_CA="$PWD/$signing/tsa-cert.pem"
tsa_url=$(mktemp /tmp/tarmalo-tsa-XXXXXX)
python3 tests/windows/tsa.py "$signing" >"$tsa_url" 2>build-windows/tsa.log &
tsa_pid=$!
cleanup() {
    kill "$tsa_pid" 2>/dev/null
    rm -f "$tsa_url"
    [ -z "${prefix:-}" ] || { WINEPREFIX="$prefix" wineserver -k 2>/dev/null; rm -rf "$prefix"; }
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$tsa_url" ] && break; sleep 0.1; done
TARMALO_SIGN_TIMESTAMP=$(cat "$tsa_url")
[ -n "$TARMALO_SIGN_TIMESTAMP" ] || { echo "windows: the timestamp authority did not start"; exit 1; }
export TARMALO_SIGN_TIMESTAMP
bash scripts/build-windows.sh --tests || { echo "windows: the build failed"; exit 1; }
export TARMALO_WINE_PREFIX="$PWD/build-windows/wine-prefix"
# Made again for another Wine, or one made before it was set to Windows 10.
wine_version="$(wine --version), Windows 10"
if [ "$(cat "$TARMALO_WINE_PREFIX/.ready" 2>/dev/null)" != "$wine_version" ]; then
    rm -rf "$TARMALO_WINE_PREFIX"
    python3 tests/windows/smoke.py prefix "$TARMALO_WINE_PREFIX" || { echo "windows: no Wine prefix"; exit 1; }
    echo "$wine_version" >"$TARMALO_WINE_PREFIX/.ready"
fi
echo "--- Windows build and Wine prefix: $(( $(date +%s) - started )) s"
[ "${1:-}" != build ] || exit 0

# The suites under Wine, in a copy of their own.
prefix=$(mktemp -d /tmp/tarmalo-wine-XXXXXX)
cp -a "$TARMALO_WINE_PREFIX/." "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
ctest --preset windows || failed+=("suites under Wine")
wineserver -k 2>/dev/null
unset WINEPREFIX

python3 tests/windows/smoke.py program build-windows/bin || failed+=("the program under Wine")
python3 tests/windows/smoke.py installer build-windows/Tarmalo-Setup-*.exe || failed+=("the installer")
# Europe/Berlin for Wine and everything else in a mount namespace of its own.
unshare -m sh -c 'mount --bind /usr/share/zoneinfo/Europe/Berlin /etc/localtime &&
                  exec python3 tests/windows/smoke.py autumn build-windows/bin' ||
    failed+=("the boarding across the autumn clock change")

# The zip: the licence texts beside the program, and every program and DLL
# in it signed; so is everything the setup holds, its plugins included.
unzipped=$(mktemp -d /tmp/tarmalo-zip-XXXXXX)
unzip -q build-windows/Tarmalo-*-windows.zip -d "$unzipped"
7zz x -y -bd -o"$unzipped/setup" build-windows/Tarmalo-Setup-*.exe >/dev/null
python3 tests/windows/smoke.py signatures "$unzipped/Tarmalo" "$unzipped/setup" || failed+=("signatures")
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
