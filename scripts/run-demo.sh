#!/usr/bin/env bash
# Builds what the demo runs and runs the plug-in in the test browser on a stack:
#   scripts/run-demo.sh [stack.stk] [test browser options...]
# It builds in build/win only the plug-in with its samples stack (Samples.stk), its stand-ins
# (vic32.dll, QuickTime.qts), the test browser and, when no stack is given, the stack builder
# that makes the demo stack beside its movie in build/demo; no test program. Without a display
# it starts Xvfb and writes a screenshot to build/demo.png instead (further --screenshot-after
# times: build/demo-t2.png, ...).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
stack=
if [ $# -gt 0 ] && [ "${1:0:1}" != "-" ]; then
  stack=$1
  shift
fi
steps=5
[ -n "$stack" ] && steps=4
step=0
progress() {
  step=$((step + 1))
  echo "run-demo [$step/$steps] $*"
}

progress "installing what is missing"
"$root/scripts/install-deps.sh"

targets=(nploom samples vic32 quicktime testbrowser)
[ -z "$stack" ] && targets+=(makestack)
progress "building ${targets[*]} in build/win"
"$root/scripts/build.sh" win "${targets[@]}"

source "$root/scripts/wine-env.sh"
unattended=
if [ -z "${DISPLAY:-}" ]; then
  # Before any Wine program: the Wine session they start keeps the display it found.
  loom_start_xvfb 24
  unattended=1
  trap 'wineserver -k </dev/null >/dev/null 2>&1; wineserver -w </dev/null >/dev/null 2>&1; loom_stop_xvfb' EXIT
else
  # On the user's own palette display (depth 8), no window manager installs the colour maps of
  # our unmanaged windows: we keep the one of the window on top installed (on true colour the
  # client ends at once).
  loom_keep_colormap || true
  trap '[ -n "${LOOM_XKEEP_PID:-}" ] && kill "$LOOM_XKEEP_PID" 2>/dev/null' EXIT
fi
progress "preparing Wine's prefix ($LOOM_WINEPREFIX; made once)"
loom_wine_prefix

if [ -z "$stack" ]; then
  progress "making the demo stack (build/demo/demo.stk and its movie)"
  mkdir -p "$root/build/demo"
  stack="$root/build/demo/demo.stk"
  wine "$root/build/win/tools/stackbuilder/makestack.exe" "$(winepath -w "$root/build/demo" 2>/dev/null)\\demo.stk" \
    </dev/null
fi

dir=$(cd "$(dirname "$stack")" && pwd)
args=(--dll "$(winepath -w "$root/build/win/nploom.dll" 2>/dev/null)" --server "$(winepath -w "$dir" 2>/dev/null)" --log)
if [ -n "$unattended" ]; then
  # Unattended: alerts are answered with their default button and noted in the log.
  args+=(--screenshot "$(winepath -w "$root/build/demo.png" 2>/dev/null)" --screenshot-after 2000 --quit-after 3000
         --answer-alerts)
fi
progress "running the test browser on http://localhost/$(basename "$stack") (served from $dir)"
wine "$root/build/win/testbrowser.exe" "${args[@]}" "$@" "http://localhost/$(basename "$stack")"
[ -n "$unattended" ] && echo "screenshot: $root/build/demo.png"
exit 0
