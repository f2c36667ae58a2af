#include "app/terminal_text.h"

namespace lobewright {
namespace {

// The length of the valid UTF-8 sequence at the text's start that encodes a printable character
// (U+00A0 and above), or 0.
std::size_t printableSequence(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  char32_t code = 0;
  if (lead >= 0xc2 && lead <= 0xdf) {
    length = 2;
    code = lead & 0x1fu;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3;
    code = lead & 0x0fu;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4;
    code = lead & 0x07u;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xc0u) != 0x80u) return 0;
    code = (code << 6) | (byte(i) & 0x3fu);
  }
  // Overlong forms, surrogates and code points beyond Unicode are not valid UTF-8.
  constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kLeast[length] || (code >= 0xd800 && code <= 0xdfff) || code > 0x10ffff) return 0;
  return code >= 0xa0 ? length : 0;
}

}  // namespace

std::string terminalSafe(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  while (!text.empty()) {
    const auto byte = static_cast<unsigned char>(text.front());
    if (byte == '\n' || (byte >= 0x20 && byte < 0x7f)) {
      shown.push_back(text.front());
      text.remove_prefix(1);
      continue;
    }
    const std::size_t length = byte >= 0x80 ? printableSequence(text) : 0;
    if (length == 0) {
      shown.push_back('?');
      text.remove_prefix(1);
      continue;
    }
    shown.append(text.substr(0, length));
    text.remove_prefix(length);
  }
  return shown;
}

}  // namespace lobewright
