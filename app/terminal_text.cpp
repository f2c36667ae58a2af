#include "app/terminal_text.h"

#include "input/utf8.h"

namespace lobewright {

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
    // Of the characters beyond ASCII, the C1 controls (below U+00A0) are not printable.
    const MultibyteCharacter character = multibyteCharacterAt(text);
    const std::size_t length = character.code >= 0xa0 ? character.length : 0;
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
