// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's entries to the settings, type-list and history dialogs and the shutdown
// confirmation. The main window has locked itself and set OpenDialogKind where it does so.
#include "maintenance/windows/HistoryDialogs.h"
#include "maintenance/windows/SettingDialogs.h"
#include "maintenance/windows/ShutdownDialog.h"
#include "mainwin/windows/DesktopWindows.h"
#include "mainwin/windows/QarnoWindow.h"

namespace qarno {

namespace {
int RunModal(QarnoWindow& main, QDialog& dialog) {
  main.SetOpenChild(&dialog);
  const int result = dialog.exec();
  main.SetOpenChild(nullptr);
  return result;
}
}  // namespace

bool DesktopWindows::OpenSetting(QarnoWindow& main) {
  FSetting dialog(main.m, &main);
  RunModal(main, dialog);
  return dialog.takenOver && dialog.changed;
}

void DesktopWindows::OpenNoCompType(QarnoWindow& main) {
  FNoCompType dialog(main.m, &main);
  RunModal(main, dialog);
}

void DesktopWindows::OpenDelHisData(QarnoWindow& main) {
  FDelHisData dialog(main.main, &main);
  RunModal(main, dialog);
}

void DesktopWindows::OpenEditHisData(QarnoWindow& main, int row) {
  if (row >= 1 && row < main.main.HisTable.Rows()) main.SelectHistoryRow(row);
  FEditHisData dialog(main);
  RunModal(main, dialog);
}

bool DesktopWindows::ConfirmShutdown(QarnoWindow& main) { return ExitWindowsConfirm(main); }

}  // namespace qarno
