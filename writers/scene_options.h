#pragma once

#include <cstdint>

namespace lobewright {

// What the classic scene and script writers need to know of a conversion.
struct SceneOptions {
  float threshold = 0.05f;
  int32_t accuracy = 3;     // bisection steps per crossing edge
  int32_t scale = 4;        // grid points per Angstrom
  float bondLength = 1.6f;  // Angstrom
  bool showStructure = true;
};

}  // namespace lobewright
