// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The world of a window test: a hermetic TestEnv whose drive T: is also in the settings'
// drive table, the program put together on it, and the main window started offscreen with
// the scripted prompter. Modal dialogs are driven from a timer once they are shown.
#include "app/Program.h"
#include "mainwin/windows/ChildWindows.h"
#include "mainwin/windows/QarnoWindow.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

namespace qarno::test {

// Records what the main window asked of the other windows; non-modal ones close at once
// (on the next turn of the event loop), unless `keepOpen`.
class RecordingChildren : public ChildWindows {
 public:
  QStringList calls;
  bool settingChanged = false;
  bool shutdownAgreed = true;
  std::function<void(QarnoWindow&, int)> onEditHisData;
  std::function<void(QarnoWindow&)> onDelHisData;
  std::function<bool(QarnoWindow&)> onShutdown;  // instead of the recorded answer
  std::function<bool(QarnoWindow&)> onSetting;   // instead of `settingChanged`
  bool runForReal = false;  // the backup run opens the real run window
  // When set, the restore command opens this instead (the restore window's tests open the
  // real window through it).
  std::function<void(QarnoWindow&, std::function<void()>)> onRestore;

  void OpenSaveExec(QarnoWindow& main, SaveExecMode execMode, std::function<void()> closed) override;
  void OpenRestore(QarnoWindow& main, std::function<void()> closed) override;
  bool OpenSetting(QarnoWindow& main) override;
  // Recorded, then the real verify window.
  void OpenVerify(QarnoWindow& main, int row) override;
  void OpenNoCompType(QarnoWindow& main) override;
  void OpenDelHisData(QarnoWindow& main) override;
  void OpenEditHisData(QarnoWindow& main, int row) override;
  bool ConfirmShutdown(QarnoWindow& main) override;
};

class WindowWorld {
 public:
  WindowWorld();
  ~WindowWorld();

  // Writes a set file in the set folder (lines joined with CR LF) and, when given, its
  // history lines after the version line.
  void WriteSet(const QString& name, const QStringList& lines, const QStringList& history = {});
  QString SetFile(const QString& name) const;  // host path of the set file
  // Maps a drive letter in the settings' drive table (before Start).
  void MapDrive(QChar letter, const QString& hostDir);
  // Puts the program together and runs the main window's start-up.
  void Start(const QString& commandLine = QString());
  // Ends this program run as the exit command does and forgets the window (for restarts).
  void Restart(const QString& commandLine = QString());

  TestEnv env;
  RecordingChildren children;
  std::unique_ptr<Program> program;
  std::unique_ptr<QarnoWindow> w;
  Module1& m() { return *program->m; }
  // The platform's power-off, a double: counted, and accepted or refused as set here.
  int powerOffs = 0;
  bool powerOffAccepted = false;

  template <typename T = QWidget>
  T* Find(const char* name) const {
    return w->findChild<T*>(QLatin1String(name));
  }
};

// The main window's controls, found by their objectNames as a person finds them on screen.
struct MainControls {
  explicit MainControls(QarnoWindow& w);
  QGroupBox *FSetName, *FSaveDir, *FSaveLevel, *SFrame, *FHistory;
  QLabel *SetName, *StaleMark, *SLabel;
  QPushButton *BSetName, *BSaveDir, *Apend, *Remove, *Modify, *Change, *BackUp, *Restore, *BExit;
  QLineEdit* SaveDir;
  QComboBox* SaveLevel;
  QListView* SList;
  QTableView* HisTable;
  QMenu *FileMenu, *OptionMenu, *EditMenu, *HelpMenu, *SetNameMenu, *SetNameSelect, *HisTableMenu;
  HistoryModel* hisModel;
  EntryListModel* listModel;
  QAction *FileSaveAs, *OptionSetting, *OptionNoCompType, *OptionSetDir, *EditSetNameDelete, *EditHistoryEdit,
      *EditHistoryDisp, *EditHistoryVerify, *EditHistoryDelete, *HelpHelp, *HelpVersion, *HelpUnLhaVersion,
      *HisTableDisp, *HisTableVerify;
};
inline MainControls Ui(QarnoWindow& w) { return MainControls(w); }

// Calls `act` with the modal dialog of this objectName as soon as it is shown (from the
// event loop of its exec). Fails the test when none appears within the time.
void OnModal(const QString& objectName, std::function<void(QWidget&)> act, int timeoutMs = 5000);
template <typename T>
void OnDialog(const QString& objectName, std::function<void(T&)> act) {
  OnModal(objectName, [act](QWidget& w) { act(*qobject_cast<T*>(&w)); });
}

// A child of the widget by objectName (the test fails when it is missing).
template <typename T = QWidget>
T* Child(QWidget& parent, const char* name) {
  T* c = parent.findChild<T*>(QLatin1String(name));
  if (!c) ADD_FAILURE() << "no control " << name << " in " << parent.objectName().toStdString();
  return c;
}

// A set file's lines with plain copies (no packing, no reserve, no used size).
QStringList PlainSet(const QString& saveDir, const QStringList& saveList, int level = 2);

// A double-click as a person makes it: a click, then the double-click.
void DoubleClick(QWidget* w, QPoint at);

// The user picks history row `row` (1 = the newest) with a click on it.
void PickHistoryRow(QarnoWindow& w, int row);

// Right-click on a widget as the windows see it: the release of the right button.
void RightClick(QWidget* w, QPoint at = QPoint(5, 5));

}  // namespace qarno::test
