#!/usr/bin/env bash
# Installs what the build and the tests need, from Debian's packages only. Idempotent:
# it does nothing when everything is already there.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

pkgs=(wine wine32:i386 g++-mingw-w64-i686 xvfb cmake libgtest-dev libbenchmark-dev
      clang libclang-rt-14-dev ninja-build xauth python3 ccache)
for p in "${pkgs[@]}"; do have "$p" || need+=("$p"); done
[ ${#need[@]} -eq 0 ] && { echo "install-deps: everything is installed"; exit 0; }

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}"
