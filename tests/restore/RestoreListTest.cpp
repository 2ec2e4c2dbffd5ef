// Loading a run's listing into the restore table: totals, marks, ticks, the medium check,
// the fallbacks for a missing listing and malformed lines, and the progress texts.
#include "RestoreWorld.h"

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
    for (int c : cells) out += r.RestoreListInfo[static_cast<size_t>(c)];
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
  ASSERT_EQ(r->Rows(), 8);
  EXPECT_EQ(r->SaveList[0][SaveListEntry::Path], QStringLiteral("パス"));
  EXPECT_EQ(r->SaveList[2][SaveListEntry::RestoreFlag], QStringLiteral("0"));
  EXPECT_EQ(r->SaveList[2][SaveListEntry::CompType], QStringLiteral("0"));
  EXPECT_EQ(r->SaveList[2][SaveListEntry::Alias], QString());
  EXPECT_EQ(r->ResCsvFile, QStringLiteral("T:\\dst\\daily\\") + S0 + QStringLiteral(".csv"));
  EXPECT_EQ(r->RestoreSaveName, S0);
  EXPECT_EQ(r->SetName, QStringLiteral("daily"));
  // 1 B, 1024 B → 1 KB each, 1025 B → 2 KB, 10 B → 1 KB, 5000 B → 5 KB; folders 0 KB.
  EXPECT_EQ(Cells(*r, {cell::TotalFiles, cell::TotalFolders, cell::TotalKB}), QStringLiteral("5/2/10"));
  EXPECT_EQ(Cells(*r, {cell::MarkedFiles, cell::MarkedFolders, cell::MarkedKB}), QStringLiteral("0/0/0"));
  EXPECT_EQ(Cells(*r, {cell::RestoredFiles, cell::RestoredFolders, cell::RestoredKB}), QStringLiteral("//"));
  ASSERT_EQ(r->RestoreList.size(), 7u);
  EXPECT_EQ(r->RestoreList[5].text, QStringLiteral("T:\\src\\data\\x"));
  for (const auto& item : r->RestoreList) EXPECT_FALSE(item.checked);
  EXPECT_FALSE(r->okEnabled);
  EXPECT_TRUE(r->listVisible);
  EXPECT_EQ(r->stage, rstage::Idle);
  EXPECT_EQ(w.ui.defaults, 1);
}

TEST_F(RestoreList, EmptyListingGivesAnEmptyListAndNoStart) {
  w.WriteListing(S0, {});
  w.AddHistory(S0);
  auto r = w.Open(S0);
  EXPECT_EQ(r->Rows(), 1);
  EXPECT_EQ(Cells(*r, {cell::TotalFiles, cell::TotalFolders, cell::TotalKB}), QStringLiteral("0/0/0"));
  r->SetAllRestoreMarks();
  EXPECT_FALSE(r->okEnabled);
}

TEST_F(RestoreList, SizesOfTwoGigabytesAndMoreAreSummedWithoutOverflow) {
  w.WriteListing(S0, {W::Line(QStringLiteral("T:\\big1"), QStringLiteral("---A-"), 3221225472LL, QStringLiteral("3"), S0),
                      W::Line(QStringLiteral("T:\\big2"), QStringLiteral("---A-"), 8589934593LL, QStringLiteral("3"), S0)});
  w.AddHistory(S0);
  auto r = w.Open(S0);
  EXPECT_EQ(r->RestoreListInfo[cell::TotalKB], QStringLiteral("11534337"));  // 3 GiB + 8 GiB + 1 KB
  r->SetRestoreMark(2, true);
  EXPECT_EQ(r->RestoreListInfo[cell::MarkedKB], QStringLiteral("8388609"));
}

TEST_F(RestoreList, MalformedLinesAreSkippedOnOkAndAbandonOnCancel) {
  QStringList lines = SmallListing();
  lines.insert(2, QStringLiteral("\"T:\\src\\short\",---A-,1,2001/02/03 04:05:06"));
  w.WriteListing(S0, lines);
  w.AddHistory(S0);
  w.ui.Expect(Question::MalformedListingLine, Answer::OK, QStringLiteral("CSVファイルの内容がおかしいです。\r[\"T:\\src\\short\",---A-,1,2001/02/03 04:05:06]\r続行しますか？"));
  auto r = w.Open(S0);
  EXPECT_EQ(r->Rows(), 8);
  EXPECT_EQ(w.ui.messages.back().buttons, Buttons::OKCancel);

  w.ui.Expect(Question::MalformedListingLine, Answer::Cancel, QStringLiteral("CSVファイルの内容がおかしいです。"));
  auto failed = w.Open(S0, false);
  EXPECT_TRUE(w.m.CancelFlag);
  EXPECT_TRUE(failed->closeAllowed);
  EXPECT_FALSE(failed->listVisible);
  // The next timer tick closes the window.
  EXPECT_TRUE(failed->Timer1_Timer().unload);
  EXPECT_FALSE(w.m.CancelFlag);
}

TEST_F(RestoreList, MissingListingIsTriedAtTheRecordedDirectoryThenRetried) {
  // The set's save directory moved from T:\old to T:\dst; the run's listing stayed behind.
  w.WriteListing(S0, SmallListing(), QStringLiteral("T:\\old"));
  w.AddHistory(S0, QStringLiteral("T:\\old"));
  auto r = w.Open(S0);
  EXPECT_EQ(r->Rows(), 8);
  EXPECT_TRUE(w.ui.messages.isEmpty());

  // Neither place: Retry after the listing came back, Cancel gives up.
  w.AddHistory(S1, QStringLiteral("T:\\gone"));
  w.ui.Expect(Question::ListingUnreadable, Answer::Retry, QStringLiteral("T:\\gone\\daily\\") + S1 + QStringLiteral(".csv\rCSVファイルがリードできません。"));
  int reads = 0;
  w.fs.onVolumeRead = [&](int) {
    if (++reads == 2) w.WriteListing(S1, SmallListing().mid(0, 3));
  };
  auto again = w.Open(S1);
  EXPECT_EQ(again->Rows(), 4);
  EXPECT_EQ(w.ui.messages.back().buttons, Buttons::RetryCancel);

  w.fs.onVolumeRead = nullptr;
  w.AddHistory(QStringLiteral("qrn20010203_02"), QStringLiteral("T:\\gone"));
  w.ui.Expect(Question::ListingUnreadable, Answer::Cancel, QStringLiteral("CSVファイルがリードできません。"));
  auto none = w.Open(QStringLiteral("qrn20010203_02"), false);
  EXPECT_EQ(none->Rows(), 1);
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
  EXPECT_EQ(r->Rows(), 8);
  EXPECT_EQ(w.ui.messages.size(), 2);
  EXPECT_EQ(w.ui.messages[0].buttons, Buttons::AbortRetryIgnore);
  EXPECT_EQ(w.ui.messages[0].title, QStringLiteral("Qarno  daily  復元"));

  w.fs.onVolumeRead = nullptr;
  w.fs.volume = VolumeInfo{QStringLiteral("BACKUP1"), 0x1A2B3C4D};
  w.ui.Expect(Question::RestoreMediumChanged, Answer::Ignore, QStringLiteral("前回とメディアが変わっています。"));
  EXPECT_EQ(w.Open(S0)->Rows(), 8);
  w.ui.Expect(Question::RestoreMediumChanged, Answer::Abort, QStringLiteral("前回とメディアが変わっています。"));
  EXPECT_EQ(w.Open(S0, false)->Rows(), 1);
}

TEST_F(RestoreList, MarksKeepTheTotalsAndTheStartButton) {
  w.WriteListing(S0, SmallListing());
  w.AddHistory(S0);
  auto r = w.Open(S0);
  r->SetRestoreMark(4, true);  // 1025 B
  r->SetRestoreMark(5, true);  // folder
  EXPECT_EQ(Cells(*r, {cell::MarkedFiles, cell::MarkedFolders, cell::MarkedKB}), QStringLiteral("1/1/2"));
  EXPECT_TRUE(r->okEnabled);
  r->SetRestoreMark(4, true);  // no change: counted once
  EXPECT_EQ(r->RestoreListInfo[cell::MarkedKB], QStringLiteral("2"));
  r->SetRestoreMark(4, false);
  r->SetRestoreMark(5, false);
  EXPECT_EQ(Cells(*r, {cell::MarkedFiles, cell::MarkedFolders, cell::MarkedKB}), QStringLiteral("0/0/0"));
  EXPECT_FALSE(r->okEnabled);

  r->SetAllRestoreMarks();
  EXPECT_EQ(Cells(*r, {cell::MarkedFiles, cell::MarkedFolders, cell::MarkedKB}), QStringLiteral("5/2/10"));
  EXPECT_EQ(r->CountReserved(), 7);
  for (const auto& item : r->RestoreList) EXPECT_TRUE(item.checked);
  r->ClearRestoreMarks();
  EXPECT_EQ(r->CountReserved(), 0);
  for (const auto& item : r->RestoreList) EXPECT_FALSE(item.checked);
  EXPECT_EQ(Cells(*r, {cell::MarkedFiles, cell::MarkedFolders, cell::MarkedKB}), QStringLiteral("0/0/0"));
}

TEST_F(RestoreList, TickingAFolderTicksWhatLiesBelowItOnly) {
  w.WriteListing(S0, SmallListing());
  w.AddHistory(S0);
  auto r = w.Open(S0);
  r->RestoreList_ItemCheck(4, true);  // T:\src\data
  EXPECT_TRUE(r->RestoreList[5].checked);
  EXPECT_FALSE(r->RestoreList[6].checked);  // T:\src\database is not below T:\src\data
  EXPECT_EQ(r->CountReserved(), 2);
  EXPECT_EQ(Cells(*r, {cell::MarkedFiles, cell::MarkedFolders, cell::MarkedKB}), QStringLiteral("1/1/1"));
  r->RestoreList_ItemCheck(0, true);  // T:\src: everything
  EXPECT_EQ(r->CountReserved(), 7);
  EXPECT_EQ(r->RestoreListInfo[cell::MarkedKB], QStringLiteral("10"));
  r->RestoreList_ItemCheck(4, false);
  EXPECT_EQ(r->CountReserved(), 5);
  // While a restore runs the run unticks items itself; the handler does nothing.
  r->stage = rstage::Restore;
  r->RestoreList_ItemCheck(0, false);
  EXPECT_EQ(r->CountReserved(), 5);
}

TEST_F(RestoreList, TickingADriveRootTicksTheWholeDrive) {
  w.WriteListing(S0, {W::Line(QStringLiteral("T:\\"), QStringLiteral("----D"), 0, QStringLiteral("3"), S0),
                      W::Line(QStringLiteral("T:\\a"), QStringLiteral("---A-"), 1, QStringLiteral("3"), S0),
                      W::Line(QStringLiteral("T:\\b\\c"), QStringLiteral("---A-"), 1, QStringLiteral("3"), S0)});
  w.AddHistory(S0);
  auto r = w.Open(S0);
  r->RestoreList_ItemCheck(0, true);
  EXPECT_EQ(r->CountReserved(), 3);
  r->ClearRestoreMarks();
  EXPECT_EQ(r->MarkPathTree(QStringLiteral("T:\\b\\")), 1);
  EXPECT_EQ(r->CountReserved(), 1);
}

TEST_F(RestoreList, ProgressTextsFollowTheStage) {
  w.WriteListing(S0, SmallListing());
  w.AddHistory(S0);
  auto r = w.Open(S0);
  r->stage = rstage::ReadCsv;
  r->csvLineCount = 8;
  r->rowsRead = 3;
  EXPECT_EQ(r->Timer1_Timer().status, QStringLiteral("初期化中 .... 32%"));  // 31.875
  r->csvLineCount = 0;
  EXPECT_EQ(r->Timer1_Timer().status, QStringLiteral("初期化中 .... 85%"));
  r->stage = rstage::FillList;
  r->rowsRead = 4;
  r->itemsAdded = 1;
  EXPECT_EQ(r->Timer1_Timer().status, QStringLiteral("初期化中 .... 89%"));  // 88.75
  r->rowsRead = 0;
  EXPECT_EQ(r->Timer1_Timer().status, QStringLiteral("初期化中 .... 100%"));

  r->stage = rstage::Restore;
  r->processText = QStringLiteral("復元を実行中");
  r->subText = QStringLiteral("  (") + S0 + u')';
  r->currentPath = QStringLiteral("T:\\src\\kb1");
  r->markedKB = 8;
  r->restoredKB = 3;
  r->minimized = true;
  RestoreTimerView v = r->Timer1_Timer();
  EXPECT_EQ(v.status, QStringLiteral("復元を実行中  (") + S0 + QStringLiteral(")...... 38%\rT:\\src\\kb1"));
  EXPECT_TRUE(v.procesTime.startsWith(QStringLiteral("経過時間  00:00:0")));
  EXPECT_EQ(r->windowCaption, QStringLiteral("Qarno  daily  復元 38%"));
  r->markedKB = 0;
  EXPECT_TRUE(r->Timer1_Timer().status.contains(QStringLiteral("...... 100%")));

  r->stage = rstage::Search;
  r->markedKB = 8;
  r->lineCounter = 42;
  EXPECT_EQ(r->Timer1_Timer().status, QStringLiteral("復元を実行中  (") + S0 +
                                          QStringLiteral(")\r42行目      38%　復元済み\rT:\\src\\kb1"));
  r->stage = rstage::ListSearch;
  w.m.CancelFlag = true;
  EXPECT_FALSE(r->Timer1_Timer().unload);  // a list search only ends the search
  r->stage = rstage::Idle;
  r->closeAllowed = false;
  EXPECT_FALSE(r->Timer1_Timer().unload);
  r->closeAllowed = true;
  EXPECT_TRUE(r->Timer1_Timer().unload);
}

TEST_F(RestoreList, PositionSwitchesBetweenInPlaceAndTheStoredTopDirectory) {
  w.m.set.options.RestoreHomeDir = QStringLiteral("T:\\restore");
  w.m.set.options.RestorePosition = 1;
  FRestore r(w.m, w.main);
  r.Form_Load();
  EXPECT_EQ(r.WriteHDir, QStringLiteral("T:\\restore"));
  EXPECT_TRUE(r.chgWriteHDirEnabled);
  r.Position_Click(0);
  EXPECT_EQ(r.WriteHDir, QStringLiteral("マイコンピュータ"));
  EXPECT_FALSE(r.chgWriteHDirEnabled);
  EXPECT_EQ(w.m.set.options.RestorePosition, 0);
  r.Position_Click(1);
  EXPECT_EQ(r.WriteHDir, QStringLiteral("T:\\restore"));
}

}  // namespace
}  // namespace qarno::test
