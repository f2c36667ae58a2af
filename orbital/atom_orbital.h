#pragma once

#include <cmath>

#include "input/vector3.h"

namespace lobewright {

// One atom's basis functions in grid units, weighted by the chosen MO's coefficients.
struct AtomOrbital {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float coefS = 0.0f;
  float coefPx = 0.0f;
  float coefPy = 0.0f;
  float coefPz = 0.0f;
  float zetaS = 0.0f;
  float zetaP = 0.0f;
  float normS = 0.0f;
  float normP = 0.0f;
  bool singleShell = false;
};

// Adds the atom's share of the orbital at (x, y, z) to sum. Every evaluation of the orbital goes
// through here, so that all of them round in the same order and precision: single-precision
// distances, double-precision terms, the sum rounded to single precision after each term.
[[nodiscard]] inline float addAtomShare(const AtomOrbital& atom, float x, float y, float z,
                                        float cutoffSquared, float sum) {
  const float dx = x - atom.x;
  const float dy = y - atom.y;
  const float dz = z - atom.z;
  const float d2 = (dx * dx + dy * dy) + dz * dz;
  if (d2 >= cutoffSquared) return sum;
  const float r = std::sqrt(d2);
  const double zetaS = atom.zetaS;
  const double normS = atom.normS;
  if (atom.singleShell) {
    return static_cast<float>(static_cast<double>(sum) +
                              (std::exp(-(zetaS * r)) * static_cast<double>(atom.coefS)) * normS);
  }
  const double normP = atom.normP;
  const double es = std::exp(-(zetaS * r));
  const double ep = std::exp(-(static_cast<double>(atom.zetaP) * r));
  sum = static_cast<float>(static_cast<double>(sum) +
                           ((static_cast<double>(atom.coefS) * normS) * r * es));
  sum = static_cast<float>(static_cast<double>(sum) +
                           ((static_cast<double>(atom.coefPx) * normP) * dx * ep));
  sum = static_cast<float>(static_cast<double>(sum) +
                           ((static_cast<double>(atom.coefPy) * normP) * dy * ep));
  return static_cast<float>(static_cast<double>(sum) +
                            ((static_cast<double>(atom.coefPz) * normP) * dz * ep));
}

// addAtomShare with the gradient of the atom's functions (per grid unit) added to `gradient`. The
// sum is rounded exactly as there; the gradient is computed in double from the same exponentials.
[[nodiscard]] inline float addAtomShareAndGradient(const AtomOrbital& atom, float x, float y,
                                                   float z, float cutoffSquared, float sum,
                                                   Vec3& gradient) {
  const float dx = x - atom.x;
  const float dy = y - atom.y;
  const float dz = z - atom.z;
  const float d2 = (dx * dx + dy * dy) + dz * dz;
  if (d2 >= cutoffSquared) return sum;
  const float r = std::sqrt(d2);
  const double zetaS = atom.zetaS;
  const double normS = atom.normS;
  // At the nucleus the functions of r have no gradient; the p part is smooth there.
  const Vec3 d{dx, dy, dz};
  const Vec3 radial = r > 0.0f ? (1.0 / static_cast<double>(r)) * d : Vec3{};
  const double es = std::exp(-(zetaS * r));
  const double sWeight = static_cast<double>(atom.coefS) * normS;
  if (atom.singleShell) {
    gradient = gradient + (-zetaS * sWeight * es) * radial;
    return static_cast<float>(static_cast<double>(sum) +
                              (es * static_cast<double>(atom.coefS)) * normS);
  }
  const double normP = atom.normP;
  const double zetaP = atom.zetaP;
  const double ep = std::exp(-(zetaP * r));
  sum = static_cast<float>(static_cast<double>(sum) +
                           ((static_cast<double>(atom.coefS) * normS) * r * es));
  sum = static_cast<float>(static_cast<double>(sum) +
                           ((static_cast<double>(atom.coefPx) * normP) * dx * ep));
  sum = static_cast<float>(static_cast<double>(sum) +
                           ((static_cast<double>(atom.coefPy) * normP) * dy * ep));
  sum = static_cast<float>(static_cast<double>(sum) +
                           ((static_cast<double>(atom.coefPz) * normP) * dz * ep));
  const Vec3 pWeight = normP * Vec3{atom.coefPx, atom.coefPy, atom.coefPz};
  gradient = gradient + (sWeight * es * (1.0 - zetaS * r)) * radial +
             ep * (pWeight - (zetaP * dot(pWeight, d)) * radial);
  return sum;
}

}  // namespace lobewright
