#include "mainwin/ConsoleApp.h"

#include "common/Settings.h"
#include "engine/FSaveExec.h"
#include "mainwin/Qarno.h"
#include "platform/HostPlatform.h"
#include "platform/ProgramFolder.h"
#include "platform/WinPath.h"

#include <QElapsedTimer>
#include <cstdio>
#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define STDERR_FILENO 2
#else
#include <unistd.h>
#endif

namespace qarno {

QString JoinCommandLine(const QStringList& arguments) {
  QStringList parts;
  for (const QString& a : arguments) parts += a.contains(u' ') ? u'"' + a + u'"' : a;
  return parts.join(u' ');
}

namespace {
void Print(const QString& text) { std::fprintf(stdout, "%s\n", text.toLocal8Bit().constData()); }

// One progress line on a terminal, refreshed with the window timer's texts.
class ProgressLine {
 public:
  explicit ProgressLine(bool enabled) : enabled_(enabled) { timer_.start(); }
  void Tick(FSaveExec* run) {
    if (!enabled_ || !run || timer_.elapsed() < 300) return;
    timer_.restart();
    Show(run);
  }
  void Show(FSaveExec* run) {
    if (!enabled_ || !run) return;
    const ProgressView v = run->Timer1_Timer();
    QString text = v.status;
    text.replace(u'\r', QStringLiteral("  "));
    QString line = QStringLiteral("[%1%] ").arg(v.overall, 3) + text;
    if (line.size() > 150) line = line.left(147) + QStringLiteral("...");
    std::fprintf(stderr, "\r\033[K%s", line.toLocal8Bit().constData());
    std::fflush(stderr);
    shown_ = true;
  }
  void End() {
    if (shown_) std::fprintf(stderr, "\n");
    shown_ = false;
  }

 private:
  bool enabled_;
  bool shown_ = false;
  QElapsedTimer timer_;
};

// The backup command: save what changed, then the run window's run.
int BackUp(Module1& m, Qarno& main, ProgressLine& progress, FSaveExec*& current) {
  m.WriteDebug(1000, "BackUp_Click");
  if (m.set.Name.isEmpty()) {
    m.Warn(m.MainCaption, QStringLiteral("セット名を指定してください。"));
    return kExitNoSet;
  }
  m.WriteDebug(1001);
  if (!main.SaveBeforeAction()) return kExitFailed;
  m.WriteDebug(1002);
  m.OpenDialogKind = 4;
  m.ExecMode = 1;
  m.WriteDebug(1003);
  FSaveExec run(m, main);
  current = &run;
  run.Form_Load();
  run.OK_Click();
  progress.Show(&run);
  progress.End();
  current = nullptr;
  // The window closes: the main window takes over again.
  m.OpenDialogKind = 0;
  m.ExecMode = 0;
  m.WriteDebug(1004);
  if (!run.succeeded) return kExitFailed;
  return run.uncopiedCount > 0 ? kExitUncopied : kExitOk;
}
}  // namespace

int RunConsole(const QStringList& arguments) {
  auto store = OpenSettingsStore();
  HostPlatform fs(LoadDriveTable(*store));
  HeadlessPrompter ui;
  const QString hostFolder = ProgramFolderHost();
  const auto programFolder = fs.drives().FromHost(hostFolder);
  if (!programFolder) {
    std::fprintf(stderr, "Qarno: the program folder %s lies on no drive of the drive table\n",
                 hostFolder.toLocal8Bit().constData());
    return kExitNoSet;
  }
  Module1 m(fs, ui, *programFolder);
  LoadedArchiver archiver(store->value(QStringLiteral("Startup Setting/ArchiverPath")).toString());
  m.archiver = &archiver;
  m.ProgramVersion = Qarno::MakeProgramVersion(QARNO_VERSION_MAJOR, QARNO_VERSION_MINOR, QARNO_VERSION_PATCH);
  ui.SetLogSink([&m](const QString& line) { m.WriteLog(line); });
  Qarno main(m);
  main.store = store.get();
  main.Form_Load(JoinCommandLine(arguments));
  const QString method = m.settings.LhaMethod.toLower();
  if (method == u"lh6" || method == u"lh7") archiver.SetMethod(method == u"lh6" ? 6 : 7);

  FSaveExec* current = nullptr;
  ProgressLine progress(::isatty(STDERR_FILENO) && m.AutoRunMode >= 0);
  ui.SetOnYield([&] { progress.Tick(current); });

  if (m.set.Name.isEmpty()) {
    std::fprintf(stderr, "usage: Qarno SETNAME [/Ln] [/Bn] [/Cn] [/Wn] [/S] [/Dn]\n");
    main.SaveIfChanged();
    return kExitNoSet;
  }
  if (!main.setLoaded) {
    main.SaveIfChanged();
    return kExitNoSet;
  }
  if (m.AutoRunMode < 0) {
    Print(QStringLiteral("セット名: ") + m.set.Name);
    Print(QStringLiteral("保存先: ") + m.set.SaveDir);
    Print(QStringLiteral("保存レベル: ") + Qarno::GetSaveLevelCaption(m.set.SaveLevel));
    Print(QStringLiteral("保存リスト: %1 / スキップリスト: %2 / 履歴: %3")
              .arg(m.set.SaveList.size())
              .arg(m.set.SkipList.size())
              .arg(main.HisTable.Rows() - 1));
  }
  int status = kExitOk;
  if (m.AutoRunMode >= 0) status = BackUp(m, main, progress, current);
  // The exit command (after an automatic run, what the main window's timer runs).
  if (!main.SaveIfChanged()) return kExitFailed;
  if (m.ShutdownAfterRun && m.AutoRunMode >= 1) {
    const QString note = QStringLiteral("Windowsの終了は、このバージョンではできません。");
    m.WriteLog(note);
    m.CloseLogFile();
    std::fprintf(stderr, "%s\n", note.toLocal8Bit().constData());
  }
  return status;
}

}  // namespace qarno
