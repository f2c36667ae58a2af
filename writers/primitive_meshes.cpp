#include "writers/primitive_meshes.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <utility>

namespace lobewright {
namespace {

using Triangle = std::array<uint32_t, 3>;

uint32_t addVertex(LobeMesh& mesh, const Vec3& position, const Vec3& normal) {
  mesh.positions.push_back(position);
  mesh.normals.push_back(normal);
  return static_cast<uint32_t>(mesh.positions.size() - 1);
}

}  // namespace

LobeMesh unitIcosphere(int subdivisions) {
  const double phi = std::numbers::phi;
  LobeMesh mesh;
  for (const Vec3& corner :
       {Vec3{-1, phi, 0}, Vec3{1, phi, 0}, Vec3{-1, -phi, 0}, Vec3{1, -phi, 0}, Vec3{0, -1, phi},
        Vec3{0, 1, phi}, Vec3{0, -1, -phi}, Vec3{0, 1, -phi}, Vec3{phi, 0, -1}, Vec3{phi, 0, 1},
        Vec3{-phi, 0, -1}, Vec3{-phi, 0, 1}}) {
    addVertex(mesh, unitVector(corner), unitVector(corner));
  }
  mesh.triangles = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                    {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                    {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                    {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
  for (int level = 0; level < subdivisions; ++level) {
    // Each edge gets one midpoint, shared by the two triangles on either side of it.
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> midpoints;
    const auto midpoint = [&](uint32_t a, uint32_t b) {
      const auto key = std::minmax(a, b);
      const auto found = midpoints.find(key);
      if (found != midpoints.end()) return found->second;
      const Vec3 p = unitVector(mesh.positions[a] + mesh.positions[b]);
      const uint32_t index = addVertex(mesh, p, p);
      midpoints.emplace(key, index);
      return index;
    };
    std::vector<Triangle> finer;
    finer.reserve(4 * mesh.triangles.size());
    for (const auto& [a, b, c] : mesh.triangles) {
      const uint32_t ab = midpoint(a, b);
      const uint32_t bc = midpoint(b, c);
      const uint32_t ca = midpoint(c, a);
      finer.insert(finer.end(), {{a, ab, ca}, {b, bc, ab}, {c, ca, bc}, {ab, bc, ca}});
    }
    mesh.triangles = std::move(finer);
  }
  return mesh;
}

LobeMesh unitCylinder(int segments) {
  const auto n = static_cast<uint32_t>(std::max(segments, 3));
  LobeMesh mesh;
  std::vector<Vec3> ring(n);
  for (uint32_t k = 0; k < n; ++k) {
    const double angle = 2.0 * std::numbers::pi * k / n;
    ring[k] = {std::cos(angle), 0.0, std::sin(angle)};
  }
  const Vec3 up{0, 1, 0};
  // Side: ring k at the bottom is vertex 2k, at the top 2k + 1.
  for (uint32_t k = 0; k < n; ++k) {
    addVertex(mesh, ring[k], ring[k]);
    addVertex(mesh, ring[k] + up, ring[k]);
  }
  for (uint32_t k = 0; k < n; ++k) {
    const uint32_t next = (k + 1) % n;
    const uint32_t bottom = 2 * k;
    const uint32_t top = 2 * k + 1;
    mesh.triangles.push_back({bottom, 2 * next + 1, 2 * next});
    mesh.triangles.push_back({bottom, top, 2 * next + 1});
  }
  // Caps: a centre and a ring each, fanned so that both face away from the cylinder.
  for (const bool isTop : {false, true}) {
    const Vec3 normal = isTop ? up : -up;
    const Vec3 lift = isTop ? up : Vec3{};
    const uint32_t centre = addVertex(mesh, lift, normal);
    for (uint32_t k = 0; k < n; ++k) addVertex(mesh, ring[k] + lift, normal);
    for (uint32_t k = 0; k < n; ++k) {
      const uint32_t here = centre + 1 + k;
      const uint32_t next = centre + 1 + (k + 1) % n;
      mesh.triangles.push_back(isTop ? Triangle{centre, next, here} : Triangle{centre, here, next});
    }
  }
  return mesh;
}

}  // namespace lobewright
