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
  forEachNumber(line, [&](std::string_view number) { numbers.push_back(number); });
  return numbers;
}

std::string quotedWord(std::string_view word) {
  constexpr std::size_t kQuotedWordLength = 40;
  std::string quoted(1, '"');
  quoted.append(word.substr(0, kQuotedWordLength));
  if (word.size() > kQuotedWordLength) quoted.append("...");
  return quoted.append(1, '"');
}

std::string quotedLine(std::string_view line) {
  while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
  while (!line.empty() && isBlank(line.back())) line.remove_suffix(1);
  std::string quote(line.substr(0, kQuotedLineLength));
  for (char& c : quote) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\t') {
      c = ' ';
    } else if (byte < 0x20 || byte >= 0x7f) {
      c = '?';
    }
  }
  if (line.size() > kQuotedLineLength) quote += "...";
  return quote;
}

std::string TextError::message() const {
  std::string text = source;
  if (line > 0) text += (text.empty() ? "line " : ", line ") + std::to_string(line);
  if (!text.empty()) text += ": ";
  text += what;
  if (line > 0) {
    text += "\n  " + std::to_string(line) + " |";
    if (!quote.empty()) text += " " + quote;
  }
  return text;
}

LineReader::LineReader(std::istream& in, std::string source)
    : m_in(in), m_source(std::move(source)) {}

bool LineReader::next() {
  if (m_overlong || m_unreadable) return false;
  std::streambuf* buffer = m_in.rdbuf();
  if (buffer == nullptr || !m_in.good()) return false;
  constexpr auto kEnd = std::char_traits<char>::eof();
  m_reading.clear();
  bool readAny = false;
  bool lineEnded = false;
  // A file buffer throws when the file cannot be read, as when it is a folder.
  try {
    for (auto c = buffer->sbumpc(); c != kEnd; c = buffer->sbumpc()) {
      readAny = true;
      if (c == '\n') {
        lineEnded = true;
        break;
      }
      if (m_reading.size() == kMaxLineLength) {
        m_overlong = true;
        break;
      }
      m_reading.push_back(static_cast<char>(c));
    }
  } catch (const std::exception&) {
    m_unreadable = true;
    m_in.setstate(std::ios::badbit);
    return false;
  }
  if (!readAny) {
    m_in.setstate(std::ios::eofbit);
    return false;
  }
  if (!m_overlong && !m_reading.empty() && m_reading.back() == '\r') {
    m_reading.pop_back();
    lineEnded = true;
  }
  m_line.swap(m_reading);
  m_lineEnded = lineEnded;
  ++m_lineNumber;
  return !m_overlong;
}

TextError LineReader::error(std::string what) const {
  return errorAt(m_lineNumber, m_line, std::move(what));
}

TextError LineReader::errorAt(int64_t line, std::string_view text, std::string what) const {
  return {m_source, line, std::move(what), quotedLine(text)};
}

}  // namespace lobewright
