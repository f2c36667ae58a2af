// The pipeline on its own, with pieces that only record what they were given: the order of the
// hand-over, how far ahead planes are computed, how much storage it takes, and failures.
#include "mesh/ordered_plane_pipeline.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>

namespace lobewright {
namespace {

struct TracedPlane {
  TracedPlane() { ++made; }
  int64_t k = -1;
  static inline std::atomic<int> made = 0;
};
struct TracedLayer {
  TracedLayer() { ++made; }
  int64_t k = -1;
  bool fromItsPlanes = false;
  static inline std::atomic<int> made = 0;
};

TEST(OrderedPlanePipeline, HandsOverEveryLayerInOrderWithinTheWindow) {
  constexpr int64_t kLayers = 60;
  for (const int threads : {1, 2, 3, 5}) {
    // One thread computes only what the next layer needs.
    const int64_t window = threads == 1 ? 1 : 2 * threads + 2;
    TracedPlane::made = 0;
    TracedLayer::made = 0;
    std::atomic<int64_t> handedOver = 0;
    std::atomic<int64_t> farthestAhead = 0;
    std::array<std::atomic<int>, kLayers + 1> computed{};
    int64_t expected = 0;
    OrderedPlanePipeline<TracedPlane, TracedLayer>(kLayers, threads, {})
        .run(
            [&](int64_t k, TracedPlane& plane) {
              ++computed[k];
              const int64_t ahead = k - handedOver;
              int64_t farthest = farthestAhead;
              while (ahead > farthest && !farthestAhead.compare_exchange_weak(farthest, ahead)) {
              }
              plane.k = k;
            },
            [](int64_t k, const TracedPlane& lower, const TracedPlane& upper, TracedLayer& layer) {
              layer.k = k;
              layer.fromItsPlanes = lower.k == k && upper.k == k + 1;
            },
            [&](int64_t k, const TracedPlane& lower, const TracedPlane& upper,
                const TracedLayer& layer) {
              EXPECT_EQ(k, expected++);
              EXPECT_TRUE(lower.k == k && upper.k == k + 1 && layer.k == k && layer.fromItsPlanes)
                  << k;
              // A slow hand-over lets the other threads run ahead as far as they may.
              std::this_thread::sleep_for(std::chrono::microseconds(200));
              handedOver = k + 1;
            });
    EXPECT_EQ(expected, kLayers) << threads;
    for (const std::atomic<int>& count : computed) EXPECT_EQ(count, 1) << threads;
    EXPECT_LE(farthestAhead, window) << threads;
    EXPECT_LE(TracedPlane::made, window + 1) << threads;
    EXPECT_LE(TracedLayer::made, window) << threads;
  }
}

// Whichever piece throws, on whichever thread, the exception ends the run, and no layer after it
// is handed over.
TEST(OrderedPlanePipeline, AFailureInAnyPieceIsThrownOnTheCallingThread) {
  enum class Failing { plane, layer, handOver };
  constexpr int64_t kFailingAt = 7;
  for (const Failing failing : {Failing::plane, Failing::layer, Failing::handOver}) {
    for (const int threads : {1, 2, 4}) {
      const auto failAt = [&](Failing piece, int64_t k) {
        if (piece == failing && k == kFailingAt) throw std::runtime_error("piece failed");
      };
      int64_t handedOver = 0;
      const std::string what =
          std::to_string(static_cast<int>(failing)) + ", " + std::to_string(threads) + " threads";
      try {
        OrderedPlanePipeline<int, int>(40, threads, {})
            .run([&](int64_t k, int&) { failAt(Failing::plane, k); },
                 [&](int64_t k, const int&, const int&, int&) { failAt(Failing::layer, k); },
                 [&](int64_t k, const int&, const int&, const int&) {
                   failAt(Failing::handOver, k);
                   ++handedOver;
                 });
        ADD_FAILURE() << what << ": nothing thrown";
      } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "piece failed") << what;
      }
      EXPECT_LE(handedOver, failing == Failing::plane ? kFailingAt - 1 : kFailingAt) << what;
    }
  }
}

}  // namespace
}  // namespace lobewright
