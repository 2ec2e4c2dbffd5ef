// SPDX-License-Identifier: GPL-3.0-or-later
// Backup runs of every level end to end on a real temporary tree.
#include "EngineWorld.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace qarno::test {
namespace {

QString Today(int counter) { return SaveNameFor(QDate::currentDate(), counter); }

struct Levels : ::testing::Test {
  EngineWorld w;
  void SetUp() override {
    w.Source(QStringLiteral("a.txt"), "alpha");
    w.Source(QStringLiteral("sub\\b.txt"), QByteArray(1025, 'b'));
    w.Source(QStringLiteral("sub\\.hidden"), "");
    w.env.SetTime(QStringLiteral("T:\\src\\sub"), EngineWorld::kTime);
    w.env.SetTime(QStringLiteral("T:\\src"), EngineWorld::kTime);
  }
};

TEST_F(Levels, Level0WritesCopiesListingHistoryAndLog) {
  const RunResult r = w.Run(Level::Level0);
  ASSERT_TRUE(r.succeeded) << r.status.toStdString();
  EXPECT_EQ(r.saveName, Today(0));
  const QString s = r.saveName;
  // Exact listing bytes: scan order, fields, CR LF.
  const QByteArray expected =
      "\"T:\\src\",----D,0,2001/02/03 04:05:06,3," + s.toUtf8() + ",1A2B-3C4D,BACKUP1,,0,\r\n"
      "\"T:\\src\\a.txt\",---A-,5,2001/02/03 04:05:06,3," + s.toUtf8() + ",1A2B-3C4D,BACKUP1,,0,\r\n"
      "\"T:\\src\\sub\",----D,0,2001/02/03 04:05:06,3," + s.toUtf8() + ",1A2B-3C4D,BACKUP1,,0,\r\n"
      "\"T:\\src\\sub\\.hidden\",--HA-,0,2001/02/03 04:05:06,3," + s.toUtf8() + ",1A2B-3C4D,BACKUP1,,0,\r\n"
      "\"T:\\src\\sub\\b.txt\",---A-,1025,2001/02/03 04:05:06,3," + s.toUtf8() + ",1A2B-3C4D,BACKUP1,,0,\r\n";
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\") + s + QStringLiteral(".csv")), expected);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\") + s + QStringLiteral("\\Drive_T\\src\\sub\\b.txt")),
            QByteArray(1025, 'b'));
  EXPECT_EQ(*w.fs.FileTime(QStringLiteral("T:\\dst\\daily\\") + s + QStringLiteral("\\Drive_T\\src\\a.txt")),
            EngineWorld::kTime.toSecsSinceEpoch());
  // The history: one Level-0 row of 3 KB (5 B → 1 KB, 1025 B → 2 KB).
  const QStringList his = w.HistoryLines();
  ASSERT_EQ(his.size(), 2);
  EXPECT_TRUE(his[1].startsWith(s + QStringLiteral(",Level-0,3,T:\\dst,1A2B-3C4D,BACKUP1,0,"))) << his[1].toStdString();
  EXPECT_TRUE(his[1].endsWith(QStringLiteral(",\"\",0")));
  // The set file and history travel with the save.
  EXPECT_TRUE(w.env.Exists(QStringLiteral("T:\\dst\\daily\\daily.qrl")));
  const QString log = w.Log();
  for (const char* part : {"保存開始 [", "セット名 [daily]", "保存先 [T:\\dst]", "レベル [Level-0]", "前回の保存名 []",
                           "圧縮方法 [圧縮しない]", "保存済みフォルダー [2]", "保存済みファイル [3]", "サイズ(KB) [3]",
                           "使用サイズ(KB) [0]", "終了\r\n\r\n"})
    EXPECT_TRUE(log.contains(QString::fromUtf8(part))) << part << "\n" << log.toStdString();
  EXPECT_FALSE(log.contains(QStringLiteral("中止されました")));
  EXPECT_EQ(w.run->ListInfo().Cell(ListInfoTable::Files, 1), QStringLiteral("3"));
  EXPECT_EQ(w.run->ListInfo().Cell(ListInfoTable::KB, 1), QStringLiteral("3"));
  EXPECT_EQ(w.run->View().ListSel(), 1);
}

TEST_F(Levels, Level1RefersUnchangedEntriesToTheLevel0Save) {
  ASSERT_TRUE(w.Run(Level::Level0).succeeded);
  const RunResult r = w.Run(Level::Level1);
  ASSERT_TRUE(r.succeeded);
  EXPECT_EQ(r.saveName, Today(1));
  for (const QString& line : w.Listing(r.saveName)) {
    const QStringList f = EngineWorld::Fields(line);
    EXPECT_EQ(f[4], QStringLiteral("2")) << line.toStdString();
    EXPECT_EQ(f[5], Today(0));
  }
  EXPECT_EQ(w.run->ListInfo().Cell(ListInfoTable::Files, 2), QStringLiteral("0"));
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\dst\\daily\\") + r.saveName));  // nothing copied, no folder
  EXPECT_TRUE(w.Log().contains(QStringLiteral("前回の保存名 [") + Today(0) + u']'));
}

TEST_F(Levels, ChangesOfTimeSizeOrAttributesAndNewOrFailedFilesAreCopied) {
  ASSERT_TRUE(w.Run(Level::Level0).succeeded);
  w.Source(QStringLiteral("a.txt"), "alpha", EngineWorld::kTime.addSecs(1));          // touched
  w.Source(QStringLiteral("sub\\b.txt"), QByteArray(1026, 'b'));                      // grown
  ::chmod(QFile::encodeName(w.env.Host(QStringLiteral("T:\\src\\sub\\.hidden"))).constData(), 0444);  // read-only
  w.Source(QStringLiteral("new.txt"), "new");                                          // added
  w.env.SetTime(QStringLiteral("T:\\src"), EngineWorld::kTime);
  const RunResult r = w.Run(Level::Level1);
  ASSERT_TRUE(r.succeeded);
  const QString s = r.saveName;
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(s, w.Src("a.txt")))[4], QStringLiteral("3"));
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(s, w.Src("sub\\b.txt")))[2], QStringLiteral("1026"));
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(s, w.Src("sub\\.hidden")))[1], QStringLiteral("R-HA-"));
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(s, w.Src("sub\\.hidden")))[5], s);
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(s, w.Src("new.txt")))[5], s);
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(s, QStringLiteral("T:\\src")))[4], QStringLiteral("2"));
  EXPECT_EQ(w.run->ListInfo().Cell(ListInfoTable::Files, 2), QStringLiteral("4"));

  // An entry the last run failed to copy is copied again although it did not change.
  QStringList lines = w.Listing(s);
  for (QString& l : lines)
    if (l.startsWith(u'"' + w.Src("new.txt"))) l.replace(QStringLiteral(",3,") + s, QStringLiteral(",-2,"));
  w.env.WriteFile(QStringLiteral("T:\\dst\\daily\\") + s + QStringLiteral(".csv"), TextCodec().EncodeLines(lines));
  const RunResult r2 = w.Run(Level::Level2);
  ASSERT_TRUE(r2.succeeded);
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(r2.saveName, w.Src("new.txt")))[5], r2.saveName);
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(r2.saveName, w.Src("a.txt")))[5], s);
  EXPECT_EQ(w.run->ListInfo().Cell(ListInfoTable::Files, 2), QStringLiteral("1"));
}

TEST_F(Levels, Level2ComparesWithTheNewestRunOfAnyDifferentialLevel) {
  ASSERT_TRUE(w.Run(Level::Level0).succeeded);
  w.Source(QStringLiteral("a.txt"), "changed");
  ASSERT_TRUE(w.Run(Level::Level2).succeeded);
  const RunResult r = w.Run(Level::Level2);
  EXPECT_EQ(w.run->state().texts.TOldSetName, Today(1));
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(r.saveName, w.Src("a.txt")))[5], Today(1));
  // Level-1 goes back past Level-2 runs to the newest Level-0 or Level-1.
  w.Run(Level::Level1);
  EXPECT_EQ(w.run->state().texts.TOldSetName, Today(0));
}

TEST_F(Levels, OverwriteRunsReuseOneSaveAndKeepVanishedEntries) {
  const RunResult r1 = w.Run(Level::Overwrite);
  ASSERT_TRUE(r1.succeeded);
  EXPECT_EQ(r1.saveName, QStringLiteral("Qrn_All"));
  EXPECT_EQ(w.run->state().texts.TOldSetName, QStringLiteral("Qrn_All"));
  QFile::remove(w.env.Host(w.Src("a.txt")));
  w.Source(QStringLiteral("sub\\b.txt"), "now different");
  const RunResult r2 = w.Run(Level::Overwrite);
  ASSERT_TRUE(r2.succeeded);
  const QStringList lines = w.Listing(QStringLiteral("Qrn_All"));
  ASSERT_EQ(lines.size(), 5);
  EXPECT_TRUE(lines.last().startsWith(u'"' + w.Src("a.txt") + QStringLiteral("\",---A-,5,2001/02/03 04:05:06,2,Qrn_All,")))
      << lines.last().toStdString();
  EXPECT_TRUE(w.env.Exists(QStringLiteral("T:\\dst\\daily\\Qrn_All_Bak.csv")));
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\Qrn_All\\Drive_T\\src\\sub\\b.txt")), QByteArray("now different"));
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\Qrn_All\\Drive_T\\src\\a.txt")), QByteArray("alpha"));
  EXPECT_EQ(w.HistoryLines().size(), 2);  // one row for the overwrite save
  // A third run keeps carrying the vanished entry.
  ASSERT_TRUE(w.Run(Level::Overwrite).succeeded);
  EXPECT_EQ(w.Listing(QStringLiteral("Qrn_All")).size(), 5);
}

TEST_F(Levels, RepairCopiesOnlyWhatTheRepairedRunMissed) {
  w.fs.copyFails.insert(w.Src("a.txt"));
  w.ui.Expect(Question::UncopiedEntries, Answer::OK, QStringLiteral("1 個コピーできませんでした。"));
  w.ui.Expect(Question::UncopiedEntries, Answer::OK, QStringLiteral("1 個コピーできませんでした。"));
  const RunResult r0 = w.Run(Level::Level0);
  ASSERT_TRUE(r0.succeeded);
  EXPECT_EQ(r0.uncopied, 1);
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(r0.saveName, w.Src("a.txt")))[4], QStringLiteral("-2"));
  ASSERT_TRUE(w.Run(Level::Overwrite).succeeded);  // an overwrite row now sorts above the repaired run
  w.fs.copyFails.clear();
  w.Source(QStringLiteral("sub\\b.txt"), "changed after the run: a repair does not look");
  const RunResult r = w.Run(Level::Repair);
  ASSERT_TRUE(r.succeeded);
  EXPECT_EQ(r.saveName, r0.saveName);
  EXPECT_EQ(w.run->ListInfo().Cell(ListInfoTable::Files, 2), QStringLiteral("1"));
  for (const QString& line : w.Listing(r0.saveName)) EXPECT_EQ(EngineWorld::Fields(line)[4], QStringLiteral("3"));
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\") + r0.saveName + QStringLiteral("\\Drive_T\\src\\a.txt")),
            QByteArray("alpha"));
  // The repaired run's own row grows; no row is added and the overwrite row is untouched.
  ASSERT_EQ(w.main.HisTable.Rows(), 3);
  EXPECT_EQ(w.main.HisTable.Cell(2, HistoryEntry::SaveName), r0.saveName);
  EXPECT_EQ(w.main.HisTable.Cell(2, HistoryEntry::SavedKB), QStringLiteral("3"));
  EXPECT_EQ(w.main.HisTable.Cell(2, HistoryEntry::UncopiedCount), QStringLiteral("0"));
  EXPECT_EQ(w.main.HisTable.Cell(1, HistoryEntry::SaveName), QStringLiteral("Qrn_All"));
}

TEST_F(Levels, SaveNamesSkipWhatTheHistoryOrTheDestinationHolds) {
  EXPECT_EQ(SaveNameFor(QDate(1999, 3, 31), 0), QStringLiteral("qrn990331_00"));
  EXPECT_EQ(SaveNameFor(QDate(2000, 7, 6), 0), QStringLiteral("qrn20000706_00"));
  EXPECT_EQ(SaveNameFor(QDate(2000, 7, 6), 10), QStringLiteral("qrn20000706_10"));
  w.env.MakeDir(QStringLiteral("T:\\dst\\daily\\") + Today(0));
  w.env.WriteFile(QStringLiteral("T:\\dst\\daily\\") + Today(1) + QStringLiteral(".csv"), "");
  w.main.AddHisTable(Today(2), QStringLiteral("Level-0"), QStringLiteral("0"), QStringLiteral("T:\\dst"), QString(),
                     QString(), QStringLiteral("0"), QString(), QString(), QString(), QStringLiteral("0"));
  EXPECT_EQ(w.Run(Level::Level0).saveName, Today(3));
  for (int i = 4; i <= 10; ++i) w.env.MakeDir(QStringLiteral("T:\\dst\\daily\\") + Today(i));
  EXPECT_EQ(w.Run(Level::Level0).saveName, Today(11));
  // A drive root as destination gets the set folder without a doubled separator.
  w.m.set.SaveDir = QStringLiteral("T:\\");
  const RunResult r = w.Run(Level::Level0);
  EXPECT_EQ(w.run->state().paths.SaveSetHDir, QStringLiteral("T:\\daily"));
  EXPECT_TRUE(w.env.Exists(QStringLiteral("T:\\daily\\") + r.saveName + QStringLiteral(".csv")));
  EXPECT_TRUE(w.env.Exists(QStringLiteral("T:\\daily\\daily.qrl")));
}

}  // namespace
}  // namespace qarno::test
