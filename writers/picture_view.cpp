#include "writers/picture_view.h"

#include <Eigen/Eigenvalues>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>

namespace lobewright {
namespace {

constexpr double kPi = 3.14159265358979323846;
// The atoms a flat pi system's plane is fitted to lie this near its lobes, and no further out of
// the plane than kFlatness on the mean.
constexpr double kUnderLobe = 2.0;  // Angstrom
constexpr double kFlatness = 0.3;   // Angstrom
// A mirrored point of one lobe is on the other when one of its vertices is this near; a share
// kMirrored of the points must be, for either lobe.
constexpr double kMirrorTolerance = 0.4;  // Angstrom
constexpr double kMirrored = 0.8;
constexpr std::size_t kMostMirroredPoints = 2000;

// Points in cubic cells, for finding whether any lies near a given point.
class PointCells {
 public:
  PointCells(const std::vector<Vec3>& points, double cell) : m_cell(cell) {
    for (const Vec3& p : points) m_cells[key(cellOf(p.x), cellOf(p.y), cellOf(p.z))].push_back(p);
  }

  // Whether a point lies within `distance` (at most a cell) of p.
  [[nodiscard]] bool anyWithin(const Vec3& p, double distance) const {
    const int64_t x = cellOf(p.x);
    const int64_t y = cellOf(p.y);
    const int64_t z = cellOf(p.z);
    for (int64_t dx = -1; dx <= 1; ++dx) {
      for (int64_t dy = -1; dy <= 1; ++dy) {
        for (int64_t dz = -1; dz <= 1; ++dz) {
          const auto found = m_cells.find(key(x + dx, y + dy, z + dz));
          if (found == m_cells.end()) continue;
          for (const Vec3& q : found->second) {
            if (norm(q - p) <= distance) return true;
          }
        }
      }
    }
    return false;
  }

 private:
  static constexpr int64_t kReach = int64_t{1} << 20;

  [[nodiscard]] int64_t cellOf(double coordinate) const {
    const double cell = std::floor(coordinate / m_cell);
    if (!(cell > -kReach)) return -kReach;
    return static_cast<int64_t>(std::min(cell, static_cast<double>(kReach)));
  }
  static int64_t key(int64_t x, int64_t y, int64_t z) {
    return ((x + 2 * kReach) << 42) | ((y + 2 * kReach) << 21) | (z + 2 * kReach);
  }

  double m_cell;
  std::unordered_map<int64_t, std::vector<Vec3>> m_cells;
};

std::vector<Vec3> everyVertex(const std::vector<const OrbitalMesh*>& meshes) {
  std::vector<Vec3> points;
  for (const OrbitalMesh* mesh : meshes) {
    for (const LobeMesh* lobe : {&mesh->positive, &mesh->negative}) {
      points.insert(points.end(), lobe->positions.begin(), lobe->positions.end());
    }
  }
  return points;
}

// At most `most` of the points, evenly through their order.
std::vector<Vec3> sample(const std::vector<Vec3>& points, std::size_t most) {
  if (points.size() <= most) return points;
  std::vector<Vec3> taken;
  const double stride = static_cast<double>(points.size()) / static_cast<double>(most);
  for (std::size_t k = 0; k < most; ++k) {
    taken.push_back(points[static_cast<std::size_t>(static_cast<double>(k) * stride)]);
  }
  return taken;
}

// The largest side of the box around the points, each with its radius.
double largestSide(const std::vector<FramedPoint>& points) {
  Vec3 low{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
           std::numeric_limits<double>::max()};
  Vec3 high = -1.0 * low;
  for (const FramedPoint& p : points) {
    low = {std::min(low.x, p.position.x - p.radius), std::min(low.y, p.position.y - p.radius),
           std::min(low.z, p.position.z - p.radius)};
    high = {std::max(high.x, p.position.x + p.radius), std::max(high.y, p.position.y + p.radius),
            std::max(high.z, p.position.z + p.radius)};
  }
  if (points.empty()) return 0.0;
  return std::max({high.x - low.x, high.y - low.y, high.z - low.z});
}

Vec3 centreOf(const LobeMesh& lobe) {
  Vec3 sum;
  for (const Vec3& p : lobe.positions) sum = sum + p;
  return lobe.positions.empty() ? Vec3{} : (1.0 / static_cast<double>(lobe.positions.size())) * sum;
}

// The share of the points whose mirror image in the plane lies on the other lobe.
double mirroredShare(const std::vector<Vec3>& points, const PointCells& other, const Vec3& origin,
                     const Vec3& normal) {
  if (points.empty()) return 0.0;
  std::size_t mirrored = 0;
  for (const Vec3& p : points) {
    const Vec3 image = p - 2.0 * dot(p - origin, normal) * normal;
    if (other.anyWithin(image, kMirrorTolerance)) ++mirrored;
  }
  return static_cast<double>(mirrored) / static_cast<double>(points.size());
}

// Whether the atoms outside the framed ones lie, on the mean, towards the camera.
bool lookingAtTheRest(const ViewBasis& basis, const std::vector<Vec3>& framed,
                      const std::vector<StructureSphere>& atoms) {
  if (framed.empty() || atoms.size() <= framed.size()) return false;
  Vec3 framedSum;
  for (const Vec3& p : framed) framedSum = framedSum + p;
  Vec3 everySum;
  for (const StructureSphere& atom : atoms) everySum = everySum + atom.centre;
  const Vec3 restMean =
      (1.0 / static_cast<double>(atoms.size() - framed.size())) * (everySum - framedSum);
  const Vec3 framedMean = (1.0 / static_cast<double>(framed.size())) * framedSum;
  return dot(restMean - framedMean, basis.back) > 0.0;
}

}  // namespace

std::optional<Vec3> piPlaneNormal(const OrbitalMesh& mesh,
                                  const std::vector<StructureSphere>& atoms) {
  if (mesh.positive.positions.empty() || mesh.negative.positions.empty()) return std::nullopt;
  const PointCells lobes(everyVertex({&mesh}), kUnderLobe);
  std::vector<Vec3> under;
  std::vector<Vec3> heavy;
  for (const StructureSphere& atom : atoms) {
    if (!lobes.anyWithin(atom.centre, kUnderLobe)) continue;
    under.push_back(atom.centre);
    if (atom.atomicNumber != 1) heavy.push_back(atom.centre);
  }
  const std::vector<Vec3>& fitted = heavy.size() >= 3 ? heavy : under;
  if (fitted.size() < 3) return std::nullopt;
  Vec3 mean;
  for (const Vec3& p : fitted) mean = mean + p;
  mean = (1.0 / static_cast<double>(fitted.size())) * mean;
  Eigen::Matrix3d spread = Eigen::Matrix3d::Zero();
  for (const Vec3& p : fitted) {
    const Eigen::Vector3d d(p.x - mean.x, p.y - mean.y, p.z - mean.z);
    spread += d * d.transpose();
  }
  const Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> solver(spread);
  const double count = static_cast<double>(fitted.size());
  // Out of the plane on the mean, and along the middle axis: atoms on a line fix no plane.
  if (std::sqrt(std::max(0.0, solver.eigenvalues()(0)) / count) > kFlatness) return std::nullopt;
  if (std::sqrt(std::max(0.0, solver.eigenvalues()(1)) / count) < kFlatness) return std::nullopt;
  const Eigen::Vector3d n = solver.eigenvectors().col(0).normalized();
  const Vec3 normal{n.x(), n.y(), n.z()};

  const PointCells positive(mesh.positive.positions, kMirrorTolerance);
  const PointCells negative(mesh.negative.positions, kMirrorTolerance);
  const double share = std::min(
      mirroredShare(sample(mesh.positive.positions, kMostMirroredPoints), negative, mean, normal),
      mirroredShare(sample(mesh.negative.positions, kMostMirroredPoints), positive, mean, normal));
  if (share < kMirrored) return std::nullopt;
  return normal;
}

CameraFrame pictureCamera(const PictureSubject& subject, ViewDirection view, double aspect,
                          double reservedShare) {
  const std::vector<Vec3> lobePoints = everyVertex(subject.meshes);
  const std::vector<StructureSphere> noAtoms;
  const std::vector<StructureSphere>& atoms =
      subject.structure != nullptr ? subject.structure->spheres : noAtoms;

  // The atoms framed: all, or the neighbourhood of a localized orbital's lobes.
  std::vector<FramedPoint> framedAtoms;
  for (const StructureSphere& atom : atoms) framedAtoms.push_back({atom.centre, atom.radius});
  std::vector<FramedPoint> lobeBox;
  for (const Vec3& p : lobePoints) lobeBox.push_back({p, 0.0});
  const bool localized =
      view != ViewDirection::whole && subject.includeStructure && !lobePoints.empty() &&
      largestSide(lobeBox) + 2.0 * kNeighbourhood < kLocalizedShare * largestSide(framedAtoms);
  if (localized) {
    const PointCells lobes(lobePoints, kNeighbourhood);
    std::erase_if(framedAtoms, [&](const FramedPoint& atom) {
      return !lobes.anyWithin(atom.position, kNeighbourhood);
    });
  }

  ViewBasis basis;
  if (view == ViewDirection::best || view == ViewDirection::whole) {
    std::vector<Vec3> centres;
    for (const FramedPoint& atom : framedAtoms) centres.push_back(atom.position);
    basis = principalView(centres);
    // The rest of the molecule behind a localized orbital's neighbourhood, not in front of it.
    if (localized && lookingAtTheRest(basis, centres, atoms)) {
      basis = {-1.0 * basis.right, basis.up, -1.0 * basis.back};
    }
    if (subject.meshes.size() == 1) {
      const OrbitalMesh& mesh = *subject.meshes.front();
      if (!mesh.positive.positions.empty() && !mesh.negative.positions.empty()) {
        basis = viewBasis(view, centres, centreOf(mesh.positive) - centreOf(mesh.negative));
      }
    }
    for (const OrbitalMesh* mesh : subject.meshes) {
      if (const auto normal = piPlaneNormal(*mesh, atoms)) {
        basis = turnedOffAxis(basis, *normal, std::cos(kPiTiltDegrees * kPi / 180.0), basis.up);
        break;
      }
    }
  } else {
    basis = viewBasis(view, {});
  }

  std::vector<FramedPoint> points = std::move(lobeBox);
  if (subject.includeStructure) points.insert(points.end(), framedAtoms.begin(), framedAtoms.end());
  CameraFrame frame = reservedShare > 0.0 ? frameCameraBeside(basis, points, aspect, reservedShare)
                                          : frameCamera(basis, points, aspect);
  // What lies in front of the neighbourhood would only hide it.
  if (localized) {
    double front = std::numeric_limits<double>::lowest();
    for (const FramedPoint& p : points) {
      front = std::max(front, dot(p.position - frame.centre, basis.back) + p.radius);
    }
    frame.front = front;
  }
  return frame;
}

}  // namespace lobewright
