#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>

#include "input/text_scan.h"

namespace lobewright {

inline constexpr int kMaxElements = 10;
inline constexpr std::size_t kMaxSymbolLength = 2;
// Largest exponent a parameter file may give, in Bohr^-1; every exponent must also be positive.
inline constexpr float kGreatestExponent = 100.0f;

// The constants of the normalisation formulas are single-precision values on purpose: the
// output files depend on them to the last bit.
inline constexpr float kPi = 3.14159f;
inline constexpr float kBohrRadius = 0.52918f;

// Slater exponents and normalisation constants per element, in Angstrom^-1 once loaded.
struct Pm3ParameterSet {
  int16_t elementCount = 0;
  std::array<std::string, kMaxElements> symbol{};
  std::array<float, kMaxElements> zetaS{};
  std::array<float, kMaxElements> zetaP{};
  std::array<float, kMaxElements> normS{};
  std::array<float, kMaxElements> normP{};
  // 1: one s function exp(-zeta r); 2: r exp(-zeta r) and three p functions.
  std::array<int16_t, kMaxElements> shellType{};

  // Index of the element with exactly this symbol, or -1.
  [[nodiscard]] int16_t find(const std::string& elementSymbol) const;
};

// H, C, N and O, in this order: other parts colour the first four entries by position.
[[nodiscard]] Pm3ParameterSet builtInParameters();

// What reading a parameter file gives: the table, or why it cannot be read.
struct ParameterRead {
  std::optional<Pm3ParameterSet> table;
  TextError error;  // meaningful when table is empty
};

// Reads a parameter file's text: the number of elements, then for each its symbol, the s exponent,
// the p exponent (not for H) and the shell type, separated by any blanks and line ends. Refused
// when it cannot be read completely or holds values the table has no room or meaning for, such as
// a symbol of anything but one or two letters. `source` names the file in the error.
[[nodiscard]] ParameterRead readParameterTable(std::istream& in, const std::string& source);
// The same without the reason.
[[nodiscard]] std::optional<Pm3ParameterSet> readParameters(std::istream& in);

}  // namespace lobewright
