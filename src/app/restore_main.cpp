#include "app/RestoreConsole.h"

#include "app/StopSignals.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
  qarno::InstallStopSignals();
  QCoreApplication app(argc, argv);
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  return qarno::RunRestoreConsole(args);
}
