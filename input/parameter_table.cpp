#include "input/parameter_table.h"

#include <cmath>
#include <string_view>
#include <utility>

#include "input/text_scan.h"
#include "input/word_reader.h"

namespace lobewright {
namespace {

// Fills the derived values of element e from its exponents in Bohr^-1. The formula follows the
// symbol, not the shell type.
void setExponents(Pm3ParameterSet& table, int e, float zs, float zp) {
  const auto pi = static_cast<double>(kPi);
  const auto a0 = static_cast<double>(kBohrRadius);
  if (table.symbol[e] == "H") {
    table.normS[e] = static_cast<float>(std::sqrt(std::pow(static_cast<double>(zs), 3.0) / pi));
    table.zetaS[e] = zs / kBohrRadius;
    return;
  }
  table.normS[e] =
      static_cast<float>(std::sqrt(std::pow(static_cast<double>(zs), 5.0) / (3.0 * pi)) / a0);
  table.normP[e] = static_cast<float>(std::sqrt(std::pow(static_cast<double>(zp), 5.0) / pi) / a0);
  table.zetaS[e] = zs / kBohrRadius;
  table.zetaP[e] = zp / kBohrRadius;
}

// Slater exponents of real elements lie between 0.5 and 10 Bohr^-1. An exponent that is not
// positive gives a NaN normalisation constant, and a huge one a constant that overflows the
// orbital's sum; either would poison every value near the atom.
bool usableExponent(float zeta) { return zeta > 0.0f && zeta <= kGreatestExponent; }

}  // namespace

int16_t Pm3ParameterSet::find(const std::string& elementSymbol) const {
  for (int16_t e = 0; e < elementCount; ++e) {
    if (symbol[e] == elementSymbol) return e;
  }
  return -1;
}

Pm3ParameterSet builtInParameters() {
  struct Entry {
    const char* symbol;
    int16_t shellType;
    float zs;
    float zp;
  };
  static constexpr std::array<Entry, 4> kEntries{{
      {"H", 1, 0.967807f, 0.0f},
      {"C", 2, 1.565085f, 1.842345f},
      {"N", 2, 2.028094f, 2.313728f},
      {"O", 2, 3.796544f, 2.389402f},
  }};
  Pm3ParameterSet table;
  table.elementCount = kEntries.size();
  for (int e = 0; e < table.elementCount; ++e) {
    table.symbol[e] = kEntries[e].symbol;
    table.shellType[e] = kEntries[e].shellType;
    setExponents(table, e, kEntries[e].zs, kEntries[e].zp);
  }
  return table;
}

ParameterRead readParameterTable(std::istream& in, const std::string& source) {
  LineReader lines(in, source);
  WordReader words(lines);
  // Why the words stopped where `wanted` was to be read.
  const auto refuse = [&](std::string_view wanted) {
    std::string what;
    if (lines.failed()) {
      what = "the line is longer than " + std::to_string(kMaxLineLength) + " characters";
    } else if (lines.unreadable()) {
      what = "the file cannot be read past this line";
    } else if (words.atEnd()) {
      what = "the file ends before ";
      what.append(wanted);
    } else {
      what = quotedWord(words.word()) + " is not ";
      what.append(wanted);
    }
    return ParameterRead{std::nullopt, words.error(std::move(what))};
  };
  Pm3ParameterSet table;
  long count = 0;
  if (!words.readInteger(count) || count < 0 || count > kMaxElements) {
    return refuse("the number of elements (0 to " + std::to_string(kMaxElements) + ")");
  }
  table.elementCount = static_cast<int16_t>(count);
  for (int e = 0; e < table.elementCount; ++e) {
    std::string& symbol = table.symbol[e];
    // Symbols name declarations in the scenes and scripts written, so they are letters only.
    if (!words.next() || words.word().size() > kMaxSymbolLength || !isLetters(words.word())) {
      return refuse("the symbol of element " + std::to_string(e + 1) + " (one or two letters)");
    }
    symbol = words.word();
    const std::string exponentRange = " of " + symbol + " (above 0, at most " +
                                      std::to_string(static_cast<int>(kGreatestExponent)) + ")";
    float zs = 0.0f;
    float zp = 0.0f;
    long shellType = 0;
    if (!words.readNumber(zs) || !usableExponent(zs)) {
      return refuse("the s exponent" + exponentRange);
    }
    if (symbol != "H" && (!words.readNumber(zp) || !usableExponent(zp))) {
      return refuse("the p exponent" + exponentRange);
    }
    if (!words.readInteger(shellType) || (shellType != 1 && shellType != 2)) {
      return refuse("the shell type of " + symbol + " (1 or 2)");
    }
    table.shellType[e] = static_cast<int16_t>(shellType);
    setExponents(table, e, zs, zp);
  }
  return {table, {}};
}

std::optional<Pm3ParameterSet> readParameters(std::istream& in) {
  return readParameterTable(in, {}).table;
}

}  // namespace lobewright
