#!/usr/bin/env bash
# Builds Ombrelay and runs every test: the portable unit tests natively under
# the sanitizers (the threaded ones under ThreadSanitizer as well), then the Win32 unit tests and the end-to-end tests under
# Wine on a private X display and Wine prefix. Extra arguments go to ctest
# (for example -R e2e).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OMBRELAY_BUILD:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start "$build"
# One ctest run over both trees, so that one summary closes the output.
cat > "$build/CTestTestfile.cmake" <<EOT
subdirs("native" "tsan" "win")
EOT
cd "$build"
ctest -j 2 --output-on-failure --timeout 900 "$@"
