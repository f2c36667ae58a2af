// Real programs read what the mesh writers produce: assimp loads every format, admesh finds the
// STL shells closed, Blender imports the glTF, OBJ and PLY with their materials or colours (and a
// surface coloured vertex by vertex with its colours), and the Khronos validator finds no error in
// the glTF. The build requires every one of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "support/closed_meshes.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "support/test_files.h"
#include "writers/glb_writer.h"
#include "writers/obj_writer.h"
#include "writers/ply_writer.h"
#include "writers/stl_writer.h"

namespace lobewright {
namespace {

using nlohmann::json;
using testing::runProgram;
using testing::TempDir;

// Faces of the samples: two lobes of 1280 triangles; formaldehyde's structure has 4 spheres of
// 320 and 6 half-sticks of 64, of which a file that shares geometry stores one of each per
// element (3 elements).
constexpr long kLobeFaces = 2 * 1280;
constexpr long kStructureFaces = 4 * 320 + 6 * 64;
constexpr long kSharedStructureFaces = 3 * (320 + 64);

std::string singleQuoted(const std::string& path) { return "'" + path + "'"; }

// Every format of the same orbital and molecule, written into the test's own folder.
class MeshSamples : public ::testing::Test {
 protected:
  MeshSamples() {
    const OrbitalMesh mesh = testing::twoLobes(3);
    const BallAndStickModel structure = buildBallAndStick(testing::formaldehyde());
    write("orbital.glb", [&](std::ostream& out) { return writeGlb(out, mesh, structure); });
    write("orbital.ply", [&](std::ostream& out) { return writePly(out, mesh, structure); });
    write("lobes.stl", [&](std::ostream& out) { return writeStl(out, mesh, structure); });
    StlOptions withStructure;
    withStructure.includeStructure = true;
    write("molecule.stl",
          [&](std::ostream& out) { return writeStl(out, mesh, structure, withStructure); });
    EXPECT_TRUE(writeObjFiles(file("orbital.obj"), mesh, structure).succeeded());

    // The same surface coloured vertex by vertex: the positive lobe orange and azure in turn,
    // the negative one grey.
    SurfaceColouring colouring;
    for (std::size_t i = 0; i < mesh.positive.positions.size(); ++i) {
      colouring.positive.push_back(i % 2 == 0 ? kOrange : kAzure);
    }
    colouring.negative.assign(mesh.negative.positions.size(), kGrey);
    write("coloured.glb", [&](std::ostream& out) {
      return writeGlb(out, mesh, structure, {{}, true, &colouring});
    });
    write("quantized.glb", [&](std::ostream& out) {
      return writeGlb(out, mesh, structure, {{}, true, &colouring, true});
    });
    write("coloured.ply", [&](std::ostream& out) {
      return writePly(out, mesh, structure, {{}, true, &colouring});
    });
    EXPECT_TRUE(writeObjFiles(file("coloured.obj"), mesh, structure, {{}, true, {}, &colouring})
                    .succeeded());
  }

  static constexpr Rgb kOrange{1.0f, 0.6f, 0.0f};
  static constexpr Rgb kAzure{0.0f, 0.6f, 1.0f};
  static constexpr Rgb kGrey{0.4f, 0.4f, 0.4f};

  [[nodiscard]] std::string file(const std::string& name) const { return m_dir.file(name); }
  [[nodiscard]] testing::ProgramResult run(const std::string& commandLine) const {
    return runProgram(commandLine, m_dir);
  }

 private:
  template <typename Write>
  void write(const std::string& name, Write writeTo) {
    std::ofstream out(file(name), std::ios::binary);
    EXPECT_TRUE(writeTo(out).succeeded()) << name;
  }

  TempDir m_dir;
};

// The integers (or integral parts) that follow the first `label` in `text`, each after blanks
// or a colon; as many as `count` asks, -1 for each one missing.
std::vector<long> numbersAfter(const std::string& text, const std::string& label,
                               std::size_t count = 1) {
  std::vector<long> numbers(count, -1);
  std::size_t at = text.find(label);
  if (at == std::string::npos) return numbers;
  at += label.size();
  for (long& number : numbers) {
    at = text.find_first_not_of(" \t:", at);
    if (at == std::string::npos) break;
    const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), number);
    if (error != std::errc()) break;
    at = static_cast<std::size_t>(end - text.data());
    at = text.find_first_of(" \t\n", at);
  }
  return numbers;
}

long numberAfter(const std::string& text, const std::string& label) {
  return numbersAfter(text, label)[0];
}

TEST_F(MeshSamples, AssimpLoadsEveryFormat) {
  struct Expected {
    const char* name;
    long meshes;
    long faces;
  };
  for (const Expected& e : {Expected{"orbital.glb", 2 + 2 * 3, kLobeFaces + kSharedStructureFaces},
                            Expected{"orbital.obj", 2 + 3, kLobeFaces + kStructureFaces},
                            Expected{"orbital.ply", 1, kLobeFaces + kStructureFaces},
                            Expected{"lobes.stl", 1, kLobeFaces}}) {
    SCOPED_TRACE(e.name);
    const auto result = run(std::string(LOBEWRIGHT_ASSIMP) + " info " + singleQuoted(file(e.name)));
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(numberAfter(result.out, "\nMeshes"), e.meshes) << result.out;
    EXPECT_EQ(numberAfter(result.out, "\nFaces"), e.faces) << result.out;
    if (e.meshes > 1) {
      EXPECT_NE(result.out.find("(positive): [642 / 0 / 1280 |"), std::string::npos);
      EXPECT_NE(result.out.find("(negative): [642 / 0 / 1280 |"), std::string::npos);
    }
  }
}

TEST_F(MeshSamples, AdmeshFindsEveryStlShellClosed) {
  // Two lobes; with the structure also 4 spheres and 6 capped half-sticks.
  for (const auto& [name, parts] : {std::pair("lobes.stl", 2), std::pair("molecule.stl", 12)}) {
    SCOPED_TRACE(name);
    const auto result = run(std::string(LOBEWRIGHT_ADMESH) + " " + singleQuoted(file(name)));
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    const std::string& report = result.out;
    EXPECT_NE(report.find("All facets connected."), std::string::npos) << report;
    EXPECT_EQ(numbersAfter(report, "Total disconnected facets", 2), (std::vector<long>{0, 0}))
        << report;
    for (const char* repair : {"Degenerate facets", "Edges fixed", "Facets removed", "Facets added",
                               "Facets reversed", "Backwards edges", "Normals fixed"}) {
      EXPECT_EQ(numberAfter(report, repair), 0) << repair << "\n" << report;
    }
    EXPECT_EQ(numberAfter(report, "Number of parts"), parts) << report;
    EXPECT_GT(numberAfter(report, "Volume"), 2);  // outward facets give a positive volume
  }
}

TEST_F(MeshSamples, BlenderImportsMaterialsAndColours) {
  const std::string script = std::string(LOBEWRIGHT_TEST_SCRIPTS_DIR) + "/blender_import_check.py";
  const auto result =
      run(std::string(LOBEWRIGHT_BLENDER) + " -b --factory-startup --python-exit-code 1 --python " +
          singleQuoted(script) + " -- " + singleQuoted(file("orbital.glb")) + " " +
          singleQuoted(file("orbital.obj")) + " " + singleQuoted(file("orbital.ply")));
  ASSERT_EQ(result.exitCode, 0) << result.out << result.err;

  std::map<std::string, json> reports;
  std::istringstream lines(result.out);
  const std::string prefix = "LOBEWRIGHT ";
  for (std::string line; std::getline(lines, line);) {
    if (!line.starts_with(prefix)) continue;
    const json report = json::parse(line.substr(prefix.size()));
    reports[report["format"]] = report;
  }
  ASSERT_EQ(reports.size(), 3u) << result.out << result.err;

  const json red = json::array({1.0, 0.0, 0.0});
  const json blue = json::array({0.0, 0.0, 1.0});
  for (const char* format : {"glb", "obj"}) {
    SCOPED_TRACE(format);
    const json& report = reports[format];
    EXPECT_EQ(report["result"], json::array({"FINISHED"}));
    EXPECT_EQ(report["materials"]["positive"], red) << report.dump();
    EXPECT_EQ(report["materials"]["negative"], blue) << report.dump();
    EXPECT_TRUE(report["materials"].contains("element_O")) << report.dump();
  }
  // Blender makes an object per node from the glTF, and counts shared meshes once per object.
  EXPECT_EQ(reports["glb"]["faces"], kLobeFaces + kStructureFaces);
  EXPECT_EQ(reports["obj"]["faces"], kLobeFaces + kStructureFaces);

  // PLY has no materials: Blender keeps the vertex colours as a colour attribute instead.
  const json& ply = reports["ply"];
  EXPECT_EQ(ply["faces"], kLobeFaces + kStructureFaces);
  ASSERT_EQ(ply["colours"].size(), 1u) << ply.dump();
  const json& colours = ply["colours"][0]["colours"];
  for (const json& expected : {json::array({255, 0, 0}), json::array({0, 0, 255})}) {
    EXPECT_NE(std::find(colours.begin(), colours.end(), expected), colours.end()) << ply.dump();
  }
}

// The distinct colours of each <Colors> block of an assimp XML dump, to two decimals.
std::vector<std::set<std::array<long, 3>>> colourBlocks(const std::string& dump) {
  std::vector<std::set<std::array<long, 3>>> blocks;
  for (std::size_t at = dump.find("<Colors"); at != std::string::npos;
       at = dump.find("<Colors", at)) {
    at = dump.find('\n', at) + 1;
    std::istringstream lines(dump.substr(at, dump.find("</Colors>", at) - at));
    blocks.emplace_back();
    for (double r, g, b, a; lines >> r >> g >> b >> a;) {
      blocks.back().insert({std::lround(r * 100), std::lround(g * 100), std::lround(b * 100)});
    }
  }
  return blocks;
}

TEST_F(MeshSamples, AssimpAndBlenderReadEachVertexsColour) {
  // glTF holds the colours in linear light: 0.6 is 0.319 there.
  struct Expected {
    const char* name;
    std::set<std::array<long, 3>> lobe;  // the positive lobe's colours, to two decimals
  };
  for (const Expected& e : {Expected{"coloured.glb", {{100, 32, 0}, {0, 32, 100}}},
                            Expected{"coloured.ply", {{100, 60, 0}, {0, 60, 100}, {40, 40, 40}}},
                            Expected{"coloured.obj", {{100, 60, 0}, {0, 60, 100}}}}) {
    SCOPED_TRACE(e.name);
    const std::string dump = file(std::string(e.name) + ".xml");
    const auto result = run(std::string(LOBEWRIGHT_ASSIMP) + " dump " + singleQuoted(file(e.name)) +
                            " " + singleQuoted(dump));
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    const auto blocks = colourBlocks(testing::readFile(dump));
    EXPECT_TRUE(std::any_of(blocks.begin(), blocks.end(), [&](const auto& colours) {
      return std::includes(colours.begin(), colours.end(), e.lobe.begin(), e.lobe.end());
    })) << "assimp has no mesh with the lobe's colours";
  }

  const std::string script = std::string(LOBEWRIGHT_TEST_SCRIPTS_DIR) + "/blender_import_check.py";
  const auto result =
      run(std::string(LOBEWRIGHT_BLENDER) + " -b --factory-startup --python-exit-code 1 --python " +
          singleQuoted(script) + " -- " + singleQuoted(file("coloured.glb")) + " " +
          singleQuoted(file("coloured.obj")) + " " + singleQuoted(file("coloured.ply")));
  ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
  std::map<std::string, json> reports;
  std::istringstream lines(result.out);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("LOBEWRIGHT ")) {
      const json report = json::parse(line.substr(11));
      reports[report["format"]] = report;
    }
  }
  ASSERT_EQ(reports.size(), 3u) << result.out << result.err;
  // Blender 3.4 reads the OBJ's geometry but not its vertex colours.
  EXPECT_EQ(reports["obj"]["faces"], kLobeFaces + kStructureFaces);
  EXPECT_EQ(reports["glb"]["vertex_colour_materials"], json::array({"negative", "positive"}));
  for (const char* format : {"glb", "ply"}) {
    SCOPED_TRACE(format);
    std::set<json> colours;
    for (const json& summary : reports[format]["colours"]) {
      if (!summary.is_null()) colours.insert(summary["colours"].begin(), summary["colours"].end());
    }
    for (const json& expected :
         {json::array({255, 153, 0}), json::array({0, 153, 255}), json::array({102, 102, 102})}) {
      EXPECT_TRUE(colours.contains(expected)) << expected.dump() << " in " << json(colours).dump();
    }
  }
}

TEST_F(MeshSamples, KhronosValidatorFindsNoErrorInTheGlb) {
  const std::filesystem::path module =
      std::filesystem::path(LOBEWRIGHT_NODE_MODULES) / "gltf-validator";
  ASSERT_TRUE(std::filesystem::exists(module / "package.json"))
      << module << " is missing: `make deps` installs it";
  const std::string script = std::string(LOBEWRIGHT_TEST_SCRIPTS_DIR) + "/validate_gltf.js";
  for (const char* glb : {"orbital.glb", "coloured.glb", "quantized.glb"}) {
    const auto result = run(std::string(LOBEWRIGHT_NODE) + " " + singleQuoted(script) + " " +
                            singleQuoted(module.string()) + " " + singleQuoted(file(glb)));
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    const json report = json::parse(result.out);
    EXPECT_EQ(report["errors"], 0) << glb << report.dump(2);
    EXPECT_EQ(report["warnings"], 0) << glb << report.dump(2);
  }
}

}  // namespace
}  // namespace lobewright
