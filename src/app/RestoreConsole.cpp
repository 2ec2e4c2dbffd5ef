#include "app/RestoreConsole.h"

#include "app/Notify.h"
#include "app/Program.h"
#include "app/StopSignals.h"
#include "common/Settings.h"
#include "mainwin/SetNames.h"
#include "platform/WinPath.h"
#include "records/SaveLayout.h"
#include "mainwin/Staleness.h"
#include "restore/FRestore.h"
#include "restore/RunFinder.h"
#include "restore/RunVerifier.h"

#include <cstdio>

namespace qarno {

namespace {

void Out(const QString& text) { std::fprintf(stdout, "%s\n", text.toLocal8Bit().constData()); }
void Err(const QString& text) { std::fprintf(stderr, "qarno-restore: %s\n", text.toLocal8Bit().constData()); }

void Usage() {
  std::fprintf(stderr,
               "usage: qarno-restore SETNAME\n"
               "       qarno-restore SETNAME SAVENAME --list\n"
               "       qarno-restore SETNAME SAVENAME [--to TOPDIR] [--path PATH]... [--search-older] [--ignore-medium]\n"
               "       qarno-restore SETNAME SAVENAME --verify [--full]\n"
               "       qarno-restore SETNAME --find PATTERN\n"
               "       qarno-restore SETNAME --status [--notify]\n"
               "--debug N (0 off, 1 with file names, 2 without) writes the trace into the program folder's debug file.\n");
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
  bool searchOlder = false;
  bool ignoreMedium = false;
  int debug = 0;
};

bool ParseArguments(const QStringList& args, Options& o) {
  QStringList positional;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == u"--to" || a == u"--path" || a == u"--debug" || a == u"--find") {
      if (i + 1 >= args.size()) return false;
      const QString& value = args[++i];
      if (a == u"--find") {
        if (o.find || value.isEmpty()) return false;
        o.find = true;
        o.findPattern = value;
      } else if (a == u"--to") {
        o.topDir = value;
      } else if (a == u"--path") {
        o.paths += value;
      } else {
        bool ok = false;
        o.debug = value.toInt(&ok);
        if (!ok || o.debug < 0 || o.debug > 2) return false;
      }
    } else if (a == u"--list") {
      o.list = true;
    } else if (a == u"--verify") {
      o.verify = true;
    } else if (a == u"--full") {
      o.full = true;
    } else if (a == u"--status") {
      o.status = true;
    } else if (a == u"--notify") {
      o.notify = true;
    } else if (a == u"--search-older") {
      o.searchOlder = true;
    } else if (a == u"--ignore-medium") {
      o.ignoreMedium = true;
    } else if (a.startsWith(QStringLiteral("--"))) {
      return false;
    } else {
      positional += a;
    }
  }
  if (positional.isEmpty() || positional.size() > 2) return false;
  o.setName = positional[0];
  if (positional.size() == 2) o.saveName = positional[1];
  if (o.saveName.isEmpty() && (o.list || !o.topDir.isEmpty() || !o.paths.isEmpty())) return false;
  // The checks stand alone: a verification needs its run, a search and the status none.
  const bool restoring = o.list || !o.topDir.isEmpty() || !o.paths.isEmpty() || o.searchOlder || o.ignoreMedium;
  if (o.full && !o.verify) return false;
  if (o.notify && !o.status) return false;
  if (o.verify + o.find + o.status > 1) return false;
  if (o.verify && (o.saveName.isEmpty() || restoring)) return false;
  if ((o.find || o.status) && (!o.saveName.isEmpty() || restoring)) return false;
  return true;
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
  Out(QStringLiteral("保存名\tレベル\t保存日時\t保存サイズ(KB)\t使用サイズ(KB)\t未保存"));
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
    Err(QStringLiteral("the listing of %1 could not be read: %2").arg(v.saveName, v.listing));
    return kRestoreFailed;
  }
  for (const VerifyProblem& p : v.problems)
    Out(VerifyKindText(p.kind) + QStringLiteral(": ") + p.path + (p.detail.isEmpty() ? QString() : QStringLiteral("  (") + p.detail + u')'));
  switch (v.manifest) {
    case VerifyReport::Manifest::Missing:
      Out(QStringLiteral("manifest missing: this run has no content manifest (made before manifests, or with them off); "
                         "checked as far as its listing allows"));
      break;
    case VerifyReport::Manifest::NewerVersion:
      Out(QStringLiteral("manifest unknown: written by a newer program; checked as far as the listing allows"));
      break;
    default: break;
  }
  if (v.full && v.notInManifest > 0)
    Out(QStringLiteral("not in manifest: %1 file(s) checked by size and archive CRC only").arg(v.notInManifest));
  Out(QStringLiteral("%1 files checked of %2, %3 compared with the manifest, %4 problem(s)")
          .arg(v.checked).arg(v.files).arg(v.contentChecked).arg(v.problems.size()));
  if (v.stopped) {
    Out(QStringLiteral("the verification was stopped"));
    return kRestoreFailed;
  }
  return v.problems.empty() ? kRestoreOk : kRestoreIncomplete;
}

void PrintEntries(const FRestore& r) {
  Out(QStringLiteral("パス\t属性\tサイズ\t日付\tフラグ\t保存セット名\t圧縮の種類\t別名"));
  for (int i = 1; i < r.table().Rows(); ++i) {
    const SaveListEntry& e = r.table()[i];
    Out(QStringList{e[SaveListEntry::Path], e[SaveListEntry::Attributes], e[SaveListEntry::Size], e[SaveListEntry::Date],
                    e[SaveListEntry::Flag], e[SaveListEntry::SaveName], e[SaveListEntry::CompType], e[SaveListEntry::Alias]}
            .join(u'\t'));
  }
}

}  // namespace

QString SetNameProblem(const QString& name) {
  if (name.isEmpty()) return QStringLiteral("the set name is empty");
  if (name.startsWith(u'/')) return QStringLiteral("a set name does not begin with \"/\" (Qarno's switches do not apply here)");
  if (name.startsWith(u'"') || name.startsWith(u'\'')) return QStringLiteral("a set name does not begin with a quote");
  // A name the windows would refuse too (a path, a device, a trailing dot); and no ".." at
  // all, since here the name comes from a script rather than from someone looking at it.
  if (const QString reason = InvalidNameReason(name); !reason.isEmpty()) return reason;
  if (name.contains(QStringLiteral(".."))) return QStringLiteral("a set name cannot hold \"..\"");
  return QString();
}

int RunRestoreConsole(const QStringList& arguments) {
  Options o;
  if (!ParseArguments(arguments, o)) {
    Usage();
    return kRestoreFailed;
  }
  if (const QString problem = SetNameProblem(o.setName); !problem.isEmpty()) {
    QString shown = o.setName;
    for (QChar& c : shown) {
      if (c.unicode() < 0x20) c = u'?';
    }
    Err(QStringLiteral("\"%1\" is not a set name: %2").arg(shown, problem));
    return kRestoreFailed;
  }
  if (!o.saveName.isEmpty() && !IsSaveName(o.saveName)) {
    Err(QStringLiteral("%1 is not a save name (qrnYYYYMMDD_NN or Qrn_All)").arg(o.saveName));
    return kRestoreFailed;
  }
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
    Err(QStringLiteral("no set named %1").arg(o.setName));
    return kRestoreFailed;
  }
  if (o.status) {
    Out(QStringLiteral("レベル\t保存名\t保存日時"));
    for (const LevelLastRun& l : LastRunsByLevel(main.HisTable)) Out(QStringList{l.level, l.saveName, l.date}.join(u'\t'));
    const QDateTime now = QDateTime::currentDateTime();
    const auto since = DaysSinceLastRun(main.HisTable, now);
    Out(since ? QStringLiteral("最後に成功した保存: %1 日前").arg(*since) : QStringLiteral("最後に成功した保存: なし"));
    if (m.set.StaleDays <= 0) {
      Out(QStringLiteral("警告までの日数: なし"));
      return kRestoreOk;
    }
    const QString stale = StaleWarningText(main.HisTable, m.set.StaleDays, now);
    Out(stale.isEmpty() ? QStringLiteral("警告までの日数: %1 日（期限内）").arg(m.set.StaleDays) : QStringLiteral("stale: ") + stale);
    if (o.notify && !stale.isEmpty()) NotifyStaleSet(m, program.fs->drives(), main.HisTable, now);
    return stale.isEmpty() ? kRestoreOk : kRestoreIncomplete;
  }
  if (o.find) {
    RunFinder finder(m, main.HisTable, m.set.Name);
    TerminalLine line(StderrIsTerminal());
    ui.SetOnYield([&] {
      if (TakeStopRequest()) m.CancelFlag.Set();
      if (line.Due()) line.Show(QStringLiteral("履歴から探しています %1 / %2").arg(finder.Done()).arg(finder.Total()));
    });
    const FindResult found = finder.Find(o.findPattern);
    line.End();
    Out(QStringLiteral("パス\t保存名\t保存日時\tサイズ\t日付\t保存先"));
    for (const FoundVersion& v : found.versions)
      Out(QStringList{v.path, v.saveName, v.runDate, QString::number(v.size), v.fileDate, v.copyPath}.join(u'\t'));
    for (const QString& name : found.listingsUnread) Err(QStringLiteral("the listing of %1 could not be read").arg(name));
    if (found.stopped) return kRestoreFailed;
    return found.versions.empty() ? kRestoreIncomplete : kRestoreOk;
  }
  if (o.saveName.isEmpty()) {
    PrintHistory(main);
    return kRestoreOk;
  }
  int row = 0;
  for (int r = 1; r < main.HisTable.Rows() && row == 0; ++r) {
    if (main.HisTable.Cell(r, HistoryEntry::SaveName) == o.saveName) row = r;
  }
  if (row == 0) {
    Err(QStringLiteral("%1 is not in the history of %2").arg(o.saveName, m.set.Name));
    return kRestoreFailed;
  }

  if (o.verify) {
    RunVerifier verifier(m, m.set.Name);
    TerminalLine line(StderrIsTerminal());
    ui.SetOnYield([&] {
      if (TakeStopRequest()) m.CancelFlag.Set();
      if (line.Due()) line.Show(QStringLiteral("検証中 %1 / %2  %3").arg(verifier.Done()).arg(verifier.Total()).arg(verifier.Current()));
    });
    const VerifyReport report = verifier.Verify(main.HisTable.Row(row), o.full);
    line.End();
    return PrintVerifyReport(report);
  }

  ui.SetPolicy([&](Question kind) -> std::optional<Answer> {
    if (o.searchOlder && kind == Question::SearchOlderRuns) return Answer::Yes;
    const bool mediumQuestion = kind == Question::RestoreMediumChanged || kind == Question::SwapMedium ||
                                kind == Question::MediumUnidentifiable;
    if (o.ignoreMedium && mediumQuestion) return Answer::Ignore;
    return std::nullopt;
  });

  FRestore r(m, main.HisTable);
  r.SkipBlankLines(true);
  TerminalLine progress(StderrIsTerminal() && !o.list);
  ui.SetOnYield([&] {
    if (TakeStopRequest()) m.CancelFlag.Set();  // a stop signal acts as the Cancel button
    if (!progress.Due()) return;
    const RestoreTimerView v = r.Describe();
    if (v.update) progress.Show(v.status);
  });
  r.Form_Load();
  const bool loaded = r.FormInit(row);
  progress.End();
  if (!loaded) {
    Err(QStringLiteral("the listing of %1 could not be loaded").arg(o.saveName));
    return kRestoreFailed;
  }
  if (o.list) {
    PrintEntries(r);
    return kRestoreOk;
  }

  if (o.topDir.isEmpty()) {
    r.SetTarget(0, QString());
  } else {
    if (!winpath::IsSafeAbsolute(o.topDir)) {
      Err(QStringLiteral("%1 is not an absolute path on a drive (X:\\...)").arg(o.topDir));
      return kRestoreFailed;
    }
    if (r.InSaveArea(o.topDir)) {
      Err(QStringLiteral("%1 lies among the saves of set %2: restoring there would overwrite the copies it reads")
              .arg(o.topDir, m.set.Name));
      return kRestoreFailed;
    }
    r.SetTarget(1, o.topDir);
  }
  if (o.paths.isEmpty()) {
    r.SetAllRestoreMarks();
  } else {
    for (const QString& p : o.paths) {
      if (r.MarkPathTree(p) == 0) {
        Err(QStringLiteral("%1 is not listed in %2").arg(p, o.saveName));
        return kRestoreFailed;
      }
    }
  }

  const RestoreOutcome outcome = r.OK_Click();
  progress.End();
  if (outcome == RestoreOutcome::NotStarted) return kRestoreFailed;

  int notRestored = 0;
  for (int i = 1; i < r.table().Rows(); ++i) {
    const SaveListEntry& e = r.table()[i];
    const QString& mark = e[SaveListEntry::RestoreFlag];
    if (mark != rmark::Reserved && mark != rmark::Failed) continue;
    ++notRestored;
    // The program's own live files are left alone on purpose, and said so.
    Out((r.IsOwnFileRow(i) ? QStringLiteral("復元しませんでした(Qarno 自身のファイル): ") : QStringLiteral("復元できませんでした: ")) +
        e[SaveListEntry::Path] +
        (e[SaveListEntry::SaveName].isEmpty() ? QString() : QStringLiteral("  (") + e[SaveListEntry::SaveName] + u')'));
  }
  // Restored, but not the file its listing describes: the restore is not a clean one.
  for (const RestoreMismatch& x : r.Mismatches())
    Out(QStringLiteral("保存時の一覧と一致しません: ") + x.path + QStringLiteral("  (") + x.saveName + QStringLiteral(": ") +
        x.detail + u')');
  const RestoreCounts& restored = r.table().Restored();
  Out(QStringLiteral("復元済み: ファイル %1 / フォルダー %2 / %3 KB").arg(restored.files).arg(restored.folders).arg(restored.kb));
  Out(QStringLiteral("復元できなかった項目: %1").arg(notRestored));
  m.CloseDebugFile();
  m.CloseLogFile();
  if (outcome == RestoreOutcome::Stopped) {
    Out(QStringLiteral("復元は中止されました"));
    return kRestoreFailed;
  }
  return notRestored == 0 && r.Mismatches().empty() ? kRestoreOk : kRestoreIncomplete;
}

}  // namespace qarno
