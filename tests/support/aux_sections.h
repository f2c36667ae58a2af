#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "input/calculation.h"
#include "input/number_text.h"
#include "input/vector3.h"

namespace lobewright::testing {

// The sections of a MOPAC .aux file ("NAME[count]=" or "NAME:UNITS[count]=" and the words after
// it), enough for tests to compare other readers and computations with the same run's data.
class AuxSections {
 public:
  explicit AuxSections(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::string key;
    while (std::getline(in, line)) {
      const std::size_t first = line.find_first_not_of(' ');
      if (first == std::string::npos || line[first] == '#') continue;
      const std::size_t equals = line.find('=');
      if (equals != std::string::npos && std::isalpha(static_cast<unsigned char>(line[first]))) {
        key = line.substr(first, line.find_first_of("[:=", first) - first);
        m_sections[key].clear();
        line = line.substr(equals + 1);
      }
      std::istringstream words(line);
      for (std::string word; words >> word;) m_sections[key].push_back(word);
    }
  }

  [[nodiscard]] bool has(const std::string& key) const { return m_sections.count(key) > 0; }
  [[nodiscard]] const std::vector<std::string>& words(const std::string& key) const {
    return m_sections.at(key);
  }
  [[nodiscard]] std::vector<double> numbers(const std::string& key) const {
    std::vector<double> values;
    for (const std::string& word : words(key)) values.push_back(*parseDouble(word, true));
    return values;
  }

  // The atoms (final geometry) and the basis as the .aux gives them.
  [[nodiscard]] Calculation basis() const {
    Calculation calculation;
    const std::vector<double> xyz = numbers("ATOM_X_OPT");
    const std::vector<std::string>& symbols = words("ATOM_EL");
    for (std::size_t i = 0; i < symbols.size(); ++i) {
      calculation.atoms.push_back({symbols[i], {xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]}});
    }
    const std::vector<double> atoms = numbers("AO_ATOMINDEX");
    const std::vector<double> zetas = numbers("AO_ZETA");
    const std::vector<double> pqns = numbers("ATOM_PQN");
    const std::vector<std::string>& types = words("ATOM_SYMTYPE");
    const std::map<std::string, AoType> names = {
        {"S", AoType::s},   {"PX", AoType::px}, {"PY", AoType::py},
        {"PZ", AoType::pz}, {"X2", AoType::x2}, {"XZ", AoType::xz},
        {"Z2", AoType::z2}, {"YZ", AoType::yz}, {"XY", AoType::xy}};
    for (std::size_t i = 0; i < zetas.size(); ++i) {
      calculation.basis.push_back({static_cast<int>(atoms[i]) - 1, static_cast<int>(pqns[i]),
                                   names.at(types[i]), zetas[i]});
    }
    return calculation;
  }

 private:
  std::map<std::string, std::vector<std::string>> m_sections;
};

// Expects a reader's atoms and basis to be the .aux file's, to the tolerances the file's digits
// allow.
inline void expectSameAtomsAndBasis(const Calculation& c, const Calculation& expected,
                                    double positionTolerance, double zetaTolerance) {
  ASSERT_EQ(c.atoms.size(), expected.atoms.size());
  for (std::size_t i = 0; i < c.atoms.size(); ++i) {
    EXPECT_EQ(c.atoms[i].symbol, expected.atoms[i].symbol);
    EXPECT_LT(norm(c.atoms[i].position - expected.atoms[i].position), positionTolerance);
  }
  ASSERT_EQ(c.basis.size(), expected.basis.size());
  for (std::size_t i = 0; i < c.basis.size(); ++i) {
    EXPECT_EQ(c.basis[i].atom, expected.basis[i].atom) << i;
    EXPECT_EQ(c.basis[i].n, expected.basis[i].n) << i;
    EXPECT_EQ(c.basis[i].type, expected.basis[i].type) << i;
    EXPECT_NEAR(c.basis[i].zeta, expected.basis[i].zeta, zetaTolerance) << i;
  }
}

}  // namespace lobewright::testing
