#include <QEvent>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <stdexcept>
#include <vector>

#include "support/golden.h"
#include "support/temp_dir.h"
#include "window/form_fixture.h"
#include "window/status_line.h"

namespace lobewright::testing {
namespace {

using Message = ScriptedDialogs::Message;

constexpr int kLScriptFilter = 2;

const Message kNoOutputFile{"Lobewright error",
                            "No output file selected: choose one with the Out file... button."};
const Message kNoInputFile{"Lobewright error", "No input file selected."};
const Message kCannotOpenOutput{"Lobewright error", "Cannot open output file."};
const Message kNoSurface{"Lobewright warning", "No surface found at this threshold."};

// One hydrogen atom at the origin, its s function carrying MO 1.
constexpr const char* kOneAtomAtTheOrigin =
    " KEYWORDS EIGENVECTORS\n\n EIGENVECTORS\n\n ROOT NO.  1   2\n\n  -30.0  -20.0\n\n S H 1 0.9 "
    "0.4\n\n NET ATOMIC CHARGES\n"
    " CARTESIAN COORDINATES\n NO. ATOM X Y Z\n1 H 0 0 0\n";

// The positions the progress bar is painted at, a position painted twice in a row counted
// once, and whether Calculate could be pressed at each.
class ProgressPaints : public QObject {
 public:
  explicit ProgressPaints(const TForm1& form) : m_form(form) {
    QCoreApplication::processEvents();
    form.ProgressBar->installEventFilter(this);
  }

  bool eventFilter(QObject*, QEvent* event) override {
    const int value = m_form.ProgressBar->value();
    if (event->type() == QEvent::Paint && (values.empty() || values.back() != value)) {
      values.push_back(value);
      calculateEnabled.push_back(m_form.CalcButton->isEnabled());
    }
    return false;
  }

  std::vector<int> values;
  std::vector<bool> calculateEnabled;

 private:
  const TForm1& m_form;
};

std::string shellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

int runConverter(const std::vector<std::string>& arguments) {
  std::string command = shellQuoted(LOBEWRIGHT_CONVERTER);
  for (const std::string& argument : arguments) {
    command += ' ';
    command += shellQuoted(argument);
  }
  return std::system(command.c_str());
}

class Calculate : public FormTest {
 protected:
  void chooseOutput(const std::string& fileName, int filterIndex) {
    dialogs.confirm(fileName, filterIndex);
    form->OutButton->click();
  }
  void chooseInput(const std::string& fileName) {
    dialogs.confirm(fileName);
    form->InButton->click();
  }
  void chooseParameters(const std::string& fileName) {
    dialogs.confirm(fileName);
    form->ParametersButton->click();
  }
  void press() {
    form->CalcButton->click();
    waitUntilIdle();
  }

  // After every run: the button can be pressed again and the bar is back at 0.
  void expectIdle() {
    EXPECT_TRUE(form->CalcButton->isEnabled());
    EXPECT_EQ(form->ProgressBar->value(), 0);
  }

  TempDir directory;
};

TEST_F(Calculate, AnEmptyOutputNameIsReportedBeforeTheInputIsLookedAt) {
  form->OutputDialog.fileName.clear();
  press();
  chooseInput(dataPath("formaldehyde.mno"));
  press();
  EXPECT_EQ(dialogs.messages, (std::vector<Message>{kNoOutputFile, kNoOutputFile}));
  expectIdle();
}

TEST_F(Calculate, WithoutAnInputFileNothingIsRead) {
  chooseOutput(directory.file("scene"), kPovRayFilter);
  press();
  EXPECT_EQ(dialogs.messages, std::vector<Message>{kNoInputFile});
  EXPECT_FALSE(std::filesystem::exists(directory.file("scene.pov")));
  expectIdle();
}

TEST_F(Calculate, AnInputErrorLeavesTheOutputFileUntouched) {
  const std::string output = directory.file("scene.pov");
  writeFile(output, "an earlier scene");
  const std::string input = directory.file("broken.mno");
  writeFile(input, "not a MOPAC output\n");
  chooseParameters(dataPath("pm3r.txt"));
  chooseInput(input);
  chooseOutput(output, kPovRayFilter);
  std::vector<bool> enabledDuringMessages;
  dialogs.onMessage = [&](const std::string&, const std::string&) {
    enabledDuringMessages.push_back(form->CalcButton->isEnabled());
  };
  press();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].caption, "Lobewright error");
  EXPECT_EQ(dialogs.messages[0].text.substr(0, 17), "Input file error.");
  EXPECT_EQ(enabledDuringMessages, std::vector<bool>{true});
  EXPECT_EQ(readFile(output), "an earlier scene");
  expectIdle();
}

TEST_F(Calculate, WithOnlyAnInputChosenTheOutputCannotBeOpened) {
  chooseParameters(directory.file("no-such-parameters.txt"));
  chooseInput(dataPath("formaldehyde.mno"));
  press();
  // The notice comes before the run starts and says why and what to do; the run does not
  // repeat it.
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].caption, "Lobewright warning");
  EXPECT_EQ(dialogs.messages[0].text,
            "Using default PM3 parameters.\nThe parameter file " +
                directory.file("no-such-parameters.txt") +
                " was not found, so the classic model uses its built-in PM3 table, which knows H, "
                "C, N and O only. To use a table of your own, put pm3r.txt there or choose it "
                "with Parameters...");
  EXPECT_EQ(dialogs.messages[1].caption, kCannotOpenOutput.caption);
  EXPECT_EQ(testing::firstLine(dialogs.messages[1].text), kCannotOpenOutput.text);
  expectIdle();
  press();
  EXPECT_EQ(dialogs.messages.size(), 4u);
  expectIdle();
}

TEST_F(Calculate, TheBarFollowsEachLayerOfTheSweepAndIsResetAtTheEnd) {
  const std::string input = directory.file("hydrogen.mno");
  writeFile(input, kOneAtomAtTheOrigin);
  chooseParameters(dataPath("pm3r.txt"));
  chooseInput(input);
  chooseOutput(directory.file("hydrogen"), kPovRayFilter);
  const ProgressPaints paints(*form);
  press();
  ASSERT_EQ(paints.values,
            (std::vector<int>{0, 8, 16, 25, 33, 41, 50, 58, 66, 75, 83, 91, 100, 0}));
  const std::vector<bool> duringTheRun(paints.calculateEnabled.begin(),
                                       paints.calculateEnabled.begin() + 13);
  EXPECT_EQ(duringTheRun, std::vector<bool>(13, false));
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_FALSE(readFile(directory.file("hydrogen.pov")).empty());
  expectIdle();
}

TEST_F(Calculate, AFailedWriteIsReported) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this machine";
  std::filesystem::create_symlink("/dev/full", directory.file("full.pov"));
  chooseParameters(dataPath("pm3r.txt"));
  chooseInput(dataPath("formaldehyde.mno"));
  // The link's name was not typed whole: replacing it is asked first.
  dialogs.reply(true);
  chooseOutput(directory.file("full"), kPovRayFilter);
  press();
  EXPECT_EQ(dialogs.messages,
            (std::vector<Message>{{"Lobewright error", "Cannot write output file.\n" +
                                                           directory.file("full.pov") +
                                                           ": No space left on device"}}));
  expectIdle();
}

TEST_F(Calculate, AnExceptionDuringTheRunIsShownAndTheWindowIsReadyAgain) {
  chooseParameters(dataPath("pm3r.txt"));
  chooseInput(dataPath("formaldehyde.mno"));
  chooseOutput(directory.file("empty"), kPovRayFilter);
  type(form->ThreshEdit, "1000");
  int barDuringWarning = -1;
  dialogs.onMessage = [&](const std::string&, const std::string& text) {
    if (text != kNoSurface.text) return;
    barDuringWarning = form->ProgressBar->value();
    throw std::runtime_error("The disk went away.");
  };
  press();
  EXPECT_EQ(dialogs.messages,
            (std::vector<Message>{kNoSurface, {"Lobewright", "The disk went away."}}));
  EXPECT_EQ(barDuringWarning, 100);
  expectIdle();
}

TEST_F(Calculate, TheStatusLineSaysWhatEachRunDid) {
  chooseParameters(dataPath("pm3r.txt"));
  chooseInput(dataPath("formaldehyde.mno"));
  clickAndWait(form->HOMOButton);
  chooseOutput(directory.file("scene"), kPovRayFilter);
  EXPECT_EQ(form->StatusLabel->text(), "");
  press();
  const std::string scene = readFile(directory.file("scene.pov"));
  int64_t triangles = 0;
  for (std::size_t at = scene.find("smooth_triangle"); at != std::string::npos;
       at = scene.find("smooth_triangle", at + 1)) {
    ++triangles;
  }
  ASSERT_GT(triangles, 1000);
  const std::string status = form->StatusLabel->text().toStdString();
  std::smatch parts;
  ASSERT_TRUE(std::regex_match(
      status, parts, std::regex(R"(Wrote scene\.pov: ([0-9,]+) triangles in [0-9]+\.[0-9] s)")))
      << status;
  EXPECT_EQ(parts[1], withThousands(triangles));

  const std::string broken = directory.file("broken.mno");
  writeFile(broken, "not a MOPAC output\n");
  chooseInput(broken);
  press();
  EXPECT_EQ(form->StatusLabel->text(), "Failed: Input file error.");
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST(StatusLine, CountsAndTimes) {
  const std::pair<int64_t, const char*> counts[] = {{0, "0"},
                                                    {999, "999"},
                                                    {1000, "1,000"},
                                                    {45253, "45,253"},
                                                    {1234567, "1,234,567"},
                                                    {-1000, "-1,000"},
                                                    {INT64_MIN, "-9,223,372,036,854,775,808"}};
  for (const auto& [count, text] : counts) EXPECT_EQ(withThousands(count), text);

  ConversionOutcome outcome;
  outcome.triangles = 45253;
  EXPECT_EQ(conversionSummary(outcome, "/data/runs/caffeine-homo.pov", 0.24),
            "Wrote caffeine-homo.pov: 45,253 triangles in 0.2 s");
  outcome.triangles = 1;
  EXPECT_EQ(conversionSummary(outcome, "scene.ls", 12.05), "Wrote scene.ls: 1 triangle in 12.1 s");
  outcome = {ConversionStatus::cancelled, kCancelledMessage};
  EXPECT_EQ(conversionSummary(outcome, "scene.ls", 3), "Cancelled: nothing was written.");
  outcome = {ConversionStatus::cannotWriteOutput, "Cannot write output file.\n/x: No space"};
  EXPECT_EQ(conversionSummary(outcome, "/x", 3), "Failed: Cannot write output file.");
}

// Pressing Calculate writes what the converter writes for the same files and settings.
class SameBytesAsTheConverter : public Calculate {
 protected:
  void SetUp() override {
    Calculate::SetUp();
    chooseParameters(dataPath("pm3r.txt"));
    chooseInput(dataPath("formaldehyde.mno"));
  }

  // Returns what the window wrote; the converter's output goes to `converted`.
  std::string windowAndConverter(int filterIndex, const std::string& extension,
                                 const std::vector<std::string>& converterOptions,
                                 std::string& converted) {
    chooseOutput(directory.file("window" + extension), filterIndex);
    press();
    EXPECT_TRUE(dialogs.messages.empty());
    expectIdle();

    const std::string converterOutput = directory.file("converter" + extension);
    std::vector<std::string> arguments = {dataPath("formaldehyde.mno"), converterOutput, "--params",
                                          dataPath("pm3r.txt"), "--quiet"};
    arguments.insert(arguments.end(), converterOptions.begin(), converterOptions.end());
    EXPECT_EQ(runConverter(arguments), 0);
    converted = readFile(converterOutput);
    return readFile(directory.file("window" + extension));
  }
};

TEST_F(SameBytesAsTheConverter, PovRayWithTheDefaults) {
  clickAndWait(form->HOMOButton);
  std::string converted;
  const std::string written =
      windowAndConverter(kPovRayFilter, ".pov", {"--mo", "6", "--format", "pov"}, converted);
  ASSERT_FALSE(converted.empty());
  EXPECT_TRUE(written == converted) << "the window's scene differs from the converter's";
}

TEST_F(SameBytesAsTheConverter, PovRayWithEverySettingChanged) {
  clickAndWait(form->LUMOButton);
  form->ScaleUpDown->click(UpDownButton::next);
  form->LevelUpDown->click(UpDownButton::previous);
  type(form->ThreshEdit, "0.02");
  type(form->CutoffEdit, "3");
  type(form->BondEdit, "1.3");
  form->StructureCheckBox->setChecked(false);
  std::string converted;
  const std::string written = windowAndConverter(
      kPovRayFilter, ".pov",
      {"--mo", "7", "--scale", "5", "--accuracy", "2", "--threshold", "0.02", "--cutoff", "3",
       "--bond-length", "1.3", "--no-structure", "--format", "pov"},
      converted);
  ASSERT_FALSE(converted.empty());
  EXPECT_TRUE(written == converted) << "the window's scene differs from the converter's";
}

TEST_F(SameBytesAsTheConverter, LScript) {
  clickAndWait(form->HOMOButton);
  chooseOutput(directory.file("probe"), kLScriptFilter);
  const std::string converterOutput = directory.file("probe.ls");
  ASSERT_EQ(runConverter({dataPath("formaldehyde.mno"), converterOutput, "--params",
                          dataPath("pm3r.txt"), "--quiet", "--mo", "6", "--format", "ls"}),
            0);
  ASSERT_FALSE(readFile(converterOutput).empty()) << "the converter wrote an empty script";
  std::string converted;
  const std::string written =
      windowAndConverter(kLScriptFilter, ".ls", {"--mo", "6", "--format", "ls"}, converted);
  EXPECT_TRUE(written == converted) << "the window's script differs from the converter's";
}

}  // namespace
}  // namespace lobewright::testing
