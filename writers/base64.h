#pragma once

#include <string>
#include <string_view>

namespace lobewright {

// The bytes in base64 (RFC 4648, with padding), as pages and SVG embed binary data.
[[nodiscard]] std::string base64(std::string_view bytes);

}  // namespace lobewright
