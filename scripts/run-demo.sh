#!/usr/bin/env bash
# Builds the plug-in and runs it in the test browser on a stack:
#   scripts/run-demo.sh [stack.stk]
# Without an argument it makes the demo stack with the test-stack builder. Without a display
# it starts Xvfb and writes a screenshot to build/demo.png instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" win
stack=${1:-}
if [ -z "$stack" ]; then
  "$root/scripts/build.sh" native >/dev/null
  stack="$root/build/demo/demo.stk"
  mkdir -p "$(dirname "$stack")"
  if [ -x "$root/build/native/tools/stackbuilder/makestack" ]; then
    "$root/build/native/tools/stackbuilder/makestack" "$stack"
  else
    : > "$stack"
  fi
fi
source "$root/scripts/wine-env.sh"
loom_wine_prefix
dir=$(cd "$(dirname "$stack")" && pwd)
args=(--dll "$(winepath -w "$root/build/win/nploom.dll" 2>/dev/null)" --server "$(winepath -w "$dir" 2>/dev/null)" --log)
if [ -z "${DISPLAY:-}" ]; then
  loom_start_xvfb 24
  # Unattended: alerts are answered with their default button and noted in the log.
  args+=(--screenshot "$(winepath -w "$root/build/demo.png" 2>/dev/null)" --screenshot-after 2000 --quit-after 3000
         --answer-alerts)
  trap 'wineserver -k </dev/null >/dev/null 2>&1; wineserver -w </dev/null >/dev/null 2>&1; loom_stop_xvfb' EXIT
fi
wine "$root/build/win/testbrowser.exe" "${args[@]}" "http://localhost/$(basename "$stack")"
[ -n "${LOOM_XVFB_PID:-}" ] && echo "screenshot: $root/build/demo.png"
exit 0
