#include <gtest/gtest.h>

#include "app/conversion.h"
#include "support/golden.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace lobewright {
namespace {

using testing::dataPath;
using testing::readFile;

struct AgreementCase {
  const char* sample;
  int32_t mo;
  int32_t scale;
  float threshold;
  int32_t accuracy;
  bool structure;
};

// Whole conversions written with the literal sweep and with the fast one, on one and on three
// threads, for both output kinds: the files must be the same bytes.
TEST(EngineAgreement, FastSweepWritesTheLiteralSweepsFiles) {
  const AgreementCase cases[] = {
      {"caffeine.mno", 37, 3, 0.05f, 3, true},       {"formaldehyde.out", 7, 4, 0.02f, 9, false},
      {"benzene.mno", 15, 2, 0.05f, 3, true},        {"water-1993.mno", 4, 5, 0.1f, 1, true},
      {"chloroform.mno", 13, 1, 0.001f, 100, false}, {"ethylene.mno", 6, 3, 0.3f, 1, true},
  };
  testing::TempDir dir;
  for (const AgreementCase& c : cases) {
    for (const OutputKind kind : {OutputKind::PovRay, OutputKind::LScript}) {
      std::string literal;
      for (const SweepOptions& sweep :
           {SweepOptions{SweepEngine::literal, 1}, SweepOptions{SweepEngine::fast, 1},
            SweepOptions{SweepEngine::fast, 3}}) {
        ConversionRequest request;
        request.parameterFile = dataPath("pm3r.txt");
        request.inputFile = dataPath(c.sample);
        ConversionSettings& settings = request.settings;
        settings.moNumber = c.mo;
        settings.scale = c.scale;
        settings.threshold = c.threshold;
        settings.accuracy = c.accuracy;
        settings.showStructure = c.structure;
        settings.outputPath = dir.file("scene");
        settings.outputKind = kind;
        settings.model = OrbitalModel::classic;
        request.sweep = sweep;
        testing::RecordingSink sink;
        ASSERT_TRUE(runConversion(request, sink, [](int) {}).succeeded()) << c.sample;
        const std::string written = readFile(request.settings.outputPath);
        if (sweep.engine == SweepEngine::literal) {
          literal = written;
        } else {
          EXPECT_TRUE(written == literal)
              << c.sample << (kind == OutputKind::PovRay ? " pov" : " ls") << " with "
              << sweep.threads << " threads differs from the literal sweep";
        }
      }
    }
  }
}

}  // namespace
}  // namespace lobewright
