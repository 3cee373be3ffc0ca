#!/usr/bin/env bash
# Starts ombrelay.exe in the current Wine environment, captures its main
# window into a PNG file and ends it:  capture-window.sh <build> <out.png> [args...]
set -euo pipefail
build=$1 out=$2
shift 2
exe="$build/win/ombrelay.exe"
driver="$build/win/tests/ombrelay_driver.exe"
mkdir -p "$(dirname "$out")"
wine "$exe" "$@" &
pid=$!
geometry=""
if wine "$driver" wait "Ombrelay 1.02" 15000 >/dev/null 2>&1; then
  sleep 1
  # rect=left,top,right,bottom of the window on the virtual desktop
  rect=$(wine "$driver" rect "Ombrelay 1.02" | sed -n 's/^rect=\([-0-9,]*\) .*/\1/p')
  IFS=, read -r l t r b <<<"$rect"
  geometry="$((r - l))x$((b - t))+$l+$t"
else
  sleep 3
fi
# The virtual desktop is the X root window; crop it to the main window.
if [ -n "$geometry" ]; then
  import -window root -crop "$geometry" +repage "$out"
else
  import -window root "$out"
fi
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
