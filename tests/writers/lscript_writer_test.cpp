#include "writers/lscript_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "mesh/polygonizer.h"
#include "support/classic_samples.h"

namespace lobewright {
namespace {

std::string withCrLf(std::string_view text) {
  std::string result;
  for (const char c : text) {
    if (c == '\n') result += '\r';
    result += c;
  }
  return result;
}

// The header line that names the program's year and credit.
std::string creditLine() {
  return "//" + std::to_string(kCreditYear) + std::string(kCreditText) + "\r\n";
}

// Only the lowest corner (12, 3, -7) of the cube from there is above the threshold 0.5; the
// surface crosses edge 0 at 0.55, edge 1 at 0.45 and edge 2 at 0.7 from it, which three
// bisection steps place at 9/16, 7/16 and 11/16. The value falls away from the corner and stays
// positive, so the triangle is positive and keeps its fan order.
struct CornerField {
  float valueAt(float x, float y, float z) const {
    const float fall = (x - 12.0f) / 0.55f + (y - 3.0f) / 0.45f + (z + 7.0f) / 0.7f;
    return std::max(0.01f, 1.0f - 0.5f * fall);
  }
};

constexpr GridBounds kCornerCube{12, 3, -7, 13, 4, -6};

struct ZeroField {
  float valueAt(float, float, float) const { return 0.0f; }
};

class LScriptWriterTest : public ::testing::Test {
 protected:
  LScriptWriterTest() : m_atoms(builtInParameters()) {
    m_options.scale = 4;
    m_options.accuracy = 3;
    m_options.threshold = 0.5f;
    m_options.showStructure = false;
  }

  // Atoms placed by hand; their positions are taken as grid units.
  void addAtom(const char* symbol, Point at) { m_atoms.add(symbol, at, 0); }

  // The classic script with the surface the literal sweep cuts from the field.
  template <class Field>
  std::string script(const Field& field, const GridBounds& bounds) {
    std::ostringstream out;
    const SceneAtoms atoms = classicSceneAtoms(m_atoms.calculation(), 1);
    LScriptWriter writer(out);
    writer.begin(atoms);
    IndexedMesh mesh;
    polygonizeGrid(
        field, m_options.threshold, m_options.accuracy, bounds,
        [&](const SurfaceTriangle& triangle) {
          const TriangleOrientation orientation = orientTriangle(field, triangle);
          mesh.addTriangle(orientation.sign, triangle, orientation.exchanged);
        },
        [&](int percent) { m_progress.push_back(percent); });
    m_progress.push_back(100);
    writer.finish(atoms, m_options, mesh);
    m_triangles = mesh.triangleCount();
    return out.str();
  }

  // The text between the set-up of one element surface and the next surface (or the end).
  static std::string elementSurface(const std::string& text, const std::string& symbol) {
    const std::string setUp = "setsurface(\"Atom" + symbol + "\");\r\n";
    const std::size_t start = text.find(setUp);
    if (start == std::string::npos) return "<no surface Atom" + symbol + ">";
    const std::size_t body = start + setUp.size();
    std::size_t end = text.find("createsurface(", body);
    if (end == std::string::npos) end = text.size() - std::string_view("}\r\n").size();
    return text.substr(body, end - body);
  }

  testing::ClassicBuilder m_atoms;
  SceneOptions m_options;
  int64_t m_triangles = -1;
  std::vector<int> m_progress;
};

constexpr std::string_view kLobeSurfacesWithoutPolygons = R"(createsurface("positive");
surfObj=Surface("positive");
surfObj.setValue(SURFCOLR,<255,0,0>);
surfObj.setValue(SURFSMAN,85);
setsurface("positive");
editbegin();
editend();
createsurface("negative");
surfObj=Surface("negative");
surfObj.setValue(SURFCOLR,<0,0,255>);
surfObj.setValue(SURFSMAN,85);
setsurface("negative");
editbegin();
editend();
)";

constexpr std::string_view kBuiltInElementSurfaces = R"(createsurface("AtomH");
surfObj=Surface("AtomH");
surfObj.setValue(SURFCOLR,<255,255,255>);
surfObj.setValue(SURFSMAN,85);
setsurface("AtomH");
createsurface("AtomC");
surfObj=Surface("AtomC");
surfObj.setValue(SURFCOLR,<77,77,77>);
surfObj.setValue(SURFSMAN,85);
setsurface("AtomC");
createsurface("AtomN");
surfObj=Surface("AtomN");
surfObj.setValue(SURFCOLR,<0,0,255>);
surfObj.setValue(SURFSMAN,85);
setsurface("AtomN");
createsurface("AtomO");
surfObj=Surface("AtomO");
surfObj.setValue(SURFCOLR,<255,0,0>);
surfObj.setValue(SURFSMAN,85);
setsurface("AtomO");
}
)";

std::string header() {
  return withCrLf("@script modeler\n@version 2.6.1\n\n//File created by Lobewright Version 1.2\n") +
         creditLine() + "main {\r\n";
}

TEST_F(LScriptWriterTest, OneTriangleScript) {
  // With the built-in table and no structure; line by line as LightWave Modeler runs it.
  const std::string expected = header() + withCrLf(R"(editbegin();
pts[3]=addpoint(<12,3,-6.3125>);
pts[2]=addpoint(<12,3.4375,-7>);
pts[1]=addpoint(<12.5625,3,-7>);
editend();
createsurface("positive");
surfObj=Surface("positive");
surfObj.setValue(SURFCOLR,<255,0,0>);
surfObj.setValue(SURFSMAN,85);
setsurface("positive");
editbegin();
poly[1]=pts[1];
poly[2]=pts[2];
poly[3]=pts[3];
addpolygon(poly);
editend();
createsurface("negative");
surfObj=Surface("negative");
surfObj.setValue(SURFCOLR,<0,0,255>);
surfObj.setValue(SURFSMAN,85);
setsurface("negative");
editbegin();
editend();
)") + withCrLf(kBuiltInElementSurfaces);
  EXPECT_EQ(script(CornerField{}, kCornerCube), expected);
  EXPECT_EQ(m_triangles, 1);
  EXPECT_EQ(m_progress, (std::vector<int>{0, 100}));
}

TEST_F(LScriptWriterTest, EmptySurfaceStillGivesACompleteScript) {
  const std::string expected = header() + withCrLf("editbegin();\neditend();\n") +
                               withCrLf(kLobeSurfacesWithoutPolygons) +
                               withCrLf(kBuiltInElementSurfaces);
  EXPECT_EQ(script(ZeroField{}, kCornerCube), expected);
  EXPECT_EQ(m_triangles, 0);
  // Empty bounds sweep nothing, and the script is the same.
  EXPECT_EQ(script(CornerField{}, GridBounds{}), expected);
  EXPECT_EQ(m_progress, (std::vector<int>{0, 100, 100}));
}

TEST_F(LScriptWriterTest, MergedCornersAreWrittenAsRepeatedPointNumbers) {
  // Nine bisection steps put the three crossings within 1/1024 of the corner: one point.
  struct SpikeField {
    float valueAt(float x, float y, float z) const {
      return x == 12.0f && y == 3.0f && z == -7.0f ? 1.0f : 0.0f;
    }
  };
  m_options.accuracy = 9;
  const std::string text = script(SpikeField{}, kCornerCube);
  EXPECT_NE(text.find("editbegin();\r\npts[1]=addpoint(<12.001,3,-7>);\r\neditend();\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("setsurface(\"negative\");\r\neditbegin();\r\n"
                      "poly[1]=pts[1];\r\npoly[2]=pts[1];\r\npoly[3]=pts[1];\r\n"
                      "addpolygon(poly);\r\neditend();\r\n"),
            std::string::npos);
}

TEST_F(LScriptWriterTest, StructureOffLeavesElementSurfacesEmpty) {
  addAtom("H", {12.5f, 3, -7.25f});
  addAtom("C", {18.9f, 3, -7.25f});
  const std::string text = script(ZeroField{}, kCornerCube);
  EXPECT_EQ(text.find("maketesball"), std::string::npos);
  EXPECT_EQ(text.find("makedisc"), std::string::npos);
  EXPECT_TRUE(text.ends_with(withCrLf(kBuiltInElementSurfaces)));
}

std::string bondHalf(std::string_view disc, std::string_view move) {
  return withCrLf("workLayer = lyrfg();\nmtLyr=lyrempty();\nlyrsetfg(mtLyr[1]);\n") +
         std::string(disc) + "\r\nrotate(90.0001,Z);\r\nrotate(0,Y);\r\n" + std::string(move) +
         withCrLf("\ncut();\nlyrsetfg(workLayer);\npaste();\n");
}

TEST_F(LScriptWriterTest, BallsThenBondHalvesOnEachAtomsElementSurface) {
  // A bond of 6.4 grid units along +x; both halves are moved to the lower-numbered atom and
  // land on the surface of their own atom's element.
  m_options.showStructure = true;
  m_options.bondLength = 1.7f;
  addAtom("H", {12.5f, 3, -7.25f});
  addAtom("C", {18.9f, 3, -7.25f});
  addAtom("O", {40, 40, 40});  // far from both: a ball, no bond
  const std::string text = script(ZeroField{}, kCornerCube);
  const std::string move = "move(<12.5,3,-7.25>);";
  EXPECT_EQ(elementSurface(text, "H"), "maketesball(0.2,1,<12.5,3,-7.25>);\r\n" +
                                           bondHalf("makedisc( 0.2,3.2,0,Y,4,1,<0,1.6,0>);", move));
  EXPECT_EQ(elementSurface(text, "C"), "maketesball(0.2,1,<18.9,3,-7.25>);\r\n" +
                                           bondHalf("makedisc( 0.2,3.2,0,Y,4,1,<0,4.8,0>);", move));
  EXPECT_EQ(elementSurface(text, "N"), "");
  EXPECT_EQ(elementSurface(text, "O"), "maketesball(0.2,1,<40,40,40>);\r\n");
}

TEST_F(LScriptWriterTest, BondHalvesFollowTheAtomOrderNotTheElementOrder) {
  m_options.showStructure = true;
  m_options.bondLength = 1.7f;
  addAtom("C", {12.5f, 3, -7.25f});
  addAtom("H", {18.9f, 3, -7.25f});
  const std::string text = script(ZeroField{}, kCornerCube);
  const std::string move = "move(<12.5,3,-7.25>);";
  EXPECT_EQ(elementSurface(text, "C"), "maketesball(0.2,1,<12.5,3,-7.25>);\r\n" +
                                           bondHalf("makedisc( 0.2,3.2,0,Y,4,1,<0,1.6,0>);", move));
  EXPECT_EQ(elementSurface(text, "H"), "maketesball(0.2,1,<18.9,3,-7.25>);\r\n" +
                                           bondHalf("makedisc( 0.2,3.2,0,Y,4,1,<0,4.8,0>);", move));
}

TEST_F(LScriptWriterTest, NoDiscsAtTheBondLengthOrForCoincidentAtoms) {
  m_options.showStructure = true;
  m_options.bondLength = 1.6f;
  addAtom("H", {0, 0, 0});
  addAtom("C", {0, 6.4f, 0});  // 6.4 / 4 is exactly the bond length
  addAtom("O", {8, 8, 8});
  addAtom("O", {8, 8, 8});  // on top of the atom before it
  const std::string text = script(ZeroField{}, kCornerCube);
  EXPECT_EQ(text.find("makedisc"), std::string::npos);
  EXPECT_EQ(elementSurface(text, "O"),
            "maketesball(0.2,1,<8,8,8>);\r\nmaketesball(0.2,1,<8,8,8>);\r\n");

  addAtom("N", {0, 6.39f, 0});  // just inside the bond length, from H
  const std::string closer = script(ZeroField{}, kCornerCube);
  EXPECT_NE(elementSurface(closer, "N").find("makedisc( 0.2,3.195,0,Y,4,1,<0,4.7925,0>);"),
            std::string::npos);
}

TEST_F(LScriptWriterTest, EveryElementOfTheTableGetsASurfaceColouredBySymbol) {
  Pm3ParameterSet table = builtInParameters();
  table.elementCount = 6;
  table.symbol[0] = "Cl";
  table.symbol[4] = "c";
  table.symbol[5] = "H";
  m_atoms = testing::ClassicBuilder(table);
  const std::string text = script(ZeroField{}, kCornerCube);
  EXPECT_TRUE(text.ends_with(withCrLf(R"(createsurface("AtomCl");
surfObj=Surface("AtomCl");
surfObj.setValue(SURFSMAN,85);
setsurface("AtomCl");
createsurface("AtomC");
surfObj=Surface("AtomC");
surfObj.setValue(SURFCOLR,<77,77,77>);
surfObj.setValue(SURFSMAN,85);
setsurface("AtomC");
createsurface("AtomN");
surfObj=Surface("AtomN");
surfObj.setValue(SURFCOLR,<0,0,255>);
surfObj.setValue(SURFSMAN,85);
setsurface("AtomN");
createsurface("AtomO");
surfObj=Surface("AtomO");
surfObj.setValue(SURFCOLR,<255,0,0>);
surfObj.setValue(SURFSMAN,85);
setsurface("AtomO");
createsurface("Atomc");
surfObj=Surface("Atomc");
surfObj.setValue(SURFSMAN,85);
setsurface("Atomc");
createsurface("AtomH");
surfObj=Surface("AtomH");
surfObj.setValue(SURFCOLR,<255,255,255>);
surfObj.setValue(SURFSMAN,85);
setsurface("AtomH");
}
)")));
}

}  // namespace
}  // namespace lobewright
