#pragma once
// The settings and history-upkeep dialogs over the main window: the run options (FSetting),
// the file types never packed (FNoCompType), the deletion of history rows with its question
// (FDelHisData, FDelAgree), the details of one row with its comment (FEditHisData), and the
// confirmation before the computer is shut down after an automatic run (FShutdown). The
// work is done by the core (maintenance/); these bind its state to controls.
#include "maintenance/HistoryUpkeep.h"
#include "maintenance/ShutdownCountdown.h"
#include "mainwin/windows/Placement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <array>

namespace qarno {

class HistoryModel;
class QarnoWindow;

// FSetting: the run options and the debug mode. OK takes them over; `changed` tells
// whether the set now counts as changed.
class FSetting : public ChildDialog {
  Q_OBJECT
 public:
  FSetting(Module1& m, QWidget* mainWindow);

  QGroupBox *FComplexType, *FComplexSetting, *FSerChk, *FRsvSizeChk, *FDElErrFile, *FLockFile, *FPathLen,
      *FCalUseSize, *Frame1;
  QRadioButton *ComplexType1, *ComplexType2, *ComplexSetting1, *ComplexSetting2;
  QPushButton* BTypeSetting;
  QCheckBox *CVolSer, *CRsvSizeChk, *CDElErrFile, *CLockFile, *CPathLen, *CCalUseSize;
  QLineEdit *TRsvSize, *TPathLen;
  QComboBox* DebModeSel;
  QPushButton *OK, *Cancel;

  bool changed = false;  // the dialog's changed flag
  bool takenOver = false;

  void Form_Load();
  void OK_Click();
  void Cancel_Click();
  void BTypeSetting_Click();

 private:
  void ApplyEnableRules();
  Module1& m_;
};

// FNoCompType: the list of types never packed; every change is taken over when it closes.
class FNoCompType : public ChildDialog {
  Q_OBJECT
 public:
  FNoCompType(Module1& m, QWidget* mainWindow, QWidget* parent = nullptr);

  QGroupBox* Frame1;
  QListWidget* LNoCompType;
  QLineEdit* Text1;
  QPushButton *BAdd, *BDel, *BInit, *BOK;

  void BAdd_Click();
  void BDel_Click();
  void BInit_Click();
  void done(int result) override;

 private:
  Module1& m_;
};

// FDelAgree: one question of the history deletion; `answer` carries the button pressed.
class FDelAgree : public QDialog {
  Q_OBJECT
 public:
  explicit FDelAgree(QWidget* parent);
  QLabel *Picture, *Label1, *Label2;
  QPushButton *BDel, *BDelALL, *BNo, *BCancel;
  DeleteAnswer answer = DeleteAnswer::Cancel;  // closing otherwise: stop
};

// FDelHisData: deletes history rows of the current set, and their saved data when asked,
// on a copy of the history that goes back to the main window when it closes.
class FDelHisData : public ChildDialog {
  Q_OBJECT
 public:
  FDelHisData(Qarno& main, QWidget* mainWindow);
  ~FDelHisData() override;

  QGroupBox *FSetName, *FHistory, *FDelOption, *FStatus;
  QLineEdit* TSetName;
  QTableView* HisTable;
  QCheckBox* CDelOption;
  QPushButton *Remove, *AllRemove, *Cancel;
  QLabel* Status;
  QTimer* Timer1;
  HistoryDeletion deletion;

  void Remove_Click();
  void AllRemove_Click();
  void Cancel_Click();
  void Timer1_Timer();
  void done(int result) override;

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  // The question of one row or of its data, at this dialog's top-left corner.
  DeleteAnswer Agree(const QString& text);
  void SetWorking(bool working);
  Qarno& main_;
  HistoryModel* model_;
  bool working_ = false;  // a delete command is under way
};

// FEditHisData: the details of the main window's current history row, stepping through the
// rows; the comment goes into the history at once.
class FEditHisData : public ChildDialog {
  Q_OBJECT
 public:
  FEditHisData(QarnoWindow& main);

  QGroupBox* Frame1;
  // TSaveName .. TVolName, in the history's column order.
  std::array<QLineEdit*, HistoryEntry::ColumnCount> boxes{};
  QLineEdit *TSaveName, *TSaveLevel, *TErrCnt, *TMemo, *TPTime, *TSaveDate, *TSaveSize, *TUseSize, *TSaveDir,
      *TVolSerial, *TVolName;
  QPushButton *BPre, *BNext, *BExit;

  // False when the dialog closed at once (no data row is current).
  bool ShowHisEntry();
  void BPre_Click();
  void BNext_Click();
  void TMemo_Change();
  int exec() override;

 private:
  void Step(int by);
  QarnoWindow& main_;
  bool closeAtOnce_ = false;
};

// FShutdown: 30 seconds to cancel the shutdown; `tag` is "True" when the computer is to be
// shut down.
class FShutdown : public QDialog {
  Q_OBJECT
 public:
  FShutdown(Module1& m, QWidget* mainWindow);

  QLabel *Label1, *Label2, *LStatus;
  QProgressBar* PBar;
  QPushButton *BOK, *BCancel;
  QTimer* Timer1;
  QString tag = QStringLiteral("False");
  bool stopSignalled = false;  // Ctrl+C or SIGTERM arrived while it counted

  void Timer1_Timer();
  void BOK_Click();
  void BCancel_Click();
  int Counter() const { return countdown_.Counter(); }

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  Module1& m_;
  QWidget* main_;
  ShutdownCountdown countdown_;
};

// Shows FShutdown and, when confirmed, shuts the computer down through the platform (the
// main window hidden meanwhile). True when the program may end: the shutdown was accepted,
// or a stop signal ended the confirmation (the computer then stays on).
bool ExitWindowsConfirm(QarnoWindow& main);

}  // namespace qarno
