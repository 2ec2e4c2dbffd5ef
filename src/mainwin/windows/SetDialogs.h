// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three set dialogs: choosing or creating a set (and naming the copy of "save as"),
// deleting sets, and choosing the set folder.
#include "mainwin/Qarno.h"
#include "mainwin/windows/Placement.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace qarno {

// GetSetName: on OK the chosen name is in chosenName (the main window takes it as its set).
class GetSetName : public ChildDialog {
  Q_OBJECT
 public:
  GetSetName(Module1& m, QWidget* mainWindow, bool saveAsMode);
  QLineEdit* Text1;
  QListWidget* List1;
  QPushButton* OK;
  QPushButton* Cancel;
  QString chosenName;

  void OK_Click();

 private:
  Module1& m_;
  bool saveAsMode_;
};

// FDelSetName: deletes sets, one at a time, until closed.
class FDelSetName : public ChildDialog {
  Q_OBJECT
 public:
  FDelSetName(Qarno& main, QWidget* mainWindow);
  QLineEdit* Text1;
  QListWidget* List1;
  QPushButton* Remove;
  QPushButton* Cancel;
  bool deletedCurrent = false;

  void Remove_Click();

 private:
  void Fill();
  Qarno& main_;
};

// FSetDir: on OK the folder name is in chosenFolder; otherwise it stays the current one.
class FSetDir : public ChildDialog {
  Q_OBJECT
 public:
  FSetDir(Module1& m, QWidget* mainWindow);
  QListWidget* LSetDir;
  QListWidget* LSetName;
  QLineEdit* TSetDir;
  QPushButton* OK;
  QString chosenFolder;

  void LSetDir_Click(const QString& folder);
  void OK_Click();

 private:
  Module1& m_;
};

}  // namespace qarno
