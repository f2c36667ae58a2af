#include "writers/stl_writer.h"

#include <string_view>

#include "writers/little_endian_output.h"
#include "writers/mesh_parts.h"

namespace lobewright {
namespace {

// Must not begin with "solid": some readers would take the file for text STL.
constexpr std::string_view kHeader = "Lobewright orbital lobes, binary STL, 1 unit = 1 Angstrom";
constexpr std::size_t kHeaderSize = 80;

struct FloatPoint {
  float x, y, z;
};

FloatPoint toFloat(const Vec3& v) {
  return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

Vec3 toDouble(const FloatPoint& p) { return {p.x, p.y, p.z}; }

}  // namespace

MeshWriteResult writeStl(std::ostream& out, const OrbitalMesh& mesh,
                         const BallAndStickModel& structure, const StlOptions& options) {
  static_assert(kHeader.size() <= kHeaderSize);
  const MeshParts scene(mesh, structure, LobeColours{}, options.includeStructure);
  if (std::string problem = scene.check(); !problem.empty()) return {std::move(problem)};
  if (scene.triangleCount() > UINT32_MAX) return {"Too many triangles for an STL file."};

  LittleEndianOutput binary(out);
  binary.bytes(kHeader);
  binary.zeros(kHeaderSize - kHeader.size());
  binary.u32(static_cast<uint32_t>(scene.triangleCount()));
  for (const MeshPart& part : scene.parts()) {
    const LobeMesh& lobe = *part.mesh;
    for (const auto& triangle : lobe.triangles) {
      const FloatPoint a = toFloat(lobe.positions[triangle[0]]);
      const FloatPoint b = toFloat(lobe.positions[triangle[1]]);
      const FloatPoint c = toFloat(lobe.positions[triangle[2]]);
      // The normal of the corners as written, so it agrees with them exactly.
      const Vec3 n = cross(toDouble(b) - toDouble(a), toDouble(c) - toDouble(a));
      const double length = norm(n);
      const FloatPoint normal = length > 0.0 ? toFloat((1.0 / length) * n) : FloatPoint{0, 0, 0};
      for (const FloatPoint& p : {normal, a, b, c}) {
        binary.f32(p.x);
        binary.f32(p.y);
        binary.f32(p.z);
      }
      binary.u16(0);
    }
  }
  binary.flush();
  return streamResult(out);
}

}  // namespace lobewright
