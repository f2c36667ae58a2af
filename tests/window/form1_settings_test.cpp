#include <QComboBox>
#include <QDialog>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <vector>

#include "support/temp_dir.h"
#include "support/test_files.h"
#include "window/form_fixture.h"
#include "window/preview_widget.h"
#include "window/qt_dialog_presenter.h"

namespace lobewright::testing {
namespace {

using Message = ScriptedDialogs::Message;

struct Placement {
  const char* name;
  QRect geometry;
  const char* text;
};

std::string textOfControl(const QWidget* control) {
  if (const auto* label = qobject_cast<const QLabel*>(control)) return label->text().toStdString();
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
    return button->text().toStdString();
  }
  if (const auto* field = qobject_cast<const Edit*>(control)) return field->text().toStdString();
  return {};
}

TEST_F(FormTest, ControlsArePlacedCaptionedAndNamed) {
  EXPECT_EQ(form->objectName(), "Form1");
  EXPECT_EQ(form->windowTitle(), "Lobewright");
  // It grows: resizable and maximisable down to the classic window's size, which fits a 1600 by
  // 900 screen at twice the scale.
  EXPECT_EQ(form->minimumSize(), QSize(800, 448));
  EXPECT_GE(form->width(), 800);
  EXPECT_GE(form->height(), 448);
  EXPECT_GT(form->maximumSize().width(), 1600);
  EXPECT_TRUE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);

  const Placement controls[] = {
      {"HOMOButton", {160, 8, 33, 22}, "HOMO"},
      {"LUMOButton", {200, 8, 33, 22}, "LUMO"},
      {"StructureCheckBox", {8, 160, 97, 17}, "Show structure"},
      {"ParametersButton", {160, 40, 75, 25}, "Parameters..."},
      {"InButton", {160, 72, 75, 25}, "In file..."},
      {"OutButton", {160, 104, 75, 25}, "Out file..."},
      {"CalcButton", {160, 136, 75, 25}, "Calculate"},
      {"CancelButton", {160, 240, 75, 25}, "Cancel"},
      {"ProgressBar", {8, 184, 225, 17}, ""},
      {"StatusLabel", {8, 208, 229, 28}, ""},
      {"MoEdit", {88, 8, 46, 21}, "1"},
      {"ScaleEdit", {88, 32, 46, 21}, "4"},
      {"MoUpDown", {136, 8, 19, 17}, ""},
      {"ScaleUpDown", {136, 32, 19, 17}, ""},
      {"LevelUpDown", {136, 80, 19, 17}, ""},
      {"ThreshEdit", {88, 56, 46, 21}, "0.05"},
      {"CutoffEdit", {88, 104, 46, 21}, "3.5"},
      {"BondEdit", {88, 128, 46, 21}, "1.6"},
  };
  for (const Placement& expected : controls) {
    const auto* control = form->findChild<QWidget*>(expected.name);
    ASSERT_NE(control, nullptr) << expected.name;
    EXPECT_EQ(control->geometry(), expected.geometry) << expected.name;
    EXPECT_EQ(textOfControl(control), expected.text) << expected.name;
    if (qobject_cast<const QAbstractButton*>(control) != nullptr) {
      const int captionWidth = control->fontMetrics().horizontalAdvance(expected.text);
      EXPECT_LE(captionWidth, control->width() - 4) << expected.name << " cuts its caption";
    }
  }

  // Labels take the size of their caption; their place is fixed and nothing of them is cut.
  const Placement labels[] = {
      {"Label1", {8, 8, 0, 0}, "MO number"},     {"Label2", {8, 32, 0, 0}, "Scale:"},
      {"Label3", {8, 56, 0, 0}, "Threshold"},    {"Label4", {8, 80, 0, 0}, "Accuracy:"},
      {"Label5", {8, 128, 0, 0}, "Bond Length"}, {"Label7", {8, 104, 0, 0}, "Cutoff"},
      {"LevelLabel", {88, 80, 0, 0}, "3"},
  };
  for (const Placement& expected : labels) {
    const auto* label = form->findChild<QLabel*>(expected.name);
    ASSERT_NE(label, nullptr) << expected.name;
    EXPECT_EQ(label->pos(), expected.geometry.topLeft()) << expected.name;
    EXPECT_EQ(textOfControl(label), expected.text) << expected.name;
    EXPECT_GE(label->width(), label->sizeHint().width()) << expected.name;
    if (label->x() == 8) {
      EXPECT_LT(label->geometry().right(), 88) << expected.name;
    }
  }
}

TEST_F(FormTest, StartsWithTheDefaults) {
  const ConversionSettings& settings = form->settings;
  EXPECT_EQ(settings.moNumber, 1);
  EXPECT_EQ(settings.scale, 4);
  EXPECT_EQ(settings.threshold, 0.05f);
  EXPECT_EQ(settings.accuracy, 3);
  EXPECT_EQ(settings.cutoff, 3.5f);
  EXPECT_EQ(settings.bondLength, 1.6f);
  EXPECT_TRUE(settings.showStructure);
  EXPECT_TRUE(form->StructureCheckBox->isChecked());
  EXPECT_EQ(settings.outputPath, "");

  EXPECT_EQ(form->MoUpDown->minimum(), 1);
  EXPECT_EQ(form->MoUpDown->maximum(), 200);
  EXPECT_EQ(form->FieldComboBox->currentText(), "MO");
  EXPECT_FALSE(form->EncloseCheckBox->isChecked());
  EXPECT_FALSE(form->Preview->hasScene());
  EXPECT_EQ(form->MoUpDown->position(), 1);
  EXPECT_EQ(form->ScaleUpDown->maximum(), 100);
  EXPECT_EQ(form->ScaleUpDown->position(), 4);
  EXPECT_EQ(form->LevelUpDown->maximum(), 100);
  EXPECT_EQ(form->LevelUpDown->position(), 3);
  EXPECT_EQ(form->ProgressBar->minimum(), 0);
  EXPECT_EQ(form->ProgressBar->maximum(), 100);
  EXPECT_EQ(form->ProgressBar->value(), 0);

  EXPECT_EQ(form->ParametersDialog.fileName,
            std::filesystem::current_path().string() + "/pm3r.txt");
  EXPECT_EQ(form->ParametersDialog.filter, "Text (*.txt)|*.txt");
  EXPECT_EQ(form->InputDialog.fileName, "");
  EXPECT_EQ(form->InputDialog.filter,
            "MOPAC output (*.mno)|*.mno|MOPAC output (*.out)|*.out|MOPAC auxiliary file "
            "(*.aux)|*.aux|MOPAC graphics file (*.mgf)|*.mgf");
  EXPECT_EQ(form->OutputDialog.fileName, "out");
  EXPECT_EQ(form->OutputDialog.kind, FileDialogKind::save);
  EXPECT_EQ(form->OutputDialog.filter,
            "POVray (*.pov)|*.pov|LScript (*.ls)|*.ls|Gaussian cube (*.cube)|*.cube|glTF binary "
            "(*.glb)|*.glb|Wavefront OBJ (*.obj)|*.obj|PLY (*.ply)|*.ply|STL (*.stl)|*.stl|PNG "
            "picture (*.png)|*.png|web page (*.html)|*.html");
  EXPECT_EQ(form->OutputDialog.filterIndex, 1);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FormTest, TabVisitsTheControlsInOrderAndSkipsTheSpeedButtons) {
  const std::vector<std::string> expected = {
      "StructureCheckBox", "ParametersButton", "InButton",         "OutButton",
      "CalcButton",        "MoEdit",           "MoUpDown",         "ScaleEdit",
      "ScaleUpDown",       "LevelUpDown",      "ThreshEdit",       "CutoffEdit",
      "BondEdit",          "FieldComboBox",    "EncloseCheckBox",  "IsoSlider",
      "SaveButton",        "PictureSizeEdit",  "TransparencyEdit", "ColoursEdit",
      "FrameCheckBox",     "StructureCheckBox"};
  EXPECT_TRUE(form->StructureCheckBox->hasFocus());
  std::vector<std::string> visited = {"StructureCheckBox"};
  for (std::size_t i = 1; i < expected.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited.push_back(QApplication::focusWidget()->objectName().toStdString());
  }
  EXPECT_EQ(visited, expected);
  EXPECT_EQ(form->HOMOButton->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(form->LUMOButton->focusPolicy(), Qt::NoFocus);
}

TEST_F(FormTest, TypingAnExponentStoresEachUsableKeystroke) {
  std::vector<float> thresholds;
  QTest::keyClick(form->ThreshEdit, Qt::Key_A, Qt::ControlModifier);
  for (const char key : std::string("1e-5")) {
    QTest::keyClicks(form->ThreshEdit, QString(QChar(key)));
    thresholds.push_back(form->settings.threshold);
  }
  EXPECT_EQ(thresholds, (std::vector<float>{1, 1, 1, 1e-5f}));
  leave(form->ThreshEdit);
  EXPECT_EQ(textOf(form->ThreshEdit), "1e-05");
}

TEST_F(FormTest, TextWithoutANumberKeepsTheSettingAndLeavingShowsItAgain) {
  type(form->ThreshEdit, "abc");
  EXPECT_EQ(form->settings.threshold, 0.05f);
  leave(form->ThreshEdit);
  EXPECT_EQ(textOf(form->ThreshEdit), "0.05");

  type(form->CutoffEdit, "x");
  type(form->BondEdit, "");
  EXPECT_EQ(form->settings.cutoff, 3.5f);
  EXPECT_EQ(form->settings.bondLength, 1.6f);
  leave(form->BondEdit);
  EXPECT_EQ(textOf(form->BondEdit), "1.6");
}

TEST_F(FormTest, NumbersAreTakenAsTyped) {
  type(form->ThreshEdit, "-0.05");
  EXPECT_EQ(form->settings.threshold, -0.05f);
  type(form->CutoffEdit, "4.25");
  EXPECT_EQ(form->settings.cutoff, 4.25f);
  type(form->BondEdit, "1.3e0");
  EXPECT_EQ(form->settings.bondLength, 1.3f);
  leave(form->BondEdit);
  EXPECT_EQ(textOf(form->BondEdit), "1.3");
}

TEST_F(FormTest, ZeroMoNumberIsIgnoredAndLeavingRestoresTheText) {
  type(form->MoEdit, "7");
  type(form->MoEdit, "0");
  EXPECT_EQ(form->settings.moNumber, 7);
  EXPECT_EQ(form->MoUpDown->position(), 7);
  leave(form->MoEdit);
  EXPECT_EQ(textOf(form->MoEdit), "7");
}

// Without an input, MO numbers run to the classic model's last, 32767; nothing beyond is cut to
// another number. Each refusal keeps the MO of before and says why.
TEST_F(FormTest, MoNumbersBeyondAnyFileAreRefusedWithASign) {
  type(form->MoEdit, "250");
  EXPECT_EQ(form->settings.moNumber, 250);
  EXPECT_FALSE(form->MoEdit->property("refused").toBool());
  for (const char* text : {"99999", "65537", "-31073", "32768", "0"}) {
    form->MoEdit->setText(text);
    EXPECT_EQ(form->settings.moNumber, 250) << text;
    EXPECT_TRUE(form->MoEdit->property("refused").toBool()) << text;
    EXPECT_NE(form->MoEdit->palette().color(QPalette::Base),
              QApplication::palette(form->MoEdit).color(QPalette::Base));
    EXPECT_NE(form->PreviewStatusLabel->text().indexOf("1 to 32767"), -1) << text;
  }
  leave(form->MoEdit);
  EXPECT_EQ(textOf(form->MoEdit), "250");
  EXPECT_FALSE(form->MoEdit->property("refused").toBool());
  type(form->MoEdit, "32767");
  EXPECT_EQ(form->settings.moNumber, 32767);
}

// The scale is typed as well as stepped: 4 to 64 is one edit, not 60 clicks.
TEST_F(FormTest, TheScaleCanBeTyped) {
  type(form->ScaleEdit, "64");
  EXPECT_EQ(form->settings.scale, 64);
  EXPECT_EQ(form->ScaleUpDown->position(), 64);
  form->ScaleEdit->setText("101");
  EXPECT_EQ(form->settings.scale, 64);
  EXPECT_TRUE(form->ScaleEdit->property("refused").toBool());
  leave(form->ScaleEdit);
  EXPECT_EQ(textOf(form->ScaleEdit), "64");
  form->ScaleUpDown->click(UpDownButton::previous);
  EXPECT_EQ(textOf(form->ScaleEdit), "63");
}

TEST_F(FormTest, SpinnersStopAtTheirEnds) {
  for (int i = 0; i < 100; ++i) form->ScaleUpDown->click(UpDownButton::next);
  EXPECT_EQ(form->settings.scale, 100);
  EXPECT_EQ(textOf(form->ScaleEdit), "100");
  form->ScaleUpDown->click(UpDownButton::next);
  EXPECT_EQ(form->settings.scale, 100);

  for (int i = 0; i < 5; ++i) form->LevelUpDown->click(UpDownButton::previous);
  EXPECT_EQ(form->settings.accuracy, 1);
  EXPECT_EQ(form->LevelLabel->text(), "1");

  form->MoUpDown->click(UpDownButton::previous);
  EXPECT_EQ(form->settings.moNumber, 1);
  EXPECT_EQ(textOf(form->MoEdit), "1");
}

TEST_F(FormTest, SpinnersAnswerTheirArrowsAndKeys) {
  const auto arrows = form->MoUpDown->findChildren<QToolButton*>();
  ASSERT_EQ(arrows.size(), 2);
  const QToolButton* upper = arrows[0]->y() < arrows[1]->y() ? arrows[0] : arrows[1];
  QTest::mouseClick(const_cast<QToolButton*>(upper), Qt::LeftButton);
  EXPECT_EQ(form->settings.moNumber, 2);
  EXPECT_EQ(textOf(form->MoEdit), "2");

  form->LevelUpDown->setFocus(Qt::TabFocusReason);
  QTest::keyClick(form->LevelUpDown, Qt::Key_Down);
  EXPECT_EQ(form->settings.accuracy, 2);
  EXPECT_EQ(form->LevelLabel->text(), "2");
}

TEST_F(FormTest, StructureSwitchFollowsTheCheckBox) {
  QTest::mouseClick(form->StructureCheckBox, Qt::LeftButton);
  EXPECT_FALSE(form->settings.showStructure);
  QTest::keyClick(form->StructureCheckBox, Qt::Key_Space);
  EXPECT_TRUE(form->settings.showStructure);
}

class OutFile : public FormTest {
 protected:
  void pressOutFile() { form->OutButton->click(); }
};

TEST_F(OutFile, CancellingAtOnceGivesAPovRayFileNamedOut) {
  dialogs.cancel();
  pressOutFile();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].dialog, "OutputDialog");
  EXPECT_EQ(dialogs.shown[0].proposedFileName, "out");
  EXPECT_EQ(dialogs.shown[0].proposedFilterIndex, 1);
  EXPECT_EQ(form->settings.outputPath, "out.pov");
  EXPECT_EQ(form->settings.outputKind, OutputKind::PovRay);
  EXPECT_EQ(form->OutputDialog.fileName, "out");
}

// A typed extension of a known format wins over the filter selected, and the dialog shows that
// format's filter next time; a name without one takes the filter's, any other extension is kept.
TEST_F(OutFile, TheTypedExtensionWinsAndTheDialogProposesTheStem) {
  dialogs.confirm("/scenes/x.glb", kPovRayFilter);
  pressOutFile();
  EXPECT_EQ(form->settings.outputPath, "/scenes/x.glb");
  EXPECT_EQ(form->settings.outputKind, OutputKind::Gltf);

  dialogs.confirm("/scenes/mol", 2);
  pressOutFile();
  EXPECT_EQ(form->settings.outputPath, "/scenes/mol.ls");
  EXPECT_EQ(form->settings.outputKind, OutputKind::LScript);

  dialogs.cancel();
  pressOutFile();
  EXPECT_EQ(dialogs.shown[2].proposedFileName, "/scenes/mol");
  EXPECT_EQ(dialogs.shown[2].proposedFilterIndex, 2);
  EXPECT_EQ(form->settings.outputPath, "/scenes/mol.ls");

  dialogs.confirm("/scenes/mol.txt", kPovRayFilter);
  pressOutFile();
  EXPECT_EQ(form->settings.outputPath, "/scenes/mol.txt.pov");
  EXPECT_TRUE(dialogs.questions.empty());
}

// The dialog asks before the window replaces a file whose name the user did not type whole; a
// No keeps the output chosen before.
TEST_F(OutFile, AFileTheUserDidNotNameIsReplacedOnlyWhenTheUserAgrees) {
  TempDir folder;
  writeFile(folder.file("mol.pov"), "an earlier scene");
  dialogs.confirm(folder.file("mol"), kPovRayFilter);
  dialogs.reply(false);
  pressOutFile();
  ASSERT_EQ(dialogs.questions.size(), 1u);
  EXPECT_NE(dialogs.questions[0].text.find(folder.file("mol.pov")), std::string::npos);
  EXPECT_EQ(form->settings.outputPath, "");

  dialogs.confirm(folder.file("mol"), kPovRayFilter);
  dialogs.reply(true);
  pressOutFile();
  EXPECT_EQ(form->settings.outputPath, folder.file("mol.pov"));

  // Named whole: no question.
  dialogs.confirm(folder.file("mol.pov"), 2);
  pressOutFile();
  EXPECT_EQ(dialogs.questions.size(), 2u);
  EXPECT_EQ(form->settings.outputKind, OutputKind::PovRay);
}

TEST_F(FormTest, OpenDialogsOnlyRememberTheChosenFile) {
  const ConversionSettings before = form->settings;
  dialogs.confirm("/data/benzene.mno");
  form->InButton->click();
  dialogs.cancel();
  form->InButton->click();
  EXPECT_EQ(form->InputDialog.fileName, "/data/benzene.mno");
  EXPECT_EQ(dialogs.shown[1].proposedFileName, "/data/benzene.mno");

  dialogs.confirm("/data/pm3-extra.txt");
  form->ParametersButton->click();
  EXPECT_EQ(form->ParametersDialog.fileName, "/data/pm3-extra.txt");
  EXPECT_EQ(form->settings.moNumber, before.moNumber);
  EXPECT_EQ(form->settings.outputPath, before.outputPath);
  // The input that is not there is said so when it is chosen, not at Calculate only.
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text,
            "Input file error.\n/data/benzene.mno: No such file or directory");
}

TEST_F(FormTest, AnExceptionInAHandlerIsShownAndTheWindowGoesOn) {
  struct ThrowingDialogs : ScriptedDialogs {
    bool execute(FileDialog&) override { throw std::runtime_error("Out of memory."); }
  } throwing;
  TForm1 window(throwing);
  window.ParametersButton->click();
  EXPECT_EQ(throwing.messages, (std::vector<Message>{{"Lobewright", "Out of memory."}}));
  window.MoUpDown->click(UpDownButton::next);
  EXPECT_EQ(window.settings.moNumber, 2);
}

TEST(FileFilterList, SplitsDescriptionAndPatternPairs) {
  const auto filters = splitFilterList("POVray (*.pov)|*.pov|LScript (*.ls)|*.ls");
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[1].description, "LScript (*.ls)");
  EXPECT_EQ(filters[1].pattern, "*.ls");
  EXPECT_TRUE(splitFilterList("").empty());
  const auto unpaired = splitFilterList("Text (*.txt)");
  ASSERT_EQ(unpaired.size(), 1u);
  EXPECT_EQ(unpaired[0].pattern, "*");
  EXPECT_EQ(joinFilterList(filters), "POVray (*.pov)|*.pov|LScript (*.ls)|*.ls");
  EXPECT_EQ(joinFilterList({}), "");
}

// The real dialogs are modal over the window and centred on it, wherever the window is and
// whichever window is active.
TEST_F(FormTest, RealDialogsBelongToTheWindow) {
  QtDialogPresenter presenter;
  presenter.setWindow(form.get());
  // Away from its first place, yet whole on the offscreen display's 800 by 600 pixels.
  form->move(0, 120);
  QWidget elsewhere;
  elsewhere.show();
  elsewhere.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
  struct Seen {
    QWidget* parent = nullptr;
    QPoint centre;
    int width = 0;
  };
  // Answers the dialog that opens next, as soon as it is up.
  const auto answerNextDialog = [](Seen& seen) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, &seen] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr || !dialog->isVisible()) return;
      seen = {dialog->parentWidget(), dialog->frameGeometry().center(), dialog->width()};
      dialog->reject();
      poll->deleteLater();
    });
    poll->start(5);
  };
  Seen box;
  answerNextDialog(box);
  presenter.show("Lobewright error", "Input file error.\n/data/x.mno: no atoms");
  EXPECT_EQ(box.parent, form.get());
  EXPECT_LE((box.centre - form->frameGeometry().center()).manhattanLength(), 4);

  // A box with a short text is still wide enough for its title and the title bar's buttons.
  Seen narrow;
  answerNextDialog(narrow);
  presenter.show("Lobewright warning", "x");
  QFont bold = form->font();
  bold.setBold(true);
  EXPECT_GE(narrow.width, QFontMetrics(bold).horizontalAdvance("Lobewright warning") + 100);

  Seen question;
  answerNextDialog(question);
  EXPECT_FALSE(presenter.ask("Lobewright", "Replace x.pov?"));
  EXPECT_EQ(question.parent, form.get());

  Seen fileDialog;
  answerNextDialog(fileDialog);
  FileDialog input = form->InputDialog;
  EXPECT_FALSE(presenter.execute(input));
  EXPECT_EQ(fileDialog.parent, form.get());
}

}  // namespace
}  // namespace lobewright::testing
