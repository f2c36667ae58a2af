#include "app/output_choice.h"

#include <gtest/gtest.h>

namespace lobewright {
namespace {

constexpr int kPovRayFilter = 1;
constexpr int kLScriptFilter = 2;

void expectChoice(const OutputChoice& choice, const std::string& dialogFileName,
                  const std::string& outputPath, OutputKind kind) {
  EXPECT_EQ(choice.dialogFileName, dialogFileName);
  EXPECT_EQ(choice.outputPath, outputPath);
  EXPECT_EQ(choice.outputKind, kind);
}

TEST(OutputChoice, TheStartingNameGivesARelativePovRayFile) {
  expectChoice(chooseOutput("out", kPovRayFilter), "out", "out.pov", OutputKind::PovRay);
}

TEST(OutputChoice, TheFilterDecidesTheKindAndReplacesAKnownExtension) {
  expectChoice(chooseOutput("/scenes/mol.pov", kLScriptFilter), "/scenes/mol", "/scenes/mol.ls",
               OutputKind::LScript);
  expectChoice(chooseOutput("/scenes/mol.ls", kPovRayFilter), "/scenes/mol", "/scenes/mol.pov",
               OutputKind::PovRay);
  expectChoice(chooseOutput("/scenes/mol", kLScriptFilter), "/scenes/mol", "/scenes/mol.ls",
               OutputKind::LScript);
}

TEST(OutputChoice, AnyOtherExtensionIsKeptAndTheFiltersAppended) {
  expectChoice(chooseOutput("/scenes/mol.POV", kPovRayFilter), "/scenes/mol.POV",
               "/scenes/mol.POV.pov", OutputKind::PovRay);
  expectChoice(chooseOutput("/old.runs/mol", kPovRayFilter), "/old.runs/mol", "/old.runs/mol.pov",
               OutputKind::PovRay);
  expectChoice(chooseOutput("mol.txt", kLScriptFilter), "mol.txt", "mol.txt.ls",
               OutputKind::LScript);
}

TEST(OutputChoice, ANameThatIsOnlyAnExtensionIsKeptWhole) {
  expectChoice(chooseOutput(".pov", kPovRayFilter), ".pov", ".pov.pov", OutputKind::PovRay);
  expectChoice(chooseOutput("x.pov", kPovRayFilter), "x", "x.pov", OutputKind::PovRay);
}

TEST(OutputChoice, ADirectoryNameStaysInTheDialog) {
  expectChoice(chooseOutput("/scenes/.pov", kLScriptFilter), "/scenes/.pov", "/scenes/.ls",
               OutputKind::LScript);
  expectChoice(chooseOutput("/scenes/", kPovRayFilter), "/scenes/", "/scenes/.pov",
               OutputKind::PovRay);
}

// After the classic two, the filters follow the converter's list of formats; a typed extension
// of any of them gives way to the filter's.
TEST(OutputChoice, TheNewerFormatsFollowTheClassicTwo) {
  struct Case {
    int filterIndex;
    const char* typed;
    const char* path;
    OutputKind kind;
  };
  for (const Case c : {Case{3, "/m/mol.glb", "/m/mol.cube", OutputKind::Cube},
                       Case{4, "/m/mol.pov", "/m/mol.glb", OutputKind::Gltf},
                       Case{5, "/m/mol", "/m/mol.obj", OutputKind::Obj},
                       Case{6, "/m/mol.cube", "/m/mol.ply", OutputKind::Ply},
                       Case{7, "/m/mol.STL", "/m/mol.STL.stl", OutputKind::Stl},
                       Case{8, "/m/mol.ls", "/m/mol.png", OutputKind::Png},
                       Case{9, "/m/mol.png", "/m/mol.html", OutputKind::Html},
                       Case{10, "/m/mol.html", "/m/mol.ls", OutputKind::LScript},
                       Case{0, "/m/mol", "/m/mol.ls", OutputKind::LScript}}) {
    const OutputChoice choice = chooseOutput(c.typed, c.filterIndex);
    EXPECT_EQ(choice.outputPath, c.path) << c.filterIndex;
    EXPECT_EQ(choice.outputKind, c.kind) << c.filterIndex;
  }
}

TEST(OutputChoice, AnEmptyNameIsHandled) {
  expectChoice(chooseOutput("", kPovRayFilter), "", ".pov", OutputKind::PovRay);
}

}  // namespace
}  // namespace lobewright
