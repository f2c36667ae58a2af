#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/conversion_settings.h"
#include "app/messages.h"

namespace lobewright {

// The ranges the window's spinners and the converter's options allow.
inline constexpr int32_t kLeastScale = 1;
inline constexpr int32_t kGreatestScale = 100;
inline constexpr int32_t kLeastAccuracy = 1;
inline constexpr int32_t kGreatestAccuracy = 100;

// Why the settings cannot give a meaningful sweep, or nothing when they can; the window and the
// converter follow these same rules. A threshold or cutoff that is not a positive finite number,
// or a bond length that is not finite, would silently give an empty or a nonsense scene; a scale
// outside its range would put the atoms at infinity or turn the grid inside out.
[[nodiscard]] std::optional<std::string> unusableSettingsMessage(
    const ConversionSettings& settings);

}  // namespace lobewright
