#include "input/word_reader.h"

#include <optional>
#include <utility>

#include "input/number_text.h"

namespace lobewright {

WordReader::WordReader(LineReader& lines) : m_lines(lines) {}

bool WordReader::next() {
  if (m_stopped) return false;
  for (;;) {
    const std::string& line = m_lines.line();
    while (m_position < line.size() && isBlank(line[m_position])) ++m_position;
    if (m_position < line.size()) {
      const std::size_t start = m_position;
      while (m_position < line.size() && !isBlank(line[m_position])) ++m_position;
      m_word = std::string_view(line).substr(start, m_position - start);
      m_lineHasWords = true;
      return true;
    }
    if (m_lineHasWords) {
      m_lastWordLine = m_lines.lineNumber();
      m_lastWordLineText = line;
      m_lineHasWords = false;
    }
    if (!m_lines.next()) {
      m_stopped = true;
      m_atEnd = !m_lines.failed() && !m_lines.unreadable();
      m_word = {};
      return false;
    }
    m_readALine = true;
    m_position = 0;
  }
}

bool WordReader::readNumber(float& value) {
  if (!next()) return false;
  const std::optional<float> number = parseFloat(m_word);
  m_stopped = !number;
  if (number) value = *number;
  return number.has_value();
}

bool WordReader::readInteger(long& value) {
  if (!next()) return false;
  const std::optional<long> number = parseInteger<long>(m_word);
  m_stopped = !number;
  if (number) value = *number;
  return number.has_value();
}

int64_t WordReader::lineNumber() const { return m_atEnd ? m_lastWordLine : m_lines.lineNumber(); }

std::string_view WordReader::lineText() const {
  if (m_atEnd) return m_lastWordLineText;
  return m_lines.line();
}

TextError WordReader::error(std::string what) const {
  return m_lines.errorAt(lineNumber(), lineText(), std::move(what));
}

bool WordReader::endedOnBlank() const {
  if (!m_atEnd) return false;
  const std::string& last = m_lines.line();
  return !m_readALine || m_lines.lineEnded() || (!last.empty() && isBlank(last.back()));
}

}  // namespace lobewright
