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
        as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
    fi
}

# What it takes to build and run Tarmalo.
BUILD_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libpulse-dev
                qt6-qpa-plugins libgl-dev)
# What the tests need beyond that: a display, keys, sounds, a null sink.
TEST_PACKAGES=(xvfb xauth xdotool x11-utils imagemagick espeak-ng sox libsox-fmt-base pulseaudio
               pulseaudio-utils libfaketime procps psmisc time python3 python3-numpy python3-pil)

build_tarmalo() {
    local preset="${1:-default}"
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j"$(nproc)"
}
