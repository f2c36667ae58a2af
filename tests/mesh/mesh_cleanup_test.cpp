#include "mesh/mesh_cleanup.h"

#include <gtest/gtest.h>

#include "mesh/mesh_check.h"

namespace lobewright {
namespace {

// A unit octahedron, wound outward, with its corners' directions as normals; `at` moves it.
LobeMesh octahedron(const Vec3& at = {}) {
  LobeMesh mesh;
  mesh.normals = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  for (const Vec3& n : mesh.normals) mesh.positions.push_back(at + n);
  mesh.triangles = {{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4},
                    {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}};
  return mesh;
}

// Puts a new corner on the edge from a to b at the given fraction, splitting its two triangles.
void splitEdge(LobeMesh& mesh, uint32_t a, uint32_t b, double fraction) {
  const auto m = static_cast<uint32_t>(mesh.positions.size());
  mesh.positions.push_back(mesh.positions[a] + fraction * (mesh.positions[b] - mesh.positions[a]));
  const Vec3 n = mesh.normals[a] + fraction * (mesh.normals[b] - mesh.normals[a]);
  mesh.normals.push_back((1.0 / norm(n)) * n);
  std::vector<std::array<uint32_t, 3>> triangles;
  for (const auto& t : mesh.triangles) {
    bool split = false;
    for (int k = 0; k < 3; ++k) {
      const uint32_t p = t[k];
      const uint32_t q = t[(k + 1) % 3];
      const uint32_t r = t[(k + 2) % 3];
      if ((p == a && q == b) || (p == b && q == a)) {
        triangles.push_back({p, m, r});
        triangles.push_back({m, q, r});
        split = true;
      }
    }
    if (!split) triangles.push_back(t);
  }
  mesh.triangles = triangles;
}

void expectSoundWithoutSlivers(const LobeMesh& mesh, double minimumArea) {
  const LobeMeshCheck c = checkLobeMesh(mesh, minimumArea);
  EXPECT_TRUE(c.watertight());
  EXPECT_EQ(c.degenerateTriangles, 0);
  EXPECT_EQ(c.reversedTriangles, 0);
  EXPECT_GT(c.signedVolume, 0.0);
}

TEST(MeshCleanup, CollapsesSliversAndKeepsSoundTriangles) {
  // A corner on an edge a millionth of its length from an end makes needles; one exactly on an
  // end makes triangles of no area.
  for (const double fraction : {1e-6, 0.0, 1.0 - 1e-7}) {
    LobeMesh mesh = octahedron();
    splitEdge(mesh, 0, 2, fraction);
    removeSlivers(mesh, 1e-4, 1e-3);
    expectSoundWithoutSlivers(mesh, 1e-4);
    EXPECT_EQ(mesh.positions.size(), 6u) << fraction;
    EXPECT_EQ(mesh.triangles.size(), 8u) << fraction;
  }
  LobeMesh mesh = octahedron();
  splitEdge(mesh, 0, 2, 0.5);
  splitEdge(mesh, 0, 6, 0.5);
  removeSlivers(mesh, 1e-4, 1e-3);
  EXPECT_EQ(mesh.positions.size(), 8u) << "sound triangles are kept";
  expectSoundWithoutSlivers(mesh, 1e-4);
}

TEST(MeshCleanup, KeepsATetrahedronAndDropsOnlyTinyPieces) {
  // A tiny octahedron collapses as far as a tetrahedron allows and then goes whole; a large one
  // beside it stays as it is.
  LobeMesh mesh = octahedron();
  const LobeMesh tiny = octahedron({5, 0, 0});
  const auto offset = static_cast<uint32_t>(mesh.positions.size());
  for (const Vec3& p : tiny.positions)
    mesh.positions.push_back(Vec3{5, 0, 0} + 1e-4 * (p - Vec3{5, 0, 0}));
  mesh.normals.insert(mesh.normals.end(), tiny.normals.begin(), tiny.normals.end());
  for (auto t : tiny.triangles) {
    for (uint32_t& v : t) v += offset;
    mesh.triangles.push_back(t);
  }
  removeSlivers(mesh, 1e-4, 1e-3);
  EXPECT_EQ(mesh.positions.size(), 6u);
  EXPECT_EQ(mesh.triangles, octahedron().triangles);
  expectSoundWithoutSlivers(mesh, 1e-4);
}

}  // namespace
}  // namespace lobewright
