# Tests of the MinGW builds run under Wine (cmake/wine/). Included by tests/CMakeLists.txt
# when cross-compiling: builds GoogleTest for Windows and registers the Wine prefix fixture.
# Every Wine test shares the prefix (registry, shell folders, one X server), so they hold one
# resource lock and run one after another.
include(${CMAKE_CURRENT_LIST_DIR}/GTestWin32.cmake)

set(LUMI_WINE_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/wine)
set(LUMI_WINE_SKIP_CODE 77)

add_test(NAME wine_prefix_setup
         COMMAND ${LUMI_WINE_SCRIPTS}/setup.sh ${LUMI_WINE_DIR} ${LUMI_WINE_ARCH})
set_tests_properties(wine_prefix_setup PROPERTIES
  FIXTURES_SETUP wine_prefix RESOURCE_LOCK wine_prefix TIMEOUT 180)
add_test(NAME wine_prefix_teardown
         COMMAND ${LUMI_WINE_SCRIPTS}/teardown.sh ${LUMI_WINE_DIR} ${LUMI_WINE_ARCH})
set_tests_properties(wine_prefix_teardown PROPERTIES
  FIXTURES_CLEANUP wine_prefix RESOURCE_LOCK wine_prefix TIMEOUT 90)

# Makes an already added test a Wine test: needs the prefix, holds its lock, has a timeout,
# and counts as skipped where this host cannot run Wine for this architecture.
#   lumi_wine_test(<test> [TIMEOUT seconds])
function(lumi_wine_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine_prefix
    RESOURCE_LOCK wine_prefix
    TIMEOUT ${ARG_TIMEOUT}
    SKIP_RETURN_CODE ${LUMI_WINE_SKIP_CODE})
endfunction()
