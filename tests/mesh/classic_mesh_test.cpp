// The classic model through the watertight mesher: the adaptor agrees with the classic
// evaluation, its gradient and bound hold, and caffeine's HOMO gives sound lobes.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "mesh/mesh_check.h"
#include "mesh/surface_box.h"
#include "mesh/watertight_mesher.h"
#include "orbital/classic_field.h"
#include "support/bound_check.h"
#include "support/classic_samples.h"

namespace lobewright {
namespace {

constexpr int kCaffeineHomo = 37;

ClassicOrbital caffeineHomo(int scale) {
  const testing::ClassicMoRead read = testing::readClassicMoSample("caffeine.mno", kCaffeineHomo);
  EXPECT_TRUE(read.read);
  return ClassicOrbital(read.calculation, read.coefficients, scale, 3.5f);
}

// The distance in Angstrom from p to the nearest atom's cutoff sphere, where the classic orbital
// jumps.
double distanceToCutoffSphere(const ClassicOrbital& orbital, const Vec3& p) {
  const double scale = orbital.scale();
  const double cutoff = std::sqrt(static_cast<double>(orbital.cutoffSquared())) / scale;
  double nearest = INFINITY;
  for (const AtomOrbital& a : orbital.atoms()) {
    const Vec3 atom{a.x / scale, a.y / scale, a.z / scale};
    nearest = std::min(nearest, std::fabs(norm(p - atom) - cutoff));
  }
  return nearest;
}

TEST(ClassicField, ValuesAreTheClassicOnesAndGradientsAndBoundsHold) {
  const ClassicOrbital orbital = caffeineHomo(4);
  const ClassicField field(orbital);
  std::mt19937 random(7);
  std::uniform_int_distribution<int> index(-30, 30);
  for (int n = 0; n < 200; ++n) {
    const int i = index(random);
    const int j = index(random);
    const int k = index(random);
    const float classic =
        orbital.valueAt(static_cast<float>(i), static_cast<float>(j), static_cast<float>(k));
    EXPECT_EQ(field.valueAt(gridPosition(i, j, k, 4)), static_cast<double>(classic));
  }
  // The gradient against central differences, away from the jumps at the cutoff spheres and the
  // cusps at the nuclei; the differences carry the single-precision rounding.
  std::uniform_real_distribution<double> place(-4.0, 4.0);
  int compared = 0;
  for (int n = 0; n < 400; ++n) {
    const Vec3 p{place(random), place(random), place(random) * 0.5};
    if (distanceToCutoffSphere(orbital, p) < 0.01) continue;
    const FieldSample s = field.sampleAt(p);
    if (norm(s.gradient) < 1e-2) continue;
    EXPECT_EQ(s.value, field.valueAt(p));
    const double step = 1e-3;
    const Vec3 difference{
        (field.valueAt(p + Vec3{step, 0, 0}) - field.valueAt(p - Vec3{step, 0, 0})) / (2 * step),
        (field.valueAt(p + Vec3{0, step, 0}) - field.valueAt(p - Vec3{0, step, 0})) / (2 * step),
        (field.valueAt(p + Vec3{0, 0, step}) - field.valueAt(p - Vec3{0, 0, step})) / (2 * step)};
    EXPECT_LT(norm(difference - s.gradient), 2e-3 * norm(s.gradient) + 2e-4) << p.x << " " << p.y;
    ++compared;
  }
  EXPECT_GT(compared, 100);
  testing::expectBoundHoldsInRandomBoxes(field, random, 4.0, 20);
}

TEST(ClassicMesh, CaffeineHomoIsClosedOutwardAndManifold) {
  for (int scale = 3; scale <= 8; ++scale) {
    const ClassicOrbital orbital = caffeineHomo(scale);
    const ClassicField field(orbital);
    for (const double threshold : {0.05, 0.02}) {
      const std::string what =
          "scale " + std::to_string(scale) + " threshold " + std::to_string(threshold);
      const std::optional<GridBox> box =
          findSurfaceBox(field, threshold, scale, field.atomsLow(), field.atomsHigh());
      ASSERT_TRUE(box) << what;
      const OrbitalMesh mesh = meshIsosurface(field, threshold, scale, *box, SweepControl{});
      const double minimumArea = 0.999 * kSliverArea / (scale * scale);
      for (const LobeMesh* lobe : {&mesh.positive, &mesh.negative}) {
        const LobeMeshCheck c = checkLobeMesh(*lobe, minimumArea);
        EXPECT_TRUE(c.watertight()) << what;
        EXPECT_EQ(c.degenerateTriangles, 0) << what;
        EXPECT_EQ(c.nonUnitNormals, 0) << what;
        EXPECT_GT(c.signedVolume, 0.0) << what;
        EXPECT_LE(c.reversedTriangles, lobe->triangles.size() / 1000) << what;
        // Single-precision sums put the values a little off the threshold, and where a lobe meets
        // a cutoff sphere its vertices sit on the jump there.
        for (const Vec3& p : lobe->positions) {
          const double deviation = std::fabs(std::fabs(field.valueAt(p)) / threshold - 1.0);
          if (deviation > 1e-5) {
            EXPECT_LT(distanceToCutoffSphere(orbital, p), 0.01) << what;
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace lobewright
