// A thread the system refuses to start stops a sweep with an error: the threads already running
// are stopped and joined first (a running std::thread destroyed unjoined would end the program),
// and the next sweep runs whole.
#include "mesh/worker_threads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <system_error>
#include <vector>

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
  EXPECT_THROW(
      (OrderedPlanePipeline<int, int>(1000, 4, {})
           .run([&](int64_t, int&) { ++planes; }, [](int64_t, const int&, const int&, int&) {},
                [](int64_t, const int&, const int&, const int&) {})),
      std::system_error);
  // The workers that did start are gone: nothing computes any more.
  const int computed = planes;
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(planes, computed);
}

// Batches share out among the threads: each runs once, and the calling thread is told the count
// so far after each of its own, rising. A throw ends the run with that error, a refused thread
// with its error, and a stop with false unless every batch had run.
TEST_F(RefusedThreadStart, BatchesRunOnceEachAndStopOnAThrowOrAStop) {
  constexpr std::size_t kBatches = 500;
  for (const int threads : {1, 2, 4}) {
    SCOPED_TRACE(threads);
    std::vector<std::atomic<int>> runs(kBatches);
    std::vector<std::size_t> told;
    const bool whole = runBatches(
        kBatches, threads, {}, [&](std::size_t batch) { ++runs[batch]; },
        [&](std::size_t run) { told.push_back(run); });
    EXPECT_TRUE(whole);
    EXPECT_TRUE(std::all_of(runs.begin(), runs.end(), [](const auto& n) { return n == 1; }));
    // The other threads may have run every batch before the calling one took any.
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_TRUE(told.empty() || told.back() <= kBatches);

    std::atomic<std::size_t> begun = 0;
    const auto failAt = [&](std::size_t batch) {
      ++begun;
      if (batch == 10) throw std::runtime_error("batch 10");
    };
    EXPECT_THROW(runBatches(kBatches, threads, {}, failAt), std::runtime_error);
    // Other threads may run the rest of these short batches before they see the throw or the
    // stop; one thread alone begins no batch after it.
    if (threads == 1) {
      EXPECT_EQ(begun, 11u);
    }

    std::stop_source stop;
    begun = 0;
    const auto stopAt = [&](std::size_t batch) {
      ++begun;
      if (batch == 10) stop.request_stop();
    };
    const bool stoppedWhole = runBatches(kBatches, threads, stop.get_token(), stopAt);
    EXPECT_EQ(stoppedWhole, begun == kBatches);
    if (threads == 1) {
      EXPECT_EQ(begun, 11u);
    }
  }
  failThreadStartForTesting(2);
  EXPECT_THROW(runBatches(kBatches, 4, {}, [](std::size_t) {}), std::system_error);
}

}  // namespace
}  // namespace lobewright
