#!/usr/bin/env bash
# Runs one test command in the Wine test environment that ctest handed the
# test: its own X display, Wine prefix and HOME, so that two tests that show
# windows can run side by side without seeing each other. wine-env.sh makes
# the environments and the resource spec file (a "desktop" resource with one
# id per environment); ctest passes the id it chose as
# CTEST_RESOURCE_GROUP_0_DESKTOP=id:N,slots:1. Without a resource spec (a
# plain ctest run) every test gets environment 0, and a lock on its prefix
# keeps such tests one at a time.
#   desktop-slot.sh <command...>
set -euo pipefail

id=0
if [ -n "${CTEST_RESOURCE_GROUP_0_DESKTOP:-}" ]; then
  id=${CTEST_RESOURCE_GROUP_0_DESKTOP#id:}
  id=${id%%,*}
fi
. "$(dirname "$0")/wine-env.sh"
wine_env_select "$id"
# The lock is held by flock alone (-o), not by the Wine processes the
# command leaves running (the wineserver outlives every test).
prefix=${WINEPREFIX:-$HOME/.wine}
if [ ! -d "$prefix" ]; then
  exec "$@"   # Wine makes the prefix on its first start
fi
exec flock -o "$prefix" "$@"
