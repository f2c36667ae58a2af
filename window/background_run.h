#pragma once

#include <QObject>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>

#include "app/messages.h"

namespace lobewright {

// Runs one job at a time on a thread of its own, so that the window goes on painting and
// answering while a conversion or a look-up lasts. The job gets a stop token and a channel to the
// window's thread; it returns what the window is to do with its result, and that runs on the
// window's thread once the job has ended. Everything here but Channel's functions is called on
// the window's thread.
class BackgroundRun : public QObject {
  Q_OBJECT

 public:
  // What the window does once the job has ended; it throws what the job threw.
  using Finish = std::function<void()>;

  // The job's way to the window's thread. Messages are shown there in the order they are sent,
  // after the progress posted before them.
  class Channel : public MessageSink {
   public:
    Channel(BackgroundRun& run, uint64_t id, std::stop_token stop);
    // Runs the task on the window's thread, unless the job has been finished by then.
    void post(std::function<void()> task);
    // Shows the message on the window's thread and waits until it has been seen, or until the
    // stop is requested. What showing it throws is thrown here.
    void show(const std::string& caption, const std::string& text) override;

   private:
    BackgroundRun& m_run;
    uint64_t m_id;
    std::stop_token m_stop;
  };

  using Job = std::function<Finish(std::stop_token stop, Channel& channel)>;
  // Told the job's Finish (empty when the job returned none) once the job has ended.
  using Done = std::function<void(const Finish& finish)>;

  // The job's messages are shown through `shown`.
  explicit BackgroundRun(MessageSink& shown);
  ~BackgroundRun() override;  // stops the job and waits for it; `done` is not called
  BackgroundRun(const BackgroundRun&) = delete;
  BackgroundRun& operator=(const BackgroundRun&) = delete;

  // From start() until `done` has been called.
  [[nodiscard]] bool busy() const { return m_busy; }

  // Starts the job when none is busy; `done` is called later, from the event loop.
  void start(Job job, Done done);
  // Asks the job to stop; it still ends and is finished as usual.
  void requestStop();
  [[nodiscard]] bool stopRequested() const;
  // When the job ends within `wait`, finishes it at once and returns true; otherwise it goes on.
  bool finishWithin(std::chrono::milliseconds wait);
  // Stops the job, waits for it and finishes it at once.
  void stopAndFinish();

 private:
  void finish(uint64_t id);

  MessageSink& m_shown;
  bool m_busy = false;
  uint64_t m_id = 0;  // the job started last
  Done m_done;
  std::mutex m_mutex;
  std::condition_variable m_ended;
  Finish m_finish;  // set by the job's thread as it ends, under the mutex
  bool m_jobEnded = false;
  std::stop_source m_stop;
  std::unique_ptr<Channel> m_channel;
  std::thread m_thread;
};

}  // namespace lobewright
