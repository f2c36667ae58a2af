// The fields made of densities as a conversion builds them: differences and Fukui functions hold
// the electrons they should, and every combination of files that cannot give one is refused with
// the reason.
#include "app/field_build.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/recording_sink.h"

namespace lobewright {
namespace {

using testing::dataPath;

struct Built {
  BuiltField field;
  std::string loadFailure;
  std::vector<std::size_t> announcedAoCounts;  // one for each density matrix worked out
  std::vector<int> piecesProgress;             // a potential's, in percent
};

Built build(const std::string& input, FieldSettings field, bool deorthogonalise = true,
            OrbitalModel model = OrbitalModel::automatic, int threads = defaultThreadCount()) {
  ConversionRequest request;
  request.sweep.threads = threads;
  request.inputFile = dataPath("aux/" + input);
  const auto inData = [](std::string& file) {
    if (!file.empty()) file = dataPath("aux/" + file);
  };
  inData(field.minusFile);
  inData(field.anionFile);
  inData(field.cationFile);
  request.settings.field = field;
  request.settings.deorthogonalise = deorthogonalise;
  request.settings.model = model;
  testing::RecordingSink sink;
  InputLoad load = loadInput(request, sink);
  if (!load.input) return {{}, load.failure.message, {}, {}};
  Built built;
  request.beforeDensityMatrix = [&](std::size_t aoCount) {
    built.announcedAoCounts.push_back(aoCount);
  };
  request.potentialProgress = [&](int percent) { built.piecesProgress.push_back(percent); };
  built.field = buildField(*load.input, request, true);
  return built;
}

// The window and the scripts keep one load for many fields: each density after the first takes
// S^-1/2 from it, and gives the same numbers as from a load of its own; an MO never takes it.
TEST(FieldBuild, FieldsOfOneLoadAreThoseOfTheirOwnLoadToTheBit) {
  const auto load = [](const std::string& input) {
    ConversionRequest request;
    request.inputFile = dataPath("aux/" + input);
    testing::RecordingSink sink;
    return loadInput(request, sink).input;
  };
  const auto valuesOf = [](const Field& field, const Calculation& calculation) {
    std::vector<Vec3> points;
    for (const CalculationAtom& atom : calculation.atoms) {
      points.push_back(atom.position + Vec3{0.3, -0.2, 0.5});
      points.push_back(atom.position + Vec3{-1.1, 0.7, 0.2});
    }
    std::vector<double> values(points.size());
    lobewright::valuesOf(field, points, values);
    return values;
  };
  for (const std::string input : {"methylradical_PM7.aux", "formaldehyde_PM7_cation.out"}) {
    SCOPED_TRACE(input);
    std::optional<LoadedInput> kept = load(input);
    ASSERT_TRUE(kept);
    for (const FieldKind kind : {FieldKind::density, FieldKind::spin, FieldKind::mo,
                                 FieldKind::alpha, FieldKind::esp, FieldKind::beta}) {
      ConversionRequest request;
      request.inputFile = dataPath("aux/" + input);
      request.settings.field.kind = kind;
      request.settings.moNumber = 4;
      std::optional<LoadedInput> own = load(input);
      ASSERT_TRUE(own);
      const BuiltField alone = buildField(*own, request);
      request.keepInverseSqrtOverlap = true;
      const BuiltField shared = buildField(*kept, request);
      ASSERT_TRUE(alone.field && shared.field) << alone.failure.message;
      EXPECT_EQ(valuesOf(*shared.field, *kept->exact), valuesOf(*alone.field, *own->exact))
          << shared.description;
      EXPECT_TRUE(own->exact->keptInverseSqrtOverlap.empty());
      EXPECT_FALSE(kept->exact->keptInverseSqrtOverlap.empty());
    }
  }
}

// Each density matrix the field is made of is announced beforehand, with formaldehyde's 10 AOs.
TEST(FieldBuild, DensitiesDifferencesAndFukuiFunctionsHoldTheirElectrons) {
  struct Case {
    FieldSettings field;
    double electrons;
    std::size_t densityMatrices;
  };
  const std::string neutral = "formaldehyde_PM7.aux";
  const Case cases[] = {
      {{.kind = FieldKind::density}, 12.0, 1},
      {{.kind = FieldKind::density, .minusFile = "formaldehyde_PM7_cation.aux"}, 1.0, 2},
      {{.kind = FieldKind::spin, .minusFile = "formaldehyde_PM7_anion.aux"}, -1.0, 2},
      {{.fukui = FukuiKind::plus, .anionFile = "formaldehyde_PM7_anion.aux"}, 1.0, 2},
      {{.fukui = FukuiKind::minus, .cationFile = "formaldehyde_PM7_cation.aux"}, 1.0, 2},
      {{.kind = FieldKind::density,
        .fukui = FukuiKind::zero,
        .anionFile = "formaldehyde_PM7_anion.aux",
        .cationFile = "formaldehyde_PM7_cation.aux"},
       1.0,
       3},
      {{.fukui = FukuiKind::dual,
        .anionFile = "formaldehyde_PM7_anion.aux",
        .cationFile = "formaldehyde_PM7_cation.aux"},
       0.0,
       3},
  };
  for (const Case& c : cases) {
    const Built built = build(neutral, c.field);
    ASSERT_TRUE(built.field.field) << built.loadFailure << built.field.failure.message;
    ASSERT_TRUE(built.field.integral);
    EXPECT_NEAR(*built.field.integral, c.electrons, 1e-4) << built.field.description;
    EXPECT_NEAR(*built.field.electrons, c.electrons, 1e-9) << built.field.description;
    EXPECT_EQ(built.announcedAoCounts, std::vector<std::size_t>(c.densityMatrices, 10))
        << built.field.description;
  }
  EXPECT_TRUE(build(neutral, {.kind = FieldKind::mo}).announcedAoCounts.empty());
}

// A difference of two potentials makes the pieces of both: their progress rises once, the first
// potential's in the lower half. On one thread every piece tells it.
TEST(FieldBuild, ADifferenceOfPotentialsTellsItsProgressOnce) {
  const Built built = build("formaldehyde_PM7.aux",
                            {.kind = FieldKind::esp, .minusFile = "formaldehyde_PM7_cation.aux"},
                            true, OrbitalModel::automatic, 1);
  ASSERT_TRUE(built.field.field) << built.loadFailure << built.field.failure.message;
  const std::vector<int>& reports = built.piecesProgress;
  ASSERT_FALSE(reports.empty());
  EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
  EXPECT_LT(reports.front(), 50);
  EXPECT_GE(reports.back(), 50);
}

TEST(FieldBuild, RefusesWhatTheFilesCannotGiveAndSaysWhy) {
  struct Case {
    std::string input;
    FieldSettings field;
    const char* because;
    bool deorthogonalise = true;
    OrbitalModel model = OrbitalModel::automatic;
  };
  const Case cases[] = {
      {"formaldehyde_PM7.aux",
       {.kind = FieldKind::density, .minusFile = "water_PM7.aux"},
       "water_PM7.aux is not a calculation of the atoms of formaldehyde_PM7.aux: it holds 3 "
       "atoms, formaldehyde_PM7.aux 4."},
      {"formaldehyde_PM7.aux",
       {.kind = FieldKind::density, .minusFile = "methylradical_PM7.aux"},
       "methylradical_PM7.aux is not at the geometry of formaldehyde_PM7.aux: atom 1 (C) lies "},
      {"formaldehyde_PM7.aux",
       {.fukui = FukuiKind::plus, .anionFile = "formaldehyde_PM7_cation.aux"},
       "formaldehyde_PM7_cation.aux holds 11.000 electrons, but the anion of "
       "formaldehyde_PM7.aux (12.000) has 13."},
      {"formaldehyde_PM7.aux",
       {.kind = FieldKind::density},
       "A density is always de-orthogonalised",
       false},
      {"formaldehyde_PM7.aux",
       {.kind = FieldKind::density},
       "The classic model draws MOs only",
       true,
       OrbitalModel::classic},
  };
  for (const Case& c : cases) {
    const Built built = build(c.input, c.field, c.deorthogonalise, c.model);
    const std::string message =
        built.loadFailure.empty() ? built.field.failure.message : built.loadFailure;
    EXPECT_FALSE(built.field.field) << c.because;
    EXPECT_NE(message.find(c.because), std::string::npos) << message;
  }
}

}  // namespace
}  // namespace lobewright
