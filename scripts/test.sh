#!/usr/bin/env bash
# Builds Ombrelay and runs every test: the portable unit tests natively under
# the sanitizers (the threaded ones under ThreadSanitizer as well), then the
# Win32 unit tests and the end-to-end tests under Wine on a private X display
# and Wine prefix. Extra arguments go to ctest (for example -R e2e). Each
# stage prints how long it took.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OMBRELAY_BUILD:-$root/build}

# since <name> <start>: one line with the time since $EPOCHREALTIME was start.
since() {
  local ms=$(( (${EPOCHREALTIME//[.,]/} - ${2//[.,]/}) / 1000 ))
  printf '== %s: %d.%d s\n' "$1" $((ms / 1000)) $((ms % 1000 / 100))
}

# stage <name> <command...>: runs the command, then one line with its time.
stage() {
  local name=$1 start=$EPOCHREALTIME rc=0
  shift
  "$@" || rc=$?
  since "$name" "$start"
  return $rc
}

started=$EPOCHREALTIME
stage install-deps "$root/scripts/install-deps.sh"
mkdir -p "$build"
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
# The Wine prefixes are made while the trees build: two test environments,
# so that ctest runs two tests under Wine at a time (scripts/desktop-slot.sh).
OMBRELAY_DESKTOPS=${OMBRELAY_DESKTOPS:-2} wine_env_start "$build" background
stage "build native" "$root/scripts/build.sh" native
stage "build tsan" "$root/scripts/build.sh" tsan
stage "build win" "$root/scripts/build.sh" win
stage "wine prefixes (rest of)" wine_env_ready
# One ctest run over the three trees, so that one summary closes the output.
cat > "$build/CTestTestfile.cmake" <<EOT
subdirs("native" "tsan" "win")
EOT
cd "$build"
stage ctest ctest -j 2 --resource-spec-file "$OMBRELAY_RESOURCE_SPEC" --output-on-failure --timeout 900 "$@"
since total "$started"
