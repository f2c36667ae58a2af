#include "writers/scene_frame.h"

#include <Eigen/Eigenvalues>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace lobewright {
namespace {

constexpr double kHorizontalAngle = 30.0;  // degrees: little perspective distortion

ViewBasis principalBasis(const std::vector<Vec3>& atoms) {
  Vec3 mean;
  for (const Vec3& a : atoms) mean = mean + a;
  mean = (1.0 / static_cast<double>(std::max<std::size_t>(atoms.size(), 1))) * mean;
  Eigen::Matrix3d spread = Eigen::Matrix3d::Zero();
  for (const Vec3& a : atoms) {
    const Eigen::Vector3d d(a.x - mean.x, a.y - mean.y, a.z - mean.z);
    spread += d * d.transpose();
  }
  const Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> solver(spread);
  // Eigenvalues come in increasing order: the last vector is the longest axis.
  const auto axis = [&](int i) {
    const Eigen::Vector3d v = solver.eigenvectors().col(i);
    return Vec3{v.x(), v.y(), v.z()};
  };
  const Vec3 right = unitVector(axis(2));
  const Vec3 up = unitVector(axis(1));
  return {right, up, cross(right, up)};
}

}  // namespace

ViewBasis turnedOffAxis(const ViewBasis& basis, const Vec3& axisDirection, double largestCosine,
                        const Vec3& turnTowards) {
  const Vec3 axis = unitVector(axisDirection);
  const double along = dot(basis.back, axis);
  if (std::fabs(along) <= largestCosine) return basis;
  // The part of the view across the axis; when the view is the axis itself, the direction given,
  // made across it.
  Vec3 across = basis.back - along * axis;
  if (norm(across) < 1e-9) across = turnTowards - dot(turnTowards, axis) * axis;
  across = unitVector(across);
  const double sign = along < 0.0 ? -1.0 : 1.0;
  const Vec3 back = unitVector(sign * largestCosine * axis +
                               std::sqrt(1.0 - largestCosine * largestCosine) * across);
  // Keep the picture's up as near as it was.
  Vec3 right = cross(basis.up, back);
  if (norm(right) < 1e-9) right = cross(basis.right, back);
  right = unitVector(right);
  return {right, cross(back, right), back};
}

ViewBasis principalView(const std::vector<Vec3>& atoms) {
  return atoms.size() < 2 ? viewBasis(ViewDirection::z, atoms) : principalBasis(atoms);
}

ViewBasis viewBasis(ViewDirection direction, const std::vector<Vec3>& atoms, const Vec3& lobeAxis) {
  switch (direction) {
    case ViewDirection::x:
      return {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}};
    case ViewDirection::y:
      return {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
    case ViewDirection::z:
      return {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    case ViewDirection::best:
    case ViewDirection::whole:
      break;
  }
  const ViewBasis basis = principalView(atoms);
  // Looking nearly along the lobes' axis, one lobe would hide the other.
  constexpr double kLargestCosine = 0.5;
  if (norm(lobeAxis) < kShortLobeAxis) return basis;
  return turnedOffAxis(basis, lobeAxis, kLargestCosine, basis.right);
}

CameraFrame frameCamera(const ViewBasis& basis, const std::vector<FramedPoint>& points,
                        double aspect, double margin) {
  CameraFrame frame;
  frame.basis = basis;
  frame.horizontalAngle = kHorizontalAngle;
  if (points.empty()) {
    frame.distance = 10.0;
    return frame;
  }
  // The centre of the points' extent across the picture.
  double low[2] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
  double high[2] = {std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
  double depthSum = 0.0;
  for (const FramedPoint& p : points) {
    const double across[2] = {dot(p.position, basis.right), dot(p.position, basis.up)};
    for (int k = 0; k < 2; ++k) {
      low[k] = std::min(low[k], across[k] - p.radius);
      high[k] = std::max(high[k], across[k] + p.radius);
    }
    depthSum += dot(p.position, basis.back);
  }
  const double depth = depthSum / static_cast<double>(points.size());
  frame.centre = 0.5 * (low[0] + high[0]) * basis.right + 0.5 * (low[1] + high[1]) * basis.up +
                 depth * basis.back;

  // A point at (x, y) across the picture and z towards the camera is in view from a distance d
  // when |x| <= (d - z) tan(half angle), and likewise for y with the vertical angle.
  const double tanAcross = std::tan(kHorizontalAngle * std::numbers::pi / 360.0) * (1.0 - margin);
  const double tanUp = tanAcross / aspect;
  double distance = 0.0;
  for (const FramedPoint& p : points) {
    const Vec3 d = p.position - frame.centre;
    const double z = dot(d, basis.back) + p.radius;
    const double x = std::fabs(dot(d, basis.right)) + p.radius;
    const double y = std::fabs(dot(d, basis.up)) + p.radius;
    distance = std::max({distance, z + x / tanAcross, z + y / tanUp});
  }
  frame.distance = distance;
  return frame;
}

CameraFrame frameCameraBeside(const ViewBasis& basis, const std::vector<FramedPoint>& points,
                              double aspect, double reservedShare, double margin) {
  CameraFrame frame = frameCamera(basis, points, aspect, margin);
  if (points.empty()) return frame;
  // Across the picture, tangents of the angle from the camera's axis: the whole width spans
  // -half to +half, the free part from `low` to `high` within the margin.
  const double half = std::tan(kHorizontalAngle * std::numbers::pi / 360.0);
  const double centre = -half * reservedShare;
  const double reach = half * (1.0 - reservedShare) * (1.0 - margin);
  const double low = centre - reach;
  const double high = centre + reach;
  const double tanUp = half * (1.0 - margin) / aspect;
  // A point at x across, at depth e = d - z from a camera moved sideways by c, is in view when
  // low <= (x - c) / e <= high. With its radius both ends must hold: c >= x + r - e high and
  // c <= x - r - e low, for every point; with e = d - (z + r) this gives the least d.
  double rightmost = std::numeric_limits<double>::lowest();
  double leftmost = std::numeric_limits<double>::max();
  double distance = 0.0;
  for (const FramedPoint& p : points) {
    const Vec3 d = p.position - frame.centre;
    const double x = dot(d, basis.right);
    const double z = dot(d, basis.back) + p.radius;
    rightmost = std::max(rightmost, x + p.radius + z * high);
    leftmost = std::min(leftmost, x - p.radius + z * low);
    distance = std::max(distance, z + (std::fabs(dot(d, basis.up)) + p.radius) / tanUp);
  }
  distance = std::max(distance, (rightmost - leftmost) / (high - low));
  const double sideways = 0.5 * ((rightmost - distance * high) + (leftmost - distance * low));
  frame.centre = frame.centre + sideways * basis.right;
  frame.distance = distance;
  return frame;
}

}  // namespace lobewright
