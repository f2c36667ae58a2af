#include "orbital/spherical_harmonics.h"

#include <array>
#include <cmath>
#include <numbers>

namespace lobewright {
namespace {

constexpr int kLargestDegree = 20;

// sqrt((2l + 1) / (4 pi) (l - m)! / (l + m)!), times sqrt(2) for m > 0; and the recurrence's
// (2l - 1) / (l - m) and (l + m - 1) / (l - m), so that its steps multiply: a division in each
// step of a chain of steps made the harmonics most of the potential's cost at a point.
struct Normalisation {
  std::array<std::array<double, kLargestDegree + 1>, kLargestDegree + 1> factor{};
  std::array<std::array<double, kLargestDegree + 1>, kLargestDegree + 1> ofCurrent{};
  std::array<std::array<double, kLargestDegree + 1>, kLargestDegree + 1> ofBelow{};

  Normalisation() {
    for (int l = 0; l <= kLargestDegree; ++l) {
      for (int m = 0; m <= l; ++m) {
        if (l > m) {
          ofCurrent[l][m] = (2.0 * l - 1.0) / (l - m);
          ofBelow[l][m] = (l + m - 1.0) / (l - m);
        }
        double ratio = 1.0;  // (l - m)! / (l + m)!
        for (int k = l - m + 1; k <= l + m; ++k) ratio /= k;
        factor[l][m] = std::sqrt((2 * l + 1) / (4.0 * std::numbers::pi) * ratio) *
                       (m > 0 ? std::sqrt(2.0) : 1.0);
      }
    }
  }
};

}  // namespace

namespace {

// The harmonics, and with kGradient their gradients in u as polynomials in its components, the
// same numbers either way: the gradients' sums run beside the values' and do not touch them.
template <bool kGradient>
void harmonics(int degree, const Vec3& u, std::span<double> values, std::span<Vec3> gradients) {
  static const Normalisation kNormalisation;
  // P_l^m(cos theta) = sin^m(theta) Q_l^m(z), and sin^m(theta) (cos m phi, sin m phi) are the real
  // and imaginary parts of (x + i y)^m, so no angle is ever computed.
  double c = 1.0;         // Re (x + i y)^m
  double s = 0.0;         // Im (x + i y)^m
  double lastC = 0.0;     // Re (x + i y)^(m - 1): d/dx (x + i y)^m = m (x + i y)^(m - 1) = d/dy / i
  double lastS = 0.0;     // Im (x + i y)^(m - 1)
  double diagonal = 1.0;  // Q_m^m = (2m - 1)!!
  for (int m = 0; m <= degree; ++m) {
    if (m > 0) {
      lastC = c;
      lastS = s;
      const double nextC = c * u.x - s * u.y;
      s = c * u.y + s * u.x;
      c = nextC;
      diagonal *= 2 * m - 1;
    }
    double below = 0.0;
    double current = diagonal;
    double belowSlope = 0.0;  // dQ / dz
    double slope = 0.0;
    for (int l = m; l <= degree; ++l) {
      if (l > m) {
        const double ofCurrent = kNormalisation.ofCurrent[l][m];
        const double ofBelow = kNormalisation.ofBelow[l][m];
        if constexpr (kGradient) {
          const double nextSlope = ofCurrent * (current + u.z * slope) - ofBelow * belowSlope;
          belowSlope = slope;
          slope = nextSlope;
        }
        const double next = ofCurrent * u.z * current - ofBelow * below;
        below = current;
        current = next;
      }
      const double factor = kNormalisation.factor[l][m];
      const double y = factor * current;
      const int centre = l * l + l;
      if (m == 0) {
        values[centre] = y;
      } else {
        values[centre + m] = y * c;
        values[centre - m] = y * s;
      }
      if constexpr (kGradient) {
        const double dy = factor * slope;
        if (m == 0) {
          gradients[centre] = {0.0, 0.0, dy};
        } else {
          const double along = m * y;
          gradients[centre + m] = {along * lastC, -along * lastS, dy * c};
          gradients[centre - m] = {along * lastS, along * lastC, dy * s};
        }
      }
    }
  }
  if constexpr (kGradient) {
    for (int lm = 0; lm < (degree + 1) * (degree + 1); ++lm) {
      Vec3& g = gradients[static_cast<std::size_t>(lm)];
      g = g - dot(u, g) * u;
    }
  }
}

}  // namespace

void realSphericalHarmonics(int degree, const Vec3& u, std::span<double> values) {
  harmonics<false>(degree, u, values, {});
}

void realSphericalHarmonicsWithGradients(int degree, const Vec3& u, std::span<double> values,
                                         std::span<Vec3> gradients) {
  harmonics<true>(degree, u, values, gradients);
}

}  // namespace lobewright
