#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "input/point.h"
#include "writers/program_version.h"
#include "writers/real_format.h"

namespace lobewright {

// Output files use CR LF line ends on every platform.
inline constexpr std::string_view kLineEnd = "\r\n";

inline constexpr int kCreditYear = 2006;
inline constexpr std::string_view kCreditText = " Lobewright, orbital surfaces from MOPAC";

// "x,y,z" in the real-number text.
inline void appendTriple(std::string& text, const Point& p) {
  appendReal(text, p.x);
  text.push_back(',');
  appendReal(text, p.y);
  text.push_back(',');
  appendReal(text, p.z);
}

inline std::string tripleText(const Point& p) {
  std::string text;
  appendTriple(text, p);
  return text;
}

inline std::ostream& writeTriple(std::ostream& out, const Point& p) { return out << tripleText(p); }

}  // namespace lobewright
