# Shared part of the MinGW-w64 toolchain files: the including file sets LUMI_MINGW_TRIPLE and
# LUMI_WINE_ARCH first. Static linking leaves the exes importing only system DLLs, so nothing
# has to be shipped beside them.
set(CMAKE_SYSTEM_NAME Windows)

# The -posix compilers: the win32 thread model of GCC 12 has no std::mutex or std::thread,
# which GoogleTest needs.
set(CMAKE_C_COMPILER ${LUMI_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMI_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMI_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LUMI_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# zlib from libz-mingw-w64-dev: the static archive, never the import library of zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
set(ZLIB_LIBRARY /usr/${LUMI_MINGW_TRIPLE}/lib/libz.a CACHE FILEPATH "static zlib for MinGW")
set(ZLIB_INCLUDE_DIR /usr/${LUMI_MINGW_TRIPLE}/include CACHE PATH "zlib headers for MinGW")

set(CMAKE_C_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--gc-sections")
# MinSizeRel is the shipped configuration: -Os and stripped by the linker itself (strip and
# objcopy would write a new PE time stamp; cmake/Reproducible.cmake).
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s")

# Test executables run under Wine in a prefix that belongs to this build tree
# (cmake/wine/setup.sh creates it; ctest runs that first as a fixture).
set(LUMI_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/wine/run.sh;${LUMI_WINE_DIR};${LUMI_WINE_ARCH})
