#include "window/frontier_lookup.h"

#include "app/input_kind.h"

namespace lobewright {
namespace {

bool holdsOrbitals(const std::string& fileName) {
  const std::optional<InputKind> kind = detectFileKind(fileName);
  return kind && *kind != InputKind::otherText && *kind != InputKind::notMopac;
}

}  // namespace

FrontierLookup lookUpFrontier(const ConversionRequest& request, FrontierOrbital which,
                              std::stop_token stop) {
  const FrontierNumbers numbers = findFrontierNumbers(request);
  if (numbers.error.empty()) {
    return {which == FrontierOrbital::homo ? numbers.homo : numbers.lumo, {}};
  }
  const std::string& fileName = request.inputFile;
  if (holdsOrbitals(fileName)) return {std::nullopt, numbers.error};
  const std::optional<int32_t> counted = locateFrontierOrbital(fileName, which, std::move(stop));
  if (counted && *counted <= kGreatestMoNumber) return {counted, {}};
  return {std::nullopt, cannotFindFrontierMessage(fileName, counted)};
}

}  // namespace lobewright
