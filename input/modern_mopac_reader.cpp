#include "input/modern_mopac_reader.h"

#include <initializer_list>
#include <optional>
#include <vector>

#include "input/eigenvector_blocks.h"
#include "input/molecule.h"
#include "input/text_scan.h"
#include "input/token_reader.h"

namespace lobewright {
namespace {

constexpr std::string_view kParametersMethod = "PM3";

// Texts for the user; each "{}" is filled in, in order.
constexpr std::string_view kMoNotPrintedDetail =
    "MO {} is not in this file, which holds MOs {} to {}. Run MOPAC with the keyword ALLVEC to "
    "print every MO.";
constexpr std::string_view kMoBeyondMoleculeDetail =
    "MO {} is not in this file, which holds MOs {} to {}: the molecule has only {} MOs.";
constexpr std::string_view kDOrbitalsDetail =
    "This file has rows for d orbitals, which cannot be drawn with s and p functions. Run MOPAC "
    "with the keyword PM3, which uses no d orbitals.";
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

// MOPAC 2016 and later print the final geometry before the eigenvectors, in a table without the
// "NO. ATOM X Y Z" line; MOPAC 7 prints it after them, as the older versions do. The table before
// the eigenvectors in MOPAC 7 output is the input geometry and must not be taken.
std::optional<CoordinateTable> finalGeometry(std::istream& in, const OutputPreamble& preamble,
                                             const std::string& lineAfterEigenvectors) {
  const std::optional<CoordinateTable>& before = preamble.coordinates().lastTable();
  if (before && !before->hasHeader) return before;

  CoordinateTableScanner after;
  for (const std::string_view word : splitWords(lineAfterEigenvectors)) {
    after.see(word);
    if (after.tablesFound() > 0) return after.lastTable();
  }
  TokenReader reader(in);
  std::string token;
  while (after.tablesFound() == 0 && reader.readToken(token)) after.see(token);
  if (after.tablesFound() == 0) return std::nullopt;
  return after.lastTable();
}

bool sameAtoms(const CoordinateTable& table, const std::vector<EigenvectorAtom>& atoms) {
  if (!table.readable || table.rows.size() != atoms.size()) return false;
  for (std::size_t i = 0; i < atoms.size(); ++i) {
    if (table.rows[i].symbol != atoms[i].symbol) return false;
  }
  return true;
}

}  // namespace

void OutputPreamble::see(std::string_view token) {
  if (m_method.empty() && token == "RESULTS" && m_previous == "CALCULATION") {
    m_method = m_beforePrevious;
  }
  m_beforePrevious = std::move(m_previous);
  m_previous = token;
  m_coordinates.see(token);
}

bool Molecule::readNewerLayout(std::istream& in, const OutputPreamble& preamble,
                               const std::string& firstHeading, int16_t moNumber) {
  const PrintedEigenvectors printed = readEigenvectorBlocks(in, firstHeading, moNumber);
  switch (printed.outcome) {
    case PrintedEigenvectors::Outcome::found:
      break;
    case PrintedEigenvectors::Outcome::moNotPrinted:
      inputErrorDetail = moNotPrintedDetail(moNumber, printed);
      return false;
    case PrintedEigenvectors::Outcome::dOrbitals:
      inputErrorDetail = kDOrbitalsDetail;
      return false;
    case PrintedEigenvectors::Outcome::unreadable:
      return false;
  }

  const std::optional<CoordinateTable> geometry = finalGeometry(in, preamble, printed.lineAfter);
  if (!geometry || !sameAtoms(*geometry, printed.atoms)) return false;
  for (std::size_t i = 0; i < printed.atoms.size(); ++i) {
    const EigenvectorAtom& atom = printed.atoms[i];
    const int16_t element = parameters.find(atom.symbol);
    if (element < 0) return false;
    atomElement[i] = element;
    coefS[i] = atom.s;
    coefPx[i] = atom.px;
    coefPy[i] = atom.py;
    coefPz[i] = atom.pz;
    atomX[i] = geometry->rows[i].x;
    atomY[i] = geometry->rows[i].y;
    atomZ[i] = geometry->rows[i].z;
  }
  atomCount = static_cast<int16_t>(printed.atoms.size());

  if (!preamble.method().empty() && preamble.method() != kParametersMethod) {
    m_messages->show(kWarningCaption,
                     fillIn(kOtherMethodWarning, {withArticle(preamble.method())}));
  }
  return true;
}

}  // namespace lobewright
