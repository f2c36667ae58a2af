// A page's caption, as a conversion to .html writes it, for each kind of drawing.
#include "app/page_caption.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/conversion.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace lobewright {
namespace {

using nlohmann::json;

struct CaptionCase {
  const char* input;
  void (*adjust)(ConversionSettings&);
  std::vector<std::string> details;
};

TEST(PageCaption, NamesTheFileTheMoOrFieldAndTheIsovalue) {
  const CaptionCase cases[] = {
      // The classic model reads no energies: the exact model's reading of the text gives them.
      {"caffeine.mno",
       [](ConversionSettings& s) { s.moNumber = 37; },
       {"MO 37 (HOMO)", "-9.020 eV", "isovalue \u00b10.05", "classic model"}},
      {"aux/caffeine_PM7.aux",
       [](ConversionSettings& s) { s.moNumber = 37; },
       {"MO 37 (HOMO)", "symmetry 10a''", "-9.067 eV", "isovalue \u00b10.05"}},
      {"aux/methylradical_PM7.aux",
       [](ConversionSettings& s) {
         s.moNumber = 4;
         s.spin = Spin::beta;
         s.threshold = 0.02f;
       },
       {"MO 4 beta (LUMO)", "symmetry 1a2''", "0.602 eV", "isovalue \u00b10.02"}},
      {"aux/formaldehyde_PM7.aux",
       [](ConversionSettings& s) {
         s.field.kind = FieldKind::density;
         s.threshold = 0.002f;
       },
       {"total density of formaldehyde_PM7.aux", "isovalue 0.002 e/bohr\u00b3"}},
      {"aux/formaldehyde_PM7.aux",
       [](ConversionSettings& s) { s.field.kind = FieldKind::esp; },
       {"electrostatic potential of formaldehyde_PM7.aux", "isovalue \u00b10.05 a.u."}},
      {"aux/formaldehyde_PM7.aux",
       [](ConversionSettings& s) {
         s.moNumber = 6;
         s.field.minusFile = testing::dataPath("aux/formaldehyde_PM3.aux");
         s.threshold = 0.005f;
       },
       {"MO 6 of formaldehyde_PM7.aux minus that of formaldehyde_PM3.aux", "isovalue \u00b10.005"}},
  };
  testing::TempDir dir;
  for (const CaptionCase& c : cases) {
    ConversionRequest request;
    request.inputFile = testing::dataPath(c.input);
    request.parameterFile = testing::dataPath("pm3r.txt");
    request.settings.outputKind = OutputKind::Html;
    request.settings.outputPath = dir.file("page.html");
    c.adjust(request.settings);
    testing::RecordingSink sink;
    const ConversionOutcome outcome = runConversion(request, sink, [](int) {});
    ASSERT_TRUE(outcome.succeeded()) << outcome.message;
    EXPECT_GT(outcome.triangles, 0) << c.input;

    const std::string page = testing::readFile(request.settings.outputPath);
    const std::string opening = R"(<script type="application/json" id="lobewright-data">)";
    const std::size_t start = page.find(opening) + opening.size();
    const json data = json::parse(page.substr(start, page.find("</script>", start) - start));
    EXPECT_EQ(data["caption"]["title"], std::filesystem::path(c.input).filename().string());
    EXPECT_EQ(data["caption"]["details"], json(c.details)) << c.input;
  }
}

}  // namespace
}  // namespace lobewright
