#!/usr/bin/env bash
# Installs what the build and the tests need, from Debian's packages only. Idempotent:
# it does nothing when everything is already there.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

pkgs=(wine wine32:i386 wine64 g++-mingw-w64-i686 g++-mingw-w64-x86-64 xvfb cmake libgtest-dev libbenchmark-dev
      clang libclang-rt-14-dev ninja-build xauth python3 ccache nlohmann-json3-dev x11-apps libx11-dev)
for p in "${pkgs[@]}"; do have "$p" || need+=("$p"); done
[ ${#need[@]} -eq 0 ] && { echo "install-deps: everything is installed"; exit 0; }

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror caught in the middle of a sync serves an index of the wrong size: try again a little
# later, and when one list still fails, install from the lists that did arrive (the install
# itself fails if a package is really missing).
for try in 1 2 3; do
  "${sudo_cmd[@]}" apt-get update -qq && break
  echo "install-deps: package lists incomplete (try $try), trying again" >&2
  sleep $((try * 10))
done
if ! "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}"; then
  # Out of date 32-bit lists leave twins of different versions: install matching ones.
  line=$(python3 "$(dirname "$0")/apt-matching-versions.py" "${need[@]}") || exit 1
  # shellcheck disable=SC2086
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends --allow-downgrades $line
fi
