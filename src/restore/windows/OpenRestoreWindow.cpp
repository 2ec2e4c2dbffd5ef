// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's entries to the restore window and the verify window.
#include "mainwin/windows/DesktopWindows.h"
#include "restore/windows/FRestoreWindow.h"
#include "restore/windows/VerifyWindow.h"

namespace qarno {

void DesktopWindows::OpenRestore(QarnoWindow& main, std::function<void()> closed) {
  OpenRestoreWindow(main, std::move(closed));
}

void DesktopWindows::OpenVerify(QarnoWindow& main, int row) { OpenVerifyWindow(main, row); }

}  // namespace qarno
