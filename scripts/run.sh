#!/usr/bin/env bash
# Builds Ombrelay and starts it under Wine; arguments go to the program
# (for example "Remove Files*C:\lists\old.txt"). Without a display it runs on
# a virtual one, saves a screenshot of its window and ends it. Exits with
# the program's exit code.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OMBRELAY_BUILD:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" win
headless=0
[ -z "${DISPLAY:-}" ] && headless=1
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start "$build"
exe="$build/win/ombrelay.exe"
# The program's exit code is this command's (a removal run's tells how it
# went).
status=0
if [ $headless = 0 ]; then
  wine "$exe" "$@" || status=$?
  exit $status
fi
shot="$build/screenshot.png"
"$root/scripts/capture-window.sh" "$build" "$shot" "$@" || status=$?
echo "No display: Ombrelay ran on a virtual display; screenshot of its window saved to $shot"
[ $status = 0 ] || echo "Ombrelay ended by itself with exit code $status" >&2
exit $status
