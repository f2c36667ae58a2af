#include "mesh/worker_threads.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <system_error>

namespace lobewright {
namespace {

std::atomic<int> startsUntilFailure{0};

std::thread startThread(const std::function<void()>& work) {
  if (startsUntilFailure.load() > 0 && startsUntilFailure.fetch_sub(1) == 1) {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                            "cannot start a thread");
  }
  return std::thread(work);
}

}  // namespace

WorkerThreads::WorkerThreads(int count, const std::function<void()>& work,
                             const std::function<void(std::exception_ptr)>& stopAll) {
  try {
    // Room first: a thread started must never be left without a place to be joined from.
    m_threads.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int t = 0; t < count; ++t) m_threads.push_back(startThread(work));
  } catch (...) {
    stopAll(std::current_exception());
    join();
    throw;
  }
}

WorkerThreads::~WorkerThreads() { join(); }

void WorkerThreads::join() {
  for (std::thread& thread : m_threads) {
    if (thread.joinable()) thread.join();
  }
}

bool runBatches(std::size_t count, int threads, const std::stop_token& stop,
                const std::function<void(std::size_t batch)>& each,
                const std::function<void(std::size_t batchesRun)>& done) {
  std::atomic<std::size_t> next{0};
  std::atomic<std::size_t> run{0};
  std::atomic<bool> halted{false};
  std::exception_ptr failure;
  std::mutex failureLock;
  const auto halt = [&](std::exception_ptr reason) {
    const std::lock_guard lock(failureLock);
    if (!failure) failure = reason;
    halted = true;
  };
  const auto work = [&](bool tells) {
    try {
      for (std::size_t batch = next++; batch < count && !halted; batch = next++) {
        if (stop.stop_requested()) {
          halted = true;
          return;
        }
        each(batch);
        ++run;
        if (tells && done) done(run);
      }
    } catch (...) {
      halt(std::current_exception());
    }
  };
  const int helpers = static_cast<int>(std::min<std::size_t>(
      static_cast<std::size_t>(std::max(threads, 1)) - 1, count > 0 ? count - 1 : 0));
  {
    WorkerThreads workers(
        helpers, [&] { work(false); }, halt);
    work(true);
    workers.join();
  }
  if (failure) std::rethrow_exception(failure);
  return run == count;
}

void failThreadStartForTesting(int nthStart) { startsUntilFailure = nthStart; }

}  // namespace lobewright
