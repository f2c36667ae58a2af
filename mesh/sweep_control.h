#pragma once

#include <functional>
#include <stop_token>

namespace lobewright {

// Thrown out of a sweep whose stop token was triggered; nothing of its result is usable.
struct SweepCancelled {};

// How a long sweep reports and may be stopped: progress in percent on the calling thread, a stop
// token checked at least once per grid plane, and the threads it may use.
struct SweepControl {
  std::function<void(int percent)> progress = [](int) {};
  std::stop_token stop;
  int threads = 1;
  // Whether the watertight mesher makes its lobes lean (see mesh_simplify.h); the full mesh is
  // for comparing with.
  bool lean = true;
};

}  // namespace lobewright
