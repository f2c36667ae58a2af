#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

#include "app/conversion_settings.h"
#include "window/background_run.h"
#include "window/dialog_presenter.h"
#include "window/file_dialog.h"
#include "window/up_down.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace lobewright {

class Edit;
class LevelDiagramView;
class OrbitalTable;
class PreviewWidget;
struct OrbitalRow;

inline constexpr const char* kApplicationTitle = "Lobewright";
// What the exception box says for an exception that carries no text of its own.
inline constexpr const char* kUnexpectedErrorMessage = "Unexpected error.";

// The main window: the conversion settings, the three file dialogs and the commands, with the
// input's list of MOs, its MO energy-level diagram and a preview of the last surface written
// beside them. The controls are
// public under the names the handlers use, each also its objectName.
//
// Calculate, HOMO and LUMO run on a thread of their own while the window goes on painting. For
// as long as one runs, every control that could change it is disabled, so a click or a key on
// one is dropped at once rather than kept for later, and the greyed controls tell the user why;
// only Cancel (and Esc) stays, and closing the window stops the run before it closes.
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

  // True while Calculate, HOMO or LUMO runs.
  [[nodiscard]] bool busy() const { return m_run.busy(); }

  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QToolButton* HOMOButton;
  QToolButton* LUMOButton;
  QLabel* ScaleLabel;
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

  FileDialog ParametersDialog;
  FileDialog OutputDialog;
  FileDialog InputDialog;

  ConversionSettings settings;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void createControls();
  void chooseFormFont();
  void chainTabOrder();
  void connectHandlers();
  // Lists the chosen input's MOs and lets the orbitals choice and the spin follow it.
  void takeInputFile();

  // Runs a handler; an exception it lets out is shown in a message box and the window goes on.
  template <class Handler>
  void guarded(const Handler& handler);

  void showProgress(int percent);
  void showStatus(const std::string& text);
  // Disables every control that could change the run and gives Cancel the focus; leaving puts
  // the bar back to 0 and the window as it was before.
  void enterRunning();
  void leaveRunning();

  DialogPresenter& m_dialogs;
  std::vector<QWidget*> m_inputControls;
  bool m_running = false;
  QPointer<QWidget> m_focusBeforeRun;
  // Last, so that it is destroyed first: its job is stopped before anything it reports to goes.
  BackgroundRun m_run;
};

}  // namespace lobewright
