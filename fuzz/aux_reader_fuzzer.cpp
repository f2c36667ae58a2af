// Reads any bytes as a MOPAC .aux file. A successful read must leave a calculation whose every
// part fits the others, and whose HOMO, when it has one, evaluates to finite values.
#include <algorithm>
#include <cmath>
#include <sstream>

#include "fuzz/fuzz_input.h"
#include "input/aux_reader.h"
#include "input/orbital_choice.h"
#include "orbital/exact_orbital.h"

namespace lobewright::fuzzing {
namespace {

void checkCalculation(const Calculation& calculation) {
  const std::size_t aoCount = calculation.basis.size();
  require(!calculation.atoms.empty() && aoCount > 0, "no atoms or no basis");
  require(basisProblem(calculation).empty(), "the basis cannot be evaluated");
  require(!calculation.orbitals.empty(), "no orbitals");
  for (const MolecularOrbital& orbital : calculation.orbitals) {
    require(orbital.coefficients.size() == aoCount, "coefficients do not fit the basis");
    require(orbital.number >= 1 && orbital.number <= static_cast<int>(aoCount),
            "MO number out of range");
  }
  require(calculation.overlap.empty() || calculation.overlap.size() == aoCount,
          "overlap matrix does not fit the basis");
  for (const CalculationAtom& atom : calculation.atoms) {
    require(std::isfinite(atom.position.x) && std::isfinite(atom.position.y) &&
                std::isfinite(atom.position.z),
            "coordinate not finite");
  }
}

}  // namespace
}  // namespace lobewright::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace lobewright;
  using namespace lobewright::fuzzing;
  std::istringstream in(asText(data, size));
  const CalculationRead read = readAuxFile(in, "fuzz.aux");
  if (!read.calculation) {
    requireExplained(read.error);
    return 0;
  }
  const Calculation& calculation = *read.calculation;
  checkCalculation(calculation);
  for (const Spin spin : {Spin::none, Spin::alpha, Spin::beta}) {
    const OrbitalFound homo = findHomo(calculation, spin);
    require(homo.index.has_value() != !homo.error.empty(), "neither an MO nor a message");
    if (!homo.index) continue;
    // The raw coefficients: de-orthogonalising a fuzzed matrix only costs time.
    const ExactOrbital::Build build =
        ExactOrbital::build(calculation, calculation.orbitals[*homo.index], false);
    require(build.orbital.has_value() != !build.error.empty(), "neither an orbital nor a message");
    if (!build.orbital) continue;
    // Coefficients of a sane size give finite values.
    const std::vector<double>& d = build.orbital->aoCoefficients();
    if (std::any_of(d.begin(), d.end(), [](double c) { return std::abs(c) > 1e6; })) continue;
    const Vec3 near = calculation.atoms.front().position + Vec3{0.3, 0.2, 0.1};
    require(std::isfinite(build.orbital->valueAt(near)), "psi is not finite");
  }
  return 0;
}
