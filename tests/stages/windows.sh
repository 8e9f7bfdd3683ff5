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
cleanup() {
    [ -z "${tsa_pid:-}" ] || kill "$tsa_pid" 2>/dev/null
    rm -f "${tsa_url:-}"
    [ -z "${prefix:-}" ] || { WINEPREFIX="$prefix" wineserver -k 2>/dev/null; rm -rf "$prefix"; }
    # A prefix still booting when the build failed is left unfinished.
    [ -z "${boot_pid:-}" ] || { kill "$boot_pid" 2>/dev/null; WINEPREFIX="$TARMALO_WINE_PREFIX" wineserver -k 2>/dev/null; }
}
trap cleanup EXIT
export TARMALO_WINE_PREFIX="$PWD/build-windows/wine-prefix"
# The test command sets TARMALO_WINDOWS_BUILT=1 once "windows.sh build" has
# passed: then the build is not looked over a second time.
if [ "${1:-}" = build ] || [ "${TARMALO_WINDOWS_BUILT:-}" != 1 ]; then
    tsa_url=$(mktemp /tmp/tarmalo-tsa-XXXXXX)
    python3 tests/windows/tsa.py "$signing" >"$tsa_url" 2>build-windows/tsa.log &
    tsa_pid=$!
    for _ in $(seq 100); do [ -s "$tsa_url" ] && break; sleep 0.1; done
    TARMALO_SIGN_TIMESTAMP=$(cat "$tsa_url")
    [ -n "$TARMALO_SIGN_TIMESTAMP" ] || { echo "windows: the timestamp authority did not start"; exit 1; }
    export TARMALO_SIGN_TIMESTAMP
    # Made again for another Wine, or one made before it was set to Windows 10.
    # It needs nothing built, so Wine boots it while the build runs.
    wine_version="$(wine --version), Windows 10"
    if [ "$(cat "$TARMALO_WINE_PREFIX/.ready" 2>/dev/null)" != "$wine_version" ]; then
        rm -rf "$TARMALO_WINE_PREFIX"
        mkdir -p build-windows
        python3 tests/windows/smoke.py prefix "$TARMALO_WINE_PREFIX" >build-windows/wine-prefix.log 2>&1 &
        boot_pid=$!
    fi
    bash scripts/build-windows.sh --tests || { echo "windows: the build failed"; exit 1; }
    if [ -n "${boot_pid:-}" ]; then
        wait "$boot_pid"
        boot_rc=$?
        boot_pid=
        cat build-windows/wine-prefix.log
        [ "$boot_rc" -eq 0 ] || { echo "windows: no Wine prefix"; exit 1; }
        echo "$wine_version" >"$TARMALO_WINE_PREFIX/.ready"
    fi
    echo "--- Windows build and Wine prefix: $(( $(date +%s) - started )) s"
fi
[ "${1:-}" != build ] || exit 0

# part WHAT COMMAND...: one part of the stage, its time said.
part() {
    local what="$1" t0; t0=$(date +%s); shift
    "$@" || failed+=("$what")
    echo "--- $what: $(( $(date +%s) - t0 )) s"
}

# The suites under Wine, in a copy of their own, with a sound server of
# their own: the Linux suites may be playing on the test command's meanwhile.
wine_suites() (
    pulse=$(tests/audio/pulse-null.sh start) && eval "$pulse"
    export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    # Wine's server and services started up front, away from CTest: started
    # by a suite, they would hold its output open, and CTest would wait for
    # them to end.
    wineserver -p; wine cmd /c exit </dev/null >/dev/null 2>&1
    ctest --preset windows
    rc=$?
    wineserver -k 2>/dev/null
    [ -z "$pulse" ] || tests/audio/pulse-null.sh stop >/dev/null 2>&1
    exit "$rc"
)
prefix=$(mktemp -d /tmp/tarmalo-wine-XXXXXX)
cp -a "$TARMALO_WINE_PREFIX/." "$prefix"
part "suites under Wine" wine_suites

# The three sessions mostly wait for real time: they run side by side, each
# on a display, sound server and Wine prefix of its own, and each one's
# output is shown once all have ended.
sessions=$(mktemp -d /tmp/tarmalo-sessions-XXXXXX)
session_pids=()
session() {  # WHAT COMMAND...
    local what="$1"; shift
    (failed=(); part "$what" "$@"; echo "${#failed[@]}" >"$sessions/$what.failed") >"$sessions/$what.log" 2>&1 &
    session_pids+=("$!")
}
session "the program under Wine" python3 tests/windows/smoke.py program build-windows/bin
session "the installer" python3 tests/windows/smoke.py installer build-windows/Tarmalo-Setup-*.exe
# Europe/Berlin for Wine and everything else in a mount namespace of its own.
session "the boarding across the autumn clock change" \
    unshare -m sh -c 'mount --bind /usr/share/zoneinfo/Europe/Berlin /etc/localtime &&
                      exec python3 tests/windows/smoke.py autumn build-windows/bin'
wait "${session_pids[@]}"
for what in "the program under Wine" "the installer" "the boarding across the autumn clock change"; do
    cat "$sessions/$what.log"
    [ "$(cat "$sessions/$what.failed" 2>/dev/null)" = 0 ] || failed+=("$what")
done
rm -rf "$sessions"

# The zip: the licence texts beside the program, and every program and DLL
# in it signed; so is everything the setup holds, its plugins included.
unzipped=$(mktemp -d /tmp/tarmalo-zip-XXXXXX)
unzip -q build-windows/Tarmalo-*-windows.zip -d "$unzipped"
7zz x -y -bd -o"$unzipped/setup" build-windows/Tarmalo-Setup-*.exe >/dev/null
part signatures python3 tests/windows/smoke.py signatures "$unzipped/Tarmalo" "$unzipped/setup"
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
