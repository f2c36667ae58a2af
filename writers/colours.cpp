#include "writers/colours.h"

#include <algorithm>
#include <array>

#include "input/elements.h"

namespace lobewright {
namespace {

// Conventional CPK-like hues, shifted where they would meet the lobes: oxygen is a light coral
// rather than pure red, nitrogen a periwinkle rather than pure blue.
constexpr std::array<Rgb, kLastElement> kElementColours{{
    {1.00f, 1.00f, 1.00f},  // H
    {0.85f, 1.00f, 1.00f},  // He
    {0.80f, 0.50f, 1.00f},  // Li
    {0.76f, 1.00f, 0.00f},  // Be
    {1.00f, 0.71f, 0.71f},  // B
    {0.45f, 0.45f, 0.45f},  // C
    {0.45f, 0.55f, 1.00f},  // N
    {1.00f, 0.45f, 0.40f},  // O
    {0.56f, 0.88f, 0.31f},  // F
    {0.70f, 0.89f, 0.96f},  // Ne
    {0.67f, 0.36f, 0.95f},  // Na
    {0.54f, 1.00f, 0.00f},  // Mg
    {0.75f, 0.65f, 0.65f},  // Al
    {0.94f, 0.78f, 0.63f},  // Si
    {1.00f, 0.50f, 0.00f},  // P
    {1.00f, 0.85f, 0.20f},  // S
    {0.12f, 0.94f, 0.12f},  // Cl
    {0.50f, 0.82f, 0.89f},  // Ar
    {0.56f, 0.25f, 0.83f},  // K
    {0.24f, 1.00f, 0.00f},  // Ca
    {0.90f, 0.90f, 0.90f},  // Sc
    {0.75f, 0.76f, 0.78f},  // Ti
    {0.65f, 0.65f, 0.67f},  // V
    {0.54f, 0.60f, 0.78f},  // Cr
    {0.61f, 0.48f, 0.78f},  // Mn
    {0.88f, 0.40f, 0.20f},  // Fe
    {0.94f, 0.56f, 0.63f},  // Co
    {0.31f, 0.82f, 0.31f},  // Ni
    {0.78f, 0.50f, 0.20f},  // Cu
    {0.49f, 0.50f, 0.69f},  // Zn
    {0.76f, 0.56f, 0.56f},  // Ga
    {0.40f, 0.56f, 0.56f},  // Ge
    {0.74f, 0.50f, 0.89f},  // As
    {1.00f, 0.63f, 0.00f},  // Se
    {0.60f, 0.16f, 0.12f},  // Br
    {0.36f, 0.72f, 0.82f},  // Kr
    {0.44f, 0.18f, 0.69f},  // Rb
    {0.00f, 1.00f, 0.00f},  // Sr
    {0.58f, 1.00f, 1.00f},  // Y
    {0.58f, 0.88f, 0.88f},  // Zr
    {0.45f, 0.76f, 0.79f},  // Nb
    {0.33f, 0.71f, 0.71f},  // Mo
    {0.23f, 0.62f, 0.62f},  // Tc
    {0.14f, 0.56f, 0.56f},  // Ru
    {0.04f, 0.49f, 0.55f},  // Rh
    {0.00f, 0.41f, 0.52f},  // Pd
    {0.75f, 0.75f, 0.75f},  // Ag
    {1.00f, 0.85f, 0.56f},  // Cd
    {0.65f, 0.46f, 0.45f},  // In
    {0.40f, 0.50f, 0.50f},  // Sn
    {0.62f, 0.39f, 0.71f},  // Sb
    {0.83f, 0.48f, 0.00f},  // Te
    {0.58f, 0.00f, 0.58f},  // I
    {0.26f, 0.62f, 0.69f},  // Xe
    {0.34f, 0.09f, 0.56f},  // Cs
    {0.00f, 0.79f, 0.00f},  // Ba
    {0.44f, 0.83f, 1.00f},  // La
    {1.00f, 1.00f, 0.78f},  // Ce
    {0.85f, 1.00f, 0.78f},  // Pr
    {0.78f, 1.00f, 0.78f},  // Nd
    {0.64f, 1.00f, 0.78f},  // Pm
    {0.56f, 1.00f, 0.78f},  // Sm
    {0.38f, 1.00f, 0.78f},  // Eu
    {0.27f, 1.00f, 0.78f},  // Gd
    {0.19f, 1.00f, 0.78f},  // Tb
    {0.12f, 1.00f, 0.78f},  // Dy
    {0.00f, 1.00f, 0.61f},  // Ho
    {0.00f, 0.90f, 0.46f},  // Er
    {0.00f, 0.83f, 0.32f},  // Tm
    {0.00f, 0.75f, 0.22f},  // Yb
    {0.00f, 0.67f, 0.14f},  // Lu
    {0.30f, 0.76f, 1.00f},  // Hf
    {0.30f, 0.65f, 1.00f},  // Ta
    {0.13f, 0.58f, 0.84f},  // W
    {0.15f, 0.49f, 0.67f},  // Re
    {0.15f, 0.40f, 0.59f},  // Os
    {0.09f, 0.33f, 0.53f},  // Ir
    {0.82f, 0.82f, 0.88f},  // Pt
    {1.00f, 0.82f, 0.14f},  // Au
    {0.72f, 0.72f, 0.82f},  // Hg
    {0.65f, 0.33f, 0.30f},  // Tl
    {0.34f, 0.35f, 0.38f},  // Pb
    {0.62f, 0.31f, 0.71f},  // Bi
    {0.67f, 0.36f, 0.00f},  // Po
    {0.46f, 0.31f, 0.27f},  // At
    {0.26f, 0.51f, 0.59f},  // Rn
    {0.26f, 0.00f, 0.40f},  // Fr
    {0.00f, 0.49f, 0.00f},  // Ra
    {0.44f, 0.67f, 0.98f},  // Ac
    {0.00f, 0.73f, 1.00f},  // Th
    {0.00f, 0.63f, 1.00f},  // Pa
    {0.00f, 0.56f, 1.00f},  // U
    {0.00f, 0.50f, 1.00f},  // Np
    {0.10f, 0.45f, 0.90f},  // Pu
    {0.33f, 0.36f, 0.95f},  // Am
    {0.47f, 0.36f, 0.89f},  // Cm
}};

// The lobe colour pairs of pictures, in order of preference: the classic red and blue, then pairs
// whose hues no common element of organic chemistry has.
constexpr std::array<LobeColours, 4> kPictureLobePairs{{
    {kPositiveLobeColour, kNegativeLobeColour},
    {{0.85f, 0.10f, 0.60f}, {0.00f, 0.60f, 0.50f}},  // magenta, teal
    {{1.00f, 0.70f, 0.00f}, {0.45f, 0.15f, 0.80f}},  // amber, violet
    {{0.95f, 0.45f, 0.00f}, {0.10f, 0.65f, 0.20f}},  // orange, green
}};

struct Lab {
  double lightness = 0.0;
  double a = 0.0;
  double b = 0.0;
};

// CIELAB under D65 from sRGB.
Lab labOf(const Rgb& colour) {
  const double r = linearFromSrgb(colour.r);
  const double g = linearFromSrgb(colour.g);
  const double b = linearFromSrgb(colour.b);
  const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
  const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
  const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
  const auto f = [](double t) {
    constexpr double kDelta = 6.0 / 29.0;
    return t > kDelta * kDelta * kDelta ? std::cbrt(t) : t / (3.0 * kDelta * kDelta) + 4.0 / 29.0;
  };
  return {116.0 * f(y) - 16.0, 500.0 * (f(x) - f(y)), 200.0 * (f(y) - f(z))};
}

}  // namespace

bool coloursAlike(const Rgb& a, const Rgb& b) {
  // Below this difference two colours look the same; below this chroma a colour is grey.
  constexpr double kLeastDifference = 25.0;
  constexpr double kLeastChroma = 20.0;
  constexpr double kDegreesPerRadian = 57.29577951308232;
  const Lab x = labOf(a);
  const Lab y = labOf(b);
  const double difference = std::hypot(x.lightness - y.lightness, std::hypot(x.a - y.a, x.b - y.b));
  if (difference < kLeastDifference) return true;
  if (std::hypot(x.a, x.b) < kLeastChroma || std::hypot(y.a, y.b) < kLeastChroma) return false;
  double hues = std::fabs(std::atan2(x.b, x.a) - std::atan2(y.b, y.a)) * kDegreesPerRadian;
  if (hues > 180.0) hues = 360.0 - hues;
  return hues < kAlikeHueDegrees;
}

LobeColours lobeColoursApartFrom(const std::vector<Rgb>& atomColours) {
  const LobeColours* best = &kPictureLobePairs.front();
  std::size_t fewest = atomColours.size() + 1;
  for (const LobeColours& pair : kPictureLobePairs) {
    const auto alike = static_cast<std::size_t>(
        std::count_if(atomColours.begin(), atomColours.end(), [&](const Rgb& atom) {
          return coloursAlike(atom, pair.positive) || coloursAlike(atom, pair.negative);
        }));
    if (alike < fewest) {
      fewest = alike;
      best = &pair;
    }
    if (alike == 0) break;
  }
  return *best;
}

Rgb elementColour(int atomicNumber) {
  if (atomicNumber < 1 || atomicNumber > kLastElement) return kUnknownElementColour;
  return kElementColours[static_cast<std::size_t>(atomicNumber) - 1];
}

float linearFromSrgb(float component) {
  const double c = component;
  const double linear = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  return static_cast<float>(linear);
}

}  // namespace lobewright
