#include "app/conversion.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/golden.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace lobewright {
namespace {

using testing::dataPath;
using testing::readFile;
using testing::RecordingSink;

// One hydrogen atom at the origin, in the layout MOPAC prints.
constexpr const char* kLoneHydrogen =
    " EIGENVECTORS\n\n EIGENVECTORS\n\n ROOT NO.    1\n\n   -13.0\n\n  S  H   1   1.00000\n\n"
    " FINAL GEOMETRY\n"
    " CARTESIAN COORDINATES\n\n NO. ATOM X Y Z\n\n 1 H 0.0000 0.0000 0.0000\n";

class ConversionRun : public ::testing::Test {
 protected:
  ConversionRun() {
    m_request.parameterFile = dataPath("pm3r.txt");
    m_request.inputFile = dataPath("formaldehyde.mno");
    m_request.settings.moNumber = 6;
    m_request.settings.outputKind = OutputKind::PovRay;
    m_request.settings.outputPath = m_dir.file("out.pov");
  }

  ConversionOutcome run() {
    return runConversion(m_request, m_sink, [&](int percent) { m_reports.push_back(percent); });
  }

  testing::TempDir m_dir;
  ConversionRequest m_request;
  RecordingSink m_sink;
  std::vector<int> m_reports;
};

TEST_F(ConversionRun, WritesTheSceneTheWriterWrites) {
  m_request.settings.scale = 2;
  const ConversionOutcome outcome = run();
  EXPECT_TRUE(outcome.succeeded());
  EXPECT_TRUE(outcome.message.empty());
  EXPECT_TRUE(m_sink.messages.empty());
  EXPECT_EQ(m_reports.back(), 100);
  testing::expectMatchesGolden(readFile(m_request.settings.outputPath),
                               "formaldehyde-homo-scale2.pov");
}

TEST_F(ConversionRun, ProgressFollowsTheLayersThenReachesHundred) {
  const std::string input = m_dir.file("h.mno");
  std::ofstream(input) << kLoneHydrogen;
  m_request.inputFile = input;
  m_request.settings.moNumber = 1;
  EXPECT_TRUE(run().succeeded());
  EXPECT_EQ(m_reports,
            (std::vector<int>{0, 8, 16, 25, 33, 41, 50, 58, 66, 75, 83, 91, 100}));
}

TEST_F(ConversionRun, InputErrorLeavesAnExistingOutputUntouched) {
  std::ofstream(m_request.settings.outputPath) << "keep me";
  m_request.settings.moNumber = 11;
  const ConversionOutcome outcome = run();
  EXPECT_EQ(outcome.status, ConversionStatus::inputError);
  EXPECT_EQ(outcome.message, "Input file error.");
  EXPECT_EQ(readFile(m_request.settings.outputPath), "keep me");
  EXPECT_TRUE(m_reports.empty());

  m_request.settings.outputPath = m_dir.file("never.pov");
  m_request.inputFile = m_dir.file("missing.mno");
  EXPECT_EQ(run().status, ConversionStatus::inputError);
  EXPECT_FALSE(std::ifstream(m_request.settings.outputPath).good());
}

TEST_F(ConversionRun, OutputThatCannotBeOpenedOrWritten) {
  m_request.settings.outputPath = m_dir.file("no-such-dir/out.pov");
  ConversionOutcome outcome = run();
  EXPECT_EQ(outcome.status, ConversionStatus::cannotOpenOutput);
  EXPECT_EQ(outcome.message, "Cannot open output file.");

  m_request.settings.outputPath = "";
  EXPECT_EQ(run().status, ConversionStatus::cannotOpenOutput);

  m_request.settings.outputPath = "/dev/full";
  outcome = run();
  EXPECT_EQ(outcome.status, ConversionStatus::cannotWriteOutput);
  EXPECT_EQ(outcome.message, "Cannot write output file.");
}

TEST_F(ConversionRun, WarnsAboutDefaultParametersAndAMissingSurface) {
  m_request.parameterFile = m_dir.file("missing.txt");
  m_request.settings.threshold = 50.0f;
  EXPECT_TRUE(run().succeeded());
  ASSERT_EQ(m_sink.messages.size(), 2u);
  EXPECT_EQ(m_sink.messages[0].caption, "Lobewright warning");
  EXPECT_EQ(m_sink.messages[0].text, "Using default PM3 parameters.");
  EXPECT_EQ(m_sink.messages[1].caption, "Lobewright warning");
  EXPECT_EQ(m_sink.messages[1].text, "No surface found at this threshold.");
  const std::string scene = readFile(m_request.settings.outputPath);
  EXPECT_EQ(scene.find("mesh{"), std::string::npos);
  EXPECT_EQ(scene.find("object { mo"), std::string::npos);
  EXPECT_NE(scene.find("object { Mol translate <0,0,40> }\r\n"), std::string::npos);
}

}  // namespace
}  // namespace lobewright
