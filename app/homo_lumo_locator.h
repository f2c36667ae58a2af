#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <stop_token>
#include <string>

#include "app/messages.h"

namespace lobewright {

enum class FrontierOrbital { homo, lumo };

// MO numbers are 16-bit values wherever the user sees or types them.
inline constexpr int32_t kGreatestMoNumber = INT16_MAX;

// The MO number of the highest occupied (the count of filled levels after the first "LEVELS =")
// or lowest unoccupied orbital; nothing when the count cannot be found.
[[nodiscard]] std::optional<int32_t> locateFrontierOrbital(std::istream& in, FrontierOrbital which);
[[nodiscard]] std::optional<int32_t> locateFrontierOrbital(const std::string& fileName,
                                                           FrontierOrbital which);
// The same, giving up with nothing found once `stop` is requested: a file without the count is
// read to its end, and a large one takes a while.
[[nodiscard]] std::optional<int32_t> locateFrontierOrbital(const std::string& fileName,
                                                           FrontierOrbital which,
                                                           std::stop_token stop);

// "Cannot find HOMO/LUMO", with the file and why on a second line: it cannot be read, it has no
// count of filled levels, or it counts more MOs than can be numbered.
[[nodiscard]] std::string cannotFindFrontierMessage(const std::string& fileName,
                                                    std::optional<int32_t> located);

}  // namespace lobewright
