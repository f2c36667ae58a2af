#include "mesh/worker_threads.h"

#include <algorithm>
#include <atomic>
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

void failThreadStartForTesting(int nthStart) { startsUntilFailure = nthStart; }

}  // namespace lobewright
