#include "writers/real_format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>

namespace lobewright {
namespace {

TEST(RealFormat, GeneralNotationWithSixSignificantDigits) {
  EXPECT_EQ(formatReal(1.2), "1.2");
  EXPECT_EQ(formatReal(0.2f), "0.2");
  EXPECT_EQ(formatReal(12.0f), "12");
  EXPECT_EQ(formatReal(-7.25f), "-7.25");
  EXPECT_EQ(formatReal(0.000123456f), "0.000123456");
  EXPECT_EQ(formatReal(0.0000123456f), "1.23456e-05");
  EXPECT_EQ(formatReal(1234567.0f), "1.23457e+06");
  EXPECT_EQ(formatReal(90.0f), "90");
  EXPECT_EQ(formatReal(90.00008f), "90.0001");
  EXPECT_EQ(formatReal(180.00015f), "180");
  EXPECT_EQ(formatReal(999999.5f), "1e+06");
}

TEST(RealFormat, NegativeZeroReadsZero) {
  EXPECT_EQ(formatReal(-0.0f), "0");
  EXPECT_EQ(formatReal(0.0), "0");
}

struct CommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST(RealFormat, IgnoresTheUserLocale) {
  const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
  std::setlocale(LC_NUMERIC, "C.UTF-8");
  EXPECT_EQ(formatReal(-7.25f), "-7.25");
  std::locale::global(previous);
}

}  // namespace
}  // namespace lobewright
