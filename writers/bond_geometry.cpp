#include "writers/bond_geometry.h"

#include <cmath>

#include "input/parameter_table.h"

namespace lobewright {
namespace {

double toDegrees(double radians) { return radians * 360.0 / (2.0 * static_cast<double>(kPi)); }

}  // namespace

BondGeometry computeBond(const Point& a, const Point& b) {
  const float dx = b.x - a.x;
  const float dy = b.y - a.y;
  const float dz = b.z - a.z;
  BondGeometry bond;
  bond.length = static_cast<float>(std::sqrt(
      static_cast<double>(dx) * dx + static_cast<double>(dy) * dy + static_cast<double>(dz) * dz));
  if (dx == 0.0f) {
    // MOPAC prints "-0.0000": dividing by a negative zero would turn the stick away from B.
    bond.yAngle = dz == 0.0f
                      ? 0.0f
                      : static_cast<float>(toDegrees(std::atan(static_cast<double>(dz) / +0.0)));
  } else {
    bond.yAngle = static_cast<float>(toDegrees(std::atan(static_cast<double>(dz) / dx)));
    if (dx < 0.0f) bond.yAngle = bond.yAngle + 180.0f;
  }
  if (bond.length > 0.0f) {
    bond.zAngle = static_cast<float>(toDegrees(std::acos(static_cast<double>(dy) / bond.length)));
  }
  return bond;
}

bool isBond(const BondGeometry& bond, int scale, float bondLength) {
  return bond.length > 0.0f && bond.length / static_cast<float>(scale) < bondLength;
}

float atomRadius(int scale) { return static_cast<float>(static_cast<double>(scale) * 0.05); }

}  // namespace lobewright
