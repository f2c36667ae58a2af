#include "writers/stl_writer.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/closed_meshes.h"
#include "support/little_endian_reading.h"
#include "writers/mesh_parts.h"

namespace lobewright {
namespace {

using testing::f32At;
using testing::u16At;
using testing::u32At;

Vec3 vec3At(const std::string& bytes, std::size_t at) {
  return {f32At(bytes, at), f32At(bytes, at + 4), f32At(bytes, at + 8)};
}

std::string stl(const OrbitalMesh& mesh, const BallAndStickModel& structure,
                const StlOptions& options = {}) {
  std::ostringstream out;
  EXPECT_TRUE(writeStl(out, mesh, structure, options).succeeded());
  return out.str();
}

TEST(StlWriter, HeaderCountAndFacetsInWindingOrder) {
  const OrbitalMesh mesh = testing::twoLobes();
  const std::string bytes = stl(mesh, {});
  const std::size_t triangles = mesh.positive.triangles.size() + mesh.negative.triangles.size();
  ASSERT_EQ(bytes.size(), 84 + 50 * triangles);
  EXPECT_NE(bytes.substr(0, 5), "solid");
  EXPECT_EQ(u32At(bytes, 80), triangles);

  std::size_t at = 84;
  for (const LobeMesh* lobe : {&mesh.positive, &mesh.negative}) {
    for (const auto& triangle : lobe->triangles) {
      const Vec3 normal = vec3At(bytes, at);
      const Vec3 a = vec3At(bytes, at + 12);
      const Vec3 b = vec3At(bytes, at + 24);
      const Vec3 c = vec3At(bytes, at + 36);
      EXPECT_EQ(a.x, static_cast<float>(lobe->positions[triangle[0]].x));
      EXPECT_EQ(b.y, static_cast<float>(lobe->positions[triangle[1]].y));
      EXPECT_EQ(c.z, static_cast<float>(lobe->positions[triangle[2]].z));
      EXPECT_NEAR(norm(normal), 1.0, 1e-6);
      const Vec3 facing = cross(b - a, c - a);
      EXPECT_NEAR(dot(normal, facing), norm(facing), 1e-6 * norm(facing));
      EXPECT_EQ(u16At(bytes, at + 48), 0);
      at += 50;
    }
  }
}

TEST(StlWriter, StructureOnlyOnRequest) {
  const OrbitalMesh mesh = testing::twoLobes(1);
  const BallAndStickModel structure = buildBallAndStick(testing::formaldehyde());
  std::size_t structureTriangles = 0;
  for (const StructurePart& part : bakeStructure(structure)) {
    structureTriangles += part.mesh.triangles.size();
  }
  const std::size_t lobes = mesh.positive.triangles.size() + mesh.negative.triangles.size();
  EXPECT_EQ(u32At(stl(mesh, structure), 80), lobes);
  EXPECT_EQ(u32At(stl(mesh, structure, {.includeStructure = true}), 80),
            lobes + structureTriangles);
}

TEST(StlWriter, DegenerateFacetGetsZeroNormal) {
  OrbitalMesh mesh;
  mesh.positive.positions = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}};
  mesh.positive.normals = {{1, 0, 0}, {1, 0, 0}, {1, 0, 0}};
  mesh.positive.triangles = {{0, 1, 2}};
  const std::string bytes = stl(mesh, {});
  EXPECT_EQ(vec3At(bytes, 84), (Vec3{0, 0, 0}));
}

}  // namespace
}  // namespace lobewright
