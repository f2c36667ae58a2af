#include "mesh/fast_sweep.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>
#include <stdexcept>
#include <stop_token>
#include <thread>

#include "app/grid_extent.h"
#include "mesh/polygonizer.h"
#include "mesh/sweep_control.h"
#include "support/classic_samples.h"

namespace lobewright {
namespace {

using testing::ClassicBuilder;

struct Sweep {
  std::vector<ShadedTriangle> triangles;
  std::vector<int> reports;
};

// The literal sweep, with the gradients the writers compute from it at every corner.
Sweep referenceSweep(const ClassicOrbital& orbital, float threshold, int accuracy,
                     const GridBounds& bounds) {
  Sweep sweep;
  polygonizeGrid(
      orbital, threshold, accuracy, bounds,
      [&](const SurfaceTriangle& t) {
        const SmoothTriangle smooth = smoothTriangle(orbital, t);
        sweep.triangles.push_back(
            {t, {smooth.corners[0].normal, smooth.corners[1].normal, smooth.corners[2].normal}});
      },
      [&](int percent) { sweep.reports.push_back(percent); });
  return sweep;
}

Sweep fastSweep(const ClassicOrbital& orbital, float threshold, int accuracy,
                const GridBounds& bounds, int threads) {
  Sweep sweep;
  sweepFast(orbital, threshold, accuracy, bounds, threads,
            [&](const std::vector<ShadedTriangle>& layer, int percent) {
              sweep.triangles.insert(sweep.triangles.end(), layer.begin(), layer.end());
              sweep.reports.push_back(percent);
            });
  return sweep;
}

// Bitwise equality, so that a negative zero or a NaN is not taken for its look-alike.
bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool sameBits(const Point& a, const Point& b) {
  return sameBits(a.x, b.x) && sameBits(a.y, b.y) && sameBits(a.z, b.z);
}

void expectSameSweep(const Sweep& fast, const Sweep& reference, const std::string& what) {
  EXPECT_EQ(fast.reports, reference.reports) << what;
  ASSERT_EQ(fast.triangles.size(), reference.triangles.size()) << what;
  for (std::size_t t = 0; t < fast.triangles.size(); ++t) {
    const ShadedTriangle& f = fast.triangles[t];
    const ShadedTriangle& r = reference.triangles[t];
    const bool same = sameBits(f.triangle.apex, r.triangle.apex) &&
                      sameBits(f.triangle.second, r.triangle.second) &&
                      sameBits(f.triangle.third, r.triangle.third) &&
                      sameBits(f.triangle.apexValue, r.triangle.apexValue) &&
                      sameBits(f.gradients[0], r.gradients[0]) &&
                      sameBits(f.gradients[1], r.gradients[1]) &&
                      sameBits(f.gradients[2], r.gradients[2]);
    ASSERT_TRUE(same) << what << ": triangle " << t << " differs";
  }
}

TEST(FastSweep, SamplesGiveTheReferenceTrianglesToTheBit) {
  struct Case {
    const char* file;
    int mo;
    int scale;
    float threshold;
    int accuracy;
  };
  const Case cases[] = {{"formaldehyde.mno", 6, 3, 0.05f, 3}, {"water.mno", 4, 2, 0.02f, 7},
                        {"caffeine.mno", 37, 2, 0.05f, 3},    {"ethylene.mno", 7, 2, -0.1f, 3},
                        {"benzene.mno", 15, 1, 0.0f, 0},      {"chloroform.mno", 13, 2, 0.1f, 12}};
  for (const Case& c : cases) {
    const testing::ClassicMoRead read = testing::readClassicMoSample(c.file, c.mo);
    ASSERT_TRUE(read.read) << c.file;
    const ClassicOrbital orbital(read.calculation, read.coefficients, c.scale, 3.5f);
    const GridBounds bounds = computeGridBounds(orbital, c.scale);
    const Sweep reference = referenceSweep(orbital, c.threshold, c.accuracy, bounds);
    for (const int threads : {1, 3}) {
      expectSameSweep(fastSweep(orbital, c.threshold, c.accuracy, bounds, threads), reference,
                      std::string(c.file) + " threads " + std::to_string(threads));
    }
  }
}

TEST(FastSweep, RandomMoleculesAndSettingsGiveTheReferenceTriangles) {
  std::mt19937 random(20261208);
  const auto uniform = [&](float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(random);
  };
  const char* const symbols[] = {"H", "C", "N", "O", "Cl"};
  for (int round = 0; round < 40; ++round) {
    ClassicBuilder builder;
    const int atoms = 1 + static_cast<int>(random() % 6);
    for (int a = 0; a < atoms; ++a) {
      builder.add(symbols[random() % 5], {uniform(-3, 3), uniform(-3, 3), uniform(-3, 3)},
                  uniform(-1, 1), uniform(-1, 1), uniform(-1, 1), uniform(-1, 1));
    }
    const int scale = 1 + static_cast<int>(random() % 4);
    const ClassicOrbital orbital = builder.orbital(scale, uniform(0.5f, 4.0f));
    const float threshold = round % 10 == 0 ? 0.0f : uniform(-0.01f, 0.2f);
    const int accuracy = static_cast<int>(random() % 12) - 1;
    GridBounds bounds = computeGridBounds(orbital, scale);
    bounds.xLow -= static_cast<int32_t>(random() % 3);
    bounds.zHigh += static_cast<int32_t>(random() % 3);
    const Sweep reference = referenceSweep(orbital, threshold, accuracy, bounds);
    expectSameSweep(fastSweep(orbital, threshold, accuracy, bounds, 1 + round % 3), reference,
                    "round " + std::to_string(round));
  }
}

TEST(FastSweep, ExponentsThatDoNotFallGiveTheReferenceTriangles) {
  for (const char* symbol : {"H", "C"}) {
    // Small at the atom, growing outwards: above the threshold only away from the atom.
    ClassicBuilder builder;
    builder.add(symbol, {0, 0, 0}, 0.01f, 0.01f);
    const int16_t element = builder.calculation().atoms[0].element;
    builder.parameters().zetaS[element] = -builder.parameters().zetaS[element];
    builder.parameters().zetaP[element] = -builder.parameters().zetaP[element];
    const ClassicOrbital orbital = builder.orbital(3, 1.5f);
    const GridBounds bounds = computeGridBounds(orbital, 3);
    const Sweep reference = referenceSweep(orbital, 0.05f, 3, bounds);
    EXPECT_FALSE(reference.triangles.empty());
    expectSameSweep(fastSweep(orbital, 0.05f, 3, bounds, 1), reference, symbol);
  }
}

TEST(FastSweep, EmptyRangesReportLikeTheReference) {
  const ClassicOrbital orbital = ClassicBuilder().add("H", {0, 0, 0}, 1.0f).orbital(1);
  for (const GridBounds bounds : {GridBounds{0, 0, 0, 0, 3, 4}, GridBounds{0, 0, 2, 3, 3, 2},
                                  GridBounds{0, 3, -5, 3, 2, 5}}) {
    const Sweep reference = referenceSweep(orbital, 0.05f, 3, bounds);
    expectSameSweep(fastSweep(orbital, 0.05f, 3, bounds, 1), reference, "empty");
    expectSameSweep(fastSweep(orbital, 0.05f, 3, bounds, 2), reference, "empty, 2 threads");
  }
}

// No size overflows, even on bounds that no grid budget has checked: the widest planes are
// refused before anything is allocated for them.
TEST(FastSweep, PlanesTooLargeToCountAreRefused) {
  const ClassicOrbital orbital = ClassicBuilder().add("H", {0, 0, 0}, 1.0f).orbital(1);
  constexpr int32_t kLow = std::numeric_limits<int32_t>::min();
  constexpr int32_t kHigh = std::numeric_limits<int32_t>::max();
  for (const GridBounds bounds :
       {GridBounds{kLow, kLow, 0, kHigh, kHigh, 1}, GridBounds{0, 0, 0, 32768, 32768, 1}}) {
    EXPECT_THROW(fastSweep(orbital, 0.05f, 3, bounds, 2), std::length_error);
  }
}

TEST(FastSweep, EvaluatesEachGridPointAtMostOnce) {
  const ClassicOrbital orbital = ClassicBuilder().add("H", {0, 0, 0}, 1.0f).orbital(4);
  const GridBounds bounds = computeGridBounds(orbital, 4);
  const auto evaluations = [&](float threshold) {
    return sweepFast(orbital, threshold, 3, bounds, 1,
                     [](const std::vector<ShadedTriangle>&, int) {})
        .evaluations;
  };
  // Below a negative threshold every point is above it: no crossing, each point once.
  EXPECT_EQ(evaluations(-1.0f), 13 * 13 * 13);
  // Far above anything the atom can reach, no point needs evaluating at all.
  EXPECT_EQ(evaluations(100.0f), 0);
}

// However the stop arrives (before the sweep, from the sink, or from another thread while the
// workers compute and wait), the sweep throws SweepCancelled once every thread has ended, and no
// layer reaches the sink after the stop.
TEST(FastSweep, AStopEndsEveryThreadAndNoLayerFollowsIt) {
  const ClassicOrbital orbital = ClassicBuilder().add("H", {0, 0, 0}, 1.0f).orbital(20);
  const GridBounds bounds = computeGridBounds(orbital, 20);
  enum class StopFrom { before, sink, otherThread };
  for (const StopFrom from : {StopFrom::before, StopFrom::sink, StopFrom::otherThread}) {
    for (const int threads : {1, 2, 4}) {
      std::stop_source source;
      if (from == StopFrom::before) source.request_stop();
      std::jthread stopper;
      int delivered = 0;
      int deliveredAfterStop = 0;
      const auto sink = [&](const std::vector<ShadedTriangle>&, int) {
        if (source.stop_requested()) ++deliveredAfterStop;
        if (++delivered != 3) return;
        if (from == StopFrom::sink) source.request_stop();
        if (from == StopFrom::otherThread) {
          stopper = std::jthread([&source] { source.request_stop(); });
          while (!source.stop_requested()) std::this_thread::yield();
        }
      };
      const std::string what = "stop " + std::to_string(static_cast<int>(from)) + ", " +
                               std::to_string(threads) + " threads";
      EXPECT_THROW(sweepFast(orbital, 0.05f, 3, bounds, threads, sink, source.get_token()),
                   SweepCancelled)
          << what;
      EXPECT_EQ(deliveredAfterStop, 0) << what;
      EXPECT_EQ(delivered, from == StopFrom::before ? 0 : 3) << what;
    }
  }
}

}  // namespace
}  // namespace lobewright
