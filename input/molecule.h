#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <string>

#include "input/atom_orbital.h"
#include "input/messages.h"
#include "input/parameter_table.h"
#include "input/point.h"
#include "input/text_scan.h"

namespace lobewright {

inline constexpr int kMaxAtoms = 100;

// One molecule for one conversion: the chosen MO's coefficients, the atoms' elements and
// positions, and the parameter table they are evaluated with.
class Molecule {
 public:
  // Loads the parameter table from the file, or the built-in one with a warning.
  Molecule(const std::string& parameterFile, MessageSink& messages);

  // Reads the MO numbered moNumber (1-based) from a MOPAC output; coordinates in Angstrom.
  // The eigenvectors must list whole atoms (an S row, then PX PY PZ but for hydrogen) in every
  // block, and the final table of coordinates the same atoms. On false, inputError says what was
  // wrong and where (its source is left for the caller to name).
  [[nodiscard]] bool readMopacOutput(const std::string& fileName, int16_t moNumber);
  [[nodiscard]] bool readMopacOutput(std::istream& in, int16_t moNumber);

  // Moves coordinates, exponents and cutoff into grid units; to be called exactly once.
  void setScale(float scale);
  void setCutoff(float cutoff);
  [[nodiscard]] float valueAt(float x, float y, float z) const;
  [[nodiscard]] Point atomPosition(int16_t atom) const;
  // The atom's functions and coefficients as the evaluation uses them.
  [[nodiscard]] AtomOrbital atomOrbital(int16_t atom) const;

  float gridScale = 1.0f;
  float cutoffSquared = 12.0f;
  std::array<float, kMaxAtoms> coefS{};
  std::array<float, kMaxAtoms> coefPx{};
  std::array<float, kMaxAtoms> coefPy{};
  std::array<float, kMaxAtoms> coefPz{};
  std::array<float, kMaxAtoms> atomX{};
  std::array<float, kMaxAtoms> atomY{};
  std::array<float, kMaxAtoms> atomZ{};
  std::array<int16_t, kMaxAtoms> atomElement{};
  int16_t atomCount = 0;
  Pm3ParameterSet parameters;
  TextError inputError;

 private:
  MessageSink* m_messages;
};

}  // namespace lobewright
