# Cross toolchain: the x86_64 twin of the Windows programs, built with mingw-w64
# (POSIX threads). A test vehicle for machines that cannot run 32-bit code;
# the deliverables are the i686 build (mingw-i686.cmake).
set(TS_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
