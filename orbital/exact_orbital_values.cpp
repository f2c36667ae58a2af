// The exact orbital's values and gradients. Every evaluation, of one point or of many, goes
// through the same loops over a chunk of points, so a point's value does not depend on how it
// was asked for. The loops run over the chunk's points innermost and hold no calls and no
// branches, so the compiler vectorises them (see CMakeLists.txt for the options this needs).
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "orbital/exact_orbital.h"
#include "orbital/fast_exp.h"
#include "orbital/slater_basis.h"
#include "orbital/wide_lanes.h"

namespace lobewright {

struct ExactOrbital::Chunk {
  int count = 0;
  Vec3 low;  // the box around the points
  Vec3 high;
  alignas(64) double x[kChunk];
  alignas(64) double y[kChunk];
  alignas(64) double z[kChunk];
  alignas(64) double value[kChunk];
  alignas(64) double gradientX[kChunk];
  alignas(64) double gradientY[kChunk];
  alignas(64) double gradientZ[kChunk];

  // Takes the points (Angstrom) and clears the sums.
  void load(const Vec3* points, int n) {
    count = n;
    for (int i = 0; i < n; ++i) {
      const Vec3 bohr = kBohrPerAngstrom * points[i];
      x[i] = bohr.x;
      y[i] = bohr.y;
      z[i] = bohr.z;
      value[i] = 0.0;
      gradientX[i] = 0.0;
      gradientY[i] = 0.0;
      gradientZ[i] = 0.0;
    }
    low = {*std::min_element(x, x + n), *std::min_element(y, y + n), *std::min_element(z, z + n)};
    high = {*std::max_element(x, x + n), *std::max_element(y, y + n), *std::max_element(z, z + n)};
  }

  [[nodiscard]] FieldSample sample(int i) const {
    return {value[i], kBohrPerAngstrom * Vec3{gradientX[i], gradientY[i], gradientZ[i]}};
  }
};

namespace {

// Below this distance (bohr) from the nucleus the radial direction is taken as undefined.
constexpr double kAtNucleus = 1e-12;

}  // namespace

template <bool kGradient>
void ExactOrbital::addAtom(uint32_t atom, Chunk& chunk) const {
  constexpr int kChunkSize = kChunk;
  const int n = chunk.count;
  const double reachSquared = m_reachSquared[atom];
  alignas(64) double dx[kChunkSize];
  alignas(64) double dy[kChunkSize];
  alignas(64) double dz[kChunkSize];
  alignas(64) double r[kChunkSize];
  alignas(64) double inverseR[kChunkSize];  // 0 at the nucleus
  alignas(64) double r2[kChunkSize];
  alignas(64) double exponential[kChunkSize];
  alignas(64) double radial[kChunkSize];
  for (int i = 0; i < n; ++i) {
    dx[i] = chunk.x[i] - m_x[atom];
    dy[i] = chunk.y[i] - m_y[atom];
    dz[i] = chunk.z[i] - m_z[atom];
    r2[i] = dx[i] * dx[i] + dy[i] * dy[i] + dz[i] * dz[i];
    r[i] = std::sqrt(r2[i]);
    if constexpr (kGradient) inverseR[i] = r[i] > kAtNucleus ? 1.0 / r[i] : 0.0;
  }
  double lastZeta = -1.0;
  for (uint32_t s = m_firstShell[atom]; s < m_firstShell[atom + 1]; ++s) {
    const Shell& shell = m_shells[s];
    const double zeta = shell.zeta;
    if (zeta != lastZeta) {
      lastZeta = zeta;
      for (int i = 0; i < n; ++i) exponential[i] = exponentialOfNonPositive(-zeta * r[i]);
    }
    // r^(n - 1 - l) e^(-zeta r)
    for (int i = 0; i < n; ++i) radial[i] = exponential[i];
    for (int k = 0; k < shell.radialPower; ++k) {
      for (int i = 0; i < n; ++i) radial[i] *= r[i];
    }
    const double* a = shell.folded;
    const double power = shell.radialPower;
    // Adds radial * P with P the shell's polynomial and (px, py, pz) its gradient, where the
    // atom reaches; the radial part's gradient is (k / r - zeta) radial P along (dx, dy, dz) / r.
    // Points out of reach add 0, whatever was computed for them.
    const auto add = [&](int i, double polynomial, double px, double py, double pz) {
      const bool reached = r2[i] <= reachSquared;
      const double term = radial[i] * polynomial;
      chunk.value[i] += reached ? term : 0.0;
      if constexpr (kGradient) {
        const double along = (power * inverseR[i] - zeta) * term * inverseR[i];
        chunk.gradientX[i] += reached ? radial[i] * px + along * dx[i] : 0.0;
        chunk.gradientY[i] += reached ? radial[i] * py + along * dy[i] : 0.0;
        chunk.gradientZ[i] += reached ? radial[i] * pz + along * dz[i] : 0.0;
      }
    };
    switch (shell.l) {
      case 0:
        for (int i = 0; i < n; ++i) add(i, a[0], 0.0, 0.0, 0.0);
        break;
      case 1:
        for (int i = 0; i < n; ++i) {
          add(i, a[0] * dx[i] + a[1] * dy[i] + a[2] * dz[i], a[0], a[1], a[2]);
        }
        break;
      default:
        for (int i = 0; i < n; ++i) {
          const double x = dx[i];
          const double y = dy[i];
          const double z = dz[i];
          add(i,
              a[0] * (x * x - y * y) + a[1] * x * z + a[2] * (2.0 * z * z - x * x - y * y) +
                  a[3] * y * z + a[4] * x * y,
              2.0 * (a[0] - a[2]) * x + a[1] * z + a[4] * y,
              -2.0 * (a[0] + a[2]) * y + a[3] * z + a[4] * x, a[1] * x + 4.0 * a[2] * z + a[3] * y);
        }
        break;
    }
  }
}

template <bool kGradient>
void ExactOrbital::evaluate(Chunk& chunk) const {
  // The atoms are tested against the chunk's box a block at a time, in a loop of their own,
  // unless the whole block is out of reach.
  const auto atomCount = static_cast<uint32_t>(m_x.size());
  const auto gap = [](double coordinate, double from, double to) {
    return std::max(std::max(from - coordinate, coordinate - to), 0.0);
  };
  withLanesInUse([&] {
    for (uint32_t first = 0; first < atomCount; first += kAtomBlock) {
      if (blockOutOfReach(m_atomBlocks[first / kAtomBlock], chunk.low, chunk.high)) continue;
      const uint32_t count = std::min(kAtomBlock, atomCount - first);
      alignas(64) double beyondReach[kAtomBlock];
      for (uint32_t a = 0; a < count; ++a) {
        const uint32_t atom = first + a;
        const double gx = gap(m_x[atom], chunk.low.x, chunk.high.x);
        const double gy = gap(m_y[atom], chunk.low.y, chunk.high.y);
        const double gz = gap(m_z[atom], chunk.low.z, chunk.high.z);
        beyondReach[a] = gx * gx + gy * gy + gz * gz - m_reachSquared[atom];
      }
      for (uint32_t a = 0; a < count; ++a) {
        if (beyondReach[a] <= 0.0) addAtom<kGradient>(first + a, chunk);
      }
    }
  });
}

template <bool kGradient>
void ExactOrbital::evaluate(Chunk& chunk, std::span<const uint32_t> atoms) const {
  withLanesInUse([&] {
    for (const uint32_t atom : atoms) addAtom<kGradient>(atom, chunk);
  });
}

double ExactOrbital::valueAt(const Vec3& p) const {
  Chunk chunk;
  chunk.load(&p, 1);
  evaluate<false>(chunk);
  return chunk.value[0];
}

FieldSample ExactOrbital::sampleAt(const Vec3& p) const {
  Chunk chunk;
  chunk.load(&p, 1);
  evaluate<true>(chunk);
  return chunk.sample(0);
}

double ExactOrbital::valueAt(const Vec3& p, std::span<const uint32_t> atoms) const {
  Chunk chunk;
  chunk.load(&p, 1);
  evaluate<false>(chunk, atoms);
  return chunk.value[0];
}

FieldSample ExactOrbital::sampleAt(const Vec3& p, std::span<const uint32_t> atoms) const {
  Chunk chunk;
  chunk.load(&p, 1);
  evaluate<true>(chunk, atoms);
  return chunk.sample(0);
}

void ExactOrbital::valuesAt(std::span<const Vec3> points, std::span<double> values) const {
  if (values.size() != points.size()) throw std::invalid_argument("one value per point");
  Chunk chunk;
  for (std::size_t start = 0; start < points.size(); start += kChunk) {
    const int n = static_cast<int>(std::min<std::size_t>(kChunk, points.size() - start));
    chunk.load(points.data() + start, n);
    evaluate<false>(chunk);
    std::copy(chunk.value, chunk.value + n, values.begin() + static_cast<std::ptrdiff_t>(start));
  }
}

void ExactOrbital::samplesAt(std::span<const Vec3> points, std::span<FieldSample> samples) const {
  if (samples.size() != points.size()) throw std::invalid_argument("one sample per point");
  Chunk chunk;
  for (std::size_t start = 0; start < points.size(); start += kChunk) {
    const int n = static_cast<int>(std::min<std::size_t>(kChunk, points.size() - start));
    chunk.load(points.data() + start, n);
    evaluate<true>(chunk);
    for (int i = 0; i < n; ++i) samples[start + static_cast<std::size_t>(i)] = chunk.sample(i);
  }
}

}  // namespace lobewright
