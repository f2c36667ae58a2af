#pragma once

#include <cstdint>
#include <string>

#include "writers/scene_options.h"

namespace lobewright {

enum class OutputKind : uint8_t { PovRay = 0, LScript = 1 };

// What one conversion is asked to do; starts at the window's defaults.
struct ConversionSettings {
  int32_t moNumber = 1;
  int32_t scale = 4;  // grid points per Angstrom
  float threshold = 0.05f;
  int32_t accuracy = 3;     // bisection steps per crossing edge
  float cutoff = 3.5f;      // Angstrom
  float bondLength = 1.6f;  // Angstrom
  bool showStructure = true;
  std::string outputPath;
  OutputKind outputKind = OutputKind::LScript;
};

// The part of the settings that the scene and script writers use.
[[nodiscard]] inline SceneOptions sceneOptions(const ConversionSettings& settings) {
  return {settings.threshold, settings.accuracy, settings.scale, settings.bondLength,
          settings.showStructure};
}

}  // namespace lobewright
