#pragma once

#include <string>

namespace lobewright {

// The one text form of real numbers in every output file: "%g" with six significant digits in
// the "C" locale, and "0" for a negative zero.
[[nodiscard]] std::string formatReal(double value);
void appendReal(std::string& text, double value);

}  // namespace lobewright
