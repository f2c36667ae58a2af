#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "input/text_scan.h"  // splitWords

namespace lobewright {

// Reads one line of any length without its line end (LF or CR LF). False when nothing is left.
bool readLine(std::istream& in, std::string& line);

// A whole word as a finite decimal number ("C" notation, no sign "+"); false for anything else,
// "0.5x", "nan" and "inf" included.
[[nodiscard]] bool parseReal(std::string_view word, float& value);

// A whole word as an integer from 1 up; false for anything else.
[[nodiscard]] bool parsePositive(std::string_view word, int& value);

}  // namespace lobewright
