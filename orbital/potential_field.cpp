#include "orbital/potential_field.h"

#include <Eigen/Dense>
#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <future>
#include <limits>
#include <numbers>

#include "input/elements.h"
#include "orbital/slater_basis.h"
#include "orbital/spherical_harmonics.h"

namespace lobewright {
namespace {

// Atoms farther from a point than its nearest by more than this (bohr) take no part in its
// weights, which still add to 1 over the atoms that do: such an atom's cell is small there, and
// leaving it out moves the potential by less than 5e-5 a.u. (caffeine, the steroid) and its
// agreement with a direct integration not at all.
constexpr double kCellReach = 4.0;
// A piece's charge beyond its extent, and a multipole component beyond the last one summed, is
// below this (e, and hartree per unit charge).
constexpr double kNegligibleCharge = 1e-6;
constexpr double kNegligiblePotential = 1e-6;
// Nearer a nucleus than this (bohr), its core's potential is taken at this distance: the
// potential stays a finite number on a grid point that falls on a nucleus.
constexpr double kNearestCore = 1e-2;
// Nearer a nucleus than this (bohr) a gradient is taken by central differences with this step
// (Angstrom): there the core's potential is capped and the table's angle changes too fast.
constexpr double kAnalyticGradientReach = 0.05;
// A hydrogen this near a heavier atom (bohr) is grouped with it for the potential's bound.
constexpr double kHydrogenBond = 2.5;
constexpr double kGradientStep = 1e-4;

// The cell function of Stratmann, Scuseria and Frisch (Chem. Phys. Lett. 257 (1996) 213) of
// mu = (r_i - r_j) / R_ij: exactly 1 below -kCellWidth and 0 above it, so that most factors of a
// cell's product need no arithmetic and a point near its own atom needs none at all.
constexpr double kCellWidth = 0.64;

[[nodiscard]] double cellStep(double mu) {
  if (mu <= -kCellWidth) return 1.0;
  if (mu >= kCellWidth) return 0.0;
  const double x = mu / kCellWidth;
  const double x2 = x * x;
  return 0.5 - x * (35.0 + x2 * (-35.0 + x2 * (21.0 - 5.0 * x2))) / 32.0;
}

struct Angular {
  std::vector<Vec3> directions;
  std::vector<double> weights;
  std::vector<double> harmonics;  // per direction, kPotentialComponents values, 0 beyond degree
};

// A piece's shells take the inner grid within the radial grid's midpoint, the outer beyond.
struct Angulars {
  Angular outer;
  Angular inner;
};

// Gauss-Legendre in cos(theta) times equal steps in phi: exact for the products of harmonics of
// degree up to 2 * polar - 1; the harmonics it projects on go up to `degree`.
Angular angularGrid(int polar, int degree) {
  const int n = polar;
  Eigen::MatrixXd jacobi = Eigen::MatrixXd::Zero(n, n);
  for (int k = 1; k < n; ++k) {
    jacobi(k, k - 1) = jacobi(k - 1, k) = k / std::sqrt(4.0 * k * k - 1.0);
  }
  const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(jacobi);
  const int azimuths = 2 * polar;
  Angular grid;
  for (int t = 0; t < n; ++t) {
    const double cosine = solver.eigenvalues()(t);
    const double first = solver.eigenvectors()(0, t);
    const double sine = std::sqrt(std::max(0.0, 1.0 - cosine * cosine));
    for (int p = 0; p < azimuths; ++p) {
      const double phi = 2.0 * std::numbers::pi * p / azimuths;
      grid.directions.push_back({sine * std::cos(phi), sine * std::sin(phi), cosine});
      grid.weights.push_back(2.0 * first * first * 2.0 * std::numbers::pi / azimuths);
    }
  }
  constexpr auto kStride = static_cast<std::size_t>(kPotentialComponents);
  grid.harmonics.assign(grid.directions.size() * kStride, 0.0);
  for (std::size_t d = 0; d < grid.directions.size(); ++d) {
    realSphericalHarmonics(
        degree, grid.directions[d],
        {&grid.harmonics[d * kStride], static_cast<std::size_t>((degree + 1) * (degree + 1))});
  }
  return grid;
}

// The atoms in the order of their distance from one of them, with those distances (bohr).
struct Neighbours {
  std::vector<std::size_t> atoms;
  std::vector<double> distances;
};

Neighbours neighboursOf(std::size_t atom, const std::vector<Vec3>& centres) {
  Neighbours neighbours;
  neighbours.atoms.resize(centres.size());
  for (std::size_t b = 0; b < centres.size(); ++b) neighbours.atoms[b] = b;
  std::sort(neighbours.atoms.begin(), neighbours.atoms.end(), [&](std::size_t b, std::size_t c) {
    return norm(centres[b] - centres[atom]) < norm(centres[c] - centres[atom]);
  });
  for (const std::size_t b : neighbours.atoms)
    neighbours.distances.push_back(norm(centres[b] - centres[atom]));
  return neighbours;
}

// The weight of an atom's cell at q, r from the atom: the atom's cell function over the sum of
// those of the atoms within kCellReach of the one nearest q. Within (1 - kCellWidth) / 2 of the
// distance to its nearest neighbour the point is the atom's alone.
double cellWeight(const Vec3& q, double r, const std::vector<Vec3>& centres,
                  const Neighbours& neighbours, std::vector<std::size_t>& near,
                  std::vector<double>& distance) {
  if (neighbours.atoms.size() < 2 || r <= 0.5 * (1.0 - kCellWidth) * neighbours.distances[1]) {
    return 1.0;
  }
  near.clear();
  distance.clear();
  double nearest = r;
  // An atom is at least its distance from this one less r from q, so the scan ends where that
  // passes the nearest so far plus kCellReach; and an atom that zeroes this atom's cell ends it
  // at once.
  for (std::size_t k = 0;
       k < neighbours.atoms.size() && neighbours.distances[k] - r <= nearest + kCellReach; ++k) {
    near.push_back(neighbours.atoms[k]);
    distance.push_back(norm(q - centres[neighbours.atoms[k]]));
    nearest = std::min(nearest, distance.back());
    if (k > 0 && r - distance.back() >= kCellWidth * neighbours.distances[k]) return 0.0;
  }
  if (r > nearest + kCellReach) return 0.0;  // the atom is not among those near q
  std::size_t kept = 0;
  for (std::size_t k = 0; k < near.size(); ++k) {
    if (distance[k] <= nearest + kCellReach) {
      near[kept] = near[k];
      distance[kept] = distance[k];
      ++kept;
    }
  }
  near.resize(kept);
  distance.resize(kept);
  const std::size_t nearestAtom = static_cast<std::size_t>(
      std::min_element(distance.begin(), distance.end()) - distance.begin());
  // Since R_ij <= r_i + r_j, most factors are exactly 0 or 1 with no distance between the atoms
  // to work out; and the atom nearest q, tried first, zeroes most cells at once.
  const auto factor = [&](std::size_t i, std::size_t j) {
    const double gap = distance[i] - distance[j];
    const double reach = kCellWidth * (distance[i] + distance[j]);
    if (gap >= reach) return 0.0;
    if (gap <= -reach) return 1.0;
    return cellStep(gap / norm(centres[near[i]] - centres[near[j]]));
  };
  const auto cell = [&](std::size_t i) {
    double product = i == nearestAtom ? 1.0 : factor(i, nearestAtom);
    for (std::size_t j = 0; j < near.size() && product > 0.0; ++j) {
      if (j != i && j != nearestAtom) product *= factor(i, j);
    }
    return product;
  };
  const double own = cell(0);  // the atom itself is its own nearest neighbour
  if (own == 0.0) return 0.0;
  double sum = own;
  for (std::size_t i = 1; i < near.size(); ++i) sum += cell(i);
  return own / sum;
}

// For each step of a table, where a cubic through four steps from it starts: the least degree L
// whose higher components add at most kNegligiblePotential there. By the addition theorem
// sum_m Y_lm^2 = (2l + 1) / (4 pi) in every direction, so sum_m |U_lm Y_lm| is at most
// |U_l.| sqrt((2l + 1) / (4 pi)); the cubic's weights add to at most 2 in absolute value.
std::vector<int> tableDegrees(const std::vector<double>& table) {
  constexpr std::size_t kRow = kPotentialTableSteps + 1;
  std::vector<int> degrees(kRow, 0);
  for (std::size_t first = 0; first + 3 < kRow; ++first) {
    double rest = 0.0;
    int degree = kPotentialDegree;
    for (; degree > 0; --degree) {
      double largest = 0.0;
      for (std::size_t k = first; k < first + 4; ++k) {
        double squares = 0.0;
        for (int lm = degree * degree; lm <= degree * degree + 2 * degree; ++lm) {
          const double u = table[static_cast<std::size_t>(lm) * kRow + k];
          squares += u * u;
        }
        largest = std::max(largest, squares);
      }
      rest += 2.0 * std::sqrt(largest * (2 * degree + 1) / (4.0 * std::numbers::pi));
      if (!(rest <= kNegligiblePotential)) break;
    }
    degrees[first] = degree;
  }
  return degrees;
}

PotentialPiece pieceOf(const std::vector<Vec3>& centres, std::size_t atom, double core,
                       double midpoint, const Angulars& angulars, const Field& density) {
  PotentialPiece piece;
  piece.position = centres[atom];
  piece.core = core;
  piece.midpoint = midpoint;
  const Neighbours neighbours = neighboursOf(atom, centres);
  constexpr int kRadial = kPotentialRadialPoints;
  const double step = std::numbers::pi / (kRadial + 1);

  // The radial nodes r_i and their weights s^2 ds of the radial rule.
  Eigen::VectorXd nodeRadius(kRadial);
  Eigen::VectorXd nodeWeight(kRadial);
  for (int i = 1; i <= kRadial; ++i) {
    const double x = std::cos(i * step);
    const double r = midpoint * (1.0 + x) / (1.0 - x);
    nodeRadius(i - 1) = r;
    nodeWeight(i - 1) =
        r * r * 2.0 * midpoint / ((1.0 - x) * (1.0 - x)) * std::sin(i * step) * step;
  }

  // The weighted density of the piece on the grid, shell by shell: the cells' weights first,
  // and the density only where a weight is left.
  const auto directionsOf = [](const Angular& angular) {
    return static_cast<Eigen::Index>(angular.directions.size());
  };
  Eigen::MatrixXd weightedOuter = Eigen::MatrixXd::Zero(kRadial, directionsOf(angulars.outer));
  Eigen::MatrixXd weightedInner = Eigen::MatrixXd::Zero(kRadial, directionsOf(angulars.inner));
  std::vector<double> shellCharge(kRadial);
  std::vector<Vec3> points;
  std::vector<std::size_t> kept;
  std::vector<double> cells;
  std::vector<double> values;
  std::vector<std::size_t> near;
  std::vector<double> distance;
  for (int i = 0; i < kRadial; ++i) {
    const double r = nodeRadius(i);
    const bool inner = r < midpoint;
    const Angular& angular = inner ? angulars.inner : angulars.outer;
    Eigen::MatrixXd& weighted = inner ? weightedInner : weightedOuter;
    points.clear();
    kept.clear();
    cells.clear();
    for (std::size_t d = 0; d < angular.directions.size(); ++d) {
      const Vec3 q = piece.position + r * angular.directions[d];
      const double cell = cellWeight(q, r, centres, neighbours, near, distance);
      if (cell == 0.0) continue;
      points.push_back(kBohrInAngstrom * q);
      kept.push_back(d);
      cells.push_back(cell);
    }
    values.resize(points.size());
    density.valuesAt(points, values);
    double charge = 0.0;
    for (std::size_t k = 0; k < kept.size(); ++k) {
      const double value = angular.weights[kept[k]] * cells[k] * values[k];
      weighted(i, static_cast<Eigen::Index>(kept[k])) = value * nodeWeight(i);
      charge += std::abs(value);
    }
    shellCharge[static_cast<std::size_t>(i)] = charge * nodeWeight(i);
  }
  // rho_lm(r_i) s^2 ds of the piece at the radial nodes.
  using Harmonics = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;
  const auto harmonicsOf = [&](const Angular& angular) {
    return Eigen::Map<const Harmonics>(angular.harmonics.data(), directionsOf(angular),
                                       kPotentialComponents);
  };
  const Eigen::MatrixXd components =
      weightedOuter * harmonicsOf(angulars.outer) + weightedInner * harmonicsOf(angulars.inner);
  double outside = 0.0;
  piece.extent = 0.0;
  for (int i = 0; i < kRadial; ++i) {
    outside += shellCharge[static_cast<std::size_t>(i)];
    if (outside > kNegligibleCharge) {
      piece.extent = i == 0 ? std::numeric_limits<double>::infinity()
                            : midpoint * (1.0 + std::cos(i * step)) / (1.0 - std::cos(i * step));
      break;
    }
  }

  // The radial Poisson equation, U_lm(r) = 4 pi / (2l + 1) integral rho_lm(s) s^2
  // r_<^l / r_>^(l+1) ds, by the radial rule at every step of the table: the kernel is at most
  // 1 / max(r, s), so no power of a small radius can magnify the rounding of the sums. The
  // kernel depends on l alone, so each degree is one product of matrices.
  piece.table.assign(static_cast<std::size_t>(kPotentialComponents) * (kPotentialTableSteps + 1),
                     0.0);
  piece.moments.assign(kPotentialComponents, 0.0);
  piece.degreeSize.assign(kPotentialDegree + 1, 0.0);
  Eigen::MatrixXd ratio(kPotentialTableSteps, kRadial);    // r_< / r_> of table step j and node i
  Eigen::MatrixXd kernel(kPotentialTableSteps, kRadial);   // (r_< / r_>)^l / r_>
  Eigen::VectorXd power = Eigen::VectorXd::Ones(kRadial);  // r_i^l
  for (int j = 1; j <= kPotentialTableSteps; ++j) {
    const double x = std::cos(std::numbers::pi * j / kPotentialTableSteps);
    const double r = midpoint * (1.0 + x) / (1.0 - x);
    for (int i = 0; i < kRadial; ++i) {
      const double s = nodeRadius(i);
      ratio(j - 1, i) = std::min(r, s) / std::max(r, s);
      kernel(j - 1, i) = 1.0 / std::max(r, s);
    }
  }
  for (int l = 0; l <= kPotentialDegree; ++l) {
    const double factor = 4.0 * std::numbers::pi / (2 * l + 1);
    const Eigen::MatrixXd degree = factor * kernel * components.middleCols(l * l, 2 * l + 1);
    for (int m = 0; m <= 2 * l; ++m) {
      const int lm = l * l + m;
      const double moment = power.dot(components.col(lm));
      piece.moments[static_cast<std::size_t>(lm)] = moment;
      piece.degreeSize[static_cast<std::size_t>(l)] += moment * moment;
      double* row = &piece.table[static_cast<std::size_t>(lm) * (kPotentialTableSteps + 1)];
      for (int j = 1; j <= kPotentialTableSteps; ++j) row[j] = degree(j - 1, m);
    }
    piece.degreeSize[static_cast<std::size_t>(l)] =
        std::sqrt(factor * piece.degreeSize[static_cast<std::size_t>(l)]);
    kernel = kernel.cwiseProduct(ratio);
    power = power.cwiseProduct(nodeRadius);
  }
  piece.tableDegree = tableDegrees(piece.table);
  return piece;
}

// The piece's core less its electrons (e).
double netCharge(const PotentialPiece& piece) {
  return piece.core - std::sqrt(4.0 * std::numbers::pi) * piece.moments[0];
}

// sqrt((l + 1)(2l + 1)): a degree-l term of size S at r changes by at most this times
// S / r^(l+2) per bohr.
const std::array<double, kPotentialDegree + 1> kGradientFactors = [] {
  std::array<double, kPotentialDegree + 1> factors{};
  for (int l = 0; l <= kPotentialDegree; ++l) {
    factors[static_cast<std::size_t>(l)] = std::sqrt((l + 1.0) * (2 * l + 1));
  }
  return factors;
}();

double distanceToBox(const Vec3& p, const Vec3& low, const Vec3& high) {
  const auto gap = [](double c, double from, double to) {
    return std::max(std::max(from - c, c - to), 0.0);
  };
  const double dx = gap(p.x, low.x, high.x);
  const double dy = gap(p.y, low.y, high.y);
  const double dz = gap(p.z, low.z, high.z);
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The piece's potential at d from its atom (bohr), r = |d| > 0; with kGradient, its gradient
// (per bohr) added to `gradient`. The value is the same either way. The harmonics and their
// gradients over the sphere go to the spans given, kPotentialComponents each.
template <bool kGradient>
double pieceAt(const PotentialPiece& piece, const Vec3& d, double r, double inverse,
               std::span<double> harmonics, std::span<Vec3> harmonicGradients, Vec3& gradient) {
  const Vec3 direction = r > 0.0 ? inverse * d : Vec3{0.0, 0.0, 1.0};
  const auto evaluateHarmonics = [&](int degree) {
    if constexpr (kGradient) {
      realSphericalHarmonicsWithGradients(degree, direction, harmonics, harmonicGradients);
    } else {
      realSphericalHarmonics(degree, direction, harmonics);
    }
  };
  if (r >= piece.extent) {
    // Beyond the piece: its multipoles, as far as they matter. The powers of 1 / r are products,
    // not quotients: with a chain of divisions the water cluster's map took 40 % longer at its
    // vertices.
    std::array<double, kPotentialDegree + 1> inversePowers;  // r^-(l + 1)
    inversePowers[0] = inverse;
    for (int l = 1; l <= kPotentialDegree; ++l) {
      inversePowers[static_cast<std::size_t>(l)] =
          inversePowers[static_cast<std::size_t>(l - 1)] * inverse;
    }
    int degree = kPotentialDegree;
    double rest = 0.0;
    while (degree > 0) {
      rest += piece.degreeSize[static_cast<std::size_t>(degree)] *
              inversePowers[static_cast<std::size_t>(degree)];
      if (rest > kNegligiblePotential) break;
      --degree;
    }
    evaluateHarmonics(degree);
    double sum = 0.0;
    for (int l = 0; l <= degree; ++l) {
      const double factor =
          4.0 * std::numbers::pi / (2 * l + 1) * inversePowers[static_cast<std::size_t>(l)];
      double ofDegree = 0.0;  // sum_m Q_lm Y_lm
      Vec3 across;            // its gradient over the sphere
      for (int lm = l * l; lm <= l * l + 2 * l; ++lm) {
        const double moment = piece.moments[static_cast<std::size_t>(lm)];
        sum += factor * moment * harmonics[static_cast<std::size_t>(lm)];
        if constexpr (kGradient) {
          ofDegree += moment * harmonics[static_cast<std::size_t>(lm)];
          across = across + moment * harmonicGradients[static_cast<std::size_t>(lm)];
        }
      }
      // The gradient of r^-(l + 1) A(direction) is r^-(l + 2) (grad A - (l + 1) A direction).
      if constexpr (kGradient) {
        gradient = gradient + factor * inverse * (across - (l + 1.0) * ofDegree * direction);
      }
    }
    return sum;
  }
  // Cubic Lagrange interpolation in the table's angle.
  const double theta =
      std::acos(std::clamp((r - piece.midpoint) / (r + piece.midpoint), -1.0, 1.0));
  const double at = theta / std::numbers::pi * kPotentialTableSteps;
  const int first = std::clamp(static_cast<int>(at) - 1, 0, kPotentialTableSteps - 3);
  const double t = at - first;  // in [0, 3]
  const double weights[4] = {-(t - 1) * (t - 2) * (t - 3) / 6.0, t * (t - 2) * (t - 3) / 2.0,
                             -t * (t - 1) * (t - 3) / 2.0, t * (t - 1) * (t - 2) / 6.0};
  // The weights' derivatives in r: theta = acos((r - m) / (r + m)) falls by sqrt(m / r) / (r + m).
  double slopes[4] = {};
  if constexpr (kGradient) {
    const double perR = -kPotentialTableSteps / std::numbers::pi *
                        std::sqrt(piece.midpoint * inverse) / (r + piece.midpoint);
    slopes[0] = -((t - 2) * (t - 3) + (t - 1) * (t - 3) + (t - 1) * (t - 2)) / 6.0 * perR;
    slopes[1] = ((t - 2) * (t - 3) + t * (t - 3) + t * (t - 2)) / 2.0 * perR;
    slopes[2] = -((t - 1) * (t - 3) + t * (t - 3) + t * (t - 1)) / 2.0 * perR;
    slopes[3] = ((t - 1) * (t - 2) + t * (t - 2) + t * (t - 1)) / 6.0 * perR;
  }
  const int degree = piece.tableDegree[static_cast<std::size_t>(first)];
  evaluateHarmonics(degree);
  double sum = 0.0;
  double radial = 0.0;  // sum U_lm' Y_lm
  Vec3 across;          // sum U_lm grad Y_lm over the sphere
  for (int lm = 0; lm < (degree + 1) * (degree + 1); ++lm) {
    const double* row = &piece.table[static_cast<std::size_t>(lm) * (kPotentialTableSteps + 1) +
                                     static_cast<std::size_t>(first)];
    const double u =
        weights[0] * row[0] + weights[1] * row[1] + weights[2] * row[2] + weights[3] * row[3];
    sum += u * harmonics[static_cast<std::size_t>(lm)];
    if constexpr (kGradient) {
      const double slope =
          slopes[0] * row[0] + slopes[1] * row[1] + slopes[2] * row[2] + slopes[3] * row[3];
      radial += slope * harmonics[static_cast<std::size_t>(lm)];
      across = across + u * harmonicGradients[static_cast<std::size_t>(lm)];
    }
  }
  if constexpr (kGradient) gradient = gradient + radial * direction + inverse * across;
  return sum;
}

}  // namespace

PotentialField::PotentialField(const std::vector<CalculationAtom>& atoms,
                               const std::vector<double>& cores, const Field& density, int threads,
                               const PieceMaking& making) {
  std::vector<Vec3> centres;
  for (const CalculationAtom& atom : atoms) {
    centres.push_back(kBohrPerAngstrom * atom.position);
    m_centre = m_centre + centres.back();
  }
  if (!atoms.empty()) m_centre = (1.0 / static_cast<double>(atoms.size())) * m_centre;
  const Angulars angulars{angularGrid(kPotentialPolarPoints, kPotentialDegree),
                          angularGrid(kPotentialInnerPolarPoints, kPotentialInnerDegree)};
  m_pieces.resize(atoms.size());
  std::atomic<std::size_t> next{0};
  std::atomic<std::size_t> made{0};
  const auto work = [&](bool tells) {
    for (std::size_t a = next++; a < atoms.size() && !making.stop.stop_requested(); a = next++) {
      const std::optional<int> number = atomicNumber(atoms[a].symbol);
      const double radius = covalentRadius(number.value_or(0)) * kBohrPerAngstrom;
      m_pieces[a] = pieceOf(centres, a, a < cores.size() ? cores[a] : 0.0,
                            number == 1 ? radius : 0.5 * radius, angulars, density);
      ++made;
      if (tells && making.madePieces) making.madePieces(made, atoms.size());
    }
  };
  // The library runs a task on this thread when the system has no thread to spare for it.
  std::vector<std::future<void>> tasks;
  for (int t = 1; t < threads; ++t) {
    tasks.push_back(std::async(std::launch::async | std::launch::deferred, work, false));
  }
  work(true);
  for (std::future<void>& task : tasks) task.get();
  if (made < atoms.size()) throw PotentialCancelled{};
  if (!m_pieces.empty()) formGroups();
}

void PotentialField::formGroups() {
  // The electrons' degree-1 term, -(4 pi / 3) sum_m Q_1m Y_1m(u) / r^2, as p . u / r^2.
  std::array<std::array<double, 4>, 3> axisHarmonics{};
  const std::array<Vec3, 3> axes{Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}};
  for (std::size_t k = 0; k < 3; ++k) realSphericalHarmonics(1, axes[k], axisHarmonics[k]);
  for (std::size_t a = 0; a < m_pieces.size(); ++a) {
    const PotentialPiece& piece = m_pieces[a];
    PieceGroup single;
    single.centre = piece.position;
    single.charge = netCharge(piece);
    double p[3] = {};
    for (std::size_t k = 0; k < 3; ++k) {
      for (std::size_t lm = 1; lm < 4; ++lm) {
        p[k] -= 4.0 * std::numbers::pi / 3.0 * piece.moments[lm] * axisHarmonics[k][lm];
      }
    }
    single.dipole = {p[0], p[1], p[2]};
    single.piece = a;
    m_groups.push_back(single);
  }
  // A hydrogen (a core of one) joins the nearest heavier atom within a bond's length.
  std::vector<std::vector<std::size_t>> withHydrogens(m_pieces.size());
  for (std::size_t a = 0; a < m_pieces.size(); ++a) {
    std::size_t host = a;
    if (m_pieces[a].core <= 1.0) {
      double nearest = kHydrogenBond;
      for (std::size_t b = 0; b < m_pieces.size(); ++b) {
        const double distance = norm(m_pieces[b].position - m_pieces[a].position);
        if (m_pieces[b].core > 1.0 && distance < nearest) {
          nearest = distance;
          host = b;
        }
      }
    }
    withHydrogens[host].push_back(a);
  }
  std::vector<std::size_t> united;
  for (const std::vector<std::size_t>& members : withHydrogens) {
    if (members.size() == 1) united.push_back(members.front());
    if (members.size() > 1) united.push_back(groupOf(members));
  }
  m_allGroup = splitGroups(std::move(united));
}

std::size_t PotentialField::groupOf(std::vector<std::size_t> parts) {
  PieceGroup group;
  for (const std::size_t part : parts) group.centre = group.centre + m_groups[part].centre;
  group.centre = (1.0 / static_cast<double>(parts.size())) * group.centre;
  for (const std::size_t part : parts) {
    const PieceGroup& member = m_groups[part];
    group.charge += member.charge;
    group.dipole = group.dipole + member.charge * (member.centre - group.centre) + member.dipole;
  }
  group.parts = std::move(parts);
  m_groups.push_back(std::move(group));
  return m_groups.size() - 1;
}

std::size_t PotentialField::splitGroups(std::vector<std::size_t> parts) {
  if (parts.size() == 1) return parts.front();
  Vec3 low = m_groups[parts.front()].centre;
  Vec3 high = low;
  for (const std::size_t part : parts) {
    const Vec3& c = m_groups[part].centre;
    low = {std::min(low.x, c.x), std::min(low.y, c.y), std::min(low.z, c.z)};
    high = {std::max(high.x, c.x), std::max(high.y, c.y), std::max(high.z, c.z)};
  }
  const Vec3 side = high - low;
  const int axis = side.x >= side.y && side.x >= side.z ? 0 : side.y >= side.z ? 1 : 2;
  const auto along = [&](std::size_t part) {
    const Vec3& c = m_groups[part].centre;
    return axis == 0 ? c.x : axis == 1 ? c.y : c.z;
  };
  const auto middle = parts.begin() + static_cast<std::ptrdiff_t>(parts.size() / 2);
  std::nth_element(parts.begin(), middle, parts.end(),
                   [&](std::size_t a, std::size_t b) { return along(a) < along(b); });
  const std::size_t lower = splitGroups({parts.begin(), middle});
  const std::size_t upper = splitGroups({middle, parts.end()});
  return groupOf({lower, upper});
}

template <bool kGradient>
double PotentialField::potentialAt(const Vec3& point, std::span<double> harmonics,
                                   std::span<Vec3> harmonicGradients, Vec3& gradient) const {
  const Vec3 p = kBohrPerAngstrom * point;
  double v = 0.0;
  for (const PotentialPiece& piece : m_pieces) {
    const Vec3 d = p - piece.position;
    const double r = norm(d);
    const double inverse = 1.0 / r;
    Vec3 ofPiece;
    v += piece.core * (r > kNearestCore ? inverse : 1.0 / kNearestCore) -
         pieceAt<kGradient>(piece, d, r, inverse, harmonics, harmonicGradients, ofPiece);
    if constexpr (kGradient) {
      gradient = gradient - piece.core * inverse * inverse * inverse * d - ofPiece;
    }
  }
  return v;
}

void PotentialField::valuesAt(std::span<const Vec3> points, std::span<double> values) const {
  std::vector<double> harmonics(kPotentialComponents);
  Vec3 unused;
  for (std::size_t i = 0; i < points.size(); ++i) {
    values[i] = potentialAt<false>(points[i], harmonics, {}, unused);
  }
}

void PotentialField::samplesAt(std::span<const Vec3> points, std::span<FieldSample> samples) const {
  std::vector<double> harmonics(kPotentialComponents);
  std::vector<Vec3> harmonicGradients(kPotentialComponents);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const Vec3& p = points[i];
    if (!nearANucleus(p)) {
      Vec3 gradient;
      const double value = potentialAt<true>(p, harmonics, harmonicGradients, gradient);
      samples[i] = {value, kBohrPerAngstrom * gradient};
      continue;
    }
    const std::array<Vec3, 7> around{p,
                                     p + Vec3{kGradientStep, 0, 0},
                                     p - Vec3{kGradientStep, 0, 0},
                                     p + Vec3{0, kGradientStep, 0},
                                     p - Vec3{0, kGradientStep, 0},
                                     p + Vec3{0, 0, kGradientStep},
                                     p - Vec3{0, 0, kGradientStep}};
    std::array<double, 7> values;
    valuesAt(around, values);
    const double twice = 2.0 * kGradientStep;
    samples[i] = {values[0], Vec3{(values[1] - values[2]) / twice, (values[3] - values[4]) / twice,
                                  (values[5] - values[6]) / twice}};
  }
}

bool PotentialField::nearANucleus(const Vec3& point) const {
  const Vec3 p = kBohrPerAngstrom * point;
  return std::any_of(m_pieces.begin(), m_pieces.end(), [&](const PotentialPiece& piece) {
    return !(norm(p - piece.position) > kAnalyticGradientReach);
  });
}

double PotentialField::boundOfMagnitude(const Vec3& low, const Vec3& high) const {
  const Vec3 lowBohr = kBohrPerAngstrom * low;
  const Vec3 highBohr = kBohrPerAngstrom * high;
  const auto nearestTo = [&](const Vec3& p) { return distanceToBox(p, lowBohr, highBohr); };
  // The pieces' net charges q_A over |r - R_A| are the molecule's charge over |r - C| plus
  // q_A (1 / |r - R_A| - 1 / |r - C|), each at most |q_A| |R_A - C| / (|r - R_A| |r - C|): so
  // the bound of a neutral molecule falls as the square of the distance, as its potential does.
  // The same distances give the bound of the gradient that the bound from the box's centre needs.
  const double nearestCentre = nearestTo(m_centre);
  // A NaN compares false: no bound then.
  if (!(nearestCentre > 0.0)) return std::numeric_limits<double>::infinity();
  double bound = 0.0;
  double charge = 0.0;
  double gradient = 0.0;
  for (const PotentialPiece& piece : m_pieces) {
    const double nearest = nearestTo(piece.position);
    if (!(nearest > piece.extent)) return std::numeric_limits<double>::infinity();
    const double net = netCharge(piece);
    charge += net;
    bound += std::abs(net) * norm(piece.position - m_centre) / (nearest * nearestCentre);
    double power = 1.0 / (nearest * nearest);  // r^-(l + 1), and r^-(l + 2) for the gradient
    gradient += std::abs(net) * power;
    for (int l = 1; l <= kPotentialDegree; ++l) {
      const double size = piece.degreeSize[static_cast<std::size_t>(l)];
      bound += size * power;
      power /= nearest;
      gradient += kGradientFactors[static_cast<std::size_t>(l)] * size * power;
    }
  }
  bound += std::abs(charge) / nearestCentre;
  const bool unbounded = !std::isfinite(norm(high - low));
  if (unbounded && !m_groups.empty()) {
    // The values leave out degrees worth at most kNegligiblePotential per piece (dipoles among
    // them), where the groups' bound is one of the whole expansions.
    const double leftOut = kNegligiblePotential * static_cast<double>(m_pieces.size());
    bound = std::min(bound, boundFromGroups(m_allGroup, lowBohr, highBohr) + leftOut);
  }
  return std::min(bound, boundFromCentre(low, high, gradient)) * (1.0 + 1e-9);
}

double PotentialField::groupRemainder(std::size_t index, double rho) const {
  const PieceGroup& group = m_groups[index];
  if (group.parts.empty()) {
    const PotentialPiece& piece = m_pieces[group.piece];
    // A NaN compares false: no bound then.
    if (!(rho > piece.extent)) return std::numeric_limits<double>::infinity();
    double remainder = 0.0;
    double power = 1.0 / (rho * rho);
    for (int l = 2; l <= kPotentialDegree; ++l) {
      power /= rho;
      remainder += piece.degreeSize[static_cast<std::size_t>(l)] * power;
    }
    return remainder;
  }
  // A part's charge Q and dipole D at t from this centre, seen from rho > t: by the expansion in
  // Legendre polynomials (|P_n| <= 1, the gradient of s^n P_n at most 2n s^(n-1)), Q / |r - c|
  // is Q / rho + Q t . n / rho^2 within |Q| t^2 / (rho^2 (rho - t)), and D's term is D . n /
  // rho^2 within 2 |D| (1 / (rho - t)^2 - 1 / rho^2).
  double remainder = 0.0;
  for (const std::size_t partIndex : group.parts) {
    const PieceGroup& part = m_groups[partIndex];
    const double t = norm(part.centre - group.centre);
    const double nearer = rho - t;
    if (!(nearer > 0.0)) return std::numeric_limits<double>::infinity();
    remainder += groupRemainder(partIndex, nearer) +
                 std::abs(part.charge) * t * t / (rho * rho * nearer) +
                 2.0 * norm(part.dipole) * (1.0 / (nearer * nearer) - 1.0 / (rho * rho));
  }
  return remainder;
}

double PotentialField::boundFromGroups(std::size_t index, const Vec3& lowBohr,
                                       const Vec3& highBohr) const {
  const PieceGroup& group = m_groups[index];
  const double rho = distanceToBox(group.centre, lowBohr, highBohr);
  const double bound =
      std::abs(group.charge) / rho + norm(group.dipole) / (rho * rho) + groupRemainder(index, rho);
  double ofParts = 0.0;
  for (const std::size_t part : group.parts) ofParts += boundFromGroups(part, lowBohr, highBohr);
  return group.parts.empty() ? bound : std::min(bound, ofParts);
}

double PotentialField::boundFromCentre(const Vec3& low, const Vec3& high, double gradient) const {
  const Vec3 centre = 0.5 * (low + high);
  const double halfDiagonal = 0.5 * kBohrPerAngstrom * norm(high - low);
  if (!std::isfinite(halfDiagonal)) return std::numeric_limits<double>::infinity();
  double value = 0.0;
  valuesAt({&centre, 1}, {&value, 1});
  // Each piece's computed value leaves out degrees worth at most kNegligiblePotential, at the
  // centre and at any point of the box alike.
  const double leftOut = 2.0 * kNegligiblePotential * static_cast<double>(m_pieces.size());
  return std::abs(value) + leftOut + halfDiagonal * gradient;
}

double PotentialField::charge() const {
  double charge = 0.0;
  for (const PotentialPiece& piece : m_pieces) charge += netCharge(piece);
  return charge;
}

}  // namespace lobewright
