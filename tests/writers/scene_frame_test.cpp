#include "writers/scene_frame.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lobewright {
namespace {

// A flat molecule in the x-y plane, longest along x.
const std::vector<Vec3> kFlatMolecule = {{-3, 0, 0}, {3, 0, 0}, {0, 1, 0}, {0, -1, 0}};

void expectRightHanded(const ViewBasis& b) {
  EXPECT_NEAR(dot(cross(b.right, b.up), b.back), 1.0, 1e-12);
  EXPECT_NEAR(dot(b.right, b.up), 0.0, 1e-12);
}

TEST(SceneFrame, TheBestViewLooksAcrossAFlatMoleculeUnlessALobeWouldHideTheOther) {
  const ViewBasis best = viewBasis(ViewDirection::best, kFlatMolecule);
  expectRightHanded(best);
  EXPECT_NEAR(std::fabs(best.back.z), 1.0, 1e-12);
  EXPECT_NEAR(std::fabs(best.right.x), 1.0, 1e-12);

  // A p orbital standing on the plane: looking down its axis would show one lobe only.
  const ViewBasis turned = viewBasis(ViewDirection::best, kFlatMolecule, {0, 0, 1.2});
  expectRightHanded(turned);
  EXPECT_NEAR(std::fabs(turned.back.z), 0.5, 1e-12);
  // A lobe axis already across the view changes nothing, and a tiny one counts for nothing.
  EXPECT_EQ(viewBasis(ViewDirection::best, kFlatMolecule, {1, 0, 0}).back, best.back);
  EXPECT_EQ(viewBasis(ViewDirection::best, kFlatMolecule, {0, 0, 0.1}).back, best.back);
  // The axes' own views ignore the lobes.
  EXPECT_EQ(viewBasis(ViewDirection::x, kFlatMolecule, {1, 0, 0}).back, (Vec3{1, 0, 0}));
}

TEST(SceneFrame, TheCameraSeesEveryPointWithItsRadius) {
  const ViewBasis basis = viewBasis(ViewDirection::best, kFlatMolecule);
  std::vector<FramedPoint> points;
  for (const Vec3& atom : kFlatMolecule) points.push_back({atom, 0.5});
  for (const double aspect : {4.0 / 3.0, 0.5}) {
    const CameraFrame frame = frameCamera(basis, points, aspect);
    const double halfWidth = std::tan(frame.horizontalAngle * M_PI / 360.0);
    const Vec3 camera = frame.centre + frame.distance * basis.back;
    for (const FramedPoint& p : points) {
      const Vec3 d = p.position - camera;
      const double depth = -dot(d, basis.back);
      EXPECT_LE(std::fabs(dot(d, basis.right)) + p.radius, depth * halfWidth) << aspect;
      EXPECT_LE(std::fabs(dot(d, basis.up)) + p.radius, depth * halfWidth / aspect) << aspect;
    }
  }
}

// With a share of the picture kept free on the right, every point still fits, and the free part
// is free: the points reach no further right than its edge, and fill the rest across.
TEST(SceneFrame, ACameraBesideAColourBarKeepsTheBarsShareFree) {
  const ViewBasis basis = viewBasis(ViewDirection::best, kFlatMolecule);
  std::vector<FramedPoint> points;
  for (const Vec3& atom : kFlatMolecule) points.push_back({atom + Vec3{0.0, 0.0, atom.x}, 0.5});
  for (const double aspect : {4.0 / 3.0, 2.0, 0.75}) {
    const double share = 0.3;
    const CameraFrame frame = frameCameraBeside(basis, points, aspect, share);
    const double half = std::tan(frame.horizontalAngle * M_PI / 360.0);
    const Vec3 camera = frame.centre + frame.distance * basis.back;
    double leftmost = 1.0;
    double rightmost = -1.0;
    for (const FramedPoint& p : points) {
      const Vec3 d = p.position - camera;
      const double depth = -dot(d, basis.back) - p.radius;
      const double across = dot(d, basis.right);
      leftmost = std::min(leftmost, (across - p.radius) / depth);
      rightmost = std::max(rightmost, (across + p.radius) / depth);
      EXPECT_LE(std::fabs(dot(d, basis.up)) + p.radius, depth * half / aspect) << aspect;
    }
    EXPECT_GE(leftmost, -half) << aspect;
    EXPECT_LE(rightmost, half * (1.0 - 2.0 * share)) << aspect;
    // Wide pictures are filled across, up to the margin on either side.
    if (aspect >= 4.0 / 3.0) {
      EXPECT_NEAR(rightmost - leftmost, 2.0 * half * (1.0 - share) * (1.0 - 0.06), 1e-9) << aspect;
    }
  }
}

}  // namespace
}  // namespace lobewright
