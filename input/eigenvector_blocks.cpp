#include "input/eigenvector_blocks.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "input/molecule.h"
#include "input/number_text.h"
#include "input/text_scan.h"

namespace lobewright {
namespace {

constexpr std::string_view kHeadingWord = "Root";
constexpr std::string_view kHeadingNumberWord = "No.";
// MOPAC breaks its pages with a line holding only "1"; it can fall between any two lines.
constexpr std::string_view kPageBreak = "1";
constexpr std::string_view kHydrogen = "H";
// In this order for every atom but hydrogen; the index is the row's place within its atom.
constexpr std::array<std::string_view, 4> kRowLabels = {"S", "Px", "Py", "Pz"};
constexpr std::array<std::string_view, 5> kDRowLabels = {"x2", "xz", "z2", "yz", "xy"};
// The symmetry labels and the eigenvalues stand between a heading and its rows.
constexpr int kMaxLinesBeforeRows = 2;

enum class LineKind { blank, pageBreak, heading, row, dRow, other };

LineKind kindOf(const std::vector<std::string_view>& words) {
  if (words.empty()) return LineKind::blank;
  const std::string_view first = words.front();
  if (words.size() == 1 && first == kPageBreak) return LineKind::pageBreak;
  if (first == kHeadingWord) return LineKind::heading;
  if (std::find(kRowLabels.begin(), kRowLabels.end(), first) != kRowLabels.end()) {
    return LineKind::row;
  }
  if (std::find(kDRowLabels.begin(), kDRowLabels.end(), first) != kDRowLabels.end()) {
    return LineKind::dRow;
  }
  return LineKind::other;
}

// A whole number from 1 up.
bool parsePositive(std::string_view word, int& value) {
  const std::optional<int> number = parseInteger<int>(word);
  if (!number || *number < 1) return false;
  value = *number;
  return true;
}

bool isLetters(std::string_view word) {
  return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
  });
}

struct Row {
  int place = 0;  // index into kRowLabels
  std::string_view symbol;
  int atomNumber = 0;
  std::vector<std::string_view> values;
};

// "S   C    1  c1 c2 ...", or with the atom number run into the symbol from 100 on: "S   H100 c1".
bool splitRow(const std::vector<std::string_view>& words, Row& row) {
  row.place = static_cast<int>(std::find(kRowLabels.begin(), kRowLabels.end(), words[0]) -
                               kRowLabels.begin());
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

class BlockReader {
 public:
  BlockReader(std::istream& in, const std::string& firstHeading, int moNumber)
      : m_lines(in, {}), m_moNumber(moNumber), m_line(firstHeading), m_words(splitWords(m_line)) {}

  PrintedEigenvectors read() {
    m_result.outcome = readBlocks();
    if (m_result.outcome == Outcome::found && m_result.atoms.empty()) {
      m_result.outcome = Outcome::moNotPrinted;
    }
    if (m_result.outcome != Outcome::found) m_result.atoms.clear();
    return std::move(m_result);
  }

 private:
  using Outcome = PrintedEigenvectors::Outcome;

  // Returns found once the section has ended well, whether or not the wanted MO was in it.
  Outcome readBlocks() {
    for (;;) {
      if (!readHeading()) return Outcome::unreadable;
      if (const Outcome rows = skipToRows(); rows != Outcome::found) return rows;
      if (const Outcome rows = readRows(); rows != Outcome::found) return rows;
      if (kindOf(m_words) != LineKind::heading) break;
    }
    m_result.lineAfter = m_line;
    return Outcome::found;
  }

  bool nextLine() {
    if (!m_lines.next()) return false;
    m_line = m_lines.line();
    m_words = splitWords(m_line);
    return true;
  }

  bool nextContentLine() {
    while (nextLine()) {
      const LineKind kind = kindOf(m_words);
      if (kind != LineKind::blank && kind != LineKind::pageBreak) return true;
    }
    return false;
  }

  // "Root No." and the MO numbers of the block.
  bool readHeading() {
    constexpr std::size_t start = 1;
    if (m_words.size() < start + 2 || m_words[start] != kHeadingNumberWord) return false;
    m_blockMos.clear();
    for (std::size_t i = start + 1; i < m_words.size(); ++i) {
      int mo = 0;
      if (!parsePositive(m_words[i], mo)) return false;
      m_blockMos.push_back(mo);
    }
    const auto [lowest, highest] = std::minmax_element(m_blockMos.begin(), m_blockMos.end());
    m_result.firstMo = m_result.firstMo == 0 ? *lowest : std::min(m_result.firstMo, *lowest);
    m_result.lastMo = std::max(m_result.lastMo, *highest);
    const auto wanted = std::find(m_blockMos.begin(), m_blockMos.end(), m_moNumber);
    m_column = wanted == m_blockMos.end() ? -1 : static_cast<int>(wanted - m_blockMos.begin());
    return true;
  }

  Outcome skipToRows() {
    for (int linesBefore = 0;; ++linesBefore) {
      if (!nextContentLine()) return Outcome::unreadable;
      switch (kindOf(m_words)) {
        case LineKind::row:
          return Outcome::found;
        case LineKind::dRow:
          return Outcome::dOrbitals;
        case LineKind::other:
          if (linesBefore == kMaxLinesBeforeRows) return Outcome::unreadable;
          break;
        default:
          return Outcome::unreadable;
      }
    }
  }

  // Reads rows from the current line on; leaves the first line after them current.
  Outcome readRows() {
    std::vector<EigenvectorAtom> atoms;
    int rowsInAtom = 0;
    int rowCount = 0;
    for (LineKind kind = kindOf(m_words); kind != LineKind::other && kind != LineKind::heading;
         kind = kindOf(m_words)) {
      if (kind == LineKind::dRow) return Outcome::dOrbitals;
      Row row;
      if (!splitRow(m_words, row) || !addRow(row, atoms, rowsInAtom)) return Outcome::unreadable;
      ++rowCount;
      // Rows end at a line of something else, never at the end of the file: a row cut short
      // there may have lost digits of its last number.
      if (!nextContentLine()) return Outcome::unreadable;
    }
    if (!atomComplete(atoms.back(), rowsInAtom) || !sameAtomsAsBefore(atoms, rowCount)) {
      return Outcome::unreadable;
    }
    if (m_column >= 0 && m_result.atoms.empty()) m_result.atoms = std::move(atoms);
    return Outcome::found;
  }

  bool addRow(const Row& row, std::vector<EigenvectorAtom>& atoms, int& rowsInAtom) const {
    if (row.values.size() != m_blockMos.size()) return false;
    float wanted = 0.0f;
    for (std::size_t i = 0; i < row.values.size(); ++i) {
      const std::optional<float> value = parseFloat(row.values[i]);
      if (!value) return false;
      if (static_cast<int>(i) == m_column) wanted = *value;
    }
    if (row.place == 0) {
      if (!atoms.empty() && !atomComplete(atoms.back(), rowsInAtom)) return false;
      if (static_cast<int>(atoms.size()) == kMaxAtoms) return false;
      if (row.atomNumber != static_cast<int>(atoms.size()) + 1) return false;
      atoms.push_back(EigenvectorAtom{std::string(row.symbol), wanted});
      rowsInAtom = 1;
      return true;
    }
    if (atoms.empty() || row.place != rowsInAtom) return false;
    EigenvectorAtom& atom = atoms.back();
    if (atom.symbol == kHydrogen || row.symbol != atom.symbol ||
        row.atomNumber != static_cast<int>(atoms.size())) {
      return false;
    }
    float* const coefficients[] = {&atom.px, &atom.py, &atom.pz};
    *coefficients[row.place - 1] = wanted;
    ++rowsInAtom;
    return true;
  }

  static bool atomComplete(const EigenvectorAtom& atom, int rowsInAtom) {
    const int rowsWanted = atom.symbol == kHydrogen ? 1 : static_cast<int>(kRowLabels.size());
    return rowsInAtom == rowsWanted;
  }

  // Every block lists the same atoms in the same order.
  bool sameAtomsAsBefore(const std::vector<EigenvectorAtom>& atoms, int rowCount) {
    if (m_symbols.empty()) {
      for (const EigenvectorAtom& atom : atoms) m_symbols.push_back(atom.symbol);
      m_result.moCount = rowCount;
      return true;
    }
    return rowCount == m_result.moCount &&
           std::equal(m_symbols.begin(), m_symbols.end(), atoms.begin(), atoms.end(),
                      [](const std::string& symbol, const EigenvectorAtom& atom) {
                        return symbol == atom.symbol;
                      });
  }

  LineReader m_lines;
  const int m_moNumber;
  std::string m_line;
  std::vector<std::string_view> m_words;
  std::vector<int> m_blockMos;
  int m_column = -1;
  std::vector<std::string> m_symbols;
  PrintedEigenvectors m_result;
};

}  // namespace

PrintedEigenvectors readEigenvectorBlocks(std::istream& in, const std::string& firstHeading,
                                          int moNumber) {
  return BlockReader(in, firstHeading, moNumber).read();
}

}  // namespace lobewright
