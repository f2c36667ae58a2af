#pragma once

#include <optional>

#include "window/background_run.h"

namespace lobewright {

// Runs the newest of the jobs it is given: a job given while another runs asks that one to stop,
// and once it has ended the newest job waiting starts; the stopped job's result and every job
// passed over are dropped unseen. Called on the window's thread.
class LatestRun {
 public:
  explicit LatestRun(MessageSink& shown) : m_run(shown) {}

  void submit(BackgroundRun::Job job, BackgroundRun::Done done);
  // Drops the job waiting and stops the one running; nothing of either is seen.
  void cancel();
  // From submit() until the newest job has been finished.
  [[nodiscard]] bool busy() const { return m_run.busy() || m_waiting.has_value(); }
  // Stops and waits; nothing of the job is seen.
  void stopAndFinish();

 private:
  struct Waiting {
    BackgroundRun::Job job;
    BackgroundRun::Done done;
  };
  void startWaiting();

  std::optional<Waiting> m_waiting;
  bool m_dropRunning = false;
  BackgroundRun m_run;
};

}  // namespace lobewright
