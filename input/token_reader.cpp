#include "input/token_reader.h"

#include <cmath>
#include <locale>

namespace lobewright {

TokenReader::TokenReader(std::istream& in) : m_in(in) { m_in.imbue(std::locale::classic()); }

bool TokenReader::readToken(std::string& token) { return static_cast<bool>(m_in >> token); }

bool TokenReader::readNumber(float& value) {
  float read = 0.0f;
  if (!(m_in >> read)) return false;
  // Some standard libraries read "nan" and "inf"; such a value would poison every sum it
  // enters, so it fails the read like any other text that is not a usable number.
  if (!std::isfinite(read)) {
    m_in.setstate(std::ios::failbit);
    return false;
  }
  value = read;
  return true;
}

bool TokenReader::readInteger(long& value) { return static_cast<bool>(m_in >> value); }

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
    if (c == '\n') return true;
    // CR LF ends a line just as LF does; the CR is not part of the line's text.
    if (c == '\r' && buffer.sgetc() == '\n') {
      buffer.sbumpc();
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
