#include "mesh/plane_pipeline.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "mesh/worker_threads.h"

namespace lobewright {
namespace {

class PlanePipeline {
 public:
  PlanePipeline(const PlaneSteps& steps, const SweepControl& control)
      : m_steps(steps),
        m_control(control),
        m_window(2 * std::max(1, control.threads) + 2),
        m_planes(steps.layerCount + 1),
        m_layers(steps.layerCount) {}

  void run(SweepAssembly& assembly) {
    WorkerThreads workers(
        m_control.threads - 1, [this] { work(); },
        [this](std::exception_ptr failure) { fail(std::move(failure)); });
    try {
      deliver(assembly);
    } catch (...) {
      fail(std::current_exception());
    }
    workers.join();
    if (m_failure) std::rethrow_exception(m_failure);
  }

 private:
  void deliver(SweepAssembly& assembly) {
    for (int32_t k = 0; k < m_steps.layerCount; ++k) {
      {
        std::unique_lock lock(m_mutex);
        checkStop();
        while (!m_layers[k] && !m_failure) {
          if (!runTask(lock)) m_changed.wait(lock);
          checkStop();
        }
        if (m_failure) return;
      }
      // Planes k and k + 1 and layer k are complete and no one writes them any more.
      if (k == 0) assembly.addPlane(*m_planes[0]);
      assembly.addPlane(*m_planes[k + 1]);
      assembly.addLayer(*m_layers[k]);
      m_control.progress(static_cast<int>(static_cast<int64_t>(k + 1) * 100 / m_steps.layerCount));
      std::lock_guard lock(m_mutex);
      m_sparePlanes.push_back(std::move(m_planes[k]));
      m_spareLayers.push_back(std::move(m_layers[k]));
      m_delivered = k + 1;
      m_changed.notify_all();
    }
  }

  void work() {
    try {
      std::unique_lock lock(m_mutex);
      while (!m_failure && m_nextLayer < m_steps.layerCount) {
        if (!runTask(lock)) m_changed.wait(lock);
      }
    } catch (...) {
      fail(std::current_exception());
    }
  }

  void checkStop() const {
    if (m_control.stop.stop_requested()) throw SweepCancelled{};
  }

  void fail(std::exception_ptr failure) {
    std::lock_guard lock(m_mutex);
    if (!m_failure) m_failure = failure;
    m_changed.notify_all();
  }

  // Runs one piece of work with the lock released meanwhile, if there is one: the next layer when
  // both its planes are there, else the next plane within the window.
  bool runTask(std::unique_lock<std::mutex>& lock) {
    if (m_failure) return false;
    if (layerReady()) {
      const int32_t k = m_nextLayer++;
      std::unique_ptr<SweepLayer> layer = takeSpare(m_spareLayers);
      const SweepPlane& lower = *m_planes[k];
      const SweepPlane& upper = *m_planes[k + 1];
      lock.unlock();
      checkStop();
      m_steps.computeLayer(k, lower, upper, *layer);
      lock.lock();
      m_layers[k] = std::move(layer);
    } else if (planeAllowed()) {
      const int32_t k = m_nextPlane++;
      std::unique_ptr<SweepPlane> plane = takeSpare(m_sparePlanes);
      lock.unlock();
      checkStop();
      m_steps.computePlane(k, *plane);
      lock.lock();
      m_planes[k] = std::move(plane);
    } else {
      return false;
    }
    m_changed.notify_all();
    return true;
  }

  template <class Piece>
  static std::unique_ptr<Piece> takeSpare(std::vector<std::unique_ptr<Piece>>& spares) {
    if (spares.empty()) return std::make_unique<Piece>();
    std::unique_ptr<Piece> spare = std::move(spares.back());
    spares.pop_back();
    return spare;
  }

  [[nodiscard]] bool layerReady() const {
    return m_nextLayer < m_steps.layerCount && m_planes[m_nextLayer] && m_planes[m_nextLayer + 1];
  }
  [[nodiscard]] bool planeAllowed() const {
    return m_nextPlane <= m_steps.layerCount && m_nextPlane <= m_delivered + m_window;
  }

  const PlaneSteps& m_steps;
  const SweepControl& m_control;
  const int32_t m_window;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<std::unique_ptr<SweepPlane>> m_planes;
  std::vector<std::unique_ptr<SweepLayer>> m_layers;
  std::vector<std::unique_ptr<SweepPlane>> m_sparePlanes;
  std::vector<std::unique_ptr<SweepLayer>> m_spareLayers;
  int32_t m_nextPlane = 0;
  int32_t m_nextLayer = 0;
  int32_t m_delivered = 0;
  std::exception_ptr m_failure;
};

}  // namespace

void runPlanePipeline(const PlaneSteps& steps, const SweepControl& control,
                      SweepAssembly& assembly) {
  if (steps.layerCount <= 0) return;
  PlanePipeline(steps, control).run(assembly);
}

}  // namespace lobewright
