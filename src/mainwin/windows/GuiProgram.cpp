#include "mainwin/windows/GuiProgram.h"

#include "app/StopSignals.h"

#include "app/Program.h"
#include "app/QarnoConsole.h"
#include "mainwin/StartMode.h"
#include "mainwin/windows/DesktopWindows.h"
#include "mainwin/windows/QarnoWindow.h"
#include "mainwin/windows/QtPrompter.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <cstdio>

namespace qarno {

bool DisplayAvailable() {
#ifdef _WIN32
  return true;
#else
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#endif
}

QString NoDisplayMessage() {
  return QStringLiteral(
      "Qarno: no display to open the window on (DISPLAY is not set); to run a set unattended, "
      "give it with /B2, e.g.: Qarno SETNAME /B2");
}

int RunQarno(int argc, char** argv, ChildWindows* children) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args += QString::fromLocal8Bit(argv[i]);
  if (const int status = HelpOrVersion(args, stdout); status >= 0) return status;
  if (!DisplayAvailable()) {
    if (AsksForAutoRun(JoinCommandLine(args))) {
      InstallStopSignals();
      QCoreApplication app(argc, argv);
      return RunConsole(args);
    }
    std::fprintf(stderr, "%s\n", NoDisplayMessage().toLocal8Bit().constData());
    return kExitNoSet;
  }
  InstallStopSignals();
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  // The desktop finds the menu entry (and so the icon and name) of the windows by this id.
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.qarno.Qarno"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("io.github.qarno.Qarno")));
  InstallQtJapanese();
  QtPrompter ui;
  Program program(ui);
  if (!program.ok()) {
    ui.MsgBox(Question::None, QStringLiteral("Qarno"), program.error, Buttons::OK, Icon::Critical);
    std::fprintf(stderr, "Qarno: %s\n", program.error.toLocal8Bit().constData());
    return kExitNoSet;
  }
  Module1& m = *program.m;
  ui.SetUnattended([&m] { return m.AutoRunMode.Unattended(); }, [&m](const QString& line) { m.WriteLog(line); });
  DesktopWindows windows;
  QarnoWindow window(program, children ? *children : windows);
  window.Form_Load(JoinCommandLine(args));
  // An automatic run whose set could not be loaded ends as the command-line program does.
  if (!program.m->AutoRunMode.Requested() && AsksForAutoRun(JoinCommandLine(args)) && !program.main->setLoaded)
    window.exitStatus = kExitNoSet;
  if (window.exited) return window.exitStatus;
  // Ctrl+C or SIGTERM: a run under way stops at its next yield as its Cancel button would
  // stop it; with no window over the main window, the program ends as its exit command ends
  // it.
  ui.SetOnYield([&] {
    if (TakeStopRequest()) program.m->CancelFlag.Set();
  });
  QTimer stopWatch;
  QObject::connect(&stopWatch, &QTimer::timeout, &window, [&] {
    if (program.m->OpenDialogKind == 0 && TakeStopRequest()) window.close();
  });
  stopWatch.start(100);
  return app.exec();
}

}  // namespace qarno
