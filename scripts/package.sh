#!/usr/bin/env bash
# Makes a release in dist/ from the sources: a stripped Release ombrelay.exe,
# Ombrelay-<version>-setup.exe, Ombrelay-<version>.msi (the Windows Installer
# package), Ombrelay-<version>-portable.zip (program, README, licence, Group
# Policy template) and winget/, the Windows Package Manager's manifests of the
# two installers. The version is the one in CMakeLists.txt's project().
#   [OMBRELAY_RELEASE_URL=https://host/ombrelay/{version}/] scripts/package.sh
# The manifests' download addresses are that address and the file names.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OMBRELAY_BUILD:-$root/build}/release
jobs=$(nproc 2>/dev/null || echo 2)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DOMBRELAY_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target package_release
ls -l "$root/dist"
