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

TEST(OutputChoice, AnEmptyNameIsHandled) {
  expectChoice(chooseOutput("", kPovRayFilter), "", ".pov", OutputKind::PovRay);
}

}  // namespace
}  // namespace lobewright
