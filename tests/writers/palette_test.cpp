#include "writers/palette.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lobewright {
namespace {

// Relative luminance of an sRGB colour, for how light a palette's colours look.
double luminance(const Rgb& c) {
  return 0.2126 * linearFromSrgb(c.r) + 0.7152 * linearFromSrgb(c.g) + 0.0722 * linearFromSrgb(c.b);
}

TEST(Palette, RedWhiteBlueIsRedBelowTheMiddleWhiteAtItAndBlueAbove) {
  const Rgb white{1.0f, 1.0f, 1.0f};
  EXPECT_EQ(paletteColour(Palette::redWhiteBlue, 0.5), white);
  EXPECT_EQ(paletteColour(Palette::redWhiteBlue, std::numeric_limits<double>::quiet_NaN()), white);
  EXPECT_EQ(paletteColour(Palette::redWhiteBlue, -3.0), paletteColour(Palette::redWhiteBlue, 0.0));
  EXPECT_EQ(paletteColour(Palette::redWhiteBlue, 7.0), paletteColour(Palette::redWhiteBlue, 1.0));
  for (int i = 0; i <= 100; ++i) {
    const double t = i / 100.0;
    const Rgb c = paletteColour(Palette::redWhiteBlue, t);
    SCOPED_TRACE(t);
    if (t < 0.5) {
      EXPECT_GT(c.r, c.b + 0.01f);
    } else if (t > 0.5) {
      EXPECT_GT(c.b, c.r + 0.01f);
    }
    // Lighter towards the middle from either end.
    if (t > 0.0 && t <= 0.5) {
      EXPECT_GT(luminance(c), luminance(paletteColour(Palette::redWhiteBlue, t - 0.01)));
    }
    if (t >= 0.5 && t < 1.0) {
      EXPECT_GT(luminance(c), luminance(paletteColour(Palette::redWhiteBlue, t + 0.01)));
    }
  }
  EXPECT_EQ(paletteName(Palette::redWhiteBlue), "red-white-blue");
}

TEST(Palette, ViridisFollowsItsTableAndRisesSteadilyInLightness) {
  EXPECT_EQ(paletteColour(Palette::viridis, 0.0), (Rgb{0.267004f, 0.004874f, 0.329415f}));
  EXPECT_EQ(paletteColour(Palette::viridis, 1.0), (Rgb{0.993248f, 0.906157f, 0.143936f}));
  // Entry 128 of the full table, halfway between two of the stops kept.
  const Rgb middle = paletteColour(Palette::viridis, 128.0 / 255.0);
  EXPECT_NEAR(middle.g, 0.566949f, 1e-6);
  double previous = 0.0;
  for (int i = 0; i <= 255; ++i) {
    const double light = luminance(paletteColour(Palette::viridis, i / 255.0));
    EXPECT_GT(light, previous) << i;
    previous = light;
  }
  EXPECT_EQ(paletteName(Palette::viridis), "viridis");
}

}  // namespace
}  // namespace lobewright
