#include "window/latest_run.h"

namespace lobewright {

void LatestRun::submit(BackgroundRun::Job job, BackgroundRun::Done done) {
  m_waiting = Waiting{std::move(job), std::move(done)};
  if (m_run.busy()) {
    m_dropRunning = true;
    m_run.requestStop();
    return;
  }
  startWaiting();
}

void LatestRun::cancel() {
  m_waiting.reset();
  if (m_run.busy()) {
    m_dropRunning = true;
    m_run.requestStop();
  }
}

void LatestRun::stopAndFinish() {
  m_waiting.reset();
  m_dropRunning = true;
  m_run.stopAndFinish();
}

void LatestRun::startWaiting() {
  if (!m_waiting) return;
  Waiting next = std::move(*m_waiting);
  m_waiting.reset();
  m_dropRunning = false;
  m_run.start(std::move(next.job),
              [this, done = std::move(next.done)](const BackgroundRun::Finish& finish) {
                const bool dropped = m_dropRunning;
                m_dropRunning = false;
                // The next job starts before this one's result is shown, so that whatever the
                // result does, a job given meanwhile is not kept waiting.
                if (m_waiting) {
                  startWaiting();
                  return;
                }
                if (!dropped) done(finish);
              });
}

}  // namespace lobewright
