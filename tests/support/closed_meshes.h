#pragma once

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "input/calculation.h"
#include "mesh/orbital_mesh.h"
#include "writers/primitive_meshes.h"

namespace lobewright::testing {

// An ellipsoid around `centre` with semi-axes `radii`, normals from its implicit gradient.
inline LobeMesh ellipsoidLobe(const Vec3& centre, const Vec3& radii, int subdivisions) {
  LobeMesh lobe = unitIcosphere(subdivisions);
  for (std::size_t i = 0; i < lobe.positions.size(); ++i) {
    const Vec3 u = lobe.positions[i];
    lobe.positions[i] = centre + Vec3{radii.x * u.x, radii.y * u.y, radii.z * u.z};
    const Vec3 gradient{u.x / radii.x, u.y / radii.y, u.z / radii.z};
    lobe.normals[i] = (1.0 / norm(gradient)) * gradient;
  }
  return lobe;
}

// A p-like orbital: a round positive lobe above the x-y plane, a stretched negative one below.
inline OrbitalMesh twoLobes(int subdivisions = 2) {
  return {ellipsoidLobe({0.1, 0.2, 0.9}, {0.7, 0.7, 0.7}, subdivisions),
          ellipsoidLobe({0.1, 0.2, -1.0}, {0.6, 0.8, 0.9}, subdivisions)};
}

// Formaldehyde, Angstrom.
inline std::vector<CalculationAtom> formaldehyde() {
  return {{"C", {0.0, 0.0, 0.0}},
          {"O", {0.0, 0.0, 1.21}},
          {"H", {0.0, 0.94, -0.58}},
          {"H", {0.0, -0.94, -0.58}}};
}

// Empty when the triangles, taken by vertex position (so that seams of split vertices count as
// joined), form closed surfaces on which every edge is met exactly once in each direction, and
// every stored normal points to the side the counter-clockwise winding faces. Otherwise the
// first problem found.
inline std::string closedSurfaceProblem(const LobeMesh& mesh) {
  using Key = std::tuple<double, double, double>;
  std::map<Key, int> welded;
  std::vector<int> id(mesh.positions.size());
  for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
    const Vec3& p = mesh.positions[i];
    id[i] = welded.try_emplace(Key{p.x, p.y, p.z}, static_cast<int>(welded.size())).first->second;
  }
  std::map<std::pair<int, int>, int> directed;
  for (const auto& triangle : mesh.triangles) {
    for (int k = 0; k < 3; ++k) {
      ++directed[{id[triangle[k]], id[triangle[(k + 1) % 3]]}];
    }
    const Vec3& a = mesh.positions[triangle[0]];
    const Vec3 facing = cross(mesh.positions[triangle[1]] - a, mesh.positions[triangle[2]] - a);
    for (const uint32_t corner : triangle) {
      if (std::abs(norm(mesh.normals[corner]) - 1.0) > 1e-9) return "a normal is not unit";
      if (dot(mesh.normals[corner], facing) <= 0.0) return "a normal faces against the winding";
    }
  }
  for (const auto& [edge, count] : directed) {
    if (count != 1) return "an edge is used twice in one direction";
    if (!directed.contains({edge.second, edge.first})) return "an edge has one side only";
  }
  return {};
}

}  // namespace lobewright::testing
