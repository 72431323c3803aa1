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
# At depth 8 (a palette display) only the programs that draw or touch the palette run again.
depth8_programs='^(core|graphics|host|objects|stack)_tests$'
for depth in 24 16 8; do
  echo "== Windows tests under Wine, display depth $depth"
  loom_start_xvfb "$depth" || { failed=1; continue; }
  loom_start_wineserver
  only=()
  [ "$depth" = 8 ] && only=(-R "$depth8_programs")
  started=$SECONDS
  # One program at a time: they share the display, and keyboard focus with it.
  ctest --test-dir "$root/build/win" --output-on-failure -j 1 --timeout 900 "${only[@]}" || failed=1
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
