# Sourced by the scripts that run Windows programs: Wine in the project's own prefix, quiet,
# without Mono or Gecko.
LOOM_ROOT=${LOOM_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
# LOOM_WIN64=1: the 64-bit build (build/win64) under 64-bit Wine, in a 64-bit prefix of its own;
# only to measure or try the code where no 32-bit program runs (scripts/build.sh win64).
loom_arch=win32
if [ "${LOOM_WIN64:-}" = 1 ]; then
  loom_arch=win64
  LOOM_WIN_BUILD=${LOOM_WIN_BUILD:-$LOOM_ROOT/build/win64}
  export LOOM_WINEPREFIX=${LOOM_WINEPREFIX:-$LOOM_ROOT/build/wineprefix64}
  wine() { /usr/lib/wine/wine64 "$@"; }
  wineserver() { /usr/lib/wine/wineserver64 "$@"; }
  wineboot() { /usr/lib/wine/wine64 wineboot "$@"; }
  export -f wine wineserver wineboot
fi
LOOM_WIN_BUILD=${LOOM_WIN_BUILD:-$LOOM_ROOT/build/win}
# The project's own prefix (build/wineprefix, or the one LOOM_WINEPREFIX names), whatever
# WINEPREFIX and WINEARCH the user's own Wine has: what the runs write into their prefix (its
# registry, its user folders, the test devices) belongs in no one else's. Quiet unless
# LOOM_WINEDEBUG asks for Wine's messages: the tests read what the programs print.
export LOOM_WINEPREFIX=${LOOM_WINEPREFIX:-$LOOM_ROOT/build/wineprefix}
export WINEPREFIX=$LOOM_WINEPREFIX
export WINEARCH=$loom_arch
export WINEDEBUG=${LOOM_WINEDEBUG:--all}
# avicap32=n: our capture library beside the test programs (build/win) stands in for Wine's,
# which lists no driver; it lists one only when LOOM_CAPTURE_DRIVER is set. sane.ds=n: our
# scanner source (tools/twainds), copied into the prefix, is the one TWAIN source; Wine's camera
# source is off.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d;avicap32=n;sane.ds=n;gphoto2.ds=d"

# Makes the prefix once; later calls find it ready.
loom_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    # Made without our avicap32: Wine's own components that import it (the device enumerator
    # DirectShow needs) must register themselves.
    WINEDLLOVERRIDES="${WINEDLLOVERRIDES/;avicap32=n/}" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  # Without a window manager on Xvfb, Wine waits for every closing managed window; our windows
  # need none of what a window manager gives, so it manages none.
  if [ ! -f "$WINEPREFIX/.loom-unmanaged" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    wineserver -w
    touch "$WINEPREFIX/.loom-unmanaged"
  fi
  # On a palette display (depth 8) a colormap of its own lets Wine write the palettes programs
  # realize into the display's colours, as the system palette of a 256-colour display does. The
  # display shows that colormap only while it is installed: loom_keep_colormap sees to it.
  if [ ! -f "$WINEPREFIX/.loom-private-colormap" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v PrivateColorMap /d Y /f >/dev/null 2>&1 || true
    wineserver -w
    touch "$WINEPREFIX/.loom-private-colormap"
  fi
  # A program that crashes must end and say where: with a display, Wine's debugger would otherwise
  # show its crash dialog and wait for a click no one gives, and the run would only time out.
  # Without the dialog it writes the backtrace into the program's output and ends it.
  if [ ! -f "$WINEPREFIX/.loom-no-crash-dialog" ]; then
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
    wineserver -w
    touch "$WINEPREFIX/.loom-no-crash-dialog"
  fi
  # Wine links the user's folders (desktop, documents, music...) to the home folder, which every
  # other prefix on the machine shares: what tests put there would meet. Folders of its own.
  local folder
  for folder in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$folder" ]; then rm -f "$folder" && mkdir -p "$folder"; fi
  done
  # Our simulated videodisc player (tools/vdplayer) is the MCI "videodisc" device.
  local driver="$LOOM_WIN_BUILD/vdplayer.drv"
  if [ ! -f "$WINEPREFIX/.loom-videodisc" ] || [ "$(cat "$WINEPREFIX/.loom-videodisc")" != "$driver" ]; then
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\MCI' /v videodisc \
      /d "Z:${driver//\//\\}" /f >/dev/null 2>&1 || true
    wineserver -w
    echo "$driver" > "$WINEPREFIX/.loom-videodisc"
  fi
  # Wine's TWAIN source manager loads sources only from windows\twain_32 (twain_64 in a 64-bit
  # prefix): our test source goes there under the name it looks for.
  local source="$LOOM_WIN_BUILD/loomscan.ds" sources="$WINEPREFIX/drive_c/windows/twain_${loom_arch#win}"
  if [ -f "$source" ] && ! cmp -s "$source" "$sources/sane.ds"; then
    mkdir -p "$sources"
    cp "$source" "$sources/sane.ds"
  fi
}

# Our small X client (tools/xdisplay), built with the machine's compiler into build/xdisplay when
# missing or older than its source; LOOM_XDISPLAY names it for the scripts and the test browser.
# Shards starting at once each build their own copy (named by its shell) and rename it into place.
export LOOM_XDISPLAY=$LOOM_ROOT/build/xdisplay/loom-xdisplay
loom_xdisplay_tool() {
  local source=$LOOM_ROOT/tools/xdisplay/XDisplay.cpp
  [ -x "$LOOM_XDISPLAY" ] && [ "$LOOM_XDISPLAY" -nt "$source" ] && return 0
  mkdir -p "$(dirname "$LOOM_XDISPLAY")"
  c++ -std=c++20 -O2 -o "$LOOM_XDISPLAY.$BASHPID" "$source" -lX11 && mv -f "$LOOM_XDISPLAY.$BASHPID" "$LOOM_XDISPLAY"
}

# On a palette display, keeps the colour map of the window on top installed, as a window manager
# would (none manages our windows): each Wine program draws through a colour map of its own, and
# the display shows the one installed. Sets LOOM_XKEEP_PID; the client ends with its display.
loom_keep_colormap() {
  LOOM_XKEEP_PID=
  loom_xdisplay_tool || { echo "could not build $LOOM_XDISPLAY" >&2; return 1; }
  "$LOOM_XDISPLAY" keep-colormap </dev/null >/dev/null 2>&1 &
  LOOM_XKEEP_PID=$!
}

# Starts an Xvfb display of the given depth; sets DISPLAY and LOOM_XVFB_PID. Xvfb picks a free
# display number itself and reports it (-displayfd): shards starting at once cannot take the same one.
loom_start_xvfb() {
  local depth=${1:-24} number i
  LOOM_XVFB_PID=
  number=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x"$depth" -nolisten tcp 3>"$number" </dev/null >/dev/null 2>&1 &
  LOOM_XVFB_PID=$!
  for i in $(seq 1 300); do
    if [ -s "$number" ]; then
      export DISPLAY=:$(head -n 1 "$number")
      rm -f "$number"
      [ "$depth" -gt 8 ] || loom_keep_colormap || { loom_stop_xvfb; return 1; }
      return 0
    fi
    kill -0 "$LOOM_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$number"
  loom_stop_xvfb
  echo "could not start Xvfb" >&2
  return 1
}

loom_stop_xvfb() {
  [ -n "${LOOM_XKEEP_PID:-}" ] && kill "$LOOM_XKEEP_PID" 2>/dev/null && wait "$LOOM_XKEEP_PID" 2>/dev/null
  LOOM_XKEEP_PID=
  [ -n "${LOOM_XVFB_PID:-}" ] && kill "$LOOM_XVFB_PID" 2>/dev/null && wait "$LOOM_XVFB_PID" 2>/dev/null
  LOOM_XVFB_PID=
}

# One persistent wineserver for a whole run, with the prefix's services started now, detached
# from our output: a service started inside a test would hold the test's output open.
loom_start_wineserver() {
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

loom_stop_wineserver() {
  wineserver -k </dev/null >/dev/null 2>&1
  wineserver -w </dev/null >/dev/null 2>&1
}

# Copies the prepared prefix for a shard of its own. The builtin libraries (most of its size)
# are hard links: nothing writes them once the prefix is made. The registry, the user's folders
# and the rest are copies of the shard's own.
loom_copy_prefix() {
  local from=$1 to=$2 shared=drive_c/windows/system32
  rm -rf "$to"
  mkdir -p "$to"
  (cd "$from" && tar cf - --exclude="./$shared" .) | (cd "$to" && tar xf -) || return 1
  cp -al "$from/$shared" "$to/$shared"
}
