// The isovalue whose surface encloses a share of a field, against the share a Gaussian encloses
// in closed form.
#include "mesh/enclosed_isovalue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lobewright {
namespace {

// exp(-r^2) around the origin.
class Gaussian : public Field {
 public:
  void valuesAt(std::span<const Vec3> points, std::span<double> values) const override {
    for (std::size_t i = 0; i < points.size(); ++i)
      values[i] = -std::exp(-dot(points[i], points[i]));
  }
  void samplesAt(std::span<const Vec3>, std::span<FieldSample>) const override {}
  [[nodiscard]] double boundOfMagnitude(const Vec3&, const Vec3&) const override {
    return std::numeric_limits<double>::infinity();
  }
};

// The share of the integral of exp(-a r^2) within the radius.
double shareWithin(double radius, double a) {
  return std::erf(std::sqrt(a) * radius) -
         2.0 * std::sqrt(a / M_PI) * radius * std::exp(-a * radius * radius);
}

// The radius within which the share lies, by bisection.
double radiusOfShare(double share, double a) {
  double low = 0.0;
  double high = 10.0;
  for (int step = 0; step < 100; ++step) {
    const double middle = 0.5 * (low + high);
    (shareWithin(middle, a) < share ? low : high) = middle;
  }
  return low;
}

TEST(EnclosedIsovalue, MatchesTheShareAGaussianEnclosesForEitherWeight) {
  const Gaussian field;
  const IsovalueGrid grid{{-4.0, -4.0, -4.0}, {4.0, 4.0, 4.0}, 0.08, 2};
  for (const FieldWeight weight : {FieldWeight::square, FieldWeight::magnitude}) {
    // psi^2 = exp(-2 r^2), |psi| = exp(-r^2).
    const double a = weight == FieldWeight::square ? 2.0 : 1.0;
    for (const double fraction : {0.5, 0.85, 0.95}) {
      const double radius = radiusOfShare(fraction, a);
      const EnclosedIsovalue found = isovalueEnclosing(field, weight, fraction, grid);
      EXPECT_NEAR(found.isovalue, std::exp(-radius * radius), 0.02 * std::exp(-radius * radius))
          << fraction;
      EXPECT_NEAR(found.enclosed, fraction, 1e-4);
      // The integral over the box: pi^(3/2) / a^(3/2).
      EXPECT_NEAR(found.total, std::pow(M_PI / a, 1.5), 1e-3);
    }
  }
  // One thread or two find the same.
  const IsovalueGrid oneThread{grid.low, grid.high, grid.spacing, 1};
  EXPECT_EQ(isovalueEnclosing(field, FieldWeight::square, 0.85, grid).isovalue,
            isovalueEnclosing(field, FieldWeight::square, 0.85, oneThread).isovalue);
}

TEST(EnclosedIsovalue, AFieldOfZeroHasNoSurface) {
  class Zero : public Gaussian {
    void valuesAt(std::span<const Vec3>, std::span<double> values) const override {
      std::fill(values.begin(), values.end(), 0.0);
    }
  } zero;
  const EnclosedIsovalue found =
      isovalueEnclosing(zero, FieldWeight::square, 0.85, {{0, 0, 0}, {1, 1, 1}, 0.25, 1});
  EXPECT_EQ(found.isovalue, 0.0);
}

}  // namespace
}  // namespace lobewright
