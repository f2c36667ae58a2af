#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lobewright {

// The window shows whole numbers as "%i" and the others as "%g" (six significant digits), with
// a point as the decimal separator whatever the user's locale.
[[nodiscard]] std::string formatInteger(int32_t value);
[[nodiscard]] std::string formatGeneral(float value);

// The leading whole number of a typed text, whatever follows it: leading white space, an
// optional sign and decimal digits. Nothing for text without digits; a number beyond the 32-bit
// range gives the nearer bound, so that it is refused as out of range rather than cut to another
// number.
[[nodiscard]] std::optional<int32_t> textToInteger(std::string_view text);

// The leading number of a typed text: leading white space, an optional sign, digits with an
// optional point and an optional exponent. Text without a number gives 0, and so does a number
// that a 32-bit float cannot hold (too small or too large), so the window never takes
// infinity for a setting.
[[nodiscard]] float textToFloat(std::string_view text);

}  // namespace lobewright
