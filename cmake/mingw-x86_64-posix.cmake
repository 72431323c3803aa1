# Cross compilation for 64-bit Windows with the mingw-w64 x86_64 compilers (posix threads). The
# plug-in is a 32-bit DLL; this build serves only to measure and try its code under 64-bit Wine
# on a machine that runs no 32-bit x86 program (scripts/build.sh win64).
set(loom_mingw_arch x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-posix.cmake)
