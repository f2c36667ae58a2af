#include "writers/pov_scene_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/classic_scene.h"
#include "app/grid_extent.h"
#include "mesh/polygonizer.h"
#include "support/classic_samples.h"
#include "support/golden.h"

namespace lobewright {
namespace {

using testing::allLineEndsAreCrLf;
using testing::ClassicBuilder;

constexpr const char* kHeaderWithoutCredit =
    "//File created by Lobewright Version 1.2\r\n"
    "#declare positive = texture { pigment {color rgb <1,0,0> } }\r\n"
    "#declare negative = texture { pigment  {color rgb <0,0,1> } }\r\n"
    "#declare AtomH = color rgb<1,1,1>;\r\n"
    "#declare AtomC = color rgb<.3,.3,.3>;\r\n"
    "#declare AtomN = color rgb<0,0,1>;\r\n"
    "#declare AtomO = color rgb<1,0,0>;\r\n"
    "#declare BondFinish = finish {}\r\n";

std::string withoutSecondLine(const std::string& text) {
  const std::size_t first = text.find('\n') + 1;
  return text.substr(0, first) + text.substr(text.find('\n', first) + 1);
}

std::size_t count(const std::string& text, const std::string& piece) {
  std::size_t n = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
    ++n;
  }
  return n;
}

// Classic scenes of atoms placed by hand on the built-in table, their positions taken as grid
// units.
class PovSceneWriterTest : public ::testing::Test {
 protected:
  PovSceneWriterTest() : m_atoms(builtInParameters()) {}

  std::string writeScene(const SceneOptions& options, const GridBounds& bounds) {
    std::ostringstream out;
    writeClassicScene(
        out, OutputKind::PovRay, m_atoms.orbital(1), classicSceneAtoms(m_atoms.calculation(), 1),
        options, bounds, [&](int percent) { m_reports.push_back(percent); }, SweepOptions{});
    return out.str();
  }

  ClassicBuilder m_atoms;
  std::vector<int> m_reports;
};

// A field above the threshold only near (12, 3, -7), crossing the three edges from there at
// 0.56, 0.44 and 0.7 of their length.
struct WorkedExampleField {
  float valueAt(float x, float y, float z) const {
    const float reach = 1.0f - (x - 12) / 1.12f - (y - 3) / 0.88f - (z + 7) / 1.4f;
    return 0.1f * std::max(0.0f, reach);
  }
};

TEST_F(PovSceneWriterTest, WorkedExampleUpToItsNormals) {
  std::ostringstream out;
  PovSceneWriter writer(out);
  writer.writeHeader(classicSceneAtoms(m_atoms.calculation(), 1));
  const WorkedExampleField field;
  polygonizeGrid(
      field, 0.05f, 3, GridBounds{12, 3, -7, 13, 4, -6},
      [&](const SurfaceTriangle& t) { writer.writeTriangle(smoothTriangle(field, t)); },
      [](int) {});
  const std::string text = withoutSecondLine(out.str());
  std::string opening = kHeaderWithoutCredit;
  opening += "#declare mo = mesh{smooth_triangle{ <12.5625,3,-7>,<";
  ASSERT_EQ(text.substr(0, opening.size()), opening);
  EXPECT_NE(text.find(">,<12,3.4375,-7>,<"), std::string::npos);
  EXPECT_NE(text.find(">,<12,3,-6.3125>,<"), std::string::npos);
  const std::string closing = ">\r\ntexture { positive } }\r\n";
  EXPECT_EQ(text.substr(text.size() - closing.size()), closing);
  EXPECT_EQ(count(text, "smooth_triangle"), 1u);
}

TEST_F(PovSceneWriterTest, StructureWithBondsJustInsideTheBondLength) {
  m_atoms.add("C", {0, 0, 0}, 0);
  m_atoms.add("H", {6.4f, 0, 0}, 0);      // exactly 1.6 Angstrom at scale 4: no bond
  m_atoms.add("O", {0, -6.3999f, 0}, 0);  // slightly closer: a bond
  const std::string text = writeScene(SceneOptions{}, {0, 0, 0, 0, 0, 0});
  const std::string structure =
      "#declare AtomRadius=0.2;\r\n"
      "#declare Mol = union {sphere { <0,0,0>, AtomRadius pigment { color AtomC}\r\n"
      "finish{BondFinish} }\r\n"
      "sphere { <6.4,0,0>, AtomRadius pigment { color AtomH}\r\n"
      "finish{BondFinish} }\r\n"
      "sphere { <0,-6.3999,0>, AtomRadius pigment { color AtomO}\r\n"
      "finish{BondFinish} }\r\n"
      "cylinder{ <0,0,0>,<0,1,0>,AtomRadius\r\n"
      "pigment { gradient y\r\n"
      "  color_map { [0.5 color AtomC]\r\n"
      "    [0.5 color AtomO] }\r\n"
      "  }\r\n"
      " finish { BondFinish }\r\n"
      "  scale <1,6.3999,1>\r\n"
      "  rotate z*-180\r\n"
      "  rotate y*0\r\n"
      "  translate <0,0,0>\r\n"
      "}\r\n"
      "}\r\n"
      "camera { location <0,0,0>\r\n"
      "look_at <0,0,10> }\r\n"
      "light_source { <0,0,0> color rgb<0.5,0.5,0.5> }\r\n"
      "light_source { <20,10,-10> color rgb 1 }\r\n"
      "object { Mol translate <0,0,40> }\r\n";
  ASSERT_GE(text.size(), structure.size());
  EXPECT_EQ(text.substr(text.size() - structure.size()), structure);
}

TEST_F(PovSceneWriterTest, EmptySurfaceLeavesTheMeshOutAndStructureOffLeavesTheMoleculeOut) {
  m_atoms.add("H", {0, 0, 0}, 1.0f);
  SceneOptions options;
  options.threshold = 100.0f;
  options.showStructure = false;
  options.scale = 1;
  const std::string text = writeScene(options, {-1, -1, -1, 1, 1, 1});
  EXPECT_EQ(withoutSecondLine(text), std::string(kHeaderWithoutCredit) +
                                         "camera { location <0,0,0>\r\n"
                                         "look_at <0,0,10> }\r\n"
                                         "light_source { <0,0,0> color rgb<0.5,0.5,0.5> }\r\n"
                                         "light_source { <20,10,-10> color rgb 1 }\r\n");
  EXPECT_EQ(m_reports, (std::vector<int>{0, 50, 100}));
}

TEST_F(PovSceneWriterTest, EveryElementOfTheTableHasADeclaredColour) {
  std::ostringstream out;
  PovSceneWriter(out).writeHeader(classicSceneAtoms(ClassicBuilder().calculation(), 1));
  const std::string text = out.str();
  EXPECT_NE(text.find("#declare AtomO = color rgb<1,0,0>;\r\n#declare AtomF = color "),
            std::string::npos);
  for (const char* symbol : {"F", "P", "S", "Cl", "Br", "I"}) {
    EXPECT_EQ(count(text, std::string("#declare Atom") + symbol + " = color rgb<"), 1u) << symbol;
  }
}

TEST_F(PovSceneWriterTest, SampleSceneMatchesItsGoldenFile) {
  const testing::ClassicMoRead read = testing::readClassicMoSample("formaldehyde.mno", 6);
  ASSERT_TRUE(read.read);
  SceneOptions options;
  options.scale = 2;
  const ClassicOrbital orbital(read.calculation, read.coefficients, 2, 3.5f);
  std::ostringstream out;
  writeClassicScene(
      out, OutputKind::PovRay, orbital, classicSceneAtoms(read.calculation, 2), options,
      computeGridBounds(orbital, options.scale), [](int) {}, SweepOptions{});
  const std::string text = out.str();
  EXPECT_TRUE(allLineEndsAreCrLf(text));
  testing::expectMatchesGolden(text, "formaldehyde-homo-scale2.pov");
}

}  // namespace
}  // namespace lobewright
