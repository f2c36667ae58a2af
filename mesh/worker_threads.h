#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <stop_token>
#include <thread>
#include <vector>

namespace lobewright {

// The extra threads of a sweep, joined however their start ends. When the system refuses a
// thread, the threads already running are told to stop, joined, and the refusal is thrown: a
// running std::thread destroyed unjoined would end the program instead.
class WorkerThreads {
 public:
  // Starts `count` threads running `work`. stopAll gets the refusal and must make every running
  // `work` return soon.
  WorkerThreads(int count, const std::function<void()>& work,
                const std::function<void(std::exception_ptr)>& stopAll);
  WorkerThreads(const WorkerThreads&) = delete;
  WorkerThreads& operator=(const WorkerThreads&) = delete;
  ~WorkerThreads();

  // Waits for every thread to return.
  void join();

 private:
  std::vector<std::thread> m_threads;
};

// Runs each(batch) for the batches 0 to count - 1 on up to `threads` threads, the calling one
// among them, which after each batch of its own tells `done` how many batches have run. Once a
// stop is asked or a batch throws, no batch is begun; the first throw is rethrown here after all
// threads have returned. True when every batch has run.
bool runBatches(std::size_t count, int threads, const std::stop_token& stop,
                const std::function<void(std::size_t batch)>& each,
                const std::function<void(std::size_t batchesRun)>& done = nullptr);

// Makes the start of the n-th thread from now on fail as on a system out of threads, with
// std::system_error; 0 lets every start through. Tests use it: a real shortage of threads cannot
// be made reliably, not even with a process limit, which root ignores.
void failThreadStartForTesting(int nthStart);

}  // namespace lobewright
