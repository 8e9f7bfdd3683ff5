#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Cross-compiles the Windows registry backend with mingw-w64 and runs its
# tests under Wine, against values written into a private Wine registry,
# with Wine's registry calls traced: the System Information keys must be
# opened for reading only, as a standard Windows user is allowed to.
# Installs the compiler and Wine from Debian when they are missing. With
# TARMALO_WINE_PREFIX naming the Windows stage's ready prefix, it starts from
# a copy of that.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../../src" && pwd)

find_cxx() {
    for c in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-win32 x86_64-w64-mingw32-g++; do
        if command -v "$c" >/dev/null 2>&1; then echo "$c"; return; fi
    done
}

missing=()
[ -n "$(find_cxx)" ] || missing+=(g++-mingw-w64-x86-64-posix)
command -v wine >/dev/null 2>&1 || missing+=(wine wine64)
if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
cxx=$(find_cxx)

work=$(mktemp -d /tmp/tarmalo-wine.XXXXXX)
cleanup() {
    WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

echo "== building with $cxx"
"$cxx" -std=c++20 -O1 -Wall -Wextra -static -I "$src" \
    -o "$work/registry_test.exe" \
    "$here/registry_test.cpp" "$src/platform/win32/Registry.cpp" "$src/platform/win32/WinRegistry.cpp" \
    -ladvapi32

export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko prompts, no display needed for console programs.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

# Every opening of either System Information key asks for KEY_READ
# (20019) and nothing more; a standard Windows user gets no more under HKLM.
check_read_only_opens() {
    local key opens
    for key in 'Shared Tools\\MSINFO"' 'Shared Tools Location"'; do
        opens=$(grep -F "trace:reg:NtOpenKeyEx" "$work/reg-trace.txt" | grep -F "$key" || true)
        if [ -z "$opens" ]; then
            echo "== no opening of ${key%\"} in the trace"
            return 1
        fi
        echo "$opens" | sed 's/^/   /'
        if echo "$opens" | grep -vqE '",20019,'; then
            echo "== ${key%\"} opened with more than read rights"
            return 1
        fi
    done
    echo "== both System Information keys opened for reading only"
}

echo "== preparing a Wine registry in $WINEPREFIX"
template=${TARMALO_WINE_PREFIX:-}
if [ -n "$template" ] && [ "$(cat "$template/.ready" 2>/dev/null)" = "$(wine --version), Windows 10" ]; then
    # The Windows stage's prefix, booted and set to Windows 10 already: a
    # copy instead of booting Wine once more.
    cp -a "$template/." "$WINEPREFIX"
else
    wine wineboot --init >/dev/null 2>&1
    # Windows 10, as Tarmalo is built for (a new prefix says Windows 7).
    wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win10 /f >/dev/null 2>&1
fi
add() { wine reg add "$@" /f >/dev/null 2>&1 || { echo "reg add $* failed"; exit 1; }; }
key='HKLM\SOFTWARE\TarmaloTest'
add "$key" /v WithNul /t REG_SZ /d 'C:\Tools\sysinfo.exe'
add "$key" /v Fits /t REG_SZ /d "$(printf 'f%.0s' $(seq 1023))"
add "$key" /v Long /t REG_SZ /d "$(printf 'x%.0s' $(seq 1500))"
add "$key" /v Empty /t REG_SZ /d ''
add "$key" /v Number /t REG_DWORD /d 42
add "$key" /v Big /t REG_DWORD /d 0x12345678
add 'HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO' /v PATH /t REG_SZ /d 'C:\windows\system32\msinfo32.exe'
add 'HKLM\SOFTWARE\Microsoft\Shared Tools Location' /v MSINFO /t REG_SZ /d 'C:\windows\system32'

echo "== running the registry tests under $(wine --version), WINEDEBUG=+reg"
set +e
WINEDEBUG=+reg wine "$work/registry_test.exe" 2>"$work/reg-trace.txt" | tr -d '\r' | tee "$work/out.txt"
rc=${PIPESTATUS[0]}
set -e
summary=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$work/out.txt" || true)
if [ "$rc" -ne 0 ] || [ -z "$summary" ]; then
    echo "== Windows registry backend: FAILED (exit $rc)"
    exit 1
fi
check_read_only_opens || exit 1
echo "== Windows registry backend: all passed"
