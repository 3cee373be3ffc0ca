#!/usr/bin/env bash
# Pictures of Ombrelay taken from the real program under Wine on a virtual
# display.
#   scripts/screenshot.sh                      the README's pictures in docs/
#   scripts/screenshot.sh main                 only the main window's and the routines window's
#   scripts/screenshot.sh installer            only the setup program's pages
#   scripts/screenshot.sh removal              only the removal's prompt and report
#   scripts/screenshot.sh out.png [args...]    the main window as it starts
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OMBRELAY_BUILD:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" win
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
OMBRELAY_OWN_DISPLAY=1 wine_env_start "$build"
if [ $# -eq 0 ] || [ "$1" = main ] || [ "$1" = installer ] || [ "$1" = removal ]; then
  python3 "$root/scripts/readme_pictures.py" "$build" "$root/docs" "$@"
  echo "Pictures saved in $root/docs"
else
  out=$1
  shift
  "$root/scripts/capture-window.sh" "$build" "$out" "$@"
  echo "Screenshot saved to $out"
fi
