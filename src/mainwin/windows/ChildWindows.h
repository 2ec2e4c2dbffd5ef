// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the main window opens the windows that other parts of the program bring: the backup
// run window, the restore window, and the settings, type-list and history dialogs. The main
// window does its own part (LockControls, OpenDialogKind, hiding itself) and then calls one
// of these; a window that is not modal calls `closed` when it has closed, and the main window
// takes over again (ChildClosed, Qarno_RestoreState, showing itself).
#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

namespace qarno {

class QarnoWindow;
enum class SaveExecMode : int32_t;

class ChildWindows {
 public:
  virtual ~ChildWindows() = default;
  // FSaveExec, not modal: a backup run of the current set, or the recorded run of the
  // history row selected in the main window. The window takes the main window's window
  // state.
  virtual void OpenSaveExec(QarnoWindow& main, SaveExecMode execMode, std::function<void()> closed) = 0;
  // FRestore, not modal, for the history row selected in the main window.
  virtual void OpenRestore(QarnoWindow& main, std::function<void()> closed) = 0;
  // FSetting, modal. True when the settings changed (the set then counts as changed).
  virtual bool OpenSetting(QarnoWindow& main) = 0;
  // FVerify, modal: verifies history row `row` (1 = the newest) of the current set.
  virtual void OpenVerify(QarnoWindow& main, int row) = 0;
  // FNoCompType, modal.
  virtual void OpenNoCompType(QarnoWindow& main) = 0;
  // FDelHisData, modal: deletes history rows (and maybe their saves).
  virtual void OpenDelHisData(QarnoWindow& main) = 0;
  // FEditHisData, modal: the details of history row `row` (1 = the newest).
  virtual void OpenEditHisData(QarnoWindow& main, int row) = 0;
  // FShutdown, after an automatic run with /S, before the program ends: true when the
  // program may end.
  virtual bool ConfirmShutdown(QarnoWindow& main) = 0;
};

}  // namespace qarno
