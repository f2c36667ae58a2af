#pragma once

#include <cstdint>
#include <string_view>

#include "writers/colours.h"

namespace lobewright {

// The colour scales a surface coloured by a field is painted with. Red-white-blue is the one
// users of electrostatic potential maps know: red for the low (negative) end, white in the middle
// (0 on a range symmetric about it), blue for the high end. Viridis rises steadily in lightness
// and reads the same to colour-blind eyes and in grey.
enum class Palette : uint8_t { redWhiteBlue, viridis };

// "red-white-blue", "viridis": as --palette takes them.
[[nodiscard]] std::string_view paletteName(Palette palette);

// The palette's colour at t from 0 (the low end) to 1 (the high end), between its stops linearly
// in sRGB; t outside is taken at the nearer end, and a t that is not a number in the middle.
[[nodiscard]] Rgb paletteColour(Palette palette, double t);

}  // namespace lobewright
