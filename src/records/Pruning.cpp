// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/Pruning.h"

#include "common/DriveInfo.h"
#include "mainwin/Staleness.h"
#include "platform/WinPath.h"

#include <algorithm>
#include <set>

namespace qarno {

namespace {

bool IsLevelCaption(const QString& text, Level level) {
  return text == QStringView(kLevelCaptions[NumberOf(level)].name);
}

bool IsOverwrite(const HistoryEntry& e) {
  return e[HistoryEntry::SaveName].compare(kOverwriteSave, Qt::CaseInsensitive) == 0 ||
         IsLevelCaption(e[HistoryEntry::Level], Level::Overwrite);
}

PrunedRun RunOf(const HistoryEntry& e) {
  PrunedRun r{e[HistoryEntry::SaveName], e[HistoryEntry::Level], e[HistoryEntry::SaveDate], e[HistoryEntry::SaveDir]};
  bool ok = false;
  r.kb = e[HistoryEntry::UsedKB].toLongLong(&ok);
  if (!ok || r.kb <= 0) r.kb = std::max<int64_t>(e[HistoryEntry::SavedKB].toLongLong(), 0);
  return r;
}

// The destination as a path to build on: "X:" is the root of X.
QString DestinationDir(const QString& saveDir) {
  QString dir = saveDir;
  if (dir.size() == 2 && dir[1] == u':') dir += u'\\';
  return dir;
}

// True when `name` in `parent` is there as something else than a folder of its own (a
// link, a file): nothing is deleted through it.
bool IsNoFolder(Platform& fs, const QString& parent, const QString& name) {
  const auto entries = fs.List(winpath::Join(parent, name));
  if (!entries) return false;  // the parent cannot be read: the deletion finds nothing either
  for (const DirEntry& e : *entries) {
    if (e.name == name && !e.isDirectory) return true;
  }
  return false;
}

bool SetNameUsable(const QString& setName) {
  return !setName.isEmpty() && setName != u"." && setName != u".." && !setName.contains(u'\\') &&
         !setName.contains(u'/');
}

}  // namespace

int64_t RunChain::Kb() const {
  int64_t kb = 0;
  for (const PrunedRun& r : runs) kb += r.kb;
  return kb;
}

std::vector<RunChain> ChainsOf(const HistoryTable& history) {
  // From the oldest row up: a Level-0 opens a chain, every other run joins the open one.
  std::vector<RunChain> oldestFirst;
  for (int row = history.Rows() - 1; row >= 1; --row) {
    const HistoryEntry& e = history.Row(row);
    if (IsOverwrite(e)) continue;
    if (oldestFirst.empty() || IsLevelCaption(e[HistoryEntry::Level], Level::Level0)) oldestFirst.emplace_back();
    RunChain& chain = oldestFirst.back();
    chain.runs.insert(chain.runs.begin(), RunOf(e));
    const auto date = ParseHistoryDate(e[HistoryEntry::SaveDate]);
    if (date && (!chain.newest || *date > *chain.newest)) chain.newest = date;
  }
  std::reverse(oldestFirst.begin(), oldestFirst.end());
  return oldestFirst;
}

namespace {
// The chains (newest first) and whether the policy keeps each.
std::vector<bool> Kept(const std::vector<RunChain>& chains, const KeepPolicy& policy, const QDateTime& now) {
  std::vector<bool> kept(chains.size(), !policy.Active());
  for (size_t i = 0; i < chains.size(); ++i) {
    if (i == 0) kept[i] = true;  // the newest chain: the runs to come build on it
    if (policy.keepChains > 0 && i < static_cast<size_t>(policy.keepChains)) kept[i] = true;
    if (policy.keepDays > 0) {
      // A chain whose age cannot be read is kept: a policy by age cannot tell it is old.
      const auto& newest = chains[i].newest;
      if (!newest || *newest > now.addSecs(-int64_t{policy.keepDays} * 24 * 3600)) kept[i] = true;
    }
  }
  return kept;
}

std::vector<RunChain> NotKeptOldestFirst(std::vector<RunChain> chains, const std::vector<bool>& kept) {
  std::vector<RunChain> out;
  for (size_t i = chains.size(); i-- > 0;) {
    if (!kept[i]) out.push_back(std::move(chains[i]));
  }
  return out;
}
}  // namespace

std::vector<RunChain> ChainsToPrune(const HistoryTable& history, const KeepPolicy& policy, const QDateTime& now) {
  std::vector<RunChain> chains = ChainsOf(history);
  const std::vector<bool> kept = Kept(chains, policy, now);
  return NotKeptOldestFirst(std::move(chains), kept);
}

std::vector<RunChain> ChainsForSpace(const HistoryTable& history, const KeepPolicy& policy, const QDateTime& now) {
  std::vector<RunChain> chains = ChainsOf(history);
  std::vector<bool> kept = Kept(chains, policy, now);
  if (!policy.Active()) {
    for (size_t i = 1; i < kept.size(); ++i) kept[i] = false;
  }
  return NotKeptOldestFirst(std::move(chains), kept);
}

std::vector<int> RowsOf(const HistoryTable& history, const std::vector<RunChain>& chains) {
  std::set<QString> names;
  for (const RunChain& c : chains) {
    for (const PrunedRun& r : c.runs) names.insert(r.saveName);
  }
  std::vector<int> rows;
  for (int row = 1; row < history.Rows(); ++row) {
    if (names.count(history.Cell(row, HistoryEntry::SaveName))) rows.push_back(row);
  }
  return rows;
}

std::optional<RunPaths> SafeRunPaths(Platform& fs, const QString& setName, const QString& saveDir,
                                     const QString& saveName) {
  if (!IsSaveName(saveName) || !SetNameUsable(setName)) return std::nullopt;
  const QString dir = DestinationDir(saveDir);
  if (!winpath::IsSafeAbsolute(dir)) return std::nullopt;
  const RunPaths p = RunPaths::Of(dir, setName, saveName);
  if (IsNoFolder(fs, dir, setName) || IsNoFolder(fs, p.SaveSetHDir, saveName)) return std::nullopt;
  return p;
}

std::vector<OrphanSave> FindOrphans(Platform& fs, const QString& setName, const HistoryTable& history,
                                    const QString& setSaveDir) {
  std::vector<OrphanSave> out;
  if (!SetNameUsable(setName)) return out;
  QStringList dirs;
  auto addDir = [&dirs](const QString& d) {
    const QString dir = DestinationDir(d);
    if (winpath::IsSafeAbsolute(dir) && !dirs.contains(dir, Qt::CaseInsensitive)) dirs += dir;
  };
  for (int row = 1; row < history.Rows(); ++row) addDir(history.Cell(row, HistoryEntry::SaveDir));
  if (!setSaveDir.isEmpty()) addDir(setSaveDir);
  auto known = [&history](const QString& name) {
    for (int row = 1; row < history.Rows(); ++row) {
      if (history.Cell(row, HistoryEntry::SaveName).compare(name, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
  };
  for (const QString& dir : dirs) {
    if (IsNoFolder(fs, dir, setName)) continue;
    const QString setFolder = SetFolderOn(dir, setName);
    const auto entries = fs.List(winpath::Join(setFolder, QStringLiteral("*.*")));
    if (!entries) continue;
    QStringList names;
    for (const DirEntry& e : *entries) {
      QString name = e.name;
      if (!e.isDirectory) {
        // A listing or a manifest beside its folder.
        if (!name.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) &&
            !name.endsWith(QLatin1String(".sum"), Qt::CaseInsensitive))
          continue;
        name.chop(4);
      }
      if (!IsSaveName(name) || name.compare(kOverwriteSave, Qt::CaseInsensitive) == 0) continue;
      if (known(name) || names.contains(name)) continue;
      names += name;
    }
    names.sort();
    for (const QString& name : names) out.push_back(OrphanSave{dir, name});
  }
  return out;
}

Pruner::Pruner(const RunEnvironment& env, RunHistory& history, QString setName)
    : env_(env), history_(history), setName_(std::move(setName)) {}

void Pruner::DeleteData(const RunPaths& p) {
  env_.fs.Kill(p.SaveCsvFile);
  env_.fs.Kill(p.SaveSumFile);
  DeleteTree(env_, p.SaveSetDir);
}

bool Pruner::DeleteChain(const RunChain& chain) {
  std::vector<RunPaths> paths;
  for (const PrunedRun& r : chain.runs) {
    const auto p = SafeRunPaths(env_.fs, setName_, r.saveDir, r.saveName);
    if (!p) {
      problems += QCoreApplication::translate("Pruner", "%1: このプログラムが作った保存データーと確認できないため、この系列は削除しませんでした")
                      .arg(r.saveName.isEmpty() ? QCoreApplication::translate("Pruner", "（保存名なし）") : r.saveName);
      return false;
    }
    paths.push_back(*p);
  }
  // The rows first, and on the disk, before any data goes.
  for (const PrunedRun& r : chain.runs) history_.ForgetRun(r.saveName);
  if (!history_.Save()) {
    history_.Reload();
    problems += QCoreApplication::translate("Pruner", "履歴を書き込めなかったため、削除しませんでした");
    return false;
  }
  bool whole = true;
  for (size_t i = 0; i < paths.size(); ++i) {
    if (onDeleted) onDeleted(chain.runs[i]);
    freedKB += chain.runs[i].kb;
    DeleteData(paths[i]);
    if (env_.cancel) {
      whole = false;
      break;
    }
  }
  return whole;
}

bool Pruner::DeleteOrphan(const OrphanSave& orphan) {
  const auto p = SafeRunPaths(env_.fs, setName_, orphan.saveDir, orphan.saveName);
  if (!p) {
    problems += QCoreApplication::translate("Pruner", "%1: このプログラムが作った保存データーと確認できないため、削除しませんでした").arg(orphan.saveName);
    return false;
  }
  if (const auto kb = UsedSpaceKB(env_, p->SaveCsvFile, p->SaveSetDir)) freedKB += *kb;
  DeleteData(*p);
  return !env_.cancel;
}

namespace {
void LogDeleted(const RunEnvironment& env, const PrunedRun& r) {
  env.WriteLog(QStringLiteral("古い保存を削除しました"), r.saveName, r.level, r.date);
}
}  // namespace

int ApplyKeepPolicy(const RunEnvironment& env, RunHistory& history, const BackupSet& set) {
  const KeepPolicy policy = KeepPolicy::Of(set);
  if (!policy.Active()) return 0;
  Pruner pruner(env, history, set.Name);
  int deleted = 0;
  pruner.onDeleted = [&](const PrunedRun& r) {
    LogDeleted(env, r);
    ++deleted;
  };
  for (const RunChain& chain : ChainsToPrune(history.Table(), policy, env.clock.Now())) {
    if (!pruner.DeleteChain(chain) || env.cancel) break;
  }
  for (const QString& problem : pruner.problems) env.WriteLog(problem);
  return deleted;
}

bool PruneForSpace(const RunEnvironment& env, RunHistory& history, const BackupSet& set,
                   const std::function<bool()>& shortOfSpace) {
  Pruner pruner(env, history, set.Name);
  bool any = false;
  pruner.onDeleted = [&](const PrunedRun& r) {
    LogDeleted(env, r);
    any = true;
  };
  // Only a chain whose saves are all on this destination, as it is mounted now, frees room
  // on it: another medium's chain would lose its rows and free nothing here.
  const QString here = DestinationDir(set.SaveDir);
  auto onThisMedium = [&](const RunChain& chain) {
    for (const PrunedRun& r : chain.runs) {
      if (DestinationDir(r.saveDir).compare(here, Qt::CaseInsensitive) != 0) return false;
      const auto p = SafeRunPaths(env.fs, set.Name, r.saveDir, r.saveName);
      if (!p || !env.fs.IsDirectory(p->SaveSetDir)) return false;
    }
    return true;
  };
  while (!env.cancel && shortOfSpace()) {
    const auto chains = ChainsForSpace(history.Table(), KeepPolicy::Of(set), env.clock.Now());
    const auto next = std::find_if(chains.begin(), chains.end(), onThisMedium);
    if (next == chains.end() || !pruner.DeleteChain(*next)) break;
  }
  for (const QString& problem : pruner.problems) env.WriteLog(problem);
  return any;
}

}  // namespace qarno
