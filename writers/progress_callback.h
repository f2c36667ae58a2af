#pragma once

#include <functional>

namespace lobewright {

// Told the percentage of the sweep done, after every grid layer and once more with 100.
using ProgressCallback = std::function<void(int percent)>;

}  // namespace lobewright
