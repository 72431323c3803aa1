#!/usr/bin/env bash
# Runs one Windows program under the project's Wine prefix: scripts/wine-run.sh prog.exe args...
# Test runs start Xvfb and a persistent wineserver around all their programs (scripts/test.sh);
# run alone, this starts what is missing itself: without DISPLAY an Xvfb of LOOM_DEPTH bits (24).
set -u
source "$(dirname "$0")/wine-env.sh"
started_x=
if [ -z "${DISPLAY:-}" ]; then
  loom_start_xvfb "${LOOM_DEPTH:-24}" || exit 1
  started_x=1
fi
loom_wine_prefix
wine "$@"
rc=$?
if [ -n "$started_x" ]; then
  wineserver -w
  loom_stop_xvfb
fi
exit $rc
