#include "input/parameter_table.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/test_files.h"

namespace lobewright {
namespace {


constexpr const char* kBuiltInAsFile =
    "4\n"
    "H 0.967807 1\n"
    "C 1.565085 1.842345 2\n"
    "N 2.028094 2.313728 2\n"
    "O 3.796544 2.389402 2\n";

// The derived values, to six significant digits, of the built-in exponents.
void expectBuiltInDerivedValues(const Pm3ParameterSet& table) {
  ASSERT_EQ(table.elementCount, 4);
  EXPECT_EQ(table.symbol[0], "H");
  EXPECT_EQ(table.symbol[1], "C");
  EXPECT_EQ(table.symbol[2], "N");
  EXPECT_EQ(table.symbol[3], "O");
  EXPECT_EQ(table.shellType[0], 1);
  EXPECT_EQ(table.shellType[3], 2);
  const auto near = [](float actual, double expected) {
    EXPECT_NEAR(actual, expected, expected * 2e-6) << "expected " << expected;
  };
  near(table.normS[0], 0.537166);
  near(table.zetaS[0], 1.82888);
  near(table.normS[1], 1.88628);
  near(table.normP[1], 4.91190);
  near(table.zetaS[1], 2.95757);
  near(table.zetaP[1], 3.48151);
  near(table.normS[2], 3.60563);
  near(table.normP[2], 8.68166);
  near(table.zetaS[2], 3.83252);
  near(table.zetaP[2], 4.37229);
  near(table.normS[3], 17.2875);
  near(table.normP[3], 9.40903);
  near(table.zetaS[3], 7.17439);
  near(table.zetaP[3], 4.51529);
}

TEST(ParameterTable, BuiltInTableHasTheDocumentedDerivedValues) {
  expectBuiltInDerivedValues(builtInParameters());
}

TEST(ParameterTable, FileEquivalentToBuiltInGivesBitIdenticalValues) {
  std::istringstream in(kBuiltInAsFile);
  const auto read = readParameters(in);
  ASSERT_TRUE(read.has_value());
  expectBuiltInDerivedValues(*read);
  const Pm3ParameterSet builtIn = builtInParameters();
  for (int e = 0; e < 4; ++e) {
    EXPECT_EQ(read->normS[e], builtIn.normS[e]);
    EXPECT_EQ(read->normP[e], builtIn.normP[e]);
    EXPECT_EQ(read->zetaS[e], builtIn.zetaS[e]);
    EXPECT_EQ(read->zetaP[e], builtIn.zetaP[e]);
  }
}

TEST(ParameterTable, LineStructureCarriesNoMeaningAndCrLfReadsAlike) {
  std::istringstream in("2 H\r\n0.967807\t1 Cl 2.246210\r\n\r\n2.151010 2");
  const auto read = readParameters(in);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->elementCount, 2);
  EXPECT_EQ(read->symbol[1], "Cl");
  EXPECT_FLOAT_EQ(read->zetaP[1], 2.151010f / kBohrRadius);
}

TEST(ParameterTable, TwoShellFormulasFollowTheSymbolNotTheShellType) {
  std::istringstream in("1 He 1.0 2.0 1");
  const auto read = readParameters(in);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->shellType[0], 1);
  EXPECT_FLOAT_EQ(read->zetaP[0], 2.0f / kBohrRadius);
  EXPECT_GT(read->normP[0], 0.0f);
}

TEST(ParameterTable, CountOfZeroGivesAnEmptyTable) {
  std::istringstream in("0");
  const auto read = readParameters(in);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->elementCount, 0);
}

TEST(ParameterTable, NumbersUseThePointInEveryLocale) {
  std::istringstream in("1 C 1,5 1.8 2");
  EXPECT_FALSE(readParameters(in).has_value());
}

TEST(ParameterTable, RejectsFilesTheTableCannotHold) {
  const char* const badFiles[] = {
      "",                 // no count
      "11 H 1 1",         // more elements than the table has room for
      "-1",               // negative count
      "2 H 0.96 1",       // too few entries
      "1 C 1.5 abc 2",    // non-numeric exponent
      "1 Cla 1.5 1.8 2",  // symbol longer than two characters
      "1 C\" 1.5 1.8 2",  // symbols name scene declarations: letters only
      "1 C; 1.5 1.8 2",
      "1 C1 1.5 1.8 2",
      "1 \xc3\xa9 1.5 1.8 2",
      "1 C 1.5 1.8 3",  // shell type neither 1 nor 2
      "1 C 1.5 1.8 0",
      "2 H 0.96 1.2 1 C 1 2 2",  // a second number for H shifts every later entry
  };
  for (const char* text : badFiles) {
    std::istringstream in(text);
    EXPECT_FALSE(readParameters(in).has_value()) << '"' << text << '"';
  }
}

TEST(ParameterTable, RejectsExponentsThatWouldPoisonTheOrbital) {
  const char* const badFiles[] = {
      "1 C -1.5 1.8 2",  // a negative exponent gives a NaN normalisation constant
      "1 C 1.5 0 2",     // an exponent of zero spreads the function over all space
      "1 H -0.9 1",
      "1 H 100.5 1",  // far beyond any real element
      "1 C 1.5 3e38 2",
      "1 C 1.5 1e39 2",  // beyond the float range
      "1 C nan 1.8 2",  "1 H inf 1",
  };
  for (const char* text : badFiles) {
    std::istringstream in(text);
    EXPECT_FALSE(readParameters(in).has_value()) << '"' << text << '"';
  }
  std::istringstream largest("2 H 100 1 C 0.001 100 2");
  EXPECT_TRUE(readParameters(largest).has_value());
}

TEST(ParameterTable, ReadsTheTenElementFile) {
  std::istringstream in(testing::readSample("pm3r.txt"));
  const Pm3ParameterSet table = readParameters(in).value_or(Pm3ParameterSet{});
  ASSERT_EQ(table.elementCount, 10);
  EXPECT_EQ(table.symbol[7], "Cl");
  EXPECT_EQ(table.find("Cl"), 7);
  EXPECT_EQ(table.find("CL"), -1);
  EXPECT_EQ(table.find("I"), 9);
}

}  // namespace
}  // namespace lobewright
