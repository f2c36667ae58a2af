// The whole output is budgeted: a cube by its points, a mesh by its triangles in the format asked
// for; a refusal names the size needed and how to go below it.
#include "app/grid_budget.h"

#include <gtest/gtest.h>

namespace lobewright {
namespace {

TEST(OutputBudget, CubesAndMeshesBeyondTwoGigabytesAreRefusedWithTheirSize) {
  // 1000 x 1000 x 150 points take 1.8 GB as text; 1000 x 1000 x 200, 2.5 GB.
  EXPECT_FALSE(cubeSizeProblem({0, 0, 0, 999, 999, 149}));
  EXPECT_EQ(cubeSizeProblem({0, 0, 0, 999, 999, 199}),
            "The cube of 1000 x 1000 x 200 points would need 2.5 GB on disk, more than the 2.0 GB "
            "allowed; lower the scale (--scale), give a smaller --margin or check the "
            "coordinates.");
  // The largest grid there is, far beyond any count that fits in memory, is refused too.
  EXPECT_TRUE(cubeSizeProblem({INT32_MIN, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MAX}));

  const struct {
    OutputKind kind;
    bool frame;
    bool coloured;     // by a field: vertex colours take room
    uint64_t fits;     // triangles
    uint64_t refused;  // triangles
  } formats[] = {
      {OutputKind::Gltf, false, false, 75'000'000, 80'000'000},
      {OutputKind::Gltf, false, true, 65'000'000, 66'000'000},
      {OutputKind::Html, false, false, 61'000'000, 62'000'000},
      {OutputKind::Html, false, true, 49'000'000, 50'000'000},
      {OutputKind::Obj, false, false, 17'000'000, 18'000'000},
      {OutputKind::Obj, false, true, 15'000'000, 16'000'000},
      {OutputKind::Stl, false, false, 42'000'000, 43'000'000},
      {OutputKind::PovRay, false, false, 10'000'000, 11'000'000},
      {OutputKind::PovRay, true, false, 35'000'000, 36'000'000},
      {OutputKind::Png, true, false, 35'000'000, 36'000'000},
      {OutputKind::Png, true, true, 29'000'000, 30'000'000},
  };
  for (const auto& format : formats) {
    ConversionSettings settings;
    settings.outputKind = format.kind;
    settings.picture.frame = format.frame;
    if (format.coloured) settings.colouring.source = ColouringSettings::Source{};
    EXPECT_FALSE(meshSizeProblem(format.fits, settings)) << static_cast<int>(format.kind);
    const auto refused = meshSizeProblem(format.refused, settings);
    ASSERT_TRUE(refused) << static_cast<int>(format.kind);
    EXPECT_NE(refused->find("The surface of " + std::to_string(format.refused) + " triangles"),
              std::string::npos)
        << *refused;
    EXPECT_NE(refused->find("; lower the scale (--scale) or raise the threshold."),
              std::string::npos)
        << *refused;
  }
}

}  // namespace
}  // namespace lobewright
