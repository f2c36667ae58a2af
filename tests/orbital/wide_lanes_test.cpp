// The fields' loops over many points give the same numbers, to the bit, whether they run two or
// four doubles at a time.
#include "orbital/wide_lanes.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "input/aux_reader.h"
#include "orbital/density_field.h"
#include "orbital/density_matrix.h"
#include "orbital/exact_orbital.h"
#include "support/test_files.h"

namespace lobewright {
namespace {

struct Evaluated {
  std::vector<double> values;
  std::vector<FieldSample> samples;
};

// Values and samples of many points at once, and of the last one alone.
Evaluated evaluate(const Field& field, const std::vector<Vec3>& points) {
  Evaluated evaluated{std::vector<double>(points.size()), std::vector<FieldSample>(points.size())};
  field.valuesAt(points, evaluated.values);
  field.samplesAt(points, evaluated.samples);
  evaluated.values.push_back(field.valueAt(points.back()));
  evaluated.samples.push_back(field.sampleAt(points.back()));
  return evaluated;
}

TEST(WideLanes, GiveTheSameNumbersAsNarrowOnes) {
  if (!useWideLanes(true)) GTEST_SKIP() << "this processor has no AVX2";
  std::mt19937 random(11);
  std::uniform_real_distribution<double> offset(-3.0, 3.0);
  // Chloroform has d AOs; the methyl radical a spin density.
  for (const char* name : {"chloroform_PM7.aux", "methylradical_PM7.aux"}) {
    CalculationRead read = readAuxFile(testing::dataPath(std::string("aux/") + name));
    ASSERT_TRUE(read.calculation) << read.error.message();
    const Calculation& calculation = *read.calculation;
    std::vector<std::pair<std::string, std::unique_ptr<Field>>> fields;
    for (const DensityKind kind : {DensityKind::total, DensityKind::spin}) {
      const AoDensity density = densityOf(calculation, kind);
      ASSERT_FALSE(density.matrix.empty()) << density.error;
      fields.emplace_back("density", std::make_unique<DensityField>(calculation, density.matrix));
    }
    ExactOrbital::Build mo = ExactOrbital::build(calculation, calculation.orbitals.front());
    ASSERT_TRUE(mo.orbital) << mo.error;
    fields.emplace_back("MO", std::make_unique<ExactOrbital>(std::move(*mo.orbital)));
    // Nuclei and points around them, in a batch that fills some chunks and not the last.
    std::vector<Vec3> points;
    for (int n = 0; n < 45; ++n) {
      const Vec3& atom =
          calculation.atoms[static_cast<std::size_t>(n) % calculation.atoms.size()].position;
      points.push_back(n % 9 == 0 ? atom
                                  : atom + Vec3{offset(random), offset(random), offset(random)});
    }
    for (const auto& [what, field] : fields) {
      useWideLanes(false);
      const Evaluated narrow = evaluate(*field, points);
      useWideLanes(true);
      const Evaluated wide = evaluate(*field, points);
      EXPECT_EQ(wide.values, narrow.values) << name << ' ' << what;
      for (std::size_t i = 0; i < wide.samples.size(); ++i) {
        EXPECT_EQ(wide.samples[i].value, narrow.samples[i].value) << name << ' ' << what << i;
        EXPECT_EQ(wide.samples[i].gradient, narrow.samples[i].gradient) << name << ' ' << what << i;
      }
    }
  }
}

}  // namespace
}  // namespace lobewright
