#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "input/text_scan.h"

namespace lobewright {

// The words of a text one by one, taken from the lines of a LineReader: how the formats without
// a line structure (the PM3 parameter table, the text after MOPAC's eigenvectors) are read. A
// read that fails leaves its target unchanged, and every later read fails too. A number is a
// whole word read as input/number_text.h reads numbers: the point is the decimal separator
// whatever the user's locale, and NaN, infinity, values beyond the type's range and trailing junk
// fail.
class WordReader {
 public:
  // Starts with the words of the reader's current line; a reader that has read no line yet has
  // none, so this starts at its first line.
  explicit WordReader(LineReader& lines);

  // Moves to the next word; false at the end of the text (see atEnd()), at a line the reader
  // cannot give and after a failed read.
  bool next();
  bool readNumber(float& value);
  bool readInteger(long& value);

  // The current word: after a failed read, the word it failed on; empty at the end of the text.
  [[nodiscard]] std::string_view word() const { return m_word; }
  // The number and the text of the current word's line; at the end of the text, of the line of
  // the last word (0 and empty when there was none), rather than of the blank lines after it.
  [[nodiscard]] int64_t lineNumber() const;
  [[nodiscard]] std::string_view lineText() const;
  // Whether the words stopped at the end of the text, rather than at a line the reader could not
  // give or at a word that was not what a read wanted.
  [[nodiscard]] bool atEnd() const { return m_atEnd; }
  // Whether the words stopped at the end of the text with the last one whole: the text ended in a
  // blank or a line end, or it ended before a line of the reader's own (the line it started in
  // is taken as it was read).
  [[nodiscard]] bool endedOnBlank() const;
  // An error at lineNumber(), quoting its line.
  [[nodiscard]] TextError error(std::string what) const;

 private:
  LineReader& m_lines;
  std::size_t m_position = 0;  // in the current line, after the current word
  std::string_view m_word;
  bool m_lineHasWords = false;
  // The last line that held a word, kept once the reader has moved past it.
  int64_t m_lastWordLine = 0;
  std::string m_lastWordLineText;
  bool m_readALine = false;
  bool m_stopped = false;
  bool m_atEnd = false;
};

}  // namespace lobewright
