#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <stop_token>
#include <vector>

#include "input/calculation.h"
#include "input/vector3.h"
#include "orbital/field.h"

namespace lobewright {

// Degree of the real spherical harmonics an atom's piece of the density is expanded in.
inline constexpr int kPotentialDegree = 10;
inline constexpr int kPotentialComponents = (kPotentialDegree + 1) * (kPotentialDegree + 1);
// The grid of a piece: radial nodes, and Gauss-Legendre nodes in cos(theta) with twice as many
// in phi.
inline constexpr int kPotentialRadialPoints = 70;
inline constexpr int kPotentialPolarPoints = 14;
// Within the radial grid's midpoint of its atom a piece is the atom's own AOs' products and the
// smooth tails of its neighbours': these shells take fewer directions and their expansion stops
// at a lower degree.
inline constexpr int kPotentialInnerPolarPoints = 6;
inline constexpr int kPotentialInnerDegree = 5;
// Steps of a piece's table in the radial grid's angle, from r = infinity to 0.
inline constexpr int kPotentialTableSteps = 256;

// One atom's share of the electrons, cut out by Becke's cells, with what its potential needs.
struct PotentialPiece {
  Vec3 position;          // bohr
  double core = 0.0;      // e
  double midpoint = 0.0;  // bohr: the radial grid's r at its middle
  double extent = 0.0;    // bohr: beyond it the piece's charge is negligible
  // U_lm at kPotentialTableSteps + 1 angles from 0 (r = infinity) to pi (r = 0), component-major.
  std::vector<double> table;
  // Per table step: the degree beyond which the components interpolated from there are
  // negligible, wherever the point's direction.
  std::vector<int> tableDegree;
  std::vector<double> moments;     // Q_lm, the multipoles of the whole piece
  std::vector<double> degreeSize;  // per l: sqrt(4 pi / (2l + 1)) |Q_l.|
};

// How the making of a potential's pieces, which on a molecule of a thousand atoms takes seconds,
// is followed and stopped. `madePieces` is told the pieces made so far, on the constructing
// thread; once `stop` is requested no piece is begun and the constructor throws
// PotentialCancelled.
struct PieceMaking {
  std::function<void(std::size_t made, std::size_t total)> madePieces = nullptr;
  std::stop_token stop;
};
struct PotentialCancelled {};

// The electrostatic potential of a calculation's cores and valence electrons, in hartree per unit
// charge (a.u.): V(r) = sum_A Zcore_A / |r - R_A| - integral rho(r') / |r - r'| dr'.
//
// The electrons' part is computed from the density itself, by the method of Becke and Dickson
// (J. Chem. Phys. 89 (1988) 2993): Becke's fuzzy cells cut rho into atomic pieces, each piece is
// expanded about its atom in real spherical harmonics on a radial and angular grid, and the
// radial Poisson equation of every component is solved by its Green's function,
// r_<^l / r_>^(l+1), summed over the radial grid and tabulated for interpolation. Why this and
// not another way: multipoles of AO pairs miss the penetration of the density near the molecular
// surface, where the potential is drawn; Slater functions have no analytic Coulomb integrals off
// their own centre, and expansions in Gaussians need many primitives per pair for every point; a
// Poisson solve on a box grid must resolve the tight valence functions of PM7's heavy atoms
// everywhere. The atomic pieces are smooth and decay fast, the expansion is accurate where rho is
// small (the surfaces ESP maps are drawn on), and the potential at a point then costs a table
// look-up per atom and component; far from a piece only the components its multipoles make
// matter.
class PotentialField : public Field {
 public:
  // The density must be the total one over the atoms' positions; cores are per atom (e). The
  // atoms' pieces are made on up to `threads` threads.
  PotentialField(const std::vector<CalculationAtom>& atoms, const std::vector<double>& cores,
                 const Field& density, int threads = 1, const PieceMaking& making = {});

  void valuesAt(std::span<const Vec3> points, std::span<double> values) const override;
  // The gradient from the pieces' expansions; by central differences near a nucleus.
  void samplesAt(std::span<const Vec3> points, std::span<FieldSample> samples) const override;
  // Beyond every atom's piece, from the pieces' multipoles and the cores; infinity where a box
  // comes into a piece.
  [[nodiscard]] double boundOfMagnitude(const Vec3& low, const Vec3& high) const override;

  // The net charge: the cores less the electrons the pieces hold.
  [[nodiscard]] double charge() const;

 private:
  // The potential at a point (Angstrom) and with kGradient its gradient per bohr, added to
  // `gradient`; the value is the same either way.
  template <bool kGradient>
  double potentialAt(const Vec3& point, std::span<double> harmonics,
                     std::span<Vec3> harmonicGradients, Vec3& gradient) const;
  [[nodiscard]] bool nearANucleus(const Vec3& point) const;
  // Near the molecule, where the pieces' potentials largely cancel: the value at the box's centre
  // and the most it can change across the box, given a bound of the gradient there (per bohr).
  [[nodiscard]] double boundFromCentre(const Vec3& low, const Vec3& high, double gradient) const;

  // Over a box that reaches to infinity (the grid's sizing asks about half-spaces): the pieces
  // taken in groups of neighbours, far from which their potentials add up to the group's charge
  // and dipole, within a remainder that falls fast; wherever that is lower than the halves' bound.
  [[nodiscard]] double boundFromGroups(std::size_t group, const Vec3& lowBohr,
                                       const Vec3& highBohr) const;
  // What a group's potential may differ from its charge's and dipole's at rho (bohr) from its
  // centre, at least; infinity where rho does not clear its pieces.
  [[nodiscard]] double groupRemainder(std::size_t group, double rho) const;
  // The groups: each piece alone, each heavy atom with its hydrogens (nearly neutral), and halves
  // of the space those take, down from all of them.
  void formGroups();
  std::size_t groupOf(std::vector<std::size_t> parts);
  std::size_t splitGroups(std::vector<std::size_t> parts);

  // Pieces that lie close together: one piece, or groups of them.
  struct PieceGroup {
    Vec3 centre;  // bohr
    double charge = 0.0;
    Vec3 dipole;                     // of the parts' charges about the centre, and their own
    std::vector<std::size_t> parts;  // into m_groups; none for a piece alone
    std::size_t piece = 0;           // for a piece alone
  };

  std::vector<PotentialPiece> m_pieces;
  std::vector<PieceGroup> m_groups;
  std::size_t m_allGroup = 0;  // the group of every piece
  Vec3 m_centre;               // of the atoms, bohr
};

}  // namespace lobewright
