#include "writers/cube_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace lobewright {
namespace {

std::string printed(const char* format, double value) {
  char text[512];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

TEST(CubeWriter, FormatsNumbersExactlyAsPrintfDoes) {
  std::vector<double> values = {0.0,           -0.0,       1.0,
                                -1.0,          0.5,        1e-5,
                                9.999995e-5,   9.99995,    -9.999949,
                                1.234565,      1e100,      -1e-100,
                                1e-310,        123456.789, 0.0000005,
                                0.00000049999, 2.5e-7,     std::numeric_limits<double>::max()};
  std::mt19937 random(12);
  std::uniform_real_distribution<double> exponent(-12.0, 12.0);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  for (int i = 0; i < 100000; ++i)
    values.push_back(mantissa(random) * std::pow(10.0, exponent(random)));
  for (const double value : values) {
    ASSERT_EQ(formatCubeValue(value), printed("%13.5E", value)) << value;
    if (std::abs(value) < 1e15) {
      ASSERT_EQ(formatCubeCoordinate(value), printed("%12.6f", value)) << value;
    }
  }
}

// A one-bohr grid of 2 x 1 x 7 points: a run of seven values takes two lines.
TEST(CubeWriter, WritesTheStandardLayout) {
  const CubeGrid grid{{0.52917721092, 0.0, -1.0}, 0.52917721092, 2, 1, 7};
  const std::vector<CalculationAtom> atoms = {{"H", {0.0, 0.0, 0.0}}, {"Cl", {1.0, -2.0, 0.5}}};
  std::vector<int> planesAsked;
  const CubePlaneSource planes = [&](int i, std::span<double> plane) {
    planesAsked.push_back(i);
    ASSERT_EQ(plane.size(), 7u);
    for (std::size_t k = 0; k < plane.size(); ++k) plane[k] = (i == 0 ? 1.0 : -1.0) * 0.001 * k;
  };
  std::ostringstream out;
  EXPECT_EQ(writeCube(out, grid, atoms, "HOMO of water", "MO 4, PM7", planes), "");
  EXPECT_EQ(planesAsked, (std::vector<int>{0, 1}));
  // The second plane starts with -0.0, which printf writes with its sign.
  EXPECT_EQ(out.str(),
            "HOMO of water\n"
            "MO 4, PM7\n"
            "    2    1.000000    0.000000   -1.889726\n"
            "    2    1.000000    0.000000    0.000000\n"
            "    1    0.000000    1.000000    0.000000\n"
            "    7    0.000000    0.000000    1.000000\n"
            "    1    1.000000    0.000000    0.000000    0.000000\n"
            "   17   17.000000    1.889726   -3.779452    0.944863\n"
            "  0.00000E+00  1.00000E-03  2.00000E-03  3.00000E-03  4.00000E-03  5.00000E-03\n"
            "  6.00000E-03\n"
            " -0.00000E+00 -1.00000E-03 -2.00000E-03 -3.00000E-03 -4.00000E-03 -5.00000E-03\n"
            " -6.00000E-03\n");
}

// A stream that writes numbers with a decimal comma must not change the file.
struct GroupedCommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(CubeWriter, IgnoresTheStreamsLocaleAndKeepsCommentsOnOneLine) {
  const CubeGrid grid{{-1.5, 2.25, 1000.0}, 0.3, 3, 2, 2};
  const std::vector<CalculationAtom> atoms = {{"O", {1234.5, 0.0, -0.25}}};
  const CubePlaneSource planes = [](int i, std::span<double> plane) {
    for (std::size_t k = 0; k < plane.size(); ++k) plane[k] = 1234.5678 * (i + 1) + k;
  };
  std::ostringstream plain;
  std::ostringstream comma;
  comma.imbue(std::locale(std::locale::classic(), new GroupedCommaDecimal));
  EXPECT_EQ(writeCube(plain, grid, atoms, "one\ntwo", "three\r\n", planes), "");
  EXPECT_EQ(writeCube(comma, grid, atoms, "one\ntwo", "three\r\n", planes), "");
  EXPECT_EQ(plain.str(), comma.str());
  EXPECT_EQ(plain.str().substr(0, 18), "one two\nthree  \n  ");
  EXPECT_NE(plain.str().find(" 1.23457E+03  1.23557E+03\n"), std::string::npos);
}

TEST(CubeWriter, RefusesWhatItCannotWrite) {
  const CubePlaneSource zeros = [](int, std::span<double> plane) {
    std::fill(plane.begin(), plane.end(), 0.0);
  };
  std::ostringstream out;
  EXPECT_EQ(writeCube(out, {{}, 0.1, 0, 1, 1}, {}, "", "", zeros), "The cube grid has no points.");
  EXPECT_EQ(writeCube(out, {{}, 0.1, 1, 1, -3}, {}, "", "", zeros), "The cube grid has no points.");
  EXPECT_EQ(writeCube(out, {{}, 0.0, 1, 1, 1}, {}, "", "", zeros),
            "The cube grid's step is not a positive number.");
  EXPECT_EQ(writeCube(out, {{}, NAN, 1, 1, 1}, {}, "", "", zeros),
            "The cube grid's step is not a positive number.");
  EXPECT_TRUE(out.str().empty());
  std::ostream broken(nullptr);
  EXPECT_EQ(writeCube(broken, {{}, 0.1, 2, 2, 2}, {}, "", "", zeros),
            "The cube file could not be written.");
}

}  // namespace
}  // namespace lobewright
