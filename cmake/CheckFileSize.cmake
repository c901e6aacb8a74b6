# Fails when a file is larger than a limit in bytes.
#   cmake -DLUMI_SIZE_FILE=<file> -DLUMI_SIZE_LIMIT=<bytes> -P CheckFileSize.cmake
foreach(var LUMI_SIZE_FILE LUMI_SIZE_LIMIT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CheckFileSize.cmake: ${var} is not set")
  endif()
endforeach()
if(NOT EXISTS "${LUMI_SIZE_FILE}")
  message(FATAL_ERROR "${LUMI_SIZE_FILE} does not exist")
endif()
file(SIZE "${LUMI_SIZE_FILE}" size)
math(EXPR spare "${LUMI_SIZE_LIMIT} - ${size}")
if(spare LESS 0)
  math(EXPR over "-${spare}")
  # The figures go out on one line of their own: a fatal error's text is wrapped to the
  # terminal's width, which would split them wherever a long path puts the break.
  message(STATUS "${LUMI_SIZE_FILE}: ${size} bytes, ${over} over the limit of ${LUMI_SIZE_LIMIT}")
  message(FATAL_ERROR "over the size limit")
endif()
message(STATUS "${LUMI_SIZE_FILE}: ${size} bytes, ${spare} below the limit of ${LUMI_SIZE_LIMIT}")
