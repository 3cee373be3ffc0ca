#!/usr/bin/env bash
# Configures and builds the trees: build/native (portable code and its tests
# under AddressSanitizer and UBSan), build/tsan (the threaded portable code
# and its tests under ThreadSanitizer) and build/win (the Win32 program, its
# tests and the test driver, cross-built for 32-bit Windows). Ninja builds
# them (scripts/install-deps.sh installs it).
#   scripts/build.sh [all|native|tsan|win]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OMBRELAY_BUILD:-$root/build}
jobs=$(nproc 2>/dev/null || echo 2)
what=${1:-all}

# configure <tree> <cmake options...>: a tree made earlier by another
# generator is configured afresh (CMake refuses to switch generators).
configure() {
  local tree=$build/$1
  shift
  if [ -f "$tree/CMakeCache.txt" ] && ! grep -qx 'CMAKE_GENERATOR:INTERNAL=Ninja' "$tree/CMakeCache.txt"; then
    rm -rf "$tree/CMakeCache.txt" "$tree/CMakeFiles"
  fi
  # Line tables (-g1) are all the test runs use (sanitizer reports, crash
  # traces) and take far less compiling than full debug information.
  cmake -S "$root" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" "$@" >/dev/null
  cmake --build "$tree" -j "$jobs"
}

if [ "$what" = all ] || [ "$what" = native ]; then
  configure native -DOMBRELAY_SANITIZE=ON
fi
if [ "$what" = all ] || [ "$what" = tsan ]; then
  configure tsan -DOMBRELAY_TSAN=ON
fi
if [ "$what" = all ] || [ "$what" = win ]; then
  configure win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
fi
