// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: the current set and its history on screen, every command of the program
// in its menus and buttons, the hand-over to the dialogs and child windows, and the exit.
// It binds to the program's state (Qarno, the set, the history table) and sends commands;
// the work is done by the core.
#include "app/Program.h"
#include "mainwin/windows/ChildWindows.h"
#include "mainwin/windows/ListModels.h"

#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QUrl>
#include <array>
#include <functional>

class QComboBox;

namespace qarno {

class QarnoWindow : public QMainWindow {
  Q_OBJECT
 public:
  QarnoWindow(Program& program, ChildWindows& children);
  ~QarnoWindow() override;

  Program& program;
  Module1& m;
  Qarno& main;
  ChildWindows& children;

  // --- Start-up and the state on screen ---
  // The start-up: settings and window geometry, set folder, command line, the set name
  // dialog when no set is named, the set and its history, the command line again, the type
  // list; then the automatic run when one was asked for.
  void Form_Load(const QString& commandLine);
  // Shows the current set, its lists and its history again.
  void ShowSet();
  void ShowHistory();
  // Shows or hides the stale warning for the set and history now held; run when a set is
  // loaded, when the history changed, and from the timer when its next change is due.
  void ShowStaleMark();

  // --- Public routines of the main window ---
  bool ShowListKind = true;  // the view shows the save list (false: the skip list)
  void SListDisp();
  void SListSetForcus(int index);
  int SListTopRow() const;
  void Qarno_RestoreState();
  void LockControls();
  void SaveControlState();
  void SetBackUpEnabled();
  void SetRestoreEnabled();
  void ArrangeControls();
  // The dialog or child window open over the main window (for window states), or null.
  void SetOpenChild(QWidget* child) { openChild_ = child; }
  QWidget* OpenChild() const { return openChild_; }
  // The rows of the view that are selected, in view order.
  QList<int> SelectedRows() const;
  // The history row selected in the grid (1 = the newest), 0 when none.
  int SelectedHistoryRow() const;
  // Selects history row `row` (1 = the newest) in the grid; 0 selects none. The row counts as
  // picked only when the user had picked one.
  void SelectHistoryRow(int row);
  // Shows a cell of the history again after it changed (a comment edited).
  void ShowHistoryCell(int row, int column);

  // --- Commands ---
  void BackUp_Click();
  void Restore_Click();
  void ShowRecordedRun();
  void SetChoice();
  void FileSave_Click();
  void FileSaveAs_Click();
  void OptionSetDir_Click();
  void OptionSetting_Click();
  void OptionNoCompType_Click();
  void SetNameDelete_Click();
  void HistoryEdit_Click();
  void HistoryDelete_Click();
  // "検証": the verify window for the selected history row (nothing without one).
  void HistoryVerify_Click();
  void HelpHelp_Click();
  void HelpVersion_Click();
  void HelpUnLhaVersion_Click();
  void BSaveDir_Click();
  void Apend_Click();
  void Modify_Click();
  void Remove_Click();
  void Change_Click();
  void SetNameS_Click(const QString& name);
  // The exit command: false when the program stays open.
  bool ExitCommand();
  void Timer1_Timer();
  // Stops the window's timer (the stale warning and the exit after an automatic run): the
  // program is ending by a stop signal.
  void StopTimer();
  void ShowSetNameMenu(const QPoint& globalPos);
  void ShowHisTableMenu(const QPoint& globalPos);

  // The exit status the program ends with: the result of the last automatic run.
  int exitStatus = 0;
  bool exited = false;
  // Opens the user guide (tests replace it).
  std::function<bool(const QUrl&)> openUrl;
  // Ends the event loop of the program with the exit status (tests replace it: the end of
  // the loop would end every later dialog of the test process at once).
  std::function<void(int)> quit;
  // The time now, for the stale warning (tests replace it).
  std::function<QDateTime()> clock;
  // The user guide's contents page beside the program; empty when it is missing.
  static QString GuidePath();


 protected:
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  // --- Controls, found by their objectNames from outside; other windows send commands ---
  QGroupBox *FSetName, *FSaveDir, *FSaveLevel, *SFrame, *FHistory;
  QLabel* SetName;
  QPushButton* BSetName;
  // The warning under the set name when the set has gone stale (hidden otherwise): the days
  // since the last run, the whole warning in its tooltip.
  QLabel* StaleMark;
  QLineEdit* SaveDir;
  QPushButton* BSaveDir;
  QComboBox* SaveLevel;
  QLabel* SLabel;
  QListView* SList;
  QPushButton *Apend, *Remove, *Modify, *Change;
  QTableView* HisTable;
  QPushButton *BackUp, *Restore, *BExit;
  QTimer* Timer1;
  QMenu *FileMenu, *OptionMenu, *EditMenu, *HelpMenu;
  QMenu *SetNameMenu, *SetNameSelect, *HisTableMenu;
  HistoryModel* hisModel;
  EntryListModel* listModel;

  QAction *FileNew, *FileOpen, *FileSave, *FileSaveAs, *FileExit;
  QAction *OptionSetting, *OptionNoCompType, *OptionSetDir;
  QAction *EditSetNameDelete, *EditHistoryEdit, *EditHistoryDisp, *EditHistoryVerify, *EditHistoryDelete;
  QAction *HelpHelp, *HelpVersion, *HelpUnLhaVersion;
  QAction *SetNameDel, *HisTableEdit, *HisTableDisp, *HisTableVerify, *HisTableDelete;

  void BuildControls();
  void BuildMenus();
  void SetToolTips();
  void ApplyGeometry();
  // The size that shows eight rows of the list and the history up to its date column.
  QSize OwnDefaultSize();
  void StoreGeometry();
  // A modal dialog over the locked main window, with its kind in OpenDialogKind.
  int RunDialog(DialogKind kind, QDialog& dialog, bool lock = true);
  // Reads the set now named (after a choice), and shows it.
  void LoadNamedSet();
  // Reads the set file (and the set's history) of the set now named; the newest run is
  // selected.
  void ReadSet();
  void SelectNewestHistoryRow();
  void HandOver(DialogKind kind, SaveExecMode execMode);
  void TakeBack();
  void EnterAutoRun();

  QWidget* controls_[15] = {};
  std::array<bool, 15> savedState_{};
  bool locked_ = false;
  QPointer<QWidget> openChild_;
  // The history row selected in the grid (1 = the newest, 0 none), whether the user picked it
  // (the window's own selection of the newest run is no pick), the window selecting rows
  // itself now, and the history's rows when it was last shown.
  int historyRow_ = 0;
  bool historyPicked_ = false;
  bool selectingHistory_ = false;
  int shownHistoryRows_ = -1;
  bool exiting_ = false;
  // When the stale warning next needs a look (its state or its count of days may change),
  // and the day it was last worked out on (a clock set back changes the day too).
  QDateTime staleRecheck_;
  QDate staleDay_;
};

}  // namespace qarno
