#include "input/text_scan.h"

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
  if (m_in.rdbuf() == nullptr || !m_in.good()) return false;
  // The stream's own getline finds the line end in its buffer at once. It stores at most
  // kMaxLineLength characters, and a file buffer that throws (a folder opened as a file) leaves
  // the stream bad.
  if (!m_buffer) m_buffer.reset(new char[kMaxLineLength + 1]);
  m_in.getline(m_buffer.get(), static_cast<std::streamsize>(kMaxLineLength + 1));
  if (m_in.bad()) {
    m_unreadable = true;
    return false;
  }
  const auto extracted = static_cast<std::size_t>(m_in.gcount());
  if (extracted == 0 && m_in.eof()) return false;
  // Without eof or fail the line end was found and counted; eof alone ends a last line; fail
  // alone is a line that goes on past kMaxLineLength.
  bool lineEnded = !m_in.fail() && !m_in.eof();
  if (m_in.fail() && !m_in.eof()) {
    m_overlong = true;
    m_in.clear(m_in.rdstate() & ~std::ios::failbit);
  }
  std::size_t length = lineEnded ? extracted - 1 : extracted;
  if (!m_overlong && length > 0 && m_buffer[length - 1] == '\r') {
    --length;
    lineEnded = true;
  }
  m_line.assign(m_buffer.get(), length);
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
