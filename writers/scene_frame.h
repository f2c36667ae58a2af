#pragma once

#include <optional>
#include <vector>

#include "input/vector3.h"

namespace lobewright {

// The direction a picture looks at the molecule from: down one of the axes (x, y, z), or along
// the molecule's smallest principal axis, which shows it at its widest. Whole looks as best does,
// but always frames the whole molecule.
enum class ViewDirection { x, y, z, best, whole };

// A right-handed camera frame: `right` and `up` span the picture, `back` points at the viewer.
struct ViewBasis {
  Vec3 right;
  Vec3 up;
  Vec3 back;
};

// Down an axis, the picture's right and up are the next two axes in turn (z: x and y; x: y and
// z; y: z and x). Best looks along the smallest principal axis of the atoms, with the largest
// across the picture and the middle one upright; but where that would look nearly along
// `lobeAxis` (from the negative lobe's centre to the positive one's), one lobe would hide the
// other, so the view turns until it is at least 60 degrees off that axis. A lobe axis shorter
// than kShortLobeAxis is no axis at all.
inline constexpr double kShortLobeAxis = 0.2;  // Angstrom
[[nodiscard]] ViewBasis viewBasis(ViewDirection direction, const std::vector<Vec3>& atoms,
                                  const Vec3& lobeAxis = {});

// The view along the smallest principal axis of the atoms, with the largest across the picture
// and the middle one upright (down z for fewer than two atoms).
[[nodiscard]] ViewBasis principalView(const std::vector<Vec3>& atoms);

// The view turned as little as it takes to look at least acos(largestCosine) away from the axis,
// keeping the picture's up as near as it can; a view straight along the axis turns towards
// `turnTowards` (any direction not along the axis).
[[nodiscard]] ViewBasis turnedOffAxis(const ViewBasis& basis, const Vec3& axis,
                                      double largestCosine, const Vec3& turnTowards);

// A perspective camera that shows every point, each with its radius, with a margin.
struct CameraFrame {
  ViewBasis basis;
  Vec3 centre;                   // what the camera looks at
  double distance = 0.0;         // from the centre towards basis.back
  double horizontalAngle = 0.0;  // degrees
  // Points further towards the camera than this (from the centre, along basis.back) are left
  // out of the picture; none are when it is empty.
  std::optional<double> front;
};

struct FramedPoint {
  Vec3 position;
  double radius = 0.0;
};

// Fits the points into a picture of the given aspect (width over height): the nearest edge of
// the picture keeps `margin` of its half-width free on each side.
[[nodiscard]] CameraFrame frameCamera(const ViewBasis& basis,
                                      const std::vector<FramedPoint>& points, double aspect,
                                      double margin = 0.06);

// The same camera, looking the same way, with the right-hand `reservedShare` of the picture's
// width kept free (for a colour bar): the camera moves sideways and back just so far that the
// points fit the part that is left with the margin on every side of it.
[[nodiscard]] CameraFrame frameCameraBeside(const ViewBasis& basis,
                                            const std::vector<FramedPoint>& points, double aspect,
                                            double reservedShare, double margin = 0.06);

}  // namespace lobewright
