#include "app/written_scene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "app/conversion.h"
#include "support/golden.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace lobewright {
namespace {

using testing::dataPath;

// A triangle that carries its place in the stream in its first corner's x.
SceneTriangle numbered(int i) {
  return {{Vec3{double(i), 0, 0}, Vec3{}, Vec3{}}, LobeSign::positive, std::nullopt};
}

TEST(SceneSampler, KeepsAnEvenSampleWithinItsLimit) {
  struct Case {
    int added;
    std::size_t limit;
    std::size_t kept;
    int stride;
  };
  for (const Case c : {Case{5, 8, 5, 1}, Case{8, 8, 8, 1}, Case{9, 8, 5, 2}, Case{100, 8, 7, 16},
                       Case{1000, 10, 8, 128}}) {
    SceneSampler sampler(c.limit);
    for (int i = 0; i < c.added; ++i) sampler.add(numbered(i));
    const WrittenScene scene = sampler.take({});
    EXPECT_EQ(scene.surfaceTriangles, c.added);
    ASSERT_EQ(scene.triangles.size(), c.kept) << c.added;
    ASSERT_LE(scene.triangles.size(), c.limit);
    for (std::size_t k = 0; k < scene.triangles.size(); ++k) {
      EXPECT_EQ(scene.triangles[k].corners[0].x, double(k) * c.stride) << c.added;
    }
  }
}

class SceneOfRun : public ::testing::Test {
 protected:
  ConversionOutcome run(const std::string& input, int mo, OutputKind kind, const char* name) {
    request.parameterFile = dataPath("pm3r.txt");
    request.inputFile = dataPath(input);
    request.settings.moNumber = mo;
    request.settings.outputKind = kind;
    request.settings.outputPath = directory.file(name);
    request.keepScene = true;
    return runConversion(request, sink, [](int) {});
  }

  testing::TempDir directory;
  ConversionRequest request;
  testing::RecordingSink sink;
};

// The scene lies around the atoms in Angstrom, whichever path wrote the surface, and holds every
// triangle written when they are few.
TEST_F(SceneOfRun, HoldsTheTrianglesWrittenAroundTheAtoms) {
  struct Case {
    const char* input;
    int mo;
    OutputKind kind;
    const char* output;
  };
  for (const Case c : {Case{"formaldehyde.mno", 6, OutputKind::PovRay, "a.pov"},
                       Case{"formaldehyde.mno", 6, OutputKind::LScript, "a.ls"},
                       Case{"aux/formaldehyde_PM7.aux", 6, OutputKind::Stl, "a.stl"}}) {
    const ConversionOutcome outcome = run(c.input, c.mo, c.kind, c.output);
    ASSERT_TRUE(outcome.succeeded()) << outcome.message;
    ASSERT_TRUE(outcome.scene) << c.output;
    const WrittenScene& scene = *outcome.scene;
    EXPECT_EQ(scene.atoms.size(), 4u);
    EXPECT_EQ(scene.surfaceTriangles, outcome.triangles) << c.output;
    EXPECT_EQ(static_cast<int64_t>(scene.triangles.size()), outcome.triangles) << c.output;
    const auto [positive, negative] = std::pair{
        std::count_if(scene.triangles.begin(), scene.triangles.end(),
                      [](const SceneTriangle& t) { return t.sign == LobeSign::positive; }),
        std::count_if(scene.triangles.begin(), scene.triangles.end(),
                      [](const SceneTriangle& t) { return t.sign == LobeSign::negative; })};
    EXPECT_GT(positive, 0) << c.output;
    EXPECT_GT(negative, 0) << c.output;
    for (const SceneTriangle& t : scene.triangles) {
      for (const Vec3& corner : t.corners) {
        double nearest = 1e9;
        for (const CalculationAtom& atom : scene.atoms) {
          nearest = std::min(nearest, norm(atom.position - corner));
        }
        ASSERT_LT(nearest, 4.0) << c.output;
      }
    }
  }
}

TEST_F(SceneOfRun, ACubeGivesTheAtomsAloneAndAFailureNoScene) {
  const ConversionOutcome cube = run("aux/formaldehyde_PM7.aux", 6, OutputKind::Cube, "a.cube");
  ASSERT_TRUE(cube.scene);
  EXPECT_TRUE(cube.scene->triangles.empty());
  EXPECT_EQ(cube.scene->atoms.size(), 4u);

  const ConversionOutcome failed = run("missing.mno", 6, OutputKind::PovRay, "b.pov");
  EXPECT_FALSE(failed.succeeded());
  EXPECT_FALSE(failed.scene);
}

TEST_F(SceneOfRun, NoSceneUnlessAskedFor) {
  request.keepScene = false;
  request.inputFile = dataPath("formaldehyde.mno");
  request.parameterFile = dataPath("pm3r.txt");
  request.settings.moNumber = 6;
  request.settings.outputPath = directory.file("c.pov");
  const ConversionOutcome outcome = runConversion(request, sink, [](int) {});
  ASSERT_TRUE(outcome.succeeded());
  EXPECT_FALSE(outcome.scene);
}

}  // namespace
}  // namespace lobewright
