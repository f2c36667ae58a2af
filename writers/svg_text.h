#pragma once

#include <string>
#include <string_view>

#include "writers/colours.h"

namespace lobewright {

// The pieces of text that the SVG writers share.

// Appends text as XML character data or an attribute's value: the markup characters escaped,
// control characters and bytes that are not UTF-8 (names and labels come from files) as "?".
void appendSvgText(std::string& svg, std::string_view text);

// A length or coordinate: at most two decimals, with a point whatever the locale.
[[nodiscard]] std::string svgNumber(double value);

// "#rrggbb".
[[nodiscard]] std::string svgColour(const Rgb& colour);

}  // namespace lobewright
