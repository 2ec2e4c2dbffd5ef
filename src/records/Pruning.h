// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Old runs of a set go by the set's policy, a whole chain at a time, so that no run that
// stays ever loses a run it builds on.
//
// A chain is a Level-0 run with every later run up to the next Level-0 (Level-1, Level-2,
// and a repair, which adds to the row of the run it repairs). The overwrite save belongs to
// no chain and never goes; the newest chain never goes either. Runs older than the oldest
// Level-0 of the history (their Level-0 was deleted by hand) make the oldest chain.
//
// Deleting a chain takes its rows out of the history and writes it (atomically) before any of
// its data goes: a stop or a crash in between leaves data without a row ("orphaned"), never a
// row without its data. Orphaned saves are found by their names and removed by a later prune.
#include "common/RunEnvironment.h"
#include "mainwin/RunHistory.h"
#include "records/SaveLayout.h"

#include <functional>
#include <optional>
#include <vector>

namespace qarno {

struct KeepPolicy {
  int32_t keepChains = 0;  // the newest N chains stay; 0 is off
  int32_t keepDays = 0;    // every chain whose newest run is younger than D days stays; 0 is off
  bool Active() const { return keepChains > 0 || keepDays > 0; }
  static KeepPolicy Of(const BackupSet& set) { return KeepPolicy{set.KeepChains, set.KeepDays}; }
};

// One run as a prune shows it.
struct PrunedRun {
  QString saveName, level, date, saveDir;
  int64_t kb = 0;  // the space the history records for it (used size, else saved size)
};

struct RunChain {
  std::vector<PrunedRun> runs;          // newest first
  std::optional<QDateTime> newest;      // the newest readable date of its runs
  int64_t Kb() const;
};

// The chains of the history, newest first.
std::vector<RunChain> ChainsOf(const HistoryTable& history);
// The chains the policy does not keep, oldest first; none when the policy is off.
std::vector<RunChain> ChainsToPrune(const HistoryTable& history, const KeepPolicy& policy, const QDateTime& now);
// The chains a run short of space may delete, oldest first: those the policy does not keep,
// or, with the policy off, every chain but the newest.
std::vector<RunChain> ChainsForSpace(const HistoryTable& history, const KeepPolicy& policy, const QDateTime& now);
// The history rows (1 = the newest) of the chains, for marking them in a grid.
std::vector<int> RowsOf(const HistoryTable& history, const std::vector<RunChain>& chains);

// Where the saved data of a run lies, when it is data this program made on the run's
// destination: a save name of its own, on an absolute destination without "." or "..", in
// the set's folder, neither folder a link. Nothing for any other run: its data is never
// touched.
std::optional<RunPaths> SafeRunPaths(Platform& fs, const QString& setName, const QString& saveDir,
                                     const QString& saveName);

// A save on a destination the history has no row for (a prune or a run stopped half-way).
struct OrphanSave {
  QString saveDir, saveName;
};
// The orphaned saves in the set's folder on each destination of the history and on
// `setSaveDir`. Only names this program makes count; the overwrite save never does.
std::vector<OrphanSave> FindOrphans(Platform& fs, const QString& setName, const HistoryTable& history,
                                    const QString& setSaveDir);

// Deletes chains and orphans of one set. The caller holds the set.
class Pruner {
 public:
  Pruner(const RunEnvironment& env, RunHistory& history, QString setName);

  // Told of each run once its row went (before its data goes).
  std::function<void(const PrunedRun&)> onDeleted;
  int64_t freedKB = 0;
  QStringList problems;  // one line each: what was not deleted, and why

  // The chain's rows, the history written, then the data. False when a run of it names no
  // data of this program (nothing of the chain goes), the history could not be written (no
  // data goes), or a stop cut the data deletion short.
  bool DeleteChain(const RunChain& chain);
  bool DeleteOrphan(const OrphanSave& orphan);

 private:
  void DeleteData(const RunPaths& paths);
  RunEnvironment env_;  // references to what the caller owns, as a run holds it
  RunHistory& history_;
  QString setName_;
};

// After a successful run: the chains the set's policy does not keep go, each run logged.
// Returns the number of runs deleted.
int ApplyKeepPolicy(const RunEnvironment& env, RunHistory& history, const BackupSet& set);
// A run short of its reserve: the oldest chain that may go goes, one at a time, while
// `shortOfSpace` says so. True when any went.
bool PruneForSpace(const RunEnvironment& env, RunHistory& history, const BackupSet& set,
                   const std::function<bool()>& shortOfSpace);

}  // namespace qarno
