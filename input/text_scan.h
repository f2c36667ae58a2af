#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lobewright {

// Lines longer than this are refused: no MOPAC file comes near it, and a file without line ends
// (a device, a binary file) must not be read into memory whole.
inline constexpr std::size_t kMaxLineLength = std::size_t{1} << 20;

[[nodiscard]] constexpr bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One or more ASCII letters, as every element symbol is: such a word is safe to write into a
// scene or a script, whatever the user's locale.
[[nodiscard]] constexpr bool isLetters(std::string_view word) {
  if (word.empty()) return false;
  for (const char c : word) {
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
  }
  return true;
}

// The text with its ASCII capitals made small, whatever the user's locale.
[[nodiscard]] inline std::string asciiLowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// The whitespace-separated words of a line, as views into it.
[[nodiscard]] std::vector<std::string_view> splitWords(std::string_view line);

// The first whitespace-separated word of a line; empty when it has none.
[[nodiscard]] constexpr std::string_view firstWord(std::string_view line) {
  std::size_t start = 0;
  while (start < line.size() && isBlank(line[start])) ++start;
  std::size_t end = start;
  while (end < line.size() && !isBlank(line[end])) ++end;
  return line.substr(start, end - start);
}

// The numbers of a line on which MOPAC may have run them together: a sign that follows a digit
// or a point starts a new number ("+4.00000+10.00000", "0.1D+00-0.5D+00"); the sign of an
// exponent follows its letter and stays.
[[nodiscard]] std::vector<std::string_view> splitNumbers(std::string_view line);

// Hands the numbers of splitNumbers(line) to take, one at a time and without making a list.
template <class Take>
void forEachNumber(std::string_view line, Take&& take) {
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i == line.size()) break;
    std::size_t start = i;
    for (++i; i < line.size() && !isBlank(line[i]); ++i) {
      const char previous = line[i - 1];
      const bool afterMantissa = (previous >= '0' && previous <= '9') || previous == '.';
      if ((line[i] == '+' || line[i] == '-') && afterMantissa) {
        take(line.substr(start, i - start));
        start = i;
      }
    }
    take(line.substr(start, i - start));
  }
}

// A word as a message quotes it: in double quotes, cut with "..." after 40 characters.
[[nodiscard]] std::string quotedWord(std::string_view word);

// Longest part of a line that a message quotes; the rest is elided.
inline constexpr std::size_t kQuotedLineLength = 100;

// A line as a message quotes it: without the blanks around it, with a tab as a space and every
// other byte that is not printable ASCII (control characters, parts of UTF-8 sequences) as "?",
// and cut with "..." after kQuotedLineLength characters. Nothing the file holds can then reach a
// terminal or a message box as anything but plain text.
[[nodiscard]] std::string quotedLine(std::string_view line);

// What went wrong in a text file, and where.
struct TextError {
  std::string source;  // the file name as the user gave it, or a description
  int64_t line = 0;    // 1-based; 0 when the error concerns no particular line
  std::string what;
  std::string quote;  // the line's text as quotedLine gives it; shown when line is not 0

  // "caffeine.aux, line 12: \"0.5x\" is not a number", then the line as read:
  // "  12 | S   C    1  0.5x  0.2".
  [[nodiscard]] std::string message() const;
};

// Reads a text line by line, counting lines for messages: the one way every reader takes text
// from a stream. CR LF and LF end a line alike; a last line without a line end counts. A line
// longer than kMaxLineLength ends the reading with an error.
class LineReader {
 public:
  LineReader(std::istream& in, std::string source);

  // Moves to the next line; false at the end of the text, on an overlong line (see failed()) and
  // when the stream cannot be read (see unreadable(): a folder opened as a file, a device error).
  // Once it is false, line() and lineNumber() stay at the last line read, or at the overlong
  // line, whose first kMaxLineLength characters line() then holds: what a message quotes.
  bool next();

  [[nodiscard]] const std::string& line() const { return m_line; }
  [[nodiscard]] std::vector<std::string_view> words() const { return splitWords(m_line); }
  [[nodiscard]] int64_t lineNumber() const { return m_lineNumber; }
  // Whether a line end closed the current line (a CR at the very end of the text counts); false
  // for a last line that the text stops inside.
  [[nodiscard]] bool lineEnded() const { return m_lineEnded; }
  [[nodiscard]] bool failed() const { return m_overlong; }
  [[nodiscard]] bool unreadable() const { return m_unreadable; }

  // An error at the current line, quoting it.
  [[nodiscard]] TextError error(std::string what) const;
  // An error at a line read before, quoting the text given for it.
  [[nodiscard]] TextError errorAt(int64_t line, std::string_view text, std::string what) const;

 private:
  std::istream& m_in;
  std::string m_source;
  std::string m_line;
  // Where the stream puts a line: kMaxLineLength characters and its end, made at the first line
  // and left uninitialised, so that only the part lines use is ever touched.
  std::unique_ptr<char[]> m_buffer;
  int64_t m_lineNumber = 0;
  bool m_lineEnded = false;
  bool m_overlong = false;
  bool m_unreadable = false;
};

}  // namespace lobewright
