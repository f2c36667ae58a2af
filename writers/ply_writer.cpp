#include "writers/ply_writer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "writers/little_endian_output.h"
#include "writers/mesh_parts.h"

namespace lobewright {
namespace {

uint8_t byteOf(float component) {
  const float clamped = std::clamp(std::isnan(component) ? 0.0f : component, 0.0f, 1.0f);
  return static_cast<uint8_t>(std::lround(clamped * 255.0f));
}

std::string header(uint64_t vertices, uint64_t faces) {
  return "ply\n"
         "format binary_little_endian 1.0\n"
         "comment Lobewright orbital lobes, 1 unit = 1 Angstrom\n"
         "element vertex " +
         std::to_string(vertices) +
         "\n"
         "property float x\n"
         "property float y\n"
         "property float z\n"
         "property float nx\n"
         "property float ny\n"
         "property float nz\n"
         "property uchar red\n"
         "property uchar green\n"
         "property uchar blue\n"
         "element face " +
         std::to_string(faces) +
         "\n"
         "property list uchar int vertex_indices\n"
         "end_header\n";
}

}  // namespace

MeshWriteResult writePly(std::ostream& out, const OrbitalMesh& mesh,
                         const BallAndStickModel& structure, const PlyOptions& options) {
  const MeshParts scene(mesh, structure, options.colours, options.includeStructure,
                        options.colouring);
  if (std::string problem = scene.check(); !problem.empty()) return {std::move(problem)};
  // The face list's indices are signed 32-bit.
  if (scene.vertexCount() > uint64_t{std::numeric_limits<int32_t>::max()}) {
    return {"Too many vertices for a PLY file."};
  }

  LittleEndianOutput binary(out);
  binary.bytes(header(scene.vertexCount(), scene.triangleCount()));
  for (const MeshPart& part : scene.parts()) {
    const LobeMesh& lobe = *part.mesh;
    for (std::size_t i = 0; i < lobe.positions.size(); ++i) {
      for (const Vec3& v : {lobe.positions[i], lobe.normals[i]}) {
        binary.f32(static_cast<float>(v.x));
        binary.f32(static_cast<float>(v.y));
        binary.f32(static_cast<float>(v.z));
      }
      const Rgb& colour = part.vertexColours ? (*part.vertexColours)[i] : part.colour;
      binary.u8(byteOf(colour.r));
      binary.u8(byteOf(colour.g));
      binary.u8(byteOf(colour.b));
    }
  }
  int32_t first = 0;
  for (const MeshPart& part : scene.parts()) {
    for (const auto& triangle : part.mesh->triangles) {
      binary.u8(3);
      for (const uint32_t index : triangle) binary.i32(first + static_cast<int32_t>(index));
    }
    first += static_cast<int32_t>(part.mesh->positions.size());
  }
  binary.flush();
  return streamResult(out);
}

}  // namespace lobewright
