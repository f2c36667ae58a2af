#include "input/text_fields.h"

#include <charconv>
#include <cmath>

namespace lobewright {

bool readLine(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool parseReal(std::string_view word, float& value) {
  float parsed = 0.0f;
  const char* end = word.data() + word.size();
  const auto [stop, error] = std::from_chars(word.data(), end, parsed);
  if (error != std::errc() || stop != end || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

bool parsePositive(std::string_view word, int& value) {
  int parsed = 0;
  const char* end = word.data() + word.size();
  const auto [stop, error] = std::from_chars(word.data(), end, parsed);
  if (error != std::errc() || stop != end || parsed < 1) return false;
  value = parsed;
  return true;
}

}  // namespace lobewright
