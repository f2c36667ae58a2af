#pragma once

#include <QPointer>
#include <QWidget>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

#include "app/conversion_settings.h"
#include "app/explored_surface.h"
#include "app/orbital_list.h"
#include "window/background_run.h"
#include "window/dialog_presenter.h"
#include "window/file_dialog.h"
#include "window/latest_run.h"
#include "window/up_down.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSlider;
class QToolButton;

namespace lobewright {

class Edit;
class LevelDiagramView;
class OrbitalTable;
class PreviewWidget;

inline constexpr const char* kApplicationTitle = "Lobewright";
// What the exception box says for an exception that carries no text of its own.
inline constexpr const char* kUnexpectedErrorMessage = "Unexpected error.";

// The main window: the conversion settings, the file dialogs and the commands, with the input's
// list of MOs, its MO energy-level diagram and a preview beside them. The controls are public
// under the names the handlers use, each also its objectName.
//
// The preview shows what is picked at once: an MO (a row, a level, HOMO, LUMO, the MO field, the
// spin), a field, an isovalue or an enclosed share, each drawn on a thread of its own with no
// file written; a newer pick stops the drawing of an older one, whose result is never shown.
// Save writes the surface shown, pictures and framed scenes as the preview looks at it.
//
// Calculate, Save, HOMO and LUMO run on a thread of their own while the window goes on painting.
// For as long as one runs, every control that could change it is disabled, so a click or a key
// on one is dropped at once rather than kept for later, and the greyed controls tell the user
// why; only Cancel (and Esc) stays, and closing the window stops the run before it closes.
class TForm1 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm1(DialogPresenter& dialogs, QWidget* parent = nullptr);

  void FormCreate();
  void MoEditChange(QObject* Sender);
  void MoEditExit(QObject* Sender);
  void MoUpDownClick(QObject* Sender, UpDownButton Button);
  void ScaleUpDownClick(QObject* Sender, UpDownButton Button);
  void LevelUpDownClick(QObject* Sender, UpDownButton Button);
  void ThreshEditChange(QObject* Sender);
  void ThreshEditExit(QObject* Sender);
  void CutoffEditChange(QObject* Sender);
  void CutoffEditExit(QObject* Sender);
  void BondEditChange(QObject* Sender);
  void BondEditExit(QObject* Sender);
  void ParametersButtonClick(QObject* Sender);
  void InButtonClick(QObject* Sender);
  void OutButtonClick(QObject* Sender);
  void HOMOButtonClick(QObject* Sender);
  void CalcButtonClick(QObject* Sender);
  void CancelButtonClick(QObject* Sender);
  void OrbitalsComboBoxChange(QObject* Sender);
  void SpinComboBoxChange(QObject* Sender);
  void OrbitalListPick(const OrbitalRow& row);
  void ScaleEditChange(QObject* Sender);
  void ScaleEditExit(QObject* Sender);
  void FieldComboBoxChange(QObject* Sender);
  void EncloseCheckBoxClick(QObject* Sender);
  void ShareEditChange(QObject* Sender);
  void ShareEditExit(QObject* Sender);
  void IsoSliderChange(QObject* Sender);
  void SaveButtonClick(QObject* Sender);
  void PictureEditChange(QObject* Sender);

  // Takes the input as the In file dialog would: lists it and shows its HOMO.
  void openInput(const std::string& fileName);

  // True while Calculate, Save, HOMO or LUMO runs.
  [[nodiscard]] bool busy() const { return m_run.busy(); }
  // True from a pick until its surface (or why there is none) is shown.
  [[nodiscard]] bool previewBusy() const { return m_preview.busy() || m_explorePending; }
  // The surface the preview shows, or nothing.
  [[nodiscard]] const ExploredSurface* shownSurface() const {
    return m_shown ? &*m_shown : nullptr;
  }

  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QToolButton* HOMOButton;
  QToolButton* LUMOButton;
  Edit* ScaleEdit;
  QLabel* LevelLabel;
  QLabel* Label7;
  QCheckBox* StructureCheckBox;
  QPushButton* ParametersButton;
  QPushButton* InButton;
  QPushButton* OutButton;
  QPushButton* CalcButton;
  QPushButton* CancelButton;
  QProgressBar* ProgressBar;
  QLabel* StatusLabel;
  Edit* MoEdit;
  UpDown* MoUpDown;
  UpDown* ScaleUpDown;
  UpDown* LevelUpDown;
  Edit* ThreshEdit;
  Edit* CutoffEdit;
  Edit* BondEdit;
  QLabel* OrbitalsLabel;
  QComboBox* OrbitalsComboBox;  // "classic" or "exact"; follows the input until the user picks
  QComboBox* SpinComboBox;      // alpha or beta; shown for inputs with beta MOs only
  OrbitalTable* OrbitalList;
  LevelDiagramView* DiagramView;  // a click on a level picks its MO, as a row of the list does
  PreviewWidget* Preview;
  // The explorer's controls under the classic ones: the field, the enclosed share, the slider
  // that moves the threshold (or the share), and what the preview says of its surface.
  QLabel* FieldLabel;
  QComboBox* FieldComboBox;
  QCheckBox* EncloseCheckBox;
  Edit* ShareEdit;
  QLabel* ShareLabel;
  QSlider* IsoSlider;
  QLabel* PreviewStatusLabel;
  // Under the preview: Save and the picture settings it takes.
  QPushButton* SaveButton;
  QLabel* SizeLabel;
  Edit* PictureSizeEdit;
  QLabel* TransparencyLabel;
  Edit* TransparencyEdit;
  QLabel* ColoursLabel;
  Edit* ColoursEdit;  // empty: a pair no atom's colour is like
  QCheckBox* FrameCheckBox;

  FileDialog ParametersDialog;
  FileDialog OutputDialog;
  FileDialog InputDialog;
  FileDialog SaveDialog;
  FileDialog AnionDialog;   // the N + 1 electron calculation of a Fukui function
  FileDialog CationDialog;  // the N - 1 electron one

  ConversionSettings settings;

 signals:
  // The newest pick's surface, or why there is none, is shown.
  void previewSettled();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void createControls();
  void createExplorerControls(QWidget* panel);
  void layOut(QWidget* panel);
  void chooseFormFont();
  void chainTabOrder();
  void connectHandlers();
  void connectExplorerHandlers();
  // Lists the chosen input's MOs, picks its HOMO and shows it, and lets the orbitals choice and
  // the spin follow it.
  void takeInputFile();
  // Sets the MO range of the field and the arrows to the listed MOs of the spin.
  void takeMoRange();
  // Refuses a typed value with a sign on the field and the reason under the preview; an empty
  // reason takes the sign away.
  void markField(Edit* field, const std::string& reason);
  // Draws the settings' surface for the preview once the handlers of this event have run.
  void scheduleExplore();
  // Takes the MO field back from another field, and shows the settings' MO.
  void showMoField();
  void explore();
  void showExplored(ExploredSurface surface, std::shared_ptr<const WrittenScene> scene,
                    double seconds);
  void setThresholdText(float threshold);
  void placeSlider();
  // The request that the commands and the preview read the input with.
  [[nodiscard]] ConversionRequest inputRequest() const;
  // Asks whether to replace the file the output choice would write over, when the user did not
  // name it; true when it may be written.
  [[nodiscard]] bool mayReplace(const std::string& path, bool named);

  // Runs a handler; an exception it lets out is shown in a message box and the window goes on.
  template <class Handler>
  void guarded(const Handler& handler) {
    try {
      handler();
    } catch (const std::exception& error) {
      m_dialogs.show(kApplicationTitle, error.what());
    } catch (...) {
      m_dialogs.show(kApplicationTitle, kUnexpectedErrorMessage);
    }
  }

  void showProgress(int percent);
  void showStatus(const std::string& text);
  // Disables every control that could change the run and gives Cancel the focus; leaving puts
  // the bar back to 0 and the window as it was before.
  void enterRunning();
  void leaveRunning();
  // What a finished Calculate or Save says: the summary on the status line and, for a failure
  // other than a cancel, its message in a box.
  void reportRun(const ConversionOutcome& outcome, const std::string& path, double seconds);
  // How a background run ends: the window ready again, then the run's own finish.
  void endRun(const BackgroundRun::Finish& finish);

  DialogPresenter& m_dialogs;
  std::vector<QWidget*> m_inputControls;
  bool m_running = false;
  QPointer<QWidget> m_focusBeforeRun;
  std::vector<OrbitalRow> m_rows;  // the input's MOs, as listed
  int m_lowestMo = 1;
  int m_highestMo = 0;  // 0: no input listed
  std::optional<ExploredSurface> m_shown;
  std::shared_ptr<SurfaceExplorer> m_explorer = std::make_shared<SurfaceExplorer>();
  bool m_explorePending = false;
  double m_sharePercent = 85.0;
  bool m_newInput = true;  // the next surface shown starts from its first view
  // Last, so that they are destroyed first: their jobs are stopped before anything they report
  // to goes.
  LatestRun m_preview;
  BackgroundRun m_run;
};

}  // namespace lobewright
