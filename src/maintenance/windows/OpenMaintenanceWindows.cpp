// The main window's entries to the settings, type-list and history dialogs and the shutdown
// confirmation.
#include "mainwin/windows/DesktopWindows.h"

namespace qarno {

bool DesktopWindows::OpenSetting(QarnoWindow& main) { return UnfinishedWindows::OpenSetting(main); }
void DesktopWindows::OpenNoCompType(QarnoWindow& main) { UnfinishedWindows::OpenNoCompType(main); }
void DesktopWindows::OpenDelHisData(QarnoWindow& main) { UnfinishedWindows::OpenDelHisData(main); }
void DesktopWindows::OpenEditHisData(QarnoWindow& main, int row) { UnfinishedWindows::OpenEditHisData(main, row); }
bool DesktopWindows::ConfirmShutdown(QarnoWindow& main) { return UnfinishedWindows::ConfirmShutdown(main); }

}  // namespace qarno
