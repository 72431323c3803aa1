# Cross compilation for 32-bit Windows with the mingw-w64 i686 compilers (posix threads).
set(loom_mingw_arch i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-posix.cmake)
