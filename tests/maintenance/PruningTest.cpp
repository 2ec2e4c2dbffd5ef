// SPDX-License-Identifier: GPL-3.0-or-later
// Old runs going by the set's policy: whole chains only, never the newest one nor the
// overwrite save, and a prune stopped at any moment leaves a history whose every row still
// has all of its data.
#include "maintenance/HistoryUpkeep.h"
#include "maintenance/SettingsChoice.h"
#include "mainwin/SetFile.h"
#include "platform/TextCodec.h"
#include "records/Pruning.h"
#include "support/CrashPlatform.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

struct Run {
  const char* name;
  const char* level;
  const char* date;
};

// Oldest first: a Level-1 whose Level-0 was deleted by hand, then chains A (with the overwrite
// save among them), B, C (with a repair) and D, the newest.
const Run kRuns[] = {
    {"qrn20261030_01", "Level-1", "2026/10/30 12:00:00"},  // Z
    {"qrn20261101_01", "Level-0", "2026/11/01 12:00:00"},  // A
    {"qrn20261102_01", "Level-1", "2026/11/02 12:00:00"},
    {"Qrn_All", "上書き", "2026/11/02 18:00:00"},
    {"qrn20261103_01", "Level-2", "2026/11/03 12:00:00"},
    {"qrn20261110_01", "Level-0", "2026/11/10 12:00:00"},  // B
    {"qrn20261112_01", "Level-2", "2026/11/12 12:00:00"},
    {"qrn20261120_01", "Level-0", "2026/11/20 12:00:00"},  // C
    {"qrn20261121_01", "修復", "2026/11/21 12:00:00"},
    {"qrn20261201_01", "Level-0", "2026/12/01 12:00:00"},  // D
};

HistoryTable History() {
  HistoryTable t;
  for (const Run& r : kRuns) {
    const int row = t.AddRow(QString::fromUtf8(r.name));
    t.SetCell(row, HistoryEntry::Level, QString::fromUtf8(r.level));
    t.SetCell(row, HistoryEntry::SaveDate, QString::fromUtf8(r.date));
    t.SetCell(row, HistoryEntry::SaveDir, QStringLiteral("T:\\dst"));
    t.SetCell(row, HistoryEntry::SavedKB, QStringLiteral("10"));
  }
  t.Sort();
  return t;
}

QStringList Names(const std::vector<RunChain>& chains) {
  QStringList out;
  for (const RunChain& c : chains)
    for (const PrunedRun& r : c.runs) out += r.saveName;
  return out;
}

class FixedClock : public Clock {
 public:
  QDateTime now{QDate(2026, 12, 8), QTime(12, 0)};
  QDateTime Now() const override { return now; }
};

TEST(Pruning, WholeChainsGoOldestFirstByEachKnobAloneAndTogether) {
  const HistoryTable h = History();
  const FixedClock clock;
  const QStringList Z{"qrn20261030_01"}, A{"qrn20261103_01", "qrn20261102_01", "qrn20261101_01"},
      B{"qrn20261112_01", "qrn20261110_01"}, C{"qrn20261121_01", "qrn20261120_01"};
  struct Case {
    int chains, days;
    QStringList gone;
  };
  const Case cases[] = {
      {0, 0, {}},             // no policy: nothing goes
      {1, 0, Z + A + B + C},  // only the newest chain stays
      {2, 0, Z + A + B},
      {99, 0, {}},
      {0, 10, Z + A + B + C},  // D (7 days) stays, C (newest run 17 days old) goes
      {0, 18, Z + A + B},      // C is younger than 18 days
      {0, 17, Z + A + B + C},  // exactly 17 days is not younger
      {0, 1, Z + A + B + C},   // the newest chain stays however old
      {2, 38, Z},              // the knobs together keep what either keeps
      {3, 20, Z + A},
  };
  for (const Case& c : cases) {
    const KeepPolicy policy{c.chains, c.days};
    EXPECT_EQ(Names(ChainsToPrune(h, policy, clock.Now())), c.gone) << c.chains << " chains, " << c.days << " days";
    BackupSet set;
    set.KeepChains = c.chains;
    set.KeepDays = c.days;
    // The deletion dialog's preview marks exactly those rows.
    const PrunePreview preview = PreviewPruning(set, h, clock.Now());
    QStringList marked;
    for (int row : preview.rows) marked += h.Cell(row, HistoryEntry::SaveName);
    QStringList gone = c.gone;
    std::sort(gone.begin(), gone.end(), [](const QString& a, const QString& b) { return a > b; });
    EXPECT_EQ(marked, gone) << c.chains << " chains, " << c.days << " days";
  }
  // Short of space, with no policy every chain but the newest may go; with one, only what it
  // does not keep.
  EXPECT_EQ(Names(ChainsForSpace(h, KeepPolicy{}, clock.Now())), Z + A + B + C);
  EXPECT_EQ(Names(ChainsForSpace(h, KeepPolicy{2, 0}, clock.Now())), Z + A + B);
}

TEST(Pruning, ThePolicyLivesInTheSetFileOnlyWhenOnAndTheSettingsMarkTheSetChanged) {
  BackupSet s;
  EXPECT_FALSE(FormatSetFile(s, QStringLiteral("1.10")).join(u'\n').contains(QStringLiteral("Keep")));
  EXPECT_FALSE(FormatSetFile(s, QStringLiteral("1.10")).join(u'\n').contains(QStringLiteral("Prune")));
  s.KeepChains = 3;
  s.KeepDays = 90;
  s.PruneForSpace = true;
  BackupSet back;
  ApplySetFileLines(back, FormatSetFile(s, QStringLiteral("1.10")));
  EXPECT_EQ(back.KeepChains, 3);
  EXPECT_EQ(back.KeepDays, 90);
  EXPECT_TRUE(back.PruneForSpace);
  EXPECT_TRUE(back.SaveList.isEmpty());
  BackupSet bad;
  ApplySetFileLines(bad, {QStringLiteral("#KeepChains=-1"), QStringLiteral("#KeepDays=36501"),
                          QStringLiteral("#PruneForSpace=2"), QStringLiteral("#keepchains=x")});
  EXPECT_EQ(bad.KeepChains, 0);
  EXPECT_EQ(bad.KeepDays, 0);
  EXPECT_FALSE(bad.PruneForSpace);

  test::TestEnv env;
  Module1& m = *env.m;
  SettingsChoice c = CurrentSettings(m);
  ASSERT_EQ(TakeOverSettings(m, c, false), SettingsProblem::None);
  EXPECT_FALSE(m.SetModified);
  c.keepChains = 4;
  c.pruneForSpace = true;
  ASSERT_EQ(TakeOverSettings(m, c, false), SettingsProblem::None);
  EXPECT_TRUE(m.SetModified);  // else the set file would never get the new keys
  EXPECT_EQ(m.set.KeepChains, 4);
  EXPECT_TRUE(m.set.PruneForSpace);
}

// --- A prune killed at every moment ----------------------------------------------------------

struct Killed {};

// Dies before the `budget`+1-th step that changes the disk: a step of a replacing write, a
// file or a folder removed. What the replacing write had not synced is lost as in a crash.
class DyingPlatform : public test::CrashPlatform {
 public:
  using CrashPlatform::CrashPlatform;
  int budget = -1;  // -1: never dies
  int taken = 0;

  FsStatus CreateBeside(const QString& t, std::unique_ptr<BesideFile>& f) override { return Step(), CrashPlatform::CreateBeside(t, f); }
  FsStatus WriteBeside(BesideFile& f, const QByteArray& b) override { return Step(), CrashPlatform::WriteBeside(f, b); }
  FsStatus SyncBeside(BesideFile& f) override { return Step(), CrashPlatform::SyncBeside(f); }
  FsStatus ReplaceWithBeside(BesideFile& f) override { return Step(), CrashPlatform::ReplaceWithBeside(f); }
  FsStatus SyncBesideFolder(BesideFile& f) override { return Step(), CrashPlatform::SyncBesideFolder(f); }
  FsStatus Kill(const QString& p) override { return Step(), CrashPlatform::Kill(p); }
  FsStatus RmDir(const QString& p) override { return Step(), CrashPlatform::RmDir(p); }

 private:
  void Step() {
    if (budget >= 0 && taken == budget) throw Killed{};
    ++taken;
  }
};

struct KilledWorld {
  test::TestEnv env;
  DyingPlatform fs{env.fs};
  Module1 m{fs, env.ui, QStringLiteral("T:\\prog")};
  Qarno q{m};
  QStringList runs = {"qrn20261101_01", "qrn20261102_01", "qrn20261110_01", "qrn20261111_01", "qrn20261120_01"};

  KilledWorld() {
    test::SetUpDailySet(m, env);
    m.set.KeepChains = 1;
    const char* levels[] = {"Level-0", "Level-1", "Level-0", "Level-2", "Level-0"};
    for (int i = 0; i < runs.size(); ++i) {
      const QString dir = QStringLiteral("T:\\dst\\daily\\") + runs[i];
      env.WriteFile(dir + QStringLiteral(".csv"), "listing " + runs[i].toUtf8());
      env.WriteFile(dir + QStringLiteral("\\Drive_T\\src\\a.txt"), "a of " + runs[i].toUtf8());
      env.WriteFile(dir + QStringLiteral("\\Drive_T\\src\\sub\\b.txt"), "b of " + runs[i].toUtf8());
      const int row = q.HisTable.AddRow(runs[i]);
      q.HisTable.SetCell(row, HistoryEntry::Level, QString::fromUtf8(levels[i]));
      q.HisTable.SetCell(row, HistoryEntry::SaveDir, QStringLiteral("T:\\dst"));
      q.HisTable.SetCell(row, HistoryEntry::SaveDate, QStringLiteral("2026/11/%1 12:00:00").arg(runs[i].mid(9, 2)));
    }
    q.HisTable.Sort();
    EXPECT_TRUE(q.Save());
    fs.Forget();
    fs.taken = 0;
  }
  bool Whole(const QString& run) const {
    const QString dir = QStringLiteral("T:\\dst\\daily\\") + run;
    return env.ReadFile(dir + QStringLiteral(".csv")) == "listing " + run.toUtf8() &&
           env.ReadFile(dir + QStringLiteral("\\Drive_T\\src\\a.txt")) == "a of " + run.toUtf8() &&
           env.ReadFile(dir + QStringLiteral("\\Drive_T\\src\\sub\\b.txt")) == "b of " + run.toUtf8();
  }
  bool AnyOf(const QString& run) const {
    const QString dir = QStringLiteral("T:\\dst\\daily\\") + run;
    return env.Exists(dir) || env.Exists(dir + QStringLiteral(".csv"));
  }
  // The history as the next program start reads it.
  QStringList Rows() const {
    HistoryTable t;
    ParseHistoryFile(TextCodec().DecodeLines(env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrl"))), t);
    QStringList out;
    for (int r = 1; r < t.Rows(); ++r) out += t.Cell(r, HistoryEntry::SaveName);
    return out;
  }
};

TEST(PruneKilled, EveryRowKeepsAllItsDataAndTheNextPruneRemovesWhatIsLeft) {
  int total = 0;
  {
    KilledWorld w;
    EXPECT_EQ(ApplyKeepPolicy(w.m.Environment(), w.q, w.m.set), 4);
    total = w.fs.taken;
    EXPECT_EQ(w.Rows(), QStringList{"qrn20261120_01"});
  }
  ASSERT_GT(total, 10);
  for (int budget = 0; budget < total; ++budget) {
    SCOPED_TRACE(budget);
    KilledWorld w;
    w.fs.budget = budget;
    EXPECT_THROW(ApplyKeepPolicy(w.m.Environment(), w.q, w.m.set), Killed);
    w.fs.CrashAfter(w.fs.steps.size());
    w.fs.budget = -1;
    const QStringList rows = w.Rows();
    ASSERT_FALSE(rows.isEmpty());
    for (const QString& row : rows) EXPECT_TRUE(w.Whole(row)) << row.toStdString() << " lost data under its row";
    // What the next start finds: the history on the disk, and the saves it has no row for.
    Qarno again(w.m);
    again.ReadHisFile();
    QStringList orphans;
    for (const OrphanSave& o : FindOrphans(w.fs, w.m.set.Name, again.HisTable, w.m.set.SaveDir)) orphans += o.saveName;
    for (const QString& run : w.runs)
      EXPECT_EQ(orphans.contains(run), !rows.contains(run) && w.AnyOf(run)) << run.toStdString();
    // The next prune removes both the orphans and the rest of the chains.
    const RunEnvironment env = w.m.Environment();
    Pruner pruner(env, again, w.m.set.Name);
    for (const OrphanSave& o : FindOrphans(w.fs, w.m.set.Name, again.HisTable, w.m.set.SaveDir))
      EXPECT_TRUE(pruner.DeleteOrphan(o));
    ApplyKeepPolicy(env, again, w.m.set);
    EXPECT_EQ(w.Rows(), QStringList{"qrn20261120_01"});
    EXPECT_TRUE(w.Whole(QStringLiteral("qrn20261120_01")));
    for (const QString& run : w.runs.mid(0, 4)) EXPECT_FALSE(w.AnyOf(run)) << run.toStdString();
    EXPECT_TRUE(FindOrphans(w.fs, w.m.set.Name, again.HisTable, w.m.set.SaveDir).empty());
  }
}

}  // namespace
}  // namespace qarno
