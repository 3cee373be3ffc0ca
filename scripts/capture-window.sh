#!/usr/bin/env bash
# Starts ombrelay.exe in the current Wine environment, captures its main
# window into a PNG file and ends it:  capture-window.sh <build> <out.png> [args...]
# A program that ends by itself before it is captured (a removal run that is
# over, a start that fails) passes its exit code on.
set -euo pipefail
build=$1 out=$2
shift 2
exe="$build/win/ombrelay.exe"
driver="$build/win/tests/ombrelay_driver.exe"
# The main window's title is the program's name and the version this build
# was made with.
version=$(sed -n 's/^#define OMBRELAY_VERSION_TEXT "\(.*\)"$/\1/p' "$build/win/generated/version.h")
if [ -z "$version" ]; then
  echo "no version in $build/win/generated/version.h: build the win tree first (scripts/build.sh win)" >&2
  exit 2
fi
title="Ombrelay $version"
mkdir -p "$(dirname "$out")"
wine "$exe" "$@" &
pid=$!
geometry=""
if wine "$driver" wait "$title" 15000 >/dev/null 2>&1; then
  sleep 1
  # rect=left,top,right,bottom of the window on the virtual desktop
  rect=$(wine "$driver" rect "$title" | sed -n 's/^rect=\([-0-9,]*\) .*/\1/p')
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
status=0
if kill -0 "$pid" 2>/dev/null; then
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
else
  wait "$pid" || status=$?
fi
exit $status
