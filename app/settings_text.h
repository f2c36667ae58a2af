#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lobewright {

// The window shows whole numbers as "%i" and the others as "%g" (six significant digits), with
// a point as the decimal separator whatever the user's locale.
[[nodiscard]] std::string formatInteger(int32_t value);
[[nodiscard]] std::string formatGeneral(float value);

// The leading number of a typed text, whatever follows it: leading white space, an optional
// sign and decimal digits. Text without digits gives 0. The value is cut to its low 16 bits,
// read as signed, however many digits were typed.
[[nodiscard]] int16_t textToInteger16(std::string_view text);

// The leading number of a typed text: leading white space, an optional sign, digits with an
// optional point and an optional exponent. Text without a number gives 0, and so does a number
// that a 32-bit float cannot hold (too small or too large), so the window never takes
// infinity for a setting.
[[nodiscard]] float textToFloat(std::string_view text);

}  // namespace lobewright
