// The main window's entries to the backup run window and the recorded-run view.
#include "mainwin/windows/DesktopWindows.h"

namespace qarno {

void DesktopWindows::OpenSaveExec(QarnoWindow& main, int execMode, std::function<void()> closed) {
  UnfinishedWindows::OpenSaveExec(main, execMode, std::move(closed));
}

}  // namespace qarno
