#include "mesh/fast_sweep.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <utility>

#include "mesh/polygonizer.h"
#include "mesh/sweep_control.h"
#include "mesh/sweep_planes.h"
#include "mesh/worker_threads.h"

namespace lobewright {
namespace {

void throwIfStopped(const std::stop_token& stop) {
  if (stop.stop_requested()) throw SweepCancelled{};
}

// The z of layer k's lower plane, which lies below zHigh and so within int32_t.
int32_t zOfLayer(const GridBounds& bounds, int64_t k) {
  return static_cast<int32_t>(bounds.zLow + k);
}

void sweepOnThisThread(const SweepPlanes& planes, const GridBounds& bounds, SweepCounters& counters,
                       const LayerSink& sink) {
  std::vector<ShadedTriangle> triangles;
  GridPlane bottom;
  GridPlane top;
  GridLayer layer;
  planes.computePlane(0, bottom, counters.evaluations);
  for (int64_t k = 0; k < planes.layerCount(); ++k) {
    planes.computePlane(k + 1, top, counters.evaluations);
    planes.computeLayer(k, bottom, top, layer, counters.evaluations);
    triangles.clear();
    planes.assembleLayer(bottom, top, layer, triangles);
    counters.triangles += static_cast<int64_t>(triangles.size());
    sink(triangles, layerProgress(zOfLayer(bounds, k), bounds));
    std::swap(bottom, top);
  }
}

// Planes are computed in any order within a window ahead of the layer last delivered; a layer
// is assembled as soon as both its planes exist; the calling thread hands the layers to the sink
// strictly in order, and while it waits for the next one it computes like the other threads.
// Memory stays within the window. A stop request counts as a failure that every thread sees at
// its next look at the shared state; a thread at work sees it within a few evaluations, when
// SweepPlanes throws, and the stop callback wakes the threads that are waiting.
class ParallelSweep {
 public:
  ParallelSweep(const SweepPlanes& planes, int threads, std::stop_token stop)
      : m_planes(planes),
        m_stop(std::move(stop)),
        m_threadCount(threads),
        m_window(2 * static_cast<int64_t>(threads) + 2),
        m_planeData(static_cast<std::size_t>(planes.layerCount()) + 1),
        m_layerTriangles(static_cast<std::size_t>(planes.layerCount())),
        m_layerReady(static_cast<std::size_t>(planes.layerCount()), false) {}

  void run(const GridBounds& bounds, SweepCounters& counters, const LayerSink& sink) {
    const std::stop_callback wake(m_stop, [this] {
      const std::lock_guard lock(m_mutex);
      m_changed.notify_all();
    });
    WorkerThreads workers(
        m_threadCount - 1, [this] { work(); },
        [this](std::exception_ptr failure) { stop(std::move(failure)); });
    Scratch scratch;
    try {
      deliver(bounds, counters, sink, scratch);
    } catch (...) {
      stop(std::current_exception());
    }
    workers.join();
    counters.evaluations += m_evaluations + scratch.evaluations;
    if (m_failure) std::rethrow_exception(m_failure);
  }

 private:
  // What one thread keeps between its pieces of work.
  struct Scratch {
    GridLayer layer;
    int64_t evaluations = 0;
  };

  void deliver(const GridBounds& bounds, SweepCounters& counters, const LayerSink& sink,
               Scratch& scratch) {
    for (int64_t k = 0; k < m_planes.layerCount(); ++k) {
      std::vector<ShadedTriangle> triangles;
      {
        std::unique_lock lock(m_mutex);
        while (!m_layerReady[k] && !failed()) {
          if (!runTask(lock, scratch)) m_changed.wait(lock);
        }
        if (failed()) return;
        triangles = std::move(m_layerTriangles[k]);
      }
      counters.triangles += static_cast<int64_t>(triangles.size());
      sink(triangles, layerProgress(zOfLayer(bounds, k), bounds));
      triangles.clear();
      std::lock_guard lock(m_mutex);
      m_delivered = k + 1;
      m_sparePlanes.push_back(std::move(m_planeData[k]));
      m_spareTriangleLists.push_back(std::move(triangles));
      m_changed.notify_all();
    }
  }

  void stop(std::exception_ptr failure) {
    std::lock_guard lock(m_mutex);
    if (!m_failure) m_failure = failure;
    m_changed.notify_all();
  }

  void work() {
    Scratch scratch;
    try {
      std::unique_lock lock(m_mutex);
      for (;;) {
        m_changed.wait(lock, [&] { return failed() || done() || layerReady() || planeAllowed(); });
        if (failed() || done()) break;
        runTask(lock, scratch);
      }
    } catch (...) {
      stop(std::current_exception());
    }
    std::lock_guard lock(m_mutex);
    m_evaluations += scratch.evaluations;
  }

  // Runs one piece of work, if there is one, with the lock released meanwhile: the next layer
  // when both its planes are there, otherwise the next plane within the window.
  bool runTask(std::unique_lock<std::mutex>& lock, Scratch& scratch) {
    if (layerReady()) {
      const int64_t k = m_nextLayer++;
      const GridPlane& bottom = *m_planeData[k];
      const GridPlane& top = *m_planeData[k + 1];
      std::vector<ShadedTriangle> triangles = takeSpare(m_spareTriangleLists);
      lock.unlock();
      m_planes.computeLayer(k, bottom, top, scratch.layer, scratch.evaluations);
      m_planes.assembleLayer(bottom, top, scratch.layer, triangles);
      lock.lock();
      m_layerTriangles[k] = std::move(triangles);
      m_layerReady[k] = true;
    } else if (planeAllowed()) {
      const int64_t k = m_nextPlane++;
      std::unique_ptr<GridPlane> plane = takeSpare(m_sparePlanes);
      if (!plane) plane = std::make_unique<GridPlane>();
      lock.unlock();
      m_planes.computePlane(k, *plane, scratch.evaluations);
      lock.lock();
      m_planeData[k] = std::move(plane);
    } else {
      return false;
    }
    m_changed.notify_all();
    return true;
  }

  // Storage handed back after an earlier layer, or an empty one; called with the lock held.
  template <class Storage>
  static Storage takeSpare(std::vector<Storage>& spares) {
    if (spares.empty()) return Storage();
    Storage spare = std::move(spares.back());
    spares.pop_back();
    return spare;
  }

  // True once a thread failed or a stop was requested; called with the lock held, and the first
  // caller to see the stop records it, so that run() throws SweepCancelled.
  bool failed() {
    if (!m_failure && m_stop.stop_requested()) {
      m_failure = std::make_exception_ptr(SweepCancelled{});
    }
    return static_cast<bool>(m_failure);
  }
  bool done() const { return m_nextLayer == m_planes.layerCount(); }
  bool layerReady() const {
    return m_nextLayer < m_planes.layerCount() && m_planeData[m_nextLayer] &&
           m_planeData[m_nextLayer + 1];
  }
  bool planeAllowed() const {
    return m_nextPlane <= m_planes.layerCount() && m_nextPlane <= m_delivered + m_window;
  }

  const SweepPlanes& m_planes;
  const std::stop_token m_stop;
  const int m_threadCount;
  const int64_t m_window;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<std::unique_ptr<GridPlane>> m_planeData;
  std::vector<std::unique_ptr<GridPlane>> m_sparePlanes;
  std::vector<std::vector<ShadedTriangle>> m_layerTriangles;
  std::vector<std::vector<ShadedTriangle>> m_spareTriangleLists;
  std::vector<bool> m_layerReady;
  int64_t m_nextPlane = 0;
  int64_t m_nextLayer = 0;
  int64_t m_delivered = 0;
  int64_t m_evaluations = 0;
  std::exception_ptr m_failure;
};

}  // namespace

SweepCounters sweepFast(const ClassicOrbital& orbital, float threshold, int accuracy,
                        const GridBounds& bounds, int threads, const LayerSink& sink,
                        std::stop_token stop) {
  SweepCounters counters;
  const ReachField field(orbital);
  const SweepPlanes planes(field, threshold, accuracy, bounds, stop);
  if (!planes.hasCubes()) {
    // No cube to visit, yet every z layer still reports its progress.
    for (int64_t z = bounds.zLow; z < bounds.zHigh; ++z) {
      throwIfStopped(stop);
      sink({}, layerProgress(static_cast<int32_t>(z), bounds));
    }
    return counters;
  }
  if (threads <= 1) {
    sweepOnThisThread(planes, bounds, counters, sink);
  } else {
    ParallelSweep(planes, threads, std::move(stop)).run(bounds, counters, sink);
  }
  return counters;
}

}  // namespace lobewright
