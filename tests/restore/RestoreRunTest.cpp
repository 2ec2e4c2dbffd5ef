// SPDX-License-Identifier: GPL-3.0-or-later
// The restore run on listings and run folders made by the test: entries read from the run
// that holds them, fallbacks, media, failures and their answers, the search through older
// runs, cancel, unpacking and the guard against paths that would leave the target.
#include "RestoreWorld.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qarno::test {
namespace {

const QString S0 = QStringLiteral("qrn20010203_00");
const QString S1 = QStringLiteral("qrn20010203_01");
const QString S2 = QStringLiteral("qrn20010203_02");
const QString kSearch = QStringLiteral("別の保存データーを使用して復元しますか？");
const QString kNot = QStringLiteral("復元できません。");
const QString kIncomplete = QStringLiteral("この保存履歴では完全に復元できませんでした。");

struct RestoreRun : ::testing::Test {
  RestoreWorld w;
  using W = RestoreWorld;
  static QString L(const QString& rel, qint64 size, const QString& save, const QString& flag = QStringLiteral("2"),
                   const QString& attrs = QStringLiteral("---A-"), const QString& comp = QStringLiteral("0"),
                   const QString& alias = QString()) {
    return W::Line(QStringLiteral("T:\\src\\") + rel, attrs, size, flag, save, comp, alias);
  }
  static QString Dir(const QString& rel, const QString& save) {
    return W::Line(rel.isEmpty() ? QStringLiteral("T:\\src") : QStringLiteral("T:\\src\\") + rel, QStringLiteral("----D"),
                   0, QStringLiteral("2"), save);
  }
  QString Mark(const FRestore& r, int row) { return FieldText(r.table()[row], SaveListEntry::RestoreFlag); }
  QStringList Marks(const FRestore& r) {
    QStringList out;
    for (int i = 1; i < r.table().Rows(); ++i) out += Mark(r, i);
    return out;
  }
  QString Cells(const FRestore& r) {
    return r.table().Cell(cell::RestoredFiles) + u'/' + r.table().Cell(cell::RestoredFolders) + u'/' +
           r.table().Cell(cell::RestoredKB);
  }
  // Three runs: S0 holds a.txt and sub\old.txt, S1 changed a.txt, S2 added sub\new.txt.
  void ThreeRuns() {
    w.WriteCopy(S0, QStringLiteral("T:\\src\\a.txt"), "a0");
    w.WriteCopy(S0, QStringLiteral("T:\\src\\sub\\old.txt"), "old");
    w.WriteCopy(S1, QStringLiteral("T:\\src\\a.txt"), "a1");
    w.WriteCopy(S2, QStringLiteral("T:\\src\\sub\\new.txt"), QByteArray(1500, 'n'));
    w.WriteListing(S0, {Dir({}, S0), L(QStringLiteral("a.txt"), 2, S0, QStringLiteral("3")), Dir(QStringLiteral("sub"), S0),
                        L(QStringLiteral("sub\\old.txt"), 3, S0, QStringLiteral("3"))});
    w.WriteListing(S1, {Dir({}, S0), L(QStringLiteral("a.txt"), 2, S1, QStringLiteral("3")), Dir(QStringLiteral("sub"), S0),
                        L(QStringLiteral("sub\\old.txt"), 3, S0)});
    w.WriteListing(S2, {Dir({}, S0), L(QStringLiteral("a.txt"), 2, S1), Dir(QStringLiteral("sub"), S0),
                        L(QStringLiteral("sub\\new.txt"), 1500, S2, QStringLiteral("3")),
                        L(QStringLiteral("sub\\old.txt"), 3, S0)});
    w.AddHistory(S0);
    w.AddHistory(S1);
    w.AddHistory(S2);
  }
};

TEST_F(RestoreRun, EachEntryComesFromTheRunThatHoldsIt) {
  ThreeRuns();
  auto r = w.Open(S2);
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\a.txt")), "a1");
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\sub\\old.txt")), "old");
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\sub\\new.txt")), QByteArray(1500, 'n'));
  EXPECT_EQ(w.MTime(QStringLiteral("T:\\src\\sub\\new.txt")), RestoreWorld::kTime.toSecsSinceEpoch());
  EXPECT_EQ(Marks(*r).join(u','), QStringLiteral("2,2,2,2,2"));
  for (int row = 1; row < r->table().Rows(); ++row) EXPECT_FALSE(r->table().IsMarked(row));  // unticked
  EXPECT_EQ(Cells(*r), QStringLiteral("3/2/4"));
  EXPECT_EQ(r->state().restoredKB, 4);
  EXPECT_EQ(r->SaveNameList(), QStringList({S0, S1, S2}));
  ASSERT_EQ(r->SaveNameTable().size(), 4u);
  EXPECT_EQ(r->SaveNameTable()[2].dir, QStringLiteral("T:\\dst"));
  EXPECT_EQ(r->state().Status, QStringLiteral("復元を実行中  ...... 終了"));
  EXPECT_EQ(r->state().CancelCaption, QStringLiteral("閉じる"));
  EXPECT_FALSE(r->state().okEnabled);
  EXPECT_FALSE(r->state().notYetRun);
  EXPECT_TRUE(w.ui.messages.isEmpty());
  // Another run needs the marks cleared first.
  r->SetAllRestoreMarks();
  EXPECT_FALSE(r->state().okEnabled);
  r->ClearRestoreMarks();
  r->SetAllRestoreMarks();
  EXPECT_TRUE(r->state().okEnabled);
}

TEST_F(RestoreRun, UnderAnotherDirectoryTheDriveBecomesAFolder) {
  ThreeRuns();
  auto r = w.Open(S1);
  EXPECT_EQ(w.RestoreAll(*r, QStringLiteral("T:\\restore")), RestoreOutcome::Finished);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\restore\\Drive_T\\src\\a.txt")), "a1");
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\restore\\Drive_T\\src\\sub\\old.txt")), "old");
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\src\\a.txt")));
  // The target rule on its own, also for a top directory that is a drive root.
  r->SetTarget(1, QStringLiteral("E:\\restore"));
  EXPECT_EQ(r->TargetOf(QStringLiteral("D:\\a\\b.txt")), QStringLiteral("E:\\restore\\Drive_D\\a\\b.txt"));
  r->SetTarget(1, QStringLiteral("E:\\"));
  EXPECT_EQ(r->TargetOf(QStringLiteral("D:\\a\\b.txt")), QStringLiteral("E:\\Drive_D\\a\\b.txt"));
  EXPECT_EQ(r->TargetOf(QStringLiteral("D:\\")), QStringLiteral("E:\\Drive_D"));
  r->SetTarget(0, QString());
  EXPECT_EQ(r->TargetOf(QStringLiteral("D:\\a\\b.txt")), QStringLiteral("D:\\a\\b.txt"));
  EXPECT_EQ(r->SourceOf(QStringLiteral("d:\\a\\b.txt"), QString(), QStringLiteral("T:\\dst\\daily\\x")),
            QStringLiteral("T:\\dst\\daily\\x\\Drive_D\\a\\b.txt"));
  EXPECT_EQ(r->SourceOf(QStringLiteral("d:\\a\\b.txt"), QStringLiteral("000007"), QStringLiteral("T:\\dst\\daily\\x")),
            QStringLiteral("T:\\dst\\daily\\x\\Alias\\000007"));
}

TEST_F(RestoreRun, AttributesComeFromTheListingAndReadOnlyFoldersCloseLast) {
  w.WriteCopy(S0, QStringLiteral("T:\\src\\old.txt"), "o");
  w.WriteCopy(S0, QStringLiteral("T:\\src\\ro\\r.txt"), "r");
  w.WriteCopy(S0, QStringLiteral("T:\\src\\ro\\short.txt"), "s");
  w.WriteListing(S0, {W::Line(QStringLiteral("T:\\"), QStringLiteral("----D"), 0, QStringLiteral("3"), S0),
                      L(QStringLiteral("old.txt"), 1, S0, QStringLiteral("3"), QStringLiteral("R--A-")),
                      W::Line(QStringLiteral("T:\\src\\ro"), QStringLiteral("R---D"), 0, QStringLiteral("3"), S0),
                      L(QStringLiteral("ro\\r.txt"), 1, S0, QStringLiteral("3"), QStringLiteral("R--A-")),
                      L(QStringLiteral("ro\\short.txt"), 1, S0, QStringLiteral("3"), QStringLiteral("R"))});
  w.AddHistory(S0);
  // An earlier read-only file in the way is replaced.
  w.env.WriteFile(QStringLiteral("T:\\src\\old.txt"), "stale");
  w.fs.SetAttr(QStringLiteral("T:\\src\\old.txt"), attr::ReadOnly);
  auto r = w.Open(S0);
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  EXPECT_EQ(Marks(*r).join(u','), QStringLiteral("2,2,2,2,2"));  // the drive root needs no folder
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\old.txt")), "o");
  EXPECT_TRUE(w.IsReadOnly(QStringLiteral("T:\\src\\old.txt")));
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\ro\\r.txt")), "r");
  EXPECT_TRUE(w.IsReadOnly(QStringLiteral("T:\\src\\ro\\r.txt")));
  EXPECT_FALSE(w.IsReadOnly(QStringLiteral("T:\\src\\ro\\short.txt")));  // too short a text: normal
  EXPECT_TRUE(w.IsReadOnly(QStringLiteral("T:\\src\\ro")));
  w.fs.SetAttr(QStringLiteral("T:\\src\\ro"), attr::Normal);
}

TEST_F(RestoreRun, AFolderRemovedSinceTheLastRestoreIsMadeAgain) {
  w.WriteCopy(S0, QStringLiteral("T:\\src\\sub\\a.txt"), "a");
  w.WriteCopy(S0, QStringLiteral("T:\\src\\sub\\b.txt"), "b");
  w.WriteListing(S0, {L(QStringLiteral("sub\\a.txt"), 1, S0, QStringLiteral("3")),
                      L(QStringLiteral("sub\\b.txt"), 1, S0, QStringLiteral("3"))});
  w.AddHistory(S0);
  auto r = w.Open(S0);
  ASSERT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  // The folder the first restore left current is removed; the same window restores again.
  QDir(w.Host(QStringLiteral("T:\\src\\sub"))).removeRecursively();
  r->ClearRestoreMarks();
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\sub\\b.txt")), "b");
  EXPECT_EQ(Marks(*r).join(u','), QStringLiteral("2,2"));
  EXPECT_TRUE(w.ui.messages.isEmpty());
}

TEST_F(RestoreRun, RecordedSaveDirectoryFallsBackToTheCurrentOne) {
  // The history says T:\old, but the data now lives under T:\dst.
  w.WriteCopy(S0, QStringLiteral("T:\\src\\a.txt"), "a0");
  w.WriteListing(S0, {L(QStringLiteral("a.txt"), 2, S0, QStringLiteral("3"))});
  w.AddHistory(S0, QStringLiteral("T:\\old"));
  auto r = w.Open(S0);
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\a.txt")), "a0");
  EXPECT_TRUE(w.ui.messages.isEmpty());
}

TEST_F(RestoreRun, MediumOfTheRunFolderIsAskedForPerSaveName) {
  ThreeRuns();
  auto r = w.Open(S2);
  w.fs.volume = VolumeInfo{QStringLiteral("OTHER"), 0x99998888};
  // Ignore holds for the save name it was given for: S0 and S1 each ask once.
  w.ui.Expect(Question::SwapMedium, Answer::Ignore, QStringLiteral("T:\\\rメディアを入れ替えてください\rボリューム名BACKUP1\rシリアル番号1A2B-3C4D"));
  w.ui.Expect(Question::SwapMedium, Answer::Ignore, QStringLiteral("メディアを入れ替えてください"));
  w.ui.Expect(Question::SwapMedium, Answer::Abort, QStringLiteral("メディアを入れ替えてください"));
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Stopped);
  EXPECT_TRUE(w.ui.Exhausted());
  EXPECT_EQ(Marks(*r).join(u','), QStringLiteral("2,2,2,1,2"));  // S2's new.txt was not reached
  EXPECT_EQ(r->state().Status, QStringLiteral("復元を実行中  ...... 中止されました"));
  EXPECT_EQ(r->state().CancelCaption, QStringLiteral("中止"));
}

TEST_F(RestoreRun, FailedEntryAsksAndIgnoreSilencesTheRestOfTheRun) {
  ThreeRuns();
  const QString oldCopy = QStringLiteral("T:\\dst\\daily\\") + S0 + QStringLiteral("\\Drive_T\\src\\sub\\old.txt");
  const QString newCopy = QStringLiteral("T:\\dst\\daily\\") + S2 + QStringLiteral("\\Drive_T\\src\\sub\\new.txt");
  w.fs.copyFails = {oldCopy, newCopy};
  auto r = w.Open(S2);
  // Retry fails again, then Ignore: the entry fails and nothing more is asked for S2 either.
  const QString text = S0 + QStringLiteral("\rT:\\src\\sub\\old.txt\r\r") + kNot;
  w.ui.Expect(Question::CannotRestore, Answer::Retry, text);
  w.ui.Expect(Question::CannotRestore, Answer::Ignore, text);
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  EXPECT_TRUE(w.ui.Exhausted());
  EXPECT_EQ(Marks(*r).join(u','), QStringLiteral("2,2,2,-1,-1"));
  EXPECT_EQ(r->state().Status, QStringLiteral("復元を実行中  ...... 終了\r        2 個復元できませんでした"));
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\src\\sub\\old.txt")));
  EXPECT_EQ(Cells(*r), QStringLiteral("1/2/1"));
}

TEST_F(RestoreRun, AbortOnAFailedEntryStopsTheRun) {
  ThreeRuns();
  w.fs.copyFails = {QStringLiteral("T:\\dst\\daily\\") + S1 + QStringLiteral("\\Drive_T\\src\\a.txt")};
  auto r = w.Open(S2);
  w.ui.Expect(Question::CannotRestore, Answer::Abort, kNot);
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Stopped);
  EXPECT_EQ(Mark(*r, 2), QStringLiteral("-1"));
  EXPECT_EQ(Mark(*r, 4), QStringLiteral("1"));
  EXPECT_TRUE(r->state().closeAllowed);
  EXPECT_FALSE(r->state().notYetRun);
}

TEST_F(RestoreRun, SearchInOlderRunsTakesCopiesThatThoseRunsMade) {
  ThreeRuns();
  // S1's copy of a.txt is lost; S0 still has an older one. sub\old.txt has no save name at
  // all in S2's listing and is only found by the search.
  w.env.WriteFile(QStringLiteral("T:\\dst\\daily\\") + S2 + QStringLiteral(".csv"),
                  (Dir({}, S0) + "\r\n" + L(QStringLiteral("a.txt"), 2, S1) + "\r\n" + Dir(QStringLiteral("sub"), S0) + "\r\n" +
                   L(QStringLiteral("sub\\new.txt"), 1500, S2, QStringLiteral("3")) + "\r\n" +
                   L(QStringLiteral("sub\\old.txt"), 3, QString(), QStringLiteral("0")) + "\r\n")
                      .toUtf8());
  w.fs.copyFails = {QStringLiteral("T:\\dst\\daily\\") + S1 + QStringLiteral("\\Drive_T\\src\\a.txt")};
  auto r = w.Open(S2);
  w.ui.Expect(Question::CannotRestore, Answer::Ignore, S1 + QStringLiteral("\rT:\\src\\a.txt\r\r") + kNot);
  // Still marked after the main pass: sub\old.txt only; a.txt failed and is not tried again.
  w.ui.Expect(Question::SearchOlderRuns, Answer::Yes, QStringLiteral("保存履歴か保存データが壊れているため1個復元できませんでした。\r\n") + kSearch +
                  QStringLiteral("\r\n(新しいデーターから順番に探します)"));
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  EXPECT_TRUE(w.ui.Exhausted());
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\sub\\old.txt")), "old");
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\src\\a.txt")));
  EXPECT_EQ(Marks(*r).join(u','), QStringLiteral("2,-1,2,2,2"));
  EXPECT_EQ(w.ui.messages[1].buttons, Buttons::YesNo);
}

// Real runs: a.txt is saved by the Level-0 run, left unchanged (and so not copied) by a
// Level-1 run, then changed and copied by a newer one. Restoring the middle run takes the
// Level-0 copy, whether its listing names that run or (a damaged line) no run at all: the
// search goes to older runs only, and the newer version never stands in for the one the
// middle run recorded.
TEST_F(RestoreRun, AnUnchangedEntryComesFromAnOlderRunNeverFromANewerOne) {
  const QDateTime t0(QDate(2019, 4, 5), QTime(6, 7, 8));
  const QString file = QStringLiteral("T:\\src\\a.txt");
  w.env.WriteFile(file, "old version", t0);
  const QString n0 = w.Backup(Level::Level0);
  const QString n1 = w.Backup(Level::Level1);
  w.env.WriteFile(file, "newer version", t0.addDays(1));
  const QString n2 = w.Backup(Level::Level1);
  ASSERT_EQ(QSet<QString>({n0, n1, n2}).size(), 3);
  const QString listing = QStringLiteral("T:\\dst\\daily\\") + n1 + QStringLiteral(".csv");
  QString lines = QString::fromUtf8(w.env.ReadFile(listing));
  ASSERT_TRUE(lines.contains(QStringLiteral(",2,") + n0 + u',')) << lines.toStdString();
  ASSERT_EQ(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\") + n2 + QStringLiteral("\\Drive_T\\src\\a.txt")), "newer version");

  w.ui.AnswerAll(Question::SearchOlderRuns, Answer::Yes);
  for (bool named : {true, false}) {
    SCOPED_TRACE(named ? "the listing names the run holding the copy" : "the listing names no run");
    if (!named) w.env.WriteFile(listing, lines.replace(QStringLiteral(",2,") + n0 + u',', QStringLiteral(",0,,")).toUtf8());
    QFile::remove(w.Host(file));
    auto r = w.Open(n1);
    EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
    EXPECT_EQ(w.env.ReadFile(file), "old version");
  }
}

TEST_F(RestoreRun, SearchUsesTheStorageOfTheOlderRunsLine) {
  // S0 stored a.txt under its own path and another file under alias 000000. S1's row for
  // a.txt names no save (its copy was lost) and alias 000000 of S1's own numbering: the copy
  // in S0 is the one S0's line describes, not S0's alias 000000.
  w.WriteCopy(S0, QStringLiteral("T:\\src\\a.txt"), "from S0");
  w.WriteCopy(S0, QStringLiteral("T:\\src\\other.txt"), "wrong file", QStringLiteral("000000"));
  w.WriteListing(S0, {L(QStringLiteral("a.txt"), 7, S0, QStringLiteral("3")),
                      L(QStringLiteral("other.txt"), 10, S0, QStringLiteral("3"), QStringLiteral("---A-"), QStringLiteral("0"),
                        QStringLiteral("000000"))});
  w.WriteListing(S1, {L(QStringLiteral("a.txt"), 7, QString(), QStringLiteral("0"), QStringLiteral("---A-"), QStringLiteral("0"),
                        QStringLiteral("000000"))});
  w.AddHistory(S0);
  w.AddHistory(S1);
  auto r = w.Open(S1);
  w.ui.Expect(Question::SearchOlderRuns, Answer::Yes, kSearch);
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\a.txt")), "from S0");
  EXPECT_EQ(Mark(*r, 1), QStringLiteral("2"));
}

TEST_F(RestoreRun, SearchReportsMissingListingsAndRunsNotInTheHistory) {
  ThreeRuns();
  w.WriteListing(S2, {L(QStringLiteral("a.txt"), 2, QString(), QStringLiteral("0"))});
  w.env.fs.Kill(QStringLiteral("T:\\dst\\daily\\") + S1 + QStringLiteral(".csv"));
  auto r = w.Open(S2);
  w.ui.Expect(Question::SearchOlderRuns, Answer::Yes, kSearch);
  // S2's listing has no copy of it; S1's listing is gone: Retry, then skip it; S0 has it.
  w.ui.Expect(Question::OlderListingMissing, Answer::Retry, QStringLiteral("T:\\dst\\daily\\") + S1 + QStringLiteral(".csv\rファイルがありません"));
  w.ui.Expect(Question::OlderListingMissing, Answer::Ignore, QStringLiteral("ファイルがありません"));
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  EXPECT_TRUE(w.ui.Exhausted());
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\a.txt")), "a0");

  // Abort on the missing listing ends the search with its message; the run still finishes.
  auto aborted = w.Open(S2);
  w.ui.Expect(Question::SearchOlderRuns, Answer::Yes, kSearch);
  w.ui.Expect(Question::OlderListingMissing, Answer::Abort, QStringLiteral("ファイルがありません"));
  w.ui.Expect(Question::RestoreIncomplete, Answer::OK, S2 + QStringLiteral("\r") + kIncomplete);
  EXPECT_EQ(w.RestoreAll(*aborted), RestoreOutcome::Finished);
  EXPECT_EQ(Mark(*aborted, 1), QStringLiteral("1"));

  // The restore window's save name not in the history.
  auto orphan = w.Open(S2);
  w.main.HisTable.RemoveRow(1);  // the row of S2 went while the window was open
  w.ui.Expect(Question::SearchOlderRuns, Answer::Yes, kSearch);
  w.ui.Expect(Question::SaveNotInHistory, Answer::OK, S2 + QStringLiteral("\rヒストリテーブルにありません。"));
  EXPECT_EQ(w.RestoreAll(*orphan), RestoreOutcome::Finished);

  // Nobody has it: every run searched, then the message.
  w.AddHistory(S2);
  w.WriteListing(S2, {L(QStringLiteral("zzz.txt"), 2, QString(), QStringLiteral("0"))});
  auto nowhere = w.Open(S2);
  w.ui.Expect(Question::SearchOlderRuns, Answer::Yes, kSearch);
  w.ui.Expect(Question::OlderListingMissing, Answer::Ignore, QStringLiteral("ファイルがありません"));
  w.ui.Expect(Question::RestoreIncomplete, Answer::OK, kIncomplete);
  EXPECT_EQ(w.RestoreAll(*nowhere), RestoreOutcome::Finished);
  EXPECT_EQ(nowhere->state().Status, QStringLiteral("復元を実行中  ...... 終了"));  // still marked, not failed
}

TEST_F(RestoreRun, SearchCarriesIgnoreErrorsAndAsksOnMalformedLines) {
  ThreeRuns();
  w.WriteListing(S2, {L(QStringLiteral("a.txt"), 2, S1), L(QStringLiteral("sub\\old.txt"), 3, QString(), QStringLiteral("0"))});
  w.WriteListing(S1, {QStringLiteral("\"T:\\src\\broken\",---A-"), L(QStringLiteral("a.txt"), 2, S1, QStringLiteral("3"))});
  w.fs.copyFails = {QStringLiteral("T:\\dst\\daily\\") + S1 + QStringLiteral("\\Drive_T\\src\\a.txt"),
                    QStringLiteral("T:\\dst\\daily\\") + S0 + QStringLiteral("\\Drive_T\\src\\sub\\old.txt")};
  auto r = w.Open(S2);
  w.ui.Expect(Question::CannotRestore, Answer::Ignore, kNot);
  w.ui.Expect(Question::SearchOlderRuns, Answer::Yes, kSearch);
  w.ui.Expect(Question::MalformedListingLine, Answer::Yes, QStringLiteral("CSVファイルの内容がおかしいです。\r[\"T:\\src\\broken\",---A-]\r続行しますか？"));
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  EXPECT_TRUE(w.ui.Exhausted());  // S0's copy of sub\old.txt failed silently
  EXPECT_EQ(Marks(*r).join(u','), QStringLiteral("-1,-1"));

  auto stopped = w.Open(S2);
  w.ui.Expect(Question::CannotRestore, Answer::Ignore, kNot);
  w.ui.Expect(Question::SearchOlderRuns, Answer::Yes, kSearch);
  w.ui.Expect(Question::MalformedListingLine, Answer::No, QStringLiteral("CSVファイルの内容がおかしいです。"));
  w.ui.Expect(Question::RestoreIncomplete, Answer::OK, kIncomplete);
  EXPECT_EQ(w.RestoreAll(*stopped), RestoreOutcome::Finished);
  EXPECT_EQ(Marks(*stopped).join(u','), QStringLiteral("-1,1"));
}

TEST_F(RestoreRun, NoSearchWhenTheUserSaysNo) {
  ThreeRuns();
  w.WriteListing(S2, {L(QStringLiteral("a.txt"), 2, QString(), QStringLiteral("0"))});
  auto r = w.Open(S2);
  w.ui.Expect(Question::SearchOlderRuns, Answer::No, kSearch);
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  EXPECT_EQ(Mark(*r, 1), QStringLiteral("1"));
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\src\\a.txt")));
}

TEST_F(RestoreRun, CancelDuringTheMainPassKeepsWhatWasRestored) {
  QStringList lines;
  for (int i = 0; i < 120; ++i) {
    const QString rel = QStringLiteral("f%1.txt").arg(i, 3, 10, QChar(u'0'));
    w.WriteCopy(S0, QStringLiteral("T:\\src\\") + rel, "x");
    lines += L(rel, 1, S0, QStringLiteral("3"));
  }
  w.WriteListing(S0, lines);
  w.AddHistory(S0);
  auto r = w.Open(S0);
  r->SetAllRestoreMarks();
  int yieldsAtStart = w.ui.yields;
  w.ui.onYield = [&](int n) {
    if (n == yieldsAtStart + 40) w.m.CancelFlag.Set();
  };
  EXPECT_EQ(r->OK_Click(), RestoreOutcome::Stopped);
  const QStringList marks = Marks(*r);
  EXPECT_GT(marks.count(QStringLiteral("2")), 5);
  EXPECT_GT(marks.count(QStringLiteral("1")), 5);
  EXPECT_EQ(marks.count(QStringLiteral("-1")), 0);
  EXPECT_TRUE(w.env.Exists(QStringLiteral("T:\\src\\f000.txt")));
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\src\\f119.txt")));
  // The cancel closes the window at the next tick.
  EXPECT_TRUE(r->TakeCloseRequest());
}

TEST_F(RestoreRun, PathsThatWouldLeaveTheTargetAreNeverWritten) {
  w.WriteCopy(S0, QStringLiteral("T:\\src\\ok.txt"), "ok");
  w.env.WriteFile(QStringLiteral("T:\\dst\\daily\\") + S0 + QStringLiteral("\\Drive_T\\src\\..\\evil.txt"), "evil");
  w.env.WriteFile(QStringLiteral("T:\\dst\\daily\\") + S0 + QStringLiteral("\\Drive_T\\evil2.txt"), "evil");
  w.env.WriteFile(QStringLiteral("T:\\secret.txt"), "secret");
  w.WriteListing(S0, {W::Line(QStringLiteral("T:\\src\\..\\evil.txt"), QStringLiteral("---A-"), 4, QStringLiteral("3"), S0),
                      W::Line(QStringLiteral("src\\relative.txt"), QStringLiteral("---A-"), 4, QStringLiteral("3"), S0),
                      W::Line(QStringLiteral("T:\\src/../evil2.txt"), QStringLiteral("---A-"), 4, QStringLiteral("3"), S0),
                      L(QStringLiteral("leak.txt"), 6, S0, QStringLiteral("3"), QStringLiteral("---A-"), QStringLiteral("0"),
                        QStringLiteral("..\\..\\..\\secret.txt")),
                      L(QStringLiteral("ok.txt"), 2, S0, QStringLiteral("3"))});
  w.AddHistory(S0);
  auto r = w.Open(S0);
  EXPECT_EQ(w.RestoreAll(*r, QStringLiteral("T:\\restore")), RestoreOutcome::Finished);
  EXPECT_TRUE(w.ui.messages.isEmpty());  // rejected without asking
  EXPECT_EQ(Marks(*r).join(u','), QStringLiteral("-1,-1,-1,-1,2"));
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\restore\\Drive_T\\src\\ok.txt")), "ok");
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\restore\\Drive_T\\evil.txt")));
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\restore\\Drive_T\\evil2.txt")));
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\restore\\Drive_T\\src\\leak.txt")));
  EXPECT_EQ(r->state().Status, QStringLiteral("復元を実行中  ...... 終了\r        4 個復元できませんでした"));
  // Restoring in place does not write them either.
  auto inPlace = w.Open(S0);
  EXPECT_EQ(w.RestoreAll(*inPlace), RestoreOutcome::Finished);
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\evil.txt")));
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\evil2.txt")));
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\src\\leak.txt")));
}

TEST_F(RestoreRun, PackedEntriesAreUnpackedWithTheArchiverInTheTargetFolder) {
  w.env.WriteFile(QStringLiteral("T:\\dst\\daily\\") + S0 + QStringLiteral("\\Drive_T\\src\\p\\doc.txt.LZH"), "LZH\npacked");
  w.env.WriteFile(QStringLiteral("T:\\dst\\daily\\") + S0 + QStringLiteral("\\Alias\\000003.LZH"), "LZH\naliased");
  w.env.WriteFile(QStringLiteral("T:\\dst\\daily\\") + S0 + QStringLiteral("\\Drive_T\\src\\bad.txt.LZH"), "garbage");
  w.WriteListing(S0, {L(QStringLiteral("p\\doc.txt"), 6, S0, QStringLiteral("3"), QStringLiteral("---A-"), QStringLiteral("1")),
                      L(QStringLiteral("deep\\name.txt"), 7, S0, QStringLiteral("3"), QStringLiteral("R--A-"), QStringLiteral("1"),
                        QStringLiteral("000003")),
                      L(QStringLiteral("bad.txt"), 7, S0, QStringLiteral("3"), QStringLiteral("---A-"), QStringLiteral("1"))});
  w.AddHistory(S0);
  w.env.WriteFile(QStringLiteral("T:\\src\\bad.txt"), "kept");
  auto r = w.Open(S0);
  w.ui.Expect(Question::CannotRestore, Answer::Ignore, S0 + QStringLiteral("\rT:\\src\\bad.txt\r\r") + kNot);
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\p\\doc.txt")), "packed");
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\deep\\name.txt")), "aliased");
  EXPECT_TRUE(w.IsReadOnly(QStringLiteral("T:\\src\\deep\\name.txt")));
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\bad.txt")), "kept");  // a damaged archive writes nothing
  EXPECT_EQ(Marks(*r).join(u','), QStringLiteral("2,2,-1"));
  ASSERT_GE(w.archiver.commands.size(), 2);
  // The archiver unpacks into a folder of the restore's own beside the target; the file
  // then takes the target's place, and the folder goes.
  const QString first = w.archiver.commands[0];
  EXPECT_TRUE(first.startsWith(QStringLiteral("e -n -a1 -jss -jyko -f1 -c1 -m1 -gm1 \"") +
                               w.Host(QStringLiteral("T:\\dst\\daily\\") + S0 +
                                      QStringLiteral("\\Drive_T\\src\\p\\doc.txt.LZH")) +
                               QStringLiteral("\" \"") + w.Host(QStringLiteral("T:\\src\\p\\.qarno-unpack-"))))
      << first.toStdString();
  EXPECT_TRUE(first.endsWith(QStringLiteral("/doc.txt\""))) << first.toStdString();
  EXPECT_TRUE(w.archiver.commands[1].contains(QStringLiteral("Alias/000003.LZH\" \"") +
                                              w.Host(QStringLiteral("T:\\src\\deep\\.qarno-unpack-"))));
  EXPECT_EQ(QDir(w.Host(QStringLiteral("T:\\src\\p"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("doc.txt")});
}

TEST_F(RestoreRun, FilesAppearOnlyWholeAndWhatAKilledRestoreLeftGoes) {
  w.WriteCopy(S0, QStringLiteral("T:\\src\\a.txt"), QByteArray(5000, 'a'));
  w.env.WriteFile(QStringLiteral("T:\\dst\\daily\\") + S0 + QStringLiteral("\\Drive_T\\src\\doc.txt.LZH"), "LZH\npacked");
  w.WriteListing(S0, {Dir({}, S0), L(QStringLiteral("a.txt"), 5000, S0, QStringLiteral("3")),
                      L(QStringLiteral("doc.txt"), 6, S0, QStringLiteral("3"), QStringLiteral("---A-"), QStringLiteral("1"))});
  w.AddHistory(S0);
  // A restore into this folder was killed: its temporary file and its unpacking folder.
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  w.env.WriteFile(QStringLiteral("T:\\src\\.qarno-%1-1.tmp").arg(child), "half");
  w.env.WriteFile(QStringLiteral("T:\\src\\.qarno-unpack-%1-1\\doc.txt").arg(child), "half");
  w.env.WriteFile(QStringLiteral("T:\\src\\.qarno-mine.txt"), "the user's");
  // While a file is written, nothing is at its name yet: a kill then leaves no short file
  // that looks restored.
  QStringList early;
  w.fs.duringCopy = [&](const QString& to) {
    if (w.env.Exists(to)) early += to;
  };
  auto r = w.Open(S0);
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::Finished);
  EXPECT_EQ(early, QStringList());
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\a.txt")), QByteArray(5000, 'a'));
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\doc.txt")), "packed");
  EXPECT_EQ(QDir(w.Host(QStringLiteral("T:\\src"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList({QStringLiteral(".qarno-mine.txt"), QStringLiteral("a.txt"), QStringLiteral("doc.txt")}));
}

TEST_F(RestoreRun, MissingArchiverStopsBeforeAnythingWhenPackedEntriesAreMarked) {
  w.WriteCopy(S0, QStringLiteral("T:\\src\\plain.txt"), "plain");
  w.WriteListing(S0, {L(QStringLiteral("plain.txt"), 5, S0, QStringLiteral("3")),
                      L(QStringLiteral("doc.txt"), 6, S0, QStringLiteral("3"), QStringLiteral("---A-"), QStringLiteral("1"))});
  w.AddHistory(S0);
  w.archiver.available = false;
  auto r = w.Open(S0);
  w.ui.Expect(Question::ArchiverMissing, Answer::OK, QStringLiteral("UNLHA32がインストールされていません。\rインストールしてから実行してください。"));
  EXPECT_EQ(w.RestoreAll(*r), RestoreOutcome::NotStarted);
  EXPECT_EQ(Marks(*r).join(u','), QStringLiteral("1,1"));
  EXPECT_TRUE(r->state().closeAllowed);
  EXPECT_TRUE(r->state().okEnabled);
  // Only plain entries marked: no archiver needed.
  r->SetRestoreMark(2, false);
  EXPECT_EQ(r->OK_Click(), RestoreOutcome::Finished);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\src\\plain.txt")), "plain");
}

TEST_F(RestoreRun, FindReservedEntrySearchesCircularlyAndTellsWhenNothingIsLeft) {
  w.WriteListing(S0, {L(QStringLiteral("a"), 1, S0), L(QStringLiteral("b"), 1, S0), L(QStringLiteral("c"), 1, S0),
                      L(QStringLiteral("b"), 1, S0)});
  w.AddHistory(S0);
  auto r = w.Open(S0);
  r->SetRestoreMark(3, true);
  int pos = 3;
  bool nothingLeft = true;
  EXPECT_TRUE(r->FindReservedEntry(QStringLiteral("T:\\src\\c"), pos, nothingLeft));
  EXPECT_EQ(pos, 3);
  EXPECT_FALSE(nothingLeft);
  // From row 3 on, the first "b" met is row 4, then around to row 2.
  EXPECT_FALSE(r->FindReservedEntry(QStringLiteral("T:\\src\\b"), pos, nothingLeft));
  EXPECT_EQ(pos, 4);
  pos = 1;
  EXPECT_FALSE(r->FindReservedEntry(QStringLiteral("T:\\src\\b"), pos, nothingLeft));
  EXPECT_EQ(pos, 2);
  // Not in the table: a marked row remains, so something is left.
  EXPECT_FALSE(r->FindReservedEntry(QStringLiteral("T:\\src\\zz"), pos, nothingLeft));
  EXPECT_EQ(pos, 2);
  EXPECT_FALSE(nothingLeft);
  r->SetRestoreMark(3, false);
  EXPECT_FALSE(r->FindReservedEntry(QStringLiteral("T:\\src\\zz"), pos, nothingLeft));
  EXPECT_TRUE(nothingLeft);
  EXPECT_FALSE(r->FindReservedEntry(QStringLiteral("T:\\src\\a"), pos, nothingLeft));
  EXPECT_FALSE(nothingLeft);  // a match, even unmarked
}

}  // namespace
}  // namespace qarno::test
