#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds Qt for Windows (x86_64, mingw-w64) from Debian's own qt6-base source,
# the same version as the host's Qt, and keeps it in a per-user cache keyed
# by version and options. A later run finds it and builds nothing.
# Prints the Qt prefix as its last line.
#   TARMALO_QT_CACHE  cache folder (default ~/.cache/tarmalo)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib.sh"

ensure_packages "${BUILD_PACKAGES[@]}" qt6-base-dev-tools dpkg-dev cmake ninja-build \
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev >&2
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
upstream=${version%%+*}
# Only what Tarmalo and its suites use. Dynamic OpenGL: 6.4's windows
# plugin does not build without OpenGL; Debian's source has no wintab.
options=(
    -DBUILD_SHARED_LIBS=ON -DCMAKE_BUILD_TYPE=Release
    -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_dbus=OFF -DFEATURE_network=OFF -DFEATURE_sql=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DFEATURE_opengl_dynamic=ON -DFEATURE_opengl_desktop=OFF -DFEATURE_opengles2=OFF
    -DFEATURE_tabletevent=OFF -DFEATURE_vulkan=OFF -DFEATURE_openssl=OFF
    -DFEATURE_sql_odbc=OFF -DFEATURE_imageformat_jpeg=OFF -DFEATURE_gif=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_libpng=OFF -DFEATURE_system_freetype=OFF
)
# The compiler's version is part of the key; the toolchain file is not, as it
# only names that compiler.
key=$(printf '%s\n' "$version" "${options[@]}" "$(x86_64-w64-mingw32-g++-posix -dumpversion 2>/dev/null)" |
      sha256sum | cut -c1-12)
cache=${TARMALO_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarmalo}
prefix="$cache/qt-$upstream-mingw-$key"
if [ -e "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

work="$cache/work-$key"
mkdir -p "$work"
exec 3>&1 1>&2

# The source through an apt configuration of our own: deb-src lines made
# from the machine's deb lines, with private state and cache folders.
if [ ! -d "$work/src" ]; then
    apt="$work/apt"
    mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/fetch"
    : >"$apt/sources.list"
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >>"$apt/sources.list"
    done
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             /(^|\n)Enabled:[[:space:]]*no/ { next }
             /(^|\n)Types:[^\n]*deb([[:space:]]|$)/ {
                 sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' \
            "$f" >"$apt/sources.list.d/$(basename "$f")"
    done
    aptopts=(-o "Dir::Etc::SourceList=$apt/sources.list"
             -o "Dir::Etc::SourceParts=$apt/sources.list.d"
             -o "Dir::State::Lists=$apt/lists" -o "Dir::State::status=/var/lib/dpkg/status"
             -o "Dir::Cache=$apt/cache" -o "Debug::NoLocking=1")
    apt-get "${aptopts[@]}" update -q || true
    (cd "$apt/fetch" && apt-get "${aptopts[@]}" source -q "qt6-base=$version")
    srcdir=$(find "$apt/fetch" -maxdepth 1 -mindepth 1 -type d -name 'qt6-base-*' | head -n1)
    [ -n "$srcdir" ] || { echo "qt6-base $version: no source unpacked" >&2; exit 1; }
    mv "$srcdir" "$work/src"
    rm -rf "$apt"
fi

echo "Building Qt $upstream for Windows into $prefix (once; about 15 minutes on two cores)"
t0=$(date +%s)
cmake -G Ninja -S "$work/src" -B "$work/build" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}"
cmake --build "$work/build" -j"$(nproc)"
cmake --install "$work/build"
# The source and licence texts go with the build, for whoever ships it.
cp -r "$work/src/LICENSES" "$prefix/" 2>/dev/null || true
echo "$version" >"$prefix/.complete"
echo "Qt for Windows built in $(( $(date +%s) - t0 )) s"
rm -rf "$work"
echo "$prefix" >&3
