#pragma once

#include <string>

#include "writers/surface_colouring.h"

namespace lobewright {

// The share of a framed picture's width that its colour bar takes, on the right, for a picture
// of the given aspect (width over height).
[[nodiscard]] double colourBarShare(double aspect);

// A value as the colour bar tells it: three significant digits, with its sign ("+0.0512",
// "-31.4", "0").
[[nodiscard]] std::string colourBarNumber(double value);

// The colour bar of a framed picture as POV-Ray objects in the camera's own frame (the camera
// of writeFramedPovScene at the origin looking along +z): the scale's title over a bar of its
// palette, low at the bottom, and beside the bar's ends their values in each unit, with 0 where
// the range holds it. Shadeless, so it shows the palette's colours as they are.
[[nodiscard]] std::string povColourBar(const ColourScale& scale, double aspect,
                                       double horizontalAngle);

}  // namespace lobewright
