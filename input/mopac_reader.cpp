#include <initializer_list>
#include <optional>
#include <string_view>

#include "input/classic_calculation.h"
#include "input/coordinate_table.h"
#include "input/eigenvector_blocks.h"
#include "input/eigenvector_heading.h"
#include "input/elements.h"
#include "input/modern_mopac_reader.h"
#include "input/number_text.h"
#include "input/text_scan.h"
#include "input/word_reader.h"

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
constexpr std::string_view kOverlongLine = "the line is longer than any MOPAC writes";
constexpr std::string_view kUnreadablePart = "the file cannot be read past this line";
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

std::string moNotPrintedDetail(int moNumber, const ClassicCalculation& calculation) {
  const std::string mo = std::to_string(moNumber);
  const std::string first = std::to_string(calculation.firstMo);
  const std::string last = std::to_string(calculation.lastMo);
  if (moNumber > calculation.moCount) {
    return fillIn(kMoBeyondMoleculeDetail, {mo, first, last, std::to_string(calculation.moCount)});
  }
  return fillIn(kMoNotPrintedDetail, {mo, first, last});
}

// Why the eigenvectors give no atoms to draw, or nothing when they do.
std::optional<TextError> eigenvectorProblem(const PrintedEigenvectors& printed) {
  switch (printed.outcome) {
    case PrintedEigenvectors::Outcome::found:
      return std::nullopt;
    case PrintedEigenvectors::Outcome::dOrbitals:
      return TextError{{}, 0, std::string(kDOrbitalsDetail), {}};
    case PrintedEigenvectors::Outcome::tooManyAtoms:
      return TextError{{}, 0, std::string(kTooManyAtomsDetail), {}};
    case PrintedEigenvectors::Outcome::unreadable:
      break;
  }
  return printed.error;
}

// Why the text stopped at the reader's line, when it was not at its end.
std::optional<TextError> readProblem(const LineReader& lines) {
  if (lines.failed()) return lines.error(std::string(kOverlongLine));
  if (lines.unreadable()) return lines.error(std::string(kUnreadablePart));
  return std::nullopt;
}

struct FinalGeometry {
  std::optional<CoordinateTable> table;
  TextError error;  // why there is no table, when there is none
};

// The final geometry. MOPAC 2016 and later print it before the eigenvectors, in a table without
// the "NO. ATOM X Y Z" line; MOPAC 7 and the older versions print it after them, from the line
// after the eigenvectors on, where the reader stands. The table before the eigenvectors in older
// output is the input geometry and must not be taken.
FinalGeometry finalGeometry(LineReader& lines, const OutputPreamble& preamble,
                            EigenvectorHeading::Layout layout) {
  const std::optional<CoordinateTable>& before = preamble.coordinates().lastTable();
  if (layout == EigenvectorHeading::Layout::newer && before && !before->hasHeader) {
    return {before, {}};
  }
  CoordinateTableScanner after;
  WordReader words(lines);
  while (after.tablesFound() == 0 && words.next()) {
    after.see(words.word(), words.lineNumber(), words.lineText());
  }
  // Text that ends after a blank leaves the last number whole; one that ends inside a word may
  // have cut it short.
  if (words.endedOnBlank()) after.seeEnd();
  if (after.tablesFound() > 0) return {after.lastTable(), {}};
  if (auto problem = readProblem(lines)) return {std::nullopt, std::move(*problem)};
  if (after.inTable()) return {std::nullopt, words.error(std::string(kCutInCoordinates))};
  return {std::nullopt, {{}, 0, std::string(kNoCoordinates), {}}};
}

// Whether the table lists the eigenvectors' atoms, one for one.
std::optional<TextError> coordinateProblem(const CoordinateTable& table,
                                           const std::vector<std::string>& atoms) {
  if (table.unreadableLine > 0) {
    return TextError{
        {}, table.unreadableLine, notANumber(table.unreadableWord), table.unreadableQuote};
  }
  const CoordinateRow firstRow = table.rows.empty() ? CoordinateRow{} : table.rows.front();
  const std::string eigenvectorAtoms = std::to_string(atoms.size());
  if (!table.readable) {
    return TextError{
        {}, firstRow.line, fillIn(kTooManyCoordinates, {eigenvectorAtoms}), firstRow.quote};
  }
  if (table.rows.size() != atoms.size()) {
    return TextError{
        {},
        firstRow.line,
        fillIn(kAtomCountsDiffer, {std::to_string(table.rows.size()), eigenvectorAtoms}),
        firstRow.quote};
  }
  for (std::size_t i = 0; i < atoms.size(); ++i) {
    const CoordinateRow& row = table.rows[i];
    if (row.symbol != atoms[i]) {
      return TextError{{},
                       row.line,
                       fillIn(kAtomsDiffer, {std::to_string(i + 1), row.symbol, atoms[i]}),
                       row.quote};
    }
  }
  return std::nullopt;
}

}  // namespace

ClassicRead readMopacOutput(std::istream& in, const Pm3ParameterSet& parameters) {
  const auto refuse = [](TextError error) { return ClassicRead{std::nullopt, std::move(error)}; };
  LineReader lines(in, {});
  OutputPreamble preamble;
  const std::optional<EigenvectorHeading> heading = findEigenvectorHeading(lines, preamble);
  if (!heading) {
    // An overlong line stops the search: say so, rather than that there are no eigenvectors.
    if (lines.failed()) return refuse(lines.error(std::string(kOverlongLine)));
    return refuse({{}, 0, std::string(kNoEigenvectors), {}});
  }
  PrintedEigenvectors printed = readEigenvectorBlocks(lines, heading->layout);
  if (auto problem = eigenvectorProblem(printed)) return refuse(std::move(*problem));
  const std::vector<std::string>& symbols = printed.symbols;
  ClassicCalculation calculation;
  calculation.parameters = parameters;
  for (std::size_t i = 0; i < symbols.size(); ++i) {
    const int16_t element = parameters.find(symbols[i]);
    if (element < 0) {
      const std::string_view text = atomicNumber(symbols[i]) ? kElementNotInTable : kNotAnElement;
      return refuse({{}, 0, fillIn(text, {symbols[i], std::to_string(i + 1)}), {}});
    }
    calculation.atoms.push_back({element, {}});
  }

  FinalGeometry found = finalGeometry(lines, preamble, heading->layout);
  if (!found.table) return refuse(std::move(found.error));
  const CoordinateTable& geometry = *found.table;
  if (auto problem = coordinateProblem(geometry, symbols)) return refuse(std::move(*problem));
  for (std::size_t i = 0; i < symbols.size(); ++i) {
    const CoordinateRow& row = geometry.rows[i];
    calculation.atoms[i].position = {row.x, row.y, row.z};
  }
  calculation.orbitals = std::move(printed.orbitals);
  calculation.firstMo = printed.firstMo;
  calculation.lastMo = printed.lastMo;
  calculation.moCount = printed.moCount;
  if (heading->layout == EigenvectorHeading::Layout::newer && !preamble.method().empty() &&
      preamble.method() != kParametersMethod) {
    calculation.warning = fillIn(kOtherMethodWarning, {withArticle(preamble.method())});
  }
  return {std::move(calculation), {}};
}

ClassicMoFound findClassicMo(const ClassicCalculation& calculation, int number) {
  if (number < 1) return {nullptr, fillIn(kNoSuchMo, {std::to_string(number)})};
  for (const PrintedMo& orbital : calculation.orbitals) {
    if (orbital.number == number) return {&orbital, {}};
  }
  return {nullptr, moNotPrintedDetail(number, calculation)};
}

}  // namespace lobewright
