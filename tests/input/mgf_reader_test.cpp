#include "input/mgf_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "support/aux_sections.h"
#include "support/golden.h"
#include "support/malformed_inputs.h"

namespace lobewright {
namespace {

using testing::dataPath;
using testing::readFile;
using testing::replaced;

CalculationRead readMgfText(const std::string& text) {
  std::istringstream in(text);
  return readMgfFile(in, "test.mgf");
}

// The .mgf file against the .aux file of the same run: atoms, basis, every MO (coefficients to
// the file's 8 digits), and INVERSE_MATRIX, which must be S^-1/2 of the .aux overlap matrix:
// X S X = 1. Files whose basis has d functions give no matrix.
TEST(MgfReader, AgreesWithTheAuxFileOfTheSameRun) {
  for (const char* name : {"water_PM7", "methylradical_PM3", "chloroform_PM6", "thiophene_PM7"}) {
    SCOPED_TRACE(name);
    const CalculationRead read = readMgfFile(dataPath(std::string("aux/") + name + ".mgf"));
    ASSERT_TRUE(read.calculation) << read.error.message();
    const Calculation& c = *read.calculation;
    const testing::AuxSections aux(dataPath(std::string("aux/") + name + ".aux"));
    const Calculation expected = aux.basis();

    EXPECT_EQ(c.method, aux.words("METHOD").front());
    testing::expectSameAtomsAndBasis(c, expected, 1e-6, 1e-7);
    if (::testing::Test::HasFatalFailure()) return;

    const std::size_t n = c.basis.size();
    const bool uhf = aux.has("ALPHA_EIGENVECTORS");
    ASSERT_EQ(c.orbitals.size(), uhf ? 2 * n : n);
    for (std::size_t k = 0; k < c.orbitals.size(); ++k) {
      const MolecularOrbital& mo = c.orbitals[k];
      const std::string prefix = !uhf ? "" : k < n ? "ALPHA_" : "BETA_";
      EXPECT_EQ(mo.spin, !uhf ? Spin::none : k < n ? Spin::alpha : Spin::beta);
      const std::size_t index = k % n;
      EXPECT_EQ(mo.number, static_cast<int>(index) + 1);
      EXPECT_NEAR(mo.energy.value_or(0.0), aux.numbers(prefix + "EIGENVALUES")[index], 1e-4);
      EXPECT_EQ(mo.occupancy, aux.numbers(prefix + "MOLECULAR_ORBITAL_OCCUPANCIES")[index]);
      std::string label = aux.words(prefix + "M.O.SYMMETRY_LABELS")[index];
      if (label.ends_with("''")) label = label.substr(0, label.size() - 2) + '"';
      EXPECT_EQ(mo.symmetry, label);
      const std::vector<double> vectors = aux.numbers(prefix + "EIGENVECTORS");
      for (std::size_t i = 0; i < n; ++i) {
        EXPECT_NEAR(mo.coefficients[i], vectors[index * n + i], 1e-7) << k << " " << i;
      }
    }

    const SymmetricMatrix& x = c.inverseSqrtOverlap;
    if (std::string(name).find("PM3") == std::string::npos && name != std::string("water_PM7")) {
      EXPECT_TRUE(x.empty());  // d functions: MOPAC's matrix is not S^-1/2 of this basis
      continue;
    }
    ASSERT_EQ(x.size(), n);
    SymmetricMatrix s(n);
    s.lowerTriangle() = aux.numbers("OVERLAP_MATRIX");
    for (std::size_t i = 0; i < n; ++i) {
      for (std::size_t j = 0; j <= i; ++j) {
        double xsx = 0.0;
        for (std::size_t k = 0; k < n; ++k) {
          for (std::size_t l = 0; l < n; ++l) xsx += x(i, k) * s(k, l) * x(l, j);
        }
        EXPECT_NEAR(xsx, i == j ? 1.0 : 0.0, 1e-6) << i << " " << j;
      }
    }
  }
}

TEST(MgfReader, GluedNumbersAndTheMethodOfTheKeywordsLine) {
  const std::string water = readFile(dataPath("aux/water_PM7.mgf"));
  const Calculation c = *readMgfText(water).calculation;
  // "-0.69301984D-05 0.64783546D+00-0.50634847D+00 ..."
  EXPECT_EQ(c.orbitals[1].coefficients[2], -0.50634847);
  EXPECT_EQ(c.inverseSqrtOverlap(5, 4), -0.16376376);
  EXPECT_EQ(c.atoms[2].position, (Vec3{-0.2340583, 0.9403124, 0.0}));
  EXPECT_EQ(c.orbitals[3].symmetry, "1b1");

  // Without a method named, n comes from PM7's rows and the method stays unnamed.
  const std::string chloroform = readFile(dataPath("aux/chloroform_PM6.mgf"));
  const std::size_t keywords = chloroform.find(" Keywords:");
  const CalculationRead unnamed = readMgfText(chloroform.substr(0, keywords));
  ASSERT_TRUE(unnamed.calculation) << unnamed.error.message();
  EXPECT_EQ(unnamed.calculation->method, "");
  EXPECT_EQ(unnamed.calculation->basis[4].n, 3);  // chlorine's first d function
  EXPECT_EQ(unnamed.calculation->basis[4].type, AoType::x2);
  // PM3 gives chlorine no d shell, so it cannot say what n the file's d exponent goes with.
  const CalculationRead pm3 = readMgfText(replaced(chloroform, "Keywords: PM6", "Keywords: PM3"));
  ASSERT_FALSE(pm3.calculation);
  EXPECT_EQ(pm3.error.what,
            "PM3 gives no principal quantum number for the d shell of Cl (atom 1).");
}

TEST(MgfReader, DamagedFilesNameTheLine) {
  const std::string water = readFile(dataPath("aux/water_PM7.mgf"));
  const std::size_t matrix = water.find(" INVERSE_MATRIX");
  struct Damage {
    const char* name;
    std::string text;
    const char* what;
    int64_t line;
  };
  const Damage damages[] = {
      {"not an mgf", replaced(water, "MOPAC-Graphical", "MOPAC-Graphic"), "not a MOPAC graphics",
       1},
      {"more atoms than lines", replaced(water, "    3 MOPAC", "   99 MOPAC"),
       "expected an atomic number", 5},
      {"atomic number 0", replaced(water, "   8    0.0", "   0    0.0"), "atomic number", 2},
      {"bad coordinate", replaced(water, "0.9689930", "0.96x9930"), "\"0.96x9930\" is not a number",
       3},
      {"two exponents", replaced(water, "  5.9723090  2.3490170  0.0000000", "  5.9723090  2.3"),
       "the s, p and d exponents", 5},
      {"bad coefficient", replaced(water, "0.85511804D+00", "0.85511804D+0x"), "is not a number",
       9},
      {"extra coefficient", replaced(water, " 0.32773587D+00\n", " 0.32773587D+00 0.1D+00\n"),
       "expected 6 coefficients", 10},
      {"orbital without energy", replaced(water, " ORBITAL 2 1b2    -17.6075", " ORBITAL 2"),
       "occupancy, symmetry label and energy", 11},
      {"matrix of another size", replaced(water, "INVERSE_MATRIX[6x6]", "INVERSE_MATRIX[7x7]"),
       "expected INVERSE_MATRIX[6x6]=", 26},
      {"matrix cut", water.substr(0, water.find(" 0.11025205D+01")), "the end of INVERSE_MATRIX",
       32},
      {"orbital cut", water.substr(0, water.rfind('\n', matrix - 2) + 1),
       "ends before the coefficients of an orbital", 24},
      {"stray line", replaced(water, " INVERSE_MATRIX", " something else\n INVERSE_MATRIX"),
       "expected ORBITAL, INVERSE_MATRIX or Keywords:", 26},
      {"no orbitals", water.substr(0, water.find(" ORBITAL")), "holds no orbitals", 0},
  };
  for (const Damage& damage : damages) {
    const CalculationRead read = readMgfText(damage.text);
    ASSERT_FALSE(read.calculation) << damage.name;
    EXPECT_NE(read.error.what.find(damage.what), std::string::npos)
        << damage.name << ": " << read.error.message();
    EXPECT_EQ(read.error.line, damage.line) << damage.name << ": " << read.error.message();
  }
  EXPECT_FALSE(readMgfFile(dataPath("aux/no-such.mgf")).calculation);
  EXPECT_EQ(readMgfFile(dataPath("aux")).error.what, "is a folder");
  const CalculationRead overlong = readMgfText(water + std::string(2 << 20, '1'));
  EXPECT_EQ(overlong.error.what, "the line is longer than any MOPAC writes");
}

TEST(MgfReader, CutAndFlippedFilesAreReadOrRefused) {
  const std::string methyl = readFile(dataPath("aux/methylradical_PM3.mgf"));
  const auto whole = [](const CalculationRead& read) {
    if (!read.calculation) return true;
    const Calculation& c = *read.calculation;
    for (const MolecularOrbital& mo : c.orbitals) {
      if (mo.coefficients.size() != c.basis.size()) return false;
    }
    return c.inverseSqrtOverlap.empty() || c.inverseSqrtOverlap.size() == c.basis.size();
  };
  for (std::size_t length = 0; length < methyl.size(); length += 13) {
    EXPECT_TRUE(whole(readMgfText(methyl.substr(0, length)))) << length;
  }
  std::mt19937 random(5);
  for (int trial = 0; trial < 300; ++trial) {
    std::string flipped = methyl;
    for (int i = 0; i < 3; ++i) flipped[random() % flipped.size()] = static_cast<char>(random());
    EXPECT_TRUE(whole(readMgfText(flipped))) << trial;
  }
}

}  // namespace
}  // namespace lobewright
