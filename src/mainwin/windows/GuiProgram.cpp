// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/windows/GuiProgram.h"

#include "app/StopSignals.h"

#include "app/Notify.h"
#include "app/Program.h"
#include "app/QarnoConsole.h"
#include "mainwin/StartMode.h"
#include "mainwin/windows/DesktopWindows.h"
#include "mainwin/windows/QarnoWindow.h"
#include "mainwin/windows/QtPrompter.h"
#include "platform/Language.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QTimer>
#include <cstdio>

namespace qarno {

int RunQarno(int argc, char** argv, ChildWindows* children) {
  if (const int status = RunQarnoWithoutWindows(argc, argv); status >= 0) return status;
  QStringList args;
  for (int i = 1; i < argc; ++i) args += QString::fromLocal8Bit(argv[i]);
  InstallStopSignals();
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  // The desktop finds the menu entry (and so the icon and name) of the windows by this id.
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.qarno.Qarno"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("io.github.qarno.Qarno")));
  InstallUiLanguage(app);
  QtPrompter ui;
  Program program(ui);
  if (!program.ok()) {
    ui.MsgBox(Question::None, QStringLiteral("Qarno"), program.error, Buttons::OK, Icon::Critical);
    std::fprintf(stderr, "Qarno: %s\n", program.error.toLocal8Bit().constData());
    return kExitNoSet;
  }
  Module1& m = *program.m;
  // An unattended run shows no question, also once a failure has turned the automatic run
  // off: nobody is there to answer it.
  // The last question answered by itself, as the user reads it, for the notice of a failure.
  QString lastMessage;
  ui.SetUnattended([&m] { return m.AutoRunMode.Unattended() || m.AutoRunMode.AskedUnattended(); },
                   [&m, &lastMessage](const QString& line, const QString& shown) {
                     m.WriteLog(line);
                     lastMessage = shown.section(QStringLiteral(" -> "), 0, -2);
                   });
  DesktopWindows windows;
  QarnoWindow window(program, children ? *children : windows);

  // Ctrl+C or SIGTERM. A run under way takes the request at its next yield and stops as its
  // Cancel button would stop it (it cleans up and the program ends with status 2 when the
  // run was unattended). When no run takes it within a second, there is none: the program
  // ends with whatever window, dialog or message box is open, with status 0 (or the status
  // of a run that stopped meanwhile), and writes nothing on the way out — unsaved changes of
  // the set are dropped, not half written. A run caught waiting at a question sees the
  // Cancel too: the question is answered as Escape would answer it, and the run stops.
  bool stoppedBySignal = false;
  ui.SetOnYield([&] {
    if (TakeStopRequest()) m.CancelFlag.Set();
  });
  QElapsedTimer pending;
  QTimer stopWatch;
  QObject::connect(&stopWatch, &QTimer::timeout, &window, [&] {
    if (stoppedBySignal || !StopPending()) return;
    if (!pending.isValid()) pending.start();
    if (pending.elapsed() < 1000 || !TakeStopRequest()) return;
    stoppedBySignal = true;
    m.CancelFlag.Set();
    window.StopTimer();
    // Ends every event loop, the dialogs' too; a dialog opened after this ends at once.
    QCoreApplication::exit(window.exitStatus);
  });
  stopWatch.start(100);

  window.Form_Load(JoinCommandLine(args));
  if (stoppedBySignal) return window.exitStatus;
  // An automatic run whose set could not be loaded ends as the command-line program does.
  if (!m.AutoRunMode.Requested() && AsksForAutoRun(JoinCommandLine(args)) && !program.main->setLoaded)
    window.exitStatus = kExitNoSet;
  if (window.exited) {
    if (window.exitStatus == kExitFailed)
      NotifyUnattendedRun(m, program.fs->drives(), kExitFailed, QString(), lastMessage, &program.main->HisTable);
    else if (window.exitStatus == kExitNoSet)
      TellNoSet(*program.main, program.fs->drives());
    return window.exitStatus;
  }
  const int status = app.exec();
  return stoppedBySignal ? window.exitStatus : status;
}

}  // namespace qarno
