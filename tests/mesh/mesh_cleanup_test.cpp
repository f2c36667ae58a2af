#include "mesh/mesh_cleanup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "mesh/lobe_edits.h"
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

// A bipyramid over a pentagon with no two corners opposite, wound outward: apexes 0 (+z) and 1
// (-z), the pentagon's corners from 2 counter-clockwise.
LobeMesh bipyramid() {
  LobeMesh mesh;
  mesh.normals = {{0, 0, 1}, {0, 0, -1}};
  for (const double degrees : {0.0, 60.0, 150.0, 200.0, 290.0}) {
    const double angle = degrees * std::numbers::pi / 180.0;
    mesh.normals.push_back({std::cos(angle), std::sin(angle), 0.0});
  }
  mesh.positions = mesh.normals;
  for (uint32_t k = 0; k < 5; ++k) {
    const uint32_t a = 2 + k;
    const uint32_t b = 2 + (k + 1) % 5;
    mesh.triangles.push_back({0, a, b});
    mesh.triangles.push_back({1, b, a});
  }
  return mesh;
}

// Edge collapses keep each vertex's list of triangles exact, made or refused, and the lobe closed.
TEST(LobeEdits, CollapsesKeepTheListsAroundVertices) {
  LobeMesh mesh = bipyramid();
  LobeEdits edits(mesh, 1e-6);
  edits.stopLocking();
  const auto expectExactLists = [&](const char* after) {
    for (uint32_t v = 0; v < mesh.positions.size(); ++v) {
      std::vector<uint32_t> listed = edits.trianglesAround(v);
      std::sort(listed.begin(), listed.end());
      std::vector<uint32_t> live;
      for (uint32_t t = 0; t < mesh.triangles.size(); ++t) {
        const auto& corners = mesh.triangles[t];
        if (!edits.dead(t) && std::find(corners.begin(), corners.end(), v) != corners.end()) {
          live.push_back(t);
        }
      }
      EXPECT_EQ(listed, live) << "vertex " << v << " after " << after;
    }
  };
  struct Step {
    uint32_t from;
    uint32_t to;
    bool made;
    const char* what;
  };
  const Step steps[] = {
      {2, 3, true, "two neighbours on the pentagon"},
      {4, 5, true, "two more, leaving a triangle"},
      {3, 5, false, "two corners of the triangle, which would fold it"},
  };
  for (const Step& step : steps) {
    EXPECT_EQ(edits.collapse(step.from, step.to), step.made) << step.what;
    expectExactLists(step.what);
  }
  edits.compact();
  EXPECT_EQ(mesh.positions.size(), 5u);
  EXPECT_EQ(mesh.triangles.size(), 6u);
  expectSoundWithoutSlivers(mesh, 1e-6);
}

}  // namespace
}  // namespace lobewright
