#pragma once

#include <array>
#include <cmath>
#include <initializer_list>

#include "input/point.h"

namespace lobewright::testing {

// A field over the unit cube at `origin`, trilinear between the values given at its eight
// corners, so a test chooses which corners lie above the threshold. Corner (i, j, k) is the one
// at offset (i, j, k).
class CornerField {
 public:
  explicit CornerField(Point origin = {}) : m_origin(origin) {}

  CornerField& set(int i, int j, int k, float value) {
    m_values[index(i, j, k)] = value;
    return *this;
  }

  // Every listed corner gets `value`, the others keep theirs.
  CornerField& setAll(std::initializer_list<std::array<int, 3>> corners, float value) {
    for (const auto& c : corners) set(c[0], c[1], c[2], value);
    return *this;
  }

  float valueAt(float x, float y, float z) const {
    ++calls;
    const float u = x - m_origin.x;
    const float v = y - m_origin.y;
    const float w = z - m_origin.z;
    float sum = 0.0f;
    for (int i = 0; i < 2; ++i) {
      for (int j = 0; j < 2; ++j) {
        for (int k = 0; k < 2; ++k) {
          sum += m_values[index(i, j, k)] * (i ? u : 1 - u) * (j ? v : 1 - v) * (k ? w : 1 - w);
        }
      }
    }
    return sum;
  }

  mutable long calls = 0;

 private:
  static int index(int i, int j, int k) { return i * 4 + j * 2 + k; }

  Point m_origin;
  std::array<float, 8> m_values{};
};

}  // namespace lobewright::testing
