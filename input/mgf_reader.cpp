#include "input/mgf_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>

#include "input/elements.h"
#include "input/number_text.h"
#include "input/slater_exponents.h"

namespace lobewright {
namespace {

// MOPAC's default method, whose rows give n when the file names no method.
constexpr std::string_view kDefaultMethod = "PM7";
constexpr std::string_view kOrbitalWord = "ORBITAL";
constexpr std::string_view kMatrixWord = "INVERSE_MATRIX";
constexpr std::string_view kKeywordsWord = "Keywords:";

class MgfReader {
 public:
  MgfReader(std::istream& in, const std::string& source) : m_lines(in, source) {}

  CalculationRead read() {
    try {
      return {readFile(), {}};
    } catch (const TextError& error) {
      return {std::nullopt, error};
    }
  }

 private:
  [[noreturn]] void fail(std::string what) const { throw m_lines.error(std::move(what)); }
  [[noreturn]] void failAtNoLine(std::string what) const {
    throw m_lines.errorAt(0, {}, std::move(what));
  }

  // Called where a line could not be read: an overlong line and a read error are errors; the
  // end of the text is not.
  void checkReadable() const {
    if (m_lines.failed()) fail("the line is longer than any MOPAC writes");
    if (m_lines.unreadable()) fail("the file cannot be read past this line");
  }

  void nextLine(std::string_view what) {
    if (m_lines.next()) return;
    checkReadable();
    fail("the file ends before " + std::string(what));
  }

  std::vector<double> numbers(bool fortranExponent = false) const {
    std::vector<double> values;
    appendNumbers(values, fortranExponent);
    return values;
  }

  // Appends the line's numbers to `values`; how many there were.
  std::size_t appendNumbers(std::vector<double>& values, bool fortranExponent = false) const {
    const std::size_t before = values.size();
    if (fortranExponent && appendFortranFields(m_lines.line(), values)) {
      return values.size() - before;
    }
    forEachNumber(m_lines.line(), [&](std::string_view word) {
      const std::optional<double> value = parseDouble(word, fortranExponent);
      if (!value) fail(notANumber(word));
      values.push_back(*value);
    });
    return values.size() - before;
  }

  Calculation readFile() {
    nextLine("its heading");
    const std::vector<std::string_view> heading = m_lines.words();
    const std::optional<int> count =
        heading.size() >= 2 ? parseInteger<int>(heading[0]) : std::nullopt;
    if (!count || *count < 1 || !heading[1].starts_with("MOPAC-Graphical")) {
      fail("this is not a MOPAC graphics file: it does not begin with \"MOPAC-Graphical data\"");
    }
    Calculation calculation;
    calculation.file = CalculationFile::mgf;
    readAtoms(*count, calculation);
    const std::vector<std::array<double, 3>> zetas = readExponents(*count);
    std::size_t functionCount = 0;
    for (const std::array<double, 3>& atom : zetas) {
      for (std::size_t l = 0; l < 3; ++l) functionCount += atom[l] > 0.0 ? 2 * l + 1 : 0;
    }
    if (functionCount == 0) fail("no atom has an exponent");

    // MOs, the matrix, the keywords; in a UHF file the beta MOs follow.
    std::vector<MolecularOrbital> first;
    std::vector<MolecularOrbital> second;
    bool matrixRead = false;
    while (m_lines.next()) {
      const std::vector<std::string_view> words = m_lines.words();
      if (words.empty()) continue;
      if (words[0] == kOrbitalWord) {
        std::vector<MolecularOrbital>& set = matrixRead ? second : first;
        if (set.size() == functionCount) fail("more orbitals than the atoms have functions");
        set.push_back(readOrbital(words, functionCount));
      } else if (words[0].starts_with(kMatrixWord) && !matrixRead) {
        calculation.inverseSqrtOverlap = readMatrix(words[0], functionCount);
        matrixRead = true;
      } else if (words[0] == kKeywordsWord) {
        for (std::size_t i = 1; i < words.size() && calculation.method.empty(); ++i) {
          if (exponentTableMethod(words[i])) calculation.method = words[i];
        }
      } else {
        fail("expected ORBITAL, INVERSE_MATRIX or Keywords:");
      }
    }
    checkReadable();
    if (first.empty()) failAtNoLine("This file holds no orbitals.");
    numberOrbitals(first, second, calculation, functionCount);
    const Spin firstSpin = second.empty() ? Spin::none : Spin::alpha;
    for (MolecularOrbital& mo : first) mo.spin = firstSpin;
    for (MolecularOrbital& mo : second) mo.spin = Spin::beta;
    calculation.orbitals = std::move(first);
    calculation.orbitals.insert(calculation.orbitals.end(), second.begin(), second.end());
    setBasis(zetas, calculation);
    // With d functions MOPAC's INVERSE_MATRIX is not S^-1/2 of the basis: its inverse squared
    // matches the overlap matrix of the .aux file of the same run where only s and p functions
    // meet, and is off by up to 0.4 wherever a d function does (every block of a d shell and
    // another atom's shell scaled by one factor). The caller computes S from the basis instead.
    const bool hasD =
        std::any_of(calculation.basis.begin(), calculation.basis.end(),
                    [](const BasisFunction& f) { return angularMomentum(f.type) == 2; });
    if (hasD) calculation.inverseSqrtOverlap = SymmetricMatrix();
    return calculation;
  }

  // MOPAC's numbers for the MOs. Without ALLVEC, a run that is not a single SCF keeps only the
  // MOs around the HOMO (caffeine's 29 to 44 of 66); the electrons, from the atoms' valence
  // electrons and their charges, place them: those below the file's first MO fill the MOs before
  // it. Both spin sets of a UHF file keep the same MOs.
  void numberOrbitals(std::vector<MolecularOrbital>& first, std::vector<MolecularOrbital>& second,
                      const Calculation& calculation, std::size_t functionCount) const {
    int firstNumber = 1;
    if (first.size() < functionCount || (!second.empty() && second.size() < functionCount)) {
      const std::optional<int> placed = firstHeldMo(first, second, calculation, functionCount);
      if (!placed) {
        failAtNoLine("This file holds " + std::to_string(first.size()) + " of the " +
                     std::to_string(functionCount) +
                     " MOs and does not show which they are. Run MOPAC with the keywords GRAPHF "
                     "ALLVEC to keep every MO.");
      }
      firstNumber = *placed;
    }
    for (std::vector<MolecularOrbital>* set : {&first, &second}) {
      for (std::size_t i = 0; i < set->size(); ++i) {
        (*set)[i].number = firstNumber + static_cast<int>(i);
      }
    }
  }

  std::optional<int> firstHeldMo(const std::vector<MolecularOrbital>& first,
                                 const std::vector<MolecularOrbital>& second,
                                 const Calculation& calculation, std::size_t functionCount) const {
    if (m_charges.size() != calculation.atoms.size()) return std::nullopt;
    double electrons = 0.0;
    for (std::size_t i = 0; i < calculation.atoms.size(); ++i) {
      const std::optional<int> valence =
          valenceElectrons(atomicNumber(calculation.atoms[i].symbol).value_or(0));
      if (!valence) return std::nullopt;
      electrons += *valence - m_charges[i];
    }
    for (const std::vector<MolecularOrbital>* set : {&first, &second}) {
      for (const MolecularOrbital& mo : *set) electrons -= mo.occupancy;
    }
    // The electrons below fill each MO with 2, or with 1 of each spin.
    const double below = std::round(electrons);
    if (std::fabs(electrons - below) > 0.1 || below < 0.0 || std::fmod(below, 2.0) != 0.0) {
      return std::nullopt;
    }
    const int firstNumber = static_cast<int>(below / 2.0) + 1;
    const std::size_t longest = std::max(first.size(), second.size());
    if (static_cast<std::size_t>(firstNumber - 1) + longest > functionCount) return std::nullopt;
    return firstNumber;
  }

  // "   8    0.0000000   0.0000000   0.0000000  -0.6425": atomic number, x, y, z, charge.
  void readAtoms(int count, Calculation& calculation) {
    for (int i = 0; i < count; ++i) {
      nextLine("its atoms");
      const std::vector<double> values = numbers();
      if (values.size() < 4) fail("expected an atomic number and three coordinates");
      if (!(values[0] >= 1.0 && values[0] <= kLastElement) ||
          values[0] != static_cast<int>(values[0])) {
        fail("expected an atomic number from 1 to " + std::to_string(kLastElement));
      }
      const auto z = static_cast<int>(values[0]);
      if (values.size() >= 5) m_charges.push_back(values[4]);
      calculation.atoms.push_back(
          {std::string(elementSymbol(z)), {values[1], values[2], values[3]}});
    }
  }

  // "  5.9723090  2.3490170  0.0000000": the s, p and d exponents of an atom.
  std::vector<std::array<double, 3>> readExponents(int count) {
    std::vector<std::array<double, 3>> zetas;
    for (int i = 0; i < count; ++i) {
      nextLine("the exponents of its atoms");
      const std::vector<double> values = numbers();
      if (values.size() != 3) fail("expected the s, p and d exponents of an atom");
      for (const double zeta : values) {
        if (zeta < 0.0) fail("an exponent below zero");
      }
      zetas.push_back({values[0], values[1], values[2]});
    }
    return zetas;
  }

  // " ORBITAL 2 1a1    -29.3824", then the coefficients, five to a line.
  MolecularOrbital readOrbital(const std::vector<std::string_view>& words,
                               std::size_t functionCount) {
    MolecularOrbital mo;
    const std::optional<double> occupancy =
        words.size() >= 3 ? parseDouble(words[1]) : std::nullopt;
    const std::optional<double> energy =
        words.size() >= 3 ? parseDouble(words.back()) : std::nullopt;
    if (!occupancy || !energy) {
      fail("expected the occupancy, symmetry label and energy of an orbital");
    }
    if (*occupancy < 0.0 || *occupancy > 2.0) {
      std::array<char, 32> text{};
      const auto written = std::to_chars(text.data(), text.data() + text.size(), *occupancy);
      fail("the orbital holds " + std::string(text.data(), written.ptr) +
           " electrons; an MO holds 0 to 2");
    }
    mo.occupancy = *occupancy;
    mo.energy = *energy;
    for (std::size_t i = 2; i + 1 < words.size(); ++i) mo.symmetry.append(words[i]);
    mo.coefficients.reserve(functionCount);
    while (mo.coefficients.size() < functionCount) {
      nextLine("the coefficients of an orbital");
      const std::string_view next = firstWord(m_lines.line());
      if (next == kOrbitalWord || next.starts_with(kMatrixWord) || next == kKeywordsWord) {
        fail("expected " + std::to_string(functionCount) +
             " coefficients for the orbital before, "
             "found " +
             std::to_string(mo.coefficients.size()));
      }
      if (appendNumbers(mo.coefficients, true) == 0 || mo.coefficients.size() > functionCount) {
        fail("expected " + std::to_string(functionCount) + " coefficients for this orbital");
      }
    }
    return mo;
  }

  // "INVERSE_MATRIX[6x6]=", then its lower triangle row by row.
  SymmetricMatrix readMatrix(std::string_view heading, std::size_t functionCount) {
    const std::string expected = std::string(kMatrixWord) + "[" + std::to_string(functionCount) +
                                 "x" + std::to_string(functionCount) + "]=";
    if (heading != expected) fail("expected " + expected + " for the atoms' functions");
    const std::size_t count = functionCount * (functionCount + 1) / 2;
    std::vector<double> lower;
    lower.reserve(count);
    while (lower.size() < count) {
      nextLine("the end of INVERSE_MATRIX");
      if (appendNumbers(lower, true) == 0 || lower.size() > count) {
        fail("expected " + std::to_string(count) + " numbers in INVERSE_MATRIX");
      }
    }
    SymmetricMatrix matrix(functionCount);
    matrix.lowerTriangle() = std::move(lower);
    return matrix;
  }

  void setBasis(const std::vector<std::array<double, 3>>& zetas, Calculation& calculation) const {
    const std::string method =
        calculation.method.empty() ? std::string(kDefaultMethod) : calculation.method;
    for (std::size_t atom = 0; atom < zetas.size(); ++atom) {
      const std::string& symbol = calculation.atoms[atom].symbol;
      const std::optional<ShellExponents> shells = slaterExponents(method, symbol);
      for (int l = 0; l < 3; ++l) {
        const double zeta = zetas[atom][static_cast<std::size_t>(l)];
        if (zeta == 0.0) continue;
        const std::optional<SlaterShell> shell = shells ? shellOf(*shells, l) : std::nullopt;
        if (!shell) {
          std::string what = method;
          what.append(" gives no principal quantum number for the ").append(1, "spd"[l]);
          what.append(" shell of ").append(symbol).append(" (atom ");
          what.append(std::to_string(atom + 1)).append(").");
          failAtNoLine(std::move(what));
        }
        appendShell(calculation.basis, static_cast<int>(atom), l, {shell->n, zeta});
      }
    }
  }

  LineReader m_lines;
  std::vector<double> m_charges;  // each atom's charge, when every atom line gives one
};

}  // namespace

CalculationRead readMgfFile(std::istream& in, const std::string& source) {
  return MgfReader(in, source).read();
}

CalculationRead readMgfFile(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    return {std::nullopt, {path, 0, "is a folder", {}}};
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) return {std::nullopt, {path, 0, "cannot be opened", {}}};
  return readMgfFile(file, path);
}

}  // namespace lobewright
