#!/usr/bin/env bash
# The Windows test stage run as a Wine user runs it, with Wine settings of their own: WINEPREFIX
# naming another prefix, WINEARCH 64-bit and WINEDEBUG asking for messages. The programs must
# still run in the project's own prefix and pass, and the user's prefix must be left as it was
# (here: never made). One small program at one depth (LOOM_SETTINGS_TESTS, a ctest regular
# expression; default vic32_tests).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
elsewhere=$(mktemp -d)
trap 'rm -rf "$elsewhere"' EXIT
env -u LOOM_WINEPREFIX -u LOOM_WINEDEBUG WINEPREFIX="$elsewhere/users-prefix" WINEARCH=win64 WINEDEBUG=+loaddll \
  LOOM_TESTS="${LOOM_SETTINGS_TESTS:-^vic32_tests\$}" LOOM_SHARDS=2 "$root/scripts/wine-tests.sh" 24 || exit 1
if [ -e "$elsewhere/users-prefix" ]; then
  echo "wine-settings: the tests wrote into the user's own prefix ($elsewhere/users-prefix)" >&2
  exit 1
fi
echo "wine-settings: the Windows tests ran in the project's prefix whatever the user's Wine settings"
