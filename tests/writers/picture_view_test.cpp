// How a framed picture looks at an orbital: tilted off a flat pi system, close to a localized
// orbital, in lobe colours no atom shares.
#include "writers/picture_view.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lobewright {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Points on a sphere, as a lobe's vertices.
std::vector<Vec3> sphere(const Vec3& centre, double radius) {
  std::vector<Vec3> points;
  constexpr int kCount = 300;
  for (int i = 0; i < kCount; ++i) {
    const double z = 1.0 - 2.0 * (i + 0.5) / kCount;
    const double angle = i * kPi * (3.0 - std::sqrt(5.0));
    const double r = std::sqrt(1.0 - z * z);
    points.push_back(centre + radius * Vec3{r * std::cos(angle), r * std::sin(angle), z});
  }
  return points;
}

void add(LobeMesh& lobe, const std::vector<Vec3>& points) {
  lobe.positions.insert(lobe.positions.end(), points.begin(), points.end());
}

// A flat ring of six carbons in the x-y plane, a little longer along x.
BallAndStickModel ring() {
  BallAndStickModel model;
  for (int k = 0; k < 6; ++k) {
    const double angle = k * kPi / 3.0;
    model.spheres.push_back({{1.6 * std::cos(angle), 1.4 * std::sin(angle), 0.0}, 0.3, {}, 6});
  }
  return model;
}

// A pi orbital: lobes of alternating sign over and under the ring's atoms. A sigma orbital: lobes
// of alternating sign on the atoms, each through the plane.
OrbitalMesh ringOrbital(const BallAndStickModel& model, bool pi) {
  OrbitalMesh mesh;
  for (std::size_t k = 0; k < model.spheres.size(); ++k) {
    const Vec3& atom = model.spheres[k].centre;
    const bool even = k % 2 == 0;
    if (pi) {
      add(even ? mesh.positive : mesh.negative, sphere(atom + Vec3{0, 0, 1.0}, 0.7));
      add(even ? mesh.negative : mesh.positive, sphere(atom - Vec3{0, 0, 1.0}, 0.7));
    } else {
      add(even ? mesh.positive : mesh.negative, sphere(atom, 0.8));
    }
  }
  return mesh;
}

TEST(PictureView, AFlatPiSystemIsSeenTiltedOffItsPlaneAndASigmaOneStraightOn) {
  const BallAndStickModel model = ring();
  const OrbitalMesh pi = ringOrbital(model, true);
  const OrbitalMesh sigma = ringOrbital(model, false);
  const auto normal = piPlaneNormal(pi, model.spheres);
  ASSERT_TRUE(normal);
  EXPECT_NEAR(std::fabs(normal->z), 1.0, 1e-9);
  EXPECT_FALSE(piPlaneNormal(sigma, model.spheres));

  const double tilted = std::cos(kPiTiltDegrees * kPi / 180.0);
  const CameraFrame piView = pictureCamera({{&pi}, &model, true}, ViewDirection::best, 4.0 / 3.0);
  EXPECT_NEAR(std::fabs(piView.basis.back.z), tilted, 1e-9);
  // Tilted about the picture's horizontal: the ring's long axis stays across the picture.
  EXPECT_NEAR(std::fabs(piView.basis.right.x), 1.0, 1e-9);
  const CameraFrame sigmaView =
      pictureCamera({{&sigma}, &model, true}, ViewDirection::best, 4.0 / 3.0);
  EXPECT_NEAR(std::fabs(sigmaView.basis.back.z), 1.0, 1e-9);
  // A gallery tilts for the pi orbital among its orbitals.
  const CameraFrame both =
      pictureCamera({{&sigma, &pi}, &model, true}, ViewDirection::best, 4.0 / 3.0);
  EXPECT_NEAR(std::fabs(both.basis.back.z), tilted, 1e-9);
}

TEST(PictureView, ALocalizedOrbitalIsFramedWithItsNeighbourhoodUnlessTheWholeIsAsked) {
  // A chain of 20 atoms along x, the lobes at its last atom.
  BallAndStickModel chain;
  for (int k = 0; k < 20; ++k) {
    chain.spheres.push_back({{1.5 * k, (k % 2) * 0.9, 0.0}, 0.3, {}, 6});
  }
  OrbitalMesh lone;
  add(lone.positive, sphere({28.5 + 0.8, 0.0, 0.0}, 0.7));
  add(lone.negative, sphere({28.5 - 0.8, 0.0, 0.0}, 0.7));
  const CameraFrame close = pictureCamera({{&lone}, &chain, true}, ViewDirection::best, 4.0 / 3.0);
  const CameraFrame whole = pictureCamera({{&lone}, &chain, true}, ViewDirection::whole, 4.0 / 3.0);
  EXPECT_LT(close.distance, 0.4 * whole.distance);
  EXPECT_TRUE(close.front);
  EXPECT_FALSE(whole.front);
  // Without the molecule in the picture there is nothing to frame but the lobes.
  const CameraFrame bare = pictureCamera({{&lone}, &chain, false}, ViewDirection::best, 4.0 / 3.0);
  EXPECT_FALSE(bare.front);
}

TEST(PictureView, LobesTakeColoursNoAtomOfThePictureHas) {
  EXPECT_TRUE(coloursAlike(elementColour(8), kPositiveLobeColour));
  EXPECT_TRUE(coloursAlike(elementColour(7), kNegativeLobeColour));
  EXPECT_FALSE(coloursAlike(elementColour(6), kPositiveLobeColour));
  const LobeColours hydrocarbon = lobeColoursApartFrom({elementColour(1), elementColour(6)});
  EXPECT_EQ(hydrocarbon.positive, kPositiveLobeColour);
  EXPECT_EQ(hydrocarbon.negative, kNegativeLobeColour);
  for (const std::vector<int>& elements :
       {std::vector<int>{1, 6, 7, 8}, {1, 6, 8, 16}, {1, 6, 7, 8, 15, 16, 17}}) {
    std::vector<Rgb> atoms;
    for (const int z : elements) atoms.push_back(elementColour(z));
    const LobeColours chosen = lobeColoursApartFrom(atoms);
    EXPECT_FALSE(coloursAlike(chosen.positive, chosen.negative));
    for (const Rgb& atom : atoms) {
      EXPECT_FALSE(coloursAlike(atom, chosen.positive) || coloursAlike(atom, chosen.negative))
          << elements.size();
    }
  }
}

}  // namespace
}  // namespace lobewright
