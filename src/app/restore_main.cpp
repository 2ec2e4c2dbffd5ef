// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RestoreConsole.h"

#include "app/StopSignals.h"
#include "platform/Language.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
  qarno::InstallStopSignals();
  QCoreApplication app(argc, argv);
  qarno::InstallUiLanguage(app);
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  return qarno::RunRestoreConsole(args);
}
