// Reads any bytes as a MOPAC text output into a calculation for the exact model.
#include <sstream>

#include "fuzz/calculation_check.h"
#include "input/out_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace lobewright;
  std::istringstream in(fuzzing::asText(data, size));
  const CalculationRead read = readOutFile(in, "fuzz.out");
  if (read.calculation) {
    fuzzing::checkCalculation(*read.calculation);
  } else {
    fuzzing::requireExplained(read.error);
  }
  return 0;
}
