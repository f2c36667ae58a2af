// MOPAC 22 jobs as users run them (tests/data/jobs, each with its deck): MOZYME with and without
// EIGEN, failed runs, an optimisation whose .mgf keeps some MOs, open shells.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "input/aux_reader.h"
#include "input/elements.h"
#include "input/mgf_reader.h"
#include "input/orbital_choice.h"
#include "input/out_reader.h"
#include "support/test_files.h"

namespace lobewright {
namespace {

using testing::dataPath;
using testing::readSample;

CalculationRead readJob(const std::string& name) {
  const std::string path = dataPath("jobs/" + name);
  if (name.ends_with(".aux")) return readAuxFile(path);
  if (name.ends_with(".mgf")) return readMgfFile(path);
  return readOutFile(path);
}

Calculation job(const std::string& name) {
  CalculationRead read = readJob(name);
  if (!read.calculation) {
    ADD_FAILURE() << name << ": " << read.error.message();
    return {};
  }
  return std::move(*read.calculation);
}

// MOZYME EIGEN writes its .aux energies out of order: with every MO kept they are sorted back and
// agree with the .out file's; with some kept they are unknown, and the note says why.
TEST(RealJobs, MozymeEigenEnergiesAreSortedBackOrUnknown) {
  const Calculation aux = job("formaldehyde_mozyme_eigen_PM7.aux");
  const Calculation out = job("formaldehyde_mozyme_eigen_PM7.out");
  ASSERT_EQ(aux.orbitals.size(), out.orbitals.size());
  for (std::size_t i = 0; i < aux.orbitals.size(); ++i) {
    ASSERT_TRUE(aux.orbitals[i].energy && out.orbitals[i].energy);
    EXPECT_NEAR(*aux.orbitals[i].energy, *out.orbitals[i].energy, 5e-4) << "MO " << i + 1;
  }
  EXPECT_NE(aux.energyNote.find("sorted"), std::string::npos);

  const Calculation some = job("formaldehyde_mozyme_eigen_mos3_PM7.aux");
  ASSERT_EQ(some.orbitals.size(), 6u);
  for (const MolecularOrbital& mo : some.orbitals) EXPECT_FALSE(mo.energy) << mo.number;
  EXPECT_NE(some.energyNote.find("MOs 4 to 9"), std::string::npos) << some.energyNote;
  EXPECT_TRUE(readAuxFile(dataPath("aux/formaldehyde_PM7.aux")).calculation->energyNote.empty());
}

// The density matrix over the orthogonalised AOs: sum over the MOs of n c c^T.
SymmetricMatrix densityOfMos(const Calculation& calculation) {
  SymmetricMatrix density(calculation.basis.size());
  for (std::size_t i = 0; i < calculation.basis.size(); ++i) {
    for (std::size_t j = 0; j <= i; ++j) {
      for (const MolecularOrbital& mo : calculation.orbitals) {
        density(i, j) += mo.occupancy * mo.coefficients[i] * mo.coefficients[j];
      }
    }
  }
  return density;
}

// MOZYME without EIGEN: the LMOs in MOPAC's order, over the orthogonalised AOs as canonical MOs
// are, so that their occupied sum is the density of the same run's canonical MOs. MOZYME's own
// DENSITY_MATRIX, whose elements stand out of place, is not taken. HOMO and LUMO are refused
// with the advice.
TEST(RealJobs, LocalizedOrbitalsAreReadAndMakeTheCanonicalDensity) {
  const Calculation lmo = job("formaldehyde_mozyme_lmo_PM7.aux");
  ASSERT_TRUE(lmo.localized);
  ASSERT_EQ(lmo.orbitals.size(), 10u);
  EXPECT_EQ(lmo.orbitals[0].number, 1);
  EXPECT_EQ(lmo.orbitals[0].energy, -25.933408468309);
  EXPECT_EQ(lmo.orbitals[6].occupancy, 0.0);
  EXPECT_TRUE(lmo.totalDensity.empty());
  const SymmetricMatrix fromLmos = densityOfMos(lmo);
  const SymmetricMatrix fromMos = densityOfMos(job("formaldehyde_mozyme_eigen_PM7.aux"));
  double worst = 0.0;
  for (std::size_t i = 0; i < fromLmos.size(); ++i) {
    for (std::size_t j = 0; j <= i; ++j) {
      worst = std::max(worst, std::fabs(fromLmos(i, j) - fromMos(i, j)));
    }
  }
  EXPECT_LT(worst, 1e-9);
  const FrontierOrbitals frontier = frontierOrbitals(lmo, Spin::none);
  EXPECT_NE(frontier.error.find("MOZYME EIGEN"), std::string::npos) << frontier.error;
  EXPECT_TRUE(findOrbital(lmo, 3, Spin::alpha).index);
}

// A run MOPAC reports as failed is refused with MOPAC's own words, never with advice about
// keywords the user gave.
TEST(RealJobs, FailedRunsQuoteMopac) {
  struct Case {
    const char* file;
    const char* quote;
  };
  for (const Case c : {Case{"failed_scf_PM7.aux", "\"THE SCF CALCULATION FAILED.\" \"UNABLE TO"},
                       Case{"failed_scf_PM7.out", "\"THE SCF CALCULATION FAILED.\" \"UNABLE TO"},
                       Case{"failed_spin_PM7.out", "\"SPECIFIED SPIN COMPONENT NOT SPANNED"},
                       Case{"failed_charge_PM7.aux", "\"CHARGE SPECIFIED IS INCORRECT."},
                       Case{"failed_charge_PM7.out", "\"CHARGE SPECIFIED IS INCORRECT."}}) {
    const CalculationRead read = readJob(c.file);
    ASSERT_FALSE(read.calculation) << c.file;
    const std::string message = read.error.message();
    EXPECT_NE(message.find("MOPAC reports that this run failed: "), std::string::npos) << message;
    EXPECT_NE(message.find(c.quote), std::string::npos) << message;
    EXPECT_EQ(message.find("VECTORS"), std::string::npos) << message;
  }
}

// A large molecule's blocks may carry bare MO numbers where the symmetry labels stand (MOPAC 22
// on a 305-atom alkane): the MOs are read without labels.
TEST(RealJobs, BareMoNumbersAboveTheEigenvaluesAreNoLabels) {
  const std::string text = readSample("aux/formaldehyde_PM7.out");
  std::istringstream lines(text);
  std::string edited;
  std::string numbers;
  for (std::string line; std::getline(lines, line);) {
    if (line.find("Root No.") != std::string::npos) {
      numbers = line.substr(line.find("No.") + 3);
    } else if (!numbers.empty() && line.find_first_not_of(' ') != std::string::npos) {
      line = "        " + numbers;
      numbers.clear();
    }
    edited += line + '\n';
  }
  std::istringstream in(edited);
  const CalculationRead bare = readOutFile(in, "bare.out");
  ASSERT_TRUE(bare.calculation) << bare.error.message();
  const Calculation labelled = job("../aux/formaldehyde_PM7.out");
  ASSERT_EQ(bare.calculation->orbitals.size(), labelled.orbitals.size());
  for (std::size_t i = 0; i < labelled.orbitals.size(); ++i) {
    EXPECT_EQ(bare.calculation->orbitals[i].symmetry, "");
    EXPECT_EQ(bare.calculation->orbitals[i].energy, labelled.orbitals[i].energy);
  }
}

// Without ALLVEC an optimisation's .mgf keeps only the MOs around the HOMO: they keep MOPAC's
// numbers (ethanol's 2 to 17 of 18), placed by the electrons of the atoms and their charges.
TEST(RealJobs, AnMgfSubsetKeepsMopacsNumbers) {
  const Calculation some = job("ethanol_opt_PM7.mgf");
  const Calculation every = job("ethanol_opt_allvec_PM7.mgf");
  ASSERT_EQ(some.orbitals.size(), 16u);
  EXPECT_EQ(some.orbitals.front().number, 2);
  EXPECT_EQ(some.orbitals.back().number, 17);
  for (const MolecularOrbital& mo : some.orbitals) {
    const OrbitalFound same = findOrbital(every, mo.number, Spin::none);
    ASSERT_TRUE(same.index);
    EXPECT_NEAR(*mo.energy, *every.orbitals[*same.index].energy, 1e-3) << mo.number;
  }
  const OrbitalFound first = findOrbital(some, 1, Spin::none);
  EXPECT_NE(first.error.find("GRAPHF ALLVEC"), std::string::npos) << first.error;
  EXPECT_EQ(frontierOrbitals(some, Spin::none).homo, 10);

  // Without the charges the MOs cannot be placed: refused rather than numbered from 1.
  std::istringstream original(readSample("jobs/ethanol_opt_PM7.mgf"));
  std::string noCharges;
  int lineNumber = 0;
  for (std::string line; std::getline(original, line); ++lineNumber) {
    // The nine atom lines follow the heading; the charge is their last number.
    if (lineNumber >= 1 && lineNumber <= 9) line.erase(line.find_last_of(' '));
    noCharges += line + '\n';
  }
  std::istringstream in(noCharges);
  const CalculationRead refused = readMgfFile(in, "ethanol.mgf");
  ASSERT_FALSE(refused.calculation);
  EXPECT_NE(refused.error.message().find("GRAPHF ALLVEC"), std::string::npos);

  for (const auto& [z, electrons] : {std::pair{1, 1},
                                     {8, 6},
                                     {17, 7},
                                     {22, 4},
                                     {29, 11},
                                     {30, 2},
                                     {35, 7},
                                     {79, 11},
                                     {80, 2},
                                     {82, 4}}) {
    EXPECT_EQ(valenceElectrons(z), electrons) << z;
  }
  EXPECT_FALSE(valenceElectrons(60));
}

// The advice for an MO the file lacks names the keyword of the file's own kind.
TEST(RealJobs, KeepingEveryMoIsAdvisedForTheFilesOwnKind) {
  struct Case {
    const char* file;
    const char* advice;
  };
  for (const Case c : {Case{"../aux/caffeine_PM7_default.out", "VECTORS ALLVEC"},
                       Case{"formaldehyde_mozyme_eigen_mos3_PM7.aux", "AUX(MOS=99999)"},
                       Case{"ethanol_opt_PM7.mgf", "GRAPHF ALLVEC"}}) {
    const OrbitalFound found = findOrbital(job(c.file), 1, Spin::none);
    EXPECT_NE(found.error.find(c.advice), std::string::npos) << c.file << ": " << found.error;
  }
}

}  // namespace
}  // namespace lobewright
