// A thread the system refuses to start stops a sweep with an error: the threads already running
// are stopped and joined first (a running std::thread destroyed unjoined would end the program),
// and the next sweep runs whole.
#include "mesh/worker_threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <system_error>

#include "app/grid_extent.h"
#include "mesh/fast_sweep.h"
#include "mesh/ordered_plane_pipeline.h"
#include "support/classic_samples.h"

namespace lobewright {
namespace {

class RefusedThreadStart : public ::testing::Test {
 protected:
  ~RefusedThreadStart() override { failThreadStartForTesting(0); }
};

TEST_F(RefusedThreadStart, StopsTheFastSweepWithTheError) {
  const ClassicOrbital orbital =
      testing::ClassicBuilder().add("C", {0, 0, 0}, 0.5f, 0.5f).orbital(4);
  const GridBounds bounds = computeGridBounds(orbital, 4);
  const auto triangles = [&](int threads) {
    int64_t count = 0;
    sweepFast(orbital, 0.05f, 3, bounds, threads,
              [&](const std::vector<ShadedTriangle>& layer, int) {
                count += static_cast<int64_t>(layer.size());
              });
    return count;
  };
  // Four threads start three workers; the first, second or last of them is refused.
  for (const int refused : {1, 2, 3}) {
    failThreadStartForTesting(refused);
    EXPECT_THROW(triangles(4), std::system_error) << refused;
  }
  failThreadStartForTesting(0);
  EXPECT_EQ(triangles(4), triangles(1));
}

TEST_F(RefusedThreadStart, StopsThePlanePipelineWithTheError) {
  std::atomic<int> planes = 0;
  failThreadStartForTesting(3);
  EXPECT_THROW((OrderedPlanePipeline<int, int>(1000, 4, {})
                    .run([&](int64_t, int&) { ++planes; },
                         [](int64_t, const int&, const int&, int&) {},
                         [](int64_t, const int&, const int&, const int&) {})),
               std::system_error);
  // The workers that did start are gone: nothing computes any more.
  const int computed = planes;
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(planes, computed);
}

}  // namespace
}  // namespace lobewright
