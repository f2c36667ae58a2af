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

void realSphericalHarmonics(int degree, const Vec3& u, std::span<double> values) {
  static const Normalisation kNormalisation;
  // P_l^m(cos theta) = sin^m(theta) Q_l^m(z), and sin^m(theta) (cos m phi, sin m phi) are the real
  // and imaginary parts of (x + i y)^m, so no angle is ever computed.
  double c = 1.0;         // Re (x + i y)^m
  double s = 0.0;         // Im (x + i y)^m
  double diagonal = 1.0;  // Q_m^m = (2m - 1)!!
  for (int m = 0; m <= degree; ++m) {
    if (m > 0) {
      const double nextC = c * u.x - s * u.y;
      s = c * u.y + s * u.x;
      c = nextC;
      diagonal *= 2 * m - 1;
    }
    double below = 0.0;
    double current = diagonal;
    for (int l = m; l <= degree; ++l) {
      if (l > m) {
        const double next =
            kNormalisation.ofCurrent[l][m] * u.z * current - kNormalisation.ofBelow[l][m] * below;
        below = current;
        current = next;
      }
      const double y = kNormalisation.factor[l][m] * current;
      const int centre = l * l + l;
      if (m == 0) {
        values[centre] = y;
      } else {
        values[centre + m] = y * c;
        values[centre - m] = y * s;
      }
    }
  }
}

}  // namespace lobewright
