// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QarnoConsole.h"

#include "app/Notify.h"
#include "app/Program.h"
#include "app/RunJournal.h"
#include "app/StopSignals.h"
#include "engine/FSaveExec.h"
#include "maintenance/ShutdownCountdown.h"
#include "platform/Words.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

namespace qarno {

namespace {
struct QarnoConsole {
  Q_DECLARE_TR_FUNCTIONS(QarnoConsole)
};

// A level's name in the user's language, for the help and the summary; the history and the
// journal keep the program's own ("Level-0" is the same in every language).
QString ShownLevelName(Level level) {
  [[maybe_unused]] static const char* const translated[] = {QT_TRANSLATE_NOOP("QarnoConsole", "上書き"),
                                                            QT_TRANSLATE_NOOP("QarnoConsole", "修復")};
  return QarnoConsole::tr(LevelName(level).toUtf8().constData());
}
}  // namespace

QString JoinCommandLine(const QStringList& arguments) {
  QStringList parts;
  for (const QString& a : arguments) parts += a.contains(u' ') ? u'"' + a + u'"' : a;
  return parts.join(u' ');
}

namespace {
void Print(const QString& text) { std::fprintf(stdout, "%s\n", text.toLocal8Bit().constData()); }

// The run window timer's texts, on one line; during the copy also its rate and the time it
// still needs.
QString ProgressText(const FSaveExec& run, int& overall, CopyRate& rate) {
  const ProgressView v = run.Describe(overall);
  overall = v.overall;
  const QString speed = rate.Text(run.state().progress);
  return QStringLiteral("[%1%] ").arg(v.overall, 3) + (speed.isEmpty() ? QString() : speed + QStringLiteral("  ")) + v.status;
}

// What an unattended run tells the desktop when it did not end cleanly.
struct RunReport {
  QString saveName;
  QString what;         // what went wrong, as the user reads it
  QString lastMessage;  // the last message the run showed (and answered by itself)
  bool stopped = false; // a stop signal cancelled it
  QString summary;      // the facts of the journal's summary line
};

// The backup command and the run window's run, as the main window would do them.
int BackUp(Module1& m, Qarno& main, TerminalLine& progress, FSaveExec*& current, int& overall, CopyRate& rate,
           RunReport& report) {
  report.lastMessage.clear();
  report.summary = BackupSummaryFacts(m, RunState());
  if (!main.CheckBeforeRun()) {
    report.what = report.lastMessage;
    return m.set.Name.isEmpty() ? kExitNoSet : kExitFailed;
  }
  main.OpenChild(DialogKind::SaveExec, SaveExecMode::Run);
  FSaveExec run(m, main);
  current = &run;
  run.Form_Load();
  run.OK_Click();
  if (run.state().outcome.fellBackToLevel0) m.set.SaveLevel = Level::Level0;
  progress.Show(ProgressText(run, overall, rate));
  progress.End();
  current = nullptr;
  main.ChildClosed();
  report.summary = BackupSummaryFacts(m, run.state());
  const RunOutcome& outcome = run.state().outcome;
  report.saveName = run.state().texts.TNewSetName;
  const ExitStatus status = ExitStatusOf(outcome);
  if (status == kExitFailed) {
    report.what = report.stopped                  ? QarnoConsole::tr("中止されました。")
                  : !report.lastMessage.isEmpty() ? report.lastMessage
                                                  : QarnoConsole::tr("保存が完了しませんでした。");
  } else if (status == kExitUncopied) {
    report.what = QarnoConsole::tr("%n 個コピーできませんでした。", nullptr, outcome.uncopiedCount);
  }
  return status;
}
// The 30-second confirmation of the window, on standard error; a stop signal during the
// run or the countdown keeps the computer on.
void ShutDownAfterRun(Module1& m, const RunReport& report) {
  Words note;
  if (report.stopped)
    note = TrWords("QarnoConsole", "保存が中止されたため、コンピューターの電源は切りません。");
  else if (!ConsoleShutdownCountdown(TakeStopRequest, [] { QThread::msleep(100); }, stderr))
    note = TrWords("QarnoConsole", "コンピューターの終了は取り消されました。");
  else if (!m.fs.ShutdownComputer())
    note = TrWords("QarnoConsole", "コンピューターを終了できませんでした。");
  if (!note.Own().isEmpty()) {
    std::fprintf(stderr, "Qarno: %s\n", note.Shown().toLocal8Bit().constData());
    m.WriteLog(note.Own());
  }
  m.CloseLogFile();
}
}  // namespace

ExitStatus ExitStatusOf(const RunOutcome& outcome) {
  if (!outcome.succeeded) return kExitFailed;
  return outcome.uncopiedCount > 0 ? kExitUncopied : kExitOk;
}

bool AsksForHelpOrVersion(const QStringList& arguments) {
  return arguments.contains(QStringLiteral("--version")) || arguments.contains(QStringLiteral("--help")) ||
         arguments.contains(QStringLiteral("-h"));
}

int HelpOrVersion(const QStringList& arguments, std::FILE* out) {
  if (arguments.contains(QStringLiteral("--version"))) {
    std::fprintf(out, "Qarno %d.%d.%d\n", QARNO_VERSION_MAJOR, QARNO_VERSION_MINOR, QARNO_VERSION_PATCH);
    return kExitOk;
  }
  if (!AsksForHelpOrVersion(arguments)) return -1;
  // The level numbers of /Ln, named as the level box names them.
  QStringList levels;
  for (int n = 0; n < kLevelCount; ++n) levels << QString::number(n) + u' ' + ShownLevelName(LevelOfNumber(n));
  const QString usage = QarnoConsole::tr(
      "使い方: Qarno [SETNAME] [/Ln] [/Bn] [/Cn] [/Wn] [/S] [/Dn]\n"
      "  SETNAME  読み込むセットの名前 (空白を含む名前は \"...\" で囲む)\n"
      "  /Ln  保存レベル: %1\n"
      "  /Bn  すぐに保存を始める: 1 以上 終了後にプログラムを閉じる, 2 以上 質問に安全な答え (無人実行),\n"
      "       3 以上 メディアの変化も無視\n"
      "  /Cn  0 圧縮しない, 1 ファイルごとに LHA で圧縮\n"
      "  /Wn  ウィンドウ: 0 通常, 1 最小化, 2 最大化\n"
      "  /S   保存の後でコンピューターを終了 (/B1 を含む)\n"
      "  /Dn  Qarno.deb にデバッグ記録: 1 ファイル名つき, 2 ファイル名なし\n"
      "  -h, --help  この説明    --version  バージョン\n"
      "終了状態: 0 成功, 1 成功 (コピーできなかった項目あり), 2 失敗または中止, 3 セットを読み込めない\n");
  std::fputs(usage.arg(levels.join(QStringLiteral(", "))).toUtf8().constData(), out);
  return kExitOk;
}

void TellNoSet(const Qarno& main, const DriveTable& drives) {
  if (!main.refusedSetName.isEmpty()) return;
  if (main.m.set.Name.isEmpty())
    std::fprintf(stderr, "%s\n",
                 QarnoConsole::tr("使い方: Qarno SETNAME [/Ln] [/Bn] [/Cn] [/Wn] [/S] [/Dn]  (説明は Qarno --help)")
                     .toLocal8Bit()
                     .constData());
  else if (!main.setLoaded)
    std::fprintf(stderr, "Qarno: %s\n", SetNotLoadedText(main, drives).toLocal8Bit().constData());
}

bool ConsoleShutdownCountdown(const std::function<bool()>& stop, const std::function<void()>& wait, std::FILE* out) {
  ShutdownCountdown countdown;
  std::fprintf(out, "Qarno: %s\n",
               QarnoConsole::tr("コンピューターを終了します (Ctrl+C で取り消し)").toLocal8Bit().constData());
  std::fflush(out);
  for (;;) {
    for (int i = 0; i < 10; ++i) {
      if (stop()) return false;
      wait();
    }
    const bool done = countdown.Tick();
    std::fprintf(out, "Qarno: %s\n", countdown.StatusText().toLocal8Bit().constData());
    std::fflush(out);
    if (done) return true;
  }
}

int RunConsole(const QStringList& arguments) {
  HeadlessPrompter ui;
  Program program(ui);
  if (!program.ok()) {
    std::fprintf(stderr, "Qarno: %s\n", program.error.toLocal8Bit().constData());
    return kExitNoSet;
  }
  Module1& m = *program.m;
  Qarno& main = *program.main;
  RunReport report;
  // The log keeps the program's own words; the notice of a failure repeats what the user read.
  ui.SetLogSink([&m, &report](const QString& line, const QString& shown) {
    m.WriteLog(line);
    report.lastMessage = shown.section(QStringLiteral(" -> "), 0, -2);  // without the answer
  });
  program.Form_Load(JoinCommandLine(arguments));

  FSaveExec* current = nullptr;
  int overall = 0;
  TerminalLine progress(StderrIsTerminal() && m.AutoRunMode.Requested());
  CopyRate rate;
  // A terminal has the progress line; a journal or a mail gets a line every 30 seconds.
  RunJournal journal(QStringLiteral("Qarno"), !StderrIsTerminal());
  ui.SetOnYield([&] {
    if (TakeStopRequest()) {  // a stop signal acts as the Cancel button
      m.CancelFlag.Set();
      report.stopped = true;
    }
    if (current && progress.Due()) progress.Show(ProgressText(*current, overall, rate));
    if (current) journal.Tick([&] { return BackupProgressFacts(current->state().progress); });
  });

  if (m.set.Name.isEmpty() || !main.setLoaded) {
    TellNoSet(main, program.fs->drives());
    program.Exit();
    return kExitNoSet;
  }
  if (m.AutoRunMode.asked >= 0 && !m.AutoRunMode.Requested()) {
    // The set was read, its history was not (or could not be made): the run asked for
    // fails, as it would without a history to compare with, rather than not happening.
    report.what = report.lastMessage;
    program.Exit();
    NotifyUnattendedRun(m, program.fs->drives(), kExitFailed, QString(), report.what, &main.HisTable);
    return kExitFailed;
  }
  if (!m.AutoRunMode.Requested()) {
    Print(QarnoConsole::tr("セット名: %1").arg(m.set.Name));
    Print(QarnoConsole::tr("保存先: %1").arg(m.set.SaveDir));
    Print(QarnoConsole::tr("保存レベル: %1").arg(ShownLevelName(m.set.SaveLevel)));
    Print(QarnoConsole::tr("保存リスト: %1 / スキップリスト: %2 / 履歴: %3")
              .arg(m.set.SaveList.size())
              .arg(m.set.SkipList.size())
              .arg(main.HisTable.Rows() - 1));
  }
  int status = kExitOk;
  // A failed write during the run turns the automatic run off; it still was one.
  const bool unattended = m.AutoRunMode.Requested();
  if (unattended) {
    journal.Start(BackupStartFacts(m));
    status = BackUp(m, main, progress, current, overall, rate, report);
  }
  // The exit command (after an automatic run, what the main window's timer runs).
  const bool saved = program.Exit();
  if (!saved) {
    status = kExitFailed;
    report.what = QarnoConsole::tr("セットファイルまたは履歴ファイルが保存できませんでした。");
  }
  if (unattended) NotifyUnattendedRun(m, program.fs->drives(), status, report.saveName, report.what, &program.main->HisTable);
  if (unattended) {
    if (status != kExitOk) journal.Failure(report.what);
    journal.Summary(report.summary, status, program.fs->drives().ToHost(m.LogFilePath()).value_or(m.LogFilePath()));
  }
  if (!saved) return kExitFailed;
  if (m.ShutdownAfterRun && m.AutoRunMode.EndsProgram()) ShutDownAfterRun(m, report);
  return status;
}

}  // namespace qarno
