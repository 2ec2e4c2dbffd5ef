#include "app/RestoreConsole.h"

#include "app/Program.h"
#include "app/StopSignals.h"
#include "app/QarnoConsole.h"
#include "platform/WinPath.h"
#include "restore/FRestore.h"

#include <cstdio>

namespace qarno {

namespace {

void Out(const QString& text) { std::fprintf(stdout, "%s\n", text.toLocal8Bit().constData()); }
void Err(const QString& text) { std::fprintf(stderr, "qarno-restore: %s\n", text.toLocal8Bit().constData()); }

void Usage() {
  std::fprintf(stderr,
               "usage: qarno-restore SETNAME\n"
               "       qarno-restore SETNAME SAVENAME --list\n"
               "       qarno-restore SETNAME SAVENAME [--to TOPDIR] [--path PATH]... [--search-older] [--ignore-medium]\n");
}

struct Options {
  QString setName, saveName, topDir;
  QStringList paths;
  bool list = false;
  bool searchOlder = false;
  bool ignoreMedium = false;
};

bool ParseArguments(const QStringList& args, Options& o) {
  QStringList positional;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == u"--to" || a == u"--path") {
      if (i + 1 >= args.size()) return false;
      if (a == u"--to") o.topDir = args[++i];
      else o.paths += args[++i];
    } else if (a == u"--list") {
      o.list = true;
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
  return true;
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

int RunRestoreConsole(const QStringList& arguments) {
  Options o;
  if (!ParseArguments(arguments, o)) {
    Usage();
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
  // Only the set name: no switch of the backup's command line applies to a restore.
  program.Form_Load(JoinCommandLine({o.setName}));
  if (m.set.Name.isEmpty() || !main.setLoaded) {
    Err(QStringLiteral("no set named %1").arg(o.setName));
    return kRestoreFailed;
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

  ui.SetPolicy([&](Question kind) -> std::optional<Answer> {
    if (o.searchOlder && kind == Question::SearchOlderRuns) return Answer::Yes;
    const bool mediumQuestion = kind == Question::RestoreMediumChanged || kind == Question::SwapMedium ||
                                kind == Question::MediumUnidentifiable;
    if (o.ignoreMedium && mediumQuestion) return Answer::Ignore;
    return std::nullopt;
  });

  FRestore r(m, main.HisTable);
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
    Out(QStringLiteral("復元できませんでした: ") + e[SaveListEntry::Path] +
        (e[SaveListEntry::SaveName].isEmpty() ? QString() : QStringLiteral("  (") + e[SaveListEntry::SaveName] + u')'));
  }
  const RestoreCounts& restored = r.table().Restored();
  Out(QStringLiteral("復元済み: ファイル %1 / フォルダー %2 / %3 KB").arg(restored.files).arg(restored.folders).arg(restored.kb));
  Out(QStringLiteral("復元できなかった項目: %1").arg(notRestored));
  m.CloseDebugFile();
  m.CloseLogFile();
  if (outcome == RestoreOutcome::Stopped) {
    Out(QStringLiteral("復元は中止されました"));
    return kRestoreFailed;
  }
  return notRestored == 0 ? kRestoreOk : kRestoreIncomplete;
}

}  // namespace qarno
