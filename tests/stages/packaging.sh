#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Installation and the Debian package: checks the tree's licence notes with
# reuse, installs into a staging folder and checks the layout, validates the
# desktop entry and the AppStream metadata, builds the .deb, checks it with
# lintian, installs it with apt-get, starts the installed program
# headless and has it find its sounds, then removes it and looks for
# leftovers.  Needs root (or sudo) for apt-get; leaves no package behind.
#
# TARMALO_BUILD_DIR: the built tree to use (default: build, as scripts/test.sh
# leaves it).
set -uo pipefail
cd "$(dirname "$0")/../.."
. scripts/lib.sh
stage_packages "${1:-}" desktop-file-utils appstream dpkg-dev file binutils lintian man-db reuse

build=${TARMALO_BUILD_DIR:-build}
sounds=(Ding.wav BoardComplete.wav Gndbrief.wav Pretaxbr.wav)
icon_sizes=(16 32 48 64 128 256)
desktop_id=tarmalo.desktop
metainfo=org.example.tarmalo.metainfo.xml
apt_opts=(-y -q -o DPkg::Lock::Timeout=300)

failures=0
ok()   { echo "ok:   $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
die()  { echo "FAIL: $*"; exit 1; }
check() {  # check DESCRIPTION COMMAND...
    local what="$1"; shift
    if "$@"; then ok "$what"; else fail "$what"; fi
}

[ -x "$build/bin/tarmalo" ] || die "no $build/bin/tarmalo: build first"
[ -x "$build/bin/tarmalo-soundcheck" ] || die "no $build/bin/tarmalo-soundcheck: build first"
[ -f "$build/CPackConfig.cmake" ] || die "no $build/CPackConfig.cmake: configure first"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
[ -n "$version" ] || die "no package version in $build/CPackConfig.cmake"
arch=$(dpkg --print-architecture)

tmp=$(mktemp -d)
# apt's download user must be able to read the .deb.
chmod 755 "$tmp"

# Two runs on one machine would fight over the one installed package.
exec 9>/tmp/tarmalo-packaging.lock
flock -w 900 9 || die "another packaging run holds /tmp/tarmalo-packaging.lock"

installed_by_us=false
extra_packages=()
cleanup() {
    if $installed_by_us && dpkg-query -W -f='${Status}' tarmalo 2>/dev/null | grep -q "ok installed"; then
        echo "cleanup: removing the tarmalo package"
        as_root env DEBIAN_FRONTEND=noninteractive apt-get remove --purge "${apt_opts[@]}" tarmalo >/dev/null
    fi
    if [ "${#extra_packages[@]}" -gt 0 ]; then
        echo "cleanup: purging what the package pulled in: ${extra_packages[*]}"
        as_root env DEBIAN_FRONTEND=noninteractive apt-get purge "${apt_opts[@]}" "${extra_packages[@]}" >/dev/null
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if dpkg-query -W -f='${Status}' tarmalo 2>/dev/null | grep -q "ok installed"; then
    die "a tarmalo package is installed already; remove it first (apt-get remove --purge tarmalo)"
fi
[ ! -e /usr/lib/tarmalo ] || die "/usr/lib/tarmalo exists without the package; leftovers could not be told apart"

# Runs an installed program headless, away from the user's settings.
run_headless() {
    env -i PATH=/usr/bin:/bin HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config" \
        XDG_RUNTIME_DIR="$tmp/run" QT_QPA_PLATFORM=offscreen \
        ${PULSE_SERVER:+PULSE_SERVER="$PULSE_SERVER"} "$@"
}
mkdir -p "$tmp/home" "$tmp/run"
chmod 700 "$tmp/run"

# The sound check of a program installed under PREFIX: the check tool,
# built from the program's library but never installed, is put beside the
# installed program for the time of the check and started through a link
# in PREFIX/bin as the program is; its folder must be PREFIX/lib/tarmalo
# and all four sounds must be taken by the player's reader.
soundcheck="$build/bin/tarmalo-soundcheck"
check_sounds() {
    local prefix="$1" out rc=0 s
    local tool="$prefix/lib/tarmalo/tarmalo-soundcheck" link="$tmp/bin/tarmalo-soundcheck"
    as_root_if "$prefix" install -m 755 "$soundcheck" "$tool" || return 1
    mkdir -p "$tmp/bin" && ln -sf "$tool" "$link"
    out=$(cd / && run_headless "$link" 2>"$tmp/soundcheck.err") || rc=$?
    as_root_if "$prefix" rm -f "$tool"
    rm -f "$link"
    printf '      %s\n' "${out//$'\n'/$'\n'      }"
    [ "$rc" -eq 0 ] || { echo "      exit code $rc"; sed 's/^/      /' "$tmp/soundcheck.err"; return 1; }
    grep -qx "sound folder: $prefix/lib/tarmalo" <<<"$out" || return 1
    for s in "${sounds[@]}"; do
        grep -qx "ok      $prefix/lib/tarmalo/$s: loads" <<<"$out" || return 1
    done
}
# The staging folder is ours; the installed package's folder needs root.
as_root_if() {
    local prefix="$1"; shift
    if [ "$prefix" = /usr ]; then as_root "$@"; else "$@"; fi
}

png_size() {  # width x height from the PNG header
    local b; b=($(od -An -tu1 -j16 -N8 "$1"))
    [ "${#b[@]}" -eq 8 ] || return 1
    echo "$(( (b[0]<<24) + (b[1]<<16) + (b[2]<<8) + b[3] ))x$(( (b[4]<<24) + (b[5]<<16) + (b[6]<<8) + b[7] ))"
}

echo "--- licence notes"
# Every file of the tree says under which licence it is, in a header or in
# .reuse/dep5, and every licence named has its text in LICENSES/.
if reuse lint >"$tmp/reuse.log" 2>&1; then
    ok "reuse lint: $(grep -m1 'compliant' "$tmp/reuse.log")"
else
    fail "reuse lint:"; grep -v '^$' "$tmp/reuse.log" | tail -n 40 | sed 's/^/      /'
fi

echo "--- install into a staging folder ($build, version $version)"
stage="$tmp/stage/usr"
cmake --install "$build" --prefix "$stage" >"$tmp/install.log" 2>&1 || { cat "$tmp/install.log"; die "cmake --install"; }

expected=(bin/tarmalo lib/tarmalo/tarmalo)
for s in "${sounds[@]}"; do expected+=("lib/tarmalo/$s"); done
expected+=("share/applications/$desktop_id" "share/metainfo/$metainfo"
           share/doc/tarmalo/README.md share/doc/tarmalo/copyright share/doc/tarmalo/changelog.gz
           share/man/man1/tarmalo.1.gz)
for n in "${icon_sizes[@]}"; do expected+=("share/icons/hicolor/${n}x${n}/apps/tarmalo.png"); done
# Whatever the README links under docs/ is installed beside it.
readme_docs=($(grep -o '](docs/[^)]*)' README.md | sed 's/^](//; s/)$//' | sort -u))
[ "${#readme_docs[@]}" -gt 0 ] || die "README.md links nothing under docs/"
for d in "${readme_docs[@]}"; do expected+=("share/doc/tarmalo/$d"); done
actual=$(cd "$stage" && find . ! -type d | sed 's|^\./||' | sort)
if [ "$actual" = "$(printf '%s\n' "${expected[@]}" | sort)" ]; then
    ok "installed exactly the ${#expected[@]} expected files (no tests, no benchmarks)"
else
    fail "installed files differ from the expected ones:"
    diff <(printf '%s\n' "${expected[@]}" | sort) <(echo "$actual") | sed 's/^/      /'
fi
check "lib/tarmalo/tarmalo is an executable file" test -f "$stage/lib/tarmalo/tarmalo" -a -x "$stage/lib/tarmalo/tarmalo"
check "bin/tarmalo is a link to ../lib/tarmalo/tarmalo" \
    test "$(readlink "$stage/bin/tarmalo")" = ../lib/tarmalo/tarmalo
check "bin/tarmalo resolves to the installed executable" \
    test "$(readlink -f "$stage/bin/tarmalo")" = "$(readlink -f "$stage/lib/tarmalo/tarmalo")"
for s in "${sounds[@]}"; do
    check "lib/tarmalo/$s is assets/sounds/$s" cmp -s "assets/sounds/$s" "$stage/lib/tarmalo/$s"
done
for n in "${icon_sizes[@]}"; do
    f="$stage/share/icons/hicolor/${n}x${n}/apps/tarmalo.png"
    check "hicolor ${n}x${n} icon is a ${n}x${n} PNG" test "$(png_size "$f" 2>/dev/null)" = "${n}x${n}"
done
check "staged program's folder, reached through a link, holds its four sounds" \
    check_sounds "$stage"
for d in "${readme_docs[@]}"; do
    check "share/doc/tarmalo/$d is the README's $d" cmp -s "$d" "$stage/share/doc/tarmalo/$d"
done

echo "--- hardening and reproducibility"
# As lintian and Debian's hardening-check see a program: read-only
# relocations bound at start-up, position-independent, the stack guarded,
# fortified calls.
program="$stage/lib/tarmalo/tarmalo"
readelf -lW "$program" >"$tmp/segments.txt"
readelf -dW "$program" >"$tmp/dynamic.txt"
readelf -hW "$program" >"$tmp/header.txt"
readelf --dyn-syms -W "$program" >"$tmp/symbols.txt"
check "GNU_RELRO segment" grep -q GNU_RELRO "$tmp/segments.txt"
check "bound at start-up (BIND_NOW)" grep -qE '\(FLAGS\) +BIND_NOW|\(FLAGS_1\) +Flags:.* NOW' "$tmp/dynamic.txt"
is_pie() { grep -qE 'Type: +DYN' "$tmp/header.txt" && grep -qE '\(FLAGS_1\) +Flags:.* PIE' "$tmp/dynamic.txt"; }
check "position-independent (Type DYN, FLAGS_1 PIE)" is_pie
check "stack protector (__stack_chk_fail)" grep -qE 'UND __stack_chk_fail@' "$tmp/symbols.txt"
fortified=$(grep -oE 'UND __[a-z0-9_]+_chk@' "$tmp/symbols.txt" | sed 's/^UND //; s/@$//' | sort -u | paste -sd' ' -)
check "fortified functions (${fortified:-none})" test -n "$fortified"
# The folder it was built in leaves no trace: builds from two checkouts
# give the same program.
check "build/bin/tarmalo names neither $PWD nor $(cd "$build" && pwd)" \
    bash -c '! grep -qaF -e "$1" -e "$2" "$3"' _ "$PWD/" "$(cd "$build" && pwd)/" "$build/bin/tarmalo"

echo "--- desktop entry and AppStream metadata"
desktop="$stage/share/applications/$desktop_id"
meta="$stage/share/metainfo/$metainfo"
if out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ]; then
    ok "desktop-file-validate $desktop_id: no complaints"
else
    fail "desktop-file-validate $desktop_id:"; echo "$out" | sed 's/^/      /'
fi
if out=$(appstreamcli validate --no-net "$meta" 2>&1); then
    ok "appstreamcli validate --no-net $metainfo: $(echo "$out" | tail -n1)"
else
    fail "appstreamcli validate --no-net $metainfo:"; echo "$out" | sed 's/^/      /'
fi
key() { sed -n "s/^$1=//p" "$desktop"; }
check "desktop entry runs the installed command (Exec=$(key Exec))" \
    test "$(key Exec)" = tarmalo -a -L "$stage/bin/tarmalo"
check "desktop entry names the installed icon (Icon=$(key Icon))" \
    test "$(key Icon)" = tarmalo
check "the program announces the same desktop id (setDesktopFileName in src/app/main.cpp)" \
    grep -q "setDesktopFileName(QStringLiteral(\"${desktop_id%.desktop}\"))" src/app/main.cpp
check "metainfo launches $desktop_id" grep -q "<launchable type=\"desktop-id\">$desktop_id</launchable>" "$meta"
newest=$(grep -o '<release version="[^"]*"' "$meta" | head -n1 | cut -d'"' -f2)
check "metainfo's newest release ($newest) is the project version ($version)" test "$newest" = "$version"
check "metainfo names the program's licence" \
    grep -q "<project_license>GPL-3.0-or-later</project_license>" "$meta"
changelog_version=$(gzip -dc "$stage/share/doc/tarmalo/changelog.gz" | dpkg-parsechangelog -l - -S Version 2>&1)
check "the changelog's newest entry ($changelog_version) is the project version ($version)" \
    test "$changelog_version" = "$version"
shot=$(sed -n 's|.*<image>\(.*\)</image>.*|\1|p' "$meta" | head -n1)
check "metainfo's screenshot is the README's (${shot##*/})" \
    grep -q "(docs/${shot##*/})" README.md

echo "--- Debian package"
mkdir -p "$tmp/pkg"
chmod 755 "$tmp/pkg"
cpack --config "$build/CPackConfig.cmake" -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; die "cpack"; }
deb="$tmp/pkg/tarmalo_${version}_${arch}.deb"
[ -f "$deb" ] || { ls "$tmp/pkg"; die "cpack made no $(basename "$deb")"; }
ok "cpack built $(basename "$deb") ($(stat -c %s "$deb") bytes)"
if grep -qiE 'warning|error' "$tmp/cpack.log"; then
    fail "cpack printed warnings:"; sed 's/^/      /' "$tmp/cpack.log"
else
    ok "cpack printed no warning"
fi
# Debian's own checker: no error and no warning. Its I: and pedantic notes
# are shown, not failed on.
lintian --display-info --pedantic --fail-on error,warning "$deb" >"$tmp/lintian.log" 2>&1
lintian_rc=$?
grep -E '^[IPX]:' "$tmp/lintian.log" | sed 's/^/      /'
if [ "$lintian_rc" -eq 0 ] && ! grep -qE '^[EW]:' "$tmp/lintian.log"; then
    ok "lintian $(basename "$deb"): no error, no warning"
else
    fail "lintian $(basename "$deb") (exit code $lintian_rc):"
    grep -vE '^(N:|[IPX]:)' "$tmp/lintian.log" | sed 's/^/      /'
fi
check "lintian finds the program hardened (no hardening-* tag)" \
    bash -c '! grep -q "hardening-" "$1"' _ "$tmp/lintian.log"
field() { dpkg-deb -f "$deb" "$1"; }
depends=$(field Depends)
echo "      Depends: $depends"
echo "      Recommends: $(field Recommends)"
check "suggests hardinfo, the System Info tool ($(field Suggests))" test "$(field Suggests)" = hardinfo
check "Package: tarmalo" test "$(field Package)" = tarmalo
check "Version: $version" test "$(field Version)" = "$version"
check "Maintainer: Tarmalo developers <tarmalo@example.org>" \
    test "$(field Maintainer)" = "Tarmalo developers <tarmalo@example.org>"
has_dep() {  # package names, alternatives included, without versions
    tr ',|' '\n\n' <<<"$depends" | awk '{print $1}' | grep -qxF -- "$1"
}
for p in libqt6core6 libqt6gui6 libqt6widgets6 libpulse0; do
    check "depends on $p" has_dep "$p"
done
# Every library the executable links must come from a package it depends on.
# With merged /usr dpkg knows a library by one of two paths, so it is asked
# by file name within the multiarch folder.
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
is_dep() { [ -n "$1" ] && has_dep "$1"; }
for lib in $(readelf -d "$stage/lib/tarmalo/tarmalo" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    path=$(ldconfig -p | awk -v l="$lib" -v m="/$multiarch/" '$1 == l && index($NF, m) {print $NF; exit}')
    owner=""
    [ -n "$path" ] && owner=$(dpkg -S "*/$multiarch/$(basename "$(readlink -f "$path")")" 2>/dev/null |
                              head -n1 | cut -d: -f1)
    check "linked $lib comes from a dependency (${owner:-owner not found})" is_dep "$owner"
done
pkg_files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | sort)
check "the package holds the same files as the staged install" test "$pkg_files" = "$actual"

echo "--- install the package with apt-get"
# What apt would add besides tarmalo, so that cleanup can take it away again.
mapfile -t extra_packages < <(apt-get install -s "$deb" 2>/dev/null | awk '$1 == "Inst" && $2 != "tarmalo" {print $2}')
[ "${#extra_packages[@]}" -eq 0 ] || echo "      apt-get also installs: ${extra_packages[*]}"
installed_by_us=true
if as_root env DEBIAN_FRONTEND=noninteractive apt-get install "${apt_opts[@]}" "$deb" >"$tmp/apt-install.log" 2>&1; then
    ok "apt-get install $(basename "$deb")"
else
    cat "$tmp/apt-install.log"; die "apt-get install"
fi
check "dpkg reports tarmalo $version installed" \
    test "$(dpkg-query -W -f='${Status} ${Version}' tarmalo 2>/dev/null)" = "install ok installed $version"
dpkg -L tarmalo >"$tmp/dpkg-L.txt"
check "tarmalo on the PATH is /usr/bin/tarmalo" test "$(run_headless sh -c 'command -v tarmalo')" = /usr/bin/tarmalo
check "installed program finds its four sounds in /usr/lib/tarmalo" check_sounds /usr
# A normal start must still be running after a few seconds (timeout's 124).
(cd / && run_headless timeout 4 tarmalo >"$tmp/start.log" 2>&1); rc=$?
if [ "$rc" -eq 124 ]; then
    ok "installed program starts headless and keeps running (stopped after 4 s)"
else
    fail "installed program ended by itself with exit code $rc:"; sed 's/^/      /' "$tmp/start.log"
fi

echo "--- remove the package"
if as_root env DEBIAN_FRONTEND=noninteractive apt-get remove --purge "${apt_opts[@]}" tarmalo >"$tmp/apt-remove.log" 2>&1; then
    ok "apt-get remove --purge tarmalo"
else
    cat "$tmp/apt-remove.log"; fail "apt-get remove --purge tarmalo"
fi
package_gone() {
    local status; status=$(dpkg-query -W -f='${Status}' tarmalo 2>/dev/null)
    [ -z "$status" ] || [ "$status" = "unknown ok not-installed" ]
}
check "dpkg no longer knows tarmalo" package_gone
left=()
while read -r path; do
    [ -n "$path" ] && [ "$path" != /. ] || continue
    if [ -L "$path" ] || [ -f "$path" ]; then
        left+=("$path")
    elif [ -d "$path" ] && [ -z "$(ls -A "$path")" ] && ! dpkg -S "$path" >/dev/null 2>&1; then
        left+=("$path/")   # an empty folder no other package owns
    fi
done <"$tmp/dpkg-L.txt"
if [ "${#left[@]}" -eq 0 ]; then
    ok "none of the $(wc -l <"$tmp/dpkg-L.txt") paths the package listed is left behind"
else
    fail "left behind: ${left[*]}"
fi
check "/usr/lib/tarmalo is gone" test ! -e /usr/lib/tarmalo
check "/usr/share/doc/tarmalo is gone" test ! -e /usr/share/doc/tarmalo
check "/usr/bin/tarmalo is gone" test ! -e /usr/bin/tarmalo -a ! -L /usr/bin/tarmalo

echo
if [ "$failures" -gt 0 ]; then
    echo "packaging: $failures check(s) failed"
    exit 1
fi
echo "packaging: all checks passed"
