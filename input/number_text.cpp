#include "input/number_text.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "input/text_scan.h"

namespace lobewright {
namespace {

std::string_view withoutPlus(std::string_view word) {
  if (word.size() > 1 && word.front() == '+' && word[1] != '-' && word[1] != '+') {
    word.remove_prefix(1);
  }
  return word;
}

// A word that from_chars finds out of range is too large or too small for the type. Too small
// rounds to zero, as reading with a stream does: its exponent is negative, or it has no exponent
// and nothing but zeros before the point.
bool underflows(std::string_view word) {
  const std::size_t exponent = word.find_first_of("eE");
  if (exponent != std::string_view::npos) {
    return exponent + 1 < word.size() && word[exponent + 1] == '-';
  }
  const std::size_t digits = word.find_first_not_of("+-");
  const std::size_t point = word.find('.');
  const std::string_view integerPart = word.substr(digits, point - digits);
  return integerPart.find_first_not_of('0') == std::string_view::npos;
}

template <class Real>
std::optional<Real> parseReal(std::string_view word) {
  Real value = 0;
  const char* end = word.data() + word.size();
  const auto [stop, error] = std::from_chars(word.data(), end, value, std::chars_format::general);
  if (word.empty() || stop != end) return std::nullopt;
  if (error == std::errc::result_out_of_range && underflows(word)) {
    return word.front() == '-' ? -Real(0) : Real(0);
  }
  if (error != std::errc() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// The powers of ten that doubles hold exactly.
constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kLargestPower = 22;

// (-)whole * 10^power, where whole is at most 2^53: an exact double times or over an exact power
// of ten, rounded once; nothing where the power is beyond those.
std::optional<double> exactlyScaled(uint64_t whole, int power, bool negative) {
  if (power > kLargestPower || power < -kLargestPower) return std::nullopt;
  const auto exact = static_cast<double>(whole);
  const double value = power >= 0 ? exact * kPowers[power] : exact / kPowers[-power];
  return negative ? -value : value;
}

// A plain decimal "[-]digits[.digits][exponent]" read without from_chars, where its digits make
// a whole number m of at most 2^53 and its power of ten p is at most 22 either way: both are
// then exact doubles, and m * 10^p (or m / 10^-p) is rounded once, to the same double that
// from_chars gives (Clinger's fast path). Nothing for any other word, which from_chars then
// reads or refuses. Most numbers MOPAC prints are such words.
std::optional<double> plainDecimal(std::string_view word, bool fortranExponent) {
  constexpr uint64_t kLargestExact = uint64_t{1} << 53;
  constexpr std::ptrdiff_t kMostDigits = 19;  // any 19 digits fit in 64 bits
  const char* at = word.data();
  const char* const end = at + word.size();
  const auto digit = [&] { return at != end && static_cast<unsigned>(*at - '0') < 10u; };
  const bool negative = at != end && *at == '-';
  if (negative) ++at;
  if (!digit()) return std::nullopt;
  uint64_t whole = 0;
  const char* const first = at;
  for (; digit(); ++at) whole = whole * 10 + static_cast<uint64_t>(*at - '0');
  std::ptrdiff_t digits = at - first;
  int power = 0;
  if (at != end && *at == '.') {
    const char* const fraction = ++at;
    for (; digit(); ++at) whole = whole * 10 + static_cast<uint64_t>(*at - '0');
    digits += at - fraction;
    power = -static_cast<int>(at - fraction);
  }
  if (digits > kMostDigits) return std::nullopt;
  if (at != end) {
    const char letter = *at;
    const bool exponent =
        letter == 'e' || letter == 'E' || (fortranExponent && (letter == 'd' || letter == 'D'));
    if (!exponent) return std::nullopt;
    ++at;
    const bool negativeExponent = at != end && *at == '-';
    if (at != end && (*at == '-' || *at == '+')) ++at;
    const char* const exponentDigits = at;
    int stated = 0;
    for (; digit() && at - exponentDigits < 4; ++at) stated = stated * 10 + (*at - '0');
    if (at == exponentDigits || at != end) return std::nullopt;
    power += negativeExponent ? -stated : stated;
  }
  if (whole > kLargestExact) return std::nullopt;
  return exactlyScaled(whole, power, negative);
}

// Eight ASCII digits read at once as one whole number, the first the most significant; nothing
// when any of the eight bytes is not a digit.
std::optional<uint32_t> eightDigits(const char* text) {
  uint64_t chunk = 0;
  std::memcpy(&chunk, text, sizeof chunk);
  if constexpr (std::endian::native == std::endian::big) chunk = __builtin_bswap64(chunk);
  // A byte is a digit when its high half is 3 and adding 6 keeps it so.
  const uint64_t highHalves =
      (chunk & 0xF0F0F0F0F0F0F0F0) | (((chunk + 0x0606060606060606) & 0xF0F0F0F0F0F0F0F0) >> 4);
  if (highHalves != 0x3333333333333333) return std::nullopt;
  chunk -= 0x3030303030303030;
  chunk = chunk * 10 + (chunk >> 8);  // pairs of digits, in every other byte
  chunk = ((chunk & 0x000000FF000000FF) * (100 + (1000000ULL << 32)) +
           ((chunk >> 16) & 0x000000FF000000FF) * (1 + (10000ULL << 32))) >>
          32;
  return static_cast<uint32_t>(chunk);
}

// One field of appendFortranFields, rounded as plainDecimal rounds it; nothing for any other text
// and for an exponent beyond that rounding.
std::optional<double> fortranField(const char* field) {
  const auto digit = [](char c) { return static_cast<unsigned>(c - '0') < 10u; };
  if ((field[0] != ' ' && field[0] != '-') || field[1] != '0' || field[2] != '.' ||
      field[11] != 'D' || (field[12] != '+' && field[12] != '-') || !digit(field[13]) ||
      !digit(field[14])) {
    return std::nullopt;
  }
  const std::optional<uint32_t> mantissa = eightDigits(field + 3);
  if (!mantissa) return std::nullopt;
  const int exponent = (field[13] - '0') * 10 + (field[14] - '0');
  const int power = (field[12] == '-' ? -exponent : exponent) - 8;
  return exactlyScaled(*mantissa, power, field[0] == '-');
}

}  // namespace

bool appendFortranFields(std::string_view line, std::vector<double>& values) {
  constexpr std::size_t kWidth = 15;
  if (line.empty() || line.size() % kWidth != 0) return false;
  const std::size_t before = values.size();
  for (std::size_t at = 0; at < line.size(); at += kWidth) {
    const std::optional<double> value = fortranField(line.data() + at);
    if (!value) {
      values.resize(before);
      return false;
    }
    values.push_back(*value);
  }
  return true;
}

std::optional<double> parseDouble(std::string_view word, bool fortranExponent) {
  word = withoutPlus(word);
  if (const std::optional<double> plain = plainDecimal(word, fortranExponent)) return plain;
  std::string replaced;
  if (fortranExponent) {
    const std::size_t d = word.find_first_of("Dd");
    if (d != std::string_view::npos) {
      replaced.assign(word);
      replaced[d] = 'E';
      word = replaced;
    }
  }
  return parseReal<double>(word);
}

std::optional<float> parseFloat(std::string_view word) {
  return parseReal<float>(withoutPlus(word));
}

std::string notANumber(std::string_view word) { return quotedWord(word) + " is not a number"; }

std::string printedNumber(const char* format, double value) {
  char text[128];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string fixedNumber(double value, int decimals) {
  char text[128];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

}  // namespace lobewright
