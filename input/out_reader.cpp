#include "input/out_reader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "input/eigenvector_heading.h"
#include "input/number_text.h"
#include "input/output_statements.h"
#include "input/slater_exponents.h"
#include "input/text_scan.h"

namespace lobewright {
namespace {

constexpr std::string_view kNoEigenvectorsPrinted =
    "This output holds no eigenvectors. Run MOPAC with the keywords VECTORS ALLVEC to print every "
    "MO, or give the run's .aux file (keyword AUX).";
constexpr std::string_view kLocalizedOrbitals =
    "This output comes from a MOZYME run, which prints localized orbitals (LMOs) as shares of "
    "atoms, without coefficients: they cannot be drawn from it. The run's .aux file (keyword "
    "AUX) holds them with their coefficients; for canonical MOs run MOPAC with MOZYME EIGEN "
    "VECTORS, or without MOZYME.";
constexpr std::string_view kRowOrder =
    "the rows of an atom must run S, Px, Py, Pz, then x2, xz, z2, yz, xy";
// The classic model's method stands in when a file names none.
constexpr std::string_view kUnnamedMethod = "PM3";
// MOPAC prints 6 MOs to a block up to version 6 and 8 from version 7 on; a heading with many
// more is damage.
constexpr std::size_t kMaxMosPerBlock = 64;

// The row labels, in the order of an atom's rows: "S", then "Px" "Py" "Pz" ("PX" in MOPAC 6),
// then "x2" "xz" "z2" "yz" "xy".
std::optional<AoType> rowLabel(std::string_view word) {
  constexpr std::array<std::string_view, 9> kLabels = {"S",  "PX", "PY", "PZ", "X2",
                                                       "XZ", "Z2", "YZ", "XY"};
  if (word.size() > 2) return std::nullopt;
  std::string upper(word);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const auto found = std::find(kLabels.begin(), kLabels.end(), upper);
  if (found == kLabels.end()) return std::nullopt;
  return static_cast<AoType>(found - kLabels.begin());
}

bool isBlockHeading(const std::vector<std::string_view>& words) {
  return words.size() >= 3 &&
         (words[0] == kNewerLayoutHeading || words[0] == kOlderLayoutHeading) &&
         (words[1] == "No." || words[1] == "NO.");
}

// One row of a block: the function and its atom (the row's atom number from 1).
struct AoRow {
  int atomNumber = 0;
  std::string symbol;
  AoType type = AoType::s;

  friend bool operator==(const AoRow&, const AoRow&) = default;
};

class OutReader {
 public:
  OutReader(std::istream& in, const std::string& source) : m_lines(in, source) {}

  CalculationRead read() {
    try {
      scan();
      return {build(), {}};
    } catch (const TextError& error) {
      return {std::nullopt, error};
    }
  }

 private:
  // A section's MOs and how their occupancy is known.
  enum class SectionKind { eigenvectors, occupied, virtualOrbitals };

  [[noreturn]] void fail(std::string what) const { throw m_lines.error(std::move(what)); }

  // Called where a line could not be read: an overlong line and a read error are errors; the
  // end of the text is not.
  void checkReadable() const {
    if (m_lines.failed()) fail("the line is longer than any MOPAC writes");
    if (m_lines.unreadable()) fail("the file cannot be read past this line");
  }
  // An error at a line read before, quoted with its text; an error at no line when line is 0.
  [[noreturn]] void failAt(int64_t line, std::string_view text, std::string what) const {
    throw m_lines.errorAt(line, text, std::move(what));
  }
  [[noreturn]] void failAtNoLine(std::string what) const { failAt(0, {}, std::move(what)); }

  bool nextLine() {
    if (m_pending) {
      m_pending = false;
      return true;
    }
    if (!m_lines.next()) {
      checkReadable();
      return false;
    }
    m_words = m_lines.words();
    return true;
  }

  bool nextContentLine() {
    while (nextLine()) {
      if (!isFiller(m_words)) return true;
    }
    return false;
  }

  void scan() {
    while (nextLine()) {
      const std::vector<std::string_view>& w = m_words;
      if (w.empty()) continue;
      if (isEigenvectorTitle(w)) {
        readSection(SectionKind::eigenvectors, w[0] == "ALPHA"  ? Spin::alpha
                                               : w[0] == "BETA" ? Spin::beta
                                                                : Spin::none);
      } else if (m_statements.mozyme() && w.size() == 2 && w[1] == "Orbitals" &&
                 (w[0] == "Occupied" || w[0] == "Virtual")) {
        readSection(w[0] == "Occupied" ? SectionKind::occupied : SectionKind::virtualOrbitals,
                    Spin::none);
      } else if (w.size() == 2 && w[0] == "CARTESIAN" && w[1] == "COORDINATES") {
        readCoordinates();
      } else {
        m_statements.see(w);
      }
    }
  }

  // "CARTESIAN COORDINATES", an optional "NO. ATOM X Y Z", then rows "1 C x y z" numbered from
  // 1. A later table replaces an earlier one: the last is the final geometry.
  void readCoordinates() {
    const int64_t titleLine = m_lines.lineNumber();
    std::string title = m_lines.line();
    std::vector<CalculationAtom> atoms;
    if (!nextContentLine()) return;
    if (m_words[0] == "NO." && !nextContentLine()) return;
    bool more = true;
    while (more) {
      const std::vector<std::string_view>& w = m_words;
      const std::optional<int> number = w.size() == 5 ? parseInteger<int>(w[0]) : std::nullopt;
      if (!number || *number != static_cast<int>(atoms.size()) + 1 || !isLetters(w[1])) break;
      std::array<double, 3> xyz{};
      for (std::size_t i = 0; i < 3; ++i) {
        const std::optional<double> value = parseDouble(w[2 + i]);
        if (!value) fail(notANumber(w[2 + i]));
        xyz[i] = *value;
      }
      atoms.push_back({std::string(w[1]), {xyz[0], xyz[1], xyz[2]}});
      more = nextLine();
    }
    m_pending = more;
    if (atoms.empty()) return;
    m_atoms = std::move(atoms);
    m_atomsLine = titleLine;
    m_atomsTitle = std::move(title);
  }

  void readSection(SectionKind kind, Spin spin) {
    if (!nextContentLine()) return;
    if (!isBlockHeading(m_words)) {
      m_pending = true;
      return;
    }
    // The eigenvectors printed last are those of the final geometry.
    if (spin != Spin::beta && kind != SectionKind::virtualOrbitals) {
      m_orbitals.clear();
      m_kinds.clear();
      m_rows.clear();
      m_numbersSeen.clear();
    }
    while (readBlock(kind, spin)) {
    }
  }

  // One block from its heading on; true when another block follows.
  bool readBlock(SectionKind kind, Spin spin) {
    const int64_t headingLine = m_lines.lineNumber();
    const std::string heading = m_lines.line();
    std::vector<int> numbers;
    for (std::size_t i = 2; i < m_words.size(); ++i) {
      const std::optional<int> mo = parseInteger<int>(m_words[i]);
      if (!mo || *mo < 1) fail(std::string(m_words[i]).append(" is not an MO number"));
      numbers.push_back(*mo);
    }
    if (numbers.size() > kMaxMosPerBlock) fail("more MOs in one block than MOPAC prints");

    // The symmetry labels and the eigenvalues stand between the heading and the rows.
    std::vector<std::pair<std::string, int64_t>> between;
    for (;;) {
      if (!nextContentLine()) fail("the file ends before the rows of the eigenvectors");
      if (rowLabel(m_words[0])) break;
      if (between.size() == 2 || isBlockHeading(m_words)) {
        fail("expected the rows of the eigenvectors");
      }
      between.emplace_back(m_lines.line(), m_lines.lineNumber());
    }
    if (between.empty()) fail("the eigenvalues are missing before these rows");
    const std::vector<double> energies = readEnergies(between.back(), numbers.size());
    std::vector<std::string> labels;
    if (between.size() == 2) labels = readLabels(between.front(), numbers.size());

    std::vector<AoRow> rows;
    std::vector<std::vector<double>> columns(numbers.size());
    while (rowLabel(m_words[0])) {
      readRow(rows, columns);
      // A row at the very end of the file may have lost digits of its last number.
      if (!nextContentLine()) fail("the file ends inside the eigenvectors");
    }
    checkLastAtom(rows);
    if (m_rows.empty()) {
      m_rows = rows;
    } else if (rows != m_rows) {
      failAt(headingLine, heading, "this block's rows are not those of the first block");
    }

    std::set<int>& seen = m_numbersSeen[spin];
    for (std::size_t i = 0; i < numbers.size(); ++i) {
      if (!seen.insert(numbers[i]).second) {
        failAt(headingLine, heading, "MO " + std::to_string(numbers[i]) + " is printed twice");
      }
      MolecularOrbital mo;
      mo.number = numbers[i];
      mo.spin = spin;
      mo.energy = energies[i];
      if (!labels.empty()) mo.symmetry = labels[i];
      mo.coefficients = std::move(columns[i]);
      m_orbitals.push_back(std::move(mo));
      m_kinds.push_back(kind);
    }
    if (isBlockHeading(m_words)) return true;
    m_pending = true;
    return false;
  }

  std::vector<double> readEnergies(const std::pair<std::string, int64_t>& line,
                                   std::size_t count) const {
    std::vector<double> energies;
    for (const std::string_view word : splitNumbers(line.first)) {
      const std::optional<double> value = parseDouble(word);
      if (!value) failAt(line.second, line.first, notANumber(word));
      energies.push_back(*value);
    }
    if (energies.size() != count) {
      failAt(
          line.second, line.first,
          std::to_string(energies.size()) + " eigenvalues for " + std::to_string(count) + " MOs");
    }
    return energies;
  }

  // "1 a1   1 b2 ..." or "29 A   30 A": a number and a label per MO, run together as "1a1". A
  // large molecule's MOs may have bare numbers ("1  2  3"): no label.
  std::vector<std::string> readLabels(const std::pair<std::string, int64_t>& line,
                                      std::size_t count) const {
    std::vector<std::string> labels;
    const std::vector<std::string_view> words = splitWords(line.first);
    const auto isNumber = [](std::string_view word) { return parseInteger<int>(word).has_value(); };
    for (std::size_t i = 0; i < words.size(); ++i) {
      const bool number = isNumber(words[i]);
      if (number && (i + 1 == words.size() || isNumber(words[i + 1]))) {
        labels.emplace_back();
      } else if (number) {
        labels.push_back(std::string(words[i]) + std::string(words[i + 1]));
        ++i;
      } else {
        labels.emplace_back(words[i]);
      }
    }
    if (labels.size() != count) {
      failAt(
          line.second, line.first,
          std::to_string(labels.size()) + " symmetry labels for " + std::to_string(count) + " MOs");
    }
    return labels;
  }

  // "S   C    1   0.1   0.2", or from atom 100 on "S   H100   0.1   0.2".
  void readRow(std::vector<AoRow>& rows, std::vector<std::vector<double>>& columns) {
    const std::vector<std::string_view>& w = m_words;
    AoRow row;
    row.type = *rowLabel(w[0]);
    std::size_t firstValue = 3;
    std::string_view number;
    if (w.size() >= 3 && isLetters(w[1])) {
      row.symbol = w[1];
      number = w[2];
    } else if (w.size() >= 2) {
      const std::size_t digits = w[1].find_first_of("0123456789");
      row.symbol = w[1].substr(0, std::min(digits, w[1].size()));
      number = digits == std::string_view::npos ? std::string_view() : w[1].substr(digits);
      firstValue = 2;
    }
    const std::optional<int> atom = parseInteger<int>(number);
    if (!isLetters(row.symbol) || !atom || *atom < 1) fail("expected an atom after the row label");
    row.atomNumber = *atom;
    std::size_t column = 0;
    for (std::size_t i = firstValue; i < w.size(); ++i) {
      for (const std::string_view word : splitNumbers(w[i])) {
        const std::optional<double> value = parseDouble(word);
        if (!value) fail(notANumber(word));
        if (column == columns.size()) fail("more coefficients than MOs in the heading");
        columns[column++].push_back(*value);
      }
    }
    if (column != columns.size()) fail("fewer coefficients than MOs in the heading");
    if (!continuesAtoms(rows, row)) fail(std::string(kRowOrder));
    rows.push_back(std::move(row));
  }

  static bool endsAtom(const AoRow& row) {
    return row.type == AoType::s || row.type == AoType::pz || row.type == AoType::xy;
  }

  // An atom's rows are S, then Px Py Pz, then the five d rows; atoms come in increasing order.
  static bool continuesAtoms(const std::vector<AoRow>& rows, const AoRow& row) {
    if (row.type == AoType::s) {
      return rows.empty() || (endsAtom(rows.back()) && rows.back().atomNumber < row.atomNumber);
    }
    return !rows.empty() && rows.back().atomNumber == row.atomNumber &&
           rows.back().symbol == row.symbol &&
           static_cast<int>(rows.back().type) + 1 == static_cast<int>(row.type);
  }

  void checkLastAtom(const std::vector<AoRow>& rows) const {
    if (!endsAtom(rows.back())) fail(std::string(kRowOrder));
  }

  Calculation build() {
    if (m_orbitals.empty() && !m_statements.errors().empty()) {
      std::string quoted;
      for (const std::string& error : m_statements.errors()) {
        quoted += (quoted.empty() ? "\"" : " \"") + error + "\"";
      }
      failAtNoLine("MOPAC reports that this run failed: " + quoted +
                   ". Mend the job as MOPAC's message says and run it again.");
    }
    if (m_orbitals.empty()) {
      failAtNoLine(
          std::string(m_statements.mozyme() ? kLocalizedOrbitals : kNoEigenvectorsPrinted));
    }
    if (m_atoms.empty()) failAtNoLine("No table of Cartesian coordinates.");
    Calculation calculation;
    calculation.file = CalculationFile::out;
    calculation.method = m_statements.method();
    calculation.atoms = m_atoms;
    for (const AoRow& row : m_rows) {
      const auto atom = static_cast<std::size_t>(row.atomNumber - 1);
      if (atom >= m_atoms.size() || m_atoms[atom].symbol != row.symbol) {
        failAt(m_atomsLine, m_atomsTitle,
               "the eigenvectors' atom " + std::to_string(row.atomNumber) + " (" + row.symbol +
                   ") is not in the final geometry");
      }
    }
    const std::string method =
        calculation.method.empty() ? std::string(kUnnamedMethod) : calculation.method;
    if (!exponentTableMethod(method)) {
      failAtNoLine("No Slater exponents are known for the method " + method + ".");
    }
    for (const AoRow& row : m_rows) {
      const int l = angularMomentum(row.type);
      if (row.type != AoType::s && row.type != AoType::px && row.type != AoType::x2) continue;
      const std::optional<ShellExponents> shells = slaterExponents(method, row.symbol);
      const std::optional<SlaterShell> shell = shells ? shellOf(*shells, l) : std::nullopt;
      if (!shell) {
        failAtNoLine(method + " has no " + "spd"[l] + " exponent for " + row.symbol + " (atom " +
                     std::to_string(row.atomNumber) + ").");
      }
      appendShell(calculation.basis, row.atomNumber - 1, l, *shell);
    }
    if (const auto problem =
            m_statements.countsBeyond(static_cast<int>(calculation.basis.size()))) {
      failAtNoLine(*problem);
    }
    calculation.orbitals = std::move(m_orbitals);
    for (std::size_t i = 0; i < calculation.orbitals.size(); ++i) {
      MolecularOrbital& mo = calculation.orbitals[i];
      if (m_kinds[i] != SectionKind::eigenvectors) {
        mo.occupancy = m_kinds[i] == SectionKind::occupied ? 2.0 : 0.0;
        continue;
      }
      const std::optional<double> occupancy = m_statements.occupancy(mo.number, mo.spin);
      if (!occupancy) failAtNoLine(m_statements.missingCount(mo.spin));
      mo.occupancy = *occupancy;
    }
    calculation.electronCount = m_statements.electrons(Spin::none);
    calculation.alphaElectronCount = m_statements.electrons(Spin::alpha);
    calculation.betaElectronCount = m_statements.electrons(Spin::beta);
    return calculation;
  }

  LineReader m_lines;
  std::vector<std::string_view> m_words;
  bool m_pending = false;

  OutputStatements m_statements;
  std::vector<CalculationAtom> m_atoms;
  int64_t m_atomsLine = 0;
  std::string m_atomsTitle;
  std::vector<AoRow> m_rows;
  std::vector<MolecularOrbital> m_orbitals;
  std::vector<SectionKind> m_kinds;
  std::map<Spin, std::set<int>> m_numbersSeen;
};

}  // namespace

CalculationRead readOutFile(std::istream& in, const std::string& source) {
  return OutReader(in, source).read();
}

CalculationRead readOutFile(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    return {std::nullopt, {path, 0, "is a folder", {}}};
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) return {std::nullopt, {path, 0, "cannot be opened", {}}};
  return readOutFile(file, path);
}

}  // namespace lobewright
