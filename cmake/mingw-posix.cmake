# Cross compilation for Windows with the mingw-w64 compilers (posix threads) of the architecture
# the including toolchain file names in loom_mingw_arch.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${loom_mingw_arch})
set(CMAKE_C_COMPILER ${loom_mingw_arch}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${loom_mingw_arch}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${loom_mingw_arch}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${loom_mingw_arch}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
