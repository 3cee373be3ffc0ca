#!/usr/bin/env bash
# Installs what building and testing Ombrelay needs on Debian 12, once.
set -euo pipefail
packages=(cmake make g++ g++-mingw-w64-i686 googletest wine wine32:i386 xvfb x11-utils
          imagemagick fonts-wine liblnk-utils python3 nsis zip)
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
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
