#include "mesh/watertight_mesher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>
#include <random>
#include <set>
#include <span>
#include <string>

#include "mesh/mesh_check.h"
#include "mesh/surface_box.h"
#include "support/synthetic_fields.h"

namespace lobewright {
namespace {

using testing::Blob;
using testing::BlobField;
using testing::NegatedField;
using testing::TorusField;
using testing::WaveField;

struct Meshed {
  OrbitalMesh mesh;
  std::array<LobeMeshCheck, 2> checks;
  // Per lobe, the largest angle (radians) between a vertex's normal and the field's gradient there.
  std::array<double, 2> largestNormalAngle{};
};

// A normal may come from a gradient taken a short way along its edge (under a degree off on
// these fields); one taken anywhere else is off by far more.
constexpr double kNormalAngle = 0.03;

template <class F>
double largestNormalAngle(const F& field, const LobeMesh& lobe, double sign) {
  double largest = 0.0;
  for (std::size_t v = 0; v < lobe.positions.size(); ++v) {
    const Vec3 out = -sign * field.sampleAt(lobe.positions[v]).gradient;
    const double cosine = dot(out, lobe.normals[v]) / norm(out);
    largest = std::max(largest, std::acos(std::clamp(cosine, -1.0, 1.0)));
  }
  return largest;
}

// Euler characteristic V - E + F of a closed mesh: 2 per sphere-like piece, 0 per torus.
int64_t eulerCharacteristic(const LobeMesh& lobe) {
  const auto f = static_cast<int64_t>(lobe.triangles.size());
  return static_cast<int64_t>(lobe.positions.size()) - 3 * f / 2 + f;
}

template <class F>
Meshed meshAndCheck(const F& field, double threshold, double scale, const Vec3& low,
                    const Vec3& high) {
  const std::optional<GridBox> box = findSurfaceBox(field, threshold, scale, low, high);
  EXPECT_TRUE(box.has_value());
  Meshed m;
  if (!box) return m;
  m.mesh = meshIsosurface(field, threshold, scale, *box, SweepControl{});
  const double minimumArea = 0.999 * kSliverArea / (scale * scale);
  const auto value = [&](const Vec3& p) { return field.valueAt(p); };
  m.checks[0] = checkLobeMesh(m.mesh.positive, minimumArea, value, threshold);
  m.checks[1] = checkLobeMesh(m.mesh.negative, minimumArea, value, threshold);
  m.largestNormalAngle = {largestNormalAngle(field, m.mesh.positive, 1.0),
                          largestNormalAngle(field, m.mesh.negative, -1.0)};
  return m;
}

// Closed, manifold, outward, no slivers, vertices on the surface, unit normals that agree with
// the triangles' winding and with the field's gradient. Where the surface has necks thinner than a
// grid cube, a few triangles may span both sides of one and so face against their corners' normals:
// `folds` allows that fraction of them.
void expectSound(const Meshed& m, const std::string& what, double folds = 0.0) {
  for (int lobe = 0; lobe < 2; ++lobe) {
    const LobeMeshCheck& c = m.checks[lobe];
    const LobeMesh& mesh = lobe == 0 ? m.mesh.positive : m.mesh.negative;
    const std::string where = what + (lobe == 0 ? " positive" : " negative");
    EXPECT_EQ(c.boundaryEdges, 0) << where;
    EXPECT_EQ(c.nonManifoldEdges, 0) << where;
    EXPECT_EQ(c.misorientedEdges, 0) << where;
    EXPECT_EQ(c.nonManifoldVertices, 0) << where;
    EXPECT_EQ(c.badIndices, 0) << where;
    EXPECT_EQ(c.degenerateTriangles, 0) << where;
    EXPECT_LE(c.reversedTriangles, folds * static_cast<double>(mesh.triangles.size())) << where;
    EXPECT_EQ(c.nonUnitNormals, 0) << where;
    EXPECT_LE(c.largestDeviation, 1e-6) << where;
    EXPECT_LE(m.largestNormalAngle[lobe], kNormalAngle) << where;
    if (!mesh.triangles.empty()) {
      EXPECT_GT(c.signedVolume, 0.0) << where;
    }
  }
}

TEST(WatertightMesher, SpheresAreClosedWithTheRightVolume) {
  struct Case {
    const char* name;
    Blob blob;
    double threshold;
    double scale;
    double radius;
    double volumeTolerance;  // an inscribed polyhedron falls short of the sphere
  };
  const Case cases[] = {
      {"gaussian", {{0, 0, 0}, 1.0, 1.0, false}, 0.1, 4, std::sqrt(std::log(10.0)), 0.03},
      {"slater off the grid",
       {{0.123, -0.31, 0.077}, 2.0, 1.5, true},
       0.05,
       5,
       std::log(40.0) / 1.5,
       0.03},
      {"small on a coarse grid",
       {{0.1, 0.2, 0.3}, 1.0, 4.0, false},
       0.3,
       3,
       std::sqrt(std::log(1 / 0.3) / 4.0),
       0.12},
  };
  for (const Case& c : cases) {
    const BlobField field({c.blob});
    const Meshed m = meshAndCheck(field, c.threshold, c.scale, c.blob.centre, c.blob.centre);
    expectSound(m, c.name);
    EXPECT_EQ(eulerCharacteristic(m.mesh.positive), 2) << c.name;
    EXPECT_TRUE(m.mesh.negative.triangles.empty()) << c.name;
    const double volume = 4.0 / 3.0 * std::numbers::pi * std::pow(c.radius, 3);
    EXPECT_NEAR(m.checks[0].signedVolume, volume, c.volumeTolerance * volume) << c.name;
  }
}

// threshold * exp(1 - r^2 / radius^2): exactly the threshold at every grid point on the sphere.
class ExactSphereField {
 public:
  ExactSphereField(double threshold, double radius) : m_threshold(threshold), m_radius(radius) {}
  [[nodiscard]] double valueAt(const Vec3& p) const { return sampleAt(p).value; }
  [[nodiscard]] FieldSample sampleAt(const Vec3& p) const {
    const double r2 = m_radius * m_radius;
    const double v = m_threshold * std::exp(1.0 - dot(p, p) / r2);
    return {v, (-2.0 * v / r2) * p};
  }
  [[nodiscard]] double boundOfMagnitude(const Vec3& low, const Vec3& high) const {
    const double r = testing::distanceToBox({}, low, high);
    return m_threshold * std::exp(1.0 - r * r / (m_radius * m_radius));
  }

 private:
  double m_threshold;
  double m_radius;
};

TEST(WatertightMesher, GridPointsExactlyOnTheThresholdLeaveNoSlivers) {
  // At scale 4 the sphere of radius 5/4 passes through the 30 grid points with
  // i^2 + j^2 + k^2 = 25, where several crossings fall on one point.
  const ExactSphereField field(0.1, 1.25);
  ASSERT_EQ(field.valueAt(gridPosition(3, 4, 0, 4)), 0.1);
  const Meshed m = meshAndCheck(field, 0.1, 4, {0, 0, 0}, {0, 0, 0});
  expectSound(m, "exact sphere");
  EXPECT_EQ(eulerCharacteristic(m.mesh.positive), 2);
}

TEST(WatertightMesher, TwoSpheresTouchingOrApartStayClosed) {
  // Two Gaussians whose sum at the midpoint is `neck` times the threshold.
  const double threshold = 0.2;
  for (const double neck : {0.5, 0.99, 1.0, 1.01, 1.5}) {
    const double half = std::sqrt(std::log(2.0 / (neck * threshold)));
    const BlobField field(
        {{{-half, 0.01, 0.02}, 1.0, 1.0, false}, {{half, 0.01, 0.02}, 1.0, 1.0, false}});
    const Meshed m = meshAndCheck(field, threshold, 4, {-half, 0, 0}, {half, 0, 0});
    const std::string what = "neck " + std::to_string(neck);
    expectSound(m, what);
    if (neck == 0.5) {
      EXPECT_EQ(eulerCharacteristic(m.mesh.positive), 4) << what;
    }
    if (neck == 1.5) {
      EXPECT_EQ(eulerCharacteristic(m.mesh.positive), 2) << what;
    }
  }
}

TEST(WatertightMesher, TorusHasOneHandle) {
  const TorusField field(2.0, 0.5);
  const Meshed m = meshAndCheck(field, 0.3, 4, {-2, -2, 0}, {2, 2, 0});
  expectSound(m, "torus");
  EXPECT_EQ(eulerCharacteristic(m.mesh.positive), 0);
  const double tube = 0.5 * std::sqrt(std::log(1 / 0.3));
  const double volume = 2 * std::numbers::pi * std::numbers::pi * 2.0 * tube * tube;
  EXPECT_NEAR(m.checks[0].signedVolume, volume, 0.05 * volume);
}

TEST(WatertightMesher, SaddlesAndAlternatingCornersStayManifold) {
  // Lobes of both signs meeting at saddles, on and off the grid, with thresholds near the
  // saddle values; and four blobs on alternating corners of one grid cube.
  for (const double threshold : {0.05, 0.3}) {
    for (const Vec3 shift : {Vec3{0, 0, 0}, Vec3{0.11, -0.07, 0.05}}) {
      const WaveField field(std::numbers::pi / 1.25, 2.5, shift);
      const Meshed m = meshAndCheck(field, threshold, 4, shift, shift);
      expectSound(m, "wave at " + std::to_string(threshold), 1e-3);
      EXPECT_FALSE(m.mesh.negative.triangles.empty());
    }
  }
  const double h = 0.25;
  std::vector<Blob> corners;
  for (const Vec3 c : {Vec3{0, 0, 0}, Vec3{h, h, 0}, Vec3{h, 0, h}, Vec3{0, h, h}}) {
    corners.push_back({c, 1.0, 60.0, false});
  }
  for (const double threshold : {0.3, 0.45, 0.6, 0.9}) {
    const BlobField field(corners);
    const Meshed m = meshAndCheck(field, threshold, 1 / h, {0, 0, 0}, {h, h, h});
    expectSound(m, "alternating corners at " + std::to_string(threshold));
  }
}

TEST(WatertightMesher, RandomBlobSumsAreSound) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> place(-2.0, 2.0);
    std::uniform_real_distribution<double> weight(0.5, 1.5);
    std::uniform_real_distribution<double> exponent(0.8, 3.0);
    std::vector<Blob> blobs;
    for (int b = 0; b < 6; ++b) {
      blobs.push_back({{place(random), place(random), place(random)},
                       (b % 2 ? -1.0 : 1.0) * weight(random),
                       exponent(random),
                       b % 3 == 0});
    }
    const double threshold = std::uniform_real_distribution<double>(0.05, 0.3)(random);
    const double scale = 3 + static_cast<int>(seed % 4);
    const BlobField field(blobs);
    const Meshed m = meshAndCheck(field, threshold, scale, {-2, -2, -2}, {2, 2, 2});
    expectSound(m, "seed " + std::to_string(seed));
  }
}

TEST(WatertightMesher, NegatingTheFieldSwapsTheLobes) {
  const BlobField field({{{0.3, 0, 0}, 1.0, 1.2, false}, {{-0.9, 0.2, 0.1}, -0.8, 2.0, true}});
  const NegatedField<BlobField> negated(field);
  const GridBox box = findSurfaceBox(field, 0.1, 4, {-1, -1, -1}, {1, 1, 1}).value();
  const OrbitalMesh mesh = meshIsosurface(field, 0.1, 4, box, SweepControl{});
  const OrbitalMesh swapped = meshIsosurface(negated, 0.1, 4, box, SweepControl{});
  ASSERT_FALSE(mesh.positive.triangles.empty());
  ASSERT_FALSE(mesh.negative.triangles.empty());
  for (const LobeSign sign : {LobeSign::positive, LobeSign::negative}) {
    const LobeSign other = sign == LobeSign::positive ? LobeSign::negative : LobeSign::positive;
    EXPECT_EQ(mesh.lobe(sign).positions, swapped.lobe(other).positions);
    EXPECT_EQ(mesh.lobe(sign).normals, swapped.lobe(other).normals);
    EXPECT_EQ(mesh.lobe(sign).triangles, swapped.lobe(other).triangles);
  }
}

TEST(WatertightMesher, SkippingByTheBoundChangesNothing) {
  const std::vector<Blob> blobs{{{0.2, 0.1, 0}, 1.0, 1.0, false}, {{1.4, 0, 0.3}, -1.0, 2.0, true}};
  const BlobField bounded(blobs);
  const BlobField unbounded(blobs, false);
  const GridBox box = findSurfaceBox(bounded, 0.05, 4, {0, 0, 0}, {1.4, 0, 0.3}).value();
  const OrbitalMesh skipped = meshIsosurface(bounded, 0.05, 4, box, SweepControl{});
  const OrbitalMesh full = meshIsosurface(unbounded, 0.05, 4, box, SweepControl{});
  for (const LobeSign sign : {LobeSign::positive, LobeSign::negative}) {
    EXPECT_EQ(skipped.lobe(sign).positions, full.lobe(sign).positions);
    EXPECT_EQ(skipped.lobe(sign).triangles, full.lobe(sign).triangles);
  }
}

// The blob field, evaluating many points at once when the mesher asks so, and counting how many
// it was asked for in how many batches (from any thread).
class BatchedBlobField : public BlobField {
 public:
  using BlobField::BlobField;

  void valuesAt(std::span<const Vec3> points, std::span<double> values) const {
    count(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) values[i] = valueAt(points[i]);
  }
  void samplesAt(std::span<const Vec3> points, std::span<FieldSample> samples) const {
    count(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) samples[i] = sampleAt(points[i]);
  }
  [[nodiscard]] double pointsPerBatch() const {
    return static_cast<double>(m_points) / static_cast<double>(m_batches);
  }

 private:
  void count(std::size_t points) const {
    m_batches.fetch_add(1);
    m_points.fetch_add(static_cast<int64_t>(points));
  }
  mutable std::atomic<int64_t> m_batches{0};
  mutable std::atomic<int64_t> m_points{0};
};

// Grid values and crossing searches go to a field in batches when it takes them, with the same
// mesh as one point at a time.
TEST(WatertightMesher, BatchesGiveTheSameMesh) {
  const std::vector<Blob> blobs{{{0.2, 0.1, 0}, 1.0, 1.0, false}, {{1.4, 0, 0.3}, -1.0, 2.0, true}};
  const BlobField single(blobs);
  const BatchedBlobField batched(blobs);
  static_assert(BatchField<BatchedBlobField> && !BatchField<BlobField>);
  const GridBox box = findSurfaceBox(single, 0.05, 6, {0, 0, 0}, {1.4, 0, 0.3}).value();
  SweepControl control;
  control.threads = 2;
  const OrbitalMesh one = meshIsosurface(single, 0.05, 6, box, control);
  const OrbitalMesh many = meshIsosurface(batched, 0.05, 6, box, control);
  EXPECT_GT(batched.pointsPerBatch(), 8.0);
  for (const LobeSign sign : {LobeSign::positive, LobeSign::negative}) {
    EXPECT_FALSE(one.lobe(sign).triangles.empty());
    EXPECT_EQ(many.lobe(sign).positions, one.lobe(sign).positions);
    EXPECT_EQ(many.lobe(sign).normals, one.lobe(sign).normals);
    EXPECT_EQ(many.lobe(sign).triangles, one.lobe(sign).triangles);
  }
}

TEST(SurfaceBox, GrowsToHoldALobeFarFromTheStartAndRefusesWithoutABound) {
  // The start extent holds one blob; a second one lies well beyond it.
  const std::vector<Blob> blobs{{{0, 0, 0}, 1.0, 1.0, false}, {{0, 0, 7}, -1.0, 1.0, false}};
  const BlobField field(blobs);
  const GridBox box = findSurfaceBox(field, 0.1, 4, {0, 0, 0}, {0, 0, 0}).value();
  const double radius = std::sqrt(std::log(10.0));
  EXPECT_GT(box.high[2] / 4.0, 7 + radius);
  // Nothing on the box's faces is inside a lobe.
  for (int32_t i = box.low[0]; i <= box.high[0]; ++i) {
    for (int32_t j = box.low[1]; j <= box.high[1]; ++j) {
      for (const int32_t k : {box.low[2], box.high[2]}) {
        EXPECT_LT(std::fabs(field.valueAt(gridPosition(i, j, k, 4))), 0.1);
      }
    }
  }
  const Meshed m = meshAndCheck(field, 0.1, 4, {0, 0, 0}, {0, 0, 0});
  expectSound(m, "two far blobs");
  EXPECT_NEAR(m.checks[1].signedVolume, m.checks[0].signedVolume, 0.03 * m.checks[0].signedVolume);

  EXPECT_FALSE(findSurfaceBox(BlobField(blobs, false), 0.1, 4, {0, 0, 0}, {0, 0, 0}));
  EXPECT_FALSE(findSurfaceBox(field, 0.1, 4, {0, 0, NAN}, {0, 0, 0}));
}

TEST(WatertightMesher, ReportsProgressPerPlaneAndStops) {
  const BlobField field({{{0, 0, 0}, 1.0, 1.0, false}});
  const GridBox box = findSurfaceBox(field, 0.1, 4, {0, 0, 0}, {0, 0, 0}).value();
  SweepControl control;
  std::vector<int> reports;
  control.progress = [&](int percent) { reports.push_back(percent); };
  (void)meshIsosurface(field, 0.1, 4, box, control);
  ASSERT_EQ(static_cast<int32_t>(reports.size()), box.high[2] - box.low[2]);
  EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
  EXPECT_EQ(reports.back(), 100);

  std::stop_source stop;
  control.stop = stop.get_token();
  int calls = 0;
  control.progress = [&](int) {
    if (++calls == 3) stop.request_stop();
  };
  EXPECT_THROW((void)meshIsosurface(field, 0.1, 4, box, control), SweepCancelled);
  EXPECT_EQ(calls, 3);

  calls = 0;
  control.threads = 3;
  std::stop_source later;
  control.stop = later.get_token();
  control.progress = [&](int) {
    if (++calls == 2) later.request_stop();
  };
  EXPECT_THROW((void)meshIsosurface(field, 0.1, 4, box, control), SweepCancelled);
  EXPECT_EQ(calls, 2);
}

TEST(WatertightMesher, ThreadsGiveTheSameMesh) {
  const WaveField field(std::numbers::pi / 1.25, 2.5, {0.11, -0.07, 0.05});
  const GridBox box = findSurfaceBox(field, 0.2, 4, {0, 0, 0}, {0, 0, 0}).value();
  const OrbitalMesh single = meshIsosurface(field, 0.2, 4, box, SweepControl{});
  for (const int threads : {2, 3, 5}) {
    SweepControl control;
    control.threads = threads;
    std::vector<int> reports;
    control.progress = [&](int percent) { reports.push_back(percent); };
    const OrbitalMesh parallel = meshIsosurface(field, 0.2, 4, box, control);
    EXPECT_EQ(static_cast<int32_t>(reports.size()), box.high[2] - box.low[2]) << threads;
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end())) << threads;
    for (const LobeSign sign : {LobeSign::positive, LobeSign::negative}) {
      EXPECT_EQ(parallel.lobe(sign).positions, single.lobe(sign).positions) << threads;
      EXPECT_EQ(parallel.lobe(sign).normals, single.lobe(sign).normals) << threads;
      EXPECT_EQ(parallel.lobe(sign).triangles, single.lobe(sign).triangles) << threads;
    }
  }
}

// The lean lobe against the full one: far fewer triangles, the same vertices, the same topology,
// and its triangles' middles still within a small share of the grid spacing of the surface.
template <class F>
void expectLeanKeepsSurface(const F& field, double threshold, double scale,
                            const std::string& name) {
  const std::optional<GridBox> box =
      findSurfaceBox(field, threshold, scale, {-2.5, -2.5, -2.5}, {2.5, 2.5, 2.5});
  ASSERT_TRUE(box) << name;
  SweepControl full;
  full.lean = false;
  const OrbitalMesh fullMesh = meshIsosurface(field, threshold, scale, *box, full);
  const OrbitalMesh leanMesh = meshIsosurface(field, threshold, scale, *box, SweepControl{});
  for (const LobeSign sign : {LobeSign::positive, LobeSign::negative}) {
    const LobeMesh& before = fullMesh.lobe(sign);
    const LobeMesh& after = leanMesh.lobe(sign);
    if (before.triangles.empty()) continue;
    const std::string where = name + (sign == LobeSign::positive ? " +" : " -");
    EXPECT_LE(after.triangles.size(), 0.4 * static_cast<double>(before.triangles.size())) << where;
    EXPECT_EQ(eulerCharacteristic(after), eulerCharacteristic(before)) << where;
    std::set<std::array<double, 3>> vertices;
    for (const Vec3& p : before.positions) vertices.insert({p.x, p.y, p.z});
    double farthest = 0.0;
    for (const auto& t : after.triangles) {
      for (const uint32_t v : t) {
        const Vec3& p = after.positions[v];
        EXPECT_TRUE(vertices.count({p.x, p.y, p.z})) << where;
      }
      const Vec3 middle =
          (1.0 / 3.0) * (after.positions[t[0]] + after.positions[t[1]] + after.positions[t[2]]);
      const FieldSample s = field.sampleAt(middle);
      farthest = std::max(farthest, std::fabs(std::fabs(s.value) - threshold) / norm(s.gradient));
    }
    EXPECT_LE(farthest * scale, 0.2) << where << ": the farthest middle in grid spacings";
  }
}

// A lobe large enough to be made lean in slabs, the slabs' borders last: its surface is kept as
// a small lobe's is, and the mesh is the same for any number of threads.
TEST(WatertightMesher, LargeLobesAreMadeLeanInSlabs) {
  const TorusField torus(1.2, 0.35);
  const double scale = 32;
  expectLeanKeepsSurface(torus, 0.5, scale, "large torus");
  const GridBox box =
      findSurfaceBox(torus, 0.5, scale, {-2.5, -2.5, -2.5}, {2.5, 2.5, 2.5}).value();
  SweepControl full;
  full.lean = false;
  ASSERT_GT(meshIsosurface(torus, 0.5, scale, box, full).positive.triangles.size(),
            3 * kLeanRegionTriangles);
  const OrbitalMesh single = meshIsosurface(torus, 0.5, scale, box, SweepControl{});
  for (const int threads : {2, 4}) {
    SweepControl control;
    control.threads = threads;
    const OrbitalMesh parallel = meshIsosurface(torus, 0.5, scale, box, control);
    EXPECT_EQ(parallel.positive.positions, single.positive.positions) << threads;
    EXPECT_EQ(parallel.positive.triangles, single.positive.triangles) << threads;
  }
}

TEST(WatertightMesher, LeanLobesKeepTheirSurface) {
  expectLeanKeepsSurface(
      BlobField({{{-0.7, 0, 0}, 1.0, 1.2, true}, {{0.8, 0.3, 0}, -1.0, 1.5, false}}), 0.1, 8,
      "blobs");
  expectLeanKeepsSurface(TorusField(1.2, 0.35), 0.5, 10, "torus");
  expectLeanKeepsSurface(WaveField(2.0, 1.5), 0.2, 8, "wave");
}

}  // namespace
}  // namespace lobewright
