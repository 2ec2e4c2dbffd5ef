// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/HistoryTable.h"
#include "mainwin/Qarno.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

using test::TestEnv;

struct History : ::testing::Test {
  TestEnv env;
  Qarno q{*env.m};
  Module1& m = *env.m;
  void SetUp() override { m.set.Name = QStringLiteral("daily"); }
  void Add(const QString& name, const QString& level, const QString& kb = QStringLiteral("10"),
           const QString& comment = QString()) {
    q.AddHisTable(name, level, kb, QStringLiteral("D:\\Backup"), QStringLiteral("1A2B-3C4D"), QStringLiteral("VOL"),
                  QStringLiteral("12"), QStringLiteral("2001/02/03 04:05:06"), QStringLiteral("00:01:02"), comment,
                  QStringLiteral("0"));
  }
  QStringList Names() const {
    QStringList out;
    for (int r = 1; r < q.HisTable.Rows(); ++r) out += q.HisTable.Cell(r, HistoryEntry::SaveName);
    return out;
  }
};

TEST_F(History, SortsNewestFirstWithOverwriteOnTop) {
  Add(QStringLiteral("qrn990331_00"), QStringLiteral("Level-0"));
  Add(QStringLiteral("qrn20000706_00"), QStringLiteral("Level-1"));
  Add(QStringLiteral("Qrn_All"), QStringLiteral("上書き"));
  Add(QStringLiteral("qrn20000706_01"), QStringLiteral("Level-2"));
  Add(QStringLiteral("qrn990331_01"), QStringLiteral("Level-1"));
  EXPECT_EQ(Names(), (QStringList{"Qrn_All", "qrn20000706_01", "qrn20000706_00", "qrn990331_01", "qrn990331_00"}));
  EXPECT_TRUE(m.HistoryModified);
  EXPECT_TRUE(q.ChkHis(QStringLiteral("QRN990331_01")));
  EXPECT_FALSE(q.ChkHis(QStringLiteral("qrn990331_02")));
}

TEST_F(History, AddingASavedNameReplacesItsRow) {
  Add(QStringLiteral("Qrn_All"), QStringLiteral("上書き"), QStringLiteral("5"));
  Add(QStringLiteral("Qrn_All"), QStringLiteral("上書き"), QStringLiteral("7"));
  ASSERT_EQ(q.HisTable.Rows(), 2);
  EXPECT_EQ(q.HisTable.Cell(1, HistoryEntry::SavedKB), QStringLiteral("7"));
}

TEST_F(History, RepairAddsToTheRepairedRowFoundByName) {
  Add(QStringLiteral("qrn20010101_00"), QStringLiteral("Level-0"), QStringLiteral("100"));
  Add(QStringLiteral("Qrn_All"), QStringLiteral("上書き"), QStringLiteral("3"));
  m.set.SaveLevel = Level::Repair;
  q.AddHisTable(QStringLiteral("qrn20010101_00"), QStringLiteral("修復"), QStringLiteral("25"), QStringLiteral("E:\\"),
                QStringLiteral("0000-0001"), QStringLiteral("NEW"), QStringLiteral("1"), QStringLiteral("2001/01/02 00:00:00"),
                QStringLiteral("00:00:05"), QString(), QStringLiteral("0"));
  ASSERT_EQ(q.HisTable.Rows(), 3);
  EXPECT_EQ(q.HisTable.Cell(1, HistoryEntry::SavedKB), QStringLiteral("3"));  // the overwrite row is untouched
  EXPECT_EQ(q.HisTable.Cell(2, HistoryEntry::SavedKB), QStringLiteral("125"));
  EXPECT_EQ(q.HisTable.Cell(2, HistoryEntry::Level), QStringLiteral("Level-0"));
  EXPECT_EQ(q.HisTable.Cell(2, HistoryEntry::VolName), QStringLiteral("NEW"));
  EXPECT_EQ(q.HisTable.Cell(2, HistoryEntry::UncopiedCount), QStringLiteral("0"));
}

TEST_F(History, FileRoundTripKeepsCommentsWithCommasAndMendsQuotes) {
  Add(QStringLiteral("qrn20010101_00"), QStringLiteral("Level-0"), QStringLiteral("1"), QStringLiteral("a, b, c"));
  Add(QStringLiteral("qrn20010102_00"), QStringLiteral("Level-1"), QStringLiteral("2"), QStringLiteral("say \"hi\""));
  ASSERT_TRUE(q.SaveHisFile());
  EXPECT_FALSE(m.HistoryModified);
  const QString text = QString::fromUtf8(env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrl")));
  EXPECT_TRUE(text.startsWith(QStringLiteral("#Version ") + m.ProgramVersion + QStringLiteral("\r\n")));
  EXPECT_TRUE(text.contains(QStringLiteral(
      "qrn20010101_00,Level-0,1,D:\\Backup,1A2B-3C4D,VOL,12,2001/02/03 04:05:06,00:01:02,\"a, b, c\",0\r\n")));
  const HistoryTable before = q.HisTable;
  q.ReadHisFile();
  ASSERT_EQ(q.HisTable.Rows(), 3);
  for (int r = 1; r < 3; ++r)
    for (int c = 0; c < HistoryEntry::ColumnCount; ++c)
      if (c != HistoryEntry::Comment) {
        EXPECT_EQ(q.HisTable.Cell(r, c), before.Cell(r, c)) << r << "," << c;
      }
  EXPECT_EQ(q.HisTable.Cell(2, HistoryEntry::Comment), QStringLiteral("a, b, c"));
  EXPECT_EQ(q.HisTable.Cell(1, HistoryEntry::Comment), QStringLiteral("say ＂hi＂"));
  EXPECT_EQ(q.HisTable.Cell(1, HistoryEntry::UncopiedCount), QStringLiteral("0"));
}

TEST_F(History, OldFilesWithoutVersionGetLevelsAndLoseTheCsvSuffix) {
  env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrl"),
                "qrn990301_00.csv,,10,D:\\,1111-2222,V1,20\r\n"
                "qrn990302_00.csv,,11,D:\\,1111-2222,V1,21\r\n"
                "qrn990303_00.csv,Level-2,12,D:\\,1111-2222,V1,22\n");
  q.ReadHisFile();
  ASSERT_EQ(q.HisTable.Rows(), 4);
  EXPECT_EQ(Names(), (QStringList{"qrn990303_00", "qrn990302_00", "qrn990301_00"}));
  EXPECT_EQ(q.HisTable.Cell(1, HistoryEntry::Level), QStringLiteral("Level-2"));
  EXPECT_EQ(q.HisTable.Cell(2, HistoryEntry::Level), QStringLiteral("Level-1"));
  EXPECT_EQ(q.HisTable.Cell(3, HistoryEntry::Level), QStringLiteral("Level-0"));
  EXPECT_EQ(q.HisTable.Cell(3, HistoryEntry::UsedKB), QStringLiteral("20"));
  EXPECT_EQ(q.HisTable.Cell(3, HistoryEntry::SaveDate), QString());
}

TEST_F(History, VersionLineInLowerCaseAndShortRecordsAreRead) {
  env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrl"),
                "#version 1.10\r\n\r\nqrn20010101_00,Level-0,5\r\n#comment line\r\n");
  q.ReadHisFile();
  ASSERT_EQ(q.HisTable.Rows(), 2);
  EXPECT_EQ(q.HisTable.Cell(1, HistoryEntry::SaveName), QStringLiteral("qrn20010101_00"));
  EXPECT_EQ(q.HisTable.Cell(1, HistoryEntry::SavedKB), QStringLiteral("5"));
  EXPECT_EQ(q.HisTable.Cell(1, HistoryEntry::SaveDir), QString());
}

TEST_F(History, MissingFileIsCreatedAndEmptyHistoryDeletesIt) {
  q.ReadHisFile();
  EXPECT_TRUE(env.Exists(QStringLiteral("T:\\prog\\SetDir\\daily.qrl")));
  EXPECT_EQ(q.HisTable.Rows(), 1);
  EXPECT_TRUE(q.SaveHisFile());
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\prog\\SetDir\\daily.qrl")));
  m.SetFolder = QStringLiteral("T:\\nowhere");
  m.AutoRunMode.mode = 2;
  env.ui.Expect(Question::HistoryNotCreated, Answer::OK, QStringLiteral("ファイルが作れませんでした。"));
  q.ReadHisFile();
  EXPECT_EQ(m.AutoRunMode.mode, -1);
  Add(QStringLiteral("qrn20010101_00"), QStringLiteral("Level-0"));
  env.ui.Expect(Question::HistoryNotSaved, Answer::OK, QStringLiteral("daily.qrl\r保存できませんでした"));
  EXPECT_FALSE(q.SaveHisFile());
  EXPECT_TRUE(m.HistoryModified);
}

TEST_F(History, PreviousRunOfEachLevel) {
  Add(QStringLiteral("qrn20010101_00"), QStringLiteral("Level-0"));
  Add(QStringLiteral("qrn20010102_00"), QStringLiteral("Level-2"));
  Add(QStringLiteral("Qrn_All"), QStringLiteral("上書き"));
  int row = -1;
  m.set.SaveLevel = Level::Level0;
  EXPECT_TRUE(q.GetPreCsvName(row));
  EXPECT_EQ(row, 0);
  m.set.SaveLevel = Level::Level1;
  EXPECT_TRUE(q.GetPreCsvName(row));
  EXPECT_EQ(row, 3);
  m.set.SaveLevel = Level::Level2;
  EXPECT_TRUE(q.GetPreCsvName(row));
  EXPECT_EQ(row, 2);
  m.set.SaveLevel = Level::Repair;
  EXPECT_TRUE(q.GetPreCsvName(row));
  EXPECT_EQ(row, 2);
  m.set.SaveLevel = Level::Overwrite;
  EXPECT_TRUE(q.GetPreCsvName(row));
  EXPECT_EQ(row, 1);
  m.set.SaveLevel = static_cast<Level>(7);
  EXPECT_FALSE(q.GetPreCsvName(row));
  q.ClearHisTable();
  m.set.SaveLevel = Level::Level1;
  EXPECT_FALSE(q.GetPreCsvName(row));
  EXPECT_EQ(row, 0);
  EXPECT_EQ(Qarno::GetSaveLevelCaption(Level::Overwrite), QStringLiteral("上書き"));
  EXPECT_EQ(Qarno::GetSaveLevelCaption(Level::None), QString());
}

}  // namespace
}  // namespace qarno
