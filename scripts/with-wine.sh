#!/usr/bin/env bash
# Runs one command inside the test environment (private X display and Wine
# prefix of the build tree), for working on a single test:
#   scripts/with-wine.sh ctest --test-dir build/win -R e2e.test_main_window
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OMBRELAY_BUILD:-$root/build}
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
OMBRELAY_OWN_DISPLAY=1 wine_env_start "$build"
"$@"
