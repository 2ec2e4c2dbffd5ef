// SPDX-License-Identifier: GPL-3.0-or-later
// Deleting history rows and their saved data, and editing a row's comment.
#include "maintenance/HistoryUpkeep.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <deque>

namespace qarno {
namespace {

using test::TestEnv;

struct Deletion : ::testing::Test {
  TestEnv env;
  Module1& m = *env.m;
  Qarno q{m};
  std::deque<DeleteAnswer> answers;
  QStringList asked;

  void SetUp() override {
    test::SetUpDailySet(m, env);
    m.settings.DelOption = 1;
  }
  // A run on the destination (listing and folder with one file) and its history row.
  void AddRun(const QString& name, const QString& saveDir = QStringLiteral("T:\\dst")) {
    if (IsSaveName(name) && saveDir == u"T:\\dst") {
      env.WriteFile(QStringLiteral("T:\\dst\\daily\\") + name + QStringLiteral(".csv"), "listing");
      env.WriteFile(QStringLiteral("T:\\dst\\daily\\") + name + QStringLiteral("\\Drive_T\\src\\a.txt"), "a");
    }
    const int row = q.HisTable.AddRow(name);
    q.HisTable.SetCell(row, HistoryEntry::SaveDir, saveDir);
  }
  bool RunThere(const QString& name) const {
    return env.Exists(QStringLiteral("T:\\dst\\daily\\") + name) ||
           env.Exists(QStringLiteral("T:\\dst\\daily\\") + name + QStringLiteral(".csv"));
  }
  HistoryDeletion Start() {
    HistoryDeletion d(m, q.HisTable);
    d.title = QStringLiteral("Qarno  daily  履歴情報の削除");
    d.agree = [this](const QString& text) {
      asked += text;
      if (answers.empty()) {
        ADD_FAILURE() << "unexpected question " << text.toStdString();
        return DeleteAnswer::Cancel;
      }
      const DeleteAnswer a = answers.front();
      answers.pop_front();
      return a;
    };
    return d;
  }
  static QStringList Names(const HistoryTable& t) {
    QStringList out;
    for (int r = 1; r < t.Rows(); ++r) out += t.Cell(r, HistoryEntry::SaveName);
    return out;
  }
};

QString RowQuestion(const QString& name) { return QStringLiteral("保存名： ") + name + QStringLiteral("　が履歴から削除されます！"); }
QString DataQuestion(const QString& name) {
  return QStringLiteral("保存名： ") + name + QStringLiteral("　の保存データが削除されます!\r\rよろしいですか？");
}

TEST_F(Deletion, RowsGoFromTheBottomUpAndNoKeepsTheDataOfARowThatWent) {
  for (const char* n : {"qrn20240104_01", "qrn20240103_01", "qrn20240102_01", "qrn20240101_01"}) AddRun(QLatin1String(n));
  ASSERT_TRUE(q.Save());
  HistoryDeletion d = Start();
  // Rows 1..3 selected (given the other way round, as a selection dragged upwards gives them).
  answers = {DeleteAnswer::Delete, DeleteAnswer::No,   // row 3: gone, its data kept
             DeleteAnswer::No,                         // row 2: kept
             DeleteAnswer::Delete, DeleteAnswer::Delete};  // row 1: gone with its data
  const int select = d.Remove(3, 1);
  EXPECT_EQ(asked, (QStringList{RowQuestion("qrn20240102_01"), DataQuestion("qrn20240102_01"),
                                RowQuestion("qrn20240103_01"), RowQuestion("qrn20240104_01"),
                                DataQuestion("qrn20240104_01")}));
  EXPECT_EQ(Names(d.table), (QStringList{"qrn20240103_01", "qrn20240101_01"}));
  EXPECT_TRUE(RunThere(QStringLiteral("qrn20240102_01")));
  EXPECT_FALSE(RunThere(QStringLiteral("qrn20240104_01")));
  EXPECT_TRUE(env.Exists(QStringLiteral("T:\\dst\\daily")));
  // The history on the disk lost the row before its data went: a kill in between never
  // leaves a row whose save is gone.
  EXPECT_FALSE(QString::fromUtf8(env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrl")))
                   .contains(QStringLiteral("qrn20240104_01")));
  EXPECT_EQ(select, 0);  // the block started at row 1: the header
  EXPECT_EQ(d.status, QStringLiteral("終了"));
  EXPECT_EQ(env.ui.asterisks, 5);  // each question with its beep
  // The main table is untouched until the copy back.
  EXPECT_EQ(q.HisTable.Rows(), 5);
  EXPECT_FALSE(m.HistoryModified);
  d.CopyTo(q.HisTable);
  EXPECT_EQ(Names(q.HisTable), Names(d.table));
  EXPECT_TRUE(m.HistoryModified);
}

TEST_F(Deletion, DeleteAllAsksNoMoreRowsAndTheDataQuestionOnce) {
  for (const char* n : {"qrn20240103_01", "qrn20240102_01", "qrn20240101_01"}) AddRun(QLatin1String(n));
  AddRun(QStringLiteral("Qrn_All"));
  HistoryDeletion d = Start();
  answers = {DeleteAnswer::DeleteAll, DeleteAnswer::DeleteAll};
  EXPECT_EQ(d.Remove(2, 4), 1);  // the row above the block
  EXPECT_EQ(asked, (QStringList{RowQuestion("Qrn_All"), DataQuestion("Qrn_All")}));
  EXPECT_EQ(Names(d.table), QStringList{"qrn20240103_01"});
  for (const char* n : {"Qrn_All", "qrn20240101_01", "qrn20240102_01"}) EXPECT_FALSE(RunThere(QLatin1String(n))) << n;
  EXPECT_TRUE(RunThere(QStringLiteral("qrn20240103_01")));

  // Without the data option nothing on the destination is touched.
  m.settings.DelOption = 0;
  asked.clear();
  answers = {DeleteAnswer::Delete};
  AddRun(QStringLiteral("qrn20240105_01"));
  HistoryDeletion d2 = Start();
  d2.Remove(5, 5);  // added at the end of the main table
  EXPECT_EQ(asked, QStringList{RowQuestion("qrn20240105_01")});
  EXPECT_TRUE(RunThere(QStringLiteral("qrn20240105_01")));
}

TEST_F(Deletion, CancelStopsTheCommandAndKeepsWhatWentGone) {
  for (const char* n : {"qrn20240103_01", "qrn20240102_01", "qrn20240101_01"}) AddRun(QLatin1String(n));
  HistoryDeletion d = Start();
  answers = {DeleteAnswer::Delete, DeleteAnswer::No, DeleteAnswer::Cancel};
  EXPECT_EQ(d.Remove(1, 3), 0);
  EXPECT_EQ(Names(d.table), (QStringList{"qrn20240103_01", "qrn20240102_01"}));
  EXPECT_TRUE(d.changed);
  // The data question's Cancel stops too: the row is gone, its data stays.
  HistoryDeletion d2 = Start();
  answers = {DeleteAnswer::Delete, DeleteAnswer::Cancel};
  d2.Remove(1, 2);
  EXPECT_EQ(Names(d2.table), (QStringList{"qrn20240103_01", "qrn20240101_01"}));
  EXPECT_TRUE(RunThere(QStringLiteral("qrn20240102_01")));
}

TEST_F(Deletion, TheOnlyRowTakesTheSetsLogWithIt) {
  AddRun(QStringLiteral("qrn20240101_01"));
  m.WriteLog(QStringLiteral("保存開始"));  // the log is open, as after a run
  ASSERT_TRUE(env.Exists(QStringLiteral("T:\\prog\\SetDir\\daily.log")));
  m.settings.DelOption = 0;
  HistoryDeletion d = Start();
  answers = {DeleteAnswer::Delete};
  EXPECT_EQ(d.Remove(1, 1), -1);
  EXPECT_FALSE(d.table.HasData());
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\prog\\SetDir\\daily.log")));
  EXPECT_TRUE(RunThere(QStringLiteral("qrn20240101_01")));
}

TEST_F(Deletion, CancelDuringTheDataDeletionStopsItAndSaysSo) {
  AddRun(QStringLiteral("qrn20240102_01"));
  AddRun(QStringLiteral("qrn20240101_01"));
  for (int i = 0; i < 20; ++i)
    env.WriteFile(QStringLiteral("T:\\dst\\daily\\qrn20240101_01\\Drive_T\\src\\f%1.txt").arg(i), "x");
  auto& ui = env.ui;
  HistoryDeletion d = Start();
  QStringList busy;
  d.onBusy = [&](bool on) { busy += on ? QStringLiteral("中止") : QStringLiteral("終了"); };
  int yields = 0;
  ui.onYield = [&](int) {
    if (++yields == 3) {
      EXPECT_TRUE(d.busy);
      EXPECT_TRUE(d.ProgressText().startsWith(QStringLiteral("データーの削除中\r")));
      m.CancelFlag.Set();  // the Cancel button, now "中止"
    }
  };
  answers = {DeleteAnswer::Delete, DeleteAnswer::Delete};
  d.Remove(2, 2);
  ui.onYield = nullptr;
  EXPECT_EQ(busy, (QStringList{"中止", "終了"}));
  EXPECT_EQ(d.status, QStringLiteral("データーの削除中... 中止されました。"));
  EXPECT_FALSE(m.CancelFlag.IsSet());
  EXPECT_TRUE(env.Exists(QStringLiteral("T:\\dst\\daily\\qrn20240101_01")));  // stopped part-way
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\dst\\daily\\qrn20240101_01.csv")));
  EXPECT_EQ(Names(d.table), QStringList{"qrn20240102_01"});
}

TEST_F(Deletion, CraftedRowsLeaveEveryFolderAlone) {
  // Things a damaged or hand-edited history could point at.
  env.WriteFile(QStringLiteral("T:\\dst\\keep.txt"), "destination");
  env.WriteFile(QStringLiteral("T:\\dst\\daily\\other.txt"), "set folder");
  env.WriteFile(QStringLiteral("T:\\outside\\daily\\qrn20240101_01\\x.txt"), "outside");
  env.WriteFile(QStringLiteral("T:\\elsewhere\\data.txt"), "linked");
  ASSERT_TRUE(QFile::link(env.Host(QStringLiteral("T:\\elsewhere")), env.Host(QStringLiteral("T:\\dst\\daily\\qrn20240109_01"))));
  const QList<QPair<QString, QString>> rows = {
      {QString(), QStringLiteral("T:\\dst")},                        // no save name: the set folder
      {QStringLiteral(".."), QStringLiteral("T:\\dst")},             // the destination
      {QStringLiteral("..\\..\\outside"), QStringLiteral("T:\\dst")},
      {QStringLiteral("qrn20240101_01\\.."), QStringLiteral("T:\\dst")},
      {QStringLiteral("daily"), QStringLiteral("T:\\dst")},
      {QStringLiteral("qrn20240101_01"), QStringLiteral("T:\\dst\\..\\outside")},
      {QStringLiteral("qrn20240101_01"), QStringLiteral("dst")},     // not absolute
      {QStringLiteral("qrn20240101_01"), QStringLiteral("T:/outside")},
      {QStringLiteral("qrn20240109_01"), QStringLiteral("T:\\dst")},  // a link in the set folder
  };
  for (const auto& [name, dir] : rows) AddRun(name, dir);
  auto& ui = env.ui;
  for (int i = 0; i < rows.size(); ++i)
    ui.Expect(Question::RunDataNotDeleted, Answer::OK, QStringLiteral("確認できないため、削除しませんでした。"));
  HistoryDeletion d = Start();
  answers = {DeleteAnswer::DeleteAll};  // rows only: no data question is asked for any of them
  d.Remove(1, static_cast<int>(rows.size()));
  EXPECT_TRUE(ui.Exhausted());
  EXPECT_FALSE(d.table.HasData());  // every row left the history
  EXPECT_TRUE(env.Exists(QStringLiteral("T:\\dst\\keep.txt")));
  EXPECT_TRUE(env.Exists(QStringLiteral("T:\\dst\\daily\\other.txt")));
  EXPECT_TRUE(env.Exists(QStringLiteral("T:\\outside\\daily\\qrn20240101_01\\x.txt")));
  EXPECT_TRUE(env.Exists(QStringLiteral("T:\\elsewhere\\data.txt")));
  // The one routine refuses on its own too.
  ui.Expect(Question::RunDataNotDeleted, Answer::OK, QStringLiteral("（保存名なし）"));
  EXPECT_FALSE(d.DeleteRunData(QStringLiteral("T:\\dst"), QString()));
  EXPECT_TRUE(env.Exists(QStringLiteral("T:\\dst\\daily\\other.txt")));
}

TEST_F(Deletion, RunDataLiesInTheSetsFolderOnTheRowsDestination) {
  const auto p = RunDataOf(m, QStringLiteral("T:"), QStringLiteral("qrn20240101_01"));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->SaveSetDir, QStringLiteral("T:\\daily\\qrn20240101_01"));
  EXPECT_EQ(p->SaveCsvFile, QStringLiteral("T:\\daily\\qrn20240101_01.csv"));
  EXPECT_TRUE(RunDataOf(m, QStringLiteral("T:\\dst\\"), QStringLiteral("Qrn_All")));
  EXPECT_FALSE(RunDataOf(m, QStringLiteral("T:\\dst"), QStringLiteral("qrn_01")));
  m.set.Name = QStringLiteral("..");
  EXPECT_FALSE(RunDataOf(m, QStringLiteral("T:\\dst"), QStringLiteral("qrn20240101_01")));
}

TEST(HistoryComment, TypedQuotesAndLineBreaksAreStoredAsTheHistoryFileCarriesThem) {
  TestEnv env;
  Module1& m = *env.m;
  Qarno q(m);
  m.set.Name = QStringLiteral("daily");
  q.HisTable.AddRow(QStringLiteral("qrn20240102_01"));
  q.HisTable.AddRow(QStringLiteral("qrn20240101_01"));
  SetHistoryComment(m, q.HisTable, 1, QStringLiteral("say \"hi\"\r\nnext line\nand\rmore"));
  EXPECT_EQ(q.HisTable.Cell(1, HistoryEntry::Comment), QStringLiteral("say ＂hi＂ next line and more"));
  EXPECT_TRUE(m.HistoryModified);
  SetHistoryComment(m, q.HisTable, 0, QStringLiteral("header"));  // nothing happens
  SetHistoryComment(m, q.HisTable, 3, QStringLiteral("past the end"));
  ASSERT_TRUE(q.SaveHisFile());
  q.ReadHisFile();
  ASSERT_EQ(q.HisTable.Rows(), 3);  // no bogus row from a line break
  EXPECT_EQ(q.HisTable.Cell(1, HistoryEntry::Comment), QStringLiteral("say ＂hi＂ next line and more"));
  // Even a comment that reached the table another way is written on one line.
  q.HisTable.SetCell(2, HistoryEntry::Comment, QStringLiteral("a\nb"));
  EXPECT_EQ(FormatHistoryFile(q.HisTable, QStringLiteral("1.10")).size(), 3);
}

}  // namespace
}  // namespace qarno
