# The installer stub runs on one thread, yet the C++ runtime of the -posix MinGW compilers
# is built on the winpthread library, and its exception and static-initialisation code pull
# that library into every program (about 26 KB of the i686 stub). The same GCC release comes
# in a -win32 threading flavour whose runtime uses the system's own primitives instead. The
# two flavours' headers differ only in their threading parts: std::thread, std::mutex and the
# like, which the stub does not use (they would fail to link there). So the stub's objects,
# compiled by the -posix compiler like the rest of the build, are linked by the -win32 driver
# against its runtime.
#
#   lumi_link_with_win32_thread_runtime(<target>)
#
# Leaves the target as it is when no -win32 driver of the same GCC release is installed.
function(lumi_link_with_win32_thread_runtime target)
  if(NOT LUMI_MINGW_TRIPLE OR NOT CMAKE_CXX_COMPILER MATCHES "-posix$")
    return()
  endif()
  find_program(LUMI_WIN32_THREAD_CXX ${LUMI_MINGW_TRIPLE}-g++-win32)
  if(NOT LUMI_WIN32_THREAD_CXX)
    message(STATUS "${target}: no ${LUMI_MINGW_TRIPLE}-g++-win32, linked with winpthread")
    return()
  endif()
  execute_process(COMMAND ${LUMI_WIN32_THREAD_CXX} -dumpfullversion
                  OUTPUT_VARIABLE version OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT version VERSION_EQUAL CMAKE_CXX_COMPILER_VERSION)
    message(STATUS "${target}: ${LUMI_WIN32_THREAD_CXX} is GCC ${version}, not "
                   "${CMAKE_CXX_COMPILER_VERSION}; linked with winpthread")
    return()
  endif()
  set(launcher
    "/bin/sh ${CMAKE_SOURCE_DIR}/cmake/link-with.sh ${LUMI_WIN32_THREAD_CXX} ${CMAKE_CXX_COMPILER}")
  # On the link line the rule launcher comes before the linker launcher (the PE time stamp,
  # cmake/Reproducible.cmake), where link-with.sh would not find COMPILER: that one goes first.
  get_target_property(linker_launcher ${target} CXX_LINKER_LAUNCHER)
  if(linker_launcher)
    list(JOIN linker_launcher " " linker_launcher)
    set(launcher "${linker_launcher} ${launcher}")
    set_property(TARGET ${target} PROPERTY CXX_LINKER_LAUNCHER "")
  endif()
  set_property(TARGET ${target} PROPERTY RULE_LAUNCH_LINK "${launcher}")
endfunction()
