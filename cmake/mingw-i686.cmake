# Cross toolchain: 32-bit Windows programs built with mingw-w64 (POSIX threads).
set(TS_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
