#include "app/output_choice.h"

#include <gtest/gtest.h>

namespace lobewright {
namespace {

// The filters follow the converter's list of formats, the classic two first.
constexpr int kPovRayFilter = 1;
constexpr int kLScriptFilter = 2;
constexpr int kGltfFilter = 4;
constexpr int kPngFilter = 8;

struct ChoiceCase {
  const char* typed;
  int filterIndex;
  const char* dialogFileName;  // proposed next time
  const char* path;
  OutputKind kind;
  int nextFilterIndex;
  bool extended;
};

TEST(OutputChoice, ATypedExtensionOfAFormatWinsOverTheFilter) {
  const ChoiceCase cases[] = {
      {"out", kPovRayFilter, "out", "out.pov", OutputKind::PovRay, kPovRayFilter, true},
      // The name typed with the POV-Ray filter selected is written as typed.
      {"x.glb", kPovRayFilter, "x", "x.glb", OutputKind::Gltf, kGltfFilter, false},
      {"/scenes/mol.pov", kLScriptFilter, "/scenes/mol", "/scenes/mol.pov", OutputKind::PovRay,
       kPovRayFilter, false},
      {"/m/MOL.PNG", kGltfFilter, "/m/MOL", "/m/MOL.PNG", OutputKind::Png, kPngFilter, false},
      {"/m/mol.cube", 6, "/m/mol", "/m/mol.cube", OutputKind::Cube, 3, false},
      {"/scenes/mol", kLScriptFilter, "/scenes/mol", "/scenes/mol.ls", OutputKind::LScript,
       kLScriptFilter, true},
      {"/m/mol", 5, "/m/mol", "/m/mol.obj", OutputKind::Obj, 5, true},
      // Any other extension is kept and the filter's appended; an index outside the list stands
      // for LScript.
      {"mol.txt", kLScriptFilter, "mol.txt", "mol.txt.ls", OutputKind::LScript, kLScriptFilter,
       true},
      {"/old.runs/mol", kPovRayFilter, "/old.runs/mol", "/old.runs/mol.pov", OutputKind::PovRay,
       kPovRayFilter, true},
      {"/m/mol", 0, "/m/mol", "/m/mol.ls", OutputKind::LScript, kLScriptFilter, true},
      {"/m/mol", 9, "/m/mol", "/m/mol.html", OutputKind::Html, 9, true},
      {"/m/mol.html", kPovRayFilter, "/m/mol", "/m/mol.html", OutputKind::Html, 9, false},
      {"/m/mol", 10, "/m/mol", "/m/mol.ls", OutputKind::LScript, kLScriptFilter, true},
      // A name that is only an extension is a name; a folder stays in the dialog.
      {".pov", kPovRayFilter, ".pov", ".pov.pov", OutputKind::PovRay, kPovRayFilter, true},
      {"/scenes/.glb", kLScriptFilter, "/scenes/.glb", "/scenes/.glb.ls", OutputKind::LScript,
       kLScriptFilter, true},
      {"/scenes/", kPovRayFilter, "/scenes/", "/scenes/.pov", OutputKind::PovRay, kPovRayFilter,
       true},
      {"", kPovRayFilter, "", ".pov", OutputKind::PovRay, kPovRayFilter, true},
  };
  for (const ChoiceCase& c : cases) {
    const OutputChoice choice = chooseOutput(c.typed, c.filterIndex);
    EXPECT_EQ(choice.dialogFileName, c.dialogFileName) << c.typed;
    EXPECT_EQ(choice.outputPath, c.path) << c.typed;
    EXPECT_EQ(choice.outputKind, c.kind) << c.typed;
    EXPECT_EQ(choice.filterIndex, c.nextFilterIndex) << c.typed;
    EXPECT_EQ(choice.extended, c.extended) << c.typed;
  }
}

}  // namespace
}  // namespace lobewright
