#pragma once

#include <bit>
#include <cstdint>

namespace lobewright {

// e^x for x <= 0, within two units in the last place of the exact value, for arguments down to
// -708 (below that it gives e^-708, about 3e-308, as small as a normal double stays). Made of
// plain arithmetic and bit operations without branches, so that a loop of them vectorises.
//
// x = n ln 2 + r with n whole and |r| <= ln 2 / 2: ln 2 in two parts (the first with enough zero
// bits that n times it is exact) keeps r exact to rounding, the Taylor series to r^13 leaves an
// error below 1e-17, and 2^n goes straight into the exponent bits. Adding 1.5 * 2^52 rounds
// x / ln 2 to the whole n, which then sits in the low bits of the sum.
[[nodiscard]] inline double exponentialOfNonPositive(double x) {
  constexpr double kLog2e = 0x1.71547652b82fep0;
  constexpr double kShift = 0x1.8p52;
  constexpr double kLn2High = 0x1.62e42feep-1;
  constexpr double kLn2Low = 0x1.a39ef35793c76p-33;
  constexpr double kLowest = -708.0;
  x = x < kLowest ? kLowest : x;
  const double shifted = x * kLog2e + kShift;
  const double n = shifted - kShift;
  const double r = (x - n * kLn2High) - n * kLn2Low;
  // The sum of r^k / k! for k = 0 to 13, by Horner's rule.
  double p = 1.0 / 6227020800.0;
  p = p * r + 1.0 / 479001600.0;
  p = p * r + 1.0 / 39916800.0;
  p = p * r + 1.0 / 3628800.0;
  p = p * r + 1.0 / 362880.0;
  p = p * r + 1.0 / 40320.0;
  p = p * r + 1.0 / 5040.0;
  p = p * r + 1.0 / 720.0;
  p = p * r + 1.0 / 120.0;
  p = p * r + 1.0 / 24.0;
  p = p * r + 1.0 / 6.0;
  p = p * r + 0.5;
  p = p * r + 1.0;
  p = p * r + 1.0;
  const uint64_t power = (std::bit_cast<uint64_t>(shifted) + 1023) << 52;
  return p * std::bit_cast<double>(power);
}

}  // namespace lobewright
