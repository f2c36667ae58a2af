#pragma once

#include <sys/resource.h>

#include <chrono>
#include <string>

#include "app/messages.h"

namespace lobewright {

// Messages a benchmark does not show.
class SilentSink : public MessageSink {
 public:
  void show(const std::string&, const std::string&) override {}
};

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The process's CPU time so far, user and system, on every thread.
inline double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace lobewright
