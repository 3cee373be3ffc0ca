#!/usr/bin/env bash
# Runs one command inside the test environment (private X display and Wine
# prefix of the build tree), for working on a single test:
#   scripts/with-wine.sh ctest --test-dir build/win -R e2e.test_main_window
# With OMBRELAY_DESKTOPS=2 it makes two environments, as scripts/test.sh
# does, and ctest runs two tests under Wine at a time when given the
# resource spec file that says so:
#   OMBRELAY_DESKTOPS=2 scripts/with-wine.sh ctest --test-dir build/win -j 2 \
#       --resource-spec-file "$PWD/build/ctest-resources.json" -R e2e
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OMBRELAY_BUILD:-$root/build}
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
OMBRELAY_OWN_DISPLAY=1 wine_env_start "$build"
"$@"
