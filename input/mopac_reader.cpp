#include <cerrno>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "input/coordinate_table.h"
#include "input/eigenvector_blocks.h"
#include "input/eigenvector_heading.h"
#include "input/elements.h"
#include "input/modern_mopac_reader.h"
#include "input/molecule.h"
#include "input/number_text.h"
#include "input/token_reader.h"

namespace lobewright {
namespace {

constexpr std::string_view kParametersMethod = "PM3";

// Texts for the user; each "{}" is filled in, in order.
constexpr std::string_view kNoSuchMo = "There is no MO {}: MOs are counted from 1.";
constexpr std::string_view kNoEigenvectors =
    "This file holds no eigenvectors. Run MOPAC with the keyword VECTORS.";
constexpr std::string_view kMoNotPrintedDetail =
    "MO {} is not in this file, which holds MOs {} to {}. Run MOPAC with the keyword ALLVEC to "
    "print every MO.";
constexpr std::string_view kMoBeyondMoleculeDetail =
    "MO {} is not in this file, which holds MOs {} to {}: the molecule has only {} MOs.";
constexpr std::string_view kDOrbitalsDetail =
    "This file has rows for d orbitals, which the classic model cannot draw: use --orbitals exact.";
constexpr std::string_view kTooManyAtomsDetail =
    "The molecule has more than 100 atoms, more than the classic model holds: use --orbitals "
    "exact.";
constexpr std::string_view kNotAnElement = "\"{}\" (atom {}) is not an element symbol.";
constexpr std::string_view kElementNotInTable =
    "{} (atom {}) is not in the PM3 parameter table; the exact model (--orbitals exact) reads "
    "every element.";
constexpr std::string_view kNoCoordinates =
    "No table of Cartesian coordinates follows the eigenvectors.";
constexpr std::string_view kCutInCoordinates = "the file ends inside the table of coordinates";
constexpr std::string_view kAtomCountsDiffer =
    "the table of coordinates lists {} atoms, the eigenvectors {}";
constexpr std::string_view kTooManyCoordinates =
    "the table of coordinates lists more than 100 atoms, the eigenvectors {}";
constexpr std::string_view kAtomsDiffer = "atom {} is {} here, but {} in the eigenvectors";
constexpr std::string_view kOtherMethodWarning =
    "This output comes from {} calculation; the orbital is drawn with PM3 exponents.";

std::string fillIn(std::string_view text, std::initializer_list<std::string> values) {
  std::string filled;
  auto value = values.begin();
  for (std::size_t hole = text.find("{}"); hole != std::string_view::npos && value != values.end();
       hole = text.find("{}")) {
    filled.append(text.substr(0, hole)).append(*value++);
    text.remove_prefix(hole + 2);
  }
  return filled.append(text);
}

// Method names are read letter by letter: "a PM7", but "an AM1", "an MNDO", "an RM1".
std::string withArticle(const std::string& method) {
  constexpr std::string_view kLettersSpokenWithAVowel = "AEFHILMNORSX";
  const bool an = kLettersSpokenWithAVowel.find(method.front()) != std::string_view::npos;
  return (an ? "an " : "a ") + method;
}

std::string moNotPrintedDetail(int moNumber, const PrintedEigenvectors& printed) {
  const std::string mo = std::to_string(moNumber);
  const std::string first = std::to_string(printed.firstMo);
  const std::string last = std::to_string(printed.lastMo);
  if (moNumber > printed.moCount) {
    return fillIn(kMoBeyondMoleculeDetail, {mo, first, last, std::to_string(printed.moCount)});
  }
  return fillIn(kMoNotPrintedDetail, {mo, first, last});
}

// Why the eigenvectors give no atoms to draw, or nothing when they do.
std::optional<TextError> eigenvectorProblem(int moNumber, const PrintedEigenvectors& printed) {
  switch (printed.outcome) {
    case PrintedEigenvectors::Outcome::found:
      return std::nullopt;
    case PrintedEigenvectors::Outcome::moNotPrinted:
      return TextError{{}, 0, moNotPrintedDetail(moNumber, printed)};
    case PrintedEigenvectors::Outcome::dOrbitals:
      return TextError{{}, 0, std::string(kDOrbitalsDetail)};
    case PrintedEigenvectors::Outcome::tooManyAtoms:
      return TextError{{}, 0, std::string(kTooManyAtomsDetail)};
    case PrintedEigenvectors::Outcome::unreadable:
      break;
  }
  return TextError{{}, printed.errorLine, printed.error};
}

struct FinalGeometry {
  std::optional<CoordinateTable> table;
  // The last line, when the text ends inside a table of coordinates.
  int64_t cutAt = 0;
};

// The final geometry. MOPAC 2016 and later print it before the eigenvectors, in a table without
// the "NO. ATOM X Y Z" line; MOPAC 7 and the older versions print it after them. The table before
// the eigenvectors in older output is the input geometry and must not be taken.
FinalGeometry finalGeometry(std::istream& in, const OutputPreamble& preamble,
                            EigenvectorHeading::Layout layout, const PrintedEigenvectors& printed) {
  const std::optional<CoordinateTable>& before = preamble.coordinates().lastTable();
  if (layout == EigenvectorHeading::Layout::newer && before && !before->hasHeader) {
    return {before};
  }
  CoordinateTableScanner after;
  for (const std::string_view word : splitWords(printed.lineAfter)) {
    after.see(word, printed.lineAfterNumber);
    if (after.tablesFound() > 0) return {after.lastTable()};
  }
  TokenReader reader(in, printed.lineAfterNumber + 1);
  std::string token;
  while (after.tablesFound() == 0 && reader.readToken(token)) {
    after.see(token, reader.tokenLine());
  }
  // Text that ends after a blank leaves the last number whole; one that ends inside a word may
  // have cut it short.
  if (reader.endedOnBlank()) after.seeEnd();
  if (after.tablesFound() > 0) return {after.lastTable()};
  return {std::nullopt, after.inTable() ? reader.tokenLine() : 0};
}

// Whether the table lists the eigenvectors' atoms, one for one.
std::optional<TextError> coordinateProblem(const CoordinateTable& table,
                                           const std::vector<EigenvectorAtom>& atoms) {
  if (table.unreadableLine > 0) {
    return TextError{{}, table.unreadableLine, notANumber(table.unreadableWord)};
  }
  const int64_t firstRow = table.rows.empty() ? 0 : table.rows.front().line;
  const std::string eigenvectorAtoms = std::to_string(atoms.size());
  if (!table.readable) {
    return TextError{{}, firstRow, fillIn(kTooManyCoordinates, {eigenvectorAtoms})};
  }
  if (table.rows.size() != atoms.size()) {
    return TextError{
        {},
        firstRow,
        fillIn(kAtomCountsDiffer, {std::to_string(table.rows.size()), eigenvectorAtoms})};
  }
  for (std::size_t i = 0; i < atoms.size(); ++i) {
    const CoordinateRow& row = table.rows[i];
    if (row.symbol != atoms[i].symbol) {
      return TextError{
          {}, row.line, fillIn(kAtomsDiffer, {std::to_string(i + 1), row.symbol, atoms[i].symbol})};
    }
  }
  return std::nullopt;
}

}  // namespace

bool Molecule::readMopacOutput(const std::string& fileName, int16_t moNumber) {
  atomCount = 0;
  std::ifstream file(fileName);
  if (!file) {
    inputError = {{}, 0, std::strerror(errno)};
    return false;
  }
  return readMopacOutput(file, moNumber);
}

bool Molecule::readMopacOutput(std::istream& in, int16_t moNumber) {
  atomCount = 0;
  inputError = {};
  if (moNumber < 1) {
    inputError.what = fillIn(kNoSuchMo, {std::to_string(moNumber)});
    return false;
  }
  OutputPreamble preamble;
  const std::optional<EigenvectorHeading> heading = findEigenvectorHeading(in, preamble);
  if (!heading) {
    inputError.what = kNoEigenvectors;
    return false;
  }
  const PrintedEigenvectors printed = readEigenvectorBlocks(in, *heading, moNumber);
  if (auto problem = eigenvectorProblem(moNumber, printed)) {
    inputError = std::move(*problem);
    return false;
  }
  const std::vector<EigenvectorAtom>& atoms = printed.atoms;
  for (std::size_t i = 0; i < atoms.size(); ++i) {
    const std::string& symbol = atoms[i].symbol;
    const int16_t element = parameters.find(symbol);
    if (element < 0) {
      const std::string_view text = atomicNumber(symbol) ? kElementNotInTable : kNotAnElement;
      inputError.what = fillIn(text, {symbol, std::to_string(i + 1)});
      return false;
    }
    atomElement[i] = element;
  }

  const FinalGeometry found = finalGeometry(in, preamble, heading->layout, printed);
  if (!found.table) {
    inputError = found.cutAt > 0 ? TextError{{}, found.cutAt, std::string(kCutInCoordinates)}
                                 : TextError{{}, 0, std::string(kNoCoordinates)};
    return false;
  }
  const CoordinateTable& geometry = *found.table;
  if (auto problem = coordinateProblem(geometry, atoms)) {
    inputError = std::move(*problem);
    return false;
  }
  for (std::size_t i = 0; i < atoms.size(); ++i) {
    coefS[i] = atoms[i].s;
    coefPx[i] = atoms[i].px;
    coefPy[i] = atoms[i].py;
    coefPz[i] = atoms[i].pz;
    atomX[i] = geometry.rows[i].x;
    atomY[i] = geometry.rows[i].y;
    atomZ[i] = geometry.rows[i].z;
  }
  atomCount = static_cast<int16_t>(atoms.size());

  if (heading->layout == EigenvectorHeading::Layout::newer && !preamble.method().empty() &&
      preamble.method() != kParametersMethod) {
    m_messages->show(kWarningCaption,
                     fillIn(kOtherMethodWarning, {withArticle(preamble.method())}));
  }
  return true;
}

}  // namespace lobewright
