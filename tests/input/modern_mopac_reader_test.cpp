#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "support/classic_samples.h"
#include "support/malformed_inputs.h"

namespace lobewright {
namespace {

using testing::ClassicMoRead;
using testing::dataPath;

enum class Function { s, px, py, pz };

// Atom numbers as the file prints them, from 1.
struct Coefficient {
  int atom;
  Function function;
  float value;
};

struct Position {
  int atom;
  Point point;
};

struct MoValues {
  int mo;
  std::array<Coefficient, 4> coefficients;
};

// Values copied from the files by eye.
struct ModernSample {
  const char* file;
  const char* symbols;  // one letter per atom, in row order
  std::array<Position, 2> positions;
  MoValues homo;
  MoValues lumo;
};

const ModernSample kModernSamples[] = {
    {"water-1993.mno",
     "OHH",
     {{{2, {0.9512f, 0.0f, 0.0f}}, {3, {-0.2887f, 0.9063f, 0.0f}}}},
     {4,
      {{{1, Function::pz, -1.0f},
        {1, Function::px, 0.0f},
        {2, Function::s, 0.0f},
        {3, Function::s, 0.0f}}}},
     {5,
      {{{1, Function::s, -0.3439f},
        {1, Function::px, -0.3191f},
        {1, Function::py, -0.4365f},
        {3, Function::s, 0.5428f}}}}},
    {"water.out",
     "OHH",
     {{{1, {0.009132729f, 0.008852593f, 0.0f}}, {3, {-0.280291731f, 0.914262861f, 0.0f}}}},
     {4,
      {{{1, Function::pz, 1.0f},
        {1, Function::py, 0.0f},
        {2, Function::s, 0.0f},
        {3, Function::s, 0.0f}}}},
     {5,
      {{{1, Function::s, -0.3441f},
        {1, Function::py, -0.4358f},
        {2, Function::s, 0.5439f},
        {3, Function::s, 0.5420f}}}}},
    {"formaldehyde-1993.mno",
     "COHH",
     {{{2, {1.2023f, 0.0f, 0.0f}}, {4, {-0.5712f, -0.9288f, 0.0f}}}},
     {6,
      {{{1, Function::py, 0.2734f},
        {2, Function::py, -0.7874f},
        {3, Function::s, 0.3906f},
        {4, Function::s, -0.3907f}}}},
     {7,
      {{{1, Function::pz, 0.8032f},
        {2, Function::pz, -0.5958f},
        {2, Function::py, -0.0001f},
        {4, Function::s, 0.0f}}}}},
    {"formaldehyde.out",
     "COHH",
     {{{2, {2.286078655f, 0.024372773f, -0.091259994f}},
       {4, {0.507769993f, 0.945299769f, 0.020196735f}}}},
     {6,
      {{{1, Function::py, -0.2721f},
        {2, Function::py, 0.7804f},
        {3, Function::s, 0.3918f},
        {4, Function::s, -0.3917f}}}},
     {7,
      {{{1, Function::pz, 0.7974f},
        {2, Function::pz, -0.5913f},
        {1, Function::py, -0.0965f},
        {3, Function::s, 0.0f}}}}},
    {"benzene-1993.mno",
     "CCCCCCHHHHHH",
     {{{2, {1.3908f, 0.0f, 0.0f}}, {12, {-1.7908f, 1.2071f, -0.0009f}}}},
     {15,
      {{{1, Function::pz, -0.1586f},
        {2, Function::pz, -0.5599f},
        {6, Function::pz, 0.4018f},
        {9, Function::s, 0.0001f}}}},
     {16,
      {{{1, Function::pz, -0.1503f},
        {2, Function::pz, 0.5577f},
        {6, Function::pz, -0.4080f},
        {9, Function::s, -0.0001f}}}}},
    {"benzene.out",
     "CCCCCCHHHHHH",
     {{{1, {1.379319055f, -0.220938374f, 0.005219130f}},
       {12, {1.566470010f, 1.928849751f, 0.024378095f}}}},
     {15,
      {{{1, Function::pz, -0.5066f},
        {1, Function::py, 0.0044f},
        {3, Function::pz, 0.4931f},
        {7, Function::s, 0.0001f}}}},
     {16,
      {{{1, Function::pz, -0.1374f},
        {1, Function::py, 0.0014f},
        {3, Function::pz, 0.5543f},
        {7, Function::s, -0.0001f}}}}},
    {"caffeine-1993.mno",
     "CNCNCCCONCCONCHHHHHHHHHH",
     {{{2, {1.4612f, 0.0f, 0.0f}}, {24, {6.1230f, -0.6383f, -1.3154f}}}},
     {37,
      {{{1, Function::s, 0.0004f},
        {1, Function::pz, -0.0521f},
        {2, Function::pz, 0.3425f},
        {24, Function::s, 0.1419f}}}},
     {38,
      {{{1, Function::s, -0.0001f},
        {1, Function::pz, 0.0221f},
        {2, Function::pz, 0.4194f},
        {24, Function::s, -0.0392f}}}}},
    {"caffeine.out",
     "CNCNCCCONCCONCHHHHHHHHHH",
     {{{1, {-3.310085868f, -1.143194550f, 0.092683302f}},
       {24, {0.758393722f, 3.450349113f, -0.305741253f}}}},
     {37,
      {{{1, Function::px, -0.0025f},
        {2, Function::pz, 0.3426f},
        {3, Function::pz, 0.2555f},
        {24, Function::s, 0.0466f}}}},
     {38,
      {{{1, Function::px, -0.0033f},
        {2, Function::pz, -0.4205f},
        {3, Function::pz, 0.4400f},
        {24, Function::s, 0.0051f}}}}},
};

using testing::replaced;

class ModernMopacReader : public ::testing::Test {
 protected:
  bool readText(const std::string& text, int mo) {
    m_read = testing::readClassicMoText(text, mo);
    return m_read.read;
  }
  bool readFile(const std::string& name, int mo) {
    m_read = testing::readClassicMoSample(name, mo);
    return m_read.read;
  }
  [[nodiscard]] const AtomCoefficients& coefficients(int atom) const {
    return m_read.coefficients.at(atom);
  }
  float coefficient(const Coefficient& c) {
    const int i = c.atom - 1;
    switch (c.function) {
      case Function::s:
        return coefficients(i).s;
      case Function::px:
        return coefficients(i).px;
      case Function::py:
        return coefficients(i).py;
      case Function::pz:
        return coefficients(i).pz;
    }
    return 0.0f;
  }

  ClassicMoRead m_read;
};

TEST_F(ModernMopacReader, EverySampleReadsItsHomoAndLumoAsPrinted) {
  for (const ModernSample& sample : kModernSamples) {
    for (const MoValues& values : {sample.homo, sample.lumo}) {
      SCOPED_TRACE(std::string(sample.file) + " MO " + std::to_string(values.mo));
      ASSERT_TRUE(readFile(sample.file, values.mo));
      const std::string symbols = sample.symbols;
      ASSERT_EQ(m_read.atomCount(), static_cast<int>(symbols.size()));
      for (std::size_t atom = 0; atom < symbols.size(); ++atom) {
        EXPECT_EQ(m_read.symbol(static_cast<int>(atom)), symbols.substr(atom, 1)) << atom + 1;
      }
      for (const Coefficient& c : values.coefficients) {
        EXPECT_EQ(coefficient(c), c.value) << "atom " << c.atom;
      }
      for (const Position& p : sample.positions) {
        EXPECT_EQ(m_read.position(p.atom - 1), p.point) << "atom " << p.atom;
      }
      EXPECT_TRUE(m_read.error.what.empty());
    }
  }
  EXPECT_TRUE(m_read.calculation.warning.empty()) << "PM3 outputs need no warning";
}

TEST_F(ModernMopacReader, HydrogenGetsNoPCoefficients) {
  ASSERT_TRUE(readFile("caffeine.out", 38));
  for (int atom = 14; atom < 24; ++atom) {
    EXPECT_EQ(coefficients(atom).px, 0.0f);
    EXPECT_EQ(coefficients(atom).py, 0.0f);
    EXPECT_EQ(coefficients(atom).pz, 0.0f);
  }
}

TEST_F(ModernMopacReader, FirstLevelsWordGivesTheHomoForTheLocator) {
  for (const ModernSample& sample : kModernSamples) {
    std::istringstream in(testing::readSample(sample.file));
    std::string word;
    while (in >> word && word != "LEVELS") {
    }
    std::string equals;
    long filled = 0;
    in >> equals >> filled;
    ASSERT_TRUE(in) << sample.file;
    EXPECT_EQ(equals, "=") << sample.file;
    EXPECT_EQ(filled, sample.homo.mo) << sample.file;
  }
}

TEST_F(ModernMopacReader, MoOutsideThePrintedWindowTellsWhatToDo) {
  EXPECT_FALSE(readFile("caffeine.out", 3));
  EXPECT_EQ(m_read.error.what,
            "MO 3 is not in this file, which holds MOs 29 to 44. Run MOPAC with the keyword "
            "ALLVEC to print every MO.");
  EXPECT_FALSE(readFile("caffeine-1993.mno", 45));
  EXPECT_EQ(m_read.error.what,
            "MO 45 is not in this file, which holds MOs 29 to 44. Run MOPAC with the keyword "
            "ALLVEC to print every MO.");
  // Caffeine has 66 basis functions, so 66 MOs; ALLVEC cannot help beyond them.
  EXPECT_FALSE(readFile("caffeine.out", 67));
  EXPECT_EQ(m_read.error.what,
            "MO 67 is not in this file, which holds MOs 29 to 44: the molecule has only 66 MOs.");
  EXPECT_FALSE(readFile("water.out", 7));
  EXPECT_EQ(m_read.error.what,
            "MO 7 is not in this file, which holds MOs 1 to 6: the molecule has only 6 MOs.");
}

TEST_F(ModernMopacReader, EveryFailureSaysWhyAndWhere) {
  EXPECT_FALSE(readFile("water.out", 0));
  EXPECT_EQ(m_read.error.what, "There is no MO 0: MOs are counted from 1.");
  EXPECT_FALSE(readFile("formaldehyde.mno", 11));
  EXPECT_EQ(m_read.error.what,
            "MO 11 is not in this file, which holds MOs 1 to 10: the molecule has only 10 MOs.");
  EXPECT_FALSE(readText(testing::readSample("caffeine.out").substr(0, 20000), 37));
  EXPECT_EQ(m_read.error.message(),
            "line 338: 6 coefficients for the 8 MOs of the block\n"
            "  338 | Px  O    8    0.0420    0.0334   -0.5169    0.3299    0.4932   -0.");
}

TEST_F(ModernMopacReader, OtherMethodsAreReadWithOneWarning) {
  const std::string pm7 = replaced(testing::readSample("caffeine.out"), "PM3 CALCULATION RESULTS",
                                   "PM7 CALCULATION RESULTS");
  ASSERT_TRUE(readText(pm7, 37));
  EXPECT_EQ(m_read.atomCount(), 24);
  EXPECT_EQ(coefficients(1).pz, 0.3426f);
  EXPECT_EQ(m_read.calculation.warning,
            "This output comes from a PM7 calculation; the orbital is drawn with PM3 exponents.");

  const std::string am1 = replaced(testing::readSample("water-1993.mno"), "PM3 CALCULATION RESULTS",
                                   "AM1 CALCULATION RESULTS");
  ASSERT_TRUE(readText(am1, 4));
  EXPECT_EQ(m_read.calculation.warning,
            "This output comes from an AM1 calculation; the orbital is drawn with PM3 exponents.");
}

TEST_F(ModernMopacReader, CoordinatesComeFromTheFinalGeometryOnly) {
  // MOPAC 7 prints the final geometry after the eigenvectors; without it the input geometry
  // before them must not stand in.
  const std::string water7 = testing::readSample("water-1993.mno");
  ASSERT_TRUE(readText(water7, 4));
  std::string withoutAfter = water7;
  const std::size_t after = withoutAfter.find("CARTESIAN", withoutAfter.find("Root No."));
  ASSERT_NE(after, std::string::npos);
  withoutAfter.replace(after, 9, "Cartesian");
  EXPECT_FALSE(readText(withoutAfter, 4));

  // MOPAC 22: the last table before the eigenvectors must list the eigenvectors' atoms.
  const std::string water22 = testing::readSample("water.out");
  EXPECT_FALSE(readText(replaced(water22, "   3    H       -0.28", "   3    O       -0.28"), 4));
  EXPECT_FALSE(readText(replaced(water22, "   3    H       -0.280291731     0.914262861",
                                 "   4    H       -0.280291731     0.914262861"),
                        4));
  EXPECT_FALSE(
      readText(replaced(water22, "0.914262861     0.000000000", "0.914262861     zero"), 4));
  // Without its final table, only the input geometry (with its header) is left: refused.
  const std::size_t finalTable = water22.rfind("CARTESIAN COORDINATES");
  std::string onlyInput = water22;
  onlyInput.replace(finalTable, 9, "Cartesian");
  EXPECT_FALSE(readText(onlyInput, 4));
}

// A compact file in the MOPAC 2016 layout: the final geometry before the eigenvectors.
std::string newerFile(const std::string& rows, const std::string& coordinates,
                      const std::string& heading = "Root No.    1    2") {
  return "  PM3 CALCULATION RESULTS\n  VECTORS - FINAL EIGENVECTORS TO BE PRINTED\n\n"
         "          CARTESIAN COORDINATES\n\n" +
         coordinates + "\n\n      EIGENVECTORS\n\n   " + heading +
         "\n\n   1 A   2 A\n\n  -10.0   -5.0\n  \n" + rows + "\n\n NET ATOMIC CHARGES\n";
}

const std::string kCarbonRows =
    "  S   C    1   0.1   0.2\n  Px  C    1   0.3   0.4\n  Py  C    1   0.5   0.6\n"
    "  Pz  C    1   0.7   0.8";

TEST_F(ModernMopacReader, SyntheticLayoutReadsByHeadingNumbers) {
  ASSERT_TRUE(readText(newerFile(kCarbonRows, "  1  C  1.0  2.0  3.0"), 2));
  EXPECT_EQ(coefficients(0).s, 0.2f);
  EXPECT_EQ(coefficients(0).pz, 0.8f);
  EXPECT_EQ(m_read.position(0), (Point{1.0f, 2.0f, 3.0f}));
  // The MO numbers are those of the heading, wherever the block starts.
  ASSERT_TRUE(readText(newerFile(kCarbonRows, "  1  C  1.0  2.0  3.0", "Root No.   41   42"), 41));
  EXPECT_EQ(coefficients(0).px, 0.3f);
  EXPECT_FALSE(readText(newerFile(kCarbonRows, "  1  C  1.0  2.0  3.0", "Root No.   41   42"), 1));
  EXPECT_EQ(m_read.error.what,
            "MO 1 is not in this file, which holds MOs 41 to 42. Run MOPAC with the keyword ALLVEC "
            "to print every MO.");
}

TEST_F(ModernMopacReader, AtomNumbersFromOneHundredMayRunIntoTheSymbol) {
  std::string rows;
  std::string coordinates;
  for (int atom = 1; atom <= 99; ++atom) {
    const std::string number = std::to_string(atom);
    rows += "  S   H   " + number + "   0.01   0.02\n";
    coordinates += "  " + number + "  H  0.0  0.0  " + number + ".0\n";
  }
  const std::string chlorine =
      "  S   Cl100   0.1   0.2\n  Px  Cl100   0.3   0.4\n  Py  Cl100   0.5   0.6\n"
      "  Pz  Cl100   0.7   0.8\n";
  ASSERT_TRUE(
      readText(newerFile(rows + "  S   H100   0.1   0.2", coordinates + "  100  H  0 0 0"), 2));
  EXPECT_EQ(m_read.atomCount(), 100);
  EXPECT_EQ(coefficients(99).s, 0.2f);
  // A 101st atom is more than a molecule holds.
  EXPECT_FALSE(readText(newerFile(rows + chlorine + "  S   H101   0.1   0.2",
                                  coordinates + "  100  Cl  1.0  2.0  3.0\n  101  H  0 0 0"),
                        2));
  ASSERT_TRUE(readText(newerFile(rows + chlorine, coordinates + "  100  Cl  1.0  2.0  3.0"), 2));
  EXPECT_EQ(m_read.atomCount(), 100);
  EXPECT_EQ(m_read.symbol(99), "Cl");
  EXPECT_EQ(coefficients(98).s, 0.02f);
  EXPECT_EQ(coefficients(99).s, 0.2f);
  EXPECT_EQ(coefficients(99).py, 0.6f);
  EXPECT_EQ(m_read.position(99), (Point{1.0f, 2.0f, 3.0f}));
  EXPECT_EQ(m_read.position(98), (Point{0.0f, 0.0f, 99.0f}));
}

TEST_F(ModernMopacReader, DOrbitalRowsAreRefusedWithAReason) {
  const std::string sulfur =
      "  S   S    1   0.1   0.2\n  Px  S    1   0.3   0.4\n  Py  S    1   0.5   0.6\n"
      "  Pz  S    1   0.7   0.8\n  x2  S    1   0.1   0.1\n  xz  S    1   0.1   0.1\n"
      "  z2  S    1   0.1   0.1\n  yz  S    1   0.1   0.1\n  xy  S    1   0.1   0.1";
  const std::string reason =
      "This file has rows for d orbitals, which the classic model cannot draw: use --orbitals "
      "exact.";
  EXPECT_FALSE(readText(newerFile(sulfur, "  1  S  0.0  0.0  0.0"), 1));
  EXPECT_EQ(m_read.error.what, reason);
  // The rows say more than a missing MO would.
  EXPECT_FALSE(readText(newerFile(sulfur, "  1  S  0.0  0.0  0.0"), 5));
  EXPECT_EQ(m_read.error.what, reason);
}

TEST_F(ModernMopacReader, RejectsRowsThatDoNotFormWholeAtoms) {
  const std::string carbonAt = "  1  C  0 0 0";
  const std::string cases[] = {
      // p rows missing
      "  S   C    1   0.1   0.2\n  Px  C    1   0.3   0.4",
      // p rows out of order
      "  S   C    1   0.1   0.2\n  Py  C    1   0.3   0.4\n  Px  C    1   0.5   0.6\n"
      "  Pz  C    1   0.7   0.8",
      // a p row of another atom
      "  S   C    1   0.1   0.2\n  Px  C    2   0.3   0.4\n  Py  C    1   0.5   0.6\n"
      "  Pz  C    1   0.7   0.8",
      // a column missing, an unreadable number, a number glued to text
      "  S   C    1   0.1\n  Px  C    1   0.3   0.4\n  Py  C    1   0.5   0.6\n"
      "  Pz  C    1   0.7   0.8",
      "  S   C    1   0.1   0.2\n  Px  C    1   0.3   x.4\n  Py  C    1   0.5   0.6\n"
      "  Pz  C    1   0.7   0.8",
      "  S   C    1   0.1   0.2x\n  Px  C    1   0.3   0.4\n  Py  C    1   0.5   0.6\n"
      "  Pz  C    1   0.7   0.8",
      // atoms not numbered from 1
      "  S   C    2   0.1   0.2\n  Px  C    2   0.3   0.4\n  Py  C    2   0.5   0.6\n"
      "  Pz  C    2   0.7   0.8",
  };
  for (const std::string& rows : cases) {
    EXPECT_FALSE(readText(newerFile(rows, carbonAt), 1)) << rows;
  }
  // Hydrogen has one row; an element that is not in the parameter table is refused.
  EXPECT_FALSE(readText(
      newerFile("  S   H    1   0.1   0.2\n  Px  H    1   0.3   0.4", "  1  H  0 0 0"), 1));
  EXPECT_FALSE(readText(newerFile("  S   Xe    1   0.1   0.2", "  1  Xe  0 0 0"), 1));
  EXPECT_TRUE(readText(newerFile("  S   H    1   0.1   0.2", "  1  H  0 0 0"), 1));
}

TEST_F(ModernMopacReader, EveryBlockIsCheckedWhicheverHoldsTheMo) {
  // formaldehyde.out prints MOs 1 to 8, then 9 and 10; MO 6 is in the first block.
  const std::string text = testing::readSample("formaldehyde.out");
  ASSERT_TRUE(readText(text, 6));
  EXPECT_FALSE(readText(replaced(text, "  S   H    4   -0.4593", "  S   H    4   -0.45x3"), 6));
  EXPECT_FALSE(readText(replaced(text, "  S   H    4   -0.4593", "  S   C    4   -0.4593"), 6));
  EXPECT_FALSE(readText(replaced(text, "  S   O    2   -0.0001   -0.2609\n", ""), 6));
}

TEST_F(ModernMopacReader, PageBreaksBetweenRowsArePassedOver) {
  const std::string text = testing::readSample("caffeine-1993.mno");
  ASSERT_TRUE(readText(replaced(text, "  Py  N  2  0.0059", "1\n  Py  N  2  0.0059"), 37));
  EXPECT_EQ(coefficients(1).py, 0.0059f);
  EXPECT_EQ(coefficients(1).pz, 0.3425f);
}

TEST_F(ModernMopacReader, CrLfFilesReadLikeLfOnes) {
  for (const char* name : {"caffeine.out", "caffeine-1993.mno"}) {
    std::string crlf;
    for (const char c : testing::readSample(name)) {
      if (c == '\n') crlf.push_back('\r');
      crlf.push_back(c);
    }
    ASSERT_TRUE(readText(crlf, 38)) << name;
    const ClassicMoRead fromCrLf = m_read;
    ASSERT_TRUE(readFile(name, 38));
    EXPECT_EQ(fromCrLf.coefficients, m_read.coefficients);
    EXPECT_EQ(fromCrLf.calculation.atoms, m_read.calculation.atoms);
  }
}

// A truncated file either fails or, when the cut falls after everything the read needs, gives
// exactly what the whole file gives. Cuts before the end of what it needs must fail.
TEST_F(ModernMopacReader, TruncatedFilesFailCleanly) {
  struct Case {
    const char* file;
    int mo;                  // in the last block, so that every block is needed
    const char* neededUpTo;  // the text that follows everything the read needs
  };
  const Case cases[] = {
      {"water-1993.mno", 6, "ATOMIC ORBITAL ELECTRON"},
      {"water.out", 6, "NET ATOMIC CHARGES"},
      {"formaldehyde-1993.mno", 10, "ATOMIC ORBITAL ELECTRON"},
      {"formaldehyde.out", 10, "NET ATOMIC CHARGES"},
      {"benzene-1993.mno", 22, "ATOMIC ORBITAL ELECTRON"},
      {"benzene.out", 22, "NET ATOMIC CHARGES"},
      {"caffeine-1993.mno", 44, "ATOMIC ORBITAL ELECTRON"},
      {"caffeine.out", 44, "NET ATOMIC CHARGES"},
  };
  for (const Case& c : cases) {
    const std::string text = testing::readSample(c.file);
    ASSERT_TRUE(readText(text, c.mo)) << c.file;
    const ClassicMoRead whole = m_read;
    const std::size_t needed = text.find(c.neededUpTo);
    const std::size_t eigenvectors = text.find("Root No.");
    ASSERT_NE(needed, std::string::npos);
    std::vector<std::size_t> cuts;
    for (std::size_t i = 0; i < 20; ++i) cuts.push_back(text.size() * i / 20);
    // And as many again between the first eigenvector heading and the end of what is needed.
    for (std::size_t i = 0; i < 20; ++i) {
      cuts.push_back(eigenvectors + (needed - eigenvectors) * i / 20 + i % 3);
    }
    for (const std::size_t cut : cuts) {
      SCOPED_TRACE(std::string(c.file) + " cut at " + std::to_string(cut));
      if (!readText(text.substr(0, cut), c.mo)) continue;
      EXPECT_GE(cut, needed);
      EXPECT_EQ(m_read.coefficients, whole.coefficients);
      EXPECT_EQ(m_read.calculation.atoms, whole.calculation.atoms);
    }
  }
}

TEST_F(ModernMopacReader, DamagedFilesNeverReadPastTheMolecule) {
  std::mt19937 random(6);
  const char replacements[] = {' ', '\n', '1', '-', '.', 'x', 'S', 'H', '\0'};
  for (const char* name : {"caffeine.out", "caffeine-1993.mno"}) {
    const std::string text = testing::readSample(name);
    const std::size_t from = text.find("CARTESIAN");
    std::uniform_int_distribution<std::size_t> position(from, text.size() - 1);
    std::uniform_int_distribution<std::size_t> replacement(0, sizeof replacements - 1);
    for (int damage = 0; damage < 300; ++damage) {
      std::string damaged = text;
      for (int i = 0; i < 3; ++i) damaged[position(random)] = replacements[replacement(random)];
      if (readText(damaged, 37)) {
        EXPECT_GT(m_read.atomCount(), 0);
        EXPECT_LE(m_read.atomCount(), kMaxAtoms);
      }
    }
  }
}

}  // namespace
}  // namespace lobewright
