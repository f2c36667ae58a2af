#pragma once

#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace lobewright {

// Numbers in text are read whole, in the "C" notation whatever the user's locale, and finite:
// "0.5x", "nan", "inf", an empty word and a value beyond the type's range are all refused.

// A real number; `fortranExponent` also takes "D" or "d" for the exponent, as MOPAC writes
// "0.14303410D+00". A leading "+" is taken.
[[nodiscard]] std::optional<double> parseDouble(std::string_view word,
                                                bool fortranExponent = false);

// Appends the numbers of a line made wholly of MOPAC's fixed-width Fortran fields, as a graphics
// file prints them five to a line: a blank or "-", "0.", eight digits, "D", a signed two-digit
// exponent (" 0.19329316D+00-0.21622303D-01"). Each is the double parseDouble gives for it.
// False, with `values` unchanged, for any other line, which the caller then reads word by word.
[[nodiscard]] bool appendFortranFields(std::string_view line, std::vector<double>& values);

// A real number rounded once, straight to the nearest float; refused when a float cannot hold
// it. (The window's typed numbers go through a double first: see app/settings_text.h.)
[[nodiscard]] std::optional<float> parseFloat(std::string_view word);

// A whole number of the given integer type; a leading "+" is taken.
template <class Integer>
[[nodiscard]] std::optional<Integer> parseInteger(std::string_view word) {
  static_assert(std::is_integral_v<Integer>);
  if (word.size() > 1 && word.front() == '+' && word[1] != '-') word.remove_prefix(1);
  Integer value{};
  const char* end = word.data() + word.size();
  const auto [stop, error] = std::from_chars(word.data(), end, value);
  if (word.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

// Why a word is not a number, for a message: "\"0.5x\" is not a number".
[[nodiscard]] std::string notANumber(std::string_view word);

// A number as printf writes it with a conversion of one double: printedNumber("%.3f eV", e).
[[nodiscard]] std::string printedNumber(const char* format, double value);

// A number with `decimals` digits after the point ("%.*f").
[[nodiscard]] std::string fixedNumber(double value, int decimals);

}  // namespace lobewright
