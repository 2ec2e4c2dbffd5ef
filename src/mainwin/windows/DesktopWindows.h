// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The windows the desktop program opens from its main window: the backup run window and the
// recorded-run view, the restore window, the settings, type-list and history dialogs and the
// shutdown confirmation. Each subsystem's windows/ folder defines its entries (see the files
// named in each comment).
#include "mainwin/windows/ChildWindows.h"

namespace qarno {

class DesktopWindows : public ChildWindows {
 public:
  // engine/windows: FSaveExec.
  void OpenSaveExec(QarnoWindow& main, SaveExecMode execMode, std::function<void()> closed) override;
  // restore/windows: FRestore, FVerify.
  void OpenRestore(QarnoWindow& main, std::function<void()> closed) override;
  void OpenVerify(QarnoWindow& main, int row) override;
  // maintenance/windows: FSetting, FNoCompType, FDelHisData, FEditHisData, FShutdown.
  bool OpenSetting(QarnoWindow& main) override;
  void OpenNoCompType(QarnoWindow& main) override;
  void OpenDelHisData(QarnoWindow& main) override;
  void OpenEditHisData(QarnoWindow& main, int row) override;
  bool ConfirmShutdown(QarnoWindow& main) override;
};

}  // namespace qarno
