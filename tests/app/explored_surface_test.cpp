// The explorer builds a field once for the input: going back and forth between two fields
// builds neither again, and a third field or another input does.
#include "app/explored_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>

#include "support/golden.h"

namespace lobewright {
namespace {

TEST(SurfaceExplorer, GoingBackToTheFieldBeforeBuildsNothing) {
  SurfaceExplorer explorer;
  std::size_t densityMatrices = 0;
  ConversionRequest request;
  request.settings.scale = 2;
  request.beforeDensityMatrix = [&](std::size_t) { ++densityMatrices; };
  struct Step {
    const char* input;
    FieldKind kind;
    std::size_t densityMatricesSoFar;
  };
  const Step steps[] = {
      {"formaldehyde_PM7_cation.aux", FieldKind::density, 1},
      {"formaldehyde_PM7_cation.aux", FieldKind::spin, 2},
      {"formaldehyde_PM7_cation.aux", FieldKind::density, 2},
      {"formaldehyde_PM7_cation.aux", FieldKind::spin, 2},
      {"formaldehyde_PM7_cation.aux", FieldKind::alpha, 3},
      {"formaldehyde_PM7_cation.aux", FieldKind::density, 4},
      {"formaldehyde_PM7_cation.aux", FieldKind::alpha, 4},
      {"formaldehyde_PM7_anion.aux", FieldKind::density, 5},
      {"formaldehyde_PM7_anion.aux", FieldKind::alpha, 6},
      {"formaldehyde_PM7_anion.aux", FieldKind::density, 6},
  };
  std::map<std::pair<std::string, FieldKind>, int64_t> triangles;
  for (const Step& step : steps) {
    request.inputFile = testing::dataPath(std::string("aux/") + step.input);
    request.settings.field.kind = step.kind;
    request.settings.threshold = step.kind == FieldKind::spin ? 0.005f : 0.002f;
    const ExploredSurface shown = explorer.draw(request, [](int) {});
    ASSERT_TRUE(shown.failure.succeeded()) << shown.failure.message;
    SCOPED_TRACE(shown.description);
    EXPECT_EQ(densityMatrices, step.densityMatricesSoFar);
    // A field kept gives the surface it gave when it was built.
    const auto [first, built] =
        triangles.emplace(std::pair{step.input, step.kind}, shown.triangles);
    EXPECT_EQ(shown.triangles, first->second);
    EXPECT_GT(shown.triangles, 0);
    // Saving it later must not call back into a caller that has moved on.
    EXPECT_FALSE(shown.request.beforeDensityMatrix);
    EXPECT_FALSE(shown.request.potentialProgress);
  }
}

// A density coloured by the potential: the progress rises through the surface, the potential's
// pieces and the colours, and never falls back.
TEST(SurfaceExplorer, TheProgressRisesThroughTheSurfaceThePotentialAndTheColours) {
  SurfaceExplorer explorer;
  ConversionRequest request;
  request.inputFile = testing::dataPath("aux/formaldehyde_PM7.aux");
  request.settings.scale = 3;
  request.settings.field.kind = FieldKind::density;
  request.settings.threshold = 0.002f;
  request.settings.outputKind = OutputKind::Gltf;
  request.settings.colouring.source = ColouringSettings::Source{FieldKind::esp};
  std::vector<int> reports;
  const ExploredSurface shown =
      explorer.draw(request, [&](int percent) { reports.push_back(percent); });
  ASSERT_TRUE(shown.failure.succeeded()) << shown.failure.message;
  EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
  EXPECT_TRUE(std::any_of(reports.begin(), reports.end(),
                          [](int percent) { return percent > 50 && percent < 90; }));
  EXPECT_GE(reports.back(), 90);
}

}  // namespace
}  // namespace lobewright
