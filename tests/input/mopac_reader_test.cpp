#include <gtest/gtest.h>

#include <fstream>

#include "support/classic_samples.h"

namespace lobewright {
namespace {

using testing::ClassicMoRead;
using testing::dataPath;

struct Sample {
  const char* file;
  int atomCount;
  int homo;
  const char* firstSymbol;
  const char* lastSymbol;
};

constexpr Sample kMopacSamples[] = {
    {"water.mno", 3, 4, "O", "H"},      {"formaldehyde.mno", 4, 6, "C", "H"},
    {"ethylene.mno", 6, 6, "C", "H"},   {"benzene.mno", 12, 15, "C", "H"},
    {"caffeine.mno", 24, 37, "C", "H"}, {"chloroform.mno", 5, 13, "Cl", "H"},
};

class MopacReader : public ::testing::Test {
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

  ClassicMoRead m_read;
};

TEST_F(MopacReader, EverySampleReadsForMoOneAndItsHomo) {
  for (const Sample& sample : kMopacSamples) {
    for (const int mo : {1, sample.homo}) {
      ASSERT_TRUE(readFile(sample.file, mo)) << sample.file << mo;
      EXPECT_EQ(m_read.atomCount(), sample.atomCount) << sample.file;
      EXPECT_EQ(m_read.symbol(0), sample.firstSymbol) << sample.file;
      EXPECT_EQ(m_read.symbol(sample.atomCount - 1), sample.lastSymbol) << sample.file;
    }
  }
  EXPECT_TRUE(m_read.calculation.warning.empty());
}

TEST_F(MopacReader, FormaldehydeCoefficientsAndCoordinatesAsPrinted) {
  ASSERT_TRUE(readFile("formaldehyde.mno", 1));
  EXPECT_EQ(coefficients(0).s, 0.47359f);
  EXPECT_EQ(coefficients(0).px, 0.27646f);
  EXPECT_EQ(coefficients(1).s, 0.78071f);
  EXPECT_EQ(coefficients(1).px, -0.22061f);
  EXPECT_EQ(coefficients(2).s, 0.14334f);
  EXPECT_EQ(coefficients(3).s, 0.14335f);
  EXPECT_EQ(m_read.position(1), (Point{1.2023f, 0.0f, 0.0f}));
  EXPECT_EQ(m_read.position(2), (Point{-0.5713f, 0.9287f, 0.0f}));
  EXPECT_EQ(m_read.position(3), (Point{-0.5712f, -0.9288f, -0.0f}));
}

TEST_F(MopacReader, ColumnsAndBlocksFollowTheMoNumber) {
  ASSERT_TRUE(readFile("formaldehyde.mno", 6));
  EXPECT_EQ(coefficients(0).py, 0.27335f);
  EXPECT_EQ(coefficients(1).py, -0.78745f);
  EXPECT_EQ(coefficients(3).s, -0.39065f);
  ASSERT_TRUE(readFile("formaldehyde.mno", 7));
  EXPECT_EQ(coefficients(0).pz, 0.80315f);
  ASSERT_TRUE(readFile("formaldehyde.mno", 10));
  EXPECT_EQ(coefficients(0).px, 0.72580f);
}

TEST_F(MopacReader, CaffeineReadsAcrossPageBreaks) {
  ASSERT_TRUE(readFile("caffeine.mno", 37));
  EXPECT_EQ(coefficients(0).pz, -0.05215f);
  EXPECT_EQ(coefficients(11).pz, -0.22237f);
  EXPECT_EQ(coefficients(23).s, 0.14188f);
  EXPECT_EQ(m_read.position(23), (Point{6.1230f, -0.6383f, -1.3154f}));
}

TEST_F(MopacReader, HydrogenGetsNoPCoefficients) {
  ASSERT_TRUE(readFile("water.mno", 1));
  for (int atom : {1, 2}) {
    EXPECT_EQ(coefficients(atom).px, 0.0f);
    EXPECT_EQ(coefficients(atom).py, 0.0f);
    EXPECT_EQ(coefficients(atom).pz, 0.0f);
  }
}

TEST_F(MopacReader, CrLfFileReadsLikeTheLfOne) {
  std::ifstream in(dataPath("caffeine.mno"), std::ios::binary);
  std::string crlf;
  for (char c; in.get(c);) {
    if (c == '\n') crlf.push_back('\r');
    crlf.push_back(c);
  }
  ASSERT_TRUE(readText(crlf, 40));
  const ClassicMoRead fromCrLf = m_read;
  ASSERT_TRUE(readFile("caffeine.mno", 40));
  EXPECT_EQ(fromCrLf.coefficients, m_read.coefficients);
  EXPECT_EQ(fromCrLf.calculation.atoms, m_read.calculation.atoms);
}

// MOPAC 22 runs with ALLVEC, whose keyword echo ("ALLVEC - PRINT ALL EIGENVECTORS") comes before
// the section; UHF runs give their alpha set. Rows for d orbitals are refused with the reason.
TEST_F(MopacReader, AllvecOutputsReadFromTheirSectionNotTheKeywordEcho) {
  struct AllvecSample {
    const char* file;
    int atomCount;
    int homo;
    bool dRows;
  };
  const AllvecSample samples[] = {
      {"aux/water_AM1.out", 3, 4, false},
      {"aux/water_PM3.out", 3, 4, false},
      {"aux/water_PM6.out", 3, 4, false},
      {"aux/water_PM7.out", 3, 4, false},
      {"aux/formaldehyde_PM3.out", 4, 6, false},
      {"aux/formaldehyde_PM7.out", 4, 6, false},
      {"aux/methylradical_PM3.out", 4, 4, false},
      {"aux/methylradical_PM7.out", 4, 4, false},
      {"aux/chloroform_AM1.out", 5, 13, false},
      {"aux/chloroform_PM3.out", 5, 13, false},
      {"aux/chloroform_PM6.out", 5, 13, true},
      {"aux/chloroform_PM7.out", 5, 13, true},
      {"aux/thiophene_PM3.out", 9, 13, false},
      {"aux/thiophene_PM6.out", 9, 13, true},
      {"aux/thiophene_PM7.out", 9, 13, true},
      {"aux/phenolate_PM7.out", 12, 18, false},
      {"aux/caffeine_PM7_default.out", 24, 37, false},
  };
  for (const AllvecSample& sample : samples) {
    const bool read = readFile(sample.file, sample.homo);
    EXPECT_EQ(read, !sample.dRows) << sample.file;
    if (sample.dRows) {
      EXPECT_NE(m_read.error.what.find("d orbitals"), std::string::npos) << sample.file;
    } else {
      EXPECT_EQ(m_read.atomCount(), sample.atomCount) << sample.file;
    }
  }
  ASSERT_TRUE(readFile("aux/water_PM7.out", 1));
  EXPECT_EQ(coefficients(0).s, 0.8551f);
  EXPECT_EQ(coefficients(2).s, 0.3277f);
  EXPECT_EQ(m_read.position(2), (Point{-0.234058338f, 0.940312387f, 0.0f}));
}

// A compact file in the old layout: one block of MOs 1 to 2, then the coordinates.
std::string syntheticFile(const std::string& rows, const std::string& coordinates) {
  return " KEYWORDS EIGENVECTORS\n\n EIGENVECTORS\n\n ROOT NO.  1   2\n\n  -30.0  -20.0\n\n" +
         rows + "\n\n NET ATOMIC CHARGES\n CARTESIAN COORDINATES\n NO. ATOM X Y Z\n" + coordinates +
         "\n";
}

TEST_F(MopacReader, HydrogenOnlyMoleculeAndHydrogenBeforeOxygen) {
  ASSERT_TRUE(
      readText(syntheticFile("S H 1 0.5 0.6\n S H 2 0.7 0.8", "1 H 0 0 0\n2 H 0.74 0 0"), 2));
  EXPECT_EQ(m_read.atomCount(), 2);
  EXPECT_EQ(coefficients(1).s, 0.8f);
  ASSERT_TRUE(readText(syntheticFile("S H 1 0.5 0.6\n S O 2 0.1 0.2\nPX O 2 0.3 0.4\n"
                                     "PY O 2 0.5 0.6\nPZ O 2 0.7 0.8",
                                     "1 H 0 0 0\n2 O 1 2 3"),
                       1));
  EXPECT_EQ(m_read.atomCount(), 2);
  EXPECT_EQ(coefficients(1).pz, 0.7f);
  EXPECT_EQ(m_read.position(1), (Point{1, 2, 3}));
}

// Every row up to the end of the block counts, however many page breaks lie between: atoms left
// out would make another molecule of the same file.
TEST_F(MopacReader, PageBreaksBetweenAtomsArePassedOver) {
  const std::string rows = "S H 1 0.5 0.6\n1\n S H 2 0.7 0.8\n1\n1\n S H 3 0.1 0.1";
  ASSERT_TRUE(readText(syntheticFile(rows, "1 H 0 0 0\n2 H 1 0 0\n3 H 2 0 0"), 1));
  EXPECT_EQ(m_read.atomCount(), 3);
}

TEST_F(MopacReader, PageBreakBetweenSAndPRowsIsPassedOver) {
  // Hydrogens first can put MOPAC's page break inside an atom's rows; the break must not be
  // taken for a row label.
  const std::string rows =
      "S H 1 0.5 0.6\n S C 2 0.1 0.2\n1\nPX C 2 0.3 0.4\nPY C 2 0.5 0.6\n1\n"
      "PZ C 2 0.7 0.8";
  ASSERT_TRUE(readText(syntheticFile(rows, "1 H 0 0 0\n2 C 1 0 0"), 2));
  EXPECT_EQ(m_read.atomCount(), 2);
  EXPECT_EQ(coefficients(1).s, 0.2f);
  EXPECT_EQ(coefficients(1).px, 0.4f);
  EXPECT_EQ(coefficients(1).py, 0.6f);
  EXPECT_EQ(coefficients(1).pz, 0.8f);
}

TEST_F(MopacReader, RejectsMoNumbersThatAreNotPrinted) {
  const std::string file = syntheticFile("S H 1 0.5 0.6", "1 H 0 0 0");
  EXPECT_FALSE(readText(file, 0));
  EXPECT_FALSE(readText(file, -1));
  EXPECT_FALSE(readText(file, 3));  // not in the first block's heading
  EXPECT_FALSE(readFile("formaldehyde.mno", 11));
  EXPECT_FALSE(readFile("water.mno", 7));
}

TEST_F(MopacReader, RejectsAtomsTheMoleculeCannotHoldAndSaysWhatToDo) {
  const auto atomWithP = [&](const std::string& symbol) {
    return syntheticFile("S " + symbol + " 1 0.1 0.2\nPX " + symbol + " 1 0.3 0.4\nPY " + symbol +
                             " 1 0.5 0.6\nPZ " + symbol + " 1 0.7 0.8",
                         "1 " + symbol + " 0 0 0");
  };
  EXPECT_FALSE(readText(atomWithP("Xx"), 1));
  EXPECT_EQ(m_read.error.what, "\"Xx\" (atom 1) is not an element symbol.");
  EXPECT_FALSE(readText(syntheticFile("S Cla 1 0.5 0.6", "1 Cla 0 0 0"), 1));
  EXPECT_FALSE(readText(atomWithP("Li"), 1));
  EXPECT_EQ(m_read.error.what,
            "Li (atom 1) is not in the PM3 parameter table; the exact model (--orbitals exact) "
            "reads every element.");
  std::string rows;
  std::string coordinates;
  for (int atom = 1; atom <= 101; ++atom) {
    rows += " S H " + std::to_string(atom) + " 0.1 0.2\n";
    coordinates += std::to_string(atom) + " H 0 0 " + std::to_string(atom) + "\n";
  }
  EXPECT_FALSE(readText(syntheticFile(rows, coordinates), 1));
  EXPECT_EQ(m_read.error.what,
            "The molecule has more than 100 atoms, more than the classic model holds: use "
            "--orbitals exact.");
}

TEST_F(MopacReader, RejectsUnreadableNumbers) {
  const std::string carbon = "S C 1 0.1 0.2\nPX C 1 0.3 0.4\nPY C 1 0.5 0.6\nPZ C 1 0.7 0.8";
  EXPECT_TRUE(readText(syntheticFile(carbon, "1 C 0 0 0"), 1));
  EXPECT_FALSE(readText(syntheticFile("S H 1 x.5 0.6", "1 H 0 0 0"), 1));
  std::string badP = carbon;
  badP.replace(badP.find("0.5"), 3, "-.-");
  EXPECT_FALSE(readText(syntheticFile(badP, "1 C 0 0 0"), 1));
  EXPECT_FALSE(readText(syntheticFile(carbon, "1 C 0 zero 0"), 1));
  EXPECT_FALSE(readText(syntheticFile("S H 1 0.5 0.6\n S H 2 0.5 0.6", "1 H 0 0 0"), 1));
}

TEST_F(MopacReader, RejectsCoefficientsAndCoordinatesThatAreNotFinite) {
  const std::string carbon = "S C 1 0.1 0.2\nPX C 1 0.3 0.4\nPY C 1 0.5 0.6\nPZ C 1 0.7 0.8";
  const auto withCarbonValue = [&](const std::string& old, const std::string& replacement) {
    std::string rows = carbon;
    rows.replace(rows.find(old), old.size(), replacement);
    return syntheticFile(rows, "1 C 0 0 0");
  };
  for (const std::string bad : {"nan", "inf", "-inf", "1e39", "-1e39", "NaN"}) {
    EXPECT_FALSE(readText(withCarbonValue("0.1", bad), 1)) << bad << " as s";
    EXPECT_FALSE(readText(withCarbonValue("0.5", bad), 1)) << bad << " as py";
    EXPECT_FALSE(readText(syntheticFile("S H 1 " + bad + " 0.6", "1 H 0 0 0"), 1)) << bad;
    EXPECT_FALSE(readText(syntheticFile(carbon, "1 C 0 " + bad + " 0"), 1)) << bad << " as y";
    EXPECT_FALSE(readText(syntheticFile(carbon, "1 C 0 0 " + bad), 1)) << bad << " as z";
  }
  EXPECT_TRUE(readText(syntheticFile(carbon, "1 C -3.4e38 3.4e38 0"), 1));
}

TEST_F(MopacReader, AFileEndingInsideTheLastCoordinateIsTakenAsCut) {
  const std::string carbon = "S C 1 0.1 0.2\nPX C 1 0.3 0.4\nPY C 1 0.5 0.6\nPZ C 1 0.7 0.8";
  std::string file = syntheticFile(carbon, "1 C 0 0 1.2345");
  ASSERT_TRUE(readText(file, 1));
  file.erase(file.find("1.2345") + 6);
  EXPECT_FALSE(readText(file, 1));
  EXPECT_FALSE(readText(file.substr(0, file.size() - 3), 1));
}

TEST_F(MopacReader, RejectsFilesMissingTheirMarkers) {
  EXPECT_FALSE(readText(" EIGENVECTORS\n ROOT NO. 1\n\n -3.0\n S H 1 0.5\n CARTESIAN X\n", 1));
  EXPECT_FALSE(readText(syntheticFile("S H 1 0.5 0.6", "").substr(0, 90), 1));
  std::string noCoordinates = syntheticFile("S H 1 0.5 0.6", "1 H 0 0 0");
  noCoordinates.replace(noCoordinates.find("CARTESIAN"), 9, "CARTESIAM");
  EXPECT_FALSE(readText(noCoordinates, 1));
  EXPECT_FALSE(readFile("no-such-file.mno", 1));
}

}  // namespace
}  // namespace lobewright
