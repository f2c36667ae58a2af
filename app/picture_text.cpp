#include "app/picture_text.h"

#include <cstdint>

#include "app/colour_text.h"
#include "input/number_text.h"

namespace lobewright {

std::optional<PictureSize> parsePictureSize(std::string_view text) {
  const std::size_t times = text.find('x');
  if (times == std::string_view::npos) return std::nullopt;
  const auto width = parseInteger<int32_t>(text.substr(0, times));
  const auto height = parseInteger<int32_t>(text.substr(times + 1));
  const auto usable = [](std::optional<int32_t> pixels) {
    return pixels && *pixels >= kLeastPictureSide && *pixels <= kGreatestPictureSide;
  };
  if (!usable(width) || !usable(height)) return std::nullopt;
  return PictureSize{*width, *height};
}

std::optional<LobeColours> parseLobeColours(std::string_view text) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const auto positive = parseColour(text.substr(0, comma));
  const auto negative = parseColour(text.substr(comma + 1));
  if (!positive || !negative) return std::nullopt;
  return LobeColours{*positive, *negative};
}

}  // namespace lobewright
