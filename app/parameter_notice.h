#pragma once

#include <optional>
#include <string>

#include "app/conversion_request.h"

namespace lobewright {

// What to tell before a run that will use the built-in PM3 parameters: the request's input is
// drawn in the classic model and its parameter file, not one the user insisted on, cannot be read
// as a table. Why, and what to do about it; nothing when the run reads a table.
[[nodiscard]] std::optional<std::string> builtInParametersNotice(const ConversionRequest& request);

}  // namespace lobewright
