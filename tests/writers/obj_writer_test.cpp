#include "writers/obj_writer.h"

#include <gtest/gtest.h>

#include <locale>
#include <sstream>

#include "input/text_scan.h"
#include "support/closed_meshes.h"
#include "support/golden.h"
#include "support/temp_dir.h"

namespace lobewright {
namespace {

struct ParsedObj {
  std::vector<std::string> materialLibraries;
  std::vector<std::string> groups;
  std::vector<std::string> materials;
  std::size_t vertices = 0;
  std::size_t normals = 0;
  std::vector<std::array<long, 3>> faces;  // vertex numbers, checked to equal the normal numbers
};

ParsedObj parseObj(const std::string& text) {
  ParsedObj obj;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const auto words = splitWords(line);
    if (words.empty()) continue;
    const std::string keyword(words[0]);
    if (keyword == "mtllib") obj.materialLibraries.emplace_back(words.at(1));
    if (keyword == "g") obj.groups.emplace_back(words.at(1));
    if (keyword == "usemtl") obj.materials.emplace_back(words.at(1));
    if (keyword == "v") ++obj.vertices;
    if (keyword == "vn") ++obj.normals;
    if (keyword == "f") {
      EXPECT_EQ(words.size(), 4u) << line;
      std::array<long, 3> face{};
      for (std::size_t k = 0; k < 3; ++k) {
        const std::string corner(words.at(k + 1));
        const std::size_t slashes = corner.find("//");
        face[k] = std::stol(corner.substr(0, slashes));
        EXPECT_EQ(corner.substr(slashes + 2), corner.substr(0, slashes)) << line;
      }
      obj.faces.push_back(face);
    }
  }
  return obj;
}

std::string obj(const OrbitalMesh& mesh, const BallAndStickModel& structure,
                const ObjOptions& options = {}) {
  std::ostringstream out;
  EXPECT_TRUE(writeObj(out, mesh, structure, options).succeeded());
  return out.str();
}

TEST(ObjWriter, GroupsMaterialsAndIndicesCountedFromOne) {
  const OrbitalMesh mesh = testing::twoLobes(1);
  ObjOptions options;
  options.materialLibrary = "water-homo.mtl";
  const ParsedObj parsed = parseObj(obj(mesh, {}, options));
  EXPECT_EQ(parsed.materialLibraries, std::vector<std::string>{"water-homo.mtl"});
  EXPECT_EQ(parsed.groups, (std::vector<std::string>{"positive", "negative"}));
  EXPECT_EQ(parsed.materials, parsed.groups);
  const std::size_t positiveVertices = mesh.positive.positions.size();
  EXPECT_EQ(parsed.vertices, positiveVertices + mesh.negative.positions.size());
  EXPECT_EQ(parsed.normals, parsed.vertices);
  ASSERT_EQ(parsed.faces.size(), mesh.positive.triangles.size() + mesh.negative.triangles.size());
  EXPECT_EQ(parsed.faces[0][0], static_cast<long>(mesh.positive.triangles[0][0]) + 1);
  const auto& firstNegative = parsed.faces[mesh.positive.triangles.size()];
  EXPECT_EQ(firstNegative[2],
            static_cast<long>(positiveVertices + mesh.negative.triangles[0][2]) + 1);
  long lowest = parsed.faces[0][0];
  long highest = lowest;
  for (const auto& face : parsed.faces) {
    for (const long v : face) {
      lowest = std::min(lowest, v);
      highest = std::max(highest, v);
    }
  }
  EXPECT_EQ(lowest, 1);
  EXPECT_EQ(highest, static_cast<long>(parsed.vertices));
}

TEST(ObjWriter, NumbersAreShortFixedPointInAnyLocale) {
  OrbitalMesh mesh;
  mesh.positive.positions = {{1.5, -0.25, 1e-9}, {-0.0, 2.0, 0.1}, {123.456789, 0, 0}};
  mesh.positive.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
  mesh.positive.triangles = {{0, 1, 2}};
  const std::string plain = obj(mesh, {});
  EXPECT_NE(plain.find("v 1.5 -0.25 0\nv 0 2 0.1\nv 123.456787 0 0\n"), std::string::npos) << plain;

  // A locale whose decimal separator is a comma must change nothing.
  struct Comma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new Comma));
  std::ostringstream out;
  out.imbue(std::locale());
  EXPECT_TRUE(writeObj(out, mesh, {}).succeeded());
  std::locale::global(previous);
  EXPECT_EQ(out.str(), plain);
}

TEST(ObjWriter, MaterialFileMatchesTheGroups) {
  const OrbitalMesh mesh = testing::twoLobes(0);
  const BallAndStickModel structure = buildBallAndStick(testing::formaldehyde());
  const ParsedObj parsed = parseObj(obj(mesh, structure));
  EXPECT_EQ(parsed.groups, (std::vector<std::string>{"positive", "negative", "element_H",
                                                     "element_C", "element_O"}));
  std::ostringstream material;
  ASSERT_TRUE(writeMtl(material, mesh, structure).succeeded());
  const std::string text = material.str();
  EXPECT_NE(text.find("newmtl positive\nKa 0 0 0\nKd 1 0 0\n"), std::string::npos) << text;
  EXPECT_NE(text.find("newmtl negative\nKa 0 0 0\nKd 0 0 1\n"), std::string::npos);
  EXPECT_NE(text.find("newmtl element_O\nKa 0 0 0\nKd 1 0.45 0.4\n"), std::string::npos);

  ObjOptions withoutStructure;
  withoutStructure.includeStructure = false;
  EXPECT_EQ(parseObj(obj(mesh, structure, withoutStructure)).groups.size(), 2u);
}

TEST(ObjWriter, FilesWrittenSideBySideWithBlanksOutOfTheMaterialName) {
  const testing::TempDir dir;
  const OrbitalMesh mesh = testing::twoLobes(0);
  ASSERT_TRUE(writeObjFiles(dir.file("water homo.obj"), mesh, {}).succeeded());
  EXPECT_EQ(parseObj(testing::readFile(dir.file("water homo.obj"))).materialLibraries,
            std::vector<std::string>{"water_homo.mtl"});
  EXPECT_NE(testing::readFile(dir.file("water_homo.mtl")).find("newmtl negative"),
            std::string::npos);

  const MeshWriteResult clash = writeObjFiles(dir.file("orbital.mtl"), mesh, {});
  EXPECT_FALSE(clash.succeeded());
  EXPECT_NE(clash.error.find("overwritten"), std::string::npos);
  EXPECT_FALSE(writeObjFiles(dir.file("missing/orbital.obj"), mesh, {}).succeeded());

  std::ostringstream out;
  ObjOptions blankName;
  blankName.materialLibrary = "two words.mtl";
  EXPECT_FALSE(writeObj(out, mesh, {}, blankName).succeeded());
  EXPECT_TRUE(out.str().empty());
}

}  // namespace
}  // namespace lobewright
