#include "input/aux_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>

#include "input/aux_sections.h"
#include "input/elements.h"
#include "input/number_text.h"
#include "input/text_scan.h"

namespace lobewright {
namespace {

// No element has more valence electrons than this in MOPAC's methods.
constexpr int kLargestCoreCharge = 18;

enum class Field : uint8_t {
  method,
  keywords,
  symbols,
  cores,
  inputGeometry,
  finalGeometry,
  aoAtom,
  aoType,
  aoZeta,
  aoPqn,
  overlap,
  density,
  electrons,
  alphaElectrons,
  betaElectrons,
  moSet,
  eigenvectors,
  lmoVectors,
  labels,
  eigenvalues,
  lmoEnergies,
  occupancies,
};
constexpr std::size_t kFieldCount = static_cast<std::size_t>(Field::occupancies) + 1;
constexpr std::size_t kSpinCount = 3;

enum class Content : uint8_t { text, words, reals };

struct FieldName {
  std::string_view name;
  Field field;
  Spin spin = Spin::none;
};

// The sections the exact model needs; every other section is skipped unread.
constexpr std::array kFieldNames{
    FieldName{"METHOD", Field::method},
    FieldName{"KEYWORDS", Field::keywords},
    FieldName{"ATOM_EL", Field::symbols},
    FieldName{"ATOM_CORE", Field::cores},
    FieldName{"ATOM_X", Field::inputGeometry},
    // A geometry optimisation writes ATOM_X_UPDATED at every step and ATOM_X_OPT at the end;
    // whichever comes last is the geometry of the orbitals.
    FieldName{"ATOM_X_UPDATED", Field::finalGeometry},
    FieldName{"ATOM_X_OPT", Field::finalGeometry},
    FieldName{"AO_ATOMINDEX", Field::aoAtom},
    FieldName{"ATOM_SYMTYPE", Field::aoType},
    FieldName{"AO_ZETA", Field::aoZeta},
    FieldName{"ATOM_PQN", Field::aoPqn},
    FieldName{"OVERLAP_MATRIX", Field::overlap},
    // MOZYME's DENSITY_MATRIX is not read: its diagonal is right, but its other elements stand
    // out of place (formaldehyde's differ by up to 0.97 from the sum over the run's own LMOs, or
    // over the canonical MOs of the same run with EIGEN, which agree to 1e-13). The density of a
    // MOZYME run comes from its MOs.
    FieldName{"TOTAL_DENSITY_MATRIX", Field::density},
    FieldName{"ALPHA_DENSITY_MATRIX", Field::density, Spin::alpha},
    FieldName{"BETA_DENSITY_MATRIX", Field::density, Spin::beta},
    FieldName{"NUM_ELECTRONS", Field::electrons},
    FieldName{"NUM_ALPHA_ELECTRONS", Field::alphaElectrons},
    FieldName{"NUM_BETA_ELECTRONS", Field::betaElectrons},
    FieldName{"SET_OF_MOS", Field::moSet},
    FieldName{"SET_OF_ALPHA_MOS", Field::moSet, Spin::alpha},
    FieldName{"SET_OF_BETA_MOS", Field::moSet, Spin::beta},
    FieldName{"EIGENVECTORS", Field::eigenvectors},
    FieldName{"ALPHA_EIGENVECTORS", Field::eigenvectors, Spin::alpha},
    FieldName{"BETA_EIGENVECTORS", Field::eigenvectors, Spin::beta},
    // MOZYME without EIGEN writes its localized MOs in their place.
    FieldName{"LMO_VECTORS", Field::lmoVectors},
    FieldName{"LMO_ENERGY_LEVELS", Field::lmoEnergies},
    FieldName{"M.O.SYMMETRY_LABELS", Field::labels},
    FieldName{"ALPHA_M.O.SYMMETRY_LABELS", Field::labels, Spin::alpha},
    FieldName{"BETA_M.O.SYMMETRY_LABELS", Field::labels, Spin::beta},
    FieldName{"EIGENVALUES", Field::eigenvalues},
    FieldName{"ALPHA_EIGENVALUES", Field::eigenvalues, Spin::alpha},
    FieldName{"BETA_EIGENVALUES", Field::eigenvalues, Spin::beta},
    FieldName{"MOLECULAR_ORBITAL_OCCUPANCIES", Field::occupancies},
    FieldName{"ALPHA_MOLECULAR_ORBITAL_OCCUPANCIES", Field::occupancies, Spin::alpha},
    FieldName{"BETA_MOLECULAR_ORBITAL_OCCUPANCIES", Field::occupancies, Spin::beta},
};

[[nodiscard]] Content contentOf(Field field) {
  switch (field) {
    case Field::method:
    case Field::keywords:
      return Content::text;
    case Field::inputGeometry:
    case Field::finalGeometry:
    case Field::aoZeta:
    case Field::overlap:
    case Field::density:
    case Field::eigenvectors:
    case Field::lmoVectors:
    case Field::eigenvalues:
    case Field::lmoEnergies:
    case Field::occupancies:
      return Content::reals;
    default:
      return Content::words;
  }
}

struct AoTypeName {
  std::string_view name;
  AoType type;
};

constexpr std::array kAoTypeNames{
    AoTypeName{"S", AoType::s},   AoTypeName{"PX", AoType::px}, AoTypeName{"PY", AoType::py},
    AoTypeName{"PZ", AoType::pz}, AoTypeName{"X2", AoType::x2}, AoTypeName{"XZ", AoType::xz},
    AoTypeName{"Z2", AoType::z2}, AoTypeName{"YZ", AoType::yz}, AoTypeName{"XY", AoType::xy},
};

// Beyond the seventh shell no element has valence orbitals.
constexpr int kLargestPqn = 7;

// The sections whose entries are checked one by one keep where each of their data lines begins,
// with its text, for messages; the others, the overlap matrix and the eigenvectors among them,
// are told by their heading line.
[[nodiscard]] bool checkedEntryByEntry(Field field) {
  switch (field) {
    case Field::symbols:
    case Field::aoAtom:
    case Field::aoType:
    case Field::aoZeta:
    case Field::aoPqn:
    case Field::electrons:
    case Field::alphaElectrons:
    case Field::betaElectrons:
    case Field::moSet:
    case Field::occupancies:
      return true;
    default:
      return false;
  }
}

// Atoms and AOs are counted in int, electrons up to twice the AOs.
constexpr std::size_t kMostEntries = std::numeric_limits<int>::max() / 2;

// The read stops at the first fault; the fault travels up to readAuxFile as this.
struct ReadFailure {
  TextError error;
};

[[nodiscard]] std::string trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

[[nodiscard]] std::string unquoted(std::string text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = trimmed(std::string_view(text).substr(1, text.size() - 2));
  }
  return text;
}

// MOPAC writes each of its error messages as a line ERROR_MESSAGE="...".
constexpr std::string_view kErrorMessage = "ERROR_MESSAGE";

// "CL" and "cl" are read as "Cl".
[[nodiscard]] std::string elementCase(std::string_view word) {
  std::string symbol(word);
  for (std::size_t i = 0; i < symbol.size(); ++i) {
    const char c = symbol[i];
    if (i == 0 && c >= 'a' && c <= 'z') symbol[i] = static_cast<char>(c - 'a' + 'A');
    if (i > 0 && c >= 'A' && c <= 'Z') symbol[i] = static_cast<char>(c - 'A' + 'a');
  }
  return symbol;
}

// Collects the wanted sections of the file, line by line.
class AuxScanner {
 public:
  AuxScanner(std::istream& in, const std::string& source) : m_lines(in, source), m_source(source) {}

  void scan() {
    while (m_lines.next()) {
      const std::string& line = m_lines.line();
      if (isAuxComment(line)) continue;
      if (const std::optional<AuxHeading> heading = parseAuxHeading(line)) {
        finishSection();
        startSection(*heading);
      } else if (isAuxFrame(line)) {
        finishSection();
      } else if (m_slot) {
        addData(line);
      }
    }
    if (m_lines.failed()) {
      failHere("the line is longer than " + std::to_string(kMaxLineLength) +
               " characters; this is not a MOPAC .aux file");
    }
    finishSection();
  }

  [[nodiscard]] std::optional<AuxSection>& slot(Field field, Spin spin = Spin::none) {
    return m_sections[static_cast<std::size_t>(field) * kSpinCount +
                      static_cast<std::size_t>(spin)];
  }

  [[noreturn]] void fail(const AuxSection::Line& line, std::string what) const {
    throw ReadFailure{{m_source, line.number, std::move(what), line.quote}};
  }
  [[noreturn]] void failAtNoLine(std::string what) const { fail({}, std::move(what)); }

  // MOPAC's error messages, in file order.
  [[nodiscard]] const std::vector<std::string>& errors() const { return m_errors; }

 private:
  [[noreturn]] void failHere(std::string what) const {
    throw ReadFailure{m_lines.error(std::move(what))};
  }

  void startSection(const AuxHeading& heading) {
    if (heading.name == kErrorMessage) m_errors.push_back(unquoted(trimmed(heading.rest)));
    const FieldName* known = nullptr;
    for (const FieldName& candidate : kFieldNames) {
      if (candidate.name == heading.name) known = &candidate;
    }
    if (known == nullptr) return;
    if (heading.countKind == AuxHeading::Count::malformed) {
      failHere("the count \"" + std::string(heading.countText) + "\" of " +
               std::string(heading.name) + " is not a number");
    }
    m_slot = &slot(known->field, known->spin);
    m_content = contentOf(known->field);
    m_keepsLineStarts = checkedEntryByEntry(known->field);
    m_current = AuxSection{};
    m_current.name = heading.name;
    m_current.units = heading.units;
    m_current.heading = {m_lines.lineNumber(), quotedLine(m_lines.line())};
    if (heading.countKind == AuxHeading::Count::given) m_current.count = heading.count;
    if (m_content == Content::text) {
      m_current.text = trimmed(heading.rest);
    } else {
      addData(heading.rest);
    }
  }

  void addData(std::string_view text) {
    if (m_content == Content::text) return;
    const std::size_t before = m_current.size();
    if (m_content == Content::words) {
      for (const std::string_view word : splitWords(text)) m_current.words.emplace_back(word);
    } else {
      forEachNumber(text, [&](std::string_view word) {
        const std::optional<double> value = parseDouble(word, true);
        if (!value) failHere(notANumber(word) + " in " + m_current.name);
        m_current.reals.push_back(*value);
      });
    }
    if (m_current.size() == before) return;
    if (m_keepsLineStarts) {
      m_current.lineStarts.push_back({before, {m_lines.lineNumber(), quotedLine(m_lines.line())}});
    }
    if (m_current.count && m_current.size() > *m_current.count) {
      failHere(m_current.name + " holds more than the " + std::to_string(*m_current.count) +
               " entries its heading announces");
    }
  }

  void finishSection() {
    if (m_slot == nullptr) return;
    if (m_current.count && m_current.size() < *m_current.count && m_content != Content::text) {
      fail(m_current.heading, m_current.name + " announces " + std::to_string(*m_current.count) +
                                  " entries, but only " + std::to_string(m_current.size()) +
                                  " follow");
    }
    *m_slot = std::move(m_current);
    m_current = AuxSection{};
    m_slot = nullptr;
  }

  LineReader m_lines;
  std::string m_source;
  std::array<std::optional<AuxSection>, kFieldCount * kSpinCount> m_sections;
  std::optional<AuxSection>* m_slot = nullptr;
  Content m_content = Content::words;
  bool m_keepsLineStarts = false;
  AuxSection m_current;
  std::vector<std::string> m_errors;
};

// Turns the collected sections into a Calculation, checking that they agree with each other.
class CalculationBuilder {
 public:
  explicit CalculationBuilder(AuxScanner& scanner) : m_scanner(scanner) {}

  Calculation build() {
    refuseFailedRun();
    if (const auto& method = m_scanner.slot(Field::method)) {
      m_calculation.method = unquoted(method->text);
    }
    readAtoms();
    readGeometry();
    readBasis();
    readElectronCounts();
    readOverlap();
    readDensities();
    for (const Spin spin : {Spin::none, Spin::alpha, Spin::beta}) readOrbitals(spin);
    if (m_calculation.orbitals.empty()) readLocalizedOrbitals();
    if (m_calculation.orbitals.empty()) {
      m_scanner.failAtNoLine(
          "this file holds no molecular orbitals (no EIGENVECTORS section). Run MOPAC with the "
          "keyword AUX(MOS=99999,PRECISION=9) to write them");
    }
    // MOZYME runs are restricted: a file with spin sets is left as it is.
    if (!m_calculation.localized && m_calculation.orbitals.front().spin == Spin::none &&
        mozymeRun()) {
      putMozymeEnergiesRight();
    }
    return std::move(m_calculation);
  }

 private:
  [[noreturn]] void fail(const AuxSection::Line& line, std::string what) const {
    m_scanner.fail(line, std::move(what));
  }

  // A run that MOPAC reports as failed and that wrote no orbitals: MOPAC's message says why.
  void refuseFailedRun() const {
    const std::vector<std::string>& errors = m_scanner.errors();
    if (errors.empty()) return;
    for (const Spin spin : {Spin::none, Spin::alpha, Spin::beta}) {
      if (m_scanner.slot(Field::eigenvectors, spin)) return;
    }
    if (m_scanner.slot(Field::lmoVectors)) return;
    std::string quoted;
    for (const std::string& error : errors) {
      quoted += (quoted.empty() ? "\"" : " \"") + error + "\"";
    }
    m_scanner.failAtNoLine("MOPAC reports that this run failed: " + quoted +
                           ". Mend the job as MOPAC's message says (its .out file tells more) "
                           "and run it again");
  }

  [[nodiscard]] bool mozymeRun() {
    const std::optional<AuxSection>& keywords = m_scanner.slot(Field::keywords);
    if (!keywords) return false;
    const std::string words = unquoted(keywords->text);
    for (const std::string_view word : splitWords(words)) {
      if (word == "MOZYME") return true;
    }
    return false;
  }

  // MOZYME with EIGEN writes the canonical MOs in order of energy, but their energies in an order
  // of their own (a permutation within the occupied and within the empty MOs). With every MO kept
  // the values are all there and sorting puts them back; with some kept, the values are those of
  // other MOs and cannot be put back.
  void putMozymeEnergiesRight() {
    std::vector<MolecularOrbital>& orbitals = m_calculation.orbitals;
    const bool everyMo = orbitals.front().number == 1 &&
                         orbitals.back().number == static_cast<int>(m_calculation.basis.size());
    if (!everyMo) {
      for (MolecularOrbital& orbital : orbitals) orbital.energy.reset();
      m_calculation.energyNote =
          "MOPAC writes the energies of a MOZYME run's MOs to the .aux file out of order; with "
          "only MOs " +
          std::to_string(orbitals.front().number) + " to " +
          std::to_string(orbitals.back().number) +
          " kept they cannot be put back, so they are unknown. Keep every MO with "
          "AUX(MOS=99999) to have them";
      return;
    }
    std::vector<double> energies;
    for (const MolecularOrbital& orbital : orbitals) energies.push_back(*orbital.energy);
    if (std::is_sorted(energies.begin(), energies.end())) return;
    std::sort(energies.begin(), energies.end());
    for (std::size_t k = 0; k < orbitals.size(); ++k) orbitals[k].energy = energies[k];
    m_calculation.energyNote =
        "MOPAC writes the energies of a MOZYME run's MOs to the .aux file out of order, while "
        "the MOs themselves come in order of energy: the energies are shown sorted, as the .out "
        "file prints them";
  }

  // MOZYME without EIGEN: the localized MOs, numbered in MOPAC's order, in place of canonical ones.
  void readLocalizedOrbitals() {
    std::optional<AuxSection>& vectors = m_scanner.slot(Field::lmoVectors);
    if (!vectors) return;
    const std::size_t aoCount = m_calculation.basis.size();
    const std::size_t count = vectors->size() / aoCount;
    requireSize(*vectors, count * aoCount, "whole LMOs over " + std::to_string(aoCount) + " AOs");
    if (count == 0 || count > aoCount) {
      fail(vectors->heading, "LMO_VECTORS holds " + std::to_string(count) + " LMOs over " +
                                 std::to_string(aoCount) + " AOs");
    }
    const std::string need = std::to_string(count) + " LMOs";
    const AuxSection& energies = required(Field::lmoEnergies, "LMO_ENERGY_LEVELS");
    requireSize(energies, count, need);
    const AuxSection& occupancies =
        required(Field::occupancies, "MOLECULAR_ORBITAL_OCCUPANCIES", Spin::none);
    requireSize(occupancies, count, need);
    for (std::size_t k = 0; k < count; ++k) {
      MolecularOrbital& orbital = m_calculation.orbitals.emplace_back();
      orbital.number = static_cast<int>(k) + 1;
      orbital.energy = energies.reals[k];
      orbital.occupancy = checkedOccupancy(occupancies, k, orbital.number);
      const auto begin = vectors->reals.begin() + static_cast<std::ptrdiff_t>(k * aoCount);
      orbital.coefficients.assign(begin, begin + static_cast<std::ptrdiff_t>(aoCount));
    }
    m_calculation.localized = true;
    vectors.reset();
  }

  double checkedOccupancy(const AuxSection& occupancies, std::size_t entry, int mo) const {
    const double occupancy = occupancies.reals[entry];
    if (occupancy < 0.0 || occupancy > 2.0) {
      fail(occupancies.lineOf(entry), occupancies.name + " gives " + formatted(occupancy) +
                                          " electrons for MO " + std::to_string(mo) +
                                          "; an MO holds 0 to 2");
    }
    return occupancy;
  }

  AuxSection& required(Field field, std::string_view name, Spin spin = Spin::none) {
    std::optional<AuxSection>& section = m_scanner.slot(field, spin);
    if (!section) {
      m_scanner.failAtNoLine("there is no " + std::string(name) +
                             " section; the file is not a complete MOPAC .aux file");
    }
    return *section;
  }

  void requireSize(const AuxSection& section, std::size_t expected, const std::string& need) const {
    if (section.size() == expected) return;
    fail(section.heading, section.name + " holds " + std::to_string(section.size()) +
                              " entries, but there should be " + std::to_string(expected) +
                              " for " + need);
  }

  int integerAt(const AuxSection& section, std::size_t entry, int low, int high) const {
    const std::string& word = section.words[entry];
    const std::optional<int> value = parseInteger<int>(word);
    if (!value) {
      fail(section.lineOf(entry), "\"" + word + "\" in " + section.name + " is not a whole number");
    }
    if (*value < low || *value > high) {
      fail(section.lineOf(entry), section.name + " gives " + word + " where " +
                                      std::to_string(low) + " to " + std::to_string(high) +
                                      " is possible");
    }
    return *value;
  }

  void readAtoms() {
    const AuxSection& symbols = required(Field::symbols, "ATOM_EL");
    if (symbols.words.empty()) fail(symbols.heading, "ATOM_EL lists no atoms");
    if (symbols.words.size() > kMostEntries) fail(symbols.heading, "ATOM_EL lists too many atoms");
    m_calculation.atoms.reserve(symbols.words.size());
    for (std::size_t i = 0; i < symbols.words.size(); ++i) {
      std::string symbol = elementCase(symbols.words[i]);
      if (!atomicNumber(symbol)) {
        fail(symbols.lineOf(i), "\"" + symbols.words[i] + "\" in ATOM_EL is not an element symbol");
      }
      m_calculation.atoms.push_back({std::move(symbol), {}});
    }
    const std::optional<AuxSection>& cores = m_scanner.slot(Field::cores);
    if (!cores) return;
    requireSize(*cores, symbols.words.size(), "a core charge per atom");
    for (std::size_t i = 0; i < symbols.words.size(); ++i) {
      m_calculation.coreCharges.push_back(integerAt(*cores, i, 0, kLargestCoreCharge));
    }
  }

  void readGeometry() {
    std::optional<AuxSection>& final = m_scanner.slot(Field::finalGeometry);
    const AuxSection& geometry = final ? *final : required(Field::inputGeometry, "ATOM_X");
    if (!geometry.units.empty() && geometry.units != "ANGSTROMS") {
      fail(geometry.heading, geometry.name + " gives the coordinates in " + geometry.units +
                                 "; only ANGSTROMS are read");
    }
    const std::size_t atomCount = m_calculation.atoms.size();
    requireSize(geometry, 3 * atomCount, "the " + std::to_string(atomCount) + " atoms of ATOM_EL");
    for (std::size_t i = 0; i < atomCount; ++i) {
      m_calculation.atoms[i].position = {geometry.reals[3 * i], geometry.reals[3 * i + 1],
                                         geometry.reals[3 * i + 2]};
    }
  }

  void readBasis() {
    const AuxSection& atoms = required(Field::aoAtom, "AO_ATOMINDEX");
    const AuxSection& types = required(Field::aoType, "ATOM_SYMTYPE");
    const AuxSection& zetas = required(Field::aoZeta, "AO_ZETA");
    const AuxSection& pqns = required(Field::aoPqn, "ATOM_PQN");
    const std::size_t aoCount = atoms.size();
    if (aoCount == 0) fail(atoms.heading, "AO_ATOMINDEX lists no atomic orbitals");
    if (aoCount > kMostEntries) fail(atoms.heading, "AO_ATOMINDEX lists too many AOs");
    const std::string need = "the " + std::to_string(aoCount) + " AOs of AO_ATOMINDEX";
    requireSize(types, aoCount, need);
    requireSize(zetas, aoCount, need);
    requireSize(pqns, aoCount, need);

    const int atomCount = static_cast<int>(m_calculation.atoms.size());
    m_calculation.basis.resize(aoCount);
    for (std::size_t i = 0; i < aoCount; ++i) {
      BasisFunction& function = m_calculation.basis[i];
      function.atom = integerAt(atoms, i, 1, atomCount) - 1;
      const std::string& typeName = types.words[i];
      const AoTypeName* type = nullptr;
      for (const AoTypeName& candidate : kAoTypeNames) {
        if (candidate.name == typeName) type = &candidate;
      }
      if (type == nullptr) {
        fail(types.lineOf(i), "\"" + typeName +
                                  "\" in ATOM_SYMTYPE is not an AO type (S, PX, PY, "
                                  "PZ, X2, XZ, Z2, YZ, XY)");
      }
      function.type = type->type;
      function.zeta = zetas.reals[i];
      if (!(function.zeta > 0.0)) {
        fail(zetas.lineOf(i), "AO_ZETA gives the exponent " + formatted(function.zeta) +
                                  " for AO " + std::to_string(i + 1) + "; it must be positive");
      }
      function.n = integerAt(pqns, i, 1, kLargestPqn);
      if (function.n <= angularMomentum(function.type)) {
        fail(pqns.lineOf(i), "ATOM_PQN gives n = " + std::to_string(function.n) + " for AO " +
                                 std::to_string(i + 1) + ", a " + typeName + " function");
      }
    }
  }

  static std::string formatted(double value) {
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return {text.data(), result.ptr};
  }

  void readElectronCounts() {
    const int aoCount = static_cast<int>(m_calculation.basis.size());
    const auto count = [&](Field field, int most) -> std::optional<int> {
      const std::optional<AuxSection>& section = m_scanner.slot(field);
      if (!section) return std::nullopt;
      requireSize(*section, 1, "a count");
      return integerAt(*section, 0, 0, most);
    };
    m_calculation.electronCount = count(Field::electrons, 2 * aoCount);
    m_calculation.alphaElectronCount = count(Field::alphaElectrons, aoCount);
    m_calculation.betaElectronCount = count(Field::betaElectrons, aoCount);
  }

  // A lower triangle over the AOs, as the overlap and the density matrices are written.
  void readTriangle(Field field, Spin spin, SymmetricMatrix& matrix) {
    std::optional<AuxSection>& section = m_scanner.slot(field, spin);
    if (!section) return;
    const std::size_t aoCount = m_calculation.basis.size();
    requireSize(*section, aoCount * (aoCount + 1) / 2,
                "the lower triangle over " + std::to_string(aoCount) + " AOs");
    matrix = SymmetricMatrix(aoCount);
    matrix.lowerTriangle() = std::move(section->reals);
    section.reset();
  }

  void readOverlap() { readTriangle(Field::overlap, Spin::none, m_calculation.overlap); }

  void readDensities() {
    readTriangle(Field::density, Spin::none, m_calculation.totalDensity);
    readTriangle(Field::density, Spin::alpha, m_calculation.alphaDensity);
    readTriangle(Field::density, Spin::beta, m_calculation.betaDensity);
  }

  void readOrbitals(Spin spin) {
    const std::string prefix = spin == Spin::alpha ? "ALPHA_" : spin == Spin::beta ? "BETA_" : "";
    const std::string setName = spin == Spin::alpha  ? "SET_OF_ALPHA_MOS"
                                : spin == Spin::beta ? "SET_OF_BETA_MOS"
                                                     : "SET_OF_MOS";
    std::optional<AuxSection>& set = m_scanner.slot(Field::moSet, spin);
    std::optional<AuxSection>& vectors = m_scanner.slot(Field::eigenvectors, spin);
    if (!set && !vectors) return;
    if (!vectors && spin == Spin::none && m_scanner.slot(Field::lmoVectors)) return;
    if (!set) fail(vectors->heading, vectors->name + " comes without " + setName);
    AuxSection& coefficients = required(Field::eigenvectors, prefix + "EIGENVECTORS", spin);

    const int aoCount = static_cast<int>(m_calculation.basis.size());
    requireSize(*set, 2, "the first and last MO");
    const int first = integerAt(*set, 0, 1, aoCount);
    const int last = integerAt(*set, 1, first, aoCount);
    const auto moCount = static_cast<std::size_t>(last - first + 1);
    const std::string need = "MOs " + std::to_string(first) + " to " + std::to_string(last) +
                             " over " + std::to_string(aoCount) + " AOs";
    requireSize(coefficients, moCount * static_cast<std::size_t>(aoCount), need);
    const AuxSection& energies = required(Field::eigenvalues, prefix + "EIGENVALUES", spin);
    requireSize(energies, moCount, "MOs " + std::to_string(first) + " to " + std::to_string(last));
    const AuxSection& occupancies =
        required(Field::occupancies, prefix + "MOLECULAR_ORBITAL_OCCUPANCIES", spin);
    requireSize(occupancies, moCount,
                "MOs " + std::to_string(first) + " to " + std::to_string(last));
    // Labels only name the MOs, so a list that does not fit is dropped rather than refused.
    const std::optional<AuxSection>& labels = m_scanner.slot(Field::labels, spin);
    const bool labelled = labels && labels->words.size() == moCount;

    for (std::size_t k = 0; k < moCount; ++k) {
      MolecularOrbital& orbital = m_calculation.orbitals.emplace_back();
      orbital.number = first + static_cast<int>(k);
      orbital.spin = spin;
      orbital.energy = energies.reals[k];
      orbital.occupancy = checkedOccupancy(occupancies, k, orbital.number);
      if (labelled) orbital.symmetry = labels->words[k];
      const auto begin = coefficients.reals.begin() + static_cast<std::ptrdiff_t>(k * aoCount);
      orbital.coefficients.assign(begin, begin + aoCount);
    }
    vectors.reset();
  }

  AuxScanner& m_scanner;
  Calculation m_calculation;
};

}  // namespace

CalculationRead readAuxFile(std::istream& in, const std::string& source) {
  try {
    AuxScanner scanner(in, source);
    scanner.scan();
    return {CalculationBuilder(scanner).build(), {}};
  } catch (const ReadFailure& failure) {
    return {std::nullopt, failure.error};
  }
}

CalculationRead readAuxFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {std::nullopt, {path, 0, "cannot open the file", {}}};
  return readAuxFile(file, path);
}

}  // namespace lobewright
