#include "window/background_run.h"

#include <exception>

namespace lobewright {

BackgroundRun::Channel::Channel(BackgroundRun& run, uint64_t id, std::stop_token stop)
    : m_run(run), m_id(id), m_stop(std::move(stop)) {}

void BackgroundRun::Channel::post(std::function<void()> task) {
  BackgroundRun* const run = &m_run;
  QMetaObject::invokeMethod(
      run,
      [run, id = m_id, task = std::move(task)] {
        if (run->m_busy && run->m_id == id) task();
      },
      Qt::QueuedConnection);
}

void BackgroundRun::Channel::show(const std::string& caption, const std::string& text) {
  struct Reply {
    std::mutex mutex;
    std::condition_variable_any seen;
    bool done = false;
    std::exception_ptr failure;
  };
  const auto reply = std::make_shared<Reply>();
  post([reply, caption, text, stop = m_stop, &shown = m_run.m_shown] {
    std::exception_ptr failure;
    // A message that arrives after the stop is of no interest to anyone.
    if (!stop.stop_requested()) {
      try {
        shown.show(caption, text);
      } catch (...) {
        failure = std::current_exception();
      }
    }
    const std::lock_guard lock(reply->mutex);
    reply->done = true;
    reply->failure = failure;
    reply->seen.notify_all();
  });
  std::unique_lock lock(reply->mutex);
  reply->seen.wait(lock, m_stop, [&] { return reply->done; });
  if (reply->failure) std::rethrow_exception(reply->failure);
}

BackgroundRun::BackgroundRun(MessageSink& shown) : m_shown(shown) {}

BackgroundRun::~BackgroundRun() {
  m_stop.request_stop();
  if (m_thread.joinable()) m_thread.join();
}

void BackgroundRun::start(Job job, Done done) {
  if (m_busy) return;
  if (m_thread.joinable()) m_thread.join();
  m_busy = true;
  const uint64_t id = ++m_id;
  m_done = std::move(done);
  m_finish = nullptr;
  m_jobEnded = false;
  m_stop = std::stop_source();
  m_channel = std::make_unique<Channel>(*this, id, m_stop.get_token());
  m_thread = std::thread(
      [this, id, job = std::move(job), stop = m_stop.get_token(), channel = m_channel.get()] {
        Finish result;
        try {
          result = job(stop, *channel);
        } catch (...) {
          result = [failure = std::current_exception()] { std::rethrow_exception(failure); };
        }
        {
          const std::lock_guard lock(m_mutex);
          m_finish = std::move(result);
          m_jobEnded = true;
        }
        m_ended.notify_all();
        QMetaObject::invokeMethod(
            this, [this, id] { finish(id); }, Qt::QueuedConnection);
      });
}

void BackgroundRun::requestStop() { m_stop.request_stop(); }

bool BackgroundRun::stopRequested() const { return m_stop.stop_requested(); }

bool BackgroundRun::finishWithin(std::chrono::milliseconds wait) {
  if (!m_busy) return true;
  {
    std::unique_lock lock(m_mutex);
    if (!m_ended.wait_for(lock, wait, [this] { return m_jobEnded; })) return false;
  }
  finish(m_id);
  return true;
}

void BackgroundRun::stopAndFinish() {
  if (!m_busy) return;
  m_stop.request_stop();
  if (m_thread.joinable()) m_thread.join();
  finish(m_id);
}

// Called from the event loop after the job's thread has ended, or at once by finishWithin() and
// stopAndFinish(); whichever comes second finds nothing left to do.
void BackgroundRun::finish(uint64_t id) {
  if (!m_busy || id != m_id) return;
  Finish result;
  {
    const std::lock_guard lock(m_mutex);
    if (!m_jobEnded) return;
    result = std::move(m_finish);
    m_finish = nullptr;
  }
  if (m_thread.joinable()) m_thread.join();
  m_busy = false;
  const Done done = std::move(m_done);
  m_done = nullptr;
  done(result);
}

}  // namespace lobewright
