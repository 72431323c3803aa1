#!/usr/bin/env bash
# Configures and builds the Windows (cross) and the native (sanitized) configurations.
#   scripts/build.sh [win|native|fuzz|bench|all]   (default: win native)
#   scripts/build.sh win TARGET...                 only those targets of build/win and what they need
#   scripts/build.sh win64 TARGET...               the same code for 64-bit Windows, into build/win64:
#                                                  only to measure or try it under 64-bit Wine
#                                                  where no 32-bit program runs (never shipped)
# LOOM_JOBS: compile jobs at once (default: the number of cores).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${LOOM_JOBS:-$(nproc)}
what=${1:-default}
[ $# -gt 0 ] && shift
targets=()
for t in "$@"; do targets+=(--target "$t"); done
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
# Compiler cache: paths are taken relative to the checkout, so other work trees share it.
if command -v ccache >/dev/null; then
  gen+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
fi

build_win() {
  cmake -S "$root" -B "$root/build/win" "${gen[@]}" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686-posix.cmake" >/dev/null
  cmake --build "$root/build/win" -j "$jobs" "${targets[@]}"
}
build_win64() {
  cmake -S "$root" -B "$root/build/win64" "${gen[@]}" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64-posix.cmake" >/dev/null
  cmake --build "$root/build/win64" -j "$jobs" "${targets[@]}"
}
build_native() {
  cmake -S "$root" -B "$root/build/native" "${gen[@]}" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$root/build/native" -j "$jobs"
}
build_fuzz() {
  CC=clang CXX=clang++ cmake -S "$root" -B "$root/build/fuzz" "${gen[@]}" -DLOOM_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$root/build/fuzz" -j "$jobs"
}
build_bench() {
  cmake -S "$root" -B "$root/build/bench" "${gen[@]}" -DLOOM_NO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$root/build/bench" -j "$jobs" --target loom_bench
}
case $what in
  win) build_win ;;
  win64) build_win64 ;;
  native) build_native ;;
  fuzz) build_fuzz ;;
  bench) build_bench ;;
  all) build_win; build_native; build_fuzz ;;
  default) build_win; build_native ;;
  *) echo "usage: $0 [win [TARGET...]|win64 [TARGET...]|native|fuzz|bench|all]" >&2; exit 2 ;;
esac
