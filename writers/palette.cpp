#include "writers/palette.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace lobewright {
namespace {

struct Stop {
  double at;
  Rgb colour;
};

constexpr Stop kRedWhiteBlue[] = {
    {0.00, {0.70f, 0.02f, 0.08f}}, {0.25, {0.93f, 0.42f, 0.36f}}, {0.50, {1.00f, 1.00f, 1.00f}},
    {0.75, {0.42f, 0.58f, 0.93f}}, {1.00, {0.05f, 0.16f, 0.70f}},
};

// Every 16th entry of the 256 of matplotlib's viridis (by van der Walt, Smith and Firing, CC0),
// and its last; between them the table is within 5/255 of the full one.
constexpr Stop kViridis[] = {
    {0.0 / 255, {0.267004f, 0.004874f, 0.329415f}},
    {16.0 / 255, {0.282327f, 0.094955f, 0.417331f}},
    {32.0 / 255, {0.278826f, 0.175490f, 0.483397f}},
    {48.0 / 255, {0.258965f, 0.251537f, 0.524736f}},
    {64.0 / 255, {0.229739f, 0.322361f, 0.545706f}},
    {80.0 / 255, {0.199430f, 0.387607f, 0.554642f}},
    {96.0 / 255, {0.172719f, 0.448791f, 0.557885f}},
    {112.0 / 255, {0.149039f, 0.508051f, 0.557250f}},
    {128.0 / 255, {0.127568f, 0.566949f, 0.550556f}},
    {144.0 / 255, {0.120638f, 0.625828f, 0.533488f}},
    {160.0 / 255, {0.157851f, 0.683765f, 0.501686f}},
    {176.0 / 255, {0.246070f, 0.738910f, 0.452024f}},
    {192.0 / 255, {0.369214f, 0.788888f, 0.382914f}},
    {208.0 / 255, {0.515992f, 0.831158f, 0.294279f}},
    {224.0 / 255, {0.678489f, 0.863742f, 0.189503f}},
    {240.0 / 255, {0.845561f, 0.887322f, 0.099702f}},
    {255.0 / 255, {0.993248f, 0.906157f, 0.143936f}},
};

std::span<const Stop> stopsOf(Palette palette) {
  if (palette == Palette::viridis) return kViridis;
  return kRedWhiteBlue;
}

float between(float a, float b, double fraction) {
  return static_cast<float>(a + (b - a) * fraction);
}

}  // namespace

std::string_view paletteName(Palette palette) {
  return palette == Palette::viridis ? "viridis" : "red-white-blue";
}

Rgb paletteColour(Palette palette, double t) {
  const std::span<const Stop> stops = stopsOf(palette);
  const double at = std::isnan(t) ? 0.5 : std::clamp(t, 0.0, 1.0);
  const auto upper = std::find_if(stops.begin() + 1, stops.end() - 1,
                                  [at](const Stop& stop) { return at <= stop.at; });
  const Stop& low = *(upper - 1);
  const double fraction = (at - low.at) / (upper->at - low.at);
  return {between(low.colour.r, upper->colour.r, fraction),
          between(low.colour.g, upper->colour.g, fraction),
          between(low.colour.b, upper->colour.b, fraction)};
}

}  // namespace lobewright
