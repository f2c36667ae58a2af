#pragma once

#include <optional>
#include <string_view>

#include "writers/colours.h"

namespace lobewright {

// A colour as a user types it: a name (red, blue, green, yellow, orange, purple, magenta, cyan,
// white, grey or gray, black), or "#rrggbb" in hexadecimal, in any case.
[[nodiscard]] std::optional<Rgb> parseColour(std::string_view text);

}  // namespace lobewright
