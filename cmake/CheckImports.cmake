# Fails when a Windows program imports a DLL outside a list. Windows resolves a program's
# imports before any of its code runs, looking in the program's own folder first for every DLL
# that is not a KnownDLL; the shipped programs therefore import only KnownDLLs (and the common
# controls, which their manifest names) and load anything else from the system folder.
#   cmake -DLUMI_OBJDUMP=<objdump> -DLUMI_IMPORTS_FILE=<exe> -DLUMI_IMPORTS_ALLOWED=a,b,...
#         -P CheckImports.cmake
# The names are lower-case and without ".dll"; commas, as a test's command would split a
# semicolon list.
cmake_policy(SET CMP0057 NEW)  # if(IN_LIST)
foreach(var LUMI_OBJDUMP LUMI_IMPORTS_FILE LUMI_IMPORTS_ALLOWED)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CheckImports.cmake: ${var} is not set")
  endif()
endforeach()
execute_process(COMMAND ${LUMI_OBJDUMP} -p ${LUMI_IMPORTS_FILE}
                OUTPUT_VARIABLE dump ERROR_VARIABLE error RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${LUMI_OBJDUMP} -p ${LUMI_IMPORTS_FILE} failed: ${error}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
set(imports)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^DLL Name: *" "" name "${line}")
  string(STRIP "${name}" name)
  string(TOLOWER "${name}" name)
  string(REGEX REPLACE "\\.dll$" "" name "${name}")
  list(APPEND imports ${name})
endforeach()
# A dump this script cannot read must not pass as "nothing outside the list".
if(NOT imports)
  message(FATAL_ERROR "no imports found in ${LUMI_IMPORTS_FILE}")
endif()
list(REMOVE_DUPLICATES imports)
string(REPLACE "," ";" allowed "${LUMI_IMPORTS_ALLOWED}")
set(outside)
foreach(name IN LISTS imports)
  if(NOT name IN_LIST allowed)
    list(APPEND outside ${name})
  endif()
endforeach()
list(JOIN imports " " shown)
# The findings on lines of their own, as in CheckFileSize.cmake: a fatal error's text is
# wrapped where a long path puts the break.
message(STATUS "${LUMI_IMPORTS_FILE} imports: ${shown}")
if(outside)
  list(JOIN outside " " shown)
  message(STATUS "outside the list: ${shown}")
  message(FATAL_ERROR "imports outside the list")
endif()
