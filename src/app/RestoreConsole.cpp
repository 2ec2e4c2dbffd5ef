#include "app/RestoreConsole.h"

#include "app/Program.h"
#include "app/StopSignals.h"
#include "common/Settings.h"
#include "mainwin/SetNames.h"
#include "platform/WinPath.h"
#include "records/SaveLayout.h"
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
               "       qarno-restore SETNAME SAVENAME [--to TOPDIR] [--path PATH]... [--search-older] [--ignore-medium]\n"
               "--debug N (0 off, 1 with file names, 2 without) writes the trace into the program folder's debug file.\n");
}

struct Options {
  QString setName, saveName, topDir;
  QStringList paths;
  bool list = false;
  bool searchOlder = false;
  bool ignoreMedium = false;
  int debug = 0;
};

bool ParseArguments(const QStringList& args, Options& o) {
  QStringList positional;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == u"--to" || a == u"--path" || a == u"--debug") {
      if (i + 1 >= args.size()) return false;
      const QString& value = args[++i];
      if (a == u"--to") {
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
