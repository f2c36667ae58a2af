#pragma once

#include <string>

namespace lobewright {

// The converter's manual page (roff, man macros), written from the same table of options as
// --help: the usage, what it does, the options by group, the formats, the exit status and
// examples. The build writes it with lobewright-man-page; cmake --install installs it.
[[nodiscard]] std::string converterManPage();

}  // namespace lobewright
