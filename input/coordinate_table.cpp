#include "input/coordinate_table.h"

#include <string>

#include "input/classic_calculation.h"
#include "input/number_text.h"
#include "input/text_scan.h"

namespace lobewright {
namespace {

// "ATOM X Y Z" after "NO.".
constexpr int kHeaderWordsAfterNo = 4;

}  // namespace

void CoordinateTableScanner::see(std::string_view token, int64_t line, std::string_view lineText) {
  switch (m_expect) {
    case Expect::marker:
      lookForMarker(token);
      break;
    case Expect::headerOrRow:
      if (token == "NO.") {
        m_table.hasHeader = true;
        m_headerWordsLeft = kHeaderWordsAfterNo;
        m_expect = Expect::header;
      } else {
        readRowNumber(token);
      }
      break;
    case Expect::header:
      if (--m_headerWordsLeft == 0) m_expect = Expect::rowNumber;
      break;
    case Expect::rowNumber:
      readRowNumber(token);
      break;
    case Expect::symbol:
      m_row.line = line;
      m_row.quote = quotedLine(lineText);
      m_row.symbol = token;
      m_expect = Expect::x;
      break;
    case Expect::x:
      readCoordinate(token, line, lineText, &CoordinateRow::x, Expect::y);
      break;
    case Expect::y:
      readCoordinate(token, line, lineText, &CoordinateRow::y, Expect::z);
      break;
    case Expect::z:
      readCoordinate(token, line, lineText, &CoordinateRow::z, Expect::rowNumber);
      if (m_expect == Expect::rowNumber) {
        m_table.rows.push_back(m_row);
        if (static_cast<int>(m_table.rows.size()) > kMaxAtoms) {
          m_table.readable = false;
          endTable();
        }
      }
      break;
  }
}

void CoordinateTableScanner::lookForMarker(std::string_view token) {
  if (m_afterCartesian && token == "COORDINATES") {
    m_table = CoordinateTable{};
    m_expect = Expect::headerOrRow;
  }
  m_afterCartesian = token == "CARTESIAN";
}

void CoordinateTableScanner::readRowNumber(std::string_view token) {
  const std::optional<int> number = parseInteger<int>(token);
  if (number && *number == static_cast<int>(m_table.rows.size()) + 1) {
    m_expect = Expect::symbol;
    return;
  }
  endTable();
  lookForMarker(token);
}

void CoordinateTableScanner::seeEnd() {
  if (m_expect == Expect::rowNumber) endTable();
}

void CoordinateTableScanner::readCoordinate(std::string_view token, int64_t line,
                                            std::string_view lineText, float CoordinateRow::*axis,
                                            Expect next) {
  if (const std::optional<float> value = parseFloat(token)) {
    m_row.*axis = *value;
    m_expect = next;
    return;
  }
  m_table.readable = false;
  m_table.unreadableLine = line;
  m_table.unreadableQuote = quotedLine(lineText);
  m_table.unreadableWord = token;
  endTable();
}

void CoordinateTableScanner::endTable() {
  m_expect = Expect::marker;
  m_afterCartesian = false;
  // Prose that happens to say "Cartesian coordinates" is no table.
  if (!m_table.hasHeader && m_table.readable && m_table.rows.empty()) return;
  m_lastTable = std::move(m_table);
  ++m_tablesFound;
}

}  // namespace lobewright
