// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's entries to the backup run window and the recorded-run view.
#include "engine/windows/RunWindow.h"
#include "mainwin/windows/DesktopWindows.h"

namespace qarno {

void DesktopWindows::OpenSaveExec(QarnoWindow& main, SaveExecMode, std::function<void()> closed) {
  // The mode is the main window's ExecMode, which it set when it handed over.
  OpenRunWindow(main, std::move(closed));
}

}  // namespace qarno
