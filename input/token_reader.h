#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

namespace lobewright {

// Whitespace-separated reading of MOPAC and parameter files. A failed read leaves the stream
// failed and every later read fails too, leaving its target unchanged. A number is a whole token
// read as input/number_text.h reads numbers: the point is the decimal separator whatever the
// user's locale, and NaN, infinity, values beyond the float range and trailing junk fail.
class TokenReader {
 public:
  // Longest rest of a line that skipRestOfLine passes over; a longer line fails the read.
  static constexpr int kMaxRestOfLine = 99;
  // Longest token read; a longer one fails the read.
  static constexpr std::size_t kMaxTokenLength = std::size_t{1} << 20;

  // Lines are counted from firstLine, the number of the line the stream stands at.
  explicit TokenReader(std::istream& in, int64_t firstLine = 1);

  bool readToken(std::string& token);
  bool readNumber(float& value);
  bool readInteger(long& value);
  bool skipTokens(int count);
  bool skipRestOfLine();
  // Like skipRestOfLine, but keeps the text (without the line end).
  bool readRestOfLine(std::string& line);
  // Reads tokens until one equals the marker exactly; fails when the stream stops being good
  // first. The marker must be followed by something: at the very end of the file it is missed.
  bool skipToToken(std::string_view marker);

  [[nodiscard]] bool good() const { return m_in.good(); }
  [[nodiscard]] bool failed() const { return m_in.fail(); }
  // The line on which the last token read, or tried, began: where a failed read went wrong.
  [[nodiscard]] int64_t tokenLine() const { return m_tokenLine; }
  // Whether the last read found the end of the text after a blank, rather than a token, a token
  // cut off by the end or a read error.
  [[nodiscard]] bool endedOnBlank() const { return m_endedOnBlank; }

 private:
  std::istream& m_in;
  int64_t m_line;
  int64_t m_tokenLine;
  bool m_endedOnBlank = false;
};

}  // namespace lobewright
