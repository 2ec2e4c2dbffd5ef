// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The backup run window FSaveExec: one backup run of the current set, its progress and its
// result list, opened by the main window in place of itself. In its second mode it shows the
// listing of a run recorded in the history instead of running one.
//
// The window is thin: the run (FSaveExec of the engine) does the work on this thread and
// yields through the prompter; the window only reads the run's state and models over its
// tables, on the ticks of its 300 ms timer and after each command, and sends it commands.
#include "engine/FSaveExec.h"

#include <QAbstractTableModel>
#include <QWidget>
#include <functional>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

namespace qarno {

class QarnoWindow;
class RunJournal;

// A grid over the run's save list: every entry (`view` null: the hidden working grid) or the
// rows the result view selected. It shows what it last took over with Sync, and never reads
// the rows while the view is being rebuilt or was cleared: the run rebuilds and clears them
// between two ticks of the window, with the event loop turning in between.
class SaveListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  SaveListModel(const SaveListTable& list, const ResultView* view, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Takes over the rows the table or view holds now; resets only when they changed. True
  // when rows are shown.
  bool Sync();
  // Shows nothing until the next Sync.
  void Clear();

 private:
  bool Readable() const;
  int Rows() const;  // the rows to show now
  const SaveListTable& list_;
  const ResultView* view_;
  int count_ = 0;
  int generation_ = -1;
};

// The totals grid: files, folders and KB of the whole list and of this run's copies.
class ListInfoModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit ListInfoModel(const ListInfoTable& table, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void Refresh();

 private:
  const ListInfoTable& table_;
};

class SaveExecWindow : public QWidget {
  Q_OBJECT
 public:
  // `closed` is called once the window has given the main window back its state.
  SaveExecWindow(QarnoWindow& main, std::function<void()> closed);
  ~SaveExecWindow() override;

  QarnoWindow& main;
  Module1& m;
  FSaveExec run;

  // --- Controls, named as their objectNames ---
  QLineEdit *TSetName, *SaveDir, *TNewSetName, *SaveLevel, *TOldSetName, *CompMode;
  QGroupBox *FStatus, *FListInfo, *FSavelist;
  QLabel *Status, *ProcesTime;
  QProgressBar* ProgressBar;  // the overall percentage
  QTableView *ListInfo, *SaveList, *SelSaveList;
  QComboBox* ListSel;
  QPushButton* Cancel;
  QTimer* Timer1;
  QTimer* AutoSave;  // the one-shot start of the run, once the window is up
  SaveListModel *saveListModel, *selSaveListModel;
  ListInfoModel* listInfoModel;

  // --- Events ---
  // Over the main window, caption by mode, everything cleared; arms the start.
  void Form_Load();
  // The run (SaveExecMode::Run) or the recorded run of the main window's selected history row
  // (SaveExecMode::RecordedRun).
  void OK_Click();
  // A stop request: the run stops at its next yield; the timer closes the window once
  // closing is allowed.
  void Cancel_Click();
  void Timer1_Timer();
  void AutoSave_Timer();
  // The selector: the result grid rebuilt for the entry, the selector disabled meanwhile.
  void ListSel_Click(int index);
  // The result grid rebuilt for the selector's entry as it stands.
  void DispSelSaveList();
  void ReForm();

  bool Running() const { return running_; }
  // The overall percentage the display shows.
  int Overall() const { return overall_; }

 protected:
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void BuildControls();
  // The run's texts, totals, result grid and selector as they stand now.
  void ShowRunState();
  void ShowProgress(bool closeCheck);
  void UpdateCaption();
  void RunFinished();
  void Unload();
  void Form_Unload();

  std::function<void()> closed_;
  bool startTrigger_ = false;
  bool running_ = false;
  bool finishedOk_ = false;
  int busy_ = 0;  // commands of the window on the stack (the window is not deleted under them)
  bool unloadPending_ = false;
  bool unloaded_ = false;
  int overall_ = 0;
  std::unique_ptr<RunJournal> journal_;  // an unattended run's lines on stdout and stderr
};

// Opens the run window over the main window, which has handed over (LockControls,
// DialogKind::SaveExec, ExecMode) and hidden itself; the window takes the main window's state.
SaveExecWindow* OpenRunWindow(QarnoWindow& main, std::function<void()> closed);

}  // namespace qarno
