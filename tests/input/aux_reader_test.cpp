#include "input/aux_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/golden.h"
#include "support/malformed_inputs.h"
#include "support/recording_sink.h"

namespace lobewright {
namespace {

using testing::dataPath;
using testing::readFile;
using testing::replaced;

std::string sample(const std::string& name) { return readFile(dataPath("aux/" + name)); }

CalculationRead readAuxText(const std::string& text) {
  std::istringstream in(text);
  return readAuxFile(in, "test.aux");
}

Calculation readOrFail(const std::string& text) {
  CalculationRead read = readAuxText(text);
  if (!read.calculation) {
    ADD_FAILURE() << read.error.message();
    return {};
  }
  return std::move(*read.calculation);
}

// The text from the line that starts with `heading` up to the next heading, removed.
std::string withoutSection(const std::string& text, const std::string& heading) {
  const std::size_t start = text.find("\n " + heading) + 1;
  std::size_t end = text.find('\n', start) + 1;
  while (end < text.size() && text.find('=', end) > text.find('\n', end)) {
    end = text.find('\n', end) + 1;
  }
  return text.substr(0, start) + text.substr(end);
}

struct SampleFacts {
  const char* file;
  const char* method;
  std::size_t atoms;
  std::size_t aos;
  std::size_t orbitals;
  int firstMo;
  Spin spin;
  int electrons;
  // The first atom as the final geometry places it.
  Vec3 firstAtom;
  // The first coefficient of the first MO the file holds, its energy and occupancy.
  double firstCoefficient;
  double firstEnergy;
  double firstOccupancy;
};

const SampleFacts kAuxSamples[] = {
    {"formaldehyde_PM7.aux",
     "PM7",
     4,
     10,
     10,
     1,
     Spin::none,
     12,
     {1.0768, 0.02441, -0.09125},
     0.4427953343074,
     -30.708062971799,
     2.0},
    {"chloroform_PM7.aux",
     "PM7",
     5,
     32,
     32,
     1,
     Spin::none,
     26,
     {0.92994, 0.07182, -0.03308},
     0.0,
     0.0,
     2.0},
    {"thiophene_PM7.aux", "PM7", 9, 29, 29, 1, Spin::none, 26, {0.0, 0.0, 0.0}, 0.0, 0.0, 2.0},
    // Default AUX: four decimals, MOs 28 to 47 only, and a geometry optimisation whose last
    // ATOM_X_OPT differs from the input ATOM_X.
    {"caffeine_PM7_default.aux",
     "PM7",
     24,
     66,
     20,
     28,
     Spin::none,
     74,
     {-3.2651, -1.1624, 0.0231},
     0.0002,
     -13.682,
     2.0},
    {"methylradical_PM7.aux",
     "PM7",
     4,
     7,
     14,
     1,
     Spin::alpha,
     7,
     {0.0, 0.0, 0.0},
     0.7659789969307,
     -23.367457200615,
     1.0},
};

TEST(AuxReader, ReadsTheSamples) {
  for (const SampleFacts& facts : kAuxSamples) {
    SCOPED_TRACE(facts.file);
    const CalculationRead read = readAuxFile(dataPath(std::string("aux/") + facts.file));
    ASSERT_TRUE(read.calculation) << read.error.message();
    const Calculation& calculation = *read.calculation;
    EXPECT_EQ(calculation.method, facts.method);
    EXPECT_EQ(calculation.atoms.size(), facts.atoms);
    EXPECT_EQ(calculation.basis.size(), facts.aos);
    EXPECT_EQ(calculation.overlap.size(), facts.aos);
    ASSERT_EQ(calculation.orbitals.size(), facts.orbitals);
    EXPECT_EQ(calculation.electronCount, facts.electrons);
    const MolecularOrbital& first = calculation.orbitals.front();
    EXPECT_EQ(first.number, facts.firstMo);
    EXPECT_EQ(first.spin, facts.spin);
    for (const MolecularOrbital& orbital : calculation.orbitals) {
      EXPECT_EQ(orbital.coefficients.size(), facts.aos);
    }
    if (facts.firstCoefficient != 0.0) {
      EXPECT_EQ(first.coefficients.front(), facts.firstCoefficient);
      EXPECT_EQ(first.energy, facts.firstEnergy);
    }
    EXPECT_EQ(first.occupancy, facts.firstOccupancy);
    if (facts.firstAtom != Vec3{}) {
      EXPECT_EQ(calculation.atoms.front().position, facts.firstAtom);
    }
  }
}

TEST(AuxReader, ReadsBasisOverlapAndLabelsInDetail) {
  const Calculation chloroform = readOrFail(sample("chloroform_PM7.aux"));
  ASSERT_EQ(chloroform.basis.size(), 32u);
  EXPECT_EQ(chloroform.atoms[0].symbol, "Cl");
  EXPECT_EQ(chloroform.atoms[4].symbol, "H");
  const BasisFunction& clX2 = chloroform.basis[4];
  EXPECT_EQ(clX2.atom, 0);
  EXPECT_EQ(clX2.type, AoType::x2);
  EXPECT_EQ(clX2.n, 3);
  EXPECT_EQ(clX2.zeta, 0.949994);
  const BasisFunction& hydrogen = chloroform.basis[31];
  EXPECT_EQ(hydrogen.atom, 4);
  EXPECT_EQ(hydrogen.type, AoType::s);
  EXPECT_EQ(hydrogen.n, 1);
  const AoType dOrder[] = {AoType::x2, AoType::xz, AoType::z2, AoType::yz, AoType::xy};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(chloroform.basis[4 + i].type, dOrder[i]);

  const Calculation formaldehyde = readOrFail(sample("formaldehyde_PM7.aux"));
  EXPECT_EQ(formaldehyde.overlap(4, 0), 0.0787345308764);
  EXPECT_EQ(formaldehyde.overlap(0, 4), 0.0787345308764);
  EXPECT_EQ(formaldehyde.overlap(9, 8), 0.1417537924017);
  EXPECT_EQ(formaldehyde.overlap(9, 9), 1.0);
  EXPECT_EQ(formaldehyde.orbitals[0].symmetry, "1a1");
  EXPECT_EQ(formaldehyde.orbitals[9].symmetry, "3b2");
  EXPECT_EQ(formaldehyde.orbitals[9].coefficients[9], -0.5049643920153);
  EXPECT_EQ(formaldehyde.orbitals[6].occupancy, 0.0);
}

TEST(AuxReader, KeepsAlphaAndBetaSetsApart) {
  const Calculation radical = readOrFail(sample("methylradical_PM7.aux"));
  ASSERT_EQ(radical.orbitals.size(), 14u);
  EXPECT_EQ(radical.alphaElectronCount, 4);
  EXPECT_EQ(radical.betaElectronCount, 3);
  const double alphaOccupancies[] = {1, 1, 1, 1, 0, 0, 0};
  const double betaOccupancies[] = {1, 1, 1, 0, 0, 0, 0};
  for (int k = 0; k < 7; ++k) {
    const MolecularOrbital& alpha = radical.orbitals[k];
    const MolecularOrbital& beta = radical.orbitals[7 + k];
    EXPECT_EQ(alpha.spin, Spin::alpha);
    EXPECT_EQ(beta.spin, Spin::beta);
    EXPECT_EQ(alpha.number, k + 1);
    EXPECT_EQ(beta.number, k + 1);
    EXPECT_EQ(alpha.occupancy, alphaOccupancies[k]);
    EXPECT_EQ(beta.occupancy, betaOccupancies[k]);
  }
  EXPECT_EQ(radical.orbitals[3].energy, -9.907000543217);
  EXPECT_EQ(radical.orbitals[10].energy, 0.602481097602);
  EXPECT_EQ(radical.orbitals[7].coefficients[0], 0.7484183429536);
  EXPECT_EQ(radical.orbitals[1].symmetry, "1e'");
}

// The same calculation, written differently, must read the same.
TEST(AuxReader, ReadsEveryWayMopacWritesTheSameData) {
  const std::string original = sample("formaldehyde_PM7.aux");
  const Calculation expected = readOrFail(original);

  std::string crLf;
  for (const char c : original) crLf += c == '\n' ? std::string("\r\n") : std::string(1, c);

  // Sections in another order: the atoms and basis after the orbitals.
  std::string reordered = original;
  const std::size_t basisStart = reordered.find(" ATOM_EL[04]=");
  const std::size_t basisEnd = reordered.find(" NUM_ELECTRONS=");
  const std::string basis = reordered.substr(basisStart, basisEnd - basisStart);
  reordered.erase(basisStart, basis.size());
  reordered.insert(reordered.find(" CPU_TIME:SECONDS"), basis);

  const struct {
    const char* name;
    std::string text;
  } variants[] = {
      {"CR LF", crLf},
      {"counts printed as stars",
       replaced(replaced(replaced(original, "EIGENVECTORS[0100]", "EIGENVECTORS[*****]"),
                         "OVERLAP_MATRIX[0055]", "OVERLAP_MATRIX[*****]"),
                "AO_ZETA[010]", "AO_ZETA[***]")},
      {"numbers run together",
       replaced(replaced(original, "  -30.708062971799  -23.022046788360",
                         "-30.708062971799-23.022046788360"),
                " 2.0000000000000 2.0000000000000", "+2.0000000000000+2.0000000000000")},
      {"Fortran exponents", replaced(original, "  -30.708062971799", "  -0.30708062971799D+02")},
      {"sections in another order", reordered},
      {"no line end at the end", original.substr(0, original.find_last_not_of('\n') + 1)},
  };
  for (const auto& variant : variants) {
    SCOPED_TRACE(variant.name);
    const Calculation calculation = readOrFail(variant.text);
    ASSERT_EQ(calculation.orbitals.size(), expected.orbitals.size());
    for (std::size_t k = 0; k < expected.orbitals.size(); ++k) {
      EXPECT_EQ(calculation.orbitals[k].coefficients, expected.orbitals[k].coefficients);
      EXPECT_EQ(calculation.orbitals[k].energy, expected.orbitals[k].energy);
      EXPECT_EQ(calculation.orbitals[k].occupancy, expected.orbitals[k].occupancy);
    }
    EXPECT_EQ(calculation.overlap.lowerTriangle(), expected.overlap.lowerTriangle());
    ASSERT_EQ(calculation.basis.size(), expected.basis.size());
    for (std::size_t i = 0; i < expected.basis.size(); ++i) {
      EXPECT_EQ(calculation.basis[i].zeta, expected.basis[i].zeta);
    }
    EXPECT_EQ(calculation.atoms[1].position, expected.atoms[1].position);
  }
}

TEST(AuxReader, TakesTheLastGeometryOfAnOptimisation) {
  const std::string original = sample("formaldehyde_PM7.aux");
  const std::string moved = " ATOM_X_UPDATED:ANGSTROMS[012]=\n 1 2 3\n 4 5 6\n 7 8 9\n 10 11 12\n";
  // An update after ATOM_X_OPT is the later geometry; one before it is not.
  const std::string updateAfter =
      replaced(original, " ATOM_CHARGES[04]=", moved + " ATOM_CHARGES[04]=");
  const std::string updateBefore = replaced(original, " NUM_ELECTRONS=", moved + " NUM_ELECTRONS=");
  EXPECT_EQ(readOrFail(updateAfter).atoms[3].position, (Vec3{10, 11, 12}));
  EXPECT_EQ(readOrFail(updateBefore).atoms[3].position, (Vec3{0.48935, 0.94968, 0.02075}));
  // Without a final geometry the input geometry is taken.
  const std::string inputOnly = withoutSection(original, "ATOM_X_OPT");
  EXPECT_EQ(readOrFail(replaced(inputOnly, "    0.4893500000000    0.9496800000000",
                                "    0.5000000000000    0.9496800000000"))
                .atoms[3]
                .position.x,
            0.5);
}

struct AuxDamage {
  const char* name;
  std::string text;
  int64_t line;
  const char* message;  // a part of the message
};

TEST(AuxReader, RefusesDamagedFilesWithTheLineAndTheFault) {
  const std::string good = sample("formaldehyde_PM7.aux");
  const std::string truncated = good.substr(0, good.find("  -0.0000027922053"));
  std::string tooLong(2 << 20, '1');
  tooLong += '\n';
  std::string longLine = good;
  longLine.insert(longLine.find(" TOTAL_DENSITY"), tooLong);

  const AuxDamage damages[] = {
      {"empty file", "", 0, "there is no ATOM_EL section"},
      {"binary bytes",
       std::string("\x7f"
                   "ELF\x02\x01\x01\0\0\0\0=\xff",
                   14),
       0, "there is no ATOM_EL section"},
      {"truncated in the eigenvectors", truncated, 74,
       "EIGENVECTORS announces 100 entries, but only 20 follow"},
      {"no ATOM_PQN", withoutSection(good, "ATOM_PQN"), 0, "there is no ATOM_PQN section"},
      {"no occupancies", withoutSection(good, "MOLECULAR_ORBITAL_OCCUPANCIES"), 0,
       "there is no MOLECULAR_ORBITAL_OCCUPANCIES section"},
      {"no geometry", withoutSection(withoutSection(good, "ATOM_X_OPT"), "ATOM_X:"), 0,
       "there is no ATOM_X section"},
      {"no eigenvectors", withoutSection(withoutSection(good, "EIGENVECTORS"), "SET_OF_MOS"), 0,
       "holds no molecular orbitals"},
      {"eigenvectors without their set", withoutSection(good, "SET_OF_MOS"), 73,
       "EIGENVECTORS comes without SET_OF_MOS"},
      {"count too large", replaced(good, "AO_ZETA[010]", "AO_ZETA[011]"), 27,
       "AO_ZETA announces 11 entries, but only 10 follow"},
      {"count too small", replaced(good, "AO_ZETA[010]", "AO_ZETA[009]"), 28,
       "AO_ZETA holds more than the 9 entries its heading announces"},
      {"count not a number", replaced(good, "AO_ZETA[010]", "AO_ZETA[01x]"), 27,
       "the count \"01x\" of AO_ZETA is not a number"},
      {"junk in a number", replaced(good, "0.4427953343074", "0.44279x3343074"), 75,
       "\"0.44279x3343074\" is not a number in EIGENVECTORS"},
      {"not finite", replaced(good, "0.4427953343074", "nan"), 75,
       "\"nan\" is not a number in EIGENVECTORS"},
      {"out of the double range", replaced(good, "-30.708062971799", "-1.0D+999"), 96,
       "\"-1.0D+999\" is not a number in EIGENVALUES"},
      {"an overlong line", longLine, 85, "longer than"},
      {"atom index out of range", replaced(good, "  2  2  3  4\n", "  2  2  3  5\n"), 24,
       "AO_ATOMINDEX gives 5 where 1 to 4 is possible"},
      {"atom index not a number", replaced(good, "  2  2  3  4\n", "  2  2  3  4.0\n"), 24,
       "\"4.0\" in AO_ATOMINDEX is not a whole number"},
      {"unknown element", replaced(good, "  C  O  H  H \n", "  C  O  H  Q \n"), 15,
       "\"Q\" in ATOM_EL is not an element symbol"},
      {"unknown AO type", replaced(good, "PY PZ  S  S", "PY PW  S  S"), 26,
       "\"PW\" in ATOM_SYMTYPE is not an AO type"},
      {"n too small for a p function",
       replaced(good, " 2 2 2 2 2 2 2 2 1 1", " 2 2 2 2 2 2 2 1 1 1"), 30,
       "ATOM_PQN gives n = 1 for AO 8, a PZ function"},
      {"n beyond 7", replaced(good, " 2 2 2 2 2 2 2 2 1 1", " 2 2 2 2 2 2 2 2 1 8"), 30,
       "ATOM_PQN gives 8 where 1 to 7 is possible"},
      {"zero exponent", replaced(good, "1.9422440000000", "0.0000000000000"), 28,
       "AO_ZETA gives the exponent 0 for AO 1; it must be positive"},
      {"too few coordinates",
       replaced(replaced(good, "ATOM_X_OPT:ANGSTROMS[012]", "ATOM_X_OPT:ANGSTROMS[009]"),
                "    0.4893500000000    0.9496800000000    0.0207500000000\n ATOM_CHARGES",
                " ATOM_CHARGES"),
       56, "ATOM_X_OPT holds 9 entries, but there should be 12 for the 4 atoms of ATOM_EL"},
      {"coordinates in bohr", replaced(good, "ATOM_X_OPT:ANGSTROMS", "ATOM_X_OPT:BOHRS"), 56,
       "only ANGSTROMS are read"},
      {"MO set beyond the basis",
       replaced(good, "SET_OF_MOS=       1      10", "SET_OF_MOS=       1      11"), 73,
       "SET_OF_MOS gives 11 where 1 to 10 is possible"},
      {"MO set reversed",
       replaced(good, "SET_OF_MOS=       1      10", "SET_OF_MOS=       5      4"), 73,
       "SET_OF_MOS gives 4 where 5 to 10 is possible"},
      {"coefficients do not fit the set",
       replaced(replaced(good, "SET_OF_MOS=       1      10", "SET_OF_MOS=       1       9"),
                "EIGENVECTORS[0100]", "EIGENVECTORS[*****]"),
       74, "EIGENVECTORS holds 100 entries, but there should be 90 for MOs 1 to 9 over 10 AOs"},
      {"energies do not fit the set",
       replaced(good, "EIGENVALUES[010]=\n", "EIGENVALUES[011]=\n 1.0\n"), 95,
       "EIGENVALUES holds 11 entries, but there should be 10 for MOs 1 to 10"},
      {"occupancy above two",
       replaced(good, " 2.0000000000000 0.0000000000000", " 2.0000000000000 3.0000000000000"), 98,
       "gives 3 electrons for MO 7"},
      {"overlap of the wrong size",
       replaced(good, "OVERLAP_MATRIX[0055]=\n", "OVERLAP_MATRIX[0056]=\n 1.0\n"), 65,
       "OVERLAP_MATRIX holds 56 entries, but there should be 55 for the lower triangle over 10 "
       "AOs"},
  };
  for (const AuxDamage& damage : damages) {
    SCOPED_TRACE(damage.name);
    const CalculationRead read = readAuxText(damage.text);
    ASSERT_FALSE(read.calculation);
    EXPECT_EQ(read.error.source, "test.aux");
    EXPECT_EQ(read.error.line, damage.line) << read.error.message();
    EXPECT_NE(read.error.what.find(damage.message), std::string::npos) << read.error.message();
  }
}

TEST(AuxReader, ReportsAFileThatCannotBeOpened) {
  const CalculationRead read = readAuxFile(dataPath("aux/no-such-file.aux"));
  ASSERT_FALSE(read.calculation);
  EXPECT_NE(read.error.message().find("no-such-file.aux: cannot open the file"), std::string::npos);
}

}  // namespace
}  // namespace lobewright
