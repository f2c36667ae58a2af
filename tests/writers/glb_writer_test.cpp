#include "writers/glb_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>

#include "support/closed_meshes.h"
#include "support/little_endian_reading.h"

namespace lobewright {
namespace {

using nlohmann::json;
using testing::f32At;
using testing::u16At;
using testing::u32At;

// A .glb taken apart along its chunks, checking the framing on the way.
struct Glb {
  json gltf;
  std::string bin;

  explicit Glb(const std::string& bytes) {
    EXPECT_EQ(bytes.substr(0, 4), "glTF");
    EXPECT_EQ(u32At(bytes, 4), 2u);
    EXPECT_EQ(u32At(bytes, 8), bytes.size());
    const uint32_t jsonLength = u32At(bytes, 12);
    EXPECT_EQ(bytes.substr(16, 4), "JSON");
    EXPECT_EQ(jsonLength % 4, 0u);
    const std::string text = bytes.substr(20, jsonLength);
    const std::size_t end = text.rfind('}') + 1;
    EXPECT_EQ(text.find_first_not_of(' ', end), std::string::npos) << "pad with spaces";
    gltf = json::parse(text);
    const std::size_t binStart = 20 + jsonLength;
    if (binStart == bytes.size()) return;
    const uint32_t binLength = u32At(bytes, binStart);
    EXPECT_EQ(binLength % 4, 0u);
    EXPECT_EQ(bytes.substr(binStart + 4, 4), std::string("BIN\0", 4));
    EXPECT_EQ(binStart + 8 + binLength, bytes.size());
    bin = bytes.substr(binStart + 8, binLength);
    const std::size_t used = gltf["buffers"][0]["byteLength"];
    EXPECT_LE(used, bin.size());
    EXPECT_EQ(bin.find_first_not_of('\0', used), std::string::npos) << "pad with zeros";
  }

  [[nodiscard]] const json& accessor(const json& primitive, const char* attribute) const {
    return gltf["accessors"][primitive["attributes"][attribute].get<std::size_t>()];
  }
  // Where an accessor's data starts in the binary chunk; checks it is 4-byte aligned.
  [[nodiscard]] std::size_t offset(const json& a) const {
    const json& view = gltf["bufferViews"][a["bufferView"].get<std::size_t>()];
    const std::size_t at = view["byteOffset"];
    EXPECT_EQ(at % 4, 0u);
    return at;
  }
  [[nodiscard]] const json& meshNamed(const std::string& name) const {
    for (const json& mesh : gltf["meshes"]) {
      if (mesh["name"] == name) return mesh;
    }
    ADD_FAILURE() << "no mesh " << name;
    return gltf["meshes"][0];
  }
};

std::string glb(const OrbitalMesh& mesh, const BallAndStickModel& structure,
                const GlbOptions& options = {}) {
  std::ostringstream out;
  EXPECT_TRUE(writeGlb(out, mesh, structure, options).succeeded());
  return out.str();
}

TEST(GlbWriter, LobesWithMaterialsBoundsAndTheirOwnBytes) {
  const OrbitalMesh mesh = testing::twoLobes(1);
  const Glb file(glb(mesh, {}));
  EXPECT_EQ(file.gltf["asset"]["version"], "2.0");
  for (const LobeSign sign : {LobeSign::positive, LobeSign::negative}) {
    const bool positive = sign == LobeSign::positive;
    const LobeMesh& lobe = mesh.lobe(sign);
    SCOPED_TRACE(positive ? "positive" : "negative");
    const json& primitive = file.meshNamed(positive ? "positive" : "negative")["primitives"][0];
    const json& material = file.gltf["materials"][primitive["material"].get<std::size_t>()];
    EXPECT_EQ(material["pbrMetallicRoughness"]["baseColorFactor"],
              positive ? json::array({1.0, 0.0, 0.0, 1.0}) : json::array({0.0, 0.0, 1.0, 1.0}));
    EXPECT_EQ(material["name"], positive ? "positive" : "negative");

    const json& position = file.accessor(primitive, "POSITION");
    ASSERT_EQ(position["count"], lobe.positions.size());
    float low[3] = {1e30f, 1e30f, 1e30f};
    float high[3] = {-1e30f, -1e30f, -1e30f};
    for (std::size_t i = 0; i < lobe.positions.size(); ++i) {
      const float p[3] = {static_cast<float>(lobe.positions[i].x),
                          static_cast<float>(lobe.positions[i].y),
                          static_cast<float>(lobe.positions[i].z)};
      for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(f32At(file.bin, file.offset(position) + 12 * i + 4 * k), p[k]);
        low[k] = std::min(low[k], p[k]);
        high[k] = std::max(high[k], p[k]);
      }
    }
    for (std::size_t k = 0; k < 3; ++k) {
      EXPECT_EQ(position["min"][k].get<float>(), low[k]);
      EXPECT_EQ(position["max"][k].get<float>(), high[k]);
    }
    const json& normal = file.accessor(primitive, "NORMAL");
    EXPECT_EQ(f32At(file.bin, file.offset(normal) + 4), static_cast<float>(lobe.normals[0].y));
    const json& indices = file.gltf["accessors"][primitive["indices"].get<std::size_t>()];
    EXPECT_EQ(indices["componentType"], 5125);
    ASSERT_EQ(indices["count"], 3 * lobe.triangles.size());
    const std::size_t last = lobe.triangles.size() - 1;
    EXPECT_EQ(u32At(file.bin, file.offset(indices) + 12 * last + 8), lobe.triangles[last][2]);
  }
  EXPECT_EQ(file.gltf["scenes"][0]["nodes"].size(), 2u);
}

TEST(GlbWriter, StructureIsSharedGeometryPlacedByNodes) {
  const OrbitalMesh mesh = testing::twoLobes(0);
  const std::vector<CalculationAtom> atoms = testing::formaldehyde();
  const BallAndStickModel model = buildBallAndStick(atoms);
  const Glb file(glb(mesh, model));
  // Lobes, then one sphere and one cylinder shared by all atom and stick meshes.
  EXPECT_EQ(file.gltf["accessors"].size(), 4u * 3u);
  EXPECT_EQ(file.gltf["meshes"].size(), 2u + 2u * 3u);
  EXPECT_EQ(file.gltf["materials"].size(), 2u + 3u);

  const json& nodes = file.gltf["nodes"];
  const json& structure = nodes[file.gltf["scenes"][0]["nodes"][2].get<std::size_t>()];
  EXPECT_EQ(structure["name"], "structure");
  ASSERT_EQ(structure["children"].size(), atoms.size() + model.sticks.size());
  const json& oxygen = nodes[structure["children"][1].get<std::size_t>()];
  EXPECT_EQ(oxygen["name"], "O2");
  EXPECT_EQ(oxygen["translation"], json::array({0.0, 0.0, 1.21}));
  EXPECT_EQ(file.gltf["meshes"][oxygen["mesh"].get<std::size_t>()]["name"], "element_O atom");

  // A stick's rotation takes the cylinder's +y onto the bond.
  const json& stick = nodes[structure["children"][atoms.size()].get<std::size_t>()];
  const StructureStick& first = model.sticks[0];
  const Vec3 q{stick["rotation"][0], stick["rotation"][1], stick["rotation"][2]};
  const double w = stick["rotation"][3];
  const Vec3 y{0, 1, 0};
  const Vec3 rotated = y + 2.0 * w * cross(q, y) + 2.0 * cross(q, cross(q, y));
  const Vec3 axis = first.end - first.start;
  EXPECT_NEAR(dot(rotated, axis), norm(axis), 1e-12);
  EXPECT_DOUBLE_EQ(stick["scale"][1].get<double>(), norm(axis));

  GlbOptions lobesAlone;
  lobesAlone.includeStructure = false;
  const Glb lobesOnly(glb(mesh, model, lobesAlone));
  EXPECT_EQ(lobesOnly.gltf["scenes"][0]["nodes"].size(), 2u);
  EXPECT_EQ(lobesOnly.gltf["materials"].size(), 2u);
}

TEST(GlbWriter, ColoursAreLinearisedAndEmptyLobesLeftOut) {
  OrbitalMesh mesh = testing::twoLobes(0);
  mesh.negative = {};
  GlbOptions options;
  options.colours.positive = {0.5f, 1.0f, 0.0f};
  const Glb file(glb(mesh, {}, options));
  ASSERT_EQ(file.gltf["meshes"].size(), 1u);
  const json& factor = file.gltf["materials"][0]["pbrMetallicRoughness"]["baseColorFactor"];
  EXPECT_NEAR(factor[0].get<double>(), 0.2140, 1e-4);
  EXPECT_EQ(factor[1], 1.0);

  const Glb nothing(glb(OrbitalMesh{}, {}));
  EXPECT_FALSE(nothing.gltf.contains("meshes"));
  EXPECT_FALSE(nothing.gltf.contains("buffers"));
  EXPECT_TRUE(nothing.bin.empty());
}

// Quantized lobes, undone by their nodes as a reader does, are the same surface to within the
// 16-bit step, their normals within the 8-bit one, in 16-bit indices and half the bytes.
TEST(GlbWriter, QuantizedLobesKeepTheirSurfaceInHalfTheBytes) {
  const OrbitalMesh mesh = testing::twoLobes(2);
  SurfaceColouring colouring;
  colouring.positive.assign(mesh.positive.positions.size(), {1.0f, 0.5f, 0.0f});
  colouring.negative.assign(mesh.negative.positions.size(), {0.0f, 0.0f, 1.0f});
  GlbOptions options;
  options.colouring = &colouring;
  const std::string floats = glb(mesh, {}, options);
  options.quantized = true;
  const std::string bytes = glb(mesh, {}, options);
  EXPECT_LT(bytes.size(), 0.6 * floats.size());
  const Glb file(bytes);
  EXPECT_EQ(file.gltf["extensionsRequired"], json::array({"KHR_mesh_quantization"}));
  const auto i16At = [&](std::size_t at) { return static_cast<int16_t>(u16At(file.bin, at)); };
  const auto i8At = [&](std::size_t at) { return static_cast<int8_t>(file.bin.at(at)); };
  for (const json& node : file.gltf["nodes"]) {
    const LobeMesh& lobe = node["name"] == "positive" ? mesh.positive : mesh.negative;
    SCOPED_TRACE(node["name"].get<std::string>());
    const json& primitive = file.gltf["meshes"][node["mesh"].get<std::size_t>()]["primitives"][0];
    const double scale = node["scale"][0];
    const Vec3 centre{node["translation"][0], node["translation"][1], node["translation"][2]};
    const std::size_t positions = file.offset(file.accessor(primitive, "POSITION"));
    const std::size_t normals = file.offset(file.accessor(primitive, "NORMAL"));
    const std::size_t colours = file.offset(file.accessor(primitive, "COLOR_0"));
    double worstPosition = 0.0;
    double worstNormal = 0.0;
    for (std::size_t v = 0; v < lobe.positions.size(); ++v) {
      const Vec3 read = centre + (scale / 32767.0) * Vec3{double(i16At(positions + 8 * v)),
                                                          double(i16At(positions + 8 * v + 2)),
                                                          double(i16At(positions + 8 * v + 4))};
      worstPosition = std::max(worstPosition, norm(read - lobe.positions[v]));
      const Vec3 normal{i8At(normals + 4 * v) / 127.0, i8At(normals + 4 * v + 1) / 127.0,
                        i8At(normals + 4 * v + 2) / 127.0};
      worstNormal = std::max(worstNormal, norm(normal - lobe.normals[v]));
    }
    EXPECT_LE(worstPosition, std::sqrt(3.0) * 0.5 * scale / 32767.0 * 1.01);
    EXPECT_LE(worstNormal, std::sqrt(3.0) * 0.5 / 127.0 * 1.01);
    const bool positive = node["name"] == "positive";
    EXPECT_EQ(static_cast<unsigned char>(file.bin.at(colours)), positive ? 255 : 0);
    EXPECT_EQ(static_cast<unsigned char>(file.bin.at(colours + 2)), positive ? 0 : 255);
    const json& indices = file.gltf["accessors"][primitive["indices"].get<std::size_t>()];
    ASSERT_EQ(indices["componentType"], 5123);
    const std::size_t first = file.offset(indices);
    for (std::size_t t = 0; t < lobe.triangles.size(); ++t) {
      for (std::size_t k = 0; k < 3; ++k) {
        ASSERT_EQ(u16At(file.bin, first + 2 * (3 * t + k)), lobe.triangles[t][k]);
      }
    }
  }
}

}  // namespace
}  // namespace lobewright
