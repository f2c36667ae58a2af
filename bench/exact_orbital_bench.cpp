// Times the exact model on a MOPAC .aux file: reading it, building the HOMO (de-orthogonalised),
// and evaluating psi on a grid around the molecule: once with every atom tested at every point,
// once with the atoms that reach each block of the grid listed first, and in squares of points
// at once, as the watertight mesher asks for them.
//
//   exact_orbital_bench FILE.aux [spacing in Angstrom, default 0.2]
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "input/aux_reader.h"
#include "input/orbital_choice.h"
#include "orbital/exact_orbital.h"

namespace {

using namespace lobewright;

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

constexpr double kMargin = 4.0;  // Angstrom around the atoms
constexpr int kBlockPoints = 8;  // points along each edge of a block that shares one atom list

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: exact_orbital_bench FILE.aux [spacing]\n");
    return 2;
  }
  const double spacing = argc > 2 ? std::strtod(argv[2], nullptr) : 0.2;
  auto start = std::chrono::steady_clock::now();
  const CalculationRead read = readAuxFile(argv[1]);
  if (!read.calculation) {
    std::fprintf(stderr, "%s\n", read.error.message().c_str());
    return 1;
  }
  const Calculation& calculation = *read.calculation;
  std::printf("read %zu atoms, %zu AOs, %zu MOs in %.3f s\n", calculation.atoms.size(),
              calculation.basis.size(), calculation.orbitals.size(), secondsSince(start));
  const OrbitalFound homo = findHomo(calculation, Spin::none);
  if (!homo.index) {
    std::fprintf(stderr, "%s\n", homo.error.c_str());
    return 1;
  }
  start = std::chrono::steady_clock::now();
  const ExactOrbital::Build build =
      ExactOrbital::build(calculation, calculation.orbitals[*homo.index]);
  if (!build.orbital) {
    std::fprintf(stderr, "%s\n", build.error.c_str());
    return 1;
  }
  std::printf("built the HOMO in %.3f s\n", secondsSince(start));
  const ExactOrbital& orbital = *build.orbital;

  Vec3 low = calculation.atoms.front().position;
  Vec3 high = low;
  for (const CalculationAtom& atom : calculation.atoms) {
    low = {std::min(low.x, atom.position.x), std::min(low.y, atom.position.y),
           std::min(low.z, atom.position.z)};
    high = {std::max(high.x, atom.position.x), std::max(high.y, atom.position.y),
            std::max(high.z, atom.position.z)};
  }
  low = low - Vec3{kMargin, kMargin, kMargin};
  high = high + Vec3{kMargin, kMargin, kMargin};
  const int nx = static_cast<int>((high.x - low.x) / spacing) + 1;
  const int ny = static_cast<int>((high.y - low.y) / spacing) + 1;
  const int nz = static_cast<int>((high.z - low.z) / spacing) + 1;
  const auto point = [&](int i, int j, int k) {
    return low +
           spacing * Vec3{static_cast<double>(i), static_cast<double>(j), static_cast<double>(k)};
  };
  const double points = static_cast<double>(nx) * ny * nz;

  start = std::chrono::steady_clock::now();
  double sum = 0.0;
  for (int i = 0; i < nx; ++i) {
    for (int j = 0; j < ny; ++j) {
      for (int k = 0; k < nz; ++k) sum += orbital.valueAt(point(i, j, k));
    }
  }
  const double allAtoms = secondsSince(start);
  std::printf("%d x %d x %d points, every atom tested: %.3f s (%.0f ns a point)\n", nx, ny, nz,
              allAtoms, 1e9 * allAtoms / points);

  start = std::chrono::steady_clock::now();
  double listedSum = 0.0;
  std::vector<uint32_t> atoms;
  double listed = 0.0;
  for (int bi = 0; bi < nx; bi += kBlockPoints) {
    for (int bj = 0; bj < ny; bj += kBlockPoints) {
      for (int bk = 0; bk < nz; bk += kBlockPoints) {
        const int ei = std::min(nx, bi + kBlockPoints);
        const int ej = std::min(ny, bj + kBlockPoints);
        const int ek = std::min(nz, bk + kBlockPoints);
        orbital.atomsReaching(point(bi, bj, bk), point(ei - 1, ej - 1, ek - 1), atoms);
        listed += static_cast<double>(atoms.size()) * (ei - bi) * (ej - bj) * (ek - bk);
        for (int i = bi; i < ei; ++i) {
          for (int j = bj; j < ej; ++j) {
            for (int k = bk; k < ek; ++k) listedSum += orbital.valueAt(point(i, j, k), atoms);
          }
        }
      }
    }
  }
  const double blocks = secondsSince(start);
  std::printf("with atom lists per block of %d^3: %.3f s (%.0f ns a point, %.1f atoms listed)\n",
              kBlockPoints, blocks, 1e9 * blocks / points, listed / points);

  // Squares of 4 x 4 points in each plane, as the watertight mesher evaluates them.
  start = std::chrono::steady_clock::now();
  double batchSum = 0.0;
  std::vector<Vec3> square;
  std::vector<double> values;
  for (int k = 0; k < nz; ++k) {
    for (int bj = 0; bj < ny; bj += 4) {
      for (int bi = 0; bi < nx; bi += 4) {
        square.clear();
        for (int j = bj; j < std::min(ny, bj + 4); ++j) {
          for (int i = bi; i < std::min(nx, bi + 4); ++i) square.push_back(point(i, j, k));
        }
        values.resize(square.size());
        orbital.valuesAt(square, values);
        for (const double v : values) batchSum += v;
      }
    }
  }
  const double batches = secondsSince(start);
  std::printf("in squares of 4 x 4 points: %.3f s (%.0f ns a point)\n", batches,
              1e9 * batches / points);
  std::printf("sums %.12g, %.12g and %.12g\n", sum, listedSum, batchSum);
  return 0;
}
