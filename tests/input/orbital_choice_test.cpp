#include "input/orbital_choice.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "input/aux_reader.h"
#include "support/recording_sink.h"

namespace lobewright {
namespace {

using testing::dataPath;

Calculation readAuxSample(const std::string& name) {
  CalculationRead read = readAuxFile(dataPath("aux/" + name));
  if (!read.calculation) {
    ADD_FAILURE() << read.error.message();
    return {};
  }
  return std::move(*read.calculation);
}

int numberOf(const Calculation& calculation, const OrbitalFound& found) {
  if (!found.index) {
    ADD_FAILURE() << found.error;
    return -1;
  }
  return calculation.orbitals[*found.index].number;
}

TEST(OrbitalChoice, FindsMosInAFileThatKeepsTwentyOfThem) {
  const Calculation caffeine = readAuxSample("caffeine_PM7_default.aux");
  EXPECT_EQ(numberOf(caffeine, findOrbital(caffeine, 28, Spin::none)), 28);
  EXPECT_EQ(numberOf(caffeine, findOrbital(caffeine, 47, Spin::none)), 47);
  EXPECT_EQ(numberOf(caffeine, findHomo(caffeine, Spin::none)), 37);
  EXPECT_EQ(numberOf(caffeine, findLumo(caffeine, Spin::none)), 38);
  EXPECT_EQ(findOrbital(caffeine, 3, Spin::none).error,
            "MO 3 is not in this file, which holds MOs 28 to 47. Run MOPAC with AUX(MOS=99999) "
            "to keep every MO.");
  EXPECT_EQ(findOrbital(caffeine, 67, Spin::none).error,
            "MO 67 does not exist: the molecule has only 66 MOs.");
  EXPECT_EQ(findOrbital(caffeine, 0, Spin::none).error,
            "There is no MO 0: MOs are counted from 1.");
}

TEST(OrbitalChoice, KeepsTheSpinSetsOfAnOpenShellApart) {
  const Calculation radical = readAuxSample("methylradical_PM7.aux");
  const auto spinOf = [&](const OrbitalFound& found) {
    return found.index ? radical.orbitals[*found.index].spin : Spin::none;
  };
  EXPECT_EQ(numberOf(radical, findHomo(radical, Spin::alpha)), 4);
  EXPECT_EQ(numberOf(radical, findLumo(radical, Spin::alpha)), 5);
  EXPECT_EQ(numberOf(radical, findHomo(radical, Spin::beta)), 3);
  EXPECT_EQ(numberOf(radical, findLumo(radical, Spin::beta)), 4);
  EXPECT_EQ(spinOf(findHomo(radical, Spin::beta)), Spin::beta);
  // Without a spin the alpha set answers.
  EXPECT_EQ(spinOf(findOrbital(radical, 2, Spin::none)), Spin::alpha);
  EXPECT_EQ(findOrbital(radical, 9, Spin::beta).error,
            "Beta MO 9 does not exist: the molecule has only 7 MOs.");

  const Calculation formaldehyde = readAuxSample("formaldehyde_PM7.aux");
  EXPECT_EQ(numberOf(formaldehyde, findOrbital(formaldehyde, 6, Spin::alpha)), 6);
  const std::string noBeta =
      "This file holds no beta orbitals: it comes from a restricted (RHF) calculation, whose MOs "
      "serve both spins. Run MOPAC with the keyword UHF for separate alpha and beta orbitals.";
  EXPECT_EQ(findOrbital(formaldehyde, 6, Spin::beta).error, noBeta);
  EXPECT_EQ(findHomo(formaldehyde, Spin::beta).error, noBeta);
  EXPECT_EQ(findLumo(formaldehyde, Spin::beta).error, noBeta);
}

// A calculation of ten AOs whose file holds the MOs from `first` on with these occupancies.
Calculation tenAoCalculation(int first, const std::vector<double>& occupancies, Spin spin,
                             std::optional<int> electrons) {
  Calculation calculation;
  calculation.atoms.push_back({"C", {}});
  calculation.basis.resize(10);
  for (std::size_t k = 0; k < occupancies.size(); ++k) {
    MolecularOrbital& orbital = calculation.orbitals.emplace_back();
    orbital.number = first + static_cast<int>(k);
    orbital.spin = spin;
    orbital.occupancy = occupancies[k];
    orbital.coefficients.resize(10);
  }
  (spin == Spin::beta    ? calculation.betaElectronCount
   : spin == Spin::alpha ? calculation.alphaElectronCount
                         : calculation.electronCount) = electrons;
  return calculation;
}

TEST(OrbitalChoice, PlacesHomoAndLumoFromOccupanciesOrTheElectronCount) {
  const struct {
    const char* name;
    int first;
    std::vector<double> occupancies;
    Spin spin;
    std::optional<int> electrons;
    int homo;
    int lumo;
    const char* error;
  } cases[] = {
      {"closed shell, all MOs", 1, {2, 2, 2, 0, 0, 0, 0, 0, 0, 0}, Spin::none, 6, 3, 4, ""},
      {"the occupancies win over the count",
       1,
       {2, 2, 2, 0, 0, 0, 0, 0, 0, 0},
       Spin::none,
       99,
       3,
       4,
       ""},
      {"singly occupied", 1, {2, 2, 1, 0, 0, 0, 0, 0, 0, 0}, Spin::none, {}, 3, 4, ""},
      {"fractional, degenerate",
       1,
       {2, 0.6667, 0.6667, 0.6667, 0, 0, 0, 0, 0, 0},
       Spin::none,
       {},
       4,
       5,
       ""},
      {"a window around the gap", 3, {2, 2, 0, 0}, Spin::none, {}, 4, 5, ""},
      {"every MO full", 1, {2, 2, 2, 2, 2, 2, 2, 2, 2, 2}, Spin::none, {}, 10, 0, ""},
      {"no electrons", 1, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, Spin::none, {}, 0, 1, ""},
      {"window all occupied, count places the HOMO above it",
       1,
       {2, 2, 2, 2},
       Spin::none,
       12,
       6,
       7,
       ""},
      {"window all occupied, odd count", 3, {2, 2}, Spin::none, 11, 6, 7, ""},
      {"window all empty, count places the HOMO below it", 8, {0, 0, 0}, Spin::none, 12, 6, 7, ""},
      {"spin set window, one electron each", 2, {1, 1}, Spin::beta, 5, 5, 6, ""},
      {"window all occupied, no count",
       1,
       {2, 2, 2, 2},
       Spin::none,
       {},
       0,
       0,
       "This file does not say how many electrons the molecule has, and its MOs 1 to 4 do not "
       "show where the occupied ones end. Run MOPAC with AUX(MOS=99999) to keep every MO."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Calculation calculation = tenAoCalculation(c.first, c.occupancies, c.spin, c.electrons);
    const FrontierOrbitals frontier = frontierOrbitals(calculation, c.spin);
    EXPECT_EQ(frontier.error, c.error);
    EXPECT_EQ(frontier.homo, c.homo);
    EXPECT_EQ(frontier.lumo, c.lumo);
  }
}

TEST(OrbitalChoice, SaysWhyAHomoOrLumoCannotBeDrawn) {
  const Calculation aboveWindow = tenAoCalculation(1, {2, 2, 2, 2}, Spin::none, 12);
  EXPECT_EQ(findHomo(aboveWindow, Spin::none).error,
            "MO 6 is not in this file, which holds MOs 1 to 4. Run MOPAC with AUX(MOS=99999) to "
            "keep every MO.");
  const Calculation full = tenAoCalculation(1, std::vector<double>(10, 2.0), Spin::none, {});
  EXPECT_EQ(findLumo(full, Spin::none).error, "All 10 MOs are occupied, so there is no LUMO.");
  const Calculation empty = tenAoCalculation(1, std::vector<double>(10, 0.0), Spin::alpha, {});
  EXPECT_EQ(findHomo(empty, Spin::alpha).error,
            "The molecule has no occupied alpha MOs, so there is no HOMO.");
  EXPECT_EQ(numberOf(empty, findLumo(empty, Spin::alpha)), 1);
}

}  // namespace
}  // namespace lobewright
