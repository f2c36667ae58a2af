#include "input/text_scan.h"

#include <exception>
#include <utility>

namespace lobewright {

std::vector<std::string_view> splitWords(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !isBlank(line[i])) ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

std::vector<std::string_view> splitNumbers(std::string_view line) {
  std::vector<std::string_view> numbers;
  for (const std::string_view word : splitWords(line)) {
    std::size_t start = 0;
    for (std::size_t i = 1; i < word.size(); ++i) {
      const char previous = word[i - 1];
      const bool afterMantissa = (previous >= '0' && previous <= '9') || previous == '.';
      if ((word[i] == '+' || word[i] == '-') && afterMantissa) {
        numbers.push_back(word.substr(start, i - start));
        start = i;
      }
    }
    numbers.push_back(word.substr(start));
  }
  return numbers;
}

std::string TextError::message() const {
  std::string text = source;
  if (line > 0) text += (text.empty() ? "line " : ", line ") + std::to_string(line);
  if (!text.empty()) text += ": ";
  return text + what;
}

LineReader::LineReader(std::istream& in, std::string source)
    : m_in(in), m_source(std::move(source)) {}

bool LineReader::next() {
  m_line.clear();
  if (m_overlong || m_unreadable) return false;
  std::streambuf* buffer = m_in.rdbuf();
  if (buffer == nullptr || !m_in.good()) return false;
  constexpr auto kEnd = std::char_traits<char>::eof();
  bool readAny = false;
  // A file buffer throws when the file cannot be read, as when it is a folder.
  try {
    for (auto c = buffer->sbumpc(); c != kEnd; c = buffer->sbumpc()) {
      readAny = true;
      if (c == '\n') break;
      if (m_line.size() == kMaxLineLength) {
        ++m_lineNumber;
        m_overlong = true;
        m_line.clear();
        return false;
      }
      m_line.push_back(static_cast<char>(c));
    }
  } catch (const std::exception&) {
    m_unreadable = true;
    m_line.clear();
    m_in.setstate(std::ios::badbit);
    return false;
  }
  if (!readAny) {
    m_in.setstate(std::ios::eofbit);
    return false;
  }
  if (!m_line.empty() && m_line.back() == '\r') m_line.pop_back();
  ++m_lineNumber;
  return true;
}

TextError LineReader::error(std::string what) const {
  return {m_source, m_lineNumber, std::move(what)};
}

}  // namespace lobewright
