#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing QUELM need, if missing.
set -euo pipefail
packages=(cmake ninja-build g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
          binutils-mingw-w64-x86-64 wine wine64 wine32:i386 xvfb xdotool x11-utils imagemagick
          fonts-ipafont-gothic fonts-wine googletest clang-format clang-tidy clang-16 python3)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# 32-bit Wine runs the 32-bit build and its tests.
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
$sudo apt-get update -q >/dev/null || true
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
