# Reproducible Windows builds: the same sources give the same bytes whatever folder they are
# built in and whenever they are built (scripts/check-reproducible.sh compares two builds).
#
# - The PE time stamp: ld writes SOURCE_DATE_EPOCH when it is set and the time of the link
#   otherwise, so every link runs with it set (the linker launcher below). Its value is the
#   caller's SOURCE_DATE_EPOCH when there is one, else the time of the commit being built, else
#   (sources without their git history, such as an exported tarball) the last-write time of the
#   top CMakeLists.txt, which `git archive` sets to the commit time. Never 0: a PE dated 1970 is
#   flagged by some scanners.
# - Paths: __FILE__ and any debug information name files relative to the source and build folders.
# - __DATE__ and __TIME__ are errors.
# - The exes are stripped by the linker (-s in the toolchain): strip and objcopy would stamp the
#   time of their own run unless SOURCE_DATE_EPOCH were set for them too.
# The packed payloads take their member dates from fixed data (tools/synthetic, demo/payload.txt),
# never from the build.

# Seconds since 1970 that fit the PE header's 32-bit field, and not 0.
function(lumi_check_epoch value origin)
  if(NOT value MATCHES "^[0-9]+$" OR value MATCHES "^0+$" OR value GREATER 4294967295)
    message(FATAL_ERROR "${origin} is \"${value}\": the PE time stamp needs a number of seconds "
                        "since 1970 from 1 to 4294967295 (set SOURCE_DATE_EPOCH to one)")
  endif()
endfunction()

# The stamp and where it came from, into the variables named <out> and <origin>.
function(lumi_source_date_epoch out origin)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    lumi_check_epoch("$ENV{SOURCE_DATE_EPOCH}" "SOURCE_DATE_EPOCH")
    set(${out} "$ENV{SOURCE_DATE_EPOCH}" PARENT_SCOPE)
    set(${origin} "the environment's SOURCE_DATE_EPOCH" PARENT_SCOPE)
    return()
  endif()
  find_package(Git QUIET)
  if(GIT_EXECUTABLE)
    # Only the history of these sources counts, not that of a repository they were unpacked in.
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --show-toplevel
                    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} RESULT_VARIABLE rc
                    OUTPUT_VARIABLE toplevel OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(rc EQUAL 0)
      file(REAL_PATH "${toplevel}" toplevel)
      file(REAL_PATH "${CMAKE_SOURCE_DIR}" source_dir)
    endif()
    if(rc EQUAL 0 AND toplevel STREQUAL source_dir)
      execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} RESULT_VARIABLE rc
                      OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      if(rc EQUAL 0 AND epoch MATCHES "^[1-9][0-9]*$")
        # A new commit or checkout reconfigures, so the stamp follows the commit being built.
        execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --path-format=absolute
                                --git-path logs/HEAD
                        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE head_log
                        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        if(head_log AND EXISTS "${head_log}")
          set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                       "${head_log}")
        endif()
        set(${out} ${epoch} PARENT_SCOPE)
        set(${origin} "the time of the commit" PARENT_SCOPE)
        return()
      endif()
    endif()
  endif()
  file(TIMESTAMP ${CMAKE_SOURCE_DIR}/CMakeLists.txt epoch "%s" UTC)
  lumi_check_epoch("${epoch}" "the last-write time of CMakeLists.txt")
  set(${out} ${epoch} PARENT_SCOPE)
  set(${origin} "no git history: the last-write time of CMakeLists.txt" PARENT_SCOPE)
endfunction()

lumi_source_date_epoch(LUMI_SOURCE_DATE_EPOCH lumi_epoch_origin)
# Read back by scripts/demo.sh for the release notes.
set(LUMI_SOURCE_DATE_EPOCH ${LUMI_SOURCE_DATE_EPOCH} CACHE INTERNAL "PE time stamp of the exes")
message(STATUS "PE time stamp: ${LUMI_SOURCE_DATE_EPOCH} (${lumi_epoch_origin})")

set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${LUMI_SOURCE_DATE_EPOCH})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_C_LINKER_LAUNCHER})

# The build folder is mapped last, so it wins where it lies inside the source folder.
add_compile_options(
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>"
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=.>"
  "$<$<COMPILE_LANGUAGE:C,CXX>:-Werror=date-time>")
