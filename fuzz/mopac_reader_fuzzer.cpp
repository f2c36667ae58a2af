// Reads any bytes as a MOPAC output; the first two bytes choose the MO number, so negative, zero
// and huge numbers are tried too. A successful read must leave a molecule the sweep can use; a
// refusal must say why.
#include <cmath>
#include <sstream>

#include "app/grid_extent.h"
#include "fuzz/fuzz_input.h"
#include "input/molecule.h"

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

void checkMolecule(const Molecule& molecule) {
  require(molecule.atomCount >= 1 && molecule.atomCount <= kMaxAtoms, "atom count out of range");
  for (int i = 0; i < molecule.atomCount; ++i) {
    require(
        molecule.atomElement[i] >= 0 && molecule.atomElement[i] < molecule.parameters.elementCount,
        "element index out of range");
    for (const float value :
         {molecule.coefS[i], molecule.coefPx[i], molecule.coefPy[i], molecule.coefPz[i],
          molecule.atomX[i], molecule.atomY[i], molecule.atomZ[i]}) {
      require(std::isfinite(value), "a coefficient or coordinate is not finite");
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
  SilentSink sink;
  Molecule molecule("", sink);
  molecule.parameters = parameters();
  std::istringstream in(asText(data + 2, size - 2));
  if (!molecule.readMopacOutput(in, moNumber)) {
    require(!molecule.inputError.what.empty(), "a refusal without a reason");
    return 0;
  }
  checkMolecule(molecule);
  molecule.setScale(static_cast<float>(kScale));
  const GridBounds bounds = computeGridBounds(molecule, kScale);
  if (gridBoundsFit(molecule, kScale)) {
    require(bounds.xLow < bounds.xHigh && bounds.yLow < bounds.yHigh && bounds.zLow < bounds.zHigh,
            "the grid around the atoms is empty");
  }
  return 0;
}
