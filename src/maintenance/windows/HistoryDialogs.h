// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The deletion of history rows with its question (FDelHisData, FDelAgree) and the details
// of one row with its comment (FEditHisData). The work is the core's (HistoryUpkeep.h).
#include "maintenance/HistoryUpkeep.h"
#include "mainwin/windows/Placement.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <array>

namespace qarno {

class HistoryModel;
class QarnoWindow;

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
  // "整理のプレビュー": selects the rows the set's policy on old runs would delete.
  QPushButton* PrunePreview;
  QLabel* Status;
  QTimer* Timer1;
  HistoryDeletion deletion;

  void Remove_Click();
  void AllRemove_Click();
  void PrunePreview_Click();
  void Cancel_Click();
  void Timer1_Timer();
  void done(int result) override;

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  // The question of one row or of its data, at this dialog's top-left corner.
  DeleteAnswer Agree(const QString& text);
  void SetWorking(bool working);
  QPushButton* MakePrunePreview();
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

}  // namespace qarno
