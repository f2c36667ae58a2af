#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <stop_token>
#include <utility>
#include <vector>

#include "mesh/sweep_control.h"
#include "mesh/worker_threads.h"

namespace lobewright {

// Computes planes 0 to layerCount of a grid, and layer k from planes k and k + 1, on several
// threads, and hands the layers over in grid order on the calling thread. Both sweeps run on it.
//
// - Work. Pieces (a plane, or a layer) run on `threads` threads, the calling thread among them:
//   while it waits for the next layer to hand over, it computes like the others. A layer is
//   computed as soon as both its planes exist, otherwise the next plane within the window. One
//   thread thus computes plane 0, plane 1, layer 0, plane 2, layer 1, and so on.
// - Window. Planes are computed at most 2 * threads + 2 ahead of the last layer handed over: each
//   thread may hold one plane in progress and one finished plane waiting for its neighbour, and
//   the two planes of the next layer to hand over must fit as well, so no thread ever waits for
//   room while memory stays a few planes deep.
// - Order. Layer k is handed over, with its two planes, strictly after layer k - 1 and on the
//   calling thread, which reports progress there.
// - Storage. A piece computes into storage no other thread touches, and it is published by an
//   assignment under the one mutex, so whoever takes it later sees it whole. A plane's storage
//   is reused once the last layer that reads it has been handed over, a layer's once it has:
//   a piece gets storage an earlier piece filled, and must overwrite it.
// - Stopping. The stop token is checked before every piece and while waiting; a stop request
//   wakes every waiting thread at once. A piece that runs long checks the token itself.
// - Failure. A stop (as SweepCancelled), an exception from any piece or from the hand-over, or a
//   thread the system refuses to start (WorkerThreads) stops every thread; once all have been
//   joined it is thrown on the calling thread. No layer is handed over after it.
template <class Plane, class Layer>
class OrderedPlanePipeline {
 public:
  OrderedPlanePipeline(int64_t layerCount, int threads, std::stop_token stop)
      : m_layerCount(std::max<int64_t>(layerCount, 0)),
        m_threads(std::max(threads, 1)),
        m_window(2 * static_cast<int64_t>(m_threads) + 2),
        m_stop(std::move(stop)),
        m_planes(static_cast<std::size_t>(m_layerCount) + 1),
        m_layers(static_cast<std::size_t>(m_layerCount)) {}

  // computePlane(k, Plane&) and computeLayer(k, const Plane& lower, const Plane& upper, Layer&)
  // run on any thread; handOver(k, const Plane& lower, const Plane& upper, const Layer&) on the
  // calling thread. A pipeline runs once: OrderedPlanePipeline<P, L>(...).run(...).
  template <class ComputePlane, class ComputeLayer, class HandOver>
  void run(const ComputePlane& computePlane, const ComputeLayer& computeLayer,
           const HandOver& handOver) && {
    if (m_layerCount == 0) return;
    const std::stop_callback wake(m_stop, [this] {
      const std::lock_guard lock(m_mutex);
      m_changed.notify_all();
    });
    const auto compute = [&](std::unique_lock<std::mutex>& lock) {
      return runPiece(lock, computePlane, computeLayer);
    };
    WorkerThreads workers(
        m_threads - 1, [&] { work(compute); },
        [this](std::exception_ptr failure) { fail(std::move(failure)); });
    try {
      handOverAll(compute, handOver);
    } catch (...) {
      fail(std::current_exception());
    }
    workers.join();
    if (m_failure) std::rethrow_exception(m_failure);
  }

 private:
  template <class Compute, class HandOver>
  void handOverAll(const Compute& compute, const HandOver& handOver) {
    for (int64_t k = 0; k < m_layerCount; ++k) {
      const Plane* lower = nullptr;
      const Plane* upper = nullptr;
      const Layer* layer = nullptr;
      {
        std::unique_lock lock(m_mutex);
        while (!m_layers[k] && !failed()) {
          if (!compute(lock)) m_changed.wait(lock);
        }
        if (failed()) return;
        lower = m_planes[k].get();
        upper = m_planes[k + 1].get();
        layer = m_layers[k].get();
      }
      // Nobody writes these any more; plane k + 1 may be read meanwhile for layer k + 1.
      handOver(k, *lower, *upper, *layer);
      const std::lock_guard lock(m_mutex);
      m_handedOver = k + 1;
      m_sparePlanes.push_back(std::move(m_planes[k]));
      m_spareLayers.push_back(std::move(m_layers[k]));
      m_changed.notify_all();
    }
  }

  template <class Compute>
  void work(const Compute& compute) {
    try {
      std::unique_lock lock(m_mutex);
      for (;;) {
        m_changed.wait(lock,
                       [&] { return failed() || allTaken() || layerReady() || planeAllowed(); });
        if (failed() || allTaken()) return;
        compute(lock);
      }
    } catch (...) {
      fail(std::current_exception());
    }
  }

  // Runs one piece, if there is one, with the lock released meanwhile: the next layer when both
  // its planes are there, otherwise the next plane within the window.
  template <class ComputePlane, class ComputeLayer>
  bool runPiece(std::unique_lock<std::mutex>& lock, const ComputePlane& computePlane,
                const ComputeLayer& computeLayer) {
    if (failed()) return false;
    if (layerReady()) {
      const int64_t k = m_nextLayer++;
      const Plane& lower = *m_planes[k];
      const Plane& upper = *m_planes[k + 1];
      std::unique_ptr<Layer> layer = takeSpare(m_spareLayers);
      lock.unlock();
      computeLayer(k, lower, upper, *layer);
      lock.lock();
      m_layers[k] = std::move(layer);
    } else if (planeAllowed()) {
      const int64_t k = m_nextPlane++;
      std::unique_ptr<Plane> plane = takeSpare(m_sparePlanes);
      lock.unlock();
      computePlane(k, *plane);
      lock.lock();
      m_planes[k] = std::move(plane);
    } else {
      return false;
    }
    m_changed.notify_all();
    return true;
  }

  void fail(std::exception_ptr failure) {
    const std::lock_guard lock(m_mutex);
    if (!m_failure) m_failure = std::move(failure);
    m_changed.notify_all();
  }

  // Storage handed back after an earlier layer, or new storage; called with the lock held.
  template <class Piece>
  static std::unique_ptr<Piece> takeSpare(std::vector<std::unique_ptr<Piece>>& spares) {
    if (spares.empty()) return std::make_unique<Piece>();
    std::unique_ptr<Piece> spare = std::move(spares.back());
    spares.pop_back();
    return spare;
  }

  // True once a thread failed or a stop was requested; called with the lock held. The first
  // caller to see the stop records it, so that run() throws SweepCancelled.
  bool failed() {
    if (!m_failure && m_stop.stop_requested()) {
      m_failure = std::make_exception_ptr(SweepCancelled{});
    }
    return static_cast<bool>(m_failure);
  }
  [[nodiscard]] bool allTaken() const { return m_nextLayer == m_layerCount; }
  [[nodiscard]] bool layerReady() const {
    return m_nextLayer < m_layerCount && m_planes[m_nextLayer] && m_planes[m_nextLayer + 1];
  }
  [[nodiscard]] bool planeAllowed() const {
    return m_nextPlane <= m_layerCount && m_nextPlane <= m_handedOver + m_window;
  }

  const int64_t m_layerCount;
  const int m_threads;
  const int64_t m_window;
  const std::stop_token m_stop;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<std::unique_ptr<Plane>> m_planes;
  std::vector<std::unique_ptr<Layer>> m_layers;
  std::vector<std::unique_ptr<Plane>> m_sparePlanes;
  std::vector<std::unique_ptr<Layer>> m_spareLayers;
  int64_t m_nextPlane = 0;
  int64_t m_nextLayer = 0;
  int64_t m_handedOver = 0;
  std::exception_ptr m_failure;
};

}  // namespace lobewright
