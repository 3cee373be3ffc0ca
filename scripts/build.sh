#!/usr/bin/env bash
# Configures and builds the trees: build/native (portable code and its tests
# under AddressSanitizer and UBSan), build/tsan (the threaded portable code
# and its tests under ThreadSanitizer) and build/win (the Win32 program, its
# tests and the test driver, cross-built for 32-bit Windows).
#   scripts/build.sh [all|native|tsan|win]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OMBRELAY_BUILD:-$root/build}
jobs=$(nproc 2>/dev/null || echo 2)
what=${1:-all}
if [ "$what" = all ] || [ "$what" = native ]; then
  cmake -S "$root" -B "$build/native" -DOMBRELAY_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build/native" -j "$jobs"
fi
if [ "$what" = all ] || [ "$what" = tsan ]; then
  cmake -S "$root" -B "$build/tsan" -DOMBRELAY_TSAN=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build/tsan" -j "$jobs"
fi
if [ "$what" = all ] || [ "$what" = win ]; then
  cmake -S "$root" -B "$build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build/win" -j "$jobs"
fi
