# Shared set-up for running the Windows programs under Wine on a bare X server.
# Source it from bash:
#
#   . scripts/wine-env.sh
#   wine_prefix /path/to/prefix      # create or reuse the prefix; exports WINEPREFIX
#   xvfb_start 1024x768              # a new X server of its own; exports DISPLAY
#   trap wine_env_stop EXIT          # stops the X server and the prefix's wineserver
#   "$WINE" program.exe
#
# Facts it relies on: only the 64-bit loader runs on this kernel; windows must be
# undecorated by the X side (Decorated=N) so that an X window is exactly the
# Windows outer rectangle, and unmanaged (Managed=N); there is no window manager and no virtual desktop, or
# synthetic clicks land at stale cursor positions; Wine's own fonts have to be
# copied into the prefix; a Japanese locale gives Japanese text and code page 932.
#
# The prefix's COM1 is the path $WINEPREFIX/com1.
#
# Programs that share one prefix share its wineserver, and wine_env_stop ends it:
# CTest tests using the same prefix should hold one RESOURCE_LOCK. Two sides of a
# match may each have a prefix and an X server of their own: wine_env_stop ends
# every one that wine_prefix and xvfb_start readied (WINEPREFIX and DISPLAY name
# the last ones).

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEDEBUG=${WINEDEBUG:--all}
# No installers for .NET or the HTML engine in a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

WINE_ENV_PREFIXES=()
WINE_ENV_XVFB_PIDS=()

# Prints a line to standard error with the script's name.
wine_env_say() { echo "wine-env: $*" >&2; }

# wine_prefix DIR: makes DIR a ready Wine prefix (once; later calls only check the
# stamp) and exports WINEPREFIX.
wine_prefix() {
  local dir=$1
  mkdir -p "$dir" || return 1
  export WINEPREFIX
  WINEPREFIX=$(cd "$dir" && pwd)
  WINE_ENV_PREFIXES+=("$WINEPREFIX")
  local stamp="$WINEPREFIX/.tovarin-prefix"
  # The stamp names the Wine version and this set-up's revision: a change of
  # either sets the prefix up again.
  local want
  want="$("$WINE" --version 2>/dev/null) setup-3"
  [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ] && return 0
  (
    # One creator at a time.
    flock 9
    [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ] && exit 0
    wine_env_say "setting up the Wine prefix $WINEPREFIX"
    # Made under the locale the programs run with, for its code page and fonts.
    export LC_ALL=ja_JP.UTF-8 DISPLAY=
    "$WINE" wineboot -i >/dev/null 2>&1 || exit 1
    "$WINESERVER" -w
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f \
      >/dev/null 2>&1 || exit 1
    # Unmanaged windows: without a window manager, showing a managed window waits
    # two seconds for a window-manager state that never comes.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
      >/dev/null 2>&1 || exit 1
    # Window captions and message boxes use Tahoma, whose fallback for Japanese is a
    # font Debian does not have: IPA Gothic goes first.
    "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v Tahoma /t REG_MULTI_SZ /d 'ipag.ttf\0MSGOTHIC.TTC,MS UI Gothic' /f >/dev/null 2>&1 || exit 1
    # COM1 is the path com1 in the prefix, which a test makes a link to the
    # pseudo-terminal it wants.
    "$WINE" reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$WINEPREFIX/com1" /f \
      >/dev/null 2>&1 || exit 1
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp -f /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" || exit 1
    "$WINESERVER" -k 2>/dev/null
    "$WINESERVER" -w
    echo "$want" >"$stamp"
  ) 9>"$dir/.lock"
}

# xvfb_start WxH: starts a bare X server (24-bit, no window manager) on a free
# display and waits until it takes connections. Exports DISPLAY and XVFB_PID.
xvfb_start() {
  local size=$1
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 8 -screen 0 "${size}x24" -nolisten tcp -noreset 8>"$fdfile" 2>/dev/null &
  XVFB_PID=$!
  WINE_ENV_XVFB_PIDS+=("$XVFB_PID")
  local i
  for i in $(seq 1 100); do
    if [ -s "$fdfile" ]; then
      export DISPLAY=":$(head -n1 "$fdfile" | tr -d '[:space:]')"
      rm -f "$fdfile"
      return 0
    fi
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$fdfile"
  wine_env_say "Xvfb did not start"
  return 1
}

# wine_env_stop: ends what wine_prefix and xvfb_start started (each prefix's
# wineserver, with every Windows program of the prefix, and the X servers).
wine_env_stop() {
  local prefix pid
  for prefix in "${WINE_ENV_PREFIXES[@]}"; do
    WINEPREFIX=$prefix "$WINESERVER" -k 2>/dev/null
    WINEPREFIX=$prefix "$WINESERVER" -w 2>/dev/null
  done
  for pid in "${WINE_ENV_XVFB_PIDS[@]}"; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  WINE_ENV_PREFIXES=()
  WINE_ENV_XVFB_PIDS=()
  XVFB_PID=
}
