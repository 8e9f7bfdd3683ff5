#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarmalo developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Signs Windows programs in place (Authenticode, SHA-256) with osslsigncode:
#   TARMALO_SIGN_PFX        the code-signing certificate and its key (PKCS#12)
#   TARMALO_SIGN_PASSWORD   the PKCS#12 file's password
#   TARMALO_SIGN_TIMESTAMP  optional: an RFC 3161 timestamp server's URL, so
#                           the signature outlives the certificate
# scripts/build-windows.sh calls it for the program folder's programs and
# DLLs and the setup's plugins, and makensis for the uninstaller and the
# setup as it writes them. The password reaches osslsigncode on its standard
# input, never on a command line.
set -euo pipefail
: "${TARMALO_SIGN_PFX:?is not set}" "${TARMALO_SIGN_PASSWORD?is not set}"
[ "$#" -gt 0 ] || { echo "usage: $0 FILE.exe|FILE.dll..." >&2; exit 2; }
timestamp=()
[ -z "${TARMALO_SIGN_TIMESTAMP:-}" ] || timestamp=(-ts "$TARMALO_SIGN_TIMESTAMP")
for f in "$@"; do
    printf '%s' "$TARMALO_SIGN_PASSWORD" |
        osslsigncode sign -pkcs12 "$TARMALO_SIGN_PFX" -readpass - -h sha256 \
            -n Tarmalo -i https://tarmalo.example.org/ "${timestamp[@]}" \
            -in "$f" -out "$f.signed" >/dev/null || { rm -f "$f.signed"; exit 1; }
    mv -f "$f.signed" "$f"
done
echo "Signed${timestamp[0]:+ and timestamped}: $(for f in "$@"; do printf '%s ' "${f##*/}"; done)"
