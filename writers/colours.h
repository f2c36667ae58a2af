#pragma once

#include <cmath>
#include <vector>

namespace lobewright {

// A colour as it is meant to look on screen: sRGB components from 0 to 1.
struct Rgb {
  float r = 0.0f;
  float g = 0.0f;
  float b = 0.0f;

  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kPositiveLobeColour{1.0f, 0.0f, 0.0f};
inline constexpr Rgb kNegativeLobeColour{0.0f, 0.0f, 1.0f};

// The colours the two lobes are written in.
struct LobeColours {
  Rgb positive = kPositiveLobeColour;
  Rgb negative = kNegativeLobeColour;
};

// Every element's colour keeps at least this distance (in the unit sRGB cube) from both lobe
// colours, so an atom inside a lobe never looks like a piece of it.
inline constexpr double kMinimumLobeColourDistance = 0.4;

// The colour of elements outside the table and of unknown symbols.
inline constexpr Rgb kUnknownElementColour{1.0f, 0.4f, 0.7f};

[[nodiscard]] inline double colourDistance(const Rgb& a, const Rgb& b) {
  const double dr = a.r - b.r;
  const double dg = a.g - b.g;
  const double db = a.b - b.b;
  return std::sqrt(dr * dr + dg * dg + db * db);
}

// CPK-like colour of an element by atomic number; kUnknownElementColour outside the table.
[[nodiscard]] Rgb elementColour(int atomicNumber);

// Whether two colours may be taken for one another on a shaded surface: near in CIELAB, or both
// clearly coloured and of hues (CIELAB's hue angle) within kAlikeHueDegrees.
inline constexpr double kAlikeHueDegrees = 35.0;
[[nodiscard]] bool coloursAlike(const Rgb& a, const Rgb& b);

// The colours a picture's lobes take when the user names none: the first pair, red and blue,
// unless an atom's colour is like one of them; then the next pair that no atom's colour is like;
// failing all, the pair fewest atoms' colours are like.
[[nodiscard]] LobeColours lobeColoursApartFrom(const std::vector<Rgb>& atomColours);

// One sRGB component in linear light, as glTF's material factors want it.
[[nodiscard]] float linearFromSrgb(float component);

}  // namespace lobewright
