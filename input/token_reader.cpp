#include "input/token_reader.h"

#include <exception>
#include <locale>
#include <optional>

#include "input/number_text.h"
#include "input/text_scan.h"

namespace lobewright {

TokenReader::TokenReader(std::istream& in, int64_t firstLine)
    : m_in(in), m_line(firstLine), m_tokenLine(firstLine) {
  m_in.imbue(std::locale::classic());
}

// As extracting a string would, but a token longer than kMaxTokenLength fails the read rather
// than filling memory with a file that has no white space in it. The blanks before the token are
// skipped here rather than by a sentry, so that the line ends among them are counted.
bool TokenReader::readToken(std::string& token) {
  m_endedOnBlank = false;
  if (!m_in.good()) {
    m_in.setstate(std::ios::failbit);
    return false;
  }
  std::streambuf& buffer = *m_in.rdbuf();
  constexpr auto kEnd = std::char_traits<char>::eof();
  std::string read;
  // A file buffer throws when the file cannot be read, as when it is a folder.
  try {
    auto c = buffer.sgetc();
    for (; c != kEnd && isBlank(static_cast<char>(c)); c = buffer.snextc()) {
      if (c == '\n') ++m_line;
    }
    m_tokenLine = m_line;
    if (c == kEnd) {
      m_endedOnBlank = true;
      m_in.setstate(std::ios::eofbit | std::ios::failbit);
      return false;
    }
    for (; !isBlank(static_cast<char>(c)); c = buffer.snextc()) {
      if (c == kEnd) {
        m_in.setstate(std::ios::eofbit);
        break;
      }
      if (read.size() == kMaxTokenLength) {
        m_in.setstate(std::ios::failbit);
        return false;
      }
      read.push_back(static_cast<char>(c));
    }
  } catch (const std::exception&) {
    m_in.setstate(std::ios::badbit);
    return false;
  }
  token = std::move(read);
  return true;
}

// Numbers are whole tokens: "0.5x" or "0x1p3" is no number at all rather than 0.5 or 0 followed
// by junk, and a value that is not finite would poison every sum it entered.
bool TokenReader::readNumber(float& value) {
  std::string token;
  if (!readToken(token)) return false;
  const std::optional<float> number = parseFloat(token);
  if (!number) {
    m_in.setstate(std::ios::failbit);
    return false;
  }
  value = *number;
  return true;
}

bool TokenReader::readInteger(long& value) {
  std::string token;
  if (!readToken(token)) return false;
  const std::optional<long> number = parseInteger<long>(token);
  if (!number) {
    m_in.setstate(std::ios::failbit);
    return false;
  }
  value = *number;
  return true;
}

bool TokenReader::skipTokens(int count) {
  std::string dropped;
  for (int i = 0; i < count; ++i) {
    if (!readToken(dropped)) return false;
  }
  return true;
}

bool TokenReader::skipRestOfLine() {
  std::string dropped;
  return readRestOfLine(dropped);
}

bool TokenReader::readRestOfLine(std::string& line) {
  line.clear();
  if (!m_in.good()) {
    m_in.setstate(std::ios::failbit);
    return false;
  }
  std::streambuf& buffer = *m_in.rdbuf();
  constexpr auto eof = std::char_traits<char>::eof();
  bool extractedAny = false;
  for (;;) {
    const auto c = buffer.sbumpc();
    if (c == eof) {
      m_in.setstate(extractedAny ? std::ios::eofbit : std::ios::eofbit | std::ios::failbit);
      return !m_in.fail();
    }
    extractedAny = true;
    if (c == '\n') {
      ++m_line;
      return true;
    }
    // CR LF ends a line just as LF does; the CR is not part of the line's text.
    if (c == '\r' && buffer.sgetc() == '\n') {
      buffer.sbumpc();
      ++m_line;
      return true;
    }
    if (static_cast<int>(line.size()) == kMaxRestOfLine) {
      m_in.setstate(std::ios::failbit);
      return false;
    }
    line.push_back(static_cast<char>(c));
  }
}

bool TokenReader::skipToToken(std::string_view marker) {
  std::string token;
  for (;;) {
    readToken(token);
    if (!m_in.good()) return false;
    if (token == marker) return true;
  }
}

}  // namespace lobewright
