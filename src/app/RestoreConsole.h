#pragma once
// qarno-restore: restoring a recorded run without a display.
//
//   qarno-restore SETNAME                        the set's history, newest first
//   qarno-restore SETNAME SAVENAME --list        the run's entries and the saves holding them
//   qarno-restore SETNAME SAVENAME [--to TOPDIR] [--path PATH]... [--search-older] [--ignore-medium]
//
// Exit status: 0 every marked entry restored, 1 some were not, 2 stopped or not started.
#include <QStringList>

namespace qarno {

enum RestoreExitStatus { kRestoreOk = 0, kRestoreIncomplete = 1, kRestoreFailed = 2 };

int RunRestoreConsole(const QStringList& arguments);

}  // namespace qarno
