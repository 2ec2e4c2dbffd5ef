// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a run's listing into the restore table: totals, marks, ticks, the medium check,
// the fallbacks for a missing listing and malformed lines, and the progress texts.
#include "RestoreWorld.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace qarno::test {
namespace {

const QString S0 = QStringLiteral("qrn20010203_00");
const QString S1 = QStringLiteral("qrn20010203_01");

struct RestoreList : ::testing::Test {
  RestoreWorld w;
  using W = RestoreWorld;
  QStringList SmallListing() {
    return {W::Line(QStringLiteral("T:\\src"), QStringLiteral("----D"), 0, QStringLiteral("3"), S0),
            W::Line(QStringLiteral("T:\\src\\one"), QStringLiteral("---A-"), 1, QStringLiteral("3"), S0),
            W::Line(QStringLiteral("T:\\src\\kb"), QStringLiteral("---A-"), 1024, QStringLiteral("3"), S0),
            W::Line(QStringLiteral("T:\\src\\kb1"), QStringLiteral("---A-"), 1025, QStringLiteral("3"), S0),
            W::Line(QStringLiteral("T:\\src\\data"), QStringLiteral("----D"), 0, QStringLiteral("3"), S0),
            W::Line(QStringLiteral("T:\\src\\data\\x"), QStringLiteral("---A-"), 10, QStringLiteral("3"), S0),
            W::Line(QStringLiteral("T:\\src\\database"), QStringLiteral("---A-"), 5000, QStringLiteral("3"), S0)};
  }
  QString Cells(const FRestore& r, std::initializer_list<int> cells) {
    QStringList out;
    for (int c : cells) out += r.table().Cell(c);
    return out.join(u'/');
  }
};

TEST_F(RestoreList, LoadsEveryLineWithTotalsAndNothingMarked) {
  QStringList lines = SmallListing();
  // The backup side's restore field and an empty storage kind are not taken over.
  lines[1] = u'"' + QStringLiteral("T:\\src\\one\",---A-,1,2001/02/03 04:05:06,3,") + S0 +
             QStringLiteral(",1A2B-3C4D,BACKUP1,2,,");
  w.WriteListing(S0, lines);
  w.AddHistory(S0);
  auto r = w.Open(S0);
  ASSERT_EQ(r->table().Rows(), 8);
  EXPECT_EQ(r->table()[0].path, QStringLiteral("パス"));
  EXPECT_EQ(FieldText(r->table()[2], SaveListEntry::RestoreFlag), QStringLiteral("0"));
  EXPECT_EQ(FieldText(r->table()[2], SaveListEntry::CompType), QStringLiteral("0"));
  EXPECT_EQ(FieldText(r->table()[2], SaveListEntry::Alias), QString());
  EXPECT_EQ(r->state().ResCsvFile, QStringLiteral("T:\\dst\\daily\\") + S0 + QStringLiteral(".csv"));
  EXPECT_EQ(r->state().RestoreSaveName, S0);
  EXPECT_EQ(r->state().SetName, QStringLiteral("daily"));
  // 1 B, 1024 B → 1 KB each, 1025 B → 2 KB, 10 B → 1 KB, 5000 B → 5 KB; folders 0 KB.
  EXPECT_EQ(Cells(*r, {cell::TotalFiles, cell::TotalFolders, cell::TotalKB}), QStringLiteral("5/2/10"));
  EXPECT_EQ(Cells(*r, {cell::MarkedFiles, cell::MarkedFolders, cell::MarkedKB}), QStringLiteral("0/0/0"));
  EXPECT_EQ(Cells(*r, {cell::RestoredFiles, cell::RestoredFolders, cell::RestoredKB}), QStringLiteral("//"));
  ASSERT_EQ(static_cast<size_t>(r->table().Count()), 7u);
  EXPECT_EQ(r->table()[5 + 1].path, QStringLiteral("T:\\src\\data\\x"));
  for (int row = 1; row < r->table().Rows(); ++row) EXPECT_FALSE(r->table().IsMarked(row));
  EXPECT_FALSE(r->state().okEnabled);
  EXPECT_TRUE(r->state().listVisible);
  EXPECT_EQ(r->state().stage, rstage::Idle);
  EXPECT_EQ(w.ui.defaults, 1);
}

TEST_F(RestoreList, EmptyListingGivesAnEmptyListAndNoStart) {
  w.WriteListing(S0, {});
  w.AddHistory(S0);
  auto r = w.Open(S0);
  EXPECT_EQ(r->table().Rows(), 1);
  EXPECT_EQ(Cells(*r, {cell::TotalFiles, cell::TotalFolders, cell::TotalKB}), QStringLiteral("0/0/0"));
  r->SetAllRestoreMarks();
  EXPECT_FALSE(r->state().okEnabled);
}

TEST_F(RestoreList, SizesOfTwoGigabytesAndMoreAreSummedWithoutOverflow) {
  w.WriteListing(S0, {W::Line(QStringLiteral("T:\\big1"), QStringLiteral("---A-"), 3221225472LL, QStringLiteral("3"), S0),
                      W::Line(QStringLiteral("T:\\big2"), QStringLiteral("---A-"), 8589934593LL, QStringLiteral("3"), S0)});
  w.AddHistory(S0);
  auto r = w.Open(S0);
  EXPECT_EQ(r->table().Cell(cell::TotalKB), QStringLiteral("11534337"));  // 3 GiB + 8 GiB + 1 KB
  r->SetRestoreMark(2, true);
  EXPECT_EQ(r->table().Cell(cell::MarkedKB), QStringLiteral("8388609"));
}

TEST_F(RestoreList, MalformedLinesAreSkippedOnOkAndAbandonOnCancel) {
  QStringList lines = SmallListing();
  lines.insert(2, QStringLiteral("\"T:\\src\\short\",---A-,1,2001/02/03 04:05:06"));
  w.WriteListing(S0, lines);
  w.AddHistory(S0);
  w.ui.Expect(Question::MalformedListingLine, Answer::OK, QStringLiteral("CSVファイルの内容がおかしいです。\r[\"T:\\src\\short\",---A-,1,2001/02/03 04:05:06]\r続行しますか？"));
  auto r = w.Open(S0);
  EXPECT_EQ(r->table().Rows(), 8);
  EXPECT_EQ(w.ui.messages.back().buttons, Buttons::OKCancel);

  w.ui.Expect(Question::MalformedListingLine, Answer::Cancel, QStringLiteral("CSVファイルの内容がおかしいです。"));
  auto failed = w.Open(S0, false);
  EXPECT_TRUE(w.m.CancelFlag);
  EXPECT_TRUE(failed->state().closeAllowed);
  EXPECT_FALSE(failed->state().listVisible);
  // The next timer tick closes the window.
  EXPECT_TRUE(failed->TakeCloseRequest());
  EXPECT_FALSE(w.m.CancelFlag);
}

TEST_F(RestoreList, MissingListingIsTriedAtTheRecordedDirectoryThenRetried) {
  // The set's save directory moved from T:\old to T:\dst; the run's listing stayed behind.
  w.WriteListing(S0, SmallListing(), QStringLiteral("T:\\old"));
  w.AddHistory(S0, QStringLiteral("T:\\old"));
  auto r = w.Open(S0);
  EXPECT_EQ(r->table().Rows(), 8);
  EXPECT_TRUE(w.ui.messages.isEmpty());

  // Neither place: Retry after the listing came back, Cancel gives up.
  w.AddHistory(S1, QStringLiteral("T:\\gone"));
  w.ui.Expect(Question::ListingUnreadable, Answer::Retry, QStringLiteral("T:\\gone\\daily\\") + S1 + QStringLiteral(".csv\rCSVファイルがリードできません。"));
  int reads = 0;
  w.fs.onVolumeRead = [&](int) {
    if (++reads == 2) w.WriteListing(S1, SmallListing().mid(0, 3));
  };
  auto again = w.Open(S1);
  EXPECT_EQ(again->table().Rows(), 4);
  EXPECT_EQ(w.ui.messages.back().buttons, Buttons::RetryCancel);

  w.fs.onVolumeRead = nullptr;
  w.AddHistory(QStringLiteral("qrn20010203_02"), QStringLiteral("T:\\gone"));
  w.ui.Expect(Question::ListingUnreadable, Answer::Cancel, QStringLiteral("CSVファイルがリードできません。"));
  auto none = w.Open(QStringLiteral("qrn20010203_02"), false);
  EXPECT_EQ(none->table().Rows(), 1);
}

TEST_F(RestoreList, ChangedMediumIsComparedAgainOnEveryRetry) {
  w.WriteListing(S0, SmallListing());
  w.AddHistory(S0, QStringLiteral("T:\\dst"), QStringLiteral("1111-2222"), QStringLiteral("OLD"));
  const QString text = QStringLiteral("T:\\\r前回とメディアが変わっています。\r    前回のメディアのシリアル番号 : 1111-2222\r"
                                      "    前回のメディアのボリューム名 : OLD\r    今回のメディアのシリアル番号 : 1A2B-3C4D\r"
                                      "    今回のメディアのボリューム名 : BACKUP1\r交換して下さい。");
  // Retry with the wrong medium still in: asked again; then the right one is put in.
  w.ui.Expect(Question::RestoreMediumChanged, Answer::Retry, text);
  w.ui.Expect(Question::RestoreMediumChanged, Answer::Retry, text);
  w.fs.onVolumeRead = [&](int n) {
    if (n == 3) w.fs.volume = VolumeInfo{QStringLiteral("OLD"), 0x11112222};
  };
  auto r = w.Open(S0);
  EXPECT_EQ(r->table().Rows(), 8);
  EXPECT_EQ(w.ui.messages.size(), 2);
  EXPECT_EQ(w.ui.messages[0].buttons, Buttons::AbortRetryIgnore);
  EXPECT_EQ(w.ui.messages[0].title, QStringLiteral("Qarno  daily  復元"));

  w.fs.onVolumeRead = nullptr;
  w.fs.volume = VolumeInfo{QStringLiteral("BACKUP1"), 0x1A2B3C4D};
  w.ui.Expect(Question::RestoreMediumChanged, Answer::Ignore, QStringLiteral("前回とメディアが変わっています。"));
  EXPECT_EQ(w.Open(S0)->table().Rows(), 8);
  w.ui.Expect(Question::RestoreMediumChanged, Answer::Abort, QStringLiteral("前回とメディアが変わっています。"));
  EXPECT_EQ(w.Open(S0, false)->table().Rows(), 1);
}

TEST_F(RestoreList, MarksKeepTheTotalsAndTheStartButton) {
  w.WriteListing(S0, SmallListing());
  w.AddHistory(S0);
  auto r = w.Open(S0);
  r->SetRestoreMark(4, true);  // 1025 B
  r->SetRestoreMark(5, true);  // folder
  EXPECT_EQ(Cells(*r, {cell::MarkedFiles, cell::MarkedFolders, cell::MarkedKB}), QStringLiteral("1/1/2"));
  EXPECT_TRUE(r->state().okEnabled);
  r->SetRestoreMark(4, true);  // no change: counted once
  EXPECT_EQ(r->table().Cell(cell::MarkedKB), QStringLiteral("2"));
  r->SetRestoreMark(4, false);
  r->SetRestoreMark(5, false);
  EXPECT_EQ(Cells(*r, {cell::MarkedFiles, cell::MarkedFolders, cell::MarkedKB}), QStringLiteral("0/0/0"));
  EXPECT_FALSE(r->state().okEnabled);

  r->SetAllRestoreMarks();
  EXPECT_EQ(Cells(*r, {cell::MarkedFiles, cell::MarkedFolders, cell::MarkedKB}), QStringLiteral("5/2/10"));
  EXPECT_EQ(r->table().ReservedCount(), 7);
  for (int row = 1; row < r->table().Rows(); ++row) EXPECT_TRUE(r->table().IsMarked(row));
  r->ClearRestoreMarks();
  EXPECT_EQ(r->table().ReservedCount(), 0);
  for (int row = 1; row < r->table().Rows(); ++row) EXPECT_FALSE(r->table().IsMarked(row));
  EXPECT_EQ(Cells(*r, {cell::MarkedFiles, cell::MarkedFolders, cell::MarkedKB}), QStringLiteral("0/0/0"));
}

TEST_F(RestoreList, TickingAFolderTicksWhatLiesBelowItOnly) {
  w.WriteListing(S0, SmallListing());
  w.AddHistory(S0);
  auto r = w.Open(S0);
  r->RestoreList_ItemCheck(4, true);  // T:\src\data
  EXPECT_TRUE(r->table().IsMarked(5 + 1));
  EXPECT_FALSE(r->table().IsMarked(6 + 1));  // T:\src\database is not below T:\src\data
  EXPECT_EQ(r->table().ReservedCount(), 2);
  EXPECT_EQ(Cells(*r, {cell::MarkedFiles, cell::MarkedFolders, cell::MarkedKB}), QStringLiteral("1/1/1"));
  r->RestoreList_ItemCheck(0, true);  // T:\src: everything
  EXPECT_EQ(r->table().ReservedCount(), 7);
  EXPECT_EQ(r->table().Cell(cell::MarkedKB), QStringLiteral("10"));
  r->RestoreList_ItemCheck(4, false);
  EXPECT_EQ(r->table().ReservedCount(), 5);
}

TEST_F(RestoreList, TickingADriveRootTicksTheWholeDrive) {
  w.WriteListing(S0, {W::Line(QStringLiteral("T:\\"), QStringLiteral("----D"), 0, QStringLiteral("3"), S0),
                      W::Line(QStringLiteral("T:\\a"), QStringLiteral("---A-"), 1, QStringLiteral("3"), S0),
                      W::Line(QStringLiteral("T:\\b\\c"), QStringLiteral("---A-"), 1, QStringLiteral("3"), S0)});
  w.AddHistory(S0);
  auto r = w.Open(S0);
  r->RestoreList_ItemCheck(0, true);
  EXPECT_EQ(r->table().ReservedCount(), 3);
  r->ClearRestoreMarks();
  EXPECT_EQ(r->MarkPathTree(QStringLiteral("T:\\b\\")), 1);
  EXPECT_EQ(r->table().ReservedCount(), 1);
}

// The progress display of each stage, one named case per row.
TEST(RestoreProgress, EachStageReadsAsTheUserSeesIt) {
  auto at = [](rstage stage) {
    RestoreState s;
    s.stage = stage;
    s.processText = QStringLiteral("復元を実行中");
    s.subText = QStringLiteral("  (qrn20010203_00)");
    s.currentPath = QStringLiteral("T:\\src\\kb1");
    s.markedKB = 8;
    s.restoredKB = 3;
    s.lineCounter = 42;
    return s;
  };
  RestoreState reading = at(rstage::ReadCsv);
  reading.csvLineCount = 8;
  reading.rowsRead = 3;  // 31.875
  RestoreState emptyFile = at(rstage::ReadCsv);
  RestoreState filling = at(rstage::FillList);
  filling.rowsRead = 4;
  filling.itemsAdded = 1;  // 88.75
  RestoreState nothingRead = at(rstage::FillList);
  RestoreState nothingMarked = at(rstage::Restore);
  nothingMarked.markedKB = 0;
  struct Case {
    const char* name;
    RestoreState state;
    const char16_t* status;
    int percent;
  };
  const Case cases[] = {
      {"reading 3 of 8 lines is 32%", reading, u"初期化中 .... 32%", -1},
      {"reading an empty listing is 85%", emptyFile, u"初期化中 .... 85%", -1},
      {"filling 1 of 4 items is 89%", filling, u"初期化中 .... 89%", -1},
      {"filling after nothing was read is 100%", nothingRead, u"初期化中 .... 100%", -1},
      {"restoring 3 of 8 KB is 38%", at(rstage::Restore), u"復元を実行中  (qrn20010203_00)...... 38%\rT:\\src\\kb1", 38},
      {"restoring with nothing marked is 100%", nothingMarked, u"復元を実行中  (qrn20010203_00)...... 100%\rT:\\src\\kb1", 100},
      {"searching older runs shows the line", at(rstage::Search), u"復元を実行中  (qrn20010203_00)\r42行目      38%　復元済み\rT:\\src\\kb1", 38},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RestoreTimerView v = DescribeRestoreProgress(c.state, QStringLiteral("00:01:02"));
    EXPECT_TRUE(v.update);
    EXPECT_EQ(v.status, QString::fromUtf16(c.status));
    EXPECT_EQ(v.percent, c.percent);
    EXPECT_EQ(v.procesTime.isEmpty(), c.percent < 0);
  }
  EXPECT_EQ(DescribeRestoreProgress(at(rstage::Restore), QStringLiteral("00:01:02")).procesTime, QStringLiteral("経過時間  00:01:02"));
  // Idle and a list search draw nothing.
  EXPECT_FALSE(DescribeRestoreProgress(at(rstage::Idle), QString()).update);
  EXPECT_FALSE(DescribeRestoreProgress(at(rstage::ListSearch), QString()).update);
}

TEST_F(RestoreList, AStopClosesTheWindowOnlyWhenClosingIsAllowed) {
  w.WriteListing(S0, SmallListing());
  w.AddHistory(S0);
  auto r = w.Open(S0);
  EXPECT_FALSE(r->TakeCloseRequest());  // no stop asked for
  r->Cancel_Click();
  EXPECT_TRUE(r->TakeCloseRequest());
  EXPECT_FALSE(w.m.CancelFlag);
  EXPECT_FALSE(r->TakeCloseRequest());  // closing is asked once
}

TEST_F(RestoreList, PositionSwitchesBetweenInPlaceAndTheStoredTopDirectory) {
  w.m.set.options.RestoreHomeDir = QStringLiteral("T:\\restore");
  w.m.set.options.RestorePosition = 1;
  FRestore r(w.m, w.main.HisTable);
  r.Form_Load();
  EXPECT_EQ(r.state().WriteHDir, QStringLiteral("T:\\restore"));
  EXPECT_TRUE(r.state().chgWriteHDirEnabled);
  r.Position_Click(0);
  EXPECT_EQ(r.state().WriteHDir, QStringLiteral("マイコンピュータ"));
  EXPECT_FALSE(r.state().chgWriteHDirEnabled);
  // The restore leaves the set alone; the window writes the change into it.
  EXPECT_EQ(w.m.set.options.RestorePosition, 1);
  ApplyRestoreSetChange(r, w.m);
  EXPECT_EQ(w.m.set.options.RestorePosition, 0);
  EXPECT_TRUE(w.m.SetModified);
  r.Position_Click(1);
  EXPECT_EQ(r.state().WriteHDir, QStringLiteral("T:\\restore"));
}

}  // namespace
}  // namespace qarno::test

namespace qarno::test {
namespace {

// The restore table's path lookup answers as the circular walk of the rows would.
TEST(RestoreTableIndex, AgreesWithALinearWalkOnGeneratedListsWithDuplicates) {
  QRandomGenerator rng(77);
  for (int round = 0; round < 20; ++round) {
    RestoreTable t;
    const int n = 1 + static_cast<int>(rng.bounded(150));
    const int distinct = 1 + static_cast<int>(rng.bounded(static_cast<quint32>(n)));
    for (int i = 0; i < n; ++i) {
      SaveListEntry e;
      e.path = QStringLiteral("C:\\p%1").arg(rng.bounded(distinct));
      e.attributes = QStringLiteral("---A-");
      t.Append(e);
    }
    for (int q = 0; q < 100; ++q) {
      const QString path = QStringLiteral("C:\\p%1").arg(rng.bounded(distinct + 2));
      int pos = 1 + static_cast<int>(rng.bounded(n));
      // The walk: from pos on, wrapping to row 1.
      int expected = 0;
      for (int k = 0; k < n && expected == 0; ++k) {
        const int row = (pos - 1 + k) % n + 1;
        if (t[row].path == path) expected = row;
      }
      int found = pos;
      ASSERT_EQ(t.FindRow(path, found), expected != 0);
      if (expected) {
        ASSERT_EQ(found, expected) << path.toStdString() << " from " << pos;
      }
    }
  }
}

TEST(RestoreTableIndex, TheSearchGoesOnFromItsItemWithoutCaseAndStopsWhenAsked) {
  RestoreTable t;
  for (const char* path : {"C:\\docs\\ReadMe.txt", "C:\\docs\\other.txt", "C:\\more\\readme.md"}) {
    SaveListEntry e;
    e.path = QString::fromUtf8(path);
    t.Append(e);
  }
  const auto all = [](int) { return true; };
  EXPECT_EQ(t.SearchPaths(QStringLiteral("README"), 0, all).item, 0);
  const RestoreTable::SearchResult next = t.SearchPaths(QStringLiteral("README"), 1, all);
  EXPECT_EQ(next.end, RestoreTable::SearchEnd::Found);
  EXPECT_EQ(next.item, 2);
  EXPECT_EQ(t.SearchPaths(QStringLiteral("README"), 3, all).end, RestoreTable::SearchEnd::NotFound);
  EXPECT_EQ(t.SearchPaths(QStringLiteral("nowhere"), 0, all).end, RestoreTable::SearchEnd::NotFound);
  // Asked before each item: a stop at the item found wins over the find.
  QList<int> asked;
  const RestoreTable::SearchResult stopped = t.SearchPaths(QStringLiteral("more"), 1, [&](int item) {
    asked += item;
    return item < 2;
  });
  EXPECT_EQ(stopped.end, RestoreTable::SearchEnd::Stopped);
  EXPECT_EQ(asked, (QList<int>{1, 2}));
}

TEST(RestoreTableIndex, ClimbingOrStrangeAliasesAreNeverRestored) {
  EXPECT_TRUE(FRestore::IsRestorablePath(QStringLiteral("C:\\a\\b.txt"), QString()));
  EXPECT_TRUE(FRestore::IsRestorablePath(QStringLiteral("C:\\a\\b.txt"), QStringLiteral("000007")));
  for (const char* alias : {"..", ".", "..\\..\\x", "../x", "C:", "x"}) {
    EXPECT_FALSE(FRestore::IsRestorablePath(QStringLiteral("C:\\a\\b.txt"), QString::fromUtf8(alias))) << alias;
  }
  EXPECT_FALSE(FRestore::IsRestorablePath(QStringLiteral("C:\\a\\..\\..\\etc\\x"), QString()));
  EXPECT_FALSE(FRestore::IsRestorablePath(QStringLiteral("a\\b.txt"), QString()));
}

}  // namespace
}  // namespace qarno::test
