#include "input/out_reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "orbital/slater_overlap.h"
#include "support/aux_sections.h"
#include "support/golden.h"
#include "support/malformed_inputs.h"

namespace lobewright {
namespace {

using testing::dataPath;
using testing::readFile;
using testing::replaced;

CalculationRead readOutText(const std::string& text) {
  std::istringstream in(text);
  return readOutFile(in, "test.out");
}

// The MOs of one spin set as the .aux lists them.
struct AuxMos {
  int first = 0;
  std::vector<double> vectors;
  std::vector<double> energies;
  std::vector<double> occupancies;
  std::vector<std::string> labels;
};

AuxMos auxMos(const testing::AuxSections& aux, const std::string& prefix) {
  AuxMos mos;
  mos.first = static_cast<int>(aux.numbers("SET_OF_" + prefix + "MOS").front());
  mos.vectors = aux.numbers(prefix + "EIGENVECTORS");
  mos.energies = aux.numbers(prefix + "EIGENVALUES");
  mos.occupancies = aux.numbers(prefix + "MOLECULAR_ORBITAL_OCCUPANCIES");
  mos.labels = aux.words(prefix + "M.O.SYMMETRY_LABELS");
  // The .aux file writes a double prime as two primes; the .out and .mgf files as '"'.
  for (std::string& label : mos.labels) {
    if (label.ends_with("''")) label = label.substr(0, label.size() - 2) + '"';
  }
  return mos;
}

// Each MOPAC 22 output against the .aux file of the same run: atoms, basis (n, zeta and type of
// every function), and every MO the .out prints with its coefficients (4 decimals), eigenvalue
// (3 decimals), occupancy and symmetry label; the overlap computed from the basis read against
// MOPAC's own.
TEST(OutReader, AgreesWithTheAuxFileOfTheSameRun) {
  for (const char* name :
       {"water_AM1", "water_PM3", "water_PM6", "water_PM7", "formaldehyde_PM3", "formaldehyde_PM7",
        "methylradical_PM3", "methylradical_PM7", "chloroform_AM1", "chloroform_PM3",
        "chloroform_PM6", "chloroform_PM7", "thiophene_PM3", "thiophene_PM6", "thiophene_PM7",
        "phenolate_PM7", "caffeine_PM7_default"}) {
    SCOPED_TRACE(name);
    // Without AUX(PRECISION=9) the .aux file gives 4 decimals, and without ALLVEC the .out
    // prints 16 MOs.
    const bool fewDigits = std::string(name).find("default") != std::string::npos;
    const double digits = fewDigits ? 1e-4 : 1e-12;
    const CalculationRead read = readOutFile(dataPath(std::string("aux/") + name + ".out"));
    ASSERT_TRUE(read.calculation) << read.error.message();
    const Calculation& c = *read.calculation;
    const testing::AuxSections aux(dataPath(std::string("aux/") + name + ".aux"));
    const Calculation expected = aux.basis();

    EXPECT_EQ(c.method, aux.words("METHOD").front());
    testing::expectSameAtomsAndBasis(c, expected, 1e-4, digits);
    if (::testing::Test::HasFatalFailure()) return;

    const auto stated = [&aux](const std::string& key) -> std::optional<int> {
      if (!aux.has(key)) return std::nullopt;
      return static_cast<int>(aux.numbers(key).front());
    };
    EXPECT_EQ(c.electronCount, stated("NUM_ELECTRONS"));
    EXPECT_EQ(c.alphaElectronCount, stated("NUM_ALPHA_ELECTRONS"));
    EXPECT_EQ(c.betaElectronCount, stated("NUM_BETA_ELECTRONS"));

    const bool uhf = aux.has("ALPHA_EIGENVECTORS");
    std::map<Spin, AuxMos> sets;
    if (uhf) {
      sets[Spin::alpha] = auxMos(aux, "ALPHA_");
      sets[Spin::beta] = auxMos(aux, "BETA_");
    } else {
      sets[Spin::none] = auxMos(aux, "");
    }
    const std::size_t n = c.basis.size();
    std::size_t compared = 0;
    for (const MolecularOrbital& mo : c.orbitals) {
      ASSERT_EQ(sets.count(mo.spin), 1u);
      const AuxMos& set = sets[mo.spin];
      const auto k = static_cast<std::size_t>(mo.number - set.first);
      ASSERT_LT(k, set.energies.size()) << mo.number;
      EXPECT_NEAR(mo.energy.value_or(0.0), set.energies[k], 5e-4) << mo.number;
      EXPECT_EQ(mo.occupancy, set.occupancies[k]) << mo.number;
      EXPECT_EQ(mo.symmetry, set.labels[k]) << mo.number;
      ASSERT_EQ(mo.coefficients.size(), n);
      for (std::size_t i = 0; i < n; ++i) {
        EXPECT_NEAR(mo.coefficients[i], set.vectors[k * n + i], fewDigits ? 1e-4 : 5e-5)
            << mo.number << " " << i;
      }
      ++compared;
    }
    EXPECT_EQ(compared, uhf ? 2 * n : fewDigits ? 16 : n);

    const SymmetricMatrix s = overlapMatrix(c);
    const std::vector<double> overlap = aux.numbers("OVERLAP_MATRIX");
    ASSERT_EQ(s.lowerTriangle().size(), overlap.size());
    for (std::size_t i = 0; i < overlap.size(); ++i) {
      ASSERT_NEAR(s.lowerTriangle()[i], overlap[i], fewDigits ? 1e-4 : 2e-7) << i;
    }
  }
}

// MOPAC 6 (ROOT NO., PX rows, no symmetry labels) and MOPAC 7: the same MOs and final geometry
// as the classic model reads, with PM3's exponents.
TEST(OutReader, OlderLayoutsReadAsTheClassicModelReadsThem) {
  struct Older {
    const char* file;
    std::size_t atoms;
    std::size_t mos;
    int firstMo;
    double firstCoefficient;
    Vec3 lastAtom;
  };
  const Older files[] = {
      {"formaldehyde.mno", 4, 10, 1, 0.47359, {-0.5712, -0.9288, -0.0}},
      {"chloroform.mno", 5, 17, 1, -0.54493, {2.1405, -0.5339, -0.8955}},
      {"caffeine.mno", 24, 66, 1, 0.16063, {6.1230, -0.6383, -1.3154}},
      {"caffeine-1993.mno", 24, 16, 29, -0.0075, {6.1230, -0.6383, -1.3154}},
  };
  for (const Older& older : files) {
    SCOPED_TRACE(older.file);
    const CalculationRead read = readOutFile(dataPath(older.file));
    ASSERT_TRUE(read.calculation) << read.error.message();
    const Calculation& c = *read.calculation;
    EXPECT_EQ(c.method, "PM3");
    ASSERT_EQ(c.atoms.size(), older.atoms);
    EXPECT_EQ(c.atoms.back().position, older.lastAtom);
    ASSERT_EQ(c.orbitals.size(), older.mos);
    EXPECT_EQ(c.orbitals.front().number, older.firstMo);
    EXPECT_EQ(c.orbitals.front().coefficients.front(), older.firstCoefficient);
    EXPECT_EQ(c.basis.front().zeta, c.atoms.front().symbol == "C" ? 1.565085 : 2.24621);
  }
  const Calculation caffeine = *readOutFile(dataPath("caffeine.mno")).calculation;
  EXPECT_EQ(caffeine.orbitals[36].occupancy, 2.0);  // MO 37, the HOMO
  EXPECT_EQ(caffeine.orbitals[37].occupancy, 0.0);
  EXPECT_EQ(caffeine.orbitals[36].energy, -9.01974);
}

TEST(OutReader, OpenShellsMozymeAndFilesWithoutEigenvectors) {
  // OPEN(4,3): four doubly occupied levels, then three with 4/3 electrons each.
  const CalculationRead open = readOutFile(dataPath("aux/formaldehyde_open43_PM3.out"));
  ASSERT_TRUE(open.calculation) << open.error.message();
  std::vector<double> occupancies;
  for (const MolecularOrbital& mo : open.calculation->orbitals) occupancies.push_back(mo.occupancy);
  EXPECT_EQ(occupancies, (std::vector<double>{2, 2, 2, 2, 4.0 / 3, 4.0 / 3, 4.0 / 3, 0, 0, 0}));
  EXPECT_EQ(open.calculation->electronCount, 12);
  // Without the keyword's echo only the printed share (1.333) is known, and three of it make no
  // whole number of electrons, so the output states no count.
  const std::string open43 = readFile(dataPath("aux/formaldehyde_open43_PM3.out"));
  const CalculationRead printedShare =
      readOutText(replaced(open43, " *  OPEN(M,N)  - THERE ARE 4 ELECTRONS IN 3 LEVELS", " *"));
  ASSERT_TRUE(printedShare.calculation) << printedShare.error.message();
  EXPECT_EQ(printedShare.calculation->orbitals[4].occupancy, 1.333);
  EXPECT_EQ(printedShare.calculation->electronCount, std::nullopt);

  // MOZYME with EIGEN prints canonical MOs, occupied and virtual apart.
  const CalculationRead eigen = readOutFile(dataPath("aux/formaldehyde_mozyme_eigen_PM7.out"));
  ASSERT_TRUE(eigen.calculation) << eigen.error.message();
  const std::vector<MolecularOrbital>& mos = eigen.calculation->orbitals;
  ASSERT_EQ(mos.size(), 10u);
  EXPECT_EQ(mos[5].number, 6);
  EXPECT_EQ(mos[5].occupancy, 2.0);
  EXPECT_EQ(mos[6].occupancy, 0.0);
  EXPECT_EQ(mos[6].coefficients[3], 0.8104);
  EXPECT_EQ(eigen.calculation->basis.size(), 10u);
  EXPECT_EQ(eigen.calculation->electronCount, 12);

  const CalculationRead localized = readOutFile(dataPath("aux/formaldehyde_mozyme_PM7.out"));
  ASSERT_FALSE(localized.calculation);
  EXPECT_NE(localized.error.what.find("MOZYME"), std::string::npos);
  EXPECT_NE(localized.error.what.find("EIGEN"), std::string::npos);

  const std::string water = readFile(dataPath("aux/water_PM7.out"));
  const CalculationRead none = readOutText(replaced(water, "EIGENVECTORS  \n", "\n"));
  ASSERT_FALSE(none.calculation);
  EXPECT_EQ(none.error.what,
            "This output holds no eigenvectors. Run MOPAC with the keywords VECTORS ALLVEC to "
            "print every MO, or give the run's .aux file (keyword AUX).");
  EXPECT_EQ(readOutFile(dataPath("aux/no-such.out")).error.message(),
            dataPath("aux/no-such.out") + ": cannot be opened");
  EXPECT_EQ(readOutFile(dataPath("aux")).error.what, "is a folder");
  std::ifstream folder(dataPath("aux"));
  EXPECT_EQ(readOutFile(folder, "aux").error.what, "the file cannot be read past this line");
  const CalculationRead overlong = readOutText(water + std::string(2 << 20, 'x'));
  EXPECT_EQ(overlong.error.what, "the line is longer than any MOPAC writes");
}

// Damage to an output gives a message at the line that shows it.
TEST(OutReader, DamagedFilesNameTheLine) {
  const std::string water = readFile(dataPath("aux/water_PM7.out"));
  const std::string chloroform = readFile(dataPath("aux/chloroform_PM6.out"));
  const std::string open43 = readFile(dataPath("aux/formaldehyde_open43_PM3.out"));
  const std::string openEcho = " *  OPEN(M,N)  - THERE ARE 4 ELECTRONS IN 3 LEVELS";
  const std::size_t rowsEnd = water.find("\n\n", water.find("S   H    3")) + 1;
  struct Damage {
    const char* name;
    std::string text;
    const char* what;  // part of the message
    int64_t line;      // 0: no particular line
  };
  const Damage damages[] = {
      {"bad coefficient", replaced(water, "0.8551", "0.85x1"), "\"0.85x1\" is not a number", 132},
      {"missing coefficient", replaced(water, "0.3277   -0.4024", "0.3277"), "fewer coefficients",
       137},
      {"extra coefficient", replaced(water, "0.1430    0.6478", "0.1430 0.1 0.6478"),
       "more coefficients", 133},
      {"p row missing",
       replaced(water,
                "  Py  O    1    0.1830   -0.5063    0.6488    0.0000   "
                "-0.4079    0.3505\n",
                ""),
       "the rows of an atom must run S, Px, Py, Pz", 134},
      {"eigenvalue missing", replaced(water, "-29.382", ""), "5 eigenvalues for 6 MOs", 130},
      {"label missing", replaced(water, "1 a1      1 b2", "1 a1"), "5 symmetry labels", 128},
      {"cut inside the last row", water.substr(0, rowsEnd - 30), "fewer coefficients", 137},
      {"cut after the last row", water.substr(0, rowsEnd), "ends inside the eigenvectors", 137},
      {"atom not in the geometry",
       replaced(water, "   3    H       -0.234058338", "   3    F       -0.234058338"),
       "atom 3 (H) is not in the final geometry", 0},
      {"no geometry",
       replaced(replaced(water, "CARTESIAN COORDINATES \n", "\n"), "CARTESIAN COORDINATES\n", "\n"),
       "No table of Cartesian coordinates", 0},
      {"unknown method", replaced(water, "PM7 CALCULATION RESULTS", "PM5 CALCULATION RESULTS"),
       "No Slater exponents are known for the method PM5", 0},
      {"shell without exponents",
       replaced(chloroform, "PM6 CALCULATION RESULTS", "PM3 CALCULATION RESULTS"),
       "PM3 has no d exponent for Cl (atom 1)", 0},
      {"block unlike the first",
       replaced(chloroform, "  S   H    5   -0.0000    0.0000    0.0000    0.0000   -0.2671", "\n"),
       "this block's rows are not those of the first block", 174},
      {"MO twice", replaced(water, "Root No.       1         2", "Root No.       1         1"),
       "MO 1 is printed twice", 126},
      {"no filled levels",
       replaced(replaced(water, "OCCUPIED LEVELS", "OCCUPIED"), "FILLED LEVELS", "FILLED"),
       "no count of filled levels", 0},
      {"open levels of 13 electrons",
       replaced(open43, openEcho, " *  OPEN(M,N)  - THERE ARE 40 ELECTRONS IN 3 LEVELS"),
       "open levels of 13.333 electrons each, but an MO holds 0 to 2", 0},
      {"printed share above 2",
       replaced(replaced(open43, openEcho, " *"), "OCCUPANCY 1.333", "OCCUPANCY 5.000"),
       "open levels of 5.000 electrons each", 0},
  };
  for (const Damage& damage : damages) {
    const CalculationRead read = readOutText(damage.text);
    ASSERT_FALSE(read.calculation) << damage.name;
    EXPECT_NE(read.error.what.find(damage.what), std::string::npos)
        << damage.name << ": " << read.error.message();
    if (damage.line > 0) {
      EXPECT_EQ(read.error.line, damage.line) << damage.name;
    }
    EXPECT_EQ(read.error.source, "test.out");
  }
}

// Every prefix and a run of byte flips: never a crash, and any calculation read is whole.
TEST(OutReader, CutAndFlippedFilesAreReadOrRefused) {
  const std::string chloroform = readFile(dataPath("aux/chloroform_PM6.out"));
  for (std::size_t length = 0; length < chloroform.size(); length += 97) {
    const CalculationRead read = readOutText(chloroform.substr(0, length));
    if (!read.calculation) continue;
    for (const MolecularOrbital& mo : read.calculation->orbitals) {
      ASSERT_EQ(mo.coefficients.size(), read.calculation->basis.size());
    }
  }
  std::mt19937 random(11);
  for (int trial = 0; trial < 300; ++trial) {
    std::string flipped = chloroform;
    for (int i = 0; i < 4; ++i) {
      flipped[random() % flipped.size()] = static_cast<char>(random() & 0xff);
    }
    const CalculationRead read = readOutText(flipped);
    if (!read.calculation) continue;
    for (const MolecularOrbital& mo : read.calculation->orbitals) {
      ASSERT_EQ(mo.coefficients.size(), read.calculation->basis.size());
    }
  }
}

}  // namespace
}  // namespace lobewright
