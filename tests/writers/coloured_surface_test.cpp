// A surface coloured by a field: the OBJ gives each vertex its own colour under white materials, a
// framed scene blends a texture per vertex and adds the colour bar, and every writer refuses a
// colouring that misses a vertex. (The .glb's and .ply's colours are read back by real programs
// in mesh_consumers_test and from a conversion in surface_colouring_test.)
#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <sstream>

#include "support/closed_meshes.h"
#include "writers/framed_pov_writer.h"
#include "writers/glb_writer.h"
#include "writers/obj_writer.h"
#include "writers/ply_writer.h"
#include "writers/pov_colour_bar.h"

namespace lobewright {
namespace {

// Colours that tell neighbouring vertices apart.
std::vector<Rgb> stripes(std::size_t count, float blue) {
  std::vector<Rgb> colours;
  for (std::size_t i = 0; i < count; ++i) {
    colours.push_back({static_cast<float>(i % 11) / 10.0f, static_cast<float>(i % 7) / 6.0f, blue});
  }
  return colours;
}

const ColourScale kPotentialScale{"electrostatic potential",
                                  -0.05,
                                  0.08,
                                  Palette::redWhiteBlue,
                                  {{"a.u.", 1.0}, {"kcal/mol", 627.5095}}};

struct ColouredSample {
  OrbitalMesh mesh = testing::twoLobes(2);
  BallAndStickModel structure = buildBallAndStick(testing::formaldehyde());
  SurfaceColouring colouring{stripes(mesh.positive.positions.size(), 0.25f),
                             stripes(mesh.negative.positions.size(), 0.75f), kPotentialScale};
};

template <typename Write>
std::string written(Write write) {
  std::ostringstream out;
  EXPECT_TRUE(write(out).succeeded());
  return out.str();
}

TEST(ColouredSurface, ObjVerticesCarryTheirColoursAndTheLobesMaterialsAreWhite) {
  const ColouredSample s;
  const ObjOptions options{{}, true, "orbital.mtl", &s.colouring};
  const std::string obj =
      written([&](std::ostream& out) { return writeObj(out, s.mesh, s.structure, options); });
  const std::string mtl =
      written([&](std::ostream& out) { return writeMtl(out, s.mesh, s.structure, options); });
  std::istringstream lines(obj);
  std::vector<std::vector<double>> vertices;
  for (std::string line; std::getline(lines, line);) {
    if (!line.starts_with("v ")) continue;
    std::istringstream numbers(line.substr(2));
    vertices.emplace_back();
    for (double x; numbers >> x;) vertices.back().push_back(x);
  }
  std::size_t vertex = 0;
  for (const std::vector<Rgb>* lobe : {&s.colouring.positive, &s.colouring.negative}) {
    for (const Rgb& c : *lobe) {
      ASSERT_EQ(vertices[vertex].size(), 6u) << vertex;
      EXPECT_NEAR(vertices[vertex][3], c.r, 1e-6);
      EXPECT_NEAR(vertices[vertex][5], c.b, 1e-6);
      ++vertex;
    }
  }
  EXPECT_EQ(vertices[vertex].size(), 3u) << "the structure's vertices have no colour";
  EXPECT_NE(mtl.find("newmtl positive\nKa 0 0 0\nKd 1 1 1\n"), std::string::npos) << mtl;
  EXPECT_NE(mtl.find("newmtl negative\nKa 0 0 0\nKd 1 1 1\n"), std::string::npos) << mtl;
  EXPECT_NE(mtl.find("newmtl element_O\nKa 0 0 0\nKd 1 0.45 0.4\n"), std::string::npos) << mtl;
}

TEST(ColouredSurface, TheFramedSceneBlendsATextureListAndShowsTheColourBar) {
  const ColouredSample s;
  FramedSceneOptions options;
  options.colouring = &s.colouring;
  const std::string scene = written(
      [&](std::ostream& out) { return writeFramedPovScene(out, s.mesh, s.structure, options); });
  // Each lobe lists its distinct colours once and gives each face its corners' textures.
  const std::regex list(R"(texture_list \{ (\d+),)");
  std::vector<int> lists;
  for (auto m = std::sregex_iterator(scene.begin(), scene.end(), list); m != std::sregex_iterator();
       ++m) {
    lists.push_back(std::stoi((*m)[1]));
  }
  EXPECT_EQ(lists, (std::vector<int>{77, 77})) << "11 x 7 stripes per lobe";
  // Vertex i has the (i mod 77)th colour to appear.
  for (const auto& t : s.mesh.negative.triangles) {
    std::ostringstream face;
    face << '<' << t[0] << ',' << t[1] << ',' << t[2] << ">, " << t[0] % 77 << ", " << t[1] % 77
         << ", " << t[2] % 77;
    ASSERT_NE(scene.find(face.str()), std::string::npos) << face.str();
  }
  EXPECT_EQ(scene.find("texture { Positive }"), std::string::npos);
  // The bar: its title, both ends in both units, and 0 between them.
  for (const char* text : {"\"electrostatic\"", "\"potential\"", "\"+0.08 a.u.\"",
                           "\"+50.2 kcal/mol\"", "\"-0.05 a.u.\"", "\"-31.4 kcal/mol\"", "\"0\""}) {
    EXPECT_NE(scene.find(text), std::string::npos) << text;
  }
}

TEST(ColouredSurface, EveryWriterRefusesAColouringThatMissesAVertex) {
  ColouredSample s;
  s.colouring.negative.pop_back();
  const std::vector<std::pair<const char*, std::function<MeshWriteResult(std::ostream&)>>> writers{
      {"glb",
       [&](auto& out) {
         return writeGlb(out, s.mesh, {}, {{}, true, &s.colouring});
       }},
      {"ply",
       [&](auto& out) {
         return writePly(out, s.mesh, {}, {{}, true, &s.colouring});
       }},
      {"obj",
       [&](auto& out) {
         return writeObj(out, s.mesh, {}, {{}, true, "o.mtl", &s.colouring});
       }},
      {"pov",
       [&](auto& out) {
         FramedSceneOptions options;
         options.colouring = &s.colouring;
         return writeFramedPovScene(out, s.mesh, {}, options);
       }},
  };
  for (const auto& [format, write] : writers) {
    std::ostringstream out;
    const MeshWriteResult result = write(out);
    EXPECT_NE(result.error.find("The negative mesh has"), std::string::npos) << format;
    EXPECT_TRUE(out.str().empty()) << format;
  }
}

TEST(ColourBar, NumbersHaveThreeDigitsAndASignAndZeroShowsWhereItFits) {
  const std::pair<double, const char*> numbers[] = {
      {0.0, "0"},          {0.05, "+0.05"},     {-0.0512345, "-0.0512"},
      {31.37548, "+31.4"}, {-627.5095, "-628"}, {2.5e-5, "+2.5e-05"},
  };
  for (const auto& [value, text] : numbers) EXPECT_EQ(colourBarNumber(value), text);

  ColourScale density{"total density", 0.0, 0.3, Palette::viridis, {{"e/bohr^3", 1.0}}};
  const std::string bar = povColourBar(density, 4.0 / 3.0, 30.0);
  EXPECT_NE(bar.find("\"total density\""), std::string::npos);
  EXPECT_NE(bar.find("\"+0.3 e/bohr^3\""), std::string::npos);
  EXPECT_EQ(bar.find("\"0\""), std::string::npos) << "0 is an end, not between them";
  density.low = -0.001;  // 0 at the very bottom, where the low end's label is
  EXPECT_EQ(povColourBar(density, 4.0 / 3.0, 30.0).find("\"0\""), std::string::npos);
  EXPECT_GT(colourBarShare(4.0 / 3.0), 0.2);
  EXPECT_LT(colourBarShare(4.0 / 3.0), 0.35);
}

}  // namespace
}  // namespace lobewright
