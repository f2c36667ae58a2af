#include "orbital/slater_overlap.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numbers>
#include <vector>

#include "orbital/prolate_polynomial.h"

namespace lobewright {
namespace {

constexpr double kAngstromPerBohr = 0.52917721092;
// Centres closer than this (bohr) are one centre.
constexpr double kSameCentre = 1e-10;
constexpr int kMaxL = 2;

// With the centres A and B at z = -R/2 and +R/2 and u = R/2:
//   r_a = u (xi + eta), r_b = u (xi - eta), z_a = u (xi eta + 1), z_b = u (xi eta - 1),
//   rho^2 = x^2 + y^2 = u^2 (xi^2 - 1)(1 - eta^2), dV = u^3 (xi^2 - eta^2) dxi deta dphi.
// The polynomials below leave out the powers of u.
const ProlatePolynomial& rhoSquared() {
  static const ProlatePolynomial p =
      ProlatePolynomial::terms({{2, 0, 1}, {2, 2, -1}, {0, 0, -1}, {0, 2, 1}});
  return p;
}

// A real function of angular momentum l and |m| in the frame along the bond, written as
// constant * (a polynomial in z and rho^2) * rho^m * cos(m phi) or sin(m phi). In MOPAC's order
// (x, y, z for p; X2, XZ, Z2, YZ, XY for d) each function's m, and whether it goes with sin.
struct AngularPart {
  int m = 0;
  bool sine = false;
};
constexpr std::array<AngularPart, 1> kSParts = {{{0, false}}};
constexpr std::array<AngularPart, 3> kPParts = {{{1, false}, {1, true}, {0, false}}};
constexpr std::array<AngularPart, 5> kDParts = {
    {{2, false}, {1, false}, {0, false}, {1, true}, {2, true}}};

int functionCount(int l) { return 2 * l + 1; }

const AngularPart& angularPart(int l, int index) {
  if (l == 0) return kSParts[0];
  if (l == 1) return kPParts[static_cast<std::size_t>(index)];
  return kDParts[static_cast<std::size_t>(index)];
}

// The constant: Y(1,0) = sqrt(3 / 4pi) z / r, Y(2,0) = sqrt(5 / 16pi) (2z^2 - rho^2) / r^2,
// Y(2,1) = sqrt(15 / 4pi) z rho cos(phi) / r^2, Y(2,2) = sqrt(15 / 16pi) rho^2 cos(2 phi) / r^2.
double sphericalNorm(int l, int m) {
  if (l == 0) return std::sqrt(1.0 / (4.0 * std::numbers::pi));
  if (l == 1) return std::sqrt(3.0 / (4.0 * std::numbers::pi));
  if (m == 1) return std::sqrt(15.0 / (4.0 * std::numbers::pi));
  return std::sqrt((m == 0 ? 5.0 : 15.0) / (16.0 * std::numbers::pi));
}

// The polynomial in z and rho^2, with z as given.
ProlatePolynomial angularProlatePolynomial(int l, int m, const ProlatePolynomial& z) {
  if (l == 2 && m == 0) return ProlatePolynomial::constant(2.0) * z * z - rhoSquared();
  if (l - m == 1) return z;
  return ProlatePolynomial::constant(1.0);
}

double logNormalisation(int n, double zeta) {
  return (n + 0.5) * std::log(2.0 * zeta) - 0.5 * std::lgamma(2.0 * n + 1.0);
}

// A_k = int_1^inf xi^k exp(-alpha xi) = exp(-alpha) a_k, with a_0 = 1 / alpha and
// a_k = (k a_{k-1} + 1) / alpha: sums of positive terms, stable for every alpha > 0.
std::vector<double> scaledA(double alpha, int kMax) {
  std::vector<double> a(static_cast<std::size_t>(kMax + 1));
  a[0] = 1.0 / alpha;
  for (int k = 1; k <= kMax; ++k) a[k] = (k * a[k - 1] + 1.0) / alpha;
  return a;
}

// B_k = int_-1^1 eta^k exp(-beta eta) = exp(|beta|) b_k. For |beta| well above k the upward
// recursion B_k = ((-1)^k e^beta - e^-beta + k B_{k-1}) / beta is stable; below, the power series
// sum_i (-beta)^i / i! * 2 / (k + i + 1) over i with k + i even, whose terms share one sign.
std::vector<double> scaledB(double beta, int kMax) {
  std::vector<double> b(static_cast<std::size_t>(kMax + 1));
  const double size = std::abs(beta);
  if (size > kMax + 2.0) {
    const double plus = std::exp(beta - size);
    const double minus = std::exp(-beta - size);
    b[0] = (plus - minus) / beta;
    for (int k = 1; k <= kMax; ++k) {
      b[k] = ((k % 2 == 0 ? plus : -plus) - minus + k * b[k - 1]) / beta;
    }
    return b;
  }
  constexpr int kMaxTerms = 200;
  const double scale = std::exp(-size);
  for (int k = 0; k <= kMax; ++k) {
    double sum = 0.0;
    double term = 1.0;  // (-beta)^i / i!
    for (int i = 0; i < kMaxTerms; ++i) {
      if ((k + i) % 2 == 0) {
        const double add = term * 2.0 / (k + i + 1);
        sum += add;
        if (i > size && std::abs(add) <= 1e-17 * std::abs(sum)) break;
      }
      term *= -beta / (i + 1);
      if (term == 0.0) break;
    }
    b[k] = sum * scale;
  }
  return b;
}

struct ShellKind {
  int n = 1;
  int l = 0;
  double zeta = 1.0;
};

// Overlaps of two shells in the frame along the bond, per m (sigma, pi, delta): the same for
// the cos and the sin partner. The polynomials depend on n, l and m only and are kept.
class BondFrame {
 public:
  std::array<double, kMaxL + 1> overlaps(const ShellKind& a, const ShellKind& b, double distance) {
    std::array<double, kMaxL + 1> result{};
    const double u = distance / 2.0;
    const double alpha = u * (a.zeta + b.zeta);
    const double beta = u * (a.zeta - b.zeta);
    const double logScale = logNormalisation(a.n, a.zeta) + logNormalisation(b.n, b.zeta) +
                            (a.n + b.n + 1) * std::log(u) - (alpha - std::abs(beta));
    const double scale = std::exp(logScale);
    for (int m = 0; m <= std::min(a.l, b.l); ++m) {
      const ProlatePolynomial& p = polynomial(a, b, m);
      const std::vector<double> scaledAs = scaledA(alpha, p.xiDegree());
      const std::vector<double> scaledBs = scaledB(beta, p.etaDegree());
      double sum = 0.0;
      for (int i = 0; i <= p.xiDegree(); ++i) {
        double row = 0.0;
        for (int j = 0; j <= p.etaDegree(); ++j) row += p.at(i, j) * scaledBs[j];
        sum += row * scaledAs[i];
      }
      const double phiIntegral = m == 0 ? 2.0 * std::numbers::pi : std::numbers::pi;
      result[m] = sphericalNorm(a.l, m) * sphericalNorm(b.l, m) * phiIntegral * scale * sum;
    }
    return result;
  }

 private:
  const ProlatePolynomial& polynomial(const ShellKind& a, const ShellKind& b, int m) {
    const std::array<int, 5> key = {a.n, a.l, b.n, b.l, m};
    auto found = m_polynomials.find(key);
    if (found != m_polynomials.end()) return found->second;
    const ProlatePolynomial xiPlusEta = ProlatePolynomial::terms({{1, 0, 1}, {0, 1, 1}});
    const ProlatePolynomial xiMinusEta = ProlatePolynomial::terms({{1, 0, 1}, {0, 1, -1}});
    const ProlatePolynomial zA = ProlatePolynomial::terms({{1, 1, 1}, {0, 0, 1}});
    const ProlatePolynomial zB = ProlatePolynomial::terms({{1, 1, 1}, {0, 0, -1}});
    const ProlatePolynomial jacobian = ProlatePolynomial::terms({{2, 0, 1}, {0, 2, -1}});
    const ProlatePolynomial product =
        xiPlusEta.power(a.n - 1 - a.l) * angularProlatePolynomial(a.l, m, zA) *
        xiMinusEta.power(b.n - 1 - b.l) * angularProlatePolynomial(b.l, m, zB) *
        rhoSquared().power(m) * jacobian;
    return m_polynomials.emplace(key, product).first->second;
  }

  std::map<std::array<int, 5>, ProlatePolynomial> m_polynomials;
};

// The rotation that carries the bond frame (z' from A to B) into the molecule's frame, for the
// functions of one l: phi_i = sum_j t[i][j] phi'_j, both in MOPAC's order.
using Rotation = std::array<std::array<double, 5>, 5>;

std::array<Vec3, 3> bondAxes(const Vec3& direction) {
  const Vec3 z = direction;
  // The molecule's axis least along the bond gives x'.
  Vec3 axis{1.0, 0.0, 0.0};
  if (std::abs(z.y) < std::abs(z.x) && std::abs(z.y) <= std::abs(z.z)) {
    axis = {0.0, 1.0, 0.0};
  } else if (std::abs(z.z) < std::abs(z.x) && std::abs(z.z) < std::abs(z.y)) {
    axis = {0.0, 0.0, 1.0};
  }
  const Vec3 along = axis - dot(axis, z) * z;
  const Vec3 x = (1.0 / norm(along)) * along;
  return {x, cross(z, x), z};
}

double component(const Vec3& v, int i) { return i == 0 ? v.x : i == 1 ? v.y : v.z; }

// For d, each function is c_i q_i(x) with q_i a quadratic form: x^2 - y^2, xz, 3z^2 - r^2, yz,
// xy. Written in the bond frame's coordinates (x = M x'), q_i becomes a traceless form Q', which
// is a q_xx - ... combination of the same five forms.
std::array<Rotation, kMaxL + 1> rotations(const std::array<Vec3, 3>& axes) {
  std::array<Rotation, kMaxL + 1> t{};
  t[0][0][0] = 1.0;
  // M[i][j]: molecule component i of bond axis j.
  std::array<std::array<double, 3>, 3> mat{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) mat[i][j] = component(axes[static_cast<std::size_t>(j)], i);
  }
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) t[1][i][j] = mat[i][j];
  }
  using Form = std::array<std::array<double, 3>, 3>;
  const std::array<Form, 5> forms = {{
      {{{1, 0, 0}, {0, -1, 0}, {0, 0, 0}}},
      {{{0, 0, 0.5}, {0, 0, 0}, {0.5, 0, 0}}},
      {{{-1, 0, 0}, {0, -1, 0}, {0, 0, 2}}},
      {{{0, 0, 0}, {0, 0, 0.5}, {0, 0.5, 0}}},
      {{{0, 0.5, 0}, {0.5, 0, 0}, {0, 0, 0}}},
  }};
  const std::array<double, 5> constants = {sphericalNorm(2, 2), sphericalNorm(2, 1),
                                           sphericalNorm(2, 0), sphericalNorm(2, 1),
                                           sphericalNorm(2, 2) * 2.0};
  for (int f = 0; f < 5; ++f) {
    Form q{};  // M^T Q M
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        double sum = 0.0;
        for (int k = 0; k < 3; ++k) {
          for (int l = 0; l < 3; ++l) sum += mat[k][i] * forms[f][k][l] * mat[l][j];
        }
        q[i][j] = sum;
      }
    }
    const std::array<double, 5> coefficients = {(q[0][0] - q[1][1]) / 2.0, 2.0 * q[0][2],
                                                q[2][2] / 2.0, 2.0 * q[1][2], 2.0 * q[0][1]};
    for (int g = 0; g < 5; ++g) t[2][f][g] = constants[f] * coefficients[g] / constants[g];
  }
  return t;
}

// The molecule-frame block of overlaps between two shells on different centres.
Rotation shellBlock(BondFrame& frame, const ShellKind& a, const Vec3& centreA, const ShellKind& b,
                    const Vec3& centreB) {
  const Vec3 bond = centreB - centreA;
  const double distance = norm(bond);
  const std::array<double, kMaxL + 1> bondOverlaps = frame.overlaps(a, b, distance);
  const std::array<Rotation, kMaxL + 1> t = rotations(bondAxes((1.0 / distance) * bond));
  const Rotation& ta = t[static_cast<std::size_t>(a.l)];
  const Rotation& tb = t[static_cast<std::size_t>(b.l)];
  Rotation block{};
  for (int i = 0; i < functionCount(a.l); ++i) {
    for (int k = 0; k < functionCount(b.l); ++k) {
      double sum = 0.0;
      for (int j = 0; j < functionCount(a.l); ++j) {
        const AngularPart& partA = angularPart(a.l, j);
        for (int l = 0; l < functionCount(b.l); ++l) {
          const AngularPart& partB = angularPart(b.l, l);
          if (partA.m != partB.m || partA.sine != partB.sine) continue;
          sum += ta[i][j] * tb[k][l] * bondOverlaps[static_cast<std::size_t>(partA.m)];
        }
      }
      block[i][k] = sum;
    }
  }
  return block;
}

// Functions on one centre: orthogonal unless of the same type, then a radial integral.
double oneCentreOverlap(const BasisFunction& a, const BasisFunction& b) {
  if (a.type != b.type) return 0.0;
  const int n = a.n + b.n;
  return std::exp(logNormalisation(a.n, a.zeta) + logNormalisation(b.n, b.zeta) +
                  std::lgamma(n + 1.0) - (n + 1) * std::log(a.zeta + b.zeta));
}

int indexInShell(AoType type) {
  switch (angularMomentum(type)) {
    case 0:
      return 0;
    case 1:
      return static_cast<int>(type) - static_cast<int>(AoType::px);
    default:
      return static_cast<int>(type) - static_cast<int>(AoType::x2);
  }
}

bool takes(const BasisFunction& f) {
  return f.n >= 1 && f.n <= kMaxOverlapPrincipal && f.n > angularMomentum(f.type) &&
         std::isfinite(f.zeta) && f.zeta > 0.0;
}

ShellKind kindOf(const BasisFunction& f) { return {f.n, angularMomentum(f.type), f.zeta}; }

double overlap(BondFrame& frame, const BasisFunction& a, const Vec3& centreA,
               const BasisFunction& b, const Vec3& centreB) {
  if (norm(centreB - centreA) < kSameCentre) return oneCentreOverlap(a, b);
  const Rotation block = shellBlock(frame, kindOf(a), centreA, kindOf(b), centreB);
  return block[indexInShell(a.type)][indexInShell(b.type)];
}

// The functions of one shell: one atom, one l, n and zeta; -1 where the basis lacks one.
struct Shell {
  int atom = 0;
  ShellKind kind;
  std::array<int, 5> functions{-1, -1, -1, -1, -1};
};

std::vector<Shell> shellsOf(const std::vector<BasisFunction>& basis) {
  std::vector<Shell> shells;
  for (std::size_t i = 0; i < basis.size(); ++i) {
    const BasisFunction& f = basis[i];
    const int slot = indexInShell(f.type);
    const auto same = std::find_if(shells.begin(), shells.end(), [&](const Shell& shell) {
      return shell.atom == f.atom && shell.kind.l == angularMomentum(f.type) &&
             shell.kind.n == f.n && shell.kind.zeta == f.zeta &&
             shell.functions[static_cast<std::size_t>(slot)] < 0;
    });
    Shell& shell = same != shells.end() ? *same : shells.emplace_back(Shell{f.atom, kindOf(f)});
    shell.functions[static_cast<std::size_t>(slot)] = static_cast<int>(i);
  }
  return shells;
}

}  // namespace

double slaterOverlap(const BasisFunction& a, const Vec3& centreA, const BasisFunction& b,
                     const Vec3& centreB) {
  BondFrame frame;
  return overlap(frame, a, centreA, b, centreB);
}

SymmetricMatrix overlapMatrix(const Calculation& calculation) {
  const std::vector<BasisFunction>& basis = calculation.basis;
  const auto atomCount = static_cast<int>(calculation.atoms.size());
  for (const BasisFunction& f : basis) {
    if (f.atom < 0 || f.atom >= atomCount || !takes(f)) return {};
  }
  std::vector<Vec3> centres;
  for (const CalculationAtom& atom : calculation.atoms) {
    centres.push_back((1.0 / kAngstromPerBohr) * atom.position);
  }

  SymmetricMatrix s(basis.size());
  const std::vector<Shell> shells = shellsOf(basis);
  BondFrame frame;
  for (std::size_t sa = 0; sa < shells.size(); ++sa) {
    for (std::size_t sb = 0; sb <= sa; ++sb) {
      const Shell& a = shells[sa];
      const Shell& b = shells[sb];
      const Vec3& centreA = centres[static_cast<std::size_t>(a.atom)];
      const Vec3& centreB = centres[static_cast<std::size_t>(b.atom)];
      const bool oneCentre = norm(centreB - centreA) < kSameCentre;
      const Rotation block =
          oneCentre ? Rotation{} : shellBlock(frame, a.kind, centreA, b.kind, centreB);
      for (int i = 0; i < functionCount(a.kind.l); ++i) {
        const int fa = a.functions[static_cast<std::size_t>(i)];
        if (fa < 0) continue;
        for (int k = 0; k < functionCount(b.kind.l); ++k) {
          const int fb = b.functions[static_cast<std::size_t>(k)];
          if (fb < 0) continue;
          const auto ia = static_cast<std::size_t>(fa);
          const auto ib = static_cast<std::size_t>(fb);
          s(ia, ib) = oneCentre ? oneCentreOverlap(basis[ia], basis[ib]) : block[i][k];
        }
      }
    }
  }
  return s;
}

}  // namespace lobewright
