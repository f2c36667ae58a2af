// Looks for the HOMO and the LUMO in any bytes; when both are found, the LUMO follows the HOMO.
#include <sstream>

#include "app/homo_lumo_locator.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace lobewright;
  using namespace lobewright::fuzzing;
  const std::string text = asText(data, size);
  std::istringstream forHomo(text);
  std::istringstream forLumo(text);
  const auto homo = locateFrontierOrbital(forHomo, FrontierOrbital::homo);
  const auto lumo = locateFrontierOrbital(forLumo, FrontierOrbital::lumo);
  if (lumo) {
    require(homo.has_value() && *lumo == *homo + 1, "the LUMO does not follow the HOMO");
  }
  return 0;
}
