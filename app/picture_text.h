#pragma once

#include <optional>
#include <string_view>

#include "writers/colours.h"

namespace lobewright {

// A picture's side in pixels, as the converter's --size takes it.
inline constexpr int kLeastPictureSide = 16;
inline constexpr int kGreatestPictureSide = 8192;

struct PictureSize {
  int width = 0;
  int height = 0;
};

// "1280x960": two whole numbers of pixels, each from kLeastPictureSide to kGreatestPictureSide;
// nothing for any other text.
[[nodiscard]] std::optional<PictureSize> parsePictureSize(std::string_view text);

// "orange,#2040ff": the positive lobe's colour, then the negative one's, each as parseColour
// reads it; nothing for any other text.
[[nodiscard]] std::optional<LobeColours> parseLobeColours(std::string_view text);

}  // namespace lobewright
