#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what Nudgeon needs to build, run and be tested on Debian 12, then configures and
# builds it in build/. Usage: scripts/setup.sh [build type]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake ninja-build g++ pkg-config dpkg-dev desktop-file-utils lintian appstream
    qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libgl-dev
    libcanberra-dev libcanberra-pulse sound-theme-freedesktop
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    libcurl4-openssl-dev python3-aiosmtpd python3-icalendar python3-dateutil
    pulseaudio pulseaudio-utils
    xvfb xauth trayer xdotool x11-utils xclip python3 faketime strace
    libxcb1-dev dbus dbus-bin python3-dbus python3-gi qt6-wayland sway waybar grim dunst fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="${1:-RelWithDebInfo}" -DNUDGEON_WERROR="${NUDGEON_WERROR:-OFF}"
cmake --build build -j2
