# GoogleTest for the MinGW builds: Debian ships its sources in /usr/src/googletest but no
# Windows libraries, so it is compiled here with the cross compiler. Afterwards
# find_package(GTest) resolves to these targets (GTest::gtest, GTest::gtest_main) through a
# package redirect, so the test folders read the same on every target.
set(LUMI_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${LUMI_GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${LUMI_GTEST_SOURCE_DIR} "
                      "(Debian package googletest; scripts/deps.sh --win32 installs it)")
endif()

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(${LUMI_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/gtest-config.cmake
     "# GoogleTest built from source in this tree (cmake/GTestWin32.cmake).\n")
file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/gtest-config-version.cmake
     "set(PACKAGE_VERSION_COMPATIBLE TRUE)\nset(PACKAGE_VERSION_EXACT TRUE)\n")
