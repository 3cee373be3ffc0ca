#!/usr/bin/env bash
# Configures and builds both trees: build/native (portable code and its tests
# under AddressSanitizer and UBSan) and build/win (the Win32 program, its
# tests and the test driver, cross-built for 32-bit Windows).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OMBRELAY_BUILD:-$root/build}
jobs=$(nproc 2>/dev/null || echo 2)
what=${1:-all}
if [ "$what" = all ] || [ "$what" = native ]; then
  cmake -S "$root" -B "$build/native" -DOMBRELAY_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build/native" -j "$jobs"
fi
if [ "$what" = all ] || [ "$what" = win ]; then
  cmake -S "$root" -B "$build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build/win" -j "$jobs"
fi
