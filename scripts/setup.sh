#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages the build needs (only those missing), then
# configures and builds into build/ (or $QUELLIX_BUILD_DIR): the targets named
# as arguments, or everything.
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${QUELLIX_BUILD_DIR:-$source_dir/build}"

packages=(
    cmake ninja-build g++ make pkg-config
    gcc-m68k-linux-gnu g++-m68k-linux-gnu binutils-m68k-linux-gnu
    gcc-12-source newlib-source qemu-system-misc gdb-multiarch
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev
    fonts-dejavu-core fonts-liberation
    xvfb xauth x11-utils xdotool imagemagick
    dbus-daemon at-spi2-core python3-dbus
    dpkg-dev desktop-file-utils lintian appstream man-db shellcheck
    qt6-translations-l10n
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} > 0)); then
    echo "Installing missing packages: ${missing[*]}"
    sudo=()
    if ((EUID != 0)); then
        sudo=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
fi

cmake -S "$source_dir" -B "$build_dir" -G Ninja -Wno-dev
targets=()
if (($# > 0)); then
    targets=(--target "$@")
fi
cmake --build "$build_dir" "${targets[@]}"
