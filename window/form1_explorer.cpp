// The window's explorer: the preview of what is picked, the field, the isovalue slider and the
// enclosed share, and Save with its picture settings.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "app/messages.h"
#include "app/output_choice.h"
#include "app/picture_text.h"
#include "app/settings_text.h"
#include "app/written_scene.h"
#include "input/number_text.h"
#include "window/control_placement.h"
#include "window/form1.h"
#include "window/level_diagram_view.h"
#include "window/orbital_table.h"
#include "window/preview_widget.h"
#include "window/status_line.h"

namespace lobewright {
namespace {

// The fields the Field choice offers, in its order.
struct FieldEntry {
  const char* name;
  FieldKind kind;
  FukuiKind fukui;
  bool espColoured = false;  // the surface coloured by the electrostatic potential
};
constexpr FieldEntry kFieldEntries[] = {
    {"MO", FieldKind::mo, FukuiKind::none},
    {"total density", FieldKind::density, FukuiKind::none},
    {"alpha density", FieldKind::alpha, FukuiKind::none},
    {"beta density", FieldKind::beta, FukuiKind::none},
    {"spin density", FieldKind::spin, FukuiKind::none},
    {"electrostatic potential", FieldKind::esp, FukuiKind::none},
    {"ESP-coloured density", FieldKind::density, FukuiKind::none, true},
    {"Fukui f+", FieldKind::mo, FukuiKind::plus},
    {"Fukui f-", FieldKind::mo, FukuiKind::minus},
    {"Fukui f0", FieldKind::mo, FukuiKind::zero},
    {"dual descriptor", FieldKind::mo, FukuiKind::dual},
};

int entryOf(const ConversionSettings& settings) {
  const FieldSettings& field = settings.field;
  const bool espColoured = settings.colouring.source.has_value();
  for (std::size_t i = 0; i < std::size(kFieldEntries); ++i) {
    const FieldEntry& entry = kFieldEntries[i];
    if (entry.fukui == field.fukui && entry.espColoured == espColoured &&
        (entry.fukui != FukuiKind::none || entry.kind == field.kind)) {
      return static_cast<int>(i);
    }
  }
  return 0;
}

// The MO list and the level diagram keep their widths; the preview takes the rest.
constexpr int kListWidth = 212;
constexpr int kDiagramWidth = 128;

// The explorer's rows under the orbitals choice.
constexpr int kFieldTop = 305;
constexpr int kShareTop = 333;
constexpr int kSliderTop = 358;
constexpr int kPreviewStatusTop = 384;
constexpr int kPreviewStatusBottom = 444;

// The slider moves the threshold on a logarithmic scale from 1e-4 to 1, or the share in whole
// percent.
constexpr int kSliderStepsPerDecade = 100;
constexpr double kLeastSliderDecade = -4.0;
constexpr int kSliderSteps = 4 * kSliderStepsPerDecade;
constexpr int kLeastShare = 1;
constexpr int kGreatestShare = 99;
constexpr double kFirstSharePercent = 85.0;

int sliderPosition(float threshold) {
  if (!(threshold > 0.0f)) return 0;
  const double position = (std::log10(threshold) - kLeastSliderDecade) * kSliderStepsPerDecade;
  return static_cast<int>(std::lround(std::clamp(position, 0.0, double{kSliderSteps})));
}

// Rounded to two significant digits, so that the field shows 0.005 rather than 0.00501187.
float sliderThreshold(int position) {
  const double exact =
      std::pow(10.0, kLeastSliderDecade + static_cast<double>(position) / kSliderStepsPerDecade);
  const double unit = std::pow(10.0, std::floor(std::log10(exact)) - 1.0);
  return static_cast<float>(std::round(exact / unit) * unit);
}

// The preview draws on a grid no finer than a picture's finest: a finer one would keep it busy
// for seconds and take much memory for a surface the eye cannot tell apart.
constexpr int kFinestPreviewScale = 16;

constexpr const char* kNothingToSaveMessage =
    "Nothing to save yet: choose an input with In file... and pick an MO or a field; Save writes "
    "the surface the preview shows.";
constexpr const char* kSavingStatus = "Saving... Esc or Cancel stops it.";
constexpr const char* kDrawingStatus = "Drawing...";
constexpr const char* kDrawingProgressStatus = "Drawing... %1 %";
constexpr const char* kShareOutOfRangeMessage = "The share must lie between 0 and 100 %.";
constexpr const char* kPictureSizeMessage =
    "The picture's size is WIDTHxHEIGHT in pixels, each from 16 to 8192, such as 1280x960.";
constexpr const char* kTransparencyMessage = "The transparency is a number from 0 to 1.";
constexpr const char* kColoursMessage =
    "The colours are POSITIVE,NEGATIVE: names such as red or #rrggbb; empty for a pair no atom's "
    "colour is like.";

// Shown while a Save runs, and when one ends with an exception.
constexpr const char* kPreviewFailedStatus = "Failed.";

// What the preview's status line calls the surface: "MO 37", "MO 5 (beta)", "total density".
std::string surfaceName(const ConversionSettings& settings) {
  if (!settings.field.isMo()) return kFieldEntries[entryOf(settings)].name;
  std::string name = "MO " + std::to_string(settings.moNumber);
  if (settings.spin == Spin::beta) name += " (beta)";
  return name;
}

}  // namespace

void TForm1::createExplorerControls(QWidget* panel) {
  FieldLabel = label(panel, "FieldLabel", 8, kFieldTop + 4, "Field");
  FieldComboBox = place(new QComboBox(panel), "FieldComboBox", 88, kFieldTop, 147, 22);
  for (const FieldEntry& entry : kFieldEntries) FieldComboBox->addItem(entry.name);
  EncloseCheckBox =
      place(new QCheckBox("Enclose", panel), "EncloseCheckBox", 8, kShareTop + 2, 78, 17);
  EncloseCheckBox->setToolTip(
      "Draw the surface that encloses this share of psi^2 (of the electrons, for densities) "
      "rather than the surface at the threshold.");
  ShareEdit = edit(panel, "ShareEdit", kShareTop, "85");
  ShareEdit->setEnabled(false);
  ShareLabel = label(panel, "ShareLabel", 138, kShareTop + 3, "%");
  IsoSlider = place(new QSlider(Qt::Horizontal, panel), "IsoSlider", 8, kSliderTop, 227, 22);
  IsoSlider->setToolTip(
      "Moves the threshold, or the share when Enclose is on; the preview follows.");
  PreviewStatusLabel = place(new QLabel(panel), "PreviewStatusLabel", 8, kPreviewStatusTop, 229,
                             kPreviewStatusBottom - kPreviewStatusTop);
  PreviewStatusLabel->setWordWrap(true);
  PreviewStatusLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  PreviewStatusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_sharePercent = kFirstSharePercent;
  placeSlider();

  SaveButton = new QPushButton("Save...", this);
  SaveButton->setObjectName("SaveButton");
  SaveButton->setToolTip(
      "Writes the surface the preview shows; .png and framed .pov pictures "
      "look at it as the preview does.");
  SizeLabel = new QLabel("Size", this);
  SizeLabel->setObjectName("SizeLabel");
  PictureSizeEdit = new Edit("1280x960", this);
  PictureSizeEdit->setObjectName("PictureSizeEdit");
  TransparencyLabel = new QLabel("Transparency", this);
  TransparencyLabel->setObjectName("TransparencyLabel");
  TransparencyEdit = new Edit("0", this);
  TransparencyEdit->setObjectName("TransparencyEdit");
  ColoursLabel = new QLabel("Colours", this);
  ColoursLabel->setObjectName("ColoursLabel");
  ColoursEdit = new Edit("", this);
  ColoursEdit->setObjectName("ColoursEdit");
  ColoursEdit->setPlaceholderText("apart from atoms");
  FrameCheckBox = new QCheckBox("Framed .pov", this);
  FrameCheckBox->setObjectName("FrameCheckBox");
  FrameCheckBox->setToolTip(
      "A .pov scene made for a picture, with the preview's camera, rather "
      "than the classic scene.");
}

void TForm1::layOut(QWidget* panel) {
  OrbitalList->setFixedWidth(kListWidth);
  DiagramView->setFixedWidth(kDiagramWidth);
  Preview->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  auto* views = new QHBoxLayout;
  views->setSpacing(0);
  views->addWidget(OrbitalList);
  views->addSpacing(4);
  views->addWidget(DiagramView);
  views->addSpacing(8);
  views->addWidget(Preview, 1);

  const QFontMetrics metrics(font());
  PictureSizeEdit->setFixedWidth(metrics.horizontalAdvance("8192x8192") + 12);
  TransparencyEdit->setFixedWidth(metrics.horizontalAdvance("0.25") + 16);
  ColoursEdit->setMinimumWidth(metrics.horizontalAdvance("apart from atoms") + 12);
  auto* pictureRow = new QHBoxLayout;
  pictureRow->setSpacing(4);
  pictureRow->addWidget(SaveButton);
  pictureRow->addSpacing(8);
  for (QWidget* control : std::initializer_list<QWidget*>{
           SizeLabel, PictureSizeEdit, TransparencyLabel, TransparencyEdit, ColoursLabel,
           ColoursEdit, FrameCheckBox}) {
    pictureRow->addWidget(control);
  }
  pictureRow->setStretchFactor(ColoursEdit, 1);

  auto* right = new QVBoxLayout;
  right->setContentsMargins(0, 8, 8, 8);
  right->setSpacing(6);
  right->addLayout(views, 1);
  right->addLayout(pictureRow);

  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  outer->addWidget(panel, 0, Qt::AlignTop);
  outer->addLayout(right, 1);
}

void TForm1::connectExplorerHandlers() {
  connect(ScaleEdit, &Edit::textChanged, this,
          [this] { guarded([this] { ScaleEditChange(ScaleEdit); }); });
  connect(ScaleEdit, &Edit::exited, this,
          [this] { guarded([this] { ScaleEditExit(ScaleEdit); }); });
  connect(FieldComboBox, &QComboBox::activated, this,
          [this] { guarded([this] { FieldComboBoxChange(FieldComboBox); }); });
  connect(EncloseCheckBox, &QCheckBox::clicked, this,
          [this] { guarded([this] { EncloseCheckBoxClick(EncloseCheckBox); }); });
  connect(ShareEdit, &Edit::textChanged, this,
          [this] { guarded([this] { ShareEditChange(ShareEdit); }); });
  connect(ShareEdit, &Edit::exited, this,
          [this] { guarded([this] { ShareEditExit(ShareEdit); }); });
  connect(IsoSlider, &QSlider::valueChanged, this,
          [this] { guarded([this] { IsoSliderChange(IsoSlider); }); });
  connect(SaveButton, &QPushButton::clicked, this,
          [this] { guarded([this] { SaveButtonClick(SaveButton); }); });
  for (Edit* field : {PictureSizeEdit, TransparencyEdit, ColoursEdit}) {
    connect(field, &Edit::textChanged, this,
            [this, field] { guarded([this, field] { PictureEditChange(field); }); });
  }
  connect(FrameCheckBox, &QCheckBox::toggled, this,
          [this](bool checked) { settings.picture.frame = checked; });
}

void TForm1::markField(Edit* field, const std::string& reason) {
  QPalette palette = field->palette();
  palette.setColor(QPalette::Base, reason.empty()
                                       ? QApplication::palette(field).color(QPalette::Base)
                                       : QColor(255, 200, 200));
  field->setPalette(palette);
  field->setToolTip(QString::fromStdString(reason));
  field->setProperty("refused", !reason.empty());
  if (!reason.empty()) PreviewStatusLabel->setText(QString::fromStdString(reason));
}

void TForm1::ScaleEditChange(QObject*) {
  const std::optional<int32_t> value = textToInteger(ScaleEdit->utf8Text());
  if (!value) return;
  if (*value < ScaleUpDown->minimum() || *value > ScaleUpDown->maximum()) {
    markField(ScaleEdit, kScaleOutOfRangeMessage);
    return;
  }
  markField(ScaleEdit, {});
  settings.scale = *value;
  ScaleUpDown->setPosition(*value);
  scheduleExplore();
}

void TForm1::ScaleEditExit(QObject*) {
  ScaleEdit->setUtf8Text(formatInteger(settings.scale));
  markField(ScaleEdit, {});
}

void TForm1::showMoField() {
  if (!settings.field.isMo()) {
    settings.field = {};
    settings.colouring.source.reset();
    FieldComboBox->setCurrentIndex(entryOf(settings));
    setThresholdText(defaultThreshold(settings.field));
  }
  scheduleExplore();
}

// A Fukui function asks for the ion calculations it needs each time it is chosen, starting at
// the files chosen before; a cancel keeps the field drawn before.
void TForm1::FieldComboBoxChange(QObject*) {
  const FieldEntry& entry = kFieldEntries[FieldComboBox->currentIndex()];
  FieldSettings field{entry.kind, {}, entry.fukui, {}, {}};
  const bool needsAnion = entry.fukui != FukuiKind::none && entry.fukui != FukuiKind::minus;
  const bool needsCation = entry.fukui != FukuiKind::none && entry.fukui != FukuiKind::plus;
  if ((needsAnion && !m_dialogs.execute(AnionDialog)) ||
      (needsCation && !m_dialogs.execute(CationDialog))) {
    FieldComboBox->setCurrentIndex(entryOf(settings));
    return;
  }
  if (needsAnion) field.anionFile = AnionDialog.fileName;
  if (needsCation) field.cationFile = CationDialog.fileName;
  settings.field = std::move(field);
  settings.colouring.source.reset();
  if (entry.espColoured) settings.colouring.source = ColouringSettings::Source{FieldKind::esp};
  setThresholdText(defaultThreshold(settings.field));
  scheduleExplore();
}

void TForm1::EncloseCheckBoxClick(QObject*) {
  const bool enclose = EncloseCheckBox->isChecked();
  ShareEdit->setEnabled(enclose);
  if (enclose) {
    settings.enclosedFraction = m_sharePercent / 100.0;
  } else {
    settings.enclosedFraction.reset();
  }
  placeSlider();
  scheduleExplore();
}

void TForm1::ShareEditChange(QObject*) {
  const std::optional<double> percent = parseDouble(ShareEdit->utf8Text());
  if (!percent) return;
  if (!(*percent > 0.0 && *percent < 100.0)) {
    markField(ShareEdit, kShareOutOfRangeMessage);
    return;
  }
  markField(ShareEdit, {});
  m_sharePercent = *percent;
  if (!EncloseCheckBox->isChecked()) return;
  settings.enclosedFraction = m_sharePercent / 100.0;
  placeSlider();
  scheduleExplore();
}

void TForm1::ShareEditExit(QObject*) {
  ShareEdit->setUtf8Text(formatGeneral(static_cast<float>(m_sharePercent)));
  markField(ShareEdit, {});
}

void TForm1::IsoSliderChange(QObject*) {
  if (EncloseCheckBox->isChecked()) {
    ShareEdit->setUtf8Text(formatInteger(IsoSlider->value()));
  } else {
    setThresholdText(sliderThreshold(IsoSlider->value()));
  }
}

void TForm1::setThresholdText(float threshold) {
  settings.threshold = threshold;
  {
    const QSignalBlocker quiet(ThreshEdit);
    ThreshEdit->setUtf8Text(formatGeneral(threshold));
  }
  if (!EncloseCheckBox->isChecked()) placeSlider();
  scheduleExplore();
}

void TForm1::placeSlider() {
  const QSignalBlocker quiet(IsoSlider);
  if (EncloseCheckBox->isChecked()) {
    IsoSlider->setRange(kLeastShare, kGreatestShare);
    IsoSlider->setValue(static_cast<int>(std::lround(m_sharePercent)));
  } else {
    IsoSlider->setRange(0, kSliderSteps);
    IsoSlider->setValue(sliderPosition(settings.threshold));
  }
}

void TForm1::PictureEditChange(QObject* Sender) {
  PictureSettings& picture = settings.picture;
  if (Sender == PictureSizeEdit) {
    const std::optional<PictureSize> size = parsePictureSize(PictureSizeEdit->utf8Text());
    markField(PictureSizeEdit, size ? "" : kPictureSizeMessage);
    if (size) {
      picture.width = size->width;
      picture.height = size->height;
    }
  } else if (Sender == TransparencyEdit) {
    const std::optional<double> transparency = parseDouble(TransparencyEdit->utf8Text());
    const bool usable = transparency && *transparency >= 0.0 && *transparency <= 1.0;
    markField(TransparencyEdit, usable ? "" : kTransparencyMessage);
    if (usable) picture.transparency = *transparency;
  } else {
    const std::string text = ColoursEdit->utf8Text();
    const std::optional<LobeColours> colours = parseLobeColours(text);
    const bool usable = text.empty() || colours;
    markField(ColoursEdit, usable ? "" : kColoursMessage);
    if (!usable) return;
    picture.coloursNamed = colours.has_value();
    picture.colours = colours.value_or(LobeColours{});
    Preview->setColours(picture.colours);
  }
}

bool TForm1::mayReplace(const std::string& path, bool named) {
  std::error_code error;
  if (named || !std::filesystem::exists(path, error)) return true;
  return m_dialogs.ask(kApplicationTitle, path +
                                              " already exists. Replace it?\n(The name typed was " +
                                              std::filesystem::path(path).stem().string() +
                                              "; the extension of the format chosen was added.)");
}

void TForm1::scheduleExplore() {
  if (InputDialog.fileName.empty() || m_explorePending) return;
  m_explorePending = true;
  QTimer::singleShot(0, this, [this] {
    m_explorePending = false;
    guarded([this] { explore(); });
  });
}

void TForm1::explore() {
  if (InputDialog.fileName.empty()) return;
  ConversionRequest request = inputRequest();
  request.settings.outputPath.clear();
  // Drawn as for a mesh that holds every colour; Save says what it is written as.
  request.settings.outputKind = OutputKind::Gltf;
  request.settings.picture.fineGrid = false;
  request.settings.scale = std::min(request.settings.scale, kFinestPreviewScale);
  const auto picked = std::chrono::steady_clock::now();
  PreviewStatusLabel->setText(kDrawingStatus);
  m_preview.submit(
      [this, explorer = m_explorer, request, picked, asked = settings.scale](
          std::stop_token stop, BackgroundRun::Channel& channel) mutable -> BackgroundRun::Finish {
        request.stop = stop;
        // A newer pick may already have said "Drawing..." for itself.
        const auto showStatus = [this, &channel, &stop](QString status) {
          if (stop.stop_requested()) return;
          channel.post([this, status] { PreviewStatusLabel->setText(status); });
        };
        request.beforeDensityMatrix = [&](std::size_t aoCount) {
          if (const auto notice = longDensityMatrixNotice(aoCount)) {
            showStatus(QString(kDrawingStatus) + " " + QString::fromStdString(*notice));
          }
        };
        int percentShown = 0;
        const auto progress = [&](int percent) {
          if (percent == percentShown) return;
          percentShown = percent;
          showStatus(QString(kDrawingProgressStatus).arg(percent));
        };
        auto surface = std::make_shared<ExploredSurface>(explorer->draw(request, progress));
        if (surface->mesh && request.settings.scale < asked) {
          surface->notes.push_back("Drawn at scale " + std::to_string(request.settings.scale) +
                                   ", the finest the preview takes; Save writes it so, Calculate "
                                   "at scale " +
                                   std::to_string(asked) + ".");
        }
        if (stop.stop_requested()) return nullptr;
        std::shared_ptr<const WrittenScene> scene;
        if (surface->mesh) {
          scene = std::make_shared<const WrittenScene>(sampleScene(
              *surface->mesh, surface->atoms, kSceneTriangleLimit, surface->colouring.get()));
        }
        return [this, surface, scene, picked] {
          const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - picked;
          showExplored(std::move(*surface), scene, seconds.count());
        };
      },
      [this](const BackgroundRun::Finish& finish) {
        if (finish) guarded(finish);
        emit previewSettled();
      });
}

void TForm1::showExplored(ExploredSurface surface, std::shared_ptr<const WrittenScene> scene,
                          double seconds) {
  const std::string summary =
      previewSummary(surface, surfaceName(surface.request.settings), seconds);
  PreviewStatusLabel->setText(QString::fromStdString(summary));
  PreviewStatusLabel->setToolTip(QString::fromStdString(summary));
  if (!surface.mesh) {
    Preview->clear();
    m_shown.reset();
    return;
  }
  Preview->setScene(std::move(scene), settings.showStructure, viewAlong(surface.firstView),
                    m_newInput);
  m_newInput = false;
  m_shown = std::move(surface);
}

void TForm1::SaveButtonClick(QObject*) {
  if (m_run.busy()) return;
  if (!m_shown) {
    m_dialogs.show(kErrorCaption, kNothingToSaveMessage);
    return;
  }
  if (!m_dialogs.execute(SaveDialog)) return;
  OutputChoice choice = chooseOutput(SaveDialog.fileName, SaveDialog.filterIndex);
  if (!mayReplace(choice.outputPath, !choice.extended)) return;
  SaveDialog.fileName = std::move(choice.dialogFileName);
  SaveDialog.filterIndex = choice.filterIndex;

  ConversionRequest request = m_shown->request;
  ConversionSettings& saved = request.settings;
  saved.outputPath = std::move(choice.outputPath);
  saved.outputKind = choice.outputKind;
  saved.showStructure = settings.showStructure;
  saved.picture = settings.picture;
  saved.picture.turnedView = basisOf(Preview->view());
  saved.picture.zoom = Preview->view().zoom;
  enterRunning();
  showStatus(kSavingStatus);
  m_run.start(
      [this, shown = *m_shown, request](
          std::stop_token stop, BackgroundRun::Channel& channel) mutable -> BackgroundRun::Finish {
        request.stop = std::move(stop);
        const auto started = std::chrono::steady_clock::now();
        const ConversionOutcome outcome =
            saveExploredSurface(shown, request, channel, [this, &channel](int percent) {
              channel.post([this, percent] { showProgress(percent); });
            });
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - started;
        return [this, outcome, path = request.settings.outputPath, seconds] {
          reportRun(outcome, path, seconds.count());
        };
      },
      [this](const BackgroundRun::Finish& finish) { endRun(finish); });
}

}  // namespace lobewright
