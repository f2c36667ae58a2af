#include "app/window/form1.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <exception>
#include <filesystem>
#include <system_error>

#include "app/conversion.h"
#include "app/homo_lumo_locator.h"
#include "app/output_choice.h"
#include "app/settings_text.h"
#include "app/window/edit.h"
#include "app/window/form_font.h"

namespace lobewright {
namespace {

constexpr const char* kNoOutputFileMessage = "No output file selected.";
constexpr const char* kNoInputFileMessage = "No input file selected.";

constexpr int kClientWidth = 245;
constexpr int kClientHeight = 211;
constexpr int kFormLeft = 193;
constexpr int kFormTop = 134;
// The window was laid out for an 11-pixel font, its speed buttons for a 9-pixel one.
constexpr int kFormPixelSize = 11;
constexpr int kSpeedButtonPixelSize = 9;
constexpr int kSmallestPixelSize = 7;

template <class Control>
Control* place(Control* control, const char* name, int left, int top, int width, int height) {
  control->setObjectName(name);
  control->setGeometry(left, top, width, height);
  return control;
}

// Labels take the size of their caption, as the window's labels always have; only their
// position is fixed.
QLabel* label(QWidget* form, const char* name, int left, int top, const char* caption) {
  auto* control = place(new QLabel(caption, form), name, left, top, 0, 0);
  control->adjustSize();
  return control;
}

void setCaption(QLabel* control, const std::string& caption) {
  control->setText(QString::fromStdString(caption));
  control->adjustSize();
}

QToolButton* speedButton(QWidget* form, const char* name, int left, const char* caption) {
  auto* button = place(new QToolButton(form), name, left, 8, 33, 22);
  button->setText(caption);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

QPushButton* button(QWidget* form, const char* name, int top, const char* caption) {
  return place(new QPushButton(caption, form), name, 160, top, 75, 25);
}

Edit* edit(QWidget* form, const char* name, int top, const char* text) {
  return place(new Edit(text, form), name, 88, top, 33, 21);
}

UpDown* upDown(QWidget* form, const char* name, int top, int maximum, int position) {
  auto* spinner = place(new UpDown(form), name, 136, top, 19, 17);
  spinner->setRange(1, maximum);
  spinner->setPosition(position);
  return spinner;
}

std::string textOf(const Edit* control) { return control->text().toStdString(); }

void setText(Edit* control, const std::string& text) {
  control->setText(QString::fromStdString(text));
}

// A typed number replaces the setting unless it comes to 0, which stands for "no number".
void takeTypedNumber(const Edit* control, float& setting) {
  const float value = textToFloat(textOf(control));
  if (value != 0.0f) setting = value;
}

// The working directory whole, then the default parameter file's name; the bare name when the
// directory cannot be read (it may have been removed).
std::string defaultParameterFile() {
  std::error_code error;
  const std::filesystem::path directory = std::filesystem::current_path(error);
  if (error) return "pm3r.txt";
  return directory.string() + "/pm3r.txt";
}

// The Calculate button is disabled while a run lasts. However the run ends, an exception
// included, the bar goes back to 0 and the button is enabled again.
class RunningState {
 public:
  RunningState(QPushButton* button, QProgressBar* bar) : m_button(button), m_bar(bar) {
    m_button->setEnabled(false);
  }
  ~RunningState() {
    m_bar->setValue(0);
    m_button->setEnabled(true);
  }
  RunningState(const RunningState&) = delete;
  RunningState& operator=(const RunningState&) = delete;

 private:
  QPushButton* m_button;
  QProgressBar* m_bar;
};

}  // namespace

TForm1::TForm1(DialogPresenter& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_dialogs(dialogs) {
  setObjectName("Form1");
  setWindowTitle(kApplicationTitle);
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);
  chooseFormFont();
  createControls();
  chainTabOrder();
  setFixedSize(kClientWidth, kClientHeight);
  move(kFormLeft, kFormTop);

  ParametersDialog = {"ParametersDialog", FileDialogKind::open, "pm3r.txt", "Text (*.txt)|*.txt"};
  OutputDialog = {"OutputDialog", FileDialogKind::save, "out",
                  "POVray (*.pov)|*.pov|LScript (*.ls)|*.ls"};
  InputDialog = {"InputDialog", FileDialogKind::open, "", "MOPAC output (*.mno)|*.mno"};

  connectHandlers();
  FormCreate();
}

void TForm1::createControls() {
  Label1 = label(this, "Label1", 8, 8, "MO number");
  Label2 = label(this, "Label2", 8, 32, "Scale:");
  Label3 = label(this, "Label3", 8, 56, "Threshold");
  Label4 = label(this, "Label4", 8, 80, "Accuracy:");
  Label5 = label(this, "Label5", 8, 128, "Bond Length");
  HOMOButton = speedButton(this, "HOMOButton", 160, "HOMO");
  LUMOButton = speedButton(this, "LUMOButton", 200, "LUMO");
  ScaleLabel = label(this, "ScaleLabel", 88, 32, "4");
  LevelLabel = label(this, "LevelLabel", 88, 80, "3");
  Label7 = label(this, "Label7", 8, 104, "Cutoff");
  StructureCheckBox =
      place(new QCheckBox("Show structure", this), "StructureCheckBox", 8, 160, 97, 17);
  StructureCheckBox->setChecked(true);
  ParametersButton = button(this, "ParametersButton", 40, "Parameters...");
  InButton = button(this, "InButton", 72, "In file...");
  OutButton = button(this, "OutButton", 104, "Out file...");
  CalcButton = button(this, "CalcButton", 136, "Calculate");
  ProgressBar = place(new QProgressBar(this), "ProgressBar", 8, 184, 225, 17);
  ProgressBar->setRange(0, 100);
  ProgressBar->setValue(0);
  ProgressBar->setTextVisible(false);
  MoEdit = edit(this, "MoEdit", 8, "1");
  MoUpDown = upDown(this, "MoUpDown", 8, 200, 1);
  ScaleUpDown = upDown(this, "ScaleUpDown", 32, 100, 4);
  LevelUpDown = upDown(this, "LevelUpDown", 80, 100, 3);
  ThreshEdit = edit(this, "ThreshEdit", 56, "0.05");
  CutoffEdit = edit(this, "CutoffEdit", 104, "3.5");
  BondEdit = edit(this, "BondEdit", 128, "1.6");
  const int speedButtonRoom = 33 - 4;
  HOMOButton->setFont(fittingFont(font(), kSpeedButtonPixelSize, kSmallestPixelSize,
                                  {{"HOMO", speedButtonRoom}, {"LUMO", speedButtonRoom}}));
  LUMOButton->setFont(HOMOButton->font());
}

void TForm1::chooseFormFont() {
  const QStyle* style = QApplication::style();
  const int checkBoxTextRoom = 97 - style->pixelMetric(QStyle::PM_IndicatorWidth) -
                               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing) - 2;
  // Labels end before the edits at 88; buttons keep a few pixels of margin on each side.
  const int labelRoom = 88 - 8 - 4;
  const int buttonRoom = 75 - 10;
  setFont(fittingFont(QApplication::font(), kFormPixelSize, kSmallestPixelSize,
                      {{"MO number", labelRoom},
                       {"Threshold", labelRoom},
                       {"Accuracy:", labelRoom},
                       {"Bond Length", labelRoom},
                       {"Show structure", checkBoxTextRoom},
                       {"Parameters...", buttonRoom},
                       {"Out file...", buttonRoom},
                       {"Calculate", buttonRoom}}));
}

void TForm1::chainTabOrder() {
  QWidget* const order[] = {StructureCheckBox, ParametersButton, InButton,   OutButton,
                            CalcButton,        MoEdit,           MoUpDown,   ScaleUpDown,
                            LevelUpDown,       ThreshEdit,       CutoffEdit, BondEdit};
  for (std::size_t i = 1; i < std::size(order); ++i) {
    QWidget::setTabOrder(order[i - 1], order[i]);
  }
  StructureCheckBox->setFocus();
}

template <class Handler>
void TForm1::guarded(const Handler& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    m_dialogs.show(kApplicationTitle, error.what());
  } catch (...) {
    m_dialogs.show(kApplicationTitle, kUnexpectedErrorMessage);
  }
}

void TForm1::connectHandlers() {
  connect(MoEdit, &Edit::textChanged, this, [this] { guarded([this] { MoEditChange(MoEdit); }); });
  connect(MoEdit, &Edit::exited, this, [this] { guarded([this] { MoEditExit(MoEdit); }); });
  connect(ThreshEdit, &Edit::textChanged, this,
          [this] { guarded([this] { ThreshEditChange(ThreshEdit); }); });
  connect(ThreshEdit, &Edit::exited, this,
          [this] { guarded([this] { ThreshEditExit(ThreshEdit); }); });
  connect(CutoffEdit, &Edit::textChanged, this,
          [this] { guarded([this] { CutoffEditChange(CutoffEdit); }); });
  connect(CutoffEdit, &Edit::exited, this,
          [this] { guarded([this] { CutoffEditExit(CutoffEdit); }); });
  connect(BondEdit, &Edit::textChanged, this,
          [this] { guarded([this] { BondEditChange(BondEdit); }); });
  connect(BondEdit, &Edit::exited, this, [this] { guarded([this] { BondEditExit(BondEdit); }); });

  connect(MoUpDown, &UpDown::clicked, this, [this](UpDownButton arrow) {
    guarded([this, arrow] { MoUpDownClick(MoUpDown, arrow); });
  });
  connect(ScaleUpDown, &UpDown::clicked, this, [this](UpDownButton arrow) {
    guarded([this, arrow] { ScaleUpDownClick(ScaleUpDown, arrow); });
  });
  connect(LevelUpDown, &UpDown::clicked, this, [this](UpDownButton arrow) {
    guarded([this, arrow] { LevelUpDownClick(LevelUpDown, arrow); });
  });

  connect(StructureCheckBox, &QCheckBox::toggled, this,
          [this](bool checked) { settings.showStructure = checked; });
  connect(ParametersButton, &QPushButton::clicked, this,
          [this] { guarded([this] { ParametersButtonClick(ParametersButton); }); });
  connect(InButton, &QPushButton::clicked, this,
          [this] { guarded([this] { InButtonClick(InButton); }); });
  connect(OutButton, &QPushButton::clicked, this,
          [this] { guarded([this] { OutButtonClick(OutButton); }); });
  connect(HOMOButton, &QToolButton::clicked, this,
          [this] { guarded([this] { HOMOButtonClick(HOMOButton); }); });
  connect(LUMOButton, &QToolButton::clicked, this,
          [this] { guarded([this] { HOMOButtonClick(LUMOButton); }); });
  connect(CalcButton, &QPushButton::clicked, this,
          [this] { guarded([this] { CalcButtonClick(CalcButton); }); });
}

void TForm1::FormCreate() { ParametersDialog.fileName = defaultParameterFile(); }

void TForm1::MoEditChange(QObject*) {
  const int16_t value = textToInteger16(textOf(MoEdit));
  if (value == 0) return;
  settings.moNumber = value;
  MoUpDown->setPosition(value);
}

void TForm1::MoEditExit(QObject*) { setText(MoEdit, formatInteger(settings.moNumber)); }

void TForm1::MoUpDownClick(QObject*, UpDownButton) {
  settings.moNumber = MoUpDown->position();
  setText(MoEdit, formatInteger(settings.moNumber));
}

void TForm1::ScaleUpDownClick(QObject*, UpDownButton) {
  settings.scale = ScaleUpDown->position();
  setCaption(ScaleLabel, formatInteger(settings.scale));
}

void TForm1::LevelUpDownClick(QObject*, UpDownButton) {
  settings.accuracy = LevelUpDown->position();
  setCaption(LevelLabel, formatInteger(settings.accuracy));
}

void TForm1::ThreshEditChange(QObject*) { takeTypedNumber(ThreshEdit, settings.threshold); }

void TForm1::ThreshEditExit(QObject*) { setText(ThreshEdit, formatGeneral(settings.threshold)); }

void TForm1::CutoffEditChange(QObject*) { takeTypedNumber(CutoffEdit, settings.cutoff); }

void TForm1::CutoffEditExit(QObject*) { setText(CutoffEdit, formatGeneral(settings.cutoff)); }

void TForm1::BondEditChange(QObject*) { takeTypedNumber(BondEdit, settings.bondLength); }

void TForm1::BondEditExit(QObject*) { setText(BondEdit, formatGeneral(settings.bondLength)); }

// The chosen files are only remembered; the commands read them when they run.
void TForm1::ParametersButtonClick(QObject*) { m_dialogs.execute(ParametersDialog); }

void TForm1::InButtonClick(QObject*) { m_dialogs.execute(InputDialog); }

// Whether the user confirms or cancels, the output is derived from the dialog's name and
// selected filter as they now stand.
void TForm1::OutButtonClick(QObject*) {
  m_dialogs.execute(OutputDialog);
  OutputChoice choice = chooseOutput(OutputDialog.fileName, OutputDialog.filterIndex);
  OutputDialog.fileName = std::move(choice.dialogFileName);
  settings.outputPath = std::move(choice.outputPath);
  settings.outputKind = choice.outputKind;
}

void TForm1::HOMOButtonClick(QObject* Sender) {
  if (InputDialog.fileName.empty()) {
    m_dialogs.show(kErrorCaption, kNoInputFileMessage);
    return;
  }
  const FrontierOrbital which =
      Sender == LUMOButton ? FrontierOrbital::lumo : FrontierOrbital::homo;
  const std::optional<int32_t> mo = locateFrontierOrbital(InputDialog.fileName, which);
  if (!mo || *mo > kGreatestMoNumber) {
    m_dialogs.show(kErrorCaption, cannotFindFrontierMessage(InputDialog.fileName, mo));
    return;
  }
  settings.moNumber = *mo;
  setText(MoEdit, formatInteger(settings.moNumber));
}

void TForm1::CalcButtonClick(QObject*) {
  if (OutputDialog.fileName.empty()) {
    m_dialogs.show(kErrorCaption, kNoOutputFileMessage);
    return;
  }
  if (InputDialog.fileName.empty()) {
    m_dialogs.show(kErrorCaption, kNoInputFileMessage);
    return;
  }
  ConversionOutcome outcome;
  {
    const RunningState running(CalcButton, ProgressBar);
    ConversionRequest request;
    request.parameterFile = ParametersDialog.fileName;
    request.inputFile = InputDialog.fileName;
    request.settings = settings;
    outcome = runConversion(request, m_dialogs, [this](int percent) { showProgress(percent); });
  }
  if (!outcome.succeeded()) m_dialogs.show(kErrorCaption, outcome.message);
}

// The run holds the only thread and takes no input, so the bar is painted at once rather than
// when the event loop next runs.
void TForm1::showProgress(int percent) {
  ProgressBar->setValue(percent);
  ProgressBar->repaint();
}

}  // namespace lobewright
