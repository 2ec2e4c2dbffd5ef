// The main window's entry to the restore window.
#include "mainwin/windows/DesktopWindows.h"

namespace qarno {

void DesktopWindows::OpenRestore(QarnoWindow& main, std::function<void()> closed) {
  UnfinishedWindows::OpenRestore(main, std::move(closed));
}

}  // namespace qarno
