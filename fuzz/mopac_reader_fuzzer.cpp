// Reads any bytes as a MOPAC output; the first two bytes choose the MO number, so negative, zero
// and huge numbers are tried too. A successful read must leave a calculation the sweep can use;
// a refusal must say why.
#include <cmath>
#include <sstream>

#include "app/grid_extent.h"
#include "fuzz/fuzz_input.h"
#include "input/classic_calculation.h"
#include "orbital/classic_orbital.h"

namespace lobewright::fuzzing {
namespace {

// The ten-element table the samples are read with, so Cl and the others are known too.
constexpr const char* kParameters =
    "10\n"
    "H 0.967807 1\n"
    "C 1.565085 1.842345 2\n"
    "N 2.028094 2.313728 2\n"
    "O 3.796544 2.389402 2\n"
    "F 4.708555 2.491178 2\n"
    "P 2.017563 1.504732 2\n"
    "S 1.891185 1.658972 2\n"
    "Cl 2.246210 2.151010 2\n"
    "Br 5.348457 2.127590 2\n"
    "I 7.001013 2.454354 2\n";

const Pm3ParameterSet& parameters() {
  static const Pm3ParameterSet table = [] {
    std::istringstream in(kParameters);
    return *readParameters(in);
  }();
  return table;
}

// The largest scale the settings allow: the one most likely to push the grid out of range.
constexpr int kScale = 100;

void checkCalculation(const ClassicCalculation& calculation) {
  const std::size_t atoms = calculation.atoms.size();
  require(atoms >= 1 && atoms <= static_cast<std::size_t>(kMaxAtoms), "atom count out of range");
  for (const ClassicAtom& atom : calculation.atoms) {
    require(atom.element >= 0 && atom.element < calculation.parameters.elementCount,
            "element index out of range");
    for (const float value : {atom.position.x, atom.position.y, atom.position.z}) {
      require(std::isfinite(value), "a coordinate is not finite");
    }
  }
  require(!calculation.orbitals.empty(), "no MO");
  for (const PrintedMo& mo : calculation.orbitals) {
    require(mo.coefficients.size() == atoms, "an MO of the wrong length");
    for (const AtomCoefficients& c : mo.coefficients) {
      for (const float value : {c.s, c.px, c.py, c.pz}) {
        require(std::isfinite(value), "a coefficient is not finite");
      }
    }
  }
}

}  // namespace
}  // namespace lobewright::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace lobewright;
  using namespace lobewright::fuzzing;
  if (size < 2) return 0;
  const auto moNumber = static_cast<int16_t>(static_cast<uint16_t>(data[0] | (data[1] << 8)));
  std::istringstream in(asText(data + 2, size - 2));
  const ClassicRead read = readMopacOutput(in, parameters());
  if (!read.calculation) {
    requireExplained(read.error);
    return 0;
  }
  checkCalculation(*read.calculation);
  const ClassicMoFound found = findClassicMo(*read.calculation, moNumber);
  if (!found.orbital) {
    require(!found.error.empty(), "a refusal without a reason");
    return 0;
  }
  const ClassicOrbital orbital(*read.calculation, found.orbital->coefficients, kScale, 3.5f);
  const GridBounds bounds = computeGridBounds(orbital, kScale);
  if (gridBoundsFit(orbital, kScale)) {
    require(bounds.xLow < bounds.xHigh && bounds.yLow < bounds.yHigh && bounds.zLow < bounds.zHigh,
            "the grid around the atoms is empty");
  }
  return 0;
}
