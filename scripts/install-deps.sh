#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs every Debian package the build and the tests need, only when missing, then the
# converter's libvips from the npm registry (versions and integrity hashes pinned in
# third_party/libvips/package-lock.json). Afterwards the build needs no network.
# Run as root (or with sudo available). Extra package sets: --bench, --gui, --package.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-image-formats-plugins
  qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
  libvips-dev libjpeg-dev libpng-dev libtiff-dev libgif-dev libexif-dev liblcms2-dev
  clang libclang-rt-14-dev clang-format
  libgtest-dev
  fonts-dejavu-core fonts-liberation fonts-noto-cjk
)
for arg in "$@"; do
  case "$arg" in
    --bench) packages+=(libvips-tools imagemagick graphicsmagick hyperfine time python3) ;;
    --gui) packages+=(xvfb xauth x11-apps imagemagick xdotool) ;;
    --package) packages+=(dpkg-dev file lintian appstream desktop-file-utils) ;;
    *) echo "usage: $0 [--bench] [--gui] [--package]" >&2; exit 2 ;;
  esac
done

# npm brings the bundled libvips; a Node.js installed otherwise comes with its own npm.
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# libvips for the converter: one self-contained library, checked against the lock file's
# integrity hashes by `npm ci`. Skipped when the installed copy came from this very lock file.
vips_dir="$(cd "$(dirname "$0")/.." && pwd)/third_party/libvips"
stamp="$vips_dir/node_modules/.installed-from-package-lock.json"
if ! cmp -s "$vips_dir/package-lock.json" "$stamp"; then
  (cd "$vips_dir" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
  cp "$vips_dir/package-lock.json" "$stamp"
fi
