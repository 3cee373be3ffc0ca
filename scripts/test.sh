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

# deps_wait: waits for the packages installed in the background; when that
# install failed, shows its output and fails.
deps_pid=""
deps_wait() {
  [ -n "$deps_pid" ] || return 0
  local rc=0
  wait "$deps_pid" || rc=$?
  deps_pid=""
  if [ $rc -ne 0 ]; then
    cat "$build/install-deps.log" >&2
    echo "scripts/install-deps.sh failed (exit code $rc)" >&2
  fi
  return $rc
}

started=$EPOCHREALTIME
mkdir -p "$build"
# On a machine that lacks packages, the native trees' compilers come first;
# the rest (the mingw-w64 compilers, Wine, Xvfb, ...) is installed while the
# native trees build.
if ! "$root/scripts/install-deps.sh" check; then
  stage "install native build tools" "$root/scripts/install-deps.sh" native
  [ "$(id -u)" -eq 0 ] || sudo -v   # the background install asks no password
  echo "Installing the rest in the background (log: $build/install-deps.log)"
  "$root/scripts/install-deps.sh" all >"$build/install-deps.log" 2>&1 </dev/null &
  deps_pid=$!
fi
. "$root/scripts/wine-env.sh"
# An install still running is waited for, never cut off.
deps_stop() {
  [ -z "$deps_pid" ] || echo "Waiting for the install in the background to end" >&2
  deps_wait || true
}
trap 'deps_stop; wine_env_stop' EXIT
# Two test environments, so that ctest runs two tests under Wine at a time
# (scripts/desktop-slot.sh). Their prefixes are made while the trees build,
# once Wine is there.
export OMBRELAY_DESKTOPS=${OMBRELAY_DESKTOPS:-2}
[ -n "$deps_pid" ] || wine_env_start "$build" background
stage "build native" "$root/scripts/build.sh" native
stage "build tsan" "$root/scripts/build.sh" tsan
if [ -n "$deps_pid" ]; then
  stage "install (rest of)" deps_wait
  wine_env_start "$build" background
fi
stage "build win" "$root/scripts/build.sh" win
stage "wine prefixes (rest of)" wine_env_ready
# One ctest run over the three trees, so that one summary closes the output.
cat > "$build/CTestTestfile.cmake" <<EOT
subdirs("native" "tsan" "win")
EOT
cd "$build"
stage ctest ctest -j 2 --resource-spec-file "$OMBRELAY_RESOURCE_SPEC" --output-on-failure --timeout 900 "$@"
since total "$started"
