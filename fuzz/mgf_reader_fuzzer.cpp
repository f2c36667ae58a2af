// Reads any bytes as a MOPAC graphics file into a calculation for the exact model.
#include <sstream>

#include "fuzz/calculation_check.h"
#include "input/mgf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace lobewright;
  std::istringstream in(fuzzing::asText(data, size));
  const CalculationRead read = readMgfFile(in, "fuzz.mgf");
  if (read.calculation) {
    fuzzing::checkCalculation(*read.calculation);
  } else {
    fuzzing::requireExplained(read.error);
  }
  return 0;
}
