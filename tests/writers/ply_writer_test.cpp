#include "writers/ply_writer.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/closed_meshes.h"
#include "support/little_endian_reading.h"
#include "writers/mesh_parts.h"

namespace lobewright {
namespace {

using testing::f32At;
using testing::u32At;

constexpr std::size_t kVertexSize = 6 * 4 + 3;
constexpr std::size_t kFaceSize = 1 + 3 * 4;

std::string ply(const OrbitalMesh& mesh, const BallAndStickModel& structure,
                const PlyOptions& options = {}) {
  std::ostringstream out;
  EXPECT_TRUE(writePly(out, mesh, structure, options).succeeded());
  return out.str();
}

TEST(PlyWriter, HeaderCountsAndBinaryLayout) {
  const OrbitalMesh mesh = testing::twoLobes(1);
  const std::string bytes = ply(mesh, {});
  const std::size_t positiveVertices = mesh.positive.positions.size();
  const std::size_t vertices = positiveVertices + mesh.negative.positions.size();
  const std::size_t faces = mesh.positive.triangles.size() + mesh.negative.triangles.size();
  const std::string expectedHeader =
      "ply\nformat binary_little_endian 1.0\n"
      "comment Lobewright orbital lobes, 1 unit = 1 Angstrom\n"
      "element vertex " +
      std::to_string(vertices) +
      "\n"
      "property float x\nproperty float y\nproperty float z\n"
      "property float nx\nproperty float ny\nproperty float nz\n"
      "property uchar red\nproperty uchar green\nproperty uchar blue\n"
      "element face " +
      std::to_string(faces) +
      "\n"
      "property list uchar int vertex_indices\nend_header\n";
  ASSERT_EQ(bytes.substr(0, expectedHeader.size()), expectedHeader);
  const std::size_t body = expectedHeader.size();
  ASSERT_EQ(bytes.size(), body + vertices * kVertexSize + faces * kFaceSize);

  const auto vertexAt = [&](std::size_t i) { return body + i * kVertexSize; };
  EXPECT_EQ(f32At(bytes, vertexAt(0)), static_cast<float>(mesh.positive.positions[0].x));
  EXPECT_EQ(f32At(bytes, vertexAt(0) + 20), static_cast<float>(mesh.positive.normals[0].z));
  EXPECT_EQ(bytes.substr(vertexAt(0) + 24, 3), std::string("\xff\x00\x00", 3));
  EXPECT_EQ(f32At(bytes, vertexAt(positiveVertices) + 4),
            static_cast<float>(mesh.negative.positions[0].y));
  EXPECT_EQ(bytes.substr(vertexAt(positiveVertices) + 24, 3), std::string("\x00\x00\xff", 3));

  // The negative lobe's faces count on from the positive lobe's vertices.
  const std::size_t firstNegativeFace =
      body + vertices * kVertexSize + mesh.positive.triangles.size() * kFaceSize;
  EXPECT_EQ(bytes[firstNegativeFace], 3);
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(u32At(bytes, firstNegativeFace + 1 + 4 * k),
              positiveVertices + mesh.negative.triangles[0][k]);
  }
}

TEST(PlyWriter, ColoursFollowTheOptionsAndTheStructureAddsElementColours) {
  const OrbitalMesh mesh = testing::twoLobes(0);
  const BallAndStickModel structure = buildBallAndStick(testing::formaldehyde());
  PlyOptions options;
  options.colours.positive = {0.0f, 0.5f, 1.0f};
  const std::string bytes = ply(mesh, structure, options);
  const std::size_t body = bytes.find("end_header\n") + 11;
  EXPECT_EQ(bytes.substr(body + 24, 3), std::string("\x00\x80\xff", 3));

  std::size_t vertices = 0;
  for (const StructurePart& part : bakeStructure(structure)) vertices += part.mesh.positions.size();
  vertices += mesh.positive.positions.size() + mesh.negative.positions.size();
  EXPECT_NE(bytes.find("element vertex " + std::to_string(vertices) + "\n"), std::string::npos);

  options.includeStructure = false;
  EXPECT_LT(ply(mesh, structure, options).size(), bytes.size());
}

}  // namespace
}  // namespace lobewright
