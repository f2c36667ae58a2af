#pragma once

#include <string>

namespace lobewright {

inline constexpr const char* kErrorCaption = "Lobewright error";
inline constexpr const char* kWarningCaption = "Lobewright warning";

inline constexpr const char* kDefaultParametersMessage = "Using default PM3 parameters.";

// The core never prints or shows anything itself. What the user must hear goes through this
// interface: the window turns it into a message box, the converter into a line on stderr.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void show(const std::string& caption, const std::string& text) = 0;
};

}  // namespace lobewright
