#pragma once

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

  explicit TokenReader(std::istream& in);

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

 private:
  std::istream& m_in;
};

}  // namespace lobewright
