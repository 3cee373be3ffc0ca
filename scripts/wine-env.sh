# Sourced by the scripts: a private X display and a private 32-bit Wine
# prefix inside the build tree, torn down again by wine_env_stop.
#   wine_env_start <build dir> [background]
#       exports DISPLAY, WINEPREFIX, HOME, ... and makes the prefix; with
#       "background" the prefix is made while the caller goes on (building,
#       say), and wine_env_ready waits for it
#   wine_env_ready               waits for a prefix made in the background
#   wine_env_stop                stops the wineserver and our Xvfb

wine_env_start() {
  local build=$1
  export WINEARCH=win32
  export WINEPREFIX="$build/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export HOME="$build/home"
  # A desktop user's home has its data folder; Wine keeps the Recycle Bin
  # (the desktop trash) in it.
  mkdir -p "$HOME/.local/share"
  OMBRELAY_XVFB_PID=""
  OMBRELAY_PREFIX_PID=""
  if [ -z "${DISPLAY:-}" ] || [ "${OMBRELAY_OWN_DISPLAY:-0}" = 1 ]; then
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    OMBRELAY_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  if [ "${2:-}" = background ]; then
    wine_prefix_up >/dev/null 2>&1 &
    OMBRELAY_PREFIX_PID=$!
  else
    wine_prefix_up
  fi
}

wine_env_ready() {
  local rc=0
  if [ -n "${OMBRELAY_PREFIX_PID:-}" ]; then
    wait "$OMBRELAY_PREFIX_PID" || rc=$?
    OMBRELAY_PREFIX_PID=""
  fi
  return $rc
}

# Makes the prefix when it is not there yet, then keeps its wineserver and
# desktop process running.
wine_prefix_up() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
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
  fi
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1 || true   # start the desktop process now
}

wine_env_stop() {
  # A prefix still being made (the build failed first) is finished, not cut
  # off half-written.
  wine_env_ready || true
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "${OMBRELAY_XVFB_PID:-}" ]; then
    kill "$OMBRELAY_XVFB_PID" >/dev/null 2>&1 || true
    wait "$OMBRELAY_XVFB_PID" 2>/dev/null || true
  fi
}
