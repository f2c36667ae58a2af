#pragma once

#include <cstddef>
#include <string_view>

namespace lobewright {

// A character of UTF-8 text written in two to four bytes.
struct MultibyteCharacter {
  std::size_t length = 0;  // in bytes; 0 when the text does not start with one
  char32_t code = 0;
};

// The well-formed UTF-8 sequence of two to four bytes at the start of text: overlong forms,
// surrogates, code points beyond U+10FFFF, cut sequences and single bytes give length 0.
[[nodiscard]] MultibyteCharacter multibyteCharacterAt(std::string_view text);

}  // namespace lobewright
