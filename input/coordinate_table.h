#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lobewright {

struct CoordinateRow {
  int64_t line = 0;
  std::string quote;  // the line as a message quotes it (input/text_scan.h)
  std::string symbol;
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// One "CARTESIAN COORDINATES" table of a MOPAC output, in Angstrom.
struct CoordinateTable {
  // MOPAC 7 heads its tables with "NO. ATOM X Y Z"; the final geometry of MOPAC 2016 and later
  // comes without that line.
  bool hasHeader = false;
  // False when a row could not be read (see unreadableLine) or the table holds more atoms than the
  // classic model can.
  bool readable = true;
  int64_t unreadableLine = 0;
  std::string unreadableQuote;
  std::string unreadableWord;
  std::vector<CoordinateRow> rows;
};

// Finds the "CARTESIAN COORDINATES" tables in a stream of whitespace-separated tokens, fed one by
// one with their lines. A table's rows are "number symbol x y z" with the numbers counting from 1;
// the first token that does not continue that sequence ends the table, and so does the end of the
// text after a whole row, but a table cut off inside a row never counts as found.
class CoordinateTableScanner {
 public:
  // The next token, and the number and the text of its line.
  void see(std::string_view token, int64_t line, std::string_view lineText);
  // The text has ended after a blank: a table whose last row is complete ends with it.
  void seeEnd();

  // How many tables have ended so far; mere mentions of the words with no table after them are
  // not counted.
  [[nodiscard]] int tablesFound() const { return m_tablesFound; }
  [[nodiscard]] const std::optional<CoordinateTable>& lastTable() const { return m_lastTable; }
  // Whether a table has begun and not ended.
  [[nodiscard]] bool inTable() const { return m_expect != Expect::marker; }

 private:
  enum class Expect { marker, headerOrRow, header, rowNumber, symbol, x, y, z };

  void lookForMarker(std::string_view token);
  void readRowNumber(std::string_view token);
  void readCoordinate(std::string_view token, int64_t line, std::string_view lineText,
                      float CoordinateRow::*axis, Expect next);
  void endTable();

  Expect m_expect = Expect::marker;
  bool m_afterCartesian = false;
  int m_headerWordsLeft = 0;
  CoordinateTable m_table;
  CoordinateRow m_row;
  int m_tablesFound = 0;
  std::optional<CoordinateTable> m_lastTable;
};

}  // namespace lobewright
