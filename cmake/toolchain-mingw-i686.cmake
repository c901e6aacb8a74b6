# 32-bit Windows with MinGW-w64 (i686): the shipped installer, lumipack.exe and the Win32 tests.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(LUMI_MINGW_TRIPLE i686-w64-mingw32)
set(LUMI_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
