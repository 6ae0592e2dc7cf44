#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs every Debian package the build and the tests need, only when missing.
# Run as root (or with sudo available). Extra package sets: --bench, --gui, --package.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libvips-dev libjpeg-dev libpng-dev libgif-dev libexif-dev liblcms2-dev
  clang libclang-rt-14-dev clang-format
  libgtest-dev
  fonts-dejavu-core fonts-liberation
)
for arg in "$@"; do
  case "$arg" in
    --bench) packages+=(libvips-tools imagemagick graphicsmagick hyperfine time python3) ;;
    --gui) packages+=(xvfb xauth x11-apps imagemagick xdotool) ;;
    --package) packages+=(dpkg-dev file lintian appstream desktop-file-utils) ;;
    *) echo "usage: $0 [--bench] [--gui] [--package]" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
