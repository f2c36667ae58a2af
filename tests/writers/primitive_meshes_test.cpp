#include "writers/primitive_meshes.h"

#include <gtest/gtest.h>

#include "support/closed_meshes.h"
#include "writers/mesh_parts.h"

namespace lobewright {
namespace {

TEST(PrimitiveMeshes, UnitShapesAreClosedAndFaceOutwards) {
  for (int subdivisions : {0, 1, 2}) {
    const LobeMesh sphere = unitIcosphere(subdivisions);
    EXPECT_EQ(testing::closedSurfaceProblem(sphere), "") << subdivisions;
    for (const Vec3& p : sphere.positions) EXPECT_NEAR(norm(p), 1.0, 1e-12);
  }
  const LobeMesh sphere = unitIcosphere(2);
  EXPECT_EQ(sphere.positions.size(), 162u);
  EXPECT_EQ(sphere.triangles.size(), 320u);

  const LobeMesh cylinder = unitCylinder(16);
  EXPECT_EQ(testing::closedSurfaceProblem(cylinder), "");
  EXPECT_EQ(cylinder.triangles.size(), 4u * 16u);
  for (const Vec3& p : cylinder.positions) {
    EXPECT_TRUE(p.y == 0.0 || p.y == 1.0);
    EXPECT_LE(p.x * p.x + p.z * p.z, 1.0 + 1e-12);
  }
}

TEST(PrimitiveMeshes, BakedStructureIsOneClosedMeshPerElement) {
  const BallAndStickModel model = buildBallAndStick(testing::formaldehyde());
  const std::vector<StructurePart> parts = bakeStructure(model);
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0].atomicNumber, 1);
  EXPECT_EQ(parts[1].atomicNumber, 6);
  EXPECT_EQ(parts[2].atomicNumber, 8);
  EXPECT_EQ(structureMaterialName(parts[2].atomicNumber), "element_O");
  EXPECT_EQ(structureMaterialName(0), "element_unknown");
  // Carbon: one sphere and three half-sticks.
  EXPECT_EQ(parts[1].mesh.triangles.size(), 320u + 3u * 64u);
  for (const StructurePart& part : parts) {
    EXPECT_EQ(testing::closedSurfaceProblem(part.mesh), "") << part.atomicNumber;
    EXPECT_EQ(checkMesh(part.mesh, "structure"), "");
  }
  // The oxygen's half-stick points from the oxygen down to the carbon.
  const LobeMesh& oxygen = parts[2].mesh;
  double lowest = 10.0;
  for (const Vec3& p : oxygen.positions) lowest = std::min(lowest, p.z);
  EXPECT_GT(lowest, 0.0);
  EXPECT_LT(lowest, 1.21 / 2 + 0.05);
}

}  // namespace
}  // namespace lobewright
