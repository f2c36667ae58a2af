#include "app/conversion.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>

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
  EXPECT_EQ(m_reports, (std::vector<int>{0, 8, 16, 25, 33, 41, 50, 58, 66, 75, 83, 91, 100}));
}

TEST_F(ConversionRun, InputErrorLeavesAnExistingOutputUntouched) {
  std::ofstream(m_request.settings.outputPath) << "keep me";
  m_request.settings.moNumber = 11;
  const ConversionOutcome outcome = run();
  EXPECT_EQ(outcome.status, ConversionStatus::inputError);
  EXPECT_EQ(outcome.message, "Input file error.\n" + m_request.inputFile +
                                 ": MO 11 is not in this file, which holds MOs 1 to 10: the "
                                 "molecule has only 10 MOs.");
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
  EXPECT_EQ(outcome.message, "Cannot open output file.\n" + m_request.settings.outputPath +
                                 ": No such file or directory");

  m_request.settings.outputPath = "";
  EXPECT_EQ(run().status, ConversionStatus::cannotOpenOutput);

  m_request.settings.outputPath = "/dev/full";
  outcome = run();
  EXPECT_EQ(outcome.status, ConversionStatus::cannotWriteOutput);
  EXPECT_EQ(outcome.message, "Cannot write output file.\n/dev/full: No space left on device");
}

TEST_F(ConversionRun, UnusableSettingsAreRefusedBeforeAnythingIsReadOrWritten) {
  constexpr const char* kScale = "The scale must be a whole number from 1 to 100.";
  constexpr const char* kAccuracy = "The accuracy must be a whole number from 1 to 100.";
  constexpr const char* kThreshold = "The threshold must be a finite number above 0.";
  constexpr const char* kCutoff = "The cutoff must be a finite number of Angstrom above 0.";
  constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  std::vector<std::pair<ConversionSettings, const char*>> cases;
  const auto add = [&](auto spoil, const char* message) {
    ConversionSettings settings = m_request.settings;
    spoil(settings);
    cases.emplace_back(settings, message);
  };
  add([](auto& s) { s.scale = 0; }, kScale);
  add([](auto& s) { s.scale = -4; }, kScale);
  add([](auto& s) { s.scale = 101; }, kScale);
  add([](auto& s) { s.accuracy = 0; }, kAccuracy);
  add([](auto& s) { s.accuracy = 1 << 30; }, kAccuracy);
  add([](auto& s) { s.threshold = kNan; }, kThreshold);
  add([](auto& s) { s.threshold = -kInfinity; }, kThreshold);
  add([](auto& s) { s.threshold = 0.0f; }, kThreshold);
  add([](auto& s) { s.threshold = -0.05f; }, kThreshold);
  add([](auto& s) { s.cutoff = kInfinity; }, kCutoff);
  add([](auto& s) { s.cutoff = -3.5f; }, kCutoff);
  add([](auto& s) { s.bondLength = kNan; }, "The bond length must be a finite number.");

  // A missing parameter file would warn if the run went as far as building the molecule.
  m_request.parameterFile = m_dir.file("missing.txt");
  for (const auto& [settings, message] : cases) {
    m_request.settings = settings;
    std::ofstream(settings.outputPath) << "keep me";
    const ConversionOutcome outcome = run();
    EXPECT_EQ(outcome.status, ConversionStatus::unusableSettings) << message;
    EXPECT_EQ(outcome.message, message);
    EXPECT_EQ(readFile(settings.outputPath), "keep me") << message;
  }
  EXPECT_TRUE(m_sink.messages.empty());
  EXPECT_TRUE(m_reports.empty());
}

TEST_F(ConversionRun, FiniteExtremesOfTheSettingsAreTaken) {
  m_request.settings.scale = 1;
  m_request.settings.accuracy = 100;
  m_request.settings.cutoff = std::numeric_limits<float>::max();
  m_request.settings.bondLength = std::numeric_limits<float>::max();
  EXPECT_TRUE(run().succeeded());
  const std::string scene = readFile(m_request.settings.outputPath);
  EXPECT_EQ(scene.find("nan"), std::string::npos);
  EXPECT_EQ(scene.find("inf"), std::string::npos);
}

TEST_F(ConversionRun, AGridBeyondThirtyTwoBitsIsRefusedBeforeTheOutputIsOpened) {
  const std::string input = m_dir.file("far.mno");
  std::string farHydrogen = kLoneHydrogen;
  farHydrogen.replace(farHydrogen.rfind("0.0000"), 6, "6e8");
  std::ofstream(input) << farHydrogen;
  m_request.inputFile = input;
  m_request.settings.moNumber = 1;
  std::ofstream(m_request.settings.outputPath) << "keep me";
  const ConversionOutcome outcome = run();
  EXPECT_EQ(outcome.status, ConversionStatus::gridTooLarge);
  EXPECT_EQ(outcome.message,
            "The grid would reach beyond 32-bit grid units; check the coordinates or lower the "
            "scale.");
  EXPECT_EQ(readFile(m_request.settings.outputPath), "keep me");
  EXPECT_TRUE(m_reports.empty());

  // The same atom fits at the smallest scale.
  m_request.settings.scale = 1;
  m_request.settings.threshold = 50.0f;
  EXPECT_TRUE(run().succeeded());
}

// /dev/full takes the open and refuses every byte: a scene smaller than the stream's buffer
// fails only when the file is closed, a larger one while it is written.
TEST_F(ConversionRun, AFullDiskFailsTheWriteOrTheClose) {
  m_request.settings.outputPath = "/dev/full";
  m_request.settings.threshold = 50.0f;
  m_request.settings.showStructure = false;
  ConversionOutcome outcome = run();
  EXPECT_EQ(outcome.status, ConversionStatus::cannotWriteOutput);
  EXPECT_EQ(outcome.message, "Cannot write output file.\n/dev/full: No space left on device");

  m_request.settings.threshold = 0.05f;
  m_request.settings.showStructure = true;
  outcome = run();
  EXPECT_EQ(outcome.status, ConversionStatus::cannotWriteOutput);
  EXPECT_EQ(outcome.message, "Cannot write output file.\n/dev/full: No space left on device");
}

TEST_F(ConversionRun, OutputWhereNoFileCanBeMade) {
  const std::string plainFile = m_dir.file("plain");
  std::ofstream(plainFile) << "a file, not a folder";
  std::filesystem::create_directory(m_dir.file("folder.pov"));
  std::vector<std::string> paths{plainFile + "/out.pov", m_dir.file("folder.pov")};
  // Root writes into any folder whatever its mode, so a read-only folder only stops others.
  if (geteuid() != 0) {
    std::filesystem::create_directory(m_dir.file("read-only"));
    std::filesystem::permissions(m_dir.file("read-only"), std::filesystem::perms::owner_read |
                                                              std::filesystem::perms::owner_exec);
    paths.push_back(m_dir.file("read-only/out.pov"));
  }
  for (const std::string& path : paths) {
    m_request.settings.outputPath = path;
    const ConversionOutcome outcome = run();
    EXPECT_EQ(outcome.status, ConversionStatus::cannotOpenOutput) << path;
    EXPECT_EQ(testing::firstLine(outcome.message), "Cannot open output file.") << path;
  }
  EXPECT_EQ(readFile(plainFile), "a file, not a folder");
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

// A stop during the sweep, or at its end while the writer still has the structure and (for the
// script) every point to write, ends the run as cancelled: the old output stays as it was and no
// other file is left beside it.
TEST_F(ConversionRun, AStopDuringTheSweepOrTheWriterKeepsTheOldOutput) {
  struct Case {
    OutputKind kind;
    int stopAtPercent;
    int threads;
  };
  for (const Case c : {Case{OutputKind::PovRay, 50, 1}, Case{OutputKind::PovRay, 50, 3},
                       Case{OutputKind::PovRay, 100, 2}, Case{OutputKind::LScript, 50, 2},
                       Case{OutputKind::LScript, 100, 1}, Case{OutputKind::LScript, 100, 3}}) {
    const std::string what = (c.kind == OutputKind::PovRay ? "pov, stop at " : "ls, stop at ") +
                             std::to_string(c.stopAtPercent) + ", " + std::to_string(c.threads) +
                             " threads";
    m_request.settings.outputKind = c.kind;
    m_request.settings.scale = 8;
    m_request.sweep.threads = c.threads;
    testing::writeFile(m_request.settings.outputPath, "an earlier scene");
    std::stop_source stop;
    m_request.stop = stop.get_token();
    std::vector<int> reports;
    const ConversionOutcome outcome = runConversion(m_request, m_sink, [&](int percent) {
      reports.push_back(percent);
      if (percent >= c.stopAtPercent) stop.request_stop();
    });
    EXPECT_EQ(outcome.status, ConversionStatus::cancelled) << what;
    EXPECT_EQ(outcome.message, kCancelledMessage) << what;
    EXPECT_GE(reports.back(), c.stopAtPercent) << what;
    EXPECT_EQ(std::count_if(reports.begin(), reports.end(),
                            [&](int percent) { return percent >= c.stopAtPercent; }),
              1)
        << what << ": progress went on after the stop";
    EXPECT_EQ(readFile(m_request.settings.outputPath), "an earlier scene") << what;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.file("")),
                            std::filesystem::directory_iterator()),
              1)
        << what;
  }
}

}  // namespace
}  // namespace lobewright
