#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/conversion.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace lobewright {
namespace {

using testing::dataPath;
using testing::readFile;
using testing::RecordingSink;

constexpr int kFormaldehydeHomo = 6;

// Writes the script into the test's working directory, which stays there for a diff.
ConversionRequest scriptRequest(const std::string& outputName) {
  ConversionRequest request;
  request.parameterFile = dataPath("pm3r.txt");
  request.inputFile = dataPath("formaldehyde.mno");
  request.settings.moNumber = kFormaldehydeHomo;
  request.settings.outputKind = OutputKind::LScript;
  // The files go to a folder of this test program's own, removed when it ends.
  static const testing::TempDir kScratch;
  request.settings.outputPath = kScratch.file(outputName);
  return request;
}

TEST(LScriptConversion, FormaldehydeHomoMatchesItsGoldenScript) {
  ConversionRequest request = scriptRequest("formaldehyde-homo-scale2.ls");
  request.settings.scale = 2;
  RecordingSink sink;
  std::vector<int> progress;
  const ConversionOutcome outcome =
      runConversion(request, sink, [&](int percent) { progress.push_back(percent); });
  ASSERT_TRUE(outcome.succeeded()) << outcome.message;
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_EQ(progress.back(), 100);

  const std::string golden = dataPath("golden/formaldehyde-homo-scale2.ls");
  EXPECT_TRUE(readFile(request.settings.outputPath) == readFile(golden))
      << "the script differs from the golden file; compare them with\n  diff "
      << request.settings.outputPath << ' ' << golden;
}

TEST(LScriptConversion, EveryLineEndsInCrLfUpToTheClosingBrace) {
  const ConversionRequest request = scriptRequest("formaldehyde-homo.ls");
  RecordingSink sink;
  ASSERT_TRUE(runConversion(request, sink, [](int) {}).succeeded());
  const std::string text = readFile(request.settings.outputPath);
  ASSERT_TRUE(text.ends_with("\r\n}\r\n"));
  EXPECT_NE(text.find("@version 2.6.1\r\n\r\n//File created"), std::string::npos);
  for (std::size_t at = text.find_first_of("\r\n"); at != std::string::npos;
       at = text.find_first_of("\r\n", at + 2)) {
    ASSERT_EQ(text.compare(at, 2, "\r\n"), 0) << "at byte " << at;
  }
}

TEST(LScriptConversion, NoSurfaceWarnsAndStillWritesTheScript) {
  ConversionRequest request = scriptRequest("formaldehyde-no-surface.ls");
  request.settings.threshold = 1000.0f;
  RecordingSink sink;
  ASSERT_TRUE(runConversion(request, sink, [](int) {}).succeeded());
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0].caption, kWarningCaption);
  EXPECT_EQ(sink.messages[0].text, kNoSurfaceMessage);
  const std::string text = readFile(request.settings.outputPath);
  EXPECT_NE(text.find("main {\r\neditbegin();\r\neditend();\r\ncreatesurface(\"positive\");"),
            std::string::npos);
  EXPECT_NE(text.find("maketesball("), std::string::npos);
  EXPECT_TRUE(text.ends_with("\r\n}\r\n"));
}

}  // namespace
}  // namespace lobewright
