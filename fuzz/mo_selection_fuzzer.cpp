// Reads any bytes as what --mo takes, then resolves the selection against a HOMO and a LUMO taken
// from the first bytes (0 for none, as a calculation without one gives). A selection is refused
// with a reason, or gives MO numbers from 1 up, each once and no more than a molecule can have.
#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "app/mo_selection.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace lobewright;
  using namespace lobewright::fuzzing;
  int32_t frontier[2] = {0, 0};
  const std::size_t taken = std::min(size, sizeof frontier);
  std::memcpy(frontier, data, taken);
  const std::string text = asText(data + taken, size - taken);
  std::string error;
  const auto selection = parseMoSelection(text, error);
  if (!selection) {
    require(!error.empty(), "an MO selection refused without a reason");
    return 0;
  }
  // A HOMO or LUMO below MO 1 is one the calculation does not have.
  const int homo = std::max(frontier[0], 0);
  const int lumo = std::max(frontier[1], 0);
  error.clear();
  const auto mos = resolveMoSelection(*selection, homo, lumo, error);
  if (!mos) {
    require(!error.empty(), "MOs refused without a reason");
    return 0;
  }
  require(!mos->empty(), "a selection of no MO");
  require(mos->size() <= 100001, "more MOs than any molecule has");
  std::unordered_set<int> seen;
  for (const int mo : *mos) {
    require(mo >= 1, "an MO below MO 1");
    require(seen.insert(mo).second, "an MO named twice");
  }
  return 0;
}
