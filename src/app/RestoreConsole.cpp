// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RestoreConsole.h"

#include "app/Notify.h"
#include "app/Program.h"
#include "app/RunJournal.h"
#include "app/StopSignals.h"
#include "common/Settings.h"
#include "mainwin/SetNames.h"
#include "platform/WinPath.h"
#include "records/Pruning.h"
#include "records/SaveLayout.h"
#include "mainwin/Staleness.h"
#include "restore/FRestore.h"
#include "restore/RunFinder.h"
#include "restore/RunVerifier.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace qarno {

namespace {

struct RestoreConsole {
  Q_DECLARE_TR_FUNCTIONS(RestoreConsole)
};

void Out(const QString& text) { std::fprintf(stdout, "%s\n", text.toLocal8Bit().constData()); }
void Err(const QString& text) { std::fprintf(stderr, "qarno-restore: %s\n", text.toLocal8Bit().constData()); }

void Help() {
  const QString help = RestoreConsole::tr(
      "使い方: qarno-restore SETNAME                        セットの履歴 (新しい順)\n"
      "        qarno-restore SETNAME SAVENAME --list        その回の項目と、それを持つ保存\n"
      "        qarno-restore SETNAME SAVENAME [--to TOPDIR] [--path PATH]... [--search-older] [--ignore-medium]\n"
      "                                                     その回を復元 (元の場所へ、または TOPDIR の下へ)\n"
      "        qarno-restore SETNAME SAVENAME --verify [--full]  その回のコピーを検証\n"
      "        qarno-restore SETNAME --find PATTERN          パターンに合うパスを持つ回をすべて探す\n"
      "        qarno-restore SETNAME --status [--notify]     レベルごとの最後の回と、古くなっていないか\n"
      "        qarno-restore SETNAME --prune [--dry-run] [--keep-chains N] [--keep-days D]\n"
      "                                                     古い保存をセットの方針で整理 (系列ごと)\n"
      "  --to TOPDIR       TOPDIR\\Drive_X\\... の下に復元する (Windows のパス、例 T:\\restore)\n"
      "  --path PATH       PATH とその下だけを復元する (繰り返し可)\n"
      "  --search-older    その回にない項目を古い回から探すことに同意する\n"
      "  --ignore-medium   履歴と違うメディアでも続ける\n"
      "  --dry-run         何も削除せず、削除される回と解放されるサイズを表示する\n"
      "  --keep-chains N   今回だけ、新しい N 系列を残す (0 は指定なし)\n"
      "  --keep-days D     今回だけ、最新の回が D 日より新しい系列を残す (0 は指定なし)\n"
      "  --debug N         Qarno.deb にデバッグ記録: 0 なし, 1 ファイル名つき, 2 ファイル名なし\n"
      "  -h, --help        この説明    --version  バージョン\n"
      "終了状態: 0 すべて復元, 1 復元できなかった項目あり, 2 中止または開始できず\n"
      "  --verify: 0 問題なし, 1 問題あり, 2 実行できず   --find: 0 見つかった, 1 なし, 2 実行できず\n"
      "  --status: 0 期限内 (または警告なし), 1 古くなっている, 2 実行できず\n"
      "  --prune: 0 整理した (または削除するものなし), 2 失敗\n");
  std::fputs(help.toUtf8().constData(), stdout);
}

struct Options {
  QString setName, saveName, topDir, findPattern;
  QStringList paths;
  bool list = false;
  bool verify = false;
  bool full = false;
  bool find = false;
  bool status = false;
  bool notify = false;
  bool prune = false;
  bool dryRun = false;
  int keepChains = -1;  // -1: the set's own
  int keepDays = -1;
  bool searchOlder = false;
  bool ignoreMedium = false;
  bool help = false;
  bool version = false;
  int debug = 0;
};

// The options, or what is wrong with them (one line naming the option).
QString ParseArguments(const QStringList& args, Options& o) {
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringLiteral("version"));
  const QCommandLineOption to(QStringLiteral("to"), QString(), QStringLiteral("TOPDIR"));
  const QCommandLineOption path(QStringLiteral("path"), QString(), QStringLiteral("PATH"));
  const QCommandLineOption debug(QStringLiteral("debug"), QString(), QStringLiteral("N"));
  const QCommandLineOption find(QStringLiteral("find"), QString(), QStringLiteral("PATTERN"));
  const QCommandLineOption list(QStringLiteral("list")), verify(QStringLiteral("verify")), full(QStringLiteral("full")),
      status(QStringLiteral("status")), notify(QStringLiteral("notify")), searchOlder(QStringLiteral("search-older")),
      ignoreMedium(QStringLiteral("ignore-medium"));
  const QCommandLineOption prune(QStringLiteral("prune")), dryRun(QStringLiteral("dry-run"));
  const QCommandLineOption keepChains(QStringLiteral("keep-chains"), QString(), QStringLiteral("N"));
  const QCommandLineOption keepDays(QStringLiteral("keep-days"), QString(), QStringLiteral("D"));
  parser.addOptions({help, version, to, path, debug, find, list, verify, full, status, notify, searchOlder, ignoreMedium,
                     prune, dryRun, keepChains, keepDays});
  if (!parser.parse(QStringList{QStringLiteral("qarno-restore")} + args)) return parser.errorText();
  o.help = parser.isSet(help);
  o.version = parser.isSet(version);
  if (o.help || o.version) return QString();
  o.topDir = parser.value(to);
  o.paths = parser.values(path);
  if (parser.isSet(debug)) {
    bool ok = false;
    o.debug = parser.value(debug).toInt(&ok);
    if (!ok || o.debug < 0 || o.debug > 2)
      return RestoreConsole::tr("--debug の値は 0, 1, 2 のどれかです: %1").arg(parser.value(debug));
  }
  const QStringList patterns = parser.values(find);
  if (patterns.size() > 1) return RestoreConsole::tr("--find は一度だけ指定できます");
  if (patterns.size() == 1 && patterns[0].isEmpty()) return RestoreConsole::tr("--find のパターンが空です");
  o.find = patterns.size() == 1;
  o.findPattern = patterns.value(0);
  o.list = parser.isSet(list);
  o.verify = parser.isSet(verify);
  o.full = parser.isSet(full);
  o.status = parser.isSet(status);
  o.notify = parser.isSet(notify);
  o.searchOlder = parser.isSet(searchOlder);
  o.ignoreMedium = parser.isSet(ignoreMedium);
  o.prune = parser.isSet(prune);
  o.dryRun = parser.isSet(dryRun);
  // A count as the set file takes it: digits only, within the same bounds.
  auto count = [&parser](const QCommandLineOption& option, int max, int& out) {
    if (!parser.isSet(option)) return true;
    const QString v = parser.value(option).trimmed();
    bool ok = !v.isEmpty();
    for (const QChar ch : v) ok = ok && ch >= u'0' && ch <= u'9';
    const qlonglong n = ok ? v.toLongLong(&ok) : -1;
    if (!ok || n < 0 || n > max) return false;
    out = static_cast<int>(n);
    return true;
  };
  if (!count(keepChains, BackupSet::kMaxKeepChains, o.keepChains))
    return RestoreConsole::tr("--keep-chains の値は 0 から %1 までの整数です: %2")
        .arg(BackupSet::kMaxKeepChains)
        .arg(parser.value(keepChains));
  if (!count(keepDays, BackupSet::kMaxKeepDays, o.keepDays))
    return RestoreConsole::tr("--keep-days の値は 0 から %1 までの整数です: %2")
        .arg(BackupSet::kMaxKeepDays)
        .arg(parser.value(keepDays));

  const QStringList positional = parser.positionalArguments();
  if (positional.isEmpty()) return RestoreConsole::tr("セット名がありません");
  if (positional.size() > 2) return RestoreConsole::tr("余分な引数です: %1").arg(positional[2]);
  o.setName = positional[0];
  if (positional.size() == 2) o.saveName = positional[1];
  if (o.saveName.isEmpty() && (o.list || !o.topDir.isEmpty() || !o.paths.isEmpty()))
    return RestoreConsole::tr("--list, --to, --path には保存名 (SAVENAME) が要ります");
  // The checks stand alone: a verification needs its run, a search and the status none.
  const bool restoring = o.list || !o.topDir.isEmpty() || !o.paths.isEmpty() || o.searchOlder || o.ignoreMedium;
  if (o.full && !o.verify) return RestoreConsole::tr("--full は --verify と一緒にだけ使えます");
  if (o.notify && !o.status) return RestoreConsole::tr("--notify は --status と一緒にだけ使えます");
  if ((o.dryRun || o.keepChains >= 0 || o.keepDays >= 0) && !o.prune)
    return RestoreConsole::tr("--dry-run, --keep-chains, --keep-days は --prune と一緒にだけ使えます");
  if (o.verify + o.find + o.status + o.prune > 1)
    return RestoreConsole::tr("--verify, --find, --status, --prune は一つだけ指定できます");
  if (o.prune && !o.saveName.isEmpty()) return RestoreConsole::tr("--prune は保存名 (SAVENAME) を取りません");
  if (o.prune && restoring) return RestoreConsole::tr("--prune は復元のオプションと一緒に使えません");
  if (o.verify && o.saveName.isEmpty()) return RestoreConsole::tr("--verify には保存名 (SAVENAME) が要ります");
  if (o.verify && restoring) return RestoreConsole::tr("--verify は復元のオプションと一緒に使えません");
  if ((o.find || o.status) && !o.saveName.isEmpty())
    return RestoreConsole::tr("--find と --status は保存名 (SAVENAME) を取りません");
  if ((o.find || o.status) && restoring)
    return RestoreConsole::tr("--find と --status は復元のオプションと一緒に使えません");
  return QString();
}

// The main window's start-up for the one set named: the settings (but not the set they
// name as the last one used), then that set's file and history. The name is taken as it is
// given; it never passes the backup's command-line reader, which would take "/L0" for a
// switch and fall back on the last set used.
void LoadNamedSet(Module1& m, Qarno& main, const QString& setName, int debugMode) {
  m.SetModified = false;
  m.DebugMode = static_cast<int16_t>(debugMode);
  m.LogEnabled = true;
  m.MainCaption = m.ProgramName;
  main.ClearHisTable();
  if (main.store) {
    LoadSettings(*main.store, m.ProgramVersion, m.settings, m.set);
    m.codec = TextCodec::FromSettingText(m.settings.TextEncoding);
  }
  m.SetFolder = winpath::Join(m.ProgramFolder, m.settings.SetDirName);
  m.set.Name = setName;
  m.WriteDebugPath(4090, "qarno-restore", setName);
  main.ReadSetFile();
  main.ResetSaveLevel();
  m.SetModified = false;
}

void PrintHistory(const Qarno& main) {
  Out(RestoreConsole::tr("保存名\tレベル\t保存日時\t保存サイズ(KB)\t使用サイズ(KB)\t未保存"));
  const HistoryTable& h = main.HisTable;
  for (int r = 1; r < h.Rows(); ++r) {
    Out(QStringList{h.Cell(r, HistoryEntry::SaveName), h.Cell(r, HistoryEntry::Level), h.Cell(r, HistoryEntry::SaveDate),
                    h.Cell(r, HistoryEntry::SavedKB), h.Cell(r, HistoryEntry::UsedKB),
                    h.Cell(r, HistoryEntry::UncopiedCount)}
            .join(u'\t'));
  }
}

// One line per problem, then the totals; 0 clean, 1 problems, 2 could not run.
int PrintVerifyReport(const VerifyReport& v) {
  if (!v.listingRead) {
    Err(RestoreConsole::tr("%1 の一覧を読めませんでした: %2").arg(v.saveName, v.listing));
    return kRestoreFailed;
  }
  for (const VerifyProblem& p : v.problems)
    Out(VerifyKindText(p.kind) + QStringLiteral(": ") + p.path + (p.detail.isEmpty() ? QString() : QStringLiteral("  (") + p.detail + u')'));
  switch (v.manifest) {
    case VerifyReport::Manifest::Missing:
      Out(RestoreConsole::tr(
          "内容の一覧なし: この保存には内容の一覧がありません (内容の一覧を作る前の保存か、作らない設定の保存です)。"
          "一覧でわかる範囲で検証しました"));
      break;
    case VerifyReport::Manifest::NewerVersion:
      Out(RestoreConsole::tr("内容の一覧が不明: 新しいプログラムが書いたものです。一覧でわかる範囲で検証しました"));
      break;
    default: break;
  }
  if (v.full && v.notInManifest > 0)
    Out(RestoreConsole::tr("内容の一覧にない: %1 個のファイルはサイズと書庫の CRC だけで検証しました")
            .arg(v.notInManifest));
  Out(RestoreConsole::tr("%2 個中 %1 個のファイルを検証、%3 個を内容の一覧と比較、問題 %4 件")
          .arg(v.checked)
          .arg(v.files)
          .arg(v.contentChecked)
          .arg(v.problems.size()));
  if (v.stopped) {
    Out(RestoreConsole::tr("検証は中止されました"));
    return kRestoreFailed;
  }
  return v.problems.empty() ? kRestoreOk : kRestoreIncomplete;
}

void PrintEntries(const FRestore& r) {
  Out(RestoreConsole::tr("パス\t属性\tサイズ\t日付\tフラグ\t保存セット名\t圧縮の種類\t別名"));
  for (int i = 1; i < r.table().Rows(); ++i) {
    const SaveListEntry& e = r.table()[i];
    Out(QStringList{e.path, e.attributes, e.size.Text(), e.date.Text(),
                    e.flag.Text(), e.saveName, e.compType.Text(), e.alias}
            .join(u'\t'));
  }
}

}  // namespace

QString SetNameProblem(const QString& name) {
  if (name.isEmpty()) return RestoreConsole::tr("セット名が空です");
  if (name.startsWith(u'/'))
    return RestoreConsole::tr("セット名は \"/\" で始まりません (Qarno のスイッチはここでは使えません)");
  if (name.startsWith(u'"') || name.startsWith(u'\'')) return RestoreConsole::tr("セット名は引用符で始まりません");
  // A name the windows would refuse too (a path, a device, a trailing dot); and no ".." at
  // all, since here the name comes from a script rather than from someone looking at it.
  if (const QString reason = InvalidNameReason(name); !reason.isEmpty()) return reason;
  if (name.contains(QStringLiteral(".."))) return RestoreConsole::tr("セット名に \"..\" は使えません");
  return QString();
}

namespace {

// What every subcommand works with: the options, and the program loaded with the set.
struct Console {
  const Options& o;
  HeadlessPrompter& ui;
  Program& program;
  Module1& m;
  Qarno& main;
};

// The options and the names they give, before anything is loaded; -1 to go on.
int CheckCommandLine(const QStringList& arguments, Options& o) {
  if (const QString problem = ParseArguments(arguments, o); !problem.isEmpty()) {
    Err(problem);
    Err(RestoreConsole::tr("使い方は qarno-restore --help で表示されます"));
    return kRestoreFailed;
  }
  if (o.help) {
    Help();
    return kRestoreOk;
  }
  if (o.version) {
    std::fprintf(stdout, "qarno-restore %d.%d.%d\n", QARNO_VERSION_MAJOR, QARNO_VERSION_MINOR, QARNO_VERSION_PATCH);
    return kRestoreOk;
  }
  if (const QString problem = SetNameProblem(o.setName); !problem.isEmpty()) {
    QString shown = o.setName;
    for (QChar& c : shown) {
      if (c.unicode() < 0x20) c = u'?';
    }
    Err(RestoreConsole::tr("\"%1\" はセット名になりません: %2").arg(shown, problem));
    return kRestoreFailed;
  }
  if (!o.saveName.isEmpty() && !IsSaveName(o.saveName)) {
    Err(RestoreConsole::tr("%1 は保存名ではありません (qrnYYYYMMDD_NN または Qrn_All)").arg(o.saveName));
    return kRestoreFailed;
  }
  return -1;
}

// Saves on the destination that the history has no row for (a prune or a run stopped
// half-way); --prune removes them. Not while a run is writing the set: its save would be
// one of them until its row is written.
void ReportOrphans(Console& c) {
  const SetLockResult hold = c.m.fs.LockSet(c.m.SetFolder, c.m.set.Name, LockKind::Shared, 0);
  if (!hold && hold.busy) {
    Out(RestoreConsole::tr("孤立した保存データー: 確認できません（セットが使用中です）"));
    return;
  }
  for (const OrphanSave& orphan : FindOrphans(c.m.fs, c.m.set.Name, c.main.HisTable, c.m.set.SaveDir))
    Out(RestoreConsole::tr("孤立した保存データー: %1  (%2)  qarno-restore --prune で削除されます")
            .arg(orphan.saveName, SetFolderOn(orphan.saveDir, c.m.set.Name)));
}

// --status: the last run of each level and whether the set has gone stale.
int ShowStatus(Console& c) {
  Out(RestoreConsole::tr("レベル\t保存名\t保存日時"));
  for (const LevelLastRun& l : LastRunsByLevel(c.main.HisTable)) Out(QStringList{l.level, l.saveName, l.date}.join(u'\t'));
  const QDateTime now = QDateTime::currentDateTime();
  const auto since = DaysSinceLastRun(c.main.HisTable, now);
  Out(since ? RestoreConsole::tr("最後に成功した保存: %n 日前", nullptr, static_cast<int>(*since))
            : RestoreConsole::tr("最後に成功した保存: なし"));
  if (c.m.set.StaleDays <= 0) {
    ReportOrphans(c);
    Out(RestoreConsole::tr("警告までの日数: なし"));
    return kRestoreOk;
  }
  ReportOrphans(c);
  const QString stale = StaleWarningText(c.main.HisTable, c.m.set.StaleDays, now);
  Out(stale.isEmpty() ? RestoreConsole::tr("警告までの日数: %1 日（期限内）").arg(c.m.set.StaleDays)
                      : RestoreConsole::tr("古くなっています: %1").arg(stale));
  if (c.o.notify && !stale.isEmpty()) NotifyStaleSet(c.m, c.program.fs->drives(), c.main.HisTable, now);
  return stale.isEmpty() ? kRestoreOk : kRestoreIncomplete;
}

// --find: every run whose listing holds a path the pattern matches.
int FindVersions(Console& c) {
  RunFinder finder(c.m, c.main.HisTable, c.m.set.Name);
  TerminalLine line(StderrIsTerminal());
  c.ui.SetOnYield([&] {
    if (TakeStopRequest()) c.m.CancelFlag.Set();
    if (line.Due())
      line.Show(RestoreConsole::tr("履歴から探しています %1 / %2").arg(finder.Done()).arg(finder.Total()));
  });
  const FindResult found = finder.Find(c.o.findPattern);
  line.End();
  Out(RestoreConsole::tr("パス\t保存名\t保存日時\tサイズ\t日付\t保存先"));
  for (const FoundVersion& v : found.versions)
    Out(QStringList{v.path, v.saveName, v.runDate, QString::number(v.size), v.fileDate, v.copyPath}.join(u'\t'));
  for (const QString& name : found.listingsUnread) Err(RestoreConsole::tr("%1 の一覧を読めませんでした").arg(name));
  if (found.stopped) return kRestoreFailed;
  return found.versions.empty() ? kRestoreIncomplete : kRestoreOk;
}

// --verify [--full]: the copies of the run against its listing and manifest.
int VerifyRun(Console& c, int row) {
  RunVerifier verifier(c.m, c.m.set.Name);
  TerminalLine line(StderrIsTerminal());
  c.ui.SetOnYield([&] {
    if (TakeStopRequest()) c.m.CancelFlag.Set();
    if (line.Due())
      line.Show(
          RestoreConsole::tr("検証中 %1 / %2  %3").arg(verifier.Done()).arg(verifier.Total()).arg(verifier.Current()));
  });
  const VerifyReport report = verifier.Verify(c.main.HisTable.Row(row), c.o.full);
  line.End();
  return PrintVerifyReport(report);
}

// Where the restore goes and what it takes; the problem, or an empty text.
QString ChooseTargetAndEntries(const Console& c, FRestore& r) {
  const Options& o = c.o;
  if (o.topDir.isEmpty()) {
    r.SetTarget(0, QString());
  } else {
    const TopDirProblem problem = r.CheckTopDir(o.topDir);
    if (problem == TopDirProblem::NotOnDrive)
      return RestoreConsole::tr("%1 はドライブ上の絶対パスではありません (X:\\...)").arg(o.topDir);
    if (problem == TopDirProblem::AmongSaves)
      return RestoreConsole::tr(
                 "%1 はセット %2 の保存の中にあります: そこへ復元すると、読み出すコピーを上書きしてしまいます")
          .arg(o.topDir, c.m.set.Name);
    r.SetTarget(1, o.topDir);
  }
  if (o.paths.isEmpty()) {
    r.SetAllRestoreMarks();
    return QString();
  }
  for (const QString& p : o.paths) {
    if (r.MarkPathTree(p) == 0) return RestoreConsole::tr("%1 は %2 の一覧にありません").arg(p, o.saveName);
  }
  return QString();
}

// Every entry the restore left behind, then the totals; the number left behind.
int PrintRestoreResult(const FRestore& r) {
  int notRestored = 0;
  for (int i = 1; i < r.table().Rows(); ++i) {
    const SaveListEntry& e = r.table()[i];
    const RestoreFlag mark = e.restoreFlag;
    if (mark != RestoreFlag::Reserved && mark != RestoreFlag::Failed) continue;
    ++notRestored;
    // The program's own live files are left alone on purpose, and said so.
    Out((r.IsOwnFileRow(i) ? RestoreConsole::tr("復元しませんでした(Qarno 自身のファイル): ")
                           : RestoreConsole::tr("復元できませんでした: ")) +
        e.path + (e.saveName.isEmpty() ? QString() : QStringLiteral("  (") + e.saveName + u')'));
  }
  // Restored, but not the file its listing describes: the restore is not a clean one.
  for (const RestoreMismatch& x : r.Mismatches())
    Out(RestoreConsole::tr("保存時の一覧と一致しません: ") + x.path + QStringLiteral("  (") + x.saveName +
        QStringLiteral(": ") + x.detail + u')');
  const RestoreCounts& restored = r.table().Restored();
  Out(RestoreConsole::tr("復元済み: ファイル %1 / フォルダー %2 / %3 KB")
          .arg(restored.files)
          .arg(restored.folders)
          .arg(restored.kb));
  Out(RestoreConsole::tr("復元できなかった項目: %1").arg(notRestored));
  return notRestored;
}

// The status of a restore that ran, and what went wrong for the journal (empty: nothing).
int RestoreStatus(RestoreOutcome outcome, int notRestored, const FRestore& r, QString& failure) {
  if (outcome == RestoreOutcome::Stopped) {
    failure = RestoreConsole::tr("復元は中止されました");
    Out(failure);
    return kRestoreFailed;
  }
  if (notRestored > 0)
    failure = RestoreConsole::tr("%n 個の項目を復元できませんでした", nullptr, notRestored);
  else if (!r.Mismatches().empty())
    failure = RestoreConsole::tr("%n 個は保存時の一覧と一致しません", nullptr, static_cast<int>(r.Mismatches().size()));
  return failure.isEmpty() ? kRestoreOk : kRestoreIncomplete;
}

// The questions a restore from the command line answers itself: the search in older runs
// and the medium, each only when its option was given.
void AnswerRestoreQuestions(Console& c) {
  const Options& o = c.o;
  c.ui.SetPolicy([&o](Question kind) -> std::optional<Answer> {
    if (o.searchOlder && kind == Question::SearchOlderRuns) return Answer::Yes;
    const bool mediumQuestion = kind == Question::RestoreMediumChanged || kind == Question::SwapMedium ||
                                kind == Question::MediumUnidentifiable;
    if (o.ignoreMedium && mediumQuestion) return Answer::Ignore;
    return std::nullopt;
  });
}

// SAVENAME [--list] [--to] [--path]...: the run's listing shown, or the run restored.
int RestoreRun(Console& c, int row) {
  const Options& o = c.o;
  AnswerRestoreQuestions(c);
  FRestore r(c.m, c.main.HisTable);
  r.SkipBlankLines(true);
  TerminalLine progress(StderrIsTerminal() && !o.list);
  // A terminal has the progress line; a journal or a mail gets a line every 30 seconds.
  RunJournal journal(QStringLiteral("qarno-restore"), !StderrIsTerminal());
  bool restoring = false;
  auto restoredFacts = [&r] {
    const RestoreCounts& done = r.table().Restored();
    return QStringLiteral("ファイル=%1/%2 KB=%3/%4").arg(done.files).arg(r.table().Marked().files).arg(done.kb).arg(r.table().Marked().kb);
  };
  c.ui.SetOnYield([&] {
    if (TakeStopRequest()) c.m.CancelFlag.Set();  // a stop signal acts as the Cancel button
    if (restoring) journal.Tick(restoredFacts);
    if (!progress.Due()) return;
    const RestoreTimerView v = r.Describe();
    if (v.update) progress.Show(v.status);
  });
  r.Form_Load();
  const bool loaded = r.FormInit(row);
  progress.End();
  QString problem = loaded ? QString() : RestoreConsole::tr("%1 の一覧を読み込めませんでした").arg(o.saveName);
  if (loaded && o.list) {
    PrintEntries(r);
    return kRestoreOk;
  }
  if (problem.isEmpty()) problem = ChooseTargetAndEntries(c, r);
  if (!problem.isEmpty()) {
    Err(problem);
    return kRestoreFailed;
  }

  // The journal's facts are the same in every language: scripts pick them out.
  const QString run = QStringLiteral("セット=%1 保存名=%2 ").arg(c.m.set.Name, o.saveName);
  journal.Start(run + QStringLiteral("復元先=%1 ファイル=%2 KB=%3")
                          .arg(o.topDir.isEmpty() ? QStringLiteral("元の場所") : o.topDir)
                    .arg(r.table().Marked().files)
                    .arg(r.table().Marked().kb));
  const QString logPath = c.program.fs->drives().ToHost(c.m.LogFilePath()).value_or(c.m.LogFilePath());
  restoring = true;
  const RestoreOutcome outcome = r.OK_Click();
  restoring = false;
  progress.End();
  if (outcome == RestoreOutcome::NotStarted) {
    journal.Failure(RestoreConsole::tr("復元を始められませんでした"));
    journal.Summary(run + restoredFacts() + QStringLiteral(" 未復元=-"), kRestoreFailed, logPath);
    return kRestoreFailed;
  }
  const int notRestored = PrintRestoreResult(r);
  c.m.CloseDebugFile();
  c.m.CloseLogFile();
  QString failure;
  const int status = RestoreStatus(outcome, notRestored, r, failure);
  journal.Failure(failure);
  journal.Summary(run + restoredFacts() + QStringLiteral(" 未復元=%1").arg(notRestored), status, logPath);
  return status;
}

// --prune [--dry-run]: the chains the policy does not keep, then the orphaned saves; each
// run that goes (or would go) is shown, then the space freed.
int PruneRuns(Console& c) {
  const Options& o = c.o;
  KeepPolicy policy = KeepPolicy::Of(c.m.set);
  if (o.keepChains >= 0) policy.keepChains = o.keepChains;
  if (o.keepDays >= 0) policy.keepDays = o.keepDays;
  std::unique_ptr<SetLock> hold;
  if (!c.m.HoldSet(c.m.set.Name, o.dryRun ? LockKind::Shared : LockKind::Exclusive, c.m.MainCaption, hold)) {
    Err(RestoreConsole::tr("セット %1 は使用中です").arg(c.m.set.Name));
    return kRestoreFailed;
  }
  c.main.Reload();  // a run may have been recorded while the hold was awaited
  c.ui.SetOnYield([&c] {
    if (TakeStopRequest()) c.m.CancelFlag.Set();
  });
  c.m.CancelFlag.Clear();
  const RunEnvironment env = c.m.Environment();
  const std::vector<RunChain> chains = ChainsToPrune(c.main.HisTable, policy, env.clock.Now());
  const std::vector<OrphanSave> orphans = FindOrphans(c.m.fs, c.m.set.Name, c.main.HisTable, c.m.set.SaveDir);
  if (!policy.Active())
    Out(RestoreConsole::tr(
        "整理の方針がありません (#KeepChains, #KeepDays, --keep-chains, --keep-days): 系列は削除しません"));
  auto show = [](const PrunedRun& r) { Out(QStringList{r.saveName, r.level, r.date, QString::number(r.kb)}.join(u'\t')); };
  const QString orphanLevel = RestoreConsole::tr("（履歴になし）");
  Out(RestoreConsole::tr("保存名\tレベル\t保存日時\tサイズ(KB)"));
  if (o.dryRun) {
    int64_t kb = 0;
    for (const RunChain& chain : chains) {
      for (const PrunedRun& r : chain.runs) show(r);
      kb += chain.Kb();
    }
    for (const OrphanSave& orphan : orphans) {
      const RunPaths p = RunPaths::Of(orphan.saveDir, c.m.set.Name, orphan.saveName);
      const int64_t size = UsedSpaceKB(env, p.SaveCsvFile, p.SaveSetDir).value_or(0);
      show(PrunedRun{orphan.saveName, orphanLevel, QString(), orphan.saveDir, size});
      kb += size;
    }
    Out(RestoreConsole::tr("解放されるサイズ: %1 KB (削除していません)").arg(kb));
    return kRestoreOk;
  }
  Pruner pruner(env, c.main, c.m.set.Name);
  pruner.onDeleted = [&](const PrunedRun& r) {
    show(r);
    c.m.WriteLog(QStringLiteral("古い保存を削除しました"), r.saveName, r.level, r.date);
  };
  bool ok = true;
  for (const RunChain& chain : chains) {
    if (c.m.CancelFlag) break;
    ok = pruner.DeleteChain(chain) && ok;
  }
  for (const OrphanSave& orphan : orphans) {
    if (c.m.CancelFlag) break;
    const int64_t before = pruner.freedKB;
    if (!pruner.DeleteOrphan(orphan)) {
      ok = false;
      continue;
    }
    show(PrunedRun{orphan.saveName, orphanLevel, QString(), orphan.saveDir, pruner.freedKB - before});
    c.m.WriteLog(QStringLiteral("孤立した保存データーを削除しました"), orphan.saveName);
  }
  for (const QString& problem : pruner.problems) Err(problem);
  Out(RestoreConsole::tr("解放したサイズ: %1 KB").arg(pruner.freedKB));
  if (c.m.CancelFlag) {
    Out(RestoreConsole::tr("整理は中止されました"));
    return kRestoreFailed;
  }
  return ok ? kRestoreOk : kRestoreFailed;
}

// The subcommand the options name, on the loaded set.
int RunSubcommand(Console& c) {
  if (c.o.status) return ShowStatus(c);
  if (c.o.prune) return PruneRuns(c);
  if (c.o.find) return FindVersions(c);
  if (c.o.saveName.isEmpty()) {
    PrintHistory(c.main);
    return kRestoreOk;
  }
  const int row = c.main.HisTable.RowOf(c.o.saveName);
  if (row == 0) {
    Err(RestoreConsole::tr("%1 は %2 の履歴にありません").arg(c.o.saveName, c.m.set.Name));
    return kRestoreFailed;
  }
  return c.o.verify ? VerifyRun(c, row) : RestoreRun(c, row);
}

}  // namespace

int RunRestoreConsole(const QStringList& arguments) {
  Options o;
  if (const int status = CheckCommandLine(arguments, o); status >= 0) return status;
  HeadlessPrompter ui;
  Program program(ui);
  if (!program.ok()) {
    Err(program.error);
    return kRestoreFailed;
  }
  Module1& m = *program.m;
  Qarno& main = *program.main;
  LoadNamedSet(m, main, o.setName, o.debug);
  if (m.set.Name != o.setName || !main.setLoaded) {
    Err(RestoreConsole::tr("%1 という名前のセットはありません: %2")
            .arg(o.setName, SetNotLoadedText(main, program.fs->drives())));
    return kRestoreFailed;
  }
  Console console{o, ui, program, m, main};
  return RunSubcommand(console);
}

}  // namespace qarno
