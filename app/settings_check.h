#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/conversion_settings.h"

namespace lobewright {

// The ranges the window's spinners and the converter's options allow.
inline constexpr int32_t kLeastScale = 1;
inline constexpr int32_t kGreatestScale = 100;
inline constexpr int32_t kLeastAccuracy = 1;
inline constexpr int32_t kGreatestAccuracy = 100;

inline constexpr const char* kScaleOutOfRangeMessage =
    "The scale must be a whole number from 1 to 100.";
inline constexpr const char* kAccuracyOutOfRangeMessage =
    "The accuracy must be a whole number from 1 to 100.";
inline constexpr const char* kThresholdNotPositiveMessage =
    "The threshold must be a finite number above 0.";
inline constexpr const char* kCutoffNotPositiveMessage =
    "The cutoff must be a finite number of Angstrom above 0.";
inline constexpr const char* kBondLengthNotFiniteMessage =
    "The bond length must be a finite number.";

// Why the settings cannot give a meaningful sweep, or nothing when they can; the window and the
// converter follow these same rules. A threshold or cutoff that is not a positive finite number,
// or a bond length that is not finite, would silently give an empty or a nonsense scene; a scale
// outside its range would put the atoms at infinity or turn the grid inside out.
[[nodiscard]] std::optional<std::string> unusableSettingsMessage(
    const ConversionSettings& settings);

}  // namespace lobewright
