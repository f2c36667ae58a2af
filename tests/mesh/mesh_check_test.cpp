#include "mesh/mesh_check.h"

#include <gtest/gtest.h>

#include <string>

namespace lobewright {
namespace {

// A tetrahedron with outward winding and outward unit normals at its corners.
LobeMesh tetrahedron() {
  LobeMesh mesh;
  mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  const Vec3 centre{0.25, 0.25, 0.25};
  for (const Vec3& p : mesh.positions)
    mesh.normals.push_back((1.0 / norm(p - centre)) * (p - centre));
  mesh.triangles = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};
  return mesh;
}

TEST(MeshCheck, CountsEachKindOfFault) {
  struct Case {
    std::string name;
    LobeMesh mesh;
    LobeMeshCheck expected;
  };
  std::vector<Case> cases;
  cases.push_back({"sound", tetrahedron(), {}});
  {
    LobeMesh m = tetrahedron();
    std::swap(m.triangles[3][1], m.triangles[3][2]);
    LobeMeshCheck e;
    e.misorientedEdges = 3;
    e.nonManifoldVertices = 3;
    e.reversedTriangles = 1;
    cases.push_back({"one triangle turned", m, e});
  }
  {
    LobeMesh m = tetrahedron();
    m.triangles.pop_back();
    LobeMeshCheck e;
    e.boundaryEdges = 3;
    e.nonManifoldVertices = 3;
    cases.push_back({"one triangle missing", m, e});
  }
  {
    LobeMesh m = tetrahedron();
    m.triangles.push_back(m.triangles[0]);
    LobeMeshCheck e;
    e.nonManifoldEdges = 3;
    e.nonManifoldVertices = 3;
    cases.push_back({"one triangle twice", m, e});
  }
  {
    // A second tetrahedron sharing only corner 3: every edge is fine, corner 3 is pinched (and
    // its normal, the first tetrahedron's, turns one of the second's triangles).
    LobeMesh m = tetrahedron();
    const LobeMesh other = tetrahedron();
    for (const Vec3& p : other.positions) m.positions.push_back(p + Vec3{0, 0, 1});
    m.normals.insert(m.normals.end(), other.normals.begin(), other.normals.end());
    for (auto t : other.triangles) {
      for (uint32_t& v : t) v = v == 0 ? 3 : v + 4;
      m.triangles.push_back(t);
    }
    LobeMeshCheck e;
    e.nonManifoldVertices = 1;
    e.reversedTriangles = 1;
    cases.push_back({"two tetrahedra on one corner", m, e});
  }
  {
    LobeMesh m = tetrahedron();
    m.positions[3] = {0.5, 0.5, 0};
    m.normals[3] = {0, 0, 1};
    LobeMeshCheck e;
    e.degenerateTriangles = 1;
    e.reversedTriangles = 1;
    cases.push_back({"a flat corner", m, e});
  }
  {
    LobeMesh m = tetrahedron();
    m.triangles[1][2] = 9;
    LobeMeshCheck e;
    e.badIndices = 1;
    e.boundaryEdges = 3;
    e.nonManifoldVertices = 3;
    cases.push_back({"an index past the vertices", m, e});
  }
  {
    LobeMesh m = tetrahedron();
    for (Vec3& n : m.normals) n = 2.0 * n;
    LobeMeshCheck e;
    e.nonUnitNormals = 4;
    cases.push_back({"long normals", m, e});
  }
  for (const Case& c : cases) {
    const LobeMeshCheck r = checkLobeMesh(c.mesh, 1e-9);
    EXPECT_EQ(r.boundaryEdges, c.expected.boundaryEdges) << c.name;
    EXPECT_EQ(r.nonManifoldEdges, c.expected.nonManifoldEdges) << c.name;
    EXPECT_EQ(r.misorientedEdges, c.expected.misorientedEdges) << c.name;
    EXPECT_EQ(r.nonManifoldVertices, c.expected.nonManifoldVertices) << c.name;
    EXPECT_EQ(r.degenerateTriangles, c.expected.degenerateTriangles) << c.name;
    EXPECT_EQ(r.badIndices, c.expected.badIndices) << c.name;
    EXPECT_EQ(r.reversedTriangles, c.expected.reversedTriangles) << c.name;
    EXPECT_EQ(r.nonUnitNormals, c.expected.nonUnitNormals) << c.name;
  }
}

TEST(MeshCheck, VolumeIsSignedAndDeviationMeasured) {
  LobeMesh mesh = tetrahedron();
  EXPECT_NEAR(checkLobeMesh(mesh, 0).signedVolume, 1.0 / 6.0, 1e-15);
  // The sphere of radius 1 through three corners: |value| = threshold there, the origin is off.
  const auto value = [](const Vec3& p) { return -2.0 * norm(p); };
  EXPECT_NEAR(checkLobeMesh(mesh, 0, value, 2.0).largestDeviation, 1.0, 1e-15);
  for (auto& t : mesh.triangles) std::swap(t[1], t[2]);
  const LobeMeshCheck inward = checkLobeMesh(mesh, 0);
  EXPECT_NEAR(inward.signedVolume, -1.0 / 6.0, 1e-15);
  EXPECT_TRUE(inward.watertight());
  EXPECT_EQ(inward.reversedTriangles, 4);
}

}  // namespace
}  // namespace lobewright
