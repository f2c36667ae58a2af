#pragma once

namespace lobewright {

// A position in space; Angstrom as read, grid units once the molecule is scaled.
struct Point {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;

  friend bool operator==(const Point&, const Point&) = default;
  friend Point operator+(const Point& a, const Point& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
};

}  // namespace lobewright
