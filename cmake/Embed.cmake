# Builds binary files into a program as C++ byte arrays.
#
# lumi_embed_file(<target> <symbol> <input> [NAMESPACE <ns>])
#   At build time turns <input> into a generated .cpp defining, in namespace <ns> (default
#   lumi_embedded):
#     extern const unsigned char <symbol>[];      the file's bytes followed by one 0x00
#     extern const std::size_t <symbol>Size;      the file's size, without that extra byte
#   and adds it to <target>. The trailing zero lets an empty file still make a valid array
#   and lets text be read as a C string.
#
# The conversion is this same file run in CMake script mode, so it needs nothing but the
# host's cmake: it works unchanged when the target is built with a cross compiler.

function(lumi_embed_file target symbol input)
  cmake_parse_arguments(ARG "" "NAMESPACE" "" ${ARGN})
  if(NOT ARG_NAMESPACE)
    set(ARG_NAMESPACE lumi_embedded)
  endif()
  get_filename_component(input "${input}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  set(output "${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.cpp")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}"
      "-DLUMI_EMBED_INPUT=${input}"
      "-DLUMI_EMBED_OUTPUT=${output}"
      "-DLUMI_EMBED_SYMBOL=${symbol}"
      "-DLUMI_EMBED_NAMESPACE=${ARG_NAMESPACE}"
      -P "${CMAKE_CURRENT_FUNCTION_LIST_FILE}"
    DEPENDS "${input}" "${CMAKE_CURRENT_FUNCTION_LIST_FILE}"
    COMMENT "Embedding ${symbol} from ${input}"
    VERBATIM)
  target_sources(${target} PRIVATE "${output}")
endfunction()

# Script mode: invoked by the custom command above.
if(CMAKE_SCRIPT_MODE_FILE AND DEFINED LUMI_EMBED_INPUT)
  foreach(var LUMI_EMBED_OUTPUT LUMI_EMBED_SYMBOL LUMI_EMBED_NAMESPACE)
    if(NOT ${var})
      message(FATAL_ERROR "Embed.cmake: ${var} is not set")
    endif()
  endforeach()
  if(NOT EXISTS "${LUMI_EMBED_INPUT}")
    message(FATAL_ERROR "Embed.cmake: cannot read ${LUMI_EMBED_INPUT}")
  endif()

  file(SIZE "${LUMI_EMBED_INPUT}" size)
  file(READ "${LUMI_EMBED_INPUT}" hex HEX)
  # Sixteen bytes (32 hex digits) to a line keeps the generated file readable in a diff.
  string(REPEAT "[0-9a-f]" 32 line)
  string(REGEX REPLACE "(${line})" "\\1\n" hex "${hex}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REPLACE "\n" "\n  " bytes "${bytes}")

  get_filename_component(name "${LUMI_EMBED_INPUT}" NAME)
  set(sym "${LUMI_EMBED_SYMBOL}")
  file(WRITE "${LUMI_EMBED_OUTPUT}.tmp"
"// Generated at build time from ${name} by Embed.cmake: do not edit.
#include <cstddef>

namespace ${LUMI_EMBED_NAMESPACE} {

extern const unsigned char ${sym}[];
extern const std::size_t ${sym}Size;

const unsigned char ${sym}[] = {
  ${bytes}0x00
};
const std::size_t ${sym}Size = ${size};

}  // namespace ${LUMI_EMBED_NAMESPACE}
")
  # Replace the output only when its bytes change, so an unchanged input recompiles nothing.
  file(COPY_FILE "${LUMI_EMBED_OUTPUT}.tmp" "${LUMI_EMBED_OUTPUT}" ONLY_IF_DIFFERENT)
  file(REMOVE "${LUMI_EMBED_OUTPUT}.tmp")
endif()
