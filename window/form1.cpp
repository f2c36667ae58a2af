#include "window/form1.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <exception>
#include <filesystem>
#include <system_error>

#include "app/homo_lumo_locator.h"
#include "app/input_kind.h"
#include "app/orbital_list.h"
#include "app/output_choice.h"
#include "app/output_format.h"
#include "app/settings_text.h"
#include "window/edit.h"
#include "window/form_font.h"
#include "window/frontier_lookup.h"
#include "window/level_diagram_view.h"
#include "window/orbital_table.h"
#include "window/preview_widget.h"
#include "window/status_line.h"

namespace lobewright {
namespace {

constexpr const char* kNoOutputFileMessage = "No output file selected.";
constexpr const char* kNoInputFileMessage = "No input file selected.";
constexpr const char* kCalculatingStatus = "Calculating... Esc or Cancel stops the run.";
constexpr const char* kCancellingStatus = "Cancelling...";
// Shown when a run ends with an exception; the message box says what it was.
constexpr const char* kFailedStatus = "Failed.";

// The MOPAC files the input dialog offers, the first one selected at first.
const std::vector<FileFilter> kInputFilters = {
    {"MOPAC output (*.mno)", "*.mno"},
    {"MOPAC output (*.out)", "*.out"},
    {"MOPAC auxiliary file (*.aux)", "*.aux"},
    {"MOPAC graphics file (*.mgf)", "*.mgf"},
};

// Every format the converter writes, in its order: the selected filter's place picks the format.
std::string outputFilterList() {
  std::vector<FileFilter> filters;
  for (const OutputFormat& format : outputFormats()) {
    std::string pattern(1, '*');
    pattern.append(format.extension);
    std::string description(format.description);
    description.append(" (").append(pattern).append(")");
    filters.push_back({std::move(description), std::move(pattern)});
  }
  return joinFilterList(filters);
}

// The orbitals choice's entries, in this order.
constexpr int kClassicEntry = 0;
constexpr int kExactEntry = 1;
constexpr int kAlphaEntry = 0;
constexpr int kBetaEntry = 1;

// A HOMO or LUMO look-up that ends within this time is taken without greying the window.
constexpr std::chrono::milliseconds kQuickLookup{50};

// The status line and Cancel lie below the classic controls, which keep their places in the top
// left corner; the orbitals choice comes below them, the MO list, the level diagram and the
// preview to their right.
// The whole window fits a 1600 by 900 screen at twice the normal scale.
constexpr int kClientWidth = 800;
constexpr int kClientHeight = 448;
constexpr int kListLeft = 243;
constexpr int kListWidth = 212;
constexpr int kDiagramLeft = kListLeft + kListWidth + 4;
constexpr int kDiagramWidth = 128;
constexpr int kPreviewLeft = kDiagramLeft + kDiagramWidth + 8;
constexpr int kChoiceTop = 277;
constexpr int kFormLeft = 193;
constexpr int kFormTop = 134;
// The window was laid out for an 11-pixel font, its speed buttons for a 9-pixel one.
constexpr int kFormPixelSize = 11;
constexpr int kSpeedButtonPixelSize = 9;
constexpr int kSmallestPixelSize = 7;

// The window's place of old, unless the screen is too small for it there (at a large scale): then
// as near it as the screen allows.
QPoint startingPlace(int width, int height) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {kFormLeft, kFormTop};
  const QRect room = screen->availableGeometry();
  return {std::max(room.left(), std::min(kFormLeft, room.right() + 1 - width)),
          std::max(room.top(), std::min(kFormTop, room.bottom() + 1 - height))};
}

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

// The edits reach to just before the spinners' column, room enough for any MO number with its
// sign.
constexpr int kEditWidth = 46;

Edit* edit(QWidget* form, const char* name, int top, const char* text) {
  return place(new Edit(text, form), name, 88, top, kEditWidth, 21);
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

}  // namespace

TForm1::TForm1(DialogPresenter& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_dialogs(dialogs),
      m_run(dialogs) {
  setObjectName("Form1");
  setWindowTitle(kApplicationTitle);
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);
  chooseFormFont();
  createControls();
  chainTabOrder();
  setFixedSize(kClientWidth, kClientHeight);
  move(startingPlace(kClientWidth, kClientHeight));

  ParametersDialog = {"ParametersDialog", FileDialogKind::open, "pm3r.txt", "Text (*.txt)|*.txt"};
  OutputDialog = {"OutputDialog", FileDialogKind::save, "out", outputFilterList()};
  InputDialog = {"InputDialog", FileDialogKind::open, "", joinFilterList(kInputFilters)};

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
  CancelButton = button(this, "CancelButton", 240, "Cancel");
  CancelButton->setEnabled(false);
  ProgressBar = place(new QProgressBar(this), "ProgressBar", 8, 184, 225, 17);
  ProgressBar->setRange(0, 100);
  ProgressBar->setValue(0);
  ProgressBar->setTextVisible(false);
  StatusLabel = place(new QLabel(this), "StatusLabel", 8, 208, 229, 28);
  StatusLabel->setWordWrap(true);
  StatusLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  MoEdit = edit(this, "MoEdit", 8, "1");
  MoUpDown = upDown(this, "MoUpDown", 8, 200, 1);
  ScaleUpDown = upDown(this, "ScaleUpDown", 32, 100, 4);
  LevelUpDown = upDown(this, "LevelUpDown", 80, 100, 3);
  ThreshEdit = edit(this, "ThreshEdit", 56, "0.05");
  CutoffEdit = edit(this, "CutoffEdit", 104, "3.5");
  BondEdit = edit(this, "BondEdit", 128, "1.6");
  OrbitalsLabel = label(this, "OrbitalsLabel", 8, kChoiceTop + 4, "Orbitals");
  OrbitalsComboBox = place(new QComboBox(this), "OrbitalsComboBox", 88, kChoiceTop, 67, 22);
  OrbitalsComboBox->addItems({"classic", "exact"});
  SpinComboBox = place(new QComboBox(this), "SpinComboBox", 160, kChoiceTop, 75, 22);
  SpinComboBox->addItems({"alpha", "beta"});
  SpinComboBox->hide();
  // Out of the classic controls' tab chain; a click gives them the keys.
  OrbitalsComboBox->setFocusPolicy(Qt::ClickFocus);
  SpinComboBox->setFocusPolicy(Qt::ClickFocus);
  OrbitalList =
      place(new OrbitalTable(this), "OrbitalList", kListLeft, 8, kListWidth, kClientHeight - 16);
  DiagramView = place(new LevelDiagramView(this), "DiagramView", kDiagramLeft, 8, kDiagramWidth,
                      kClientHeight - 16);
  Preview = place(new PreviewWidget(this), "Preview", kPreviewLeft, 8,
                  kClientWidth - kPreviewLeft - 8, kClientHeight - 16);
  const int speedButtonRoom = 33 - 4;
  HOMOButton->setFont(fittingFont(font(), kSpeedButtonPixelSize, kSmallestPixelSize,
                                  {{"HOMO", speedButtonRoom}, {"LUMO", speedButtonRoom}}));
  LUMOButton->setFont(HOMOButton->font());
  m_inputControls = {
      MoEdit,    MoUpDown,          ScaleUpDown,      LevelUpDown,  ThreshEdit,       CutoffEdit,
      BondEdit,  StructureCheckBox, HOMOButton,       LUMOButton,   ParametersButton, InButton,
      OutButton, CalcButton,        OrbitalsComboBox, SpinComboBox, OrbitalList,      DiagramView};
}

void TForm1::chooseFormFont() {
  const QStyle* style = QApplication::style();
  const int checkBoxTextRoom = 97 - style->pixelMetric(QStyle::PM_IndicatorWidth) -
                               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing) - 2;
  // Labels end before the edits at 88; buttons keep a few pixels of margin on each side; an
  // edit's text lies within a frame and a margin of 2 pixels on each side.
  const int labelRoom = 88 - 8 - 4;
  const int buttonRoom = 75 - 10;
  const int editRoom = kEditWidth - 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth) - 4 - 2;
  setFont(fittingFont(QApplication::font(), kFormPixelSize, kSmallestPixelSize,
                      {{"MO number", labelRoom},
                       {"Threshold", labelRoom},
                       {"Accuracy:", labelRoom},
                       {"Bond Length", labelRoom},
                       {"Orbitals", labelRoom},
                       {"Show structure", checkBoxTextRoom},
                       {"Parameters...", buttonRoom},
                       {"Out file...", buttonRoom},
                       {"Calculate", buttonRoom},
                       {"Cancel", buttonRoom},
                       {"-32768", editRoom}}));
}

void TForm1::chainTabOrder() {
  QWidget* const order[] = {StructureCheckBox, ParametersButton, InButton,   OutButton,
                            CalcButton,        MoEdit,           MoUpDown,   ScaleUpDown,
                            LevelUpDown,       ThreshEdit,       CutoffEdit, BondEdit,
                            CancelButton};
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
  connect(CancelButton, &QPushButton::clicked, this,
          [this] { guarded([this] { CancelButtonClick(CancelButton); }); });
  connect(OrbitalsComboBox, &QComboBox::activated, this,
          [this] { guarded([this] { OrbitalsComboBoxChange(OrbitalsComboBox); }); });
  connect(SpinComboBox, &QComboBox::activated, this,
          [this] { guarded([this] { SpinComboBoxChange(SpinComboBox); }); });
  connect(OrbitalList, &OrbitalTable::picked, this,
          [this](const OrbitalRow& row) { guarded([this, &row] { OrbitalListPick(row); }); });
  connect(DiagramView, &LevelDiagramView::picked, this,
          [this](const OrbitalRow& row) { guarded([this, &row] { OrbitalListPick(row); }); });
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this,
          [this] { guarded([this] { CancelButtonClick(CancelButton); }); });
}

void TForm1::FormCreate() { ParametersDialog.fileName = defaultParameterFile(); }

void TForm1::MoEditChange(QObject*) {
  const int16_t value = textToInteger16(textOf(MoEdit));
  if (value == 0) return;
  settings.moNumber = value;
  MoUpDown->setPosition(value);
  OrbitalList->showOrbital(value, settings.spin);
  DiagramView->showOrbital(value, settings.spin);
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

void TForm1::InButtonClick(QObject*) {
  if (m_dialogs.execute(InputDialog)) takeInputFile();
}

// An input that cannot be read gives an empty list without a message: Calculate says why.
void TForm1::takeInputFile() {
  ConversionRequest request;
  request.parameterFile = ParametersDialog.fileName;
  request.inputFile = InputDialog.fileName;
  const OrbitalListing listing = listOrbitals(request);
  OrbitalList->setRows(listing);
  DiagramView->setRows(listing.rows);
  settings.model = OrbitalModel::automatic;
  const InputKind kind = detectFileKind(request.inputFile).value_or(InputKind::notMopac);
  OrbitalsComboBox->setCurrentIndex(modelFor(kind, OrbitalModel::automatic) == OrbitalModel::classic
                                        ? kClassicEntry
                                        : kExactEntry);
  settings.spin = Spin::alpha;
  SpinComboBox->setCurrentIndex(kAlphaEntry);
  SpinComboBox->setVisible(OrbitalList->hasBetaRows());
  OrbitalList->showOrbital(settings.moNumber, settings.spin);
  DiagramView->showOrbital(settings.moNumber, settings.spin);
}

void TForm1::OrbitalsComboBoxChange(QObject*) {
  settings.model = OrbitalsComboBox->currentIndex() == kClassicEntry ? OrbitalModel::classic
                                                                     : OrbitalModel::exact;
}

void TForm1::SpinComboBoxChange(QObject*) {
  settings.spin = SpinComboBox->currentIndex() == kBetaEntry ? Spin::beta : Spin::alpha;
  OrbitalList->showOrbital(settings.moNumber, settings.spin);
  DiagramView->showOrbital(settings.moNumber, settings.spin);
}

void TForm1::OrbitalListPick(const OrbitalRow& row) {
  if (row.spin != Spin::none) {
    settings.spin = row.spin;
    SpinComboBox->setCurrentIndex(row.spin == Spin::beta ? kBetaEntry : kAlphaEntry);
  }
  settings.moNumber = row.number;
  setText(MoEdit, formatInteger(row.number));
  OrbitalList->showOrbital(row.number, settings.spin);
  DiagramView->showOrbital(row.number, settings.spin);
}

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
  if (m_run.busy()) return;
  if (InputDialog.fileName.empty()) {
    m_dialogs.show(kErrorCaption, kNoInputFileMessage);
    return;
  }
  const FrontierOrbital which =
      Sender == LUMOButton ? FrontierOrbital::lumo : FrontierOrbital::homo;
  ConversionRequest request;
  request.parameterFile = ParametersDialog.fileName;
  request.inputFile = InputDialog.fileName;
  request.settings = settings;
  m_run.start(
      [this, request, which](std::stop_token stop,
                             BackgroundRun::Channel&) -> BackgroundRun::Finish {
        const FrontierLookup found = lookUpFrontier(request, which, stop);
        if (stop.stop_requested()) return nullptr;
        return [this, found] {
          if (!found.mo) {
            m_dialogs.show(kErrorCaption, found.error);
            return;
          }
          settings.moNumber = *found.mo;
          setText(MoEdit, formatInteger(settings.moNumber));
        };
      },
      [this](const BackgroundRun::Finish& finish) {
        leaveRunning();
        if (finish) guarded(finish);
      });
  if (!m_run.finishWithin(kQuickLookup)) enterRunning();
}

void TForm1::CalcButtonClick(QObject*) {
  if (m_run.busy()) return;
  if (OutputDialog.fileName.empty()) {
    m_dialogs.show(kErrorCaption, kNoOutputFileMessage);
    return;
  }
  if (InputDialog.fileName.empty()) {
    m_dialogs.show(kErrorCaption, kNoInputFileMessage);
    return;
  }
  ConversionRequest request;
  request.parameterFile = ParametersDialog.fileName;
  request.inputFile = InputDialog.fileName;
  request.settings = settings;
  request.keepScene = true;
  enterRunning();
  showStatus(kCalculatingStatus);
  m_run.start(
      [this, request](std::stop_token stop,
                      BackgroundRun::Channel& channel) mutable -> BackgroundRun::Finish {
        request.stop = std::move(stop);
        const auto started = std::chrono::steady_clock::now();
        const ConversionOutcome outcome =
            runConversion(request, channel, [this, &channel](int percent) {
              channel.post([this, percent] { showProgress(percent); });
            });
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - started;
        return [this, outcome, path = request.settings.outputPath,
                structure = request.settings.showStructure, seconds] {
          showStatus(conversionSummary(outcome, path, seconds.count()));
          if (outcome.scene) Preview->setScene(outcome.scene, structure);
          if (!outcome.succeeded() && outcome.status != ConversionStatus::cancelled) {
            m_dialogs.show(kErrorCaption, outcome.message);
          }
        };
      },
      [this](const BackgroundRun::Finish& finish) {
        leaveRunning();
        showStatus(kFailedStatus);
        guarded(finish);
      });
}

void TForm1::CancelButtonClick(QObject*) {
  if (!m_run.busy() || m_run.stopRequested()) return;
  m_run.requestStop();
  CancelButton->setEnabled(false);
  if (StatusLabel->text() == kCalculatingStatus) showStatus(kCancellingStatus);
}

void TForm1::closeEvent(QCloseEvent* event) {
  guarded([this] { m_run.stopAndFinish(); });
  event->accept();
}

void TForm1::enterRunning() {
  m_focusBeforeRun = focusWidget();
  CancelButton->setEnabled(true);
  CancelButton->setFocus(Qt::OtherFocusReason);
  for (QWidget* control : m_inputControls) control->setEnabled(false);
  m_running = true;
}

void TForm1::leaveRunning() {
  if (!m_running) return;
  m_running = false;
  showProgress(0);
  for (QWidget* control : m_inputControls) control->setEnabled(true);
  if (m_focusBeforeRun && m_focusBeforeRun != CancelButton) {
    m_focusBeforeRun->setFocus(Qt::OtherFocusReason);
  }
  CancelButton->setEnabled(false);
}

// Every value is painted as it arrives, so that the bar shows each layer's step even when
// several arrive between two frames.
void TForm1::showProgress(int percent) {
  ProgressBar->setValue(percent);
  ProgressBar->repaint();
}

void TForm1::showStatus(const std::string& text) {
  StatusLabel->setText(QString::fromStdString(text));
}

}  // namespace lobewright
