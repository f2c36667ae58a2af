#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "input/classic_calculation.h"
#include "orbital/classic_orbital.h"
#include "support/test_files.h"

namespace lobewright::testing {

// The ten-element table the classic samples are read with.
inline const Pm3ParameterSet& sampleParameters() {
  static const Pm3ParameterSet table = [] {
    std::istringstream in(readSample("pm3r.txt"));
    return readParameters(in).value_or(builtInParameters());
  }();
  return table;
}

// One MO as the classic model reads it from a text: the calculation and the MO's coefficients,
// or why either cannot be had.
struct ClassicMoRead {
  bool read = false;
  TextError error;  // the reader's reason, or the MO look-up's
  ClassicCalculation calculation;
  std::vector<AtomCoefficients> coefficients;

  [[nodiscard]] int atomCount() const { return static_cast<int>(calculation.atoms.size()); }
  [[nodiscard]] Point position(int atom) const { return calculation.atoms.at(atom).position; }
  [[nodiscard]] std::string symbol(int atom) const {
    return calculation.parameters.symbol[calculation.atoms.at(atom).element];
  }
};

inline ClassicMoRead readClassicMoText(const std::string& text, int mo) {
  std::istringstream in(text);
  ClassicRead read = readMopacOutput(in, sampleParameters());
  if (!read.calculation) return {false, read.error, {}, {}};
  const ClassicMoFound found = findClassicMo(*read.calculation, mo);
  if (!found.orbital) return {false, {{}, 0, found.error, {}}, *read.calculation, {}};
  return {true, {}, *read.calculation, found.orbital->coefficients};
}

inline ClassicMoRead readClassicMoSample(const std::string& name, int mo) {
  return readClassicMoText(readSample(name), mo);
}

// A classic calculation made by hand: atoms of the sample table placed as if read, each with one
// MO's coefficients on its functions.
class ClassicBuilder {
 public:
  explicit ClassicBuilder(const Pm3ParameterSet& parameters = sampleParameters()) {
    m_calculation.parameters = parameters;
  }

  ClassicBuilder& add(const char* symbol, Point at, float s, float px = 0, float py = 0,
                      float pz = 0) {
    m_calculation.atoms.push_back({m_calculation.parameters.find(symbol), at});
    m_mo.push_back({s, px, py, pz});
    return *this;
  }

  [[nodiscard]] const ClassicCalculation& calculation() const { return m_calculation; }
  [[nodiscard]] Pm3ParameterSet& parameters() { return m_calculation.parameters; }
  [[nodiscard]] ClassicOrbital orbital(int scale, float cutoff = 3.5f) const {
    return ClassicOrbital(m_calculation, m_mo, scale, cutoff);
  }

 private:
  ClassicCalculation m_calculation;
  std::vector<AtomCoefficients> m_mo;
};

}  // namespace lobewright::testing
