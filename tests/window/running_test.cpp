#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "support/golden.h"
#include "support/temp_dir.h"
#include "window/form_fixture.h"

namespace lobewright::testing {
namespace {

// However far the run has come, a stop must give the window back within this time. Sanitized
// builds evaluate, and above all free the sweep's planes, several times more slowly, and their
// suite runs beside the next build: on two cores closing took 607 to 756 ms there.
#ifdef __SANITIZE_ADDRESS__
constexpr qint64 kPromptStopMs = 1000;
#else
constexpr qint64 kPromptStopMs = 100;
#endif
// Other work on the machine can hold a stop up now and then; a stop that is slow by design is
// slow every time, so each kind of stop has a few tries to come in on time.
constexpr int kStopTries = 3;

std::size_t entriesIn(const std::string& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                std::filesystem::directory_iterator()));
}

// Caffeine's HOMO at a fine scale: a run of many seconds, stopped in every test long before it
// ends.
class LongRun : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    chooseFilesAndSettings();
  }

  void chooseFilesAndSettings() {
    dialogs.confirm(dataPath("pm3r.txt"));
    form->ParametersButton->click();
    dialogs.confirm(dataPath("caffeine.mno"));
    form->InButton->click();
    dialogs.confirm(directory.file("caffeine"), kPovRayFilter);
    form->OutButton->click();
    type(form->MoEdit, "37");
    setScale(100);
  }

  void setScale(int scale) {
    form->ScaleUpDown->setPosition(scale - 1);
    form->ScaleUpDown->click(UpDownButton::next);
    ASSERT_EQ(form->settings.scale, scale);
  }

  // Presses Calculate and returns once the bar has moved, with the run still going.
  void startAndWaitForProgress() {
    form->CalcButton->click();
    ASSERT_TRUE(form->busy());
    ASSERT_TRUE(QTest::qWaitFor([this] { return form->ProgressBar->value() > 0 || !form->busy(); },
                                kLongestRunMs));
    ASSERT_TRUE(form->busy()) << "the run ended before it could be interrupted";
  }

  // Milliseconds from the stop to the window being ready for the next command.
  qint64 timeToIdle(const std::function<void()>& stop) {
    QElapsedTimer timer;
    timer.start();
    stop();
    waitUntilIdle();
    return timer.elapsed();
  }

  // Runs `attempt`, which returns milliseconds, until one comes within the limit, and returns
  // the fastest.
  static qint64 fastestOfTries(const char* what, const std::function<qint64()>& attempt) {
    qint64 fastest = std::numeric_limits<qint64>::max();
    for (int tried = 0; tried < kStopTries && fastest > kPromptStopMs; ++tried) {
      const qint64 ms = attempt();
      std::cout << "[ stopped  ] " << what << " at 100 grid points per A: " << ms << " ms\n";
      fastest = std::min(fastest, ms);
    }
    return fastest;
  }

  void expectIdleAfterCancel() {
    EXPECT_FALSE(form->busy());
    EXPECT_TRUE(form->CalcButton->isEnabled());
    EXPECT_TRUE(form->MoEdit->isEnabled());
    EXPECT_FALSE(form->CancelButton->isEnabled());
    EXPECT_EQ(form->ProgressBar->value(), 0);
    EXPECT_EQ(form->StatusLabel->text(), "Cancelled: nothing was written.");
    EXPECT_TRUE(dialogs.messages.empty());
  }

  TempDir directory;
  const std::string output = directory.file("caffeine.pov");
};

TEST_F(LongRun, TheWindowGoesOnWhileTheRunLasts) {
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(5);
  startAndWaitForProgress();
  const int barBefore = form->ProgressBar->value();
  const int ticksBefore = ticks;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return form->ProgressBar->value() > barBefore && ticks > ticksBefore + 3; },
      kLongestRunMs));
  EXPECT_TRUE(form->busy());
  EXPECT_FALSE(form->CalcButton->isEnabled());
  EXPECT_EQ(form->StatusLabel->text().left(11), "Calculating");
  form->CancelButton->click();
  waitUntilIdle();
}

// Input that could change the run is dropped, not kept for later: no second run starts once the
// first has ended, and the settings are those of before.
TEST_F(LongRun, ClicksAndKeysDuringTheRunAreDropped) {
  setScale(64);
  startAndWaitForProgress();
  const auto arrows = form->ScaleUpDown->findChildren<QToolButton*>();
  ASSERT_EQ(arrows.size(), 2);
  QToolButton* const up = arrows[0]->y() < arrows[1]->y() ? arrows[0] : arrows[1];
  QTest::mouseClick(form->CalcButton, Qt::LeftButton);
  QTest::mouseClick(up, Qt::LeftButton);
  QTest::mouseClick(up, Qt::LeftButton);
  QTest::keyClick(form->ScaleUpDown, Qt::Key_Up);
  QTest::keyClicks(form->MoEdit, "5");
  QTest::mouseClick(form->HOMOButton, Qt::LeftButton);
  QTest::mouseClick(form->StructureCheckBox, Qt::LeftButton);
  form->CancelButton->click();
  waitUntilIdle();
  QTest::qWait(50);
  EXPECT_FALSE(form->busy()) << "a click during the run started another";
  EXPECT_FALSE(std::filesystem::exists(output));
  EXPECT_EQ(form->settings.scale, 64);
  EXPECT_EQ(textOf(form->ScaleEdit), "64");
  EXPECT_EQ(form->settings.moNumber, 37);
  EXPECT_EQ(textOf(form->MoEdit), "37");
  EXPECT_TRUE(form->settings.showStructure);
  expectIdleAfterCancel();
}

TEST_F(LongRun, CancelAndEscapeStopPromptlyAndKeepTheOldFile) {
  writeFile(output, "an earlier scene");
  const std::pair<const char*, std::function<void()>> stops[] = {
      {"Cancel", [this] { QTest::mouseClick(form->CancelButton, Qt::LeftButton); }},
      {"Esc", [this] { QTest::keyClick(form.get(), Qt::Key_Escape); }},
  };
  for (const auto& [name, stop] : stops) {
    const qint64 ms = fastestOfTries(name, [&, &stop = stop] {
      startAndWaitForProgress();
      EXPECT_TRUE(form->CancelButton->hasFocus()) << name;
      const qint64 elapsed = timeToIdle(stop);
      EXPECT_EQ(readFile(output), "an earlier scene") << name;
      EXPECT_EQ(entriesIn(directory.file("")), 1u) << name;
      expectIdleAfterCancel();
      return elapsed;
    });
    EXPECT_LE(ms, kPromptStopMs) << name;
  }
}

TEST_F(LongRun, ClosingTheWindowStopsTheRunFirstAndLeavesNoFile) {
  bool firstWindow = true;
  const qint64 ms = fastestOfTries("Closing", [&] {
    if (!firstWindow) {
      form = std::make_unique<TForm1>(dialogs);
      form->show();
      chooseFilesAndSettings();
    }
    firstWindow = false;
    startAndWaitForProgress();
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(form->close());
    const qint64 elapsed = timer.elapsed();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->busy());
    EXPECT_EQ(entriesIn(directory.file("")), 0u);
    EXPECT_EQ(form->ProgressBar->value(), 0);
    return elapsed;
  });
  EXPECT_LE(ms, kPromptStopMs);
}

}  // namespace
}  // namespace lobewright::testing
