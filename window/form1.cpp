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
#include "app/parameter_notice.h"
#include "app/settings_text.h"
#include "window/control_placement.h"
#include "window/edit.h"
#include "window/form_font.h"
#include "window/frontier_lookup.h"
#include "window/level_diagram_view.h"
#include "window/orbital_table.h"
#include "window/preview_widget.h"
#include "window/status_line.h"

namespace lobewright {
namespace {

constexpr const char* kNoOutputFileMessage =
    "No output file selected: choose one with the Out file... button.";
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
// left corner; the orbitals choice and the explorer's controls come below them, the MO list, the
// level diagram and the preview to their right, Save and the picture settings under those.
// The smallest window fits a 1600 by 900 screen at twice the normal scale; the window starts
// larger where the screen has room, and the preview takes what it grows by.
constexpr int kLeastClientWidth = 800;
constexpr int kLeastClientHeight = 448;
constexpr int kFirstClientWidth = 1100;
constexpr int kFirstClientHeight = 660;
constexpr int kPanelWidth = 243;
constexpr int kChoiceTop = 277;
constexpr int kFormLeft = 193;
constexpr int kFormTop = 134;
// The window was laid out for an 11-pixel font, its speed buttons for a 9-pixel one.
constexpr int kFormPixelSize = 11;
constexpr int kSpeedButtonPixelSize = 9;
constexpr int kSmallestPixelSize = 7;

// The first size: as large as kFirstClient... where the screen has room, never below the least.
QSize startingSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {kLeastClientWidth, kLeastClientHeight};
  const QRect room = screen->availableGeometry();
  return {std::clamp(room.width() - kFormLeft, kLeastClientWidth, kFirstClientWidth),
          std::clamp(room.height() - kFormTop - 40, kLeastClientHeight, kFirstClientHeight)};
}

// The window's place of old, unless the screen is too small for it there (at a large scale): then
// as near it as the screen allows.
QPoint startingPlace(int width, int height) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {kFormLeft, kFormTop};
  const QRect room = screen->availableGeometry();
  return {std::max(room.left(), std::min(kFormLeft, room.right() + 1 - width)),
          std::max(room.top(), std::min(kFormTop, room.bottom() + 1 - height))};
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

UpDown* upDown(QWidget* form, const char* name, int top, int maximum, int position) {
  auto* spinner = place(new UpDown(form), name, 136, top, 19, 17);
  spinner->setRange(1, maximum);
  spinner->setPosition(position);
  return spinner;
}

// A typed number replaces the setting unless it comes to 0, which stands for "no number"; true
// when it does.
bool takeTypedNumber(const Edit* control, float& setting) {
  const float value = textToFloat(control->utf8Text());
  if (value == 0.0f) return false;
  setting = value;
  return true;
}

// The working directory whole, then the default parameter file's name; the bare name when the
// directory cannot be read (it may have been removed).
std::string defaultParameterFile() {
  std::error_code error;
  const std::filesystem::path directory = std::filesystem::current_path(error);
  if (error) return "pm3r.txt";
  return directory.string() + "/pm3r.txt";
}

// Where the MO arrows reach before an input is listed.
constexpr int kNoInputMoArrowsReach = 200;

// "MO 99999 is not in caffeine.aux, which holds MOs 1 to 66.", or beyond the classic model's
// numbers before an input is listed.
std::string moOutOfRangeMessage(int32_t mo, const std::string& inputFile, int lowest, int highest,
                                bool listed) {
  const std::string name = std::filesystem::path(inputFile).filename().string();
  if (!listed) {
    return "MO " + std::to_string(mo) + " cannot be drawn: MO numbers run from 1 to " +
           std::to_string(highest) + ".";
  }
  return "MO " + std::to_string(mo) + " is not in " + name + ", which holds MOs " +
         std::to_string(lowest) + " to " + std::to_string(highest) + ".";
}

// Passes a run's messages on, but for the warning about the built-in parameters when the window
// has told it already.
class WithoutParametersWarning : public MessageSink {
 public:
  WithoutParametersWarning(MessageSink& next, bool told) : m_next(next), m_told(told) {}
  void show(const std::string& caption, const std::string& text) override {
    if (m_told && text == kDefaultParametersMessage) return;
    m_next.show(caption, text);
  }

 private:
  MessageSink& m_next;
  bool m_told;
};

}  // namespace

TForm1::TForm1(DialogPresenter& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint),
      m_dialogs(dialogs),
      m_preview(dialogs),
      m_run(dialogs) {
  setObjectName("Form1");
  setWindowTitle(kApplicationTitle);
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);
  chooseFormFont();
  createControls();
  chainTabOrder();
  setMinimumSize(kLeastClientWidth, kLeastClientHeight);
  const QSize size = startingSize();
  resize(size);
  move(startingPlace(size.width(), size.height()));

  ParametersDialog = {"ParametersDialog", FileDialogKind::open, "pm3r.txt", "Text (*.txt)|*.txt"};
  OutputDialog = {"OutputDialog", FileDialogKind::save, "out", outputFilterList()};
  InputDialog = {"InputDialog", FileDialogKind::open, "", joinFilterList(kInputFilters)};
  SaveDialog = {"SaveDialog", FileDialogKind::save, "surface", outputFilterList(), 4};
  AnionDialog = {"AnionDialog", FileDialogKind::open, "", joinFilterList(kInputFilters), 3};
  CationDialog = {"CationDialog", FileDialogKind::open, "", joinFilterList(kInputFilters), 3};

  connectHandlers();
  connectExplorerHandlers();
  FormCreate();
}

void TForm1::createControls() {
  // The classic controls keep their places on a panel in the top left corner.
  auto* panel = new QWidget(this);
  panel->setObjectName("ControlsPanel");
  panel->setFixedWidth(kPanelWidth);
  panel->setMinimumHeight(kLeastClientHeight);
  Label1 = label(panel, "Label1", 8, 8, "MO number");
  Label2 = label(panel, "Label2", 8, 32, "Scale:");
  Label3 = label(panel, "Label3", 8, 56, "Threshold");
  Label4 = label(panel, "Label4", 8, 80, "Accuracy:");
  Label5 = label(panel, "Label5", 8, 128, "Bond Length");
  HOMOButton = speedButton(panel, "HOMOButton", 160, "HOMO");
  LUMOButton = speedButton(panel, "LUMOButton", 200, "LUMO");
  LevelLabel = label(panel, "LevelLabel", 88, 80, "3");
  Label7 = label(panel, "Label7", 8, 104, "Cutoff");
  StructureCheckBox =
      place(new QCheckBox("Show structure", panel), "StructureCheckBox", 8, 160, 97, 17);
  StructureCheckBox->setChecked(true);
  ParametersButton = button(panel, "ParametersButton", 40, "Parameters...");
  InButton = button(panel, "InButton", 72, "In file...");
  OutButton = button(panel, "OutButton", 104, "Out file...");
  CalcButton = button(panel, "CalcButton", 136, "Calculate");
  CancelButton = button(panel, "CancelButton", 240, "Cancel");
  CancelButton->setEnabled(false);
  ProgressBar = place(new QProgressBar(panel), "ProgressBar", 8, 184, 225, 17);
  ProgressBar->setRange(0, 100);
  ProgressBar->setValue(0);
  ProgressBar->setTextVisible(false);
  StatusLabel = place(new QLabel(panel), "StatusLabel", 8, 208, 229, 28);
  StatusLabel->setWordWrap(true);
  StatusLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  MoEdit = edit(panel, "MoEdit", 8, "1");
  MoUpDown = upDown(panel, "MoUpDown", 8, 200, 1);
  ScaleUpDown = upDown(panel, "ScaleUpDown", 32, 100, 4);
  LevelUpDown = upDown(panel, "LevelUpDown", 80, 100, 3);
  ThreshEdit = edit(panel, "ThreshEdit", 56, "0.05");
  ScaleEdit = edit(panel, "ScaleEdit", 32, "4");
  CutoffEdit = edit(panel, "CutoffEdit", 104, "3.5");
  BondEdit = edit(panel, "BondEdit", 128, "1.6");
  OrbitalsLabel = label(panel, "OrbitalsLabel", 8, kChoiceTop + 4, "Orbitals");
  OrbitalsComboBox = place(new QComboBox(panel), "OrbitalsComboBox", 88, kChoiceTop, 67, 22);
  OrbitalsComboBox->addItems({"classic", "exact"});
  SpinComboBox = place(new QComboBox(panel), "SpinComboBox", 160, kChoiceTop, 75, 22);
  SpinComboBox->addItems({"alpha", "beta"});
  SpinComboBox->hide();
  // Out of the classic controls' tab chain; a click gives them the keys.
  OrbitalsComboBox->setFocusPolicy(Qt::ClickFocus);
  SpinComboBox->setFocusPolicy(Qt::ClickFocus);
  createExplorerControls(panel);
  OrbitalList = new OrbitalTable(this);
  OrbitalList->setObjectName("OrbitalList");
  DiagramView = new LevelDiagramView(this);
  DiagramView->setObjectName("DiagramView");
  Preview = new PreviewWidget(this);
  Preview->setObjectName("Preview");
  const int speedButtonRoom = 33 - 4;
  HOMOButton->setFont(fittingFont(font(), kSpeedButtonPixelSize, kSmallestPixelSize,
                                  {{"HOMO", speedButtonRoom}, {"LUMO", speedButtonRoom}}));
  LUMOButton->setFont(HOMOButton->font());
  m_inputControls = {
      MoEdit,           MoUpDown,         ScaleEdit,    ScaleUpDown,       LevelUpDown,
      ThreshEdit,       CutoffEdit,       BondEdit,     StructureCheckBox, HOMOButton,
      LUMOButton,       ParametersButton, InButton,     OutButton,         CalcButton,
      OrbitalsComboBox, SpinComboBox,     OrbitalList,  DiagramView,       FieldComboBox,
      EncloseCheckBox,  ShareEdit,        IsoSlider,    SaveButton,        PictureSizeEdit,
      TransparencyEdit, ColoursEdit,      FrameCheckBox};
  layOut(panel);
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
  QWidget* const order[] = {StructureCheckBox, ParametersButton, InButton,      OutButton,
                            CalcButton,        MoEdit,           MoUpDown,      ScaleEdit,
                            ScaleUpDown,       LevelUpDown,      ThreshEdit,    CutoffEdit,
                            BondEdit,          CancelButton,     FieldComboBox, EncloseCheckBox,
                            ShareEdit,         IsoSlider,        SaveButton,    PictureSizeEdit,
                            TransparencyEdit,  ColoursEdit,      FrameCheckBox};
  for (std::size_t i = 1; i < std::size(order); ++i) {
    QWidget::setTabOrder(order[i - 1], order[i]);
  }
  StructureCheckBox->setFocus();
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

  connect(StructureCheckBox, &QCheckBox::toggled, this, [this](bool checked) {
    settings.showStructure = checked;
    Preview->setStructureShown(checked);
  });
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

// An MO the input does not hold is refused with a sign on the field and the reason under the
// preview, the MO chosen before kept; so is anything beyond the classic model's numbers.
void TForm1::MoEditChange(QObject*) {
  const std::optional<int32_t> value = textToInteger(MoEdit->utf8Text());
  if (!value) return;
  const int highest = m_highestMo > 0 ? m_highestMo : kGreatestMoNumber;
  if (*value < m_lowestMo || *value > highest) {
    markField(MoEdit, moOutOfRangeMessage(*value, InputDialog.fileName, m_lowestMo, highest,
                                          m_highestMo > 0));
    return;
  }
  markField(MoEdit, {});
  settings.moNumber = *value;
  MoUpDown->setPosition(*value);
  OrbitalList->showOrbital(*value, settings.spin);
  DiagramView->showOrbital(*value, settings.spin);
  showMoField();
}

void TForm1::MoEditExit(QObject*) {
  MoEdit->setUtf8Text(formatInteger(settings.moNumber));
  markField(MoEdit, {});
}

void TForm1::MoUpDownClick(QObject*, UpDownButton) {
  settings.moNumber = MoUpDown->position();
  MoEdit->setUtf8Text(formatInteger(settings.moNumber));
}

void TForm1::ScaleUpDownClick(QObject*, UpDownButton) {
  settings.scale = ScaleUpDown->position();
  ScaleEdit->setUtf8Text(formatInteger(settings.scale));
}

void TForm1::LevelUpDownClick(QObject*, UpDownButton) {
  settings.accuracy = LevelUpDown->position();
  setCaption(LevelLabel, formatInteger(settings.accuracy));
}

void TForm1::ThreshEditChange(QObject*) {
  if (!takeTypedNumber(ThreshEdit, settings.threshold)) return;
  if (!EncloseCheckBox->isChecked()) placeSlider();
  scheduleExplore();
}

void TForm1::ThreshEditExit(QObject*) {
  ThreshEdit->setUtf8Text(formatGeneral(settings.threshold));
}

void TForm1::CutoffEditChange(QObject*) {
  if (takeTypedNumber(CutoffEdit, settings.cutoff)) scheduleExplore();
}

void TForm1::CutoffEditExit(QObject*) { CutoffEdit->setUtf8Text(formatGeneral(settings.cutoff)); }

void TForm1::BondEditChange(QObject*) { takeTypedNumber(BondEdit, settings.bondLength); }

void TForm1::BondEditExit(QObject*) { BondEdit->setUtf8Text(formatGeneral(settings.bondLength)); }

// The chosen files are only remembered; the commands read them when they run.
void TForm1::ParametersButtonClick(QObject*) { m_dialogs.execute(ParametersDialog); }

void TForm1::InButtonClick(QObject*) {
  if (m_dialogs.execute(InputDialog)) takeInputFile();
}

void TForm1::openInput(const std::string& fileName) {
  InputDialog.fileName = fileName;
  guarded([this] { takeInputFile(); });
}

// A new input starts at its HOMO (its first MO when it has none) with an empty preview, which
// then shows that MO; an input that cannot be listed is said so at once.
void TForm1::takeInputFile() {
  const ConversionRequest request = inputRequest();
  const OrbitalListing listing = listOrbitals(request);
  OrbitalList->setRows(listing);
  DiagramView->setRows(listing.rows);
  m_rows = listing.rows;
  settings.model = OrbitalModel::automatic;
  const InputKind kind = detectFileKind(request.inputFile).value_or(InputKind::notMopac);
  OrbitalsComboBox->setCurrentIndex(modelFor(kind, OrbitalModel::automatic) == OrbitalModel::classic
                                        ? kClassicEntry
                                        : kExactEntry);
  settings.spin = Spin::alpha;
  SpinComboBox->setCurrentIndex(kAlphaEntry);
  SpinComboBox->setVisible(OrbitalList->hasBetaRows());
  m_preview.cancel();
  m_shown.reset();
  Preview->clear();
  m_newInput = true;
  takeMoRange();
  if (!listing.error.empty()) {
    PreviewStatusLabel->setText(QString::fromStdString(listing.error));
    // A file the classic model can still draw has its say when it is drawn.
    const std::optional<InputKind> readable = detectFileKind(request.inputFile);
    if (!readable || *readable == InputKind::notMopac || *readable == InputKind::archive ||
        *readable == InputKind::inputDeck) {
      m_dialogs.show(kErrorCaption, listing.error);
      return;
    }
  }
  const auto homo = std::find_if(m_rows.begin(), m_rows.end(),
                                 [](const OrbitalRow& row) { return row.frontier == "HOMO"; });
  if (homo != m_rows.end() || !m_rows.empty()) {
    settings.moNumber = homo != m_rows.end() ? homo->number : m_rows.front().number;
  }
  MoEdit->setUtf8Text(formatInteger(settings.moNumber));
  markField(MoEdit, {});
  MoUpDown->setPosition(settings.moNumber);
  OrbitalList->showOrbital(settings.moNumber, settings.spin);
  DiagramView->showOrbital(settings.moNumber, settings.spin);
  scheduleExplore();
}

void TForm1::takeMoRange() {
  m_lowestMo = 1;
  m_highestMo = 0;
  bool any = false;
  for (const OrbitalRow& row : m_rows) {
    if (row.spin == Spin::beta && settings.spin != Spin::beta) continue;
    if (row.spin == Spin::alpha && settings.spin == Spin::beta) continue;
    m_lowestMo = any ? std::min(m_lowestMo, row.number) : row.number;
    m_highestMo = any ? std::max(m_highestMo, row.number) : row.number;
    any = true;
  }
  MoUpDown->setRange(m_lowestMo, any ? m_highestMo : kNoInputMoArrowsReach);
}

void TForm1::OrbitalsComboBoxChange(QObject*) {
  settings.model = OrbitalsComboBox->currentIndex() == kClassicEntry ? OrbitalModel::classic
                                                                     : OrbitalModel::exact;
  scheduleExplore();
}

void TForm1::SpinComboBoxChange(QObject*) {
  settings.spin = SpinComboBox->currentIndex() == kBetaEntry ? Spin::beta : Spin::alpha;
  takeMoRange();
  OrbitalList->showOrbital(settings.moNumber, settings.spin);
  DiagramView->showOrbital(settings.moNumber, settings.spin);
  showMoField();
}

void TForm1::OrbitalListPick(const OrbitalRow& row) {
  if (row.spin != Spin::none) {
    settings.spin = row.spin;
    SpinComboBox->setCurrentIndex(row.spin == Spin::beta ? kBetaEntry : kAlphaEntry);
    takeMoRange();
  }
  settings.moNumber = row.number;
  MoEdit->setUtf8Text(formatInteger(row.number));
  markField(MoEdit, {});
  MoUpDown->setPosition(row.number);
  OrbitalList->showOrbital(row.number, settings.spin);
  DiagramView->showOrbital(row.number, settings.spin);
  showMoField();
}

// Whether the user confirms or cancels, the output is derived from the dialog's name and
// selected filter as they now stand; a file the user did not name is replaced only when the user
// agrees.
void TForm1::OutButtonClick(QObject*) {
  const bool confirmed = m_dialogs.execute(OutputDialog);
  OutputChoice choice = chooseOutput(OutputDialog.fileName, OutputDialog.filterIndex);
  if (confirmed && !mayReplace(choice.outputPath, !choice.extended)) return;
  OutputDialog.fileName = std::move(choice.dialogFileName);
  OutputDialog.filterIndex = choice.filterIndex;
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
  ConversionRequest request = inputRequest();
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
          // Taken as if typed: an MO the file does not hold is refused with a sign.
          MoEdit->setUtf8Text(formatInteger(*found.mo));
          MoEditChange(MoEdit);
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
  ConversionRequest request = inputRequest();
  request.keepScene = true;
  // Told before the run starts, so that the run neither waits for it nor counts its time.
  const std::optional<std::string> notice = builtInParametersNotice(request);
  if (notice) m_dialogs.show(kWarningCaption, *notice);
  enterRunning();
  showStatus(kCalculatingStatus);
  m_run.start(
      [this, request, told = notice.has_value()](
          std::stop_token stop, BackgroundRun::Channel& channel) mutable -> BackgroundRun::Finish {
        request.stop = std::move(stop);
        WithoutParametersWarning messages(channel, told);
        const auto started = std::chrono::steady_clock::now();
        const ConversionOutcome outcome =
            runConversion(request, messages, [this, &channel](int percent) {
              channel.post([this, percent] { showProgress(percent); });
            });
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - started;
        return [this, outcome, path = request.settings.outputPath,
                structure = request.settings.showStructure, seconds] {
          // The preview keeps the surface picked, which Save writes, when there is one.
          if (outcome.scene && !m_shown) Preview->setScene(outcome.scene, structure);
          reportRun(outcome, path, seconds.count());
        };
      },
      [this](const BackgroundRun::Finish& finish) { endRun(finish); });
}

void TForm1::reportRun(const ConversionOutcome& outcome, const std::string& path, double seconds) {
  showStatus(conversionSummary(outcome, path, seconds));
  if (!outcome.succeeded() && outcome.status != ConversionStatus::cancelled) {
    m_dialogs.show(kErrorCaption, outcome.message);
  }
}

void TForm1::endRun(const BackgroundRun::Finish& finish) {
  leaveRunning();
  showStatus(kFailedStatus);
  guarded(finish);
}

void TForm1::CancelButtonClick(QObject*) {
  if (!m_run.busy() || m_run.stopRequested()) return;
  m_run.requestStop();
  CancelButton->setEnabled(false);
  if (StatusLabel->text() == kCalculatingStatus) showStatus(kCancellingStatus);
}

void TForm1::closeEvent(QCloseEvent* event) {
  guarded([this] {
    // Both are asked to stop before either is waited for.
    m_preview.cancel();
    m_run.requestStop();
    m_preview.stopAndFinish();
    m_run.stopAndFinish();
  });
  event->accept();
}

ConversionRequest TForm1::inputRequest() const {
  ConversionRequest request;
  request.parameterFile = ParametersDialog.fileName;
  request.inputFile = InputDialog.fileName;
  request.settings = settings;
  return request;
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
