#pragma once

#include <functional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace lobewright {

// How a program run by runChild ended.
struct ChildRun {
  int startError = 0;  // errno when the program could not be started (ENOENT: not found)
  bool cancelled = false;
  bool succeeded = false;  // ran and exited with status 0
};

// Runs a program found on the PATH (arguments[0] names it) with standard input from /dev/null, in
// `workingFolder` when one is given, handing its standard output and error to `report` as they
// come, and waits for its end. A stop request kills it at once, and so does a signal that ends
// the converter (see app/signal_cleanup.h).
[[nodiscard]] ChildRun runChild(const std::vector<std::string>& arguments, std::stop_token stop,
                                const std::function<void(std::string_view)>& report,
                                const std::string& workingFolder = {});

}  // namespace lobewright
