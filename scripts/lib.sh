# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Shared by the quick-start scripts: root or sudo, and installing only what
# is missing from Debian's archive.

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# ensure_packages PKG... — installs the packages that are not installed yet.
ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        # Another build on the machine may hold dpkg's lock for a while.
        as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
            -o DPkg::Lock::Timeout=600 "${missing[@]}"
    fi
}

# stage_packages MODE PKG...: what a stage in tests/stages/ needs. MODE
# "packages" prints the list and ends the stage (scripts/test.sh installs
# every stage's in one apt-get run); otherwise the missing ones are
# installed, and MODE "install" ends the stage after that.
stage_packages() {
    local mode="$1"; shift
    if [ "$mode" = packages ]; then echo "$@"; exit 0; fi
    ensure_packages "$@" || exit 1
    [ "$mode" != install ] || exit 0
}

# What it takes to build and run Tarmalo.
BUILD_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libpulse-dev libxcb1-dev
                qt6-qpa-plugins libgl-dev)
# What the CTest suites need beyond that: a null sink for the real sounds,
# and the tools that remake the sounds and the art. Each later stage
# installs its own.
TEST_PACKAGES=(pulseaudio pulseaudio-utils festival festvox-us-slt-hts flite sox libsox-fmt-base
               fonts-dejavu-core fonts-liberation fonts-urw-base35 fonts-noto-core python3 python3-numpy
               python3-pil)

# build_tarmalo PRESET [TARGET...] [-- CONFIGURE OPTION...]: configures and
# builds the targets (default: all).
build_tarmalo() {
    local preset="${1:-default}"; shift || true
    local targets=() options=()
    while [ "$#" -gt 0 ]; do
        if [ "$1" = -- ]; then shift; options=("$@"); break; fi
        targets+=(--target "$1"); shift
    done
    cmake --preset "$preset" "${options[@]}"
    cmake --build --preset "$preset" -j"$(nproc)" "${targets[@]}"
}
