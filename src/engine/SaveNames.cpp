// SPDX-License-Identifier: GPL-3.0-or-later
// Save names and the destination layout of a run.
#include "engine/FSaveExec.h"

#include "records/ListingLine.h"

namespace qarno {

bool FSaveExec::ChkFName(const QString& path) {
  const auto found = env_.fs.List(path);
  return found && !found->empty();
}

bool FSaveExec::GetNewSetName() {
  RunPaths& paths = s_.paths;
  paths.SaveSetHDir = SetFolderOn(request_.set.SaveDir, request_.set.Name);
  const QString setFolder = paths.SaveSetHDir;
  const bool privileged = env_.fs.Privileged();
  // The set's folder is the program's own; a run that may read every user's files keeps
  // it to itself.
  auto modeFor = [&](const QString& folder) {
    return privileged && folder.startsWith(setFolder) ? 0700u : kDefaultDirMode;
  };
  if (!MakeDirPath(env_.fs, paths.SaveSetHDir, modeFor)) {
    env_.Warn(Question::SetFolderNotCreated, s_.texts.FSaveExecCaption,
           paths.SaveSetHDir + u'\r' + TrWords("FSaveExec", "ディレクトリが作成できません。"));
    s_.outcome.failed = true;
    return false;
  }
  QString saveName;
  if (Level() == Level::Overwrite) {
    saveName = kOverwriteSave;
  } else if (Level() == Level::Repair) {
    saveName = s_.texts.TOldSetName;
  } else {
    const QDate today = env_.clock.Now().date();
    // Past every number of today the history holds: a number freed by a deletion (a pruned
    // chain) taken again would sort the new run below the runs it follows.
    const QString first = SaveNameFor(today, 0);
    const QString prefix = first.left(first.indexOf(u'_') + 1);
    int start = 0;
    const HistoryTable& h = history_.Table();
    for (int r = 1; r < h.Rows(); ++r) {
      const QString& name = h.Cell(r, HistoryEntry::SaveName);
      bool ok = false;
      const int n = name.startsWith(prefix, Qt::CaseInsensitive) ? name.mid(prefix.size()).toInt(&ok) : -1;
      if (ok && n >= start) start = n + 1;
    }
    for (int counter = start; counter <= 32767; ++counter) {
      const QString candidate = SaveNameFor(today, counter);
      const QString base = paths.SaveSetHDir + u'\\' + candidate;
      if (history_.Contains(candidate) || ChkFName(base) || ChkFName(base + QStringLiteral(".csv"))) continue;
      saveName = candidate;
      break;
    }
    s_.outcome.createdSave = true;
  }
  paths = RunPaths::Of(request_.set.SaveDir, request_.set.Name, saveName);
  // From here on the run writes only below its set folder, and follows no link there.
  env_.fs.SetWriteAnchor(paths.SaveSetHDir);
  if (Level() == Level::Overwrite || Level() == Level::Repair) RaiseAliasesInSave();
  return true;
}

void FSaveExec::RaiseAliasesInSave() {
  // A save that earlier runs wrote into keeps its aliased copies, whether the history still
  // knows the run or not: new aliases go after every number its listing or its "Alias"
  // folder already holds, so that no copy is ever written over another file's.
  if (const auto lines = env_.ReadTextFile(s_.paths.SaveCsvFile)) {
    for (const QString& line : *lines)
      s_.aliasCounter = RaiseAlias(s_.aliasCounter, SplitListingLine(line)[SaveListEntry::Alias]);
  }
  if (const auto files = env_.fs.List(s_.paths.SaveSetDir + QStringLiteral("\\Alias\\*.*"))) {
    for (const DirEntry& f : *files) {
      QString name = f.name;
      if (name.endsWith(QStringLiteral(".LZH"), Qt::CaseInsensitive)) name.chop(4);
      if (IsAliasText(name)) s_.aliasCounter = RaiseAlias(s_.aliasCounter, name);
    }
  }
}

}  // namespace qarno
