// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The verify window FVerify: checks one recorded run of the current set (RunVerifier) and
// lists what it found. It is a modal dialog over the locked main window (DialogKind::Verify):
// a verification only reads, and the main window has nothing to offer while it runs.
//
// Quick ("簡易検証") checks that every copy is there with its listed size; full ("完全検証")
// reads every copy back and compares it with the run's content manifest. While it runs the
// progress bar and the status line follow the verifier; "中止" (or closing the window) stops
// it at its next file. Nothing is written: not the history, not the set, not the save folder.
#include "mainwin/windows/Placement.h"
#include "restore/RunVerifier.h"

#include <QAbstractTableModel>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableView;
class QTimer;

namespace qarno {

class QarnoWindow;

// The problems of a verification, one row each: kind, path, detail.
class VerifyProblemModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { Kind = 0, Path, Detail, ColumnCount };
  explicit VerifyProblemModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
  void Show(std::vector<VerifyProblem> problems);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<VerifyProblem> problems_;
};

class FVerify : public ChildDialog {
  Q_OBJECT
 public:
  // The window for history row `row` (1 = the newest) of the main window's current set.
  FVerify(QarnoWindow& main, int row);

  // --- Controls, named as their objectNames ---
  QGroupBox *FSaveName, *FVerifyKind, *FStatus, *FProblems;
  QLineEdit* TSaveName;
  QRadioButton *QuickVerify, *FullVerify;
  QPushButton *Start, *Cancel;
  QProgressBar* Progress;
  QLabel *Status, *ManifestNote, *Totals;
  QTableView* Problems;
  QTimer* Timer1;
  VerifyProblemModel* problemModel;

  // The last verification's report (empty until one has run).
  const VerifyReport& report() const { return report_; }
  bool Running() const { return running_; }

  void Start_Click();
  void Cancel_Click();
  void Timer1_Timer();
  void done(int result) override;

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void SetRunning(bool running);
  void ShowReport();

  Module1& m_;
  HistoryEntry run_;
  VerifyReport report_;
  RunVerifier* verifier_ = nullptr;  // while a verification runs
  bool running_ = false;
  bool closeWanted_ = false;  // closed while running: close once the verifier has stopped
};

// The main window's entry: the window over the locked main window, for history row `row`.
void OpenVerifyWindow(QarnoWindow& main, int row);

}  // namespace qarno
