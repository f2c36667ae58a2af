# Writes a C++ source that holds a text file's bytes, so that a program carries its data. The
# function `std::string_view lobewright::<function>()` returns the text. The source is made when
# CMake configures, and again whenever the text file changes.
function(lobewright_embed_text input output function)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${input})
  file(READ ${input} bytes HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
  string(REPEAT "0x..," 12 twelve)
  string(REGEX REPLACE "(${twelve})" "\\1\n    " bytes "${bytes}")
  file(CONFIGURE OUTPUT ${output} @ONLY CONTENT
    "// Made from ${input} by CMake; edit that file instead.
#include <string_view>

namespace lobewright {
namespace {

constexpr char kText[] = {
    ${bytes}0};

}  // namespace

std::string_view ${function}() { return {kText, sizeof kText - 1}; }

}  // namespace lobewright
")
endfunction()
