# dotlane_add_font(NAME TARGET target FONT file [SIZE n] [CHARS ranges] [TEXT text]
#                  [OPTIONS option...])
#
# A library NAME whose include path holds NAME.h: the font's data for draw call TARGET
# (adafruit-gfx, u8g2), or fixed cells in a layout (rows-msb, rows-lsb, pages-lsb, pages-msb;
# declared in C unless OPTIONS give another --style), made at build time by dotlane-cli font
# and made again when the font file or an option changes. The header defines the data, so one
# source file includes it. OPTIONS go to dotlane-cli as they are (--missing skip,
# --compress rle, --name, ...); the declarations are named NAME unless they name them.
include_guard(GLOBAL)

function(dotlane_add_font name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "TARGET;FONT;SIZE;CHARS;TEXT" "OPTIONS")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "dotlane_add_font(${name}): unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT arg_TARGET OR NOT arg_FONT)
    message(FATAL_ERROR "dotlane_add_font(${name}) needs TARGET and FONT")
  endif()
  if(arg_TARGET STREQUAL "micropython")
    message(FATAL_ERROR "dotlane_add_font(${name}): micropython writes a Python module, not a C "
                        "header; run dotlane-cli font for it")
  endif()
  set(options --target ${arg_TARGET} --name ${name})
  foreach(option IN ITEMS SIZE CHARS TEXT)
    if(DEFINED arg_${option})
      string(TOLOWER "--${option}" flag)
      list(APPEND options ${flag} ${arg_${option}})
    endif()
  endforeach()
  list(APPEND options ${arg_OPTIONS})
  get_filename_component(font "${arg_FONT}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")

  set(out "${CMAKE_CURRENT_BINARY_DIR}/dotlane/${name}")
  # As in dotlane_add_bitmaps: the options file changes only with the options, dotlane-cli
  # leaves a header that comes out the same untouched, and the stamp says the run is done.
  file(CONFIGURE OUTPUT "${out}.font-options" CONTENT "${options}\n" @ONLY)
  add_custom_command(
    OUTPUT "${out}.font-stamp"
    BYPRODUCTS "${out}.h"
    COMMAND Dotlane::dotlane-cli font ${options} -o "${out}.h" -- "${font}"
    COMMAND "${CMAKE_COMMAND}" -E touch "${out}.font-stamp"
    DEPENDS "${font}" "${out}.font-options" "$<TARGET_FILE:Dotlane::dotlane-cli>"
    COMMENT "dotlane-cli: ${name}, font"
    VERBATIM)
  # A library of no code: what links it finds the header, and is built after it is made.
  add_library(${name} INTERFACE "${out}.h" "${out}.font-stamp")
  target_include_directories(${name} INTERFACE "${CMAKE_CURRENT_BINARY_DIR}/dotlane")
endfunction()
