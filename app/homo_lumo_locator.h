#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>

namespace lobewright {

enum class FrontierOrbital { homo, lumo };

inline constexpr const char* kCannotFindHomoLumoMessage = "Cannot find HOMO/LUMO";

// The MO number of the highest occupied (the count of filled levels after the first "LEVELS =")
// or lowest unoccupied orbital; nothing when the count cannot be found.
[[nodiscard]] std::optional<int32_t> locateFrontierOrbital(std::istream& in,
                                                           FrontierOrbital which);
[[nodiscard]] std::optional<int32_t> locateFrontierOrbital(const std::string& fileName,
                                                           FrontierOrbital which);

}  // namespace lobewright
