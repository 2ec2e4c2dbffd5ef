// SPDX-License-Identifier: GPL-3.0-or-later
// qarno-notify: the helper that shows an unattended run's notification (see app/Notify.h).
// Built only where a freedesktop session bus can exist.
#ifndef _WIN32
#include "app/DesktopNotifier.h"
#include "platform/Language.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  qarno::InstallUiLanguage(app);
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  return qarno::RunNotifyHelper(args);
}
#endif
