#pragma once

namespace lobewright {

// A position in space; Angstrom as read, grid units once the molecule is scaled.
struct Point {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;

  friend bool operator==(const Point&, const Point&) = default;
};

}  // namespace lobewright
