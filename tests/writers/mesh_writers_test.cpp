#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <sstream>

#include "support/closed_meshes.h"
#include "writers/glb_writer.h"
#include "writers/obj_writer.h"
#include "writers/ply_writer.h"
#include "writers/stl_writer.h"

namespace lobewright {
namespace {

using Writer =
    std::function<MeshWriteResult(std::ostream&, const OrbitalMesh&, const BallAndStickModel&)>;

const std::vector<std::pair<const char*, Writer>>& allWriters() {
  static const std::vector<std::pair<const char*, Writer>> writers{
      {"glb", [](auto& out, auto& m, auto& s) { return writeGlb(out, m, s); }},
      {"obj", [](auto& out, auto& m, auto& s) { return writeObj(out, m, s); }},
      {"mtl", [](auto& out, auto& m, auto& s) { return writeMtl(out, m, s); }},
      {"ply", [](auto& out, auto& m, auto& s) { return writePly(out, m, s); }},
      {"stl", [](auto& out, auto& m, auto& s) { return writeStl(out, m, s); }},
  };
  return writers;
}

TEST(MeshWriters, RefuseBrokenMeshesAndWriteNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<std::pair<const char*, std::function<void(OrbitalMesh&)>>> breakages{
      {"missing normal", [](OrbitalMesh& m) { m.negative.normals.pop_back(); }},
      {"index out of range",
       [](OrbitalMesh& m) {
         m.positive.triangles[3][1] = static_cast<uint32_t>(m.positive.positions.size());
       }},
      {"not a number", [&](OrbitalMesh& m) { m.negative.positions[5].y = nan; }},
      {"beyond single precision", [](OrbitalMesh& m) { m.positive.normals[0].x = 1e39; }},
  };
  for (const auto& [breakage, breakMesh] : breakages) {
    OrbitalMesh mesh = testing::twoLobes(0);
    breakMesh(mesh);
    for (const auto& [format, write] : allWriters()) {
      SCOPED_TRACE(std::string(breakage) + " in " + format);
      std::ostringstream out;
      const MeshWriteResult result = write(out, mesh, {});
      EXPECT_FALSE(result.succeeded());
      EXPECT_NE(result.error.find(" mesh "), std::string::npos) << result.error;
      EXPECT_TRUE(out.str().empty());
    }
  }
}

TEST(MeshWriters, ReportAStreamThatFails) {
  const OrbitalMesh mesh = testing::twoLobes(1);
  for (const auto& [format, write] : allWriters()) {
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    EXPECT_EQ(write(out, mesh, {}).error, kMeshWriteFailedMessage) << format;
  }
}

TEST(MeshWriters, UndrawableStructurePiecesAreLeftOut) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  BallAndStickModel model = buildBallAndStick(testing::formaldehyde());
  const std::string plain = [&] {
    std::ostringstream out;
    EXPECT_TRUE(writeStl(out, {}, model, {.includeStructure = true}).succeeded());
    return out.str();
  }();
  model.spheres.push_back({{nan, 0, 0}, 0.3, kUnknownElementColour, 0});
  model.spheres.push_back({{1, 2, 3}, 0.0, kUnknownElementColour, 0});
  model.sticks.push_back({{1, 2, 3}, {1, 2, 3}, 0.1, kUnknownElementColour, 0});
  model.sticks.push_back({{1, 2, 3}, {1, 2, 4}, 1e300, kUnknownElementColour, 0});
  for (const auto& [format, write] : allWriters()) {
    std::ostringstream out;
    EXPECT_TRUE(write(out, testing::twoLobes(0), model).succeeded()) << format;
  }
  std::ostringstream out;
  EXPECT_TRUE(writeStl(out, {}, model, {.includeStructure = true}).succeeded());
  EXPECT_EQ(out.str(), plain);
}

}  // namespace
}  // namespace lobewright
