// The main window's entry to the restore window.
#include "mainwin/windows/DesktopWindows.h"
#include "restore/windows/FRestoreWindow.h"

namespace qarno {

void DesktopWindows::OpenRestore(QarnoWindow& main, std::function<void()> closed) {
  OpenRestoreWindow(main, std::move(closed));
}

}  // namespace qarno
