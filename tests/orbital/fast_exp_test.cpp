#include "orbital/fast_exp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace lobewright {
namespace {

// Within two units in the last place of e^x over the whole range the orbital uses, where x is a
// few hundred at most, and near 0 where the reduction does nothing; below -708 it holds at e^-708.
TEST(FastExp, IsWithinTwoUnitsInTheLastPlace) {
  std::mt19937_64 random(12);
  const struct {
    double low;
    double high;
  } ranges[] = {{-708.0, 0.0}, {-40.0, 0.0}, {-0.35, 0.0}, {-1e-12, 0.0}};
  for (const auto& range : ranges) {
    std::uniform_real_distribution<double> x(range.low, range.high);
    for (int trial = 0; trial < 200000; ++trial) {
      const double argument = x(random);
      const long double exact = std::exp(static_cast<long double>(argument));
      const double relative =
          static_cast<double>(std::fabs((exponentialOfNonPositive(argument) - exact) / exact));
      // Two units in the last place are at least one epsilon, relative.
      ASSERT_LE(relative, std::numeric_limits<double>::epsilon()) << argument;
    }
  }
  EXPECT_EQ(exponentialOfNonPositive(0.0), 1.0);
  EXPECT_EQ(exponentialOfNonPositive(-0.0), 1.0);
  EXPECT_EQ(exponentialOfNonPositive(-1e300), exponentialOfNonPositive(-708.0));
  EXPECT_GT(exponentialOfNonPositive(-708.0), 0.0);
  EXPECT_TRUE(std::isnan(exponentialOfNonPositive(std::numeric_limits<double>::quiet_NaN())));
}

}  // namespace
}  // namespace lobewright
