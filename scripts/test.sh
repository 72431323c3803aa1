#!/usr/bin/env bash
# Installs what is missing, builds both configurations and runs every test:
# native tests under the sanitizers, Windows tests under Wine at display depths 24, 16 and 8,
# and a bounded fuzzing run.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh" || exit 1
"$root/scripts/build.sh" all || exit 1

failed=0
jobs=$(nproc)

echo "== house rules (layers, folders, wiring)"
python3 "$root/scripts/check-house.py" || failed=1

echo "== native tests (ASan, UBSan)"
ctest --test-dir "$root/build/native" --output-on-failure -j "$jobs" || failed=1

source "$root/scripts/wine-env.sh"
loom_wine_prefix
# Depth 8 is a palette display: there a test that needs true colour skips itself with its
# reason (tests/support/DisplayDepth_win.h), and the 8-bit branches have tests of their own.
for depth in 24 16 8; do
  echo "== Windows tests under Wine, display depth $depth"
  loom_start_xvfb "$depth" || { failed=1; continue; }
  loom_start_wineserver
  started=$SECONDS
  # One program at a time: they share the display, and keyboard focus with it.
  ctest --test-dir "$root/build/win" --output-on-failure -j 1 --timeout 900 || failed=1
  echo "== depth $depth took $((SECONDS - started)) s"
  loom_stop_wineserver
  loom_stop_xvfb
done

if [ -x "$root/scripts/fuzz.sh" ]; then
  echo "== fuzzing (bounded)"
  "$root/scripts/fuzz.sh" || failed=1
fi

if [ $failed -ne 0 ]; then
  echo "SOME TESTS FAILED"
  exit 1
fi
echo "ALL TESTS PASSED"
