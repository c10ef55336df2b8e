# dotlane_add_bitmaps(NAME {TARGET display | LAYOUT layout} [OPTIONS option...]
#                     PICTURES picture... [TABLE table] [COMPRESS rle] [PREFIX prefix])
#
# A static library NAME of the pictures as C arrays, made at build time by dotlane-cli
# convert: NAME.h (declarations, sizes) on its include path and NAME.c (the data). The
# arrays are named from the file names, after PREFIX and "_" when given; OPTIONS go to
# dotlane-cli as they are (preparation options such as --size and --dither too). TARGET takes
# the displays and draw calls whose declaration is C (c, arduino or u8g2 style), LAYOUT any
# layout.
include_guard(GLOBAL)

function(dotlane_add_bitmaps name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "TARGET;LAYOUT;TABLE;COMPRESS;PREFIX" "OPTIONS;PICTURES")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "dotlane_add_bitmaps(${name}): unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT arg_PICTURES OR (NOT arg_TARGET AND NOT arg_LAYOUT))
    message(FATAL_ERROR "dotlane_add_bitmaps(${name}) needs PICTURES and TARGET or LAYOUT")
  endif()
  set(options)
  foreach(option IN ITEMS TARGET LAYOUT TABLE COMPRESS)
    if(DEFINED arg_${option})
      string(TOLOWER "--${option}" flag)
      list(APPEND options ${flag} ${arg_${option}})
    endif()
  endforeach()
  if(DEFINED arg_PREFIX)
    list(APPEND options --name-prefix ${arg_PREFIX})
  endif()
  list(APPEND options ${arg_OPTIONS})
  set(pictures)
  foreach(picture IN LISTS arg_PICTURES)
    get_filename_component(picture "${picture}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND pictures "${picture}")
  endforeach()

  set(out "${CMAKE_CURRENT_BINARY_DIR}/dotlane/${name}")
  # Rewritten only when the options change, so a changed option converts the pictures again
  # and a mere reconfigure does not.
  file(CONFIGURE OUTPUT "${out}.options" CONTENT "${options}\n" @ONLY)
  list(LENGTH pictures count)
  # dotlane-cli leaves the header and source untouched when they come out the same, so that
  # what includes them is not compiled again. The stamp, touched after every conversion, tells
  # the build the conversion is done; the header and source are by-products, which Ninja
  # checks again after the command (restat) and Make looks at only when it compiles.
  add_custom_command(
    OUTPUT "${out}.stamp"
    BYPRODUCTS "${out}.h" "${out}.c"
    COMMAND Dotlane::dotlane-cli convert ${options} --header "${out}.h" --source "${out}.c"
            -- ${pictures}
    COMMAND "${CMAKE_COMMAND}" -E touch "${out}.stamp"
    DEPENDS ${pictures} "${out}.options" "$<TARGET_FILE:Dotlane::dotlane-cli>"
    COMMENT "dotlane-cli: ${name}, ${count} pictures"
    VERBATIM)
  add_library(${name} STATIC "${out}.c" "${out}.h" "${out}.stamp")
  target_include_directories(${name} PUBLIC "${CMAKE_CURRENT_BINARY_DIR}/dotlane")
endfunction()
