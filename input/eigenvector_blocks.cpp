#include "input/eigenvector_blocks.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "input/number_text.h"
#include "input/text_scan.h"

namespace lobewright {
namespace {

// MOPAC breaks its pages with a line holding only "1"; it can fall between any two lines.
constexpr std::string_view kPageBreak = "1";
constexpr std::string_view kHydrogen = "H";
// The symmetry labels and the eigenvalues stand between a heading and its rows.
constexpr int kMaxLinesBeforeRows = 2;

// The words that tell a layout's lines apart. The row labels are in the order of an atom's rows
// (hydrogen has the first only); the index is the row's place within its atom.
struct LayoutWords {
  std::string_view heading;
  std::string_view number;
  std::array<std::string_view, 4> rows;
};
constexpr LayoutWords kOlderWords{kOlderLayoutHeading, "NO.", {"S", "PX", "PY", "PZ"}};
constexpr LayoutWords kNewerWords{kNewerLayoutHeading, "No.", {"S", "Px", "Py", "Pz"}};
// MOPAC 7 on prints d rows in lower case; the capitals would be an older program's.
constexpr std::array<std::string_view, 10> kDRowLabels = {"x2", "xz", "z2", "yz", "xy",
                                                          "X2", "XZ", "Z2", "YZ", "XY"};

enum class LineKind { blank, pageBreak, heading, row, dRow, other };

// A whole number from 1 up.
bool parsePositive(std::string_view word, int& value) {
  const std::optional<int> number = parseInteger<int>(word);
  if (!number || *number < 1) return false;
  value = *number;
  return true;
}

std::string atomName(int number, std::string_view symbol) {
  return "atom " + std::to_string(number) + " (" + std::string(symbol) + ")";
}

// One atom of a block's rows, with its coefficients in every MO of the block.
struct BlockAtom {
  std::string symbol;
  std::vector<AtomCoefficients> coefficients;
};

struct Row {
  int place = 0;  // index into the layout's row labels
  std::string_view symbol;
  int atomNumber = 0;
  std::vector<std::string_view> values;
};

class BlockReader {
 public:
  BlockReader(LineReader& lines, EigenvectorHeading::Layout layout)
      : m_lines(lines),
        m_words(layout == EigenvectorHeading::Layout::older ? kOlderWords : kNewerWords),
        m_lineWords(m_lines.words()) {}

  PrintedEigenvectors read() {
    m_result.outcome = readBlocks();
    if (m_result.outcome != Outcome::found) {
      m_result.symbols.clear();
      m_result.orbitals.clear();
    }
    return std::move(m_result);
  }

 private:
  using Outcome = PrintedEigenvectors::Outcome;

  // Returns found once the section has ended well.
  Outcome readBlocks() {
    for (;;) {
      m_headingLine = m_lines.lineNumber();
      m_headingQuote = quotedLine(m_lines.line());
      if (const Outcome heading = readHeading(); heading != Outcome::found) return heading;
      if (const Outcome rows = skipToRows(); rows != Outcome::found) return rows;
      if (const Outcome rows = readRows(); rows != Outcome::found) return rows;
      if (kindOf(m_lineWords) != LineKind::heading) break;
    }
    return Outcome::found;
  }

  Outcome unreadable(std::string what) {
    m_result.error = m_lines.error(std::move(what));
    return Outcome::unreadable;
  }

  Outcome unreadableAtHeading(std::string what) {
    m_result.error = {{}, m_headingLine, std::move(what), m_headingQuote};
    return Outcome::unreadable;
  }

  // Where the text stopped before the section ended: at its end, or at a line it cannot give.
  Outcome stopped(const char* atTheEnd) {
    if (m_lines.failed()) return unreadable("the line is longer than any MOPAC writes");
    if (m_lines.unreadable()) return unreadable("the file cannot be read past this line");
    return unreadable(atTheEnd);
  }

  [[nodiscard]] LineKind kindOf(const std::vector<std::string_view>& words) const {
    if (words.empty()) return LineKind::blank;
    const std::string_view first = words.front();
    if (words.size() == 1 && first == kPageBreak) return LineKind::pageBreak;
    if (first == m_words.heading) return LineKind::heading;
    if (std::find(m_words.rows.begin(), m_words.rows.end(), first) != m_words.rows.end()) {
      return LineKind::row;
    }
    if (std::find(kDRowLabels.begin(), kDRowLabels.end(), first) != kDRowLabels.end()) {
      return LineKind::dRow;
    }
    return LineKind::other;
  }

  bool nextLine() {
    if (!m_lines.next()) return false;
    m_lineWords = m_lines.words();
    return true;
  }

  bool nextContentLine() {
    while (nextLine()) {
      const LineKind kind = kindOf(m_lineWords);
      if (kind != LineKind::blank && kind != LineKind::pageBreak) return true;
    }
    return false;
  }

  // "Root No." and the MO numbers of the block.
  Outcome readHeading() {
    constexpr std::size_t start = 1;
    if (m_lineWords.size() < start + 2 || m_lineWords[start] != m_words.number) {
      return unreadable(std::string("expected the MO numbers of a block after ")
                            .append(m_words.heading)
                            .append(" ")
                            .append(m_words.number));
    }
    m_blockMos.clear();
    for (std::size_t i = start + 1; i < m_lineWords.size(); ++i) {
      int mo = 0;
      if (!parsePositive(m_lineWords[i], mo)) {
        return unreadable(std::string(m_lineWords[i]).append(" is not an MO number"));
      }
      m_blockMos.push_back(mo);
    }
    const auto [lowest, highest] = std::minmax_element(m_blockMos.begin(), m_blockMos.end());
    m_result.firstMo = m_result.firstMo == 0 ? *lowest : std::min(m_result.firstMo, *lowest);
    m_result.lastMo = std::max(m_result.lastMo, *highest);
    return Outcome::found;
  }

  Outcome skipToRows() {
    for (int linesBefore = 0;; ++linesBefore) {
      if (!nextContentLine()) return stopped("the file ends before the rows of the eigenvectors");
      switch (kindOf(m_lineWords)) {
        case LineKind::row:
          return Outcome::found;
        case LineKind::dRow:
          return Outcome::dOrbitals;
        case LineKind::other:
          if (linesBefore == kMaxLinesBeforeRows) {
            return unreadable("expected the rows of the eigenvectors");
          }
          break;
        default:
          return unreadable("expected the rows of the eigenvectors");
      }
    }
  }

  // Reads rows from the current line on; leaves the first line after them current.
  Outcome readRows() {
    std::vector<BlockAtom> atoms;
    int rowsInAtom = 0;
    int rowCount = 0;
    for (LineKind kind = kindOf(m_lineWords); kind != LineKind::other && kind != LineKind::heading;
         kind = kindOf(m_lineWords)) {
      if (kind == LineKind::dRow) return Outcome::dOrbitals;
      Row row;
      if (!splitRow(row)) return unreadable("expected an atom after the row label");
      if (row.place == 0 && static_cast<int>(atoms.size()) == kMaxAtoms) {
        return Outcome::tooManyAtoms;
      }
      if (std::string problem = addRow(row, atoms, rowsInAtom); !problem.empty()) {
        return unreadable(std::move(problem));
      }
      ++rowCount;
      // Rows end at a line of something else, never at the end of the file: a row cut short
      // there may have lost digits of its last number.
      if (!nextContentLine()) return stopped("the file ends inside the eigenvectors");
    }
    if (std::string missing = missingRow(atoms, rowsInAtom); !missing.empty()) {
      return unreadable(std::move(missing));
    }
    if (!sameAtomsAsBefore(atoms, rowCount)) {
      return unreadableAtHeading("this block's rows are not those of the first block");
    }
    keepNewMos(atoms);
    return Outcome::found;
  }

  // "S   C    1  c1 c2 ...", or with the atom number run into the symbol from 100 on: "S   H100
  // c1".
  bool splitRow(Row& row) const {
    const std::vector<std::string_view>& words = m_lineWords;
    row.place = static_cast<int>(std::find(m_words.rows.begin(), m_words.rows.end(), words[0]) -
                                 m_words.rows.begin());
    if (words.size() < 2) return false;
    const std::string_view atom = words[1];
    std::size_t firstValue = 2;
    if (isLetters(atom)) {
      if (words.size() < 3) return false;
      row.symbol = atom;
      if (!parsePositive(words[2], row.atomNumber)) return false;
      firstValue = 3;
    } else {
      const std::size_t digits = atom.find_first_of("0123456789");
      if (digits == std::string_view::npos) return false;
      row.symbol = atom.substr(0, digits);
      if (!isLetters(row.symbol) || !parsePositive(atom.substr(digits), row.atomNumber)) {
        return false;
      }
    }
    row.values.assign(words.begin() + static_cast<std::ptrdiff_t>(firstValue), words.end());
    return true;
  }

  // Takes the row as the next of the block; says what is wrong when it cannot be.
  std::string addRow(const Row& row, std::vector<BlockAtom>& atoms, int& rowsInAtom) const {
    if (row.values.size() != m_blockMos.size()) {
      return std::to_string(row.values.size()) + " coefficients for the " +
             std::to_string(m_blockMos.size()) + " MOs of the block";
    }
    std::vector<float> values(row.values.size());
    for (std::size_t i = 0; i < row.values.size(); ++i) {
      const std::optional<float> value = parseFloat(row.values[i]);
      if (!value) return notANumber(row.values[i]);
      values[i] = *value;
    }
    const int current = static_cast<int>(atoms.size());
    if (row.place == 0) {
      if (std::string missing = missingRow(atoms, rowsInAtom); !missing.empty()) return missing;
      if (row.atomNumber != current + 1) return atomOutOfOrder(row, current + 1);
      BlockAtom& atom = atoms.emplace_back(BlockAtom{std::string(row.symbol), {}});
      atom.coefficients.resize(values.size());
      for (std::size_t i = 0; i < values.size(); ++i) atom.coefficients[i].s = values[i];
      rowsInAtom = 1;
      return {};
    }
    if (row.atomNumber != current) {
      if (row.atomNumber != current + 1) return atomOutOfOrder(row, current + 1);
      if (std::string missing = missingRow(atoms, rowsInAtom); !missing.empty()) return missing;
      return atomName(row.atomNumber, row.symbol) + " has no " + std::string(m_words.rows[0]) +
             " row";
    }
    BlockAtom& atom = atoms.back();
    const std::string label(m_words.rows[row.place]);
    if (atom.symbol == kHydrogen) {
      return "a " + label + " row for hydrogen " + atomName(current, atom.symbol) +
             ", which has an s function only";
    }
    if (row.symbol != atom.symbol) {
      return "the " + label + " row of " + atomName(current, atom.symbol) + " names " +
             std::string(row.symbol);
    }
    if (row.place != rowsInAtom) {
      if (row.place < rowsInAtom)
        return atomName(current, atom.symbol) + " has two " + label + " rows";
      return atomName(current, atom.symbol) + " has no " + std::string(m_words.rows[rowsInAtom]) +
             " row";
    }
    float AtomCoefficients::*const functions[] = {&AtomCoefficients::px, &AtomCoefficients::py,
                                                  &AtomCoefficients::pz};
    for (std::size_t i = 0; i < values.size(); ++i) {
      atom.coefficients[i].*functions[row.place - 1] = values[i];
    }
    ++rowsInAtom;
    return {};
  }

  // The block's MOs that no earlier block printed.
  void keepNewMos(const std::vector<BlockAtom>& atoms) {
    for (std::size_t column = 0; column < m_blockMos.size(); ++column) {
      const int number = m_blockMos[column];
      const bool known = std::any_of(m_result.orbitals.begin(), m_result.orbitals.end(),
                                     [number](const PrintedMo& mo) { return mo.number == number; });
      if (known) continue;
      PrintedMo& mo = m_result.orbitals.emplace_back(PrintedMo{number, {}});
      for (const BlockAtom& atom : atoms) mo.coefficients.push_back(atom.coefficients[column]);
    }
  }

  // The row the last atom still lacks, as a message; empty when it is complete.
  std::string missingRow(const std::vector<BlockAtom>& atoms, int rowsInAtom) const {
    if (atoms.empty()) return {};
    const BlockAtom& atom = atoms.back();
    const int rowsWanted = atom.symbol == kHydrogen ? 1 : static_cast<int>(m_words.rows.size());
    if (rowsInAtom == rowsWanted) return {};
    return atomName(static_cast<int>(atoms.size()), atom.symbol) + " has no " +
           std::string(m_words.rows[rowsInAtom]) + " row";
  }

  static std::string atomOutOfOrder(const Row& row, int expected) {
    if (row.atomNumber > expected) {
      return "the rows of atom " + std::to_string(expected) + " are missing";
    }
    return "a row of atom " + std::to_string(row.atomNumber) + " after those of atom " +
           std::to_string(expected - 1);
  }

  // Every block lists the same atoms in the same order.
  bool sameAtomsAsBefore(const std::vector<BlockAtom>& atoms, int rowCount) {
    std::vector<std::string>& symbols = m_result.symbols;
    if (symbols.empty()) {
      for (const BlockAtom& atom : atoms) symbols.push_back(atom.symbol);
      m_result.moCount = rowCount;
      return true;
    }
    return rowCount == m_result.moCount &&
           std::equal(symbols.begin(), symbols.end(), atoms.begin(), atoms.end(),
                      [](const std::string& symbol, const BlockAtom& atom) {
                        return symbol == atom.symbol;
                      });
  }

  LineReader& m_lines;
  const LayoutWords& m_words;
  std::vector<std::string_view> m_lineWords;  // of the reader's current line
  int64_t m_headingLine = 0;
  std::string m_headingQuote;
  std::vector<int> m_blockMos;
  PrintedEigenvectors m_result;
};

}  // namespace

PrintedEigenvectors readEigenvectorBlocks(LineReader& lines, EigenvectorHeading::Layout layout) {
  return BlockReader(lines, layout).read();
}

}  // namespace lobewright
