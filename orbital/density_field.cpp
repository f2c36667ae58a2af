// The density's values and gradients, a chunk of points at a time: every AO of the atoms that
// reach the chunk is evaluated once at all of its points, then the blocks of D are applied to
// those values. The loops over the chunk's points are innermost and branch-free, so they
// vectorise (see CMakeLists.txt for the options this needs).
#include "orbital/density_field.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>

#include "orbital/exact_orbital.h"
#include "orbital/fast_exp.h"
#include "orbital/slater_basis.h"
#include "orbital/wide_lanes.h"

namespace lobewright {
namespace {

// The bound covers the rounding of the sums it bounds.
constexpr double kBoundMargin = 1.0 + 1e-9;
// Below this distance (bohr) from the nucleus the radial direction is taken as undefined.
constexpr double kAtNucleus = 1e-12;
// Within a bohr of its nucleus an atom's AOs may all be small where their gradients are not.
constexpr double kNearNucleusSquared = 1.0;

// kWidth doubles of a row of points, as one vector register holds them (see wide_lanes.h). Rows
// need no alignment, and a lane may alias the doubles it is read from.
template <int kWidth>
struct LaneType;
template <>
struct LaneType<2> {
  typedef double Type __attribute__((vector_size(16), aligned(8), may_alias));
};
template <>
struct LaneType<4> {
  typedef double Type __attribute__((vector_size(32), aligned(8), may_alias));
};
template <int kWidth>
using Lane = typename LaneType<kWidth>::Type;

template <int kWidth>
[[nodiscard]] inline const Lane<kWidth>& laneAt(const double* from) {
  return *reinterpret_cast<const Lane<kWidth>*>(from);
}
template <int kWidth>
[[nodiscard]] inline Lane<kWidth>& laneAt(double* to) {
  return *reinterpret_cast<Lane<kWidth>*>(to);
}

[[nodiscard]] double gap(double coordinate, double from, double to) {
  return std::max(std::max(from - coordinate, coordinate - to), 0.0);
}

[[nodiscard]] double distanceSquared(const Vec3& p, const Vec3& low, const Vec3& high) {
  const double dx = gap(p.x, low.x, high.x);
  const double dy = gap(p.y, low.y, high.y);
  const double dz = gap(p.z, low.z, high.z);
  return dx * dx + dy * dy + dz * dz;
}

[[nodiscard]] double boxGapSquared(const Vec3& lowA, const Vec3& highA, const Vec3& lowB,
                                   const Vec3& highB) {
  const auto along = [](double fromA, double toA, double fromB, double toB) {
    return std::max(std::max(fromB - toA, fromA - toB), 0.0);
  };
  const double dx = along(lowA.x, highA.x, lowB.x, highB.x);
  const double dy = along(lowA.y, highA.y, lowB.y, highB.y);
  const double dz = along(lowA.z, highA.z, lowB.z, highB.z);
  return dx * dx + dy * dy + dz * dz;
}

}  // namespace

struct DensityField::Chunk {
  int count = 0;
  Vec3 low;  // the box around the points, bohr
  Vec3 high;
  alignas(64) double x[kChunk];
  alignas(64) double y[kChunk];
  alignas(64) double z[kChunk];
  alignas(64) double value[kChunk];
  alignas(64) double gradientX[kChunk];
  alignas(64) double gradientY[kChunk];
  alignas(64) double gradientZ[kChunk];
  // The atoms that reach the chunk; per atom, where its AOs' rows start in the arrays below (in
  // AOs) and the largest |phi_A| over the points, both meaningful for those atoms only.
  std::vector<uint32_t> atoms;
  std::vector<uint32_t> rowOfAtom;
  std::vector<double> amplitudeOfAtom;
  // Per AO of those atoms, a row of kChunk: phi, its gradient, and t = sum_nu D_mu,nu phi_nu.
  std::vector<double> phi;
  std::vector<double> phiX;
  std::vector<double> phiY;
  std::vector<double> phiZ;
  std::vector<double> t;
  // The blocks D_AB of one atom A's pairs that are not negligible, with where B's rows start,
  // its AO count and the pair's weight in a value.
  struct Pair {
    const double* block;
    std::size_t row;
    uint32_t aoCount;
    double weight;
  };
  std::vector<Pair> pairs;

  void load(const Vec3* points, int n) {
    count = n;
    for (int i = 0; i < n; ++i) {
      const Vec3 bohr = kBohrPerAngstrom * points[i];
      x[i] = bohr.x;
      y[i] = bohr.y;
      z[i] = bohr.z;
    }
    // Unused slots repeat the first point, so that whole rows can be computed.
    for (int i = n; i < kChunk; ++i) {
      x[i] = x[0];
      y[i] = y[0];
      z[i] = z[0];
    }
    low = {*std::min_element(x, x + n), *std::min_element(y, y + n), *std::min_element(z, z + n)};
    high = {*std::max_element(x, x + n), *std::max_element(y, y + n), *std::max_element(z, z + n)};
    std::fill(value, value + kChunk, 0.0);
    std::fill(gradientX, gradientX + kChunk, 0.0);
    std::fill(gradientY, gradientY + kChunk, 0.0);
    std::fill(gradientZ, gradientZ + kChunk, 0.0);
  }
};

DensityField::DensityField(const Calculation& calculation, const SymmetricMatrix& density) {
  if (std::string problem = basisProblem(calculation); !problem.empty()) {
    throw std::invalid_argument(problem);
  }
  if (density.size() != calculation.basis.size()) {
    throw std::invalid_argument("the density matrix does not fit the basis");
  }
  const std::size_t atomCount = calculation.atoms.size();
  std::vector<std::vector<uint32_t>> aosOfAtom(atomCount);
  for (std::size_t mu = 0; mu < calculation.basis.size(); ++mu) {
    aosOfAtom[static_cast<std::size_t>(calculation.basis[mu].atom)].push_back(
        static_cast<uint32_t>(mu));
  }

  m_atoms.resize(atomCount);
  for (std::size_t a = 0; a < atomCount; ++a) {
    Atom& atom = m_atoms[a];
    atom.position = kBohrPerAngstrom * calculation.atoms[a].position;
    atom.firstAo = static_cast<uint32_t>(m_aos.size());
    atom.aoCount = static_cast<uint32_t>(aosOfAtom[a].size());
    atom.firstShell = static_cast<uint32_t>(m_shells.size());
    m_largestAtom = std::max(m_largestAtom, atom.aoCount);
    struct ShellKey {
      int n;
      int l;
      double zeta;
    };
    std::vector<ShellKey> keys;
    for (const uint32_t mu : aosOfAtom[a]) {
      const BasisFunction& function = calculation.basis[mu];
      const int l = angularMomentum(function.type);
      m_aos.push_back(
          {slaterNormalisation(function.n, function.zeta) * angularConstant(function.type),
           function.zeta, function.n - 1 - l, function.type});
      const bool known = std::any_of(keys.begin(), keys.end(), [&](const ShellKey& key) {
        return key.n == function.n && key.l == l && key.zeta == function.zeta;
      });
      if (known) continue;
      keys.push_back({function.n, l, function.zeta});
      const double normalisation = slaterNormalisation(function.n, function.zeta);
      m_shells.push_back({normalisation * normalisation * (2 * l + 1) / (4.0 * std::numbers::pi),
                          2.0 * function.zeta, 2 * function.n - 2});
    }
    atom.shellCount = static_cast<uint32_t>(m_shells.size()) - atom.firstShell;
    if (atom.aoCount == 0) continue;
    // Beyond the largest of the shells' peaks every term falls, so the sum of phi^2 crosses the
    // negligible amplitude's square once.
    const double negligible = kNegligibleAmplitude * kNegligibleAmplitude;
    double peak = 0.0;
    for (uint32_t s = atom.firstShell; s < atom.firstShell + atom.shellCount; ++s) {
      peak = std::max(peak, m_shells[s].power / m_shells[s].zeta);
    }
    const auto sumAt = [&](double r) { return squaredAmplitudeBound(atom, r, r); };
    double inside = peak;
    double outside = peak + 1.0;
    while (sumAt(outside) > negligible) {
      inside = outside;
      outside *= 2.0;
    }
    for (int i = 0; i < 60 && sumAt(inside) > negligible; ++i) {
      const double middle = 0.5 * (inside + outside);
      (sumAt(middle) > negligible ? inside : outside) = middle;
    }
    atom.reachSquared = outside * outside;
    if (!std::isfinite(atom.reachSquared)) throw std::invalid_argument("an AO reaches too far");
  }

  // The pairs of atoms whose AOs can meet somewhere and whose block of D is not zero.
  std::vector<std::vector<std::pair<uint32_t, double>>> near(atomCount);
  for (std::size_t a = 0; a < atomCount; ++a) {
    Atom& atom = m_atoms[a];
    if (atom.aoCount == 0) continue;
    for (std::size_t b = a; b < atomCount; ++b) {
      Atom& other = m_atoms[b];
      if (other.aoCount == 0) continue;
      const double distance = norm(other.position - atom.position);
      if (distance > std::sqrt(atom.reachSquared) + std::sqrt(other.reachSquared)) continue;
      double squares = 0.0;
      for (const uint32_t mu : aosOfAtom[a]) {
        for (const uint32_t nu : aosOfAtom[b]) {
          const double entry = density(mu, nu);
          if (!std::isfinite(entry)) throw std::invalid_argument("the density is not finite");
          squares += entry * entry;
        }
      }
      if (squares == 0.0) continue;
      const double blockNorm = std::sqrt(squares);
      near[a].emplace_back(static_cast<uint32_t>(b), blockNorm);
      if (b != a) near[b].emplace_back(static_cast<uint32_t>(a), blockNorm);
      atom.rowNorm += blockNorm;
      if (b != a) other.rowNorm += blockNorm;
    }
  }
  // Each atom's neighbours in the order of their atoms (the pairs above were found in that
  // order), each with its block D_AB, row-major.
  for (std::size_t a = 0; a < atomCount; ++a) {
    Atom& atom = m_atoms[a];
    atom.firstNeighbour = static_cast<uint32_t>(m_neighbours.size());
    for (const auto& [b, blockNorm] : near[a]) {
      if (b < a) ++atom.lowerNeighbourCount;
      m_neighbours.push_back({b, m_atoms[b].aoCount, blockNorm, m_blocks.size()});
      for (const uint32_t mu : aosOfAtom[a]) {
        for (const uint32_t nu : aosOfAtom[b]) m_blocks.push_back(density(mu, nu));
      }
    }
    atom.neighbourCount = static_cast<uint32_t>(m_neighbours.size()) - atom.firstNeighbour;
  }

  for (std::size_t first = 0; first < atomCount; first += kAtomBlock) {
    AtomBlock block;
    bool any = false;
    for (std::size_t a = first; a < std::min(atomCount, first + kAtomBlock); ++a) {
      const Atom& atom = m_atoms[a];
      if (atom.reachSquared < 0.0) continue;
      block.low =
          any ? Vec3{std::min(block.low.x, atom.position.x), std::min(block.low.y, atom.position.y),
                     std::min(block.low.z, atom.position.z)}
              : atom.position;
      block.high = any ? Vec3{std::max(block.high.x, atom.position.x),
                              std::max(block.high.y, atom.position.y),
                              std::max(block.high.z, atom.position.z)}
                       : atom.position;
      block.reachSquared = std::max(block.reachSquared, atom.reachSquared);
      block.rowNorms += atom.rowNorm;
      any = true;
    }
    m_atomBlocks.push_back(block);
  }
}

double DensityField::squaredAmplitudeBound(const Atom& atom, double nearest,
                                           double farthest) const {
  double sum = 0.0;
  for (uint32_t s = atom.firstShell; s < atom.firstShell + atom.shellCount; ++s) {
    const Shell& shell = m_shells[s];
    sum += shell.weight * radialPeak(shell.power, shell.zeta, nearest, farthest);
  }
  return sum;
}

double DensityField::boundOfMagnitude(const Vec3& low, const Vec3& high) const {
  const Vec3 lowBohr = kBohrPerAngstrom * low;
  const Vec3 highBohr = kBohrPerAngstrom * high;
  const double negligible = kNegligibleAmplitude * kNegligibleAmplitude;
  double bound = 0.0;
  for (std::size_t first = 0; first < m_atoms.size(); first += kAtomBlock) {
    const AtomBlock& block = m_atomBlocks[first / kAtomBlock];
    // A NaN compares false: such a block is looked at atom by atom.
    if (block.reachSquared < 0.0) continue;
    if (boxGapSquared(block.low, block.high, lowBohr, highBohr) > block.reachSquared) {
      bound += block.rowNorms * negligible;
      continue;
    }
    for (std::size_t a = first; a < std::min(m_atoms.size(), first + kAtomBlock); ++a) {
      const Atom& atom = m_atoms[a];
      if (atom.reachSquared < 0.0) continue;
      const double nearestSquared = distanceSquared(atom.position, lowBohr, highBohr);
      if (nearestSquared > atom.reachSquared) {
        bound += atom.rowNorm * negligible;
        continue;
      }
      bound +=
          atom.rowNorm * squaredAmplitudeBound(atom, std::sqrt(nearestSquared),
                                               farthestFromBox(atom.position, lowBohr, highBohr));
    }
  }
  return std::isnan(bound) ? std::numeric_limits<double>::infinity() : bound * kBoundMargin;
}

template <bool kGradient>
void DensityField::aoValues(const Atom& atom, Chunk& chunk, std::size_t at) const {
  alignas(64) double dx[kChunk];
  alignas(64) double dy[kChunk];
  alignas(64) double dz[kChunk];
  alignas(64) double r[kChunk];
  alignas(64) double inverseR[kChunk];  // 0 at the nucleus
  alignas(64) double exponential[kChunk];
  alignas(64) double radial[kChunk];
  for (int i = 0; i < kChunk; ++i) {
    dx[i] = chunk.x[i] - atom.position.x;
    dy[i] = chunk.y[i] - atom.position.y;
    dz[i] = chunk.z[i] - atom.position.z;
    r[i] = std::sqrt(dx[i] * dx[i] + dy[i] * dy[i] + dz[i] * dz[i]);
    if constexpr (kGradient) inverseR[i] = r[i] > kAtNucleus ? 1.0 / r[i] : 0.0;
  }
  double lastZeta = -1.0;
  for (uint32_t k = 0; k < atom.aoCount; ++k) {
    const Ao& ao = m_aos[atom.firstAo + k];
    if (ao.zeta != lastZeta) {
      lastZeta = ao.zeta;
      for (int i = 0; i < kChunk; ++i) exponential[i] = exponentialOfNonPositive(-ao.zeta * r[i]);
    }
    for (int i = 0; i < kChunk; ++i) radial[i] = ao.constant * exponential[i];
    for (int p = 0; p < ao.radialPower; ++p) {
      for (int i = 0; i < kChunk; ++i) radial[i] *= r[i];
    }
    double* phi = &chunk.phi[(at + k) * kChunk];
    double* px = &chunk.phiX[(at + k) * kChunk];
    double* py = &chunk.phiY[(at + k) * kChunk];
    double* pz = &chunk.phiZ[(at + k) * kChunk];
    const double radialPower = ao.radialPower;
    const double zeta = ao.zeta;
    // phi = radial P with P the type's polynomial; its gradient adds (k / r - zeta) phi along
    // d / r to radial times the gradient of P.
    const auto set = [&](int i, double polynomial, double gx, double gy, double gz) {
      phi[i] = radial[i] * polynomial;
      if constexpr (kGradient) {
        const double along = (radialPower * inverseR[i] - zeta) * phi[i] * inverseR[i];
        px[i] = radial[i] * gx + along * dx[i];
        py[i] = radial[i] * gy + along * dy[i];
        pz[i] = radial[i] * gz + along * dz[i];
      }
    };
    switch (ao.type) {
      case AoType::s:
        for (int i = 0; i < kChunk; ++i) set(i, 1.0, 0.0, 0.0, 0.0);
        break;
      case AoType::px:
        for (int i = 0; i < kChunk; ++i) set(i, dx[i], 1.0, 0.0, 0.0);
        break;
      case AoType::py:
        for (int i = 0; i < kChunk; ++i) set(i, dy[i], 0.0, 1.0, 0.0);
        break;
      case AoType::pz:
        for (int i = 0; i < kChunk; ++i) set(i, dz[i], 0.0, 0.0, 1.0);
        break;
      case AoType::x2:
        for (int i = 0; i < kChunk; ++i) {
          set(i, dx[i] * dx[i] - dy[i] * dy[i], 2.0 * dx[i], -2.0 * dy[i], 0.0);
        }
        break;
      case AoType::xz:
        for (int i = 0; i < kChunk; ++i) set(i, dx[i] * dz[i], dz[i], 0.0, dx[i]);
        break;
      case AoType::z2:
        for (int i = 0; i < kChunk; ++i) {
          set(i, 2.0 * dz[i] * dz[i] - dx[i] * dx[i] - dy[i] * dy[i], -2.0 * dx[i], -2.0 * dy[i],
              4.0 * dz[i]);
        }
        break;
      case AoType::yz:
        for (int i = 0; i < kChunk; ++i) set(i, dy[i] * dz[i], 0.0, dz[i], dy[i]);
        break;
      case AoType::xy:
        for (int i = 0; i < kChunk; ++i) set(i, dx[i] * dy[i], dy[i], dx[i], 0.0);
        break;
    }
  }
}

template <bool kGradient>
void DensityField::evaluate(Chunk& chunk) const {
  if (wideLanesInUse()) {
    withWideLanes([&] { evaluateWith<kGradient, 4>(chunk); });
  } else {
    evaluateWith<kGradient, 2>(chunk);
  }
}

template <bool kGradient, int kWidth>
void DensityField::evaluateWith(Chunk& chunk) const {
  constexpr int kLanes = kChunk / kWidth;
  using Lane = lobewright::Lane<kWidth>;
  chunk.atoms.clear();
  for (std::size_t first = 0; first < m_atoms.size(); first += kAtomBlock) {
    const AtomBlock& block = m_atomBlocks[first / kAtomBlock];
    if (block.reachSquared < 0.0 ||
        boxGapSquared(block.low, block.high, chunk.low, chunk.high) > block.reachSquared) {
      continue;
    }
    for (std::size_t a = first; a < std::min(m_atoms.size(), first + kAtomBlock); ++a) {
      const Atom& atom = m_atoms[a];
      if (atom.reachSquared >= 0.0 &&
          distanceSquared(atom.position, chunk.low, chunk.high) <= atom.reachSquared) {
        chunk.atoms.push_back(static_cast<uint32_t>(a));
      }
    }
  }
  constexpr uint32_t kNotNear = std::numeric_limits<uint32_t>::max();
  chunk.rowOfAtom.resize(m_atoms.size(), kNotNear);
  std::size_t rows = 0;
  for (const uint32_t a : chunk.atoms) {
    chunk.rowOfAtom[a] = static_cast<uint32_t>(rows);
    rows += m_atoms[a].aoCount;
  }
  const std::size_t size = rows * kChunk;
  if (chunk.phi.size() < size) {
    chunk.phi.resize(size);
    chunk.phiX.resize(size);
    chunk.phiY.resize(size);
    chunk.phiZ.resize(size);
    chunk.t.resize(size);
  }
  if (chunk.amplitudeOfAtom.size() < m_atoms.size()) chunk.amplitudeOfAtom.resize(m_atoms.size());
  for (const uint32_t a : chunk.atoms) {
    const Atom& atom = m_atoms[a];
    const std::size_t row = chunk.rowOfAtom[a];
    aoValues<kGradient>(atom, chunk, row);
    // The pairs are screened by the atoms' largest |phi_A| at the chunk's points, the same for
    // values and gradients, so that a value does not depend on whether its gradient was asked
    // for. A bohr away from its nucleus an atom's |phi_A| falls no faster than its gradients; but
    // nearer, all of its AOs may vanish at the nucleus and their gradients not, so there the
    // envelope of its AOs over the box and a bohr beyond stands in.
    const Vec3& p = atom.position;
    const double nearestSquared = distanceSquared(p, chunk.low, chunk.high);
    if (nearestSquared < kNearNucleusSquared) {
      chunk.amplitudeOfAtom[a] = std::sqrt(squaredAmplitudeBound(
          atom, std::sqrt(nearestSquared), farthestFromBox(p, chunk.low, chunk.high) + 1.0));
      continue;
    }
    alignas(64) double squares[kChunk] = {};
    for (uint32_t k = 0; k < atom.aoCount; ++k) {
      const double* phi = &chunk.phi[(row + k) * kChunk];
      for (int i = 0; i < kChunk; ++i) squares[i] += phi[i] * phi[i];
    }
    chunk.amplitudeOfAtom[a] = std::sqrt(*std::max_element(squares, squares + kChunk));
  }
  // Over the pairs of atoms that matter: a value needs sum_A phi_A . (D_AA phi_A) plus twice
  // phi_A . (D_AB phi_B) for B > A; a gradient needs every t_mu = sum_nu D_mu,nu phi_nu, which
  // takes the blocks of every B. Each AO's sum over all of its atom's pairs is kept in registers
  // and stored once.
  for (const uint32_t a : chunk.atoms) {
    const Atom& atom = m_atoms[a];
    const std::size_t rowA = chunk.rowOfAtom[a];
    const double amplitudeA = chunk.amplitudeOfAtom[a];
    const uint32_t first = atom.firstNeighbour + (kGradient ? 0 : atom.lowerNeighbourCount);
    // Every neighbour is written to the next slot and kept by counting it, without a branch:
    // whether a pair is kept is as hard to foresee as a coin's toss.
    const uint32_t end = atom.firstNeighbour + atom.neighbourCount;
    chunk.pairs.resize(end - first);
    std::size_t kept = 0;
    for (uint32_t n = first; n < end; ++n) {
      const Neighbour& neighbour = m_neighbours[n];
      const uint32_t rowB = chunk.rowOfAtom[neighbour.atom];
      const bool near = rowB != kNotNear;
      const double product = neighbour.norm * amplitudeA * chunk.amplitudeOfAtom[neighbour.atom];
      const double weight = kGradient || neighbour.atom == a ? 1.0 : 2.0;
      chunk.pairs[kept] = {&m_blocks[neighbour.block], rowB, neighbour.aoCount, weight};
      kept += near & !(product < kNegligiblePair);
    }
    for (uint32_t mu = 0; mu < atom.aoCount; ++mu) {
      Lane product[kLanes] = {};
      for (std::size_t p = 0; p < kept; ++p) {
        const Chunk::Pair& pair = chunk.pairs[p];
        const double* row = pair.block + static_cast<std::size_t>(mu) * pair.aoCount;
        for (uint32_t nu = 0; nu < pair.aoCount; ++nu) {
          const double d = pair.weight * row[nu];
          const double* phiB = &chunk.phi[(pair.row + nu) * kChunk];
          for (int l = 0; l < kLanes; ++l) product[l] += d * laneAt<kWidth>(phiB + kWidth * l);
        }
      }
      if constexpr (kGradient) {
        double* tA = &chunk.t[(rowA + mu) * kChunk];
        for (int l = 0; l < kLanes; ++l) laneAt<kWidth>(tA + kWidth * l) = product[l];
      } else {
        const double* phiA = &chunk.phi[(rowA + mu) * kChunk];
        for (int l = 0; l < kLanes; ++l) {
          laneAt<kWidth>(chunk.value + kWidth * l) +=
              laneAt<kWidth>(phiA + kWidth * l) * product[l];
        }
      }
    }
  }
  if constexpr (kGradient) {
    for (int l = 0; l < kLanes; ++l) {
      Lane value = {};
      Lane gradientX = {};
      Lane gradientY = {};
      Lane gradientZ = {};
      for (std::size_t row = 0; row < rows; ++row) {
        const std::size_t at = row * kChunk + kWidth * l;
        const Lane t = laneAt<kWidth>(&chunk.t[at]);
        const Lane twiceT = 2.0 * t;
        value += laneAt<kWidth>(&chunk.phi[at]) * t;
        gradientX += laneAt<kWidth>(&chunk.phiX[at]) * twiceT;
        gradientY += laneAt<kWidth>(&chunk.phiY[at]) * twiceT;
        gradientZ += laneAt<kWidth>(&chunk.phiZ[at]) * twiceT;
      }
      laneAt<kWidth>(chunk.value + kWidth * l) = value;
      laneAt<kWidth>(chunk.gradientX + kWidth * l) = gradientX;
      laneAt<kWidth>(chunk.gradientY + kWidth * l) = gradientY;
      laneAt<kWidth>(chunk.gradientZ + kWidth * l) = gradientZ;
    }
  }
  for (const uint32_t a : chunk.atoms) chunk.rowOfAtom[a] = kNotNear;
}

void DensityField::valuesAt(std::span<const Vec3> points, std::span<double> values) const {
  thread_local Chunk chunk;
  for (std::size_t start = 0; start < points.size(); start += kChunk) {
    const int n = static_cast<int>(std::min<std::size_t>(kChunk, points.size() - start));
    chunk.load(points.data() + start, n);
    evaluate<false>(chunk);
    std::copy(chunk.value, chunk.value + n, values.begin() + static_cast<std::ptrdiff_t>(start));
  }
}

void DensityField::samplesAt(std::span<const Vec3> points, std::span<FieldSample> samples) const {
  thread_local Chunk chunk;
  for (std::size_t start = 0; start < points.size(); start += kChunk) {
    const int n = static_cast<int>(std::min<std::size_t>(kChunk, points.size() - start));
    chunk.load(points.data() + start, n);
    evaluate<true>(chunk);
    for (int i = 0; i < n; ++i) {
      samples[start + static_cast<std::size_t>(i)] = {
          chunk.value[i],
          kBohrPerAngstrom * Vec3{chunk.gradientX[i], chunk.gradientY[i], chunk.gradientZ[i]}};
    }
  }
}

}  // namespace lobewright
