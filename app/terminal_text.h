#pragma once

#include <string>
#include <string_view>

namespace lobewright {

// Text from the files read, made fit for a terminal: every control character (C0, DEL and the C1
// range U+0080 to U+009F, raw or encoded in UTF-8) and every byte that is not part of valid UTF-8
// becomes "?", so nothing reaches the terminal that it would act on. Line feeds are kept.
[[nodiscard]] std::string terminalSafe(std::string_view text);

}  // namespace lobewright
