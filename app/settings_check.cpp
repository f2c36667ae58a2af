#include "app/settings_check.h"

#include <cmath>

namespace lobewright {

std::optional<std::string> unusableSettingsMessage(const ConversionSettings& settings) {
  if (settings.scale < kLeastScale || settings.scale > kGreatestScale) {
    return kScaleOutOfRangeMessage;
  }
  if (settings.accuracy < kLeastAccuracy || settings.accuracy > kGreatestAccuracy) {
    return kAccuracyOutOfRangeMessage;
  }
  if (!std::isfinite(settings.threshold) || !(settings.threshold > 0.0f)) {
    return kThresholdNotPositiveMessage;
  }
  if (!std::isfinite(settings.cutoff) || !(settings.cutoff > 0.0f))
    return kCutoffNotPositiveMessage;
  if (!std::isfinite(settings.bondLength)) return kBondLengthNotFiniteMessage;
  return std::nullopt;
}

}  // namespace lobewright
