#pragma once

#include <QWidget>

#include "app/conversion_settings.h"
#include "app/window/dialog_presenter.h"
#include "app/window/file_dialog.h"
#include "app/window/up_down.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace lobewright {

class Edit;

inline constexpr const char* kApplicationTitle = "Lobewright";
// What the exception box says for an exception that carries no text of its own.
inline constexpr const char* kUnexpectedErrorMessage = "Unexpected error.";

// The main window: the conversion settings, the three file dialogs and the commands. The
// controls are public under the names the handlers use, each also its objectName.
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
  QProgressBar* ProgressBar;
  Edit* MoEdit;
  UpDown* MoUpDown;
  UpDown* ScaleUpDown;
  UpDown* LevelUpDown;
  Edit* ThreshEdit;
  Edit* CutoffEdit;
  Edit* BondEdit;

  FileDialog ParametersDialog;
  FileDialog OutputDialog;
  FileDialog InputDialog;

  ConversionSettings settings;

 private:
  void createControls();
  void chooseFormFont();
  void chainTabOrder();
  void connectHandlers();

  // Runs a handler; an exception it lets out is shown in a message box and the window goes on.
  template <class Handler>
  void guarded(const Handler& handler);

  void showProgress(int percent);

  DialogPresenter& m_dialogs;
};

}  // namespace lobewright
