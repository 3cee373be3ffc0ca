#!/usr/bin/env bash
# Saves a picture of Ombrelay's main window, taken under Wine on a virtual
# display:  scripts/screenshot.sh [output.png] [program arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OMBRELAY_BUILD:-$root/build}
out=${1:-$root/docs/main-window.png}
shift || true
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" win
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
OMBRELAY_OWN_DISPLAY=1 wine_env_start "$build"
"$root/scripts/capture-window.sh" "$build" "$out" "$@"
echo "Screenshot saved to $out"
