#include "writers/glb_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "input/elements.h"
#include "writers/little_endian_output.h"
#include "writers/mesh_parts.h"
#include "writers/primitive_meshes.h"

namespace lobewright {
namespace {

using nlohmann::json;

constexpr uint32_t kMagic = 0x46546C67;      // "glTF"
constexpr uint32_t kJsonChunk = 0x4E4F534A;  // "JSON"
constexpr uint32_t kBinChunk = 0x004E4942;   // "BIN\0"
constexpr int kFloat = 5126;
constexpr int kUnsignedInt = 5125;
constexpr int kArrayBuffer = 34962;
constexpr int kElementArrayBuffer = 34963;

uint64_t paddedTo4(uint64_t size) { return (size + 3) / 4 * 4; }

json vec3(const Vec3& v) { return json::array({v.x, v.y, v.z}); }

json material(const std::string& name, const Rgb& colour) {
  return {{"name", name},
          {"pbrMetallicRoughness",
           {{"baseColorFactor",
             {linearFromSrgb(colour.r), linearFromSrgb(colour.g), linearFromSrgb(colour.b), 1.0}},
            {"metallicFactor", 0.0},
            {"roughnessFactor", 0.4}}}};
}

// The rotation that takes +y (the cylinder's axis) to the unit vector `to`, as x, y, z, w.
json rotationFromY(const Vec3& to) {
  const double w = 1.0 + to.y;
  if (w < 1e-12) return json::array({1.0, 0.0, 0.0, 0.0});
  const double x = to.z;
  const double z = -to.x;
  const double length = std::sqrt(x * x + z * z + w * w);
  return json::array({x / length, 0.0, z / length, w / length});
}

// Builds the JSON and records which meshes go into the binary chunk, in order, as it goes.
class GltfBuilder {
 public:
  // Adds positions, normals, the colours when given (one per vertex) and indices of `mesh` and
  // returns the primitive that uses them.
  json addGeometry(const LobeMesh& mesh, const std::vector<Rgb>* colours = nullptr) {
    std::array<float, 3> low{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                             std::numeric_limits<float>::max()};
    std::array<float, 3> high{-low[0], -low[1], -low[2]};
    for (const Vec3& p : mesh.positions) {
      const std::array<float, 3> f{static_cast<float>(p.x), static_cast<float>(p.y),
                                   static_cast<float>(p.z)};
      for (std::size_t k = 0; k < 3; ++k) {
        low[k] = std::min(low[k], f[k]);
        high[k] = std::max(high[k], f[k]);
      }
    }
    const uint64_t vertices = mesh.positions.size();
    json position = accessor(addView(12 * vertices, kArrayBuffer), kFloat, vertices, "VEC3");
    position["min"] = low;
    position["max"] = high;
    json attributes{{"POSITION", addAccessor(std::move(position))},
                    {"NORMAL", addAccessor(accessor(addView(12 * vertices, kArrayBuffer), kFloat,
                                                    vertices, "VEC3"))}};
    if (colours) {
      attributes["COLOR_0"] =
          addAccessor(accessor(addView(12 * vertices, kArrayBuffer), kFloat, vertices, "VEC3"));
    }
    const uint64_t indices = 3 * mesh.triangles.size();
    const std::size_t indexAccessor = addAccessor(
        accessor(addView(4 * indices, kElementArrayBuffer), kUnsignedInt, indices, "SCALAR"));
    m_meshes.push_back({&mesh, colours});
    return {{"attributes", std::move(attributes)}, {"indices", indexAccessor}};
  }

  std::size_t addMaterial(const std::string& name, const Rgb& colour) {
    m_gltf["materials"].push_back(material(name, colour));
    return m_gltf["materials"].size() - 1;
  }

  std::size_t addMesh(const std::string& name, json primitive, std::size_t materialIndex) {
    primitive["material"] = materialIndex;
    m_gltf["meshes"].push_back({{"name", name}, {"primitives", json::array({primitive})}});
    return m_gltf["meshes"].size() - 1;
  }

  std::size_t addNode(json node) {
    m_gltf["nodes"].push_back(std::move(node));
    return m_gltf["nodes"].size() - 1;
  }

  [[nodiscard]] uint64_t binarySize() const { return m_binarySize; }
  // A mesh whose geometry goes into the binary chunk, with its colours when it has them.
  struct Geometry {
    const LobeMesh* mesh;
    const std::vector<Rgb>* colours;
  };
  [[nodiscard]] const std::vector<Geometry>& meshes() const { return m_meshes; }

  // The finished JSON, with the scene holding `roots`.
  json finish(const json& roots) {
    m_gltf["asset"] = {
        {"version", "2.0"}, {"generator", "Lobewright"}, {"extras", {{"lengthUnit", "Angstrom"}}}};
    if (m_binarySize > 0) m_gltf["buffers"] = json::array({{{"byteLength", m_binarySize}}});
    if (!roots.empty()) {
      m_gltf["scene"] = 0;
      m_gltf["scenes"] = json::array({{{"name", "orbital"}, {"nodes", roots}}});
    }
    return std::move(m_gltf);
  }

 private:
  static json accessor(std::size_t view, int componentType, uint64_t count, const char* type) {
    return {
        {"bufferView", view}, {"componentType", componentType}, {"count", count}, {"type", type}};
  }

  std::size_t addView(uint64_t length, int target) {
    m_gltf["bufferViews"].push_back(
        {{"buffer", 0}, {"byteOffset", m_binarySize}, {"byteLength", length}, {"target", target}});
    m_binarySize += length;
    return m_gltf["bufferViews"].size() - 1;
  }

  std::size_t addAccessor(json a) {
    m_gltf["accessors"].push_back(std::move(a));
    return m_gltf["accessors"].size() - 1;
  }

  json m_gltf = json::object();
  uint64_t m_binarySize = 0;
  std::vector<Geometry> m_meshes;
};

// One mesh per element and shape, made on first use: all of them share the geometry of the one
// unit sphere or cylinder and differ in material only.
class StructureMeshes {
 public:
  StructureMeshes(GltfBuilder& builder, const LobeMesh& sphere, const LobeMesh& cylinder)
      : m_builder(builder), m_sphere(sphere), m_cylinder(cylinder) {}

  std::size_t sphereMesh(int atomicNumber, const Rgb& colour) {
    return meshFor(m_spheres, m_sphere, m_spherePrimitive, "atom", atomicNumber, colour);
  }
  std::size_t stickMesh(int atomicNumber, const Rgb& colour) {
    return meshFor(m_sticks, m_cylinder, m_cylinderPrimitive, "stick", atomicNumber, colour);
  }

 private:
  std::size_t meshFor(std::map<int, std::size_t>& meshes, const LobeMesh& shape, json& primitive,
                      const char* kind, int atomicNumber, const Rgb& colour) {
    const auto found = meshes.find(atomicNumber);
    if (found != meshes.end()) return found->second;
    if (primitive.is_null()) primitive = m_builder.addGeometry(shape);
    const std::string name = structureMaterialName(atomicNumber);
    auto material = m_materials.find(atomicNumber);
    if (material == m_materials.end()) {
      material = m_materials.emplace(atomicNumber, m_builder.addMaterial(name, colour)).first;
    }
    const std::size_t mesh = m_builder.addMesh(name + " " + kind, primitive, material->second);
    meshes.emplace(atomicNumber, mesh);
    return mesh;
  }

  GltfBuilder& m_builder;
  const LobeMesh& m_sphere;
  const LobeMesh& m_cylinder;
  json m_spherePrimitive;
  json m_cylinderPrimitive;
  std::map<int, std::size_t> m_materials;
  std::map<int, std::size_t> m_spheres;
  std::map<int, std::size_t> m_sticks;
};

std::string atomLabel(int atomicNumber, std::size_t index) {
  const std::string_view symbol = elementSymbol(atomicNumber);
  return (symbol.empty() ? std::string("X") : std::string(symbol)) + std::to_string(index + 1);
}

// The builder keeps pointers to `sphere` and `cylinder` until the binary chunk is written.
json structureNode(GltfBuilder& builder, const BallAndStickModel& structure, const LobeMesh& sphere,
                   const LobeMesh& cylinder) {
  StructureMeshes meshes(builder, sphere, cylinder);
  json children = json::array();
  for (std::size_t i = 0; i < structure.spheres.size(); ++i) {
    const StructureSphere& s = structure.spheres[i];
    if (!isDrawable(s)) continue;
    children.push_back(builder.addNode({{"name", atomLabel(s.atomicNumber, i)},
                                        {"mesh", meshes.sphereMesh(s.atomicNumber, s.colour)},
                                        {"translation", vec3(s.centre)},
                                        {"scale", {s.radius, s.radius, s.radius}}}));
  }
  for (std::size_t i = 0; i < structure.sticks.size(); ++i) {
    const StructureStick& s = structure.sticks[i];
    if (!isDrawable(s)) continue;
    const Vec3 axis = s.end - s.start;
    const double length = norm(axis);
    children.push_back(builder.addNode({{"name", "stick " + std::to_string(i + 1)},
                                        {"mesh", meshes.stickMesh(s.atomicNumber, s.colour)},
                                        {"translation", vec3(s.start)},
                                        {"rotation", rotationFromY((1.0 / length) * axis)},
                                        {"scale", {s.radius, length, s.radius}}}));
  }
  if (children.empty()) return nullptr;
  return {{"name", "structure"}, {"children", std::move(children)}};
}

void writeFloats(LittleEndianOutput& binary, const std::vector<Vec3>& points) {
  for (const Vec3& p : points) {
    binary.f32(static_cast<float>(p.x));
    binary.f32(static_cast<float>(p.y));
    binary.f32(static_cast<float>(p.z));
  }
}

// glTF's vertex colours are in linear light, ours in sRGB.
void writeLinearColours(LittleEndianOutput& binary, const std::vector<Rgb>& colours) {
  for (const Rgb& c : colours) {
    binary.f32(linearFromSrgb(c.r));
    binary.f32(linearFromSrgb(c.g));
    binary.f32(linearFromSrgb(c.b));
  }
}

constexpr Rgb kWhite{1.0f, 1.0f, 1.0f};

}  // namespace

MeshWriteResult writeGlb(std::ostream& out, const OrbitalMesh& mesh,
                         const BallAndStickModel& structure, const GlbOptions& options) {
  const SurfaceColouring* colouring = options.colouring;
  for (const LobeSign sign : {LobeSign::positive, LobeSign::negative}) {
    const char* name = sign == LobeSign::positive ? "positive" : "negative";
    if (std::string problem = colouring
                                  ? checkColouredMesh(mesh.lobe(sign), colouring->of(sign), name)
                                  : checkMesh(mesh.lobe(sign), name);
        !problem.empty()) {
      return {std::move(problem)};
    }
  }

  GltfBuilder builder;
  json roots = json::array();
  for (const LobeSign sign : {LobeSign::positive, LobeSign::negative}) {
    const LobeMesh& lobe = mesh.lobe(sign);
    if (lobe.triangles.empty()) continue;
    const bool positive = sign == LobeSign::positive;
    const std::string name = positive ? "positive" : "negative";
    const Rgb& colour = colouring  ? kWhite
                        : positive ? options.colours.positive
                                   : options.colours.negative;
    const std::size_t material = builder.addMaterial(name, colour);
    const std::size_t meshIndex = builder.addMesh(
        name, builder.addGeometry(lobe, colouring ? &colouring->of(sign) : nullptr), material);
    roots.push_back(builder.addNode({{"name", name}, {"mesh", meshIndex}}));
  }
  const LobeMesh sphere = unitIcosphere(kSphereSubdivisions);
  const LobeMesh cylinder = unitCylinder(kStickSegments);
  if (options.includeStructure) {
    json node = structureNode(builder, structure, sphere, cylinder);
    if (!node.is_null()) roots.push_back(builder.addNode(std::move(node)));
  }

  std::string text = builder.finish(roots).dump();
  text.resize(paddedTo4(text.size()), ' ');
  const uint64_t binary = paddedTo4(builder.binarySize());
  const uint64_t total = 12 + 8 + text.size() + (binary > 0 ? 8 + binary : 0);
  if (total > UINT32_MAX) return {"The glTF file would exceed the format's 4 GiB."};

  LittleEndianOutput output(out);
  output.u32(kMagic);
  output.u32(2);
  output.u32(static_cast<uint32_t>(total));
  output.u32(static_cast<uint32_t>(text.size()));
  output.u32(kJsonChunk);
  output.bytes(text);
  if (binary > 0) {
    output.u32(static_cast<uint32_t>(binary));
    output.u32(kBinChunk);
    for (const auto& [part, colours] : builder.meshes()) {
      writeFloats(output, part->positions);
      writeFloats(output, part->normals);
      if (colours) writeLinearColours(output, *colours);
      for (const auto& triangle : part->triangles) {
        for (const uint32_t index : triangle) output.u32(index);
      }
    }
    output.zeros(binary - builder.binarySize());
  }
  output.flush();
  return streamResult(out);
}

}  // namespace lobewright
