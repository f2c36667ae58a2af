#pragma once

#include <ostream>
#include <stop_token>
#include <string>

#include "app/picture_renderer.h"

namespace lobewright {

// Renders an SVG document to a PNG picture of the given size with librsvg's rsvg-convert (found
// on the PATH) and copies it into `out`. Works in a temporary folder that is removed whatever
// happens; a stop request ends the renderer at once.
[[nodiscard]] PictureResult renderSvg(const std::string& svg, int width, int height,
                                      std::stop_token stop, std::ostream& out);

}  // namespace lobewright
