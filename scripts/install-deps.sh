#!/usr/bin/env bash
# Installs what building and testing Ombrelay needs on Debian 12, once.
#   scripts/install-deps.sh [native|all|check]
# "native" installs what building the native trees needs (scripts/test.sh
# builds them while it installs the rest), "all" (the default) everything:
# the mingw-w64 compilers and what running the program and its tests needs
# (Wine, Xvfb, the tools the end-to-end tests call); "check" installs nothing
# and fails when anything is missing. Recommended packages are left out
# (Wine's alone are some 250 packages: sound, video, printing, OpenGL,
# systemd); the few the tests use are named.
set -euo pipefail
what=${1:-all}
native_packages=(cmake ninja-build make g++ googletest libgtest-dev)
# Of the mingw-w64 compilers only the posix-thread ones (cmake/mingw-i686.cmake):
# g++-mingw-w64-i686 would bring the win32-thread ones as well, as much again.
# CMake looks for Python 3 (the end-to-end tests), makensis, wixl and zip (the
# setup program, the Windows Installer package and the release) when it
# configures the win tree; msitools reads the package's tables back;
# libxml2-utils (xmllint), python3-yaml and python3-jsonschema check the Group
# Policy template and write and check the winget manifests.
other_packages=(g++-mingw-w64-i686-posix python3 nsis wixl msitools zip
                libxml2-utils python3-yaml python3-jsonschema
                wine wine32:i386 xvfb x11-utils imagemagick fonts-wine liblnk-utils
                # Wine's X11 driver uses these X extensions (rendering, cursors,
                # input, screens), and Wine maps the common Windows fonts to these.
                libxrender1:i386 libxcursor1:i386 libxi6:i386 libxrandr2:i386 libxinerama1:i386
                libxcomposite1:i386 libxfixes3:i386 libxxf86vm1:i386 fonts-liberation)
case $what in
  native) packages=("${native_packages[@]}") ;;
  all|check) packages=("${native_packages[@]}" "${other_packages[@]}") ;;
  *) echo "usage: $0 [native|all|check]" >&2; exit 2 ;;
esac

# One query for the lot when all is there (every run after the first): it
# fails for a name dpkg has never seen and prints another status for one it
# knows but has not installed.
if status=$(dpkg-query -W -f='${db:Status-Status}\n' "${packages[@]}" 2>/dev/null) &&
   ! grep -qvx installed <<<"$status"; then
  exit 0
fi
[ "$what" = check ] && exit 1
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
# For this run only: no package descriptions in other languages, no fsync
# after every file dpkg unpacks (much of an install's time on a fresh machine;
# a crash halfway leaves packages to install again either way), and a changed
# configuration file of a package that gets upgraded is kept without asking.
$sudo apt-get update -q -o Acquire::Languages=none
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
  -o Dpkg::Options::=--force-unsafe-io -o Dpkg::Options::=--force-confold -o Dpkg::Use-Pty=0 \
  "${missing[@]}"
