// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The restore window FRestore: the set and save name, where to restore to, the restore list
// with its ticks, the totals grid, the list search, and the start and stop of a restore run
// with its progress. Every piece of work is the engine's (FRestore); the window shows its
// state and sends it the user's commands.
//
// The main window is hidden while this window is open; when it closes, the main window takes
// over its window state and place and shows itself again. Loading starts from InitRestore,
// a one-shot timer that calls FormInit once this window is on the screen.
#include "restore/FRestore.h"
#include "mainwin/windows/ListModels.h"
#include "restore/windows/RestoreModels.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QTableView;
class QTimer;

namespace qarno {

class QarnoWindow;
class FRestoreWindow;
class FindHistoryWindow;

// Runs the restore window's initialisation once, from its own 100 ms timer, when the window
// kind is the restore window's and the window's trigger is set; otherwise a tick does
// nothing. It goes with its window.
class InitRestore : public QObject {
  Q_OBJECT
 public:
  InitRestore(Module1& m, FRestoreWindow& window);
  QTimer* Timer1;
  void Timer1_Timer();

 private:
  Module1& m_;
  FRestoreWindow& window_;
};

class FRestoreWindow : public QWidget {
  Q_OBJECT
 public:
  // The window over the main window's current set, for the history row selected there.
  // `closed` hands back to the main window once this window has closed.
  FRestoreWindow(QarnoWindow& main, std::function<void()> closed);
  ~FRestoreWindow() override;

  FRestore restore;

  // --- Controls, named as their objectNames ---
  QGroupBox *FRestoreSetting, *FRestorePos, *FRestoreList, *FListInfo, *FStatus;
  QLineEdit *SetName, *RestoreSaveName;
  QComboBox* Position;
  QLineEdit* WriteHDir;
  QPushButton* ChgWriteHDir;
  QListView* RestoreList;
  QLineEdit* SearchName;
  QPushButton *Search, *FindInHistory, *AllSelect, *AllClear;
  QTableView* RestoreListInfo;
  QLabel *ProcesTime, *Status;
  QPushButton *OK, *Cancel;
  QTimer* Timer1;
  QTableView *SaveList, *SaveNameTable;
  QListView* SaveNameList;
  RestoreListModel* listModel;
  RestoreInfoModel* infoModel;
  // The "履歴から探す" dialog while it is open.
  QPointer<FindHistoryWindow> findHistory;

  // The restore start trigger InitRestore waits for.
  bool initTrigger = false;

  // --- Events ---
  void Form_Load();
  void FormInit();
  void Position_Click(int index);
  void ChgWriteHDir_Click();
  void RestoreList_ItemCheck(int item, bool ticked);
  void Search_Click();
  // Looks for the search text across every run of the history, in a dialog of its own that
  // can restore one version found (see FindHistoryWindow). This window's work waits while
  // it is open: its run, list and marks stay as they are.
  void FindInHistory_Click();
  void AllSelect_Click();
  void AllClear_Click();
  void OK_Click();
  void Cancel_Click();
  void Timer1_Timer();
  // A command of the engine is under way (loading, a bulk command, a search or a run).
  bool Busy() const { return busy_ > 0; }

 protected:
  void closeEvent(QCloseEvent* e) override;
  void changeEvent(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  class Work;
  void BuildControls();
  void SetToolTips();
  // Shows the engine's state: texts, enabled controls, the list's marks and the totals.
  void ShowState();
  void ClearStatus();
  void Form_Unload();

  QarnoWindow& main_;
  std::function<void()> closed_;
  RestoreTableModel* tableModel_;
  SaveNameTableModel* saveNameModel_;
  EntryListModel* saveNameListModel_;
  int busy_ = 0;
  std::unique_ptr<Work> findWork_;  // held while the find dialog is open
  bool unloaded_ = false;
};

// Opens the restore window over the main window (which has already handed over to it).
FRestoreWindow* OpenRestoreWindow(QarnoWindow& main, std::function<void()> closed);

}  // namespace qarno
