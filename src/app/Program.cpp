// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Program.h"

#include "app/PowerOff.h"
#include "app/QarnoConsole.h"
#include "app/StopSignals.h"
#include "common/Settings.h"
#include "maintenance/NoCompTypes.h"
#include "mainwin/StartMode.h"
#include "platform/InstallLayout.h"
#include "platform/Language.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace qarno {

Program::Program(Prompter& ui) {
  store = OpenSettingsStore();
  fs = std::make_unique<HostPlatform>(LoadDriveTable(*store));
#ifndef _WIN32
  fs->SetPowerOff(LogindPowerOff);
#endif
  archiver = std::make_unique<LoadedArchiver>(store->value(QStringLiteral("Startup Setting/ArchiverPath")).toString());
  const QString hostFolder = ProgramFolderHost();
  SeedProgramFolder(hostFolder);
  const auto programFolder = fs->drives().FromHost(hostFolder);
  if (!programFolder) {
    error = QCoreApplication::translate("Program", "プログラムフォルダー %1 はドライブ表のどのドライブにもありません")
                .arg(hostFolder);
    return;
  }
  m = std::make_unique<Module1>(*fs, ui, *programFolder);
  m->archiver = archiver.get();
#ifndef _WIN32
  if (const auto settingsFolder = fs->drives().FromHost(QFileInfo(SettingsStorePath()).path()))
    m->SettingsFolder = *settingsFolder;
#endif
  m->ProgramVersion = Qarno::MakeProgramVersion(QARNO_VERSION_MAJOR, QARNO_VERSION_MINOR, QARNO_VERSION_PATCH);
  main = std::make_unique<Qarno>(*m);
  main->store = store.get();
}

void Program::Form_Load(const QString& commandLine) {
  main->Form_Load(commandLine);
  // A switch the program does not know is told, and the run goes on without it, as it
  // always has: a scheduled job with a typo still makes its backup.
  for (const Words& problem : SwitchProblemWords(commandLine)) {
    std::fprintf(stderr, "Qarno: %s\n", problem.Shown().toLocal8Bit().constData());
    if (main->setLoaded) m->WriteLog(problem.Own());
  }
  ReadNctFile(*m);
  const QString method = m->settings.LhaMethod.toLower();
  if (method == u"lh6") archiver->SetMethod(6);
  else if (method == u"lh7") archiver->SetMethod(7);
}

bool Program::Exit() {
  // An unattended run never leaves its settings behind, also when a failed write turned its
  // automatic run off on the way.
  if (!m->AutoRunMode.Requested() && !m->AutoRunMode.AskedUnattended() && store)
    SaveSettings(*store, m->settings, m->set);
  WriteNctFile(*m);
  m->CloseDebugFile();
  return main->SaveIfChanged();
}

QString SetNotLoadedText(const Qarno& main, const DriveTable& drives) {
  const Module1& m = main.m;
  auto host = [&drives](const QString& path) { return drives.ToHost(path).value_or(path); };
  const QString file = main.SetFilePath();
  if (m.fs.Exists(file))
    return QCoreApplication::translate("Program", "セット「%1」のファイル %2 を読み込めませんでした")
        .arg(m.set.Name, host(file));
  return QCoreApplication::translate("Program", "セット「%1」が見つかりません (探した場所: %2)")
      .arg(m.set.Name, host(m.SetFolder));
}

TerminalLine::TerminalLine(bool enabled) : enabled_(enabled) { timer_.start(); }

bool TerminalLine::Due() {
  if (!enabled_ || timer_.elapsed() < 300) return false;
  timer_.restart();
  return true;
}

void TerminalLine::Show(QString text) {
  if (!enabled_) return;
  text.replace(u'\r', QStringLiteral("  "));
  if (text.size() > 150) text = text.left(147) + QStringLiteral("...");
  std::fprintf(stderr, "\r\033[K%s", text.toLocal8Bit().constData());
  std::fflush(stderr);
  shown_ = true;
}

void TerminalLine::End() {
  if (shown_) std::fprintf(stderr, "\n");
  shown_ = false;
}

bool StderrIsTerminal() {
#ifdef _WIN32
  return _isatty(2);
#else
  return ::isatty(STDERR_FILENO);
#endif
}

bool DisplayAvailable() {
#ifdef _WIN32
  return true;
#else
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#endif
}

QString NoDisplayMessage() {
  return QCoreApplication::translate("Program",
                                     "Qarno: ウィンドウを開くディスプレイがありません (DISPLAY が設定されていません)。"
                                     "セットを無人で実行するには /B2 を付けて指定します。例: Qarno SETNAME /B2");
}

int RunQarnoWithoutWindows(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args += QString::fromLocal8Bit(argv[i]);
  if (!AsksForHelpOrVersion(args) && DisplayAvailable()) return -1;
  const bool autoRun = AsksForAutoRun(JoinCommandLine(args));
  if (autoRun) InstallStopSignals();
  // Whatever is said from here on is said in the user's language, which needs the
  // application object first.
  QCoreApplication app(argc, argv);
  InstallUiLanguage(app);
  if (const int status = HelpOrVersion(args, stdout); status >= 0) return status;
  if (autoRun) return RunConsole(args);
  std::fprintf(stderr, "%s\n", NoDisplayMessage().toLocal8Bit().constData());
  return kExitNoSet;
}

}  // namespace qarno
