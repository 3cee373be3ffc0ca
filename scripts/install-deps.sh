#!/usr/bin/env bash
# Installs what building and testing Ombrelay needs on Debian 12, once.
# Recommended packages are left out (Wine's alone are some 250 packages:
# sound, video, printing, OpenGL, systemd); the few the tests use are named.
set -euo pipefail
packages=(cmake ninja-build make g++ g++-mingw-w64-i686 googletest libgtest-dev wine wine32:i386
          xvfb x11-utils imagemagick fonts-wine liblnk-utils python3 nsis zip
          # Wine's X11 driver uses these X extensions (rendering, cursors,
          # input, screens), and Wine maps the common Windows fonts to these.
          libxrender1:i386 libxcursor1:i386 libxi6:i386 libxrandr2:i386 libxinerama1:i386
          libxcomposite1:i386 libxfixes3:i386 libxxf86vm1:i386 fonts-liberation)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
