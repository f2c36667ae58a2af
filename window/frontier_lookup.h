#pragma once

#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>

#include "app/conversion.h"
#include "app/homo_lumo_locator.h"

namespace lobewright {

// What the HOMO and LUMO buttons find: the MO number, or the message for the user.
struct FrontierLookup {
  std::optional<int32_t> mo;
  std::string error;
};

// The HOMO or LUMO of the request's input as the request's model sees it (findFrontierNumbers).
// A file without orbitals of a kind the readers know, such as an output without eigenvectors,
// may still state its count of filled levels; the number is then taken from that count, as the
// window always has, and `stop` ends the search through a long file.
[[nodiscard]] FrontierLookup lookUpFrontier(const ConversionRequest& request, FrontierOrbital which,
                                            std::stop_token stop);

}  // namespace lobewright
