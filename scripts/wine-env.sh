# Sourced by the scripts: private X displays and private 32-bit Wine
# prefixes inside the build tree, torn down again by wine_env_stop.
#   wine_env_start <build dir> [background]
#       exports DISPLAY, WINEPREFIX, HOME, ... of environment 0 and makes its
#       prefix; with OMBRELAY_DESKTOPS=N it makes environments 1 .. N-1 as
#       well, each with its own display, prefix and HOME, exported as
#       OMBRELAY_DISPLAY_<i>, OMBRELAY_WINEPREFIX_<i> and OMBRELAY_HOME_<i>.
#       It writes the ctest resource spec file OMBRELAY_RESOURCE_SPEC (a
#       "desktop" resource with one id per environment), which
#       desktop-slot.sh turns into the environment of each test. With
#       "background" the prefixes are made while the caller goes on
#       (building, say), and wine_env_ready waits for them. It fails, saying
#       why, when an Xvfb does not start or wineboot cannot make a prefix
#   wine_env_ready               waits for prefixes made in the background;
#                                fails, showing their log, when they failed
#   wine_env_stop                stops the wineservers and our Xvfbs

wine_env_start() {
  local build=$1 i
  OMBRELAY_DESKTOP_COUNT=${OMBRELAY_DESKTOPS:-1}
  OMBRELAY_XVFB_PIDS=""
  OMBRELAY_PREFIX_PID=""
  export WINEARCH=win32
  export WINEPREFIX="$build/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  # Wine spells names on disk in the locale's character set: a shell without
  # a UTF-8 locale (a bare root shell, say) could not hold a name outside
  # the ANSI code page.
  if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then export LC_ALL=C.UTF-8; fi
  export HOME="$build/home"
  # Wine keeps the Recycle Bin in $XDG_DATA_HOME when that is set: each
  # environment's goes in its own HOME.
  unset XDG_DATA_HOME
  if [ -z "${DISPLAY:-}" ] || [ "${OMBRELAY_OWN_DISPLAY:-0}" = 1 ]; then
    start_display || return
    export DISPLAY=$OMBRELAY_NEW_DISPLAY
  fi
  # A desktop user's home has its data folder; Wine keeps the Recycle Bin
  # (the desktop trash) in it.
  mkdir -p "$HOME/.local/share"
  for ((i = 1; i < OMBRELAY_DESKTOP_COUNT; i++)); do
    start_display || return
    export "OMBRELAY_DISPLAY_$i=$OMBRELAY_NEW_DISPLAY"
    export "OMBRELAY_WINEPREFIX_$i=$build/wineprefix-$i"
    export "OMBRELAY_HOME_$i=$build/home-$i"
    mkdir -p "$build/home-$i/.local/share"
  done
  write_resource_spec "$build/ctest-resources.json"
  if [ "${2:-}" = background ]; then
    OMBRELAY_PREFIX_LOG="$build/wine-prefixes.log"
    wine_prefixes_up >"$OMBRELAY_PREFIX_LOG" 2>&1 &
    OMBRELAY_PREFIX_PID=$!
  else
    wine_prefixes_up
  fi
}

# Starts an Xvfb on a display no one uses; sets OMBRELAY_NEW_DISPLAY. Xvfb
# picks the number itself (-displayfd), so that test runs started at the
# same time by others never take the same one. Fails, saying so, when Xvfb
# ends or names no display within 10 seconds: a run must never go on with
# an empty DISPLAY (Wine would then show nothing and every test would time
# out instead).
start_display() {
  local numbers log pid number
  numbers=$(mktemp)
  log=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numbers" >"$log" 2>&1 &
  pid=$!
  OMBRELAY_XVFB_PIDS="$OMBRELAY_XVFB_PIDS $pid"
  for _ in $(seq 1 100); do
    [ -s "$numbers" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  number=$(head -n 1 "$numbers")
  rm -f "$numbers"
  if ! [[ $number =~ ^[0-9]+$ ]] || ! kill -0 "$pid" 2>/dev/null; then
    echo "Xvfb did not start a display (is it installed? scripts/install-deps.sh installs it):" >&2
    tail -n 20 "$log" >&2
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
  OMBRELAY_NEW_DISPLAY=":$number"
}

# wine_env_select <i>: exports DISPLAY, WINEPREFIX and HOME of environment
# i (environment 0's are the plain ones); fails when i was not made.
wine_env_select() {
  local i=$1 setting var
  [ "$i" = 0 ] && return 0
  for setting in DISPLAY WINEPREFIX HOME; do
    var=OMBRELAY_${setting}_$i
    if [ -z "${!var:-}" ]; then
      echo "no Wine environment $i ($var is not set; see scripts/wine-env.sh)" >&2
      return 2
    fi
    export "$setting=${!var}"
  done
}

# in_wine_env <i> <command...>: runs the command in environment i.
in_wine_env() {
  local i=$1
  shift
  (
    wine_env_select "$i" || exit
    "$@"
  )
}

write_resource_spec() {
  local ids="" i
  for ((i = 0; i < OMBRELAY_DESKTOP_COUNT; i++)); do
    ids="$ids${ids:+, }{\"id\": \"$i\", \"slots\": 1}"
  done
  printf '{"version": {"major": 1, "minor": 0}, "local": [{"desktop": [%s]}]}\n' "$ids" > "$1"
  export OMBRELAY_RESOURCE_SPEC="$1"
}

wine_env_ready() {
  local rc=0
  if [ -n "${OMBRELAY_PREFIX_PID:-}" ]; then
    wait "$OMBRELAY_PREFIX_PID" || rc=$?
    OMBRELAY_PREFIX_PID=""
    if [ $rc != 0 ]; then
      echo "The Wine prefixes could not be made ($OMBRELAY_PREFIX_LOG):" >&2
      tail -n 30 "$OMBRELAY_PREFIX_LOG" >&2
    fi
  fi
  return $rc
}

# Makes the prefixes that are not there yet (environment 0's by wineboot,
# the others as copies of it), then keeps their wineservers and desktop
# processes running.
wine_prefixes_up() {
  local i
  wine_prefix_make || return
  for ((i = 1; i < OMBRELAY_DESKTOP_COUNT; i++)); do
    in_wine_env "$i" wine_prefix_copy "$WINEPREFIX" "$HOME" || return
  done
  for ((i = 0; i < OMBRELAY_DESKTOP_COUNT; i++)); do
    in_wine_env "$i" wine_prefix_serve
  done
}

wine_prefix_make() {
  if [ -f "$WINEPREFIX/system.reg" ]; then
    return 0
  fi
  # A prefix wineboot did not finish is no prefix: the tests would fail
  # later for reasons that have nothing to do with them.
  local log="$WINEPREFIX-wineboot.log" rc=0
  wineboot -i >"$log" 2>&1 || rc=$?
  wineserver -w
  if [ $rc != 0 ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wineboot could not make the Wine prefix $WINEPREFIX (exit code $rc); its output, from $log:" >&2
    tail -n 20 "$log" >&2
    return 1
  fi
  local user
  user=$(ls "$WINEPREFIX/drive_c/users" | grep -v -x Public | head -n 1)
  # Shell folders point at $HOME; give the desktop a real folder of its own.
  local desktop="$WINEPREFIX/drive_c/users/$user/Desktop"
  if [ -L "$desktop" ]; then rm -f "$desktop"; mkdir -p "$desktop"; fi
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  # A virtual desktop of a fixed size: window frames in screenshots, same
  # screen geometry on every machine.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  wineserver -w
}

# wine_prefix_copy <prefix> <its HOME>: makes this environment's prefix as a
# copy of a finished one whose wineserver is not running (a copy costs a
# second where wineboot costs half a minute). The registry names no path
# of the prefix or HOME; the profile's links into HOME (Documents, Music,
# ...) are turned to this environment's HOME, and the copy gets a wineserver
# directory of its own (the file "wineserver" names the original's).
wine_prefix_copy() {
  local from=$1 from_home=$2 link target
  if [ -f "$WINEPREFIX/system.reg" ]; then
    return 0
  fi
  rm -rf "$WINEPREFIX"
  cp -a "$from" "$WINEPREFIX"
  rm -f "$WINEPREFIX/wineserver"
  while IFS= read -r -d '' link; do
    target=$(readlink "$link")
    case $target in
      "$from_home"|"$from_home"/*) ln -sfn "$HOME${target#"$from_home"}" "$link" ;;
      "$from"|"$from"/*) ln -sfn "$WINEPREFIX${target#"$from"}" "$link" ;;
    esac
  done < <(find "$WINEPREFIX" -type l -print0)
}

wine_prefix_serve() {
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1 || true   # start the desktop process now
}

wine_env_stop() {
  # A prefix still being made (the build failed first) is finished, not cut
  # off half-written.
  wine_env_ready || true
  local i pid
  for ((i = 0; i < ${OMBRELAY_DESKTOP_COUNT:-1}; i++)); do
    in_wine_env "$i" wine_server_stop
  done
  for pid in ${OMBRELAY_XVFB_PIDS:-}; do
    kill "$pid" >/dev/null 2>&1 || true
    wait "$pid" 2>/dev/null || true
  done
}

wine_server_stop() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}
