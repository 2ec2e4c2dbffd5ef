#pragma once
// How the main window opens the windows that other parts of the program bring: the backup
// run window, the restore window, and the settings, type-list and history dialogs. The main
// window does its own part (LockControls, OpenDialogKind, hiding itself) and then calls one
// of these; a window that is not modal calls `closed` when it has closed, and the main window
// takes over again (ChildClosed, Qarno_RestoreState, showing itself).
//
// UnfinishedWindows is what the program has until those windows exist: every command opens
// a window that says it is not finished, except the backup run and the recorded-run view,
// which open the run window, and the verification of a run, which opens the verify window.
// A later window plugs in by deriving from UnfinishedWindows and overriding its own entry.
#include <QString>
#include <functional>

class QWidget;

namespace qarno {

class QarnoWindow;

class ChildWindows {
 public:
  virtual ~ChildWindows() = default;
  // FSaveExec, not modal: execMode 1 carries out a backup run of the current set, 2 shows
  // the recorded run of the history row selected in the main window. The window takes the
  // main window's window state.
  virtual void OpenSaveExec(QarnoWindow& main, int execMode, std::function<void()> closed) = 0;
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

class UnfinishedWindows : public ChildWindows {
 public:
  void OpenSaveExec(QarnoWindow& main, int execMode, std::function<void()> closed) override;
  void OpenRestore(QarnoWindow& main, std::function<void()> closed) override;
  bool OpenSetting(QarnoWindow& main) override;
  // The real verify window (restore/windows/VerifyWindow.h).
  void OpenVerify(QarnoWindow& main, int row) override;
  void OpenNoCompType(QarnoWindow& main) override;
  void OpenDelHisData(QarnoWindow& main) override;
  void OpenEditHisData(QarnoWindow& main, int row) override;
  bool ConfirmShutdown(QarnoWindow& main) override;

  // The window that stands in for an unfinished one: its caption, and what to use instead.
  static void ShowUnfinished(QarnoWindow& main, const QString& objectName, const QString& caption,
                             const QString& instead, std::function<void()> closed = nullptr);
};

}  // namespace qarno
