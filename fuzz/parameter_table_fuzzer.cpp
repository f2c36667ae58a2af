// Reads any bytes as a PM3 parameter file. A table that is accepted must hold only what the
// evaluator can use; a refusal must say why.
#include <cmath>
#include <sstream>

#include "fuzz/fuzz_input.h"
#include "input/parameter_table.h"

namespace lobewright::fuzzing {
namespace {

// A tiny exponent may leave a normalisation constant of 0, which is harmless; what must never
// appear is a value that is not a number or is infinite.
bool usable(float exponent, float normalisation) {
  return exponent > 0.0f && std::isfinite(exponent) && normalisation >= 0.0f &&
         std::isfinite(normalisation);
}

void checkTable(const Pm3ParameterSet& table) {
  require(table.elementCount >= 0 && table.elementCount <= kMaxElements,
          "element count out of range");
  for (int e = 0; e < table.elementCount; ++e) {
    require(!table.symbol[e].empty() && table.symbol[e].size() <= kMaxSymbolLength,
            "symbol length out of range");
    require(table.shellType[e] == 1 || table.shellType[e] == 2, "shell type neither 1 nor 2");
    require(usable(table.zetaS[e], table.normS[e]), "s exponent or normalisation unusable");
    if (table.symbol[e] != "H") {
      require(usable(table.zetaP[e], table.normP[e]), "p exponent or normalisation unusable");
    }
  }
}

}  // namespace
}  // namespace lobewright::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace lobewright::fuzzing;
  std::istringstream in(asText(data, size));
  const lobewright::ParameterRead read = lobewright::readParameterTable(in, "fuzz.txt");
  if (read.table) {
    checkTable(*read.table);
  } else {
    requireExplained(read.error);
  }
  return 0;
}
