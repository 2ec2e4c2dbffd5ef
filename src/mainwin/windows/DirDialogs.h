// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two browsing dialogs: FApend adds entries to the shown list (or changes the selected
// one), GetSaveDir picks a directory for the main window's destination (mode 0) or for the
// restore window's target (mode 1).
#include "common/Module1.h"
#include "mainwin/windows/DriveDirLists.h"
#include "mainwin/windows/Placement.h"

#include <QLineEdit>
#include <QPushButton>
#include <functional>

namespace qarno {

class FApend : public ChildDialog {
  Q_OBJECT
 public:
  // tag 0 adds to the list the main window shows (saveList: the save list, else the skip
  // list); tag 1 changes its entry modifyRow. `shown` is called with the index of each
  // added or changed entry, after the list changed (the main window shows it again).
  FApend(Module1& m, const DriveTable& drives, QWidget* mainWindow, int tag, bool saveList, int modifyRow,
         std::function<void(int)> shown);

  DriveBox* Drive1;
  DirListBox* Dir1;
  FileListBox* File1;
  QLineEdit* Text1;
  QPushButton* Apend;
  QPushButton* BExit;

  bool Apend_Click();
  void BExit_Click();

 private:
  void OpenOn(const QString& startEntry);
  void Drive1_Change(const DriveListEntry& drive);
  Module1& m_;
  int tag_;
  bool saveList_;
  int modifyRow_;
  std::function<void(int)> shown_;
  QMap<QChar, QString> driveDirs_;  // the directory last opened on each drive
};

class GetSaveDir : public ChildDialog {
  Q_OBJECT
 public:
  // mode 0: the destination of the current set, mode 1: the restore window's target; the
  // dialog's caption begins with callerCaption and it opens on `text`. On OK the chosen
  // directory is in `chosen`; the caller stores it.
  GetSaveDir(Module1& m, const DriveTable& drives, QWidget* mainWindow, int mode, const QString& callerCaption,
             const QString& text);

  DriveBox* Drive1;
  DirListBox* Dir1;
  QLineEdit* Text1;
  QPushButton* OK;
  QPushButton* Cancel;
  QString chosen;

  void OK_Click();
  void Cancel_Click();

 private:
  void Drive1_Change(const DriveListEntry& drive);
  Module1& m_;
  int mode_;
  QMap<QChar, QString> driveDirs_;
};

}  // namespace qarno
