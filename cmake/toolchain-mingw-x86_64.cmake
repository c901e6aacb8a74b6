# 64-bit Windows with MinGW-w64 (x86_64). Not shipped: it runs the Win32 tests under 64-bit Wine
# on hosts whose kernel cannot execute 32-bit code (no ia32 emulation), where the 32-bit Wine
# loader does not start. The sources are the same; only pointer width differs.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(LUMI_MINGW_TRIPLE x86_64-w64-mingw32)
set(LUMI_WINE_ARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
