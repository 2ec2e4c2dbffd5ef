// SPDX-License-Identifier: GPL-3.0-or-later
// The prompts and fallbacks of a run: reserve, full medium, medium changes, vanished and
// unreadable sources, aliases, the entry limit, cancel at every phase.
#include "EngineWorld.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qarno::test {
namespace {

QString Today(int counter) { return SaveNameFor(QDate::currentDate(), counter); }

struct Faults : ::testing::Test {
  EngineWorld w;
  void SetUp() override {
    for (int i = 0; i < 4; ++i) w.Source(QStringLiteral("f%1.txt").arg(i), QByteArray(100 + i, 'x'));
  }
  QString Flag(const QString& save, const QString& rel) {
    return EngineWorld::Fields(w.ListingLine(save, w.Src(rel)))[4];
  }
};

TEST_F(Faults, LongDestinationsGoToNumberedAliasesThatContinueAcrossRuns) {
  w.m.set.options.PathLen = 30;  // T:\dst\daily\qrn...\Drive_T\src\f0.txt is longer
  const RunResult r = w.Run(Level::Level0);
  ASSERT_TRUE(r.succeeded);
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(r.saveName, w.Src("f0.txt")))[10], QStringLiteral("000000"));
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(r.saveName, w.Src("f3.txt")))[10], QStringLiteral("000003"));
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\") + r.saveName + QStringLiteral("\\Alias\\000001")),
            QByteArray(101, 'x'));
  // A later run starts after the highest alias of the previous listing.
  w.Source(QStringLiteral("f9.txt"), "late");
  const RunResult r1 = w.Run(Level::Level1);
  ASSERT_TRUE(r1.succeeded);
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(r1.saveName, w.Src("f9.txt")))[10], QStringLiteral("000004"));
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(r1.saveName, w.Src("f1.txt")))[10], QStringLiteral("000001"));
}

TEST_F(Faults, ReserveShortageAsksAndNoNoRefusesEveryFile) {
  w.m.set.options.RsvSizeChk = 1;
  w.fs.freeKB = 10 * 1024;  // 10 MB against a 50 MB reserve
  w.ui.Expect(Question::ReserveShort, Answer::No, QStringLiteral("保存先ディスク残量が制限値以下です!\r\n\t残量値：     10 MByte\r\n\t制限値：     50 MByte"));
  w.ui.Expect(Question::ReserveSwitchOff, Answer::No, QStringLiteral("今回の保存での残量制限を無効にしますか？"));
  w.ui.Expect(Question::UncopiedEntries, Answer::OK, QStringLiteral(" 個コピーできませんでした。"));
  const RunResult r = w.Run(Level::Level0);
  EXPECT_TRUE(r.succeeded);
  EXPECT_EQ(r.uncopied, 5);  // the directory and the four files
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Flag(r.saveName, QStringLiteral("f%1.txt").arg(i)), QStringLiteral("-2"));
  EXPECT_TRUE(w.Log().contains(QStringLiteral("保存開始前の保存先ディスク残量確認：残量不足が検出されました")));
  EXPECT_TRUE(w.Log().contains(QStringLiteral("保存できませんでした（その他） [T:\\src\\f2.txt]")));
  EXPECT_EQ(w.run->View().ListSel(), 2);
  EXPECT_EQ(w.run->View().Rows().size(), 5u);
  EXPECT_TRUE(w.ui.Exhausted());
}

TEST_F(Faults, ReserveShortageNoYesCopiesEverythingWithoutAskingAgain) {
  w.m.set.options.RsvSizeChk = 1;
  w.fs.freeKB = 1024;
  w.ui.Expect(Question::ReserveShort, Answer::No, QStringLiteral("保存先ディスク残量が制限値以下です!"));
  w.ui.Expect(Question::ReserveSwitchOff, Answer::Yes, QStringLiteral("今回の保存での残量制限を無効にしますか？"));
  const RunResult r = w.Run(Level::Level0);
  EXPECT_TRUE(r.succeeded);
  EXPECT_EQ(r.uncopied, 0);
  EXPECT_TRUE(w.Log().contains(QStringLiteral("保存開始前の保存先ディスク残量確認：今回の制限値を無効にしました")));
  // Yes means "I changed the medium": the same entry is checked again.
  w.ui.Expect(Question::ReserveShort, Answer::Yes, QStringLiteral("保存先ディスク残量が制限値以下です!"));
  const qsizetype before = w.ui.messages.size();
  w.fs.onFreeQuery = [&] {
    if (w.ui.messages.size() > before) w.fs.freeKB = 100 * 1024;  // the new medium has room
  };
  EXPECT_TRUE(w.Run(Level::Level0).succeeded);
  EXPECT_TRUE(w.ui.Exhausted());
}

TEST_F(Faults, UnattendedRunsRefuseShortReservesWithoutAsking) {
  w.m.set.options.RsvSizeChk = 1;
  w.fs.freeKB = 1024;
  w.m.AutoRunMode.mode = 2;
  // The headless fallback of a Yes/No question is No: the files are refused.
  w.ui.AnswerAll(Question::ReserveShort, Answer::No);
  w.ui.AnswerAll(Question::ReserveSwitchOff, Answer::No);
  const RunResult r = w.Run(Level::Level0);
  EXPECT_TRUE(r.succeeded);
  EXPECT_EQ(r.uncopied, 5);
}

TEST_F(Faults, FullDestinationNoMarksTheRestUnsavedAndCancelAborts) {
  w.fs.copyFails.insert(w.Src("f1.txt"));
  w.fs.freeKB = 0;
  w.ui.Expect(Question::DestinationFull, Answer::No, QStringLiteral("ドライブの空き量が足りません。\r新しいメディアに交換してください"));
  w.ui.Expect(Question::UncopiedEntries, Answer::OK, QStringLiteral("3 個コピーできませんでした。"));
  const RunResult r = w.Run(Level::Level0);
  EXPECT_TRUE(r.succeeded);  // the listing records what was saved and what was not
  EXPECT_EQ(Flag(r.saveName, "f0.txt"), QStringLiteral("3"));
  EXPECT_EQ(Flag(r.saveName, "f1.txt"), QStringLiteral("-2"));
  EXPECT_EQ(Flag(r.saveName, "f3.txt"), QStringLiteral("-2"));
  EXPECT_TRUE(w.Log().contains(QStringLiteral("保存できませんでした（残量不足） [T:\\src\\f1.txt]")));
  EXPECT_TRUE(w.Log().contains(QStringLiteral("保存できませんでした(残量不足） [T:\\src\\f2.txt]")));

  w.ui.Expect(Question::DestinationFull, Answer::Cancel, QStringLiteral("ドライブの空き量が足りません。"));
  const RunResult c = w.Run(Level::Level0);
  EXPECT_FALSE(c.succeeded);
  EXPECT_EQ(c.saveName, Today(1));
  // The failed run's own save is removed; the earlier one stays.
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\dst\\daily\\") + Today(1)));
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\dst\\daily\\") + Today(1) + QStringLiteral(".csv")));
  EXPECT_TRUE(w.env.Exists(QStringLiteral("T:\\dst\\daily\\") + Today(0) + QStringLiteral(".csv")));
  EXPECT_EQ(w.main.HisTable.Rows(), 2);
}

TEST_F(Faults, MediumChangedBetweenStartAndCopyIsAskedAboutUnlessUnattended) {
  w.fs.onVolumeRead = [&](int n) {
    if (n == 2) w.fs.volume.serial = 0x55556666;
  };
  w.ui.Expect(Question::MediumChangedSinceStart, Answer::Cancel, QStringLiteral("起動時とメディアが変わっています。"));
  EXPECT_FALSE(w.Run(Level::Level0).succeeded);
  EXPECT_TRUE(w.Log().contains(QStringLiteral("中止されました\r\n終了")));

  w.fs.volumeReads = 0;
  w.fs.volume.serial = 0x1A2B3C4D;
  w.ui.Expect(Question::MediumChangedSinceStart, Answer::OK, QStringLiteral("必要ならメディアを交換してください"));
  const RunResult ok = w.Run(Level::Level0);
  EXPECT_TRUE(ok.succeeded);
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(ok.saveName, w.Src("f0.txt")))[6], QStringLiteral("5555-6666"));

  w.fs.volumeReads = 0;
  w.fs.volume.serial = 0x1A2B3C4D;
  w.m.AutoRunMode.mode = 3;
  EXPECT_TRUE(w.Run(Level::Level0).succeeded);
}

TEST_F(Faults, PreviousMediumDifferentAsksToChangeIt) {
  ASSERT_TRUE(w.Run(Level::Level0).succeeded);
  w.fs.volume = VolumeInfo{QStringLiteral("OTHER"), 0x99990000};
  w.ui.Expect(Question::MediumChangedSincePrevious, Answer::Yes, QStringLiteral("    前回のメディアのシリアル番号 : 1A2B-3C4D\r    前回のメディアのボリューム名 : BACKUP1\r"
                             "    今回のメディアのシリアル番号 : 9999-0000"));
  w.ui.Expect(Question::MediumChangedSincePrevious, Answer::No, QStringLiteral("前回とメディアが変わっています。"));
  EXPECT_TRUE(w.Run(Level::Level1).succeeded);
  // The newest run is now on the other medium; the first one comes back.
  w.fs.volume = VolumeInfo{QStringLiteral("BACKUP1"), 0x1A2B3C4D};
  w.ui.Expect(Question::MediumChangedSincePrevious, Answer::Cancel, QStringLiteral("前回とメディアが変わっています。"));
  EXPECT_FALSE(w.Run(Level::Level1).succeeded);
}

TEST_F(Faults, VanishedAndUnreadableSourcesAreRecordedNotFatal) {
  // f0 vanishes between the scan and the copy; f1 cannot be opened (locked);
  // f2 refuses the plain copy but reads byte by byte when locked files are allowed.
  w.ui.onYield = [&](int) {
    if (w.run && w.run->state().progress.phase == phase::ThisList) QFile::remove(w.env.Host(w.Src("f0.txt")));
  };
  w.fs.copyFails = {w.Src("f1.txt"), w.Src("f2.txt")};
  w.fs.unopenable = {w.Src("f1.txt")};
  w.m.set.options.LockFile = 1;
  w.ui.Expect(Question::UncopiedEntries, Answer::OK, QStringLiteral("2 個コピーできませんでした。"));
  const RunResult r = w.Run(Level::Level0);
  ASSERT_TRUE(r.succeeded);
  EXPECT_EQ(Flag(r.saveName, "f0.txt"), QStringLiteral("6"));
  EXPECT_EQ(Flag(r.saveName, "f1.txt"), QStringLiteral("8"));
  EXPECT_EQ(Flag(r.saveName, "f2.txt"), QStringLiteral("3"));
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\") + r.saveName + QStringLiteral("\\Drive_T\\src\\f2.txt")),
            QByteArray(102, 'x'));
  EXPECT_TRUE(w.Log().contains(QStringLiteral("保存できませんでした（なくなっている為エントリーが削除されます） [T:\\src\\f0.txt]")));
  EXPECT_TRUE(w.Log().contains(QStringLiteral("保存できませんでした（ファイルロック） [T:\\src\\f1.txt]")));
  EXPECT_TRUE(w.Log().contains(QStringLiteral("コピーできなかった数 [2]")));
  // Without the locked-file option the refused copy is an ordinary failure.
  w.ui.onYield = nullptr;
  w.m.set.options.LockFile = 0;
  w.ui.Expect(Question::UncopiedEntries, Answer::OK, QStringLiteral("2 個コピーできませんでした。"));
  const RunResult r2 = w.Run(Level::Level0);
  EXPECT_EQ(Flag(r2.saveName, "f2.txt"), QStringLiteral("-2"));
  EXPECT_TRUE(w.Log().contains(QStringLiteral("保存できませんでした（その他） [T:\\src\\f2.txt] [文字数=13]")));
}

TEST_F(Faults, CancelAtEveryPhaseEndsTheRunAndLeavesNoHalfSave) {
  for (int stopIn : {phase::Scan, phase::ThisList, phase::Copy, phase::Csv}) {
    SCOPED_TRACE(stopIn);
    for (int i = 0; i < 60; ++i) w.Source(QStringLiteral("many\\m%1").arg(i), "m");
    bool pressed = false;
    w.ui.onYield = [&](int) {
      if (!pressed && w.run && w.run->state().progress.phase == stopIn) {
        w.m.CancelFlag.Set();
        pressed = true;
      }
    };
    const RunResult r = w.Run(Level::Level0);
    EXPECT_FALSE(r.succeeded);
    EXPECT_TRUE(w.Log().endsWith(QStringLiteral("中止されました\r\n終了\r\n\r\n")));
    EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\dst\\daily\\") + r.saveName + QStringLiteral(".csv")));
    EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\dst\\daily\\") + r.saveName));
    EXPECT_FALSE(w.main.HisTable.HasData());
    // The window closes by itself at the next tick.
    EXPECT_TRUE(w.run->TakeCloseRequest());
    EXPECT_FALSE(w.run->TakeCloseRequest());  // once
  }
}

TEST_F(Faults, CancelledOverwriteKeepsEveryEarlierCopy) {
  ASSERT_TRUE(w.Run(Level::Overwrite).succeeded);
  w.Source(QStringLiteral("f0.txt"), "changed");
  bool pressed = false;
  w.ui.onYield = [&](int) {
    if (!pressed && w.run && w.run->state().progress.phase == phase::Copy) {
        w.m.CancelFlag.Set();
        pressed = true;
      }
  };
  EXPECT_FALSE(w.Run(Level::Overwrite).succeeded);
  EXPECT_TRUE(w.env.Exists(QStringLiteral("T:\\dst\\daily\\Qrn_All.csv")));
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\Qrn_All\\Drive_T\\src\\f3.txt")), QByteArray(103, 'x'));
}

TEST_F(Faults, TheEntryLimitStopsTheScan) {
  // A directory of generated names stands in for a huge tree.
  auto many = [&](int n) {
    w.fs.listOverride = [n](const QString& pattern) -> std::optional<std::vector<DirEntry>> {
      if (pattern != u"T:\\src\\*.*") return std::nullopt;
      std::vector<DirEntry> v;
      for (int i = 0; i < n; ++i) {
        DirEntry e;
        e.name = QStringLiteral("g%1").arg(i, 6, 10, QChar(u'0'));
        e.attributes = attr::Archive;
        e.size = 1;
        v.push_back(e);
      }
      return v;
    };
  };
  many(32764);  // with the directory itself 32765 entries: 32766 rows, heading included
  w.fs.freeKB = 0;  // nothing gets copied, only the scan matters
  FSaveExec run(w.m, w.main);
  run.Form_Load();
  EXPECT_TRUE(run.MkSaveList());
  EXPECT_EQ(run.SaveList().Count(), 32765);
  many(32765);
  w.ui.Expect(Question::TooManyEntries, Answer::OK, QStringLiteral("保存対象のファイル/フォルダーが多すぎます。(32767個までです)\r\nセット名を分割して下さい"));
  EXPECT_FALSE(run.MkSaveList());
  EXPECT_TRUE(w.ui.Exhausted());
}

TEST_F(Faults, UnattendedFallbacksRunAsLevel0AndWithoutPacking) {
  w.m.AutoRunMode.mode = 2;
  // No previous run for Level-1: Level-0 instead.
  RunResult r = w.Run(Level::Level1);
  EXPECT_TRUE(r.succeeded);
  EXPECT_EQ(w.main.HisTable.Cell(1, HistoryEntry::Level), QStringLiteral("Level-0"));
  // The run's outcome says so; the set itself is left as the user has it.
  EXPECT_TRUE(w.run->state().outcome.fellBackToLevel0);
  EXPECT_EQ(w.m.set.SaveLevel, Level::Level1);
  // The previous listing has gone: Level-2 continues as Level-0.
  QFile::remove(w.env.Host(QStringLiteral("T:\\dst\\daily\\") + r.saveName + QStringLiteral(".csv")));
  r = w.Run(Level::Level2);
  EXPECT_TRUE(r.succeeded);
  EXPECT_EQ(w.main.HisTable.Cell(1, HistoryEntry::Level), QStringLiteral("Level-0"));
  EXPECT_TRUE(w.run->state().outcome.fellBackToLevel0);
  EXPECT_EQ(w.m.set.SaveLevel, Level::Level2);
  // Packing without an archiver: plain copies.
  w.m.set.options.ComplexTypeMode = 1;
  r = w.Run(Level::Level0);
  EXPECT_TRUE(r.succeeded);
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(r.saveName, w.Src("f0.txt")))[9], QStringLiteral("0"));
  EXPECT_TRUE(w.Log().contains(QStringLiteral("UNLHA32がインストールされていません。")));
  EXPECT_TRUE(w.run->state().outcome.packingOff);
  EXPECT_FALSE(w.run->state().outcome.fellBackToLevel0);
  EXPECT_EQ(w.m.set.options.ComplexTypeMode, 1);

  // Interactive, the same situations stop the run with their messages.
  w.m.AutoRunMode.mode = -1;
  w.ui.Expect(Question::ArchiverMissing, Answer::OK, QStringLiteral("UNLHA32がインストールされていません。\r設定で[圧縮しない]を選択してください。"));
  EXPECT_FALSE(w.Run(Level::Level0).succeeded);
  w.m.set.options.ComplexTypeMode = 0;
  w.main.ClearHisTable();
  w.ui.Expect(Question::PreviousRunMissing, Answer::OK, QStringLiteral("前回の保存名が見つかりません！"));
  EXPECT_FALSE(w.Run(Level::Level1).succeeded);
}

TEST_F(Faults, SpecialFilesAndUnsayableNamesStayOutOfTheListing) {
  ::mkfifo(QFile::encodeName(w.env.Host(w.Src("pipe"))).constData(), 0644);
  QFile f(w.env.Host(QStringLiteral("T:\\src")) + QStringLiteral("/back\\slash"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  // The name no listing can carry is left out, and counted with what was not saved.
  w.ui.Expect(Question::UncopiedEntries, Answer::OK, QStringLiteral("1 個コピーできませんでした。"));
  const RunResult r = w.Run(Level::Level0);
  ASSERT_TRUE(r.succeeded);
  EXPECT_EQ(r.uncopied, 1);
  const QString all = w.Listing(r.saveName).join(u'\n');
  EXPECT_FALSE(all.contains(QStringLiteral("pipe")));
  EXPECT_FALSE(all.contains(QStringLiteral("slash")));
  EXPECT_TRUE(w.Log().contains(QStringLiteral("保存できませんでした（ファイル名） [T:\\src\\back\\slash]")));
}

TEST_F(Faults, HugeFilesAreListedAndCountedIn64Bits) {
  // The listing reports the size the file system gives; a 3 GiB report stands in for a real one.
  w.fs.listOverride = [&](const QString& pattern) -> std::optional<std::vector<DirEntry>> {
    if (pattern != u"T:\\src\\*.*") return std::nullopt;
    auto real = w.env.fs.List(pattern);
    for (DirEntry& e : *real)
      if (e.name == u"f0.txt") e.size = int64_t(3) << 30;
    return real;
  };
  FSaveExec run(w.m, w.main);
  run.Form_Load();
  ASSERT_TRUE(run.MkSaveList());
  EXPECT_EQ(FieldText(run.SaveList()[2], SaveListEntry::Size), QStringLiteral("3221225472"));
  EXPECT_EQ(run.ListInfo().Value(ListInfoTable::KB, 1), 3 * 1024 * 1024 + 3);
}

TEST_F(Faults, SkipListAndPatternsShapeTheScan) {
  w.Source(QStringLiteral("tmp\\x.txt"), "x");
  w.Source(QStringLiteral("old.bak"), "b");
  w.Source(QStringLiteral("B2.txt"), "b");
  w.m.set.SkipList = {QStringLiteral("*.bak"), QStringLiteral("t:\\SRC\\TMP")};
  w.m.set.SaveList = {QStringLiteral("T:\\src\\"), QStringLiteral("T:\\src\\f*.txt"), QStringLiteral("T:\\src\\tmp")};
  FSaveExec run(w.m, w.main);
  run.Form_Load();
  ASSERT_TRUE(run.MkSaveList());
  QStringList paths;
  for (int r = 1; r < run.SaveList().Rows(); ++r) paths += run.SaveList()[r].path;
  EXPECT_EQ(paths, (QStringList{"T:\\src", "T:\\src\\B2.txt", "T:\\src\\f0.txt", "T:\\src\\f1.txt", "T:\\src\\f2.txt",
                                "T:\\src\\f3.txt", "T:\\src", "T:\\src\\f0.txt", "T:\\src\\f1.txt", "T:\\src\\f2.txt",
                                "T:\\src\\f3.txt", "T:\\src\\tmp", "T:\\src\\tmp\\x.txt"}));
  // Duplicated rows are marked like any other: a Level-1 run finds each of them.
  EXPECT_EQ(run.ListInfo().Cell(ListInfoTable::Folders, 1), QStringLiteral("3"));
}

// The progress display of each phase, one named case per row: the texts and the overall
// percentage a user sees for a given state of the counters.
struct ProgressCase {
  const char* name;
  RunProgress progress;
  int previousOverall;
  const char16_t* status;
  int overall;
};

TEST(ProgressDisplay, EachPhaseReadsAsTheUserSeesIt) {
  auto at = [](int ph) {
    RunProgress p;
    p.phase = ph;
    p.lastEntry = QStringLiteral("T:\\src\\f0.txt");
    return p;
  };
  RunProgress scan = at(phase::Scan);
  scan.scanCount = 7;
  RunProgress previous = at(phase::PreviousList);
  previous.counter = 1;
  previous.total = 3;  // 33 %
  RunProgress thisList = at(phase::ThisList);
  thisList.counter = 1;
  thisList.total = 4;  // 25 %
  RunProgress copy = at(phase::Copy);
  copy.copiedKB = 40;
  copy.kbToCopy = 100;
  copy.processedCount = 5;
  copy.rowCount = 10;  // 32 % by size + 10 % by rows
  RunProgress copyNothing = at(phase::Copy);  // nothing to copy, no rows: both parts full
  RunProgress csv = at(phase::Csv);
  csv.counter = 50;
  csv.total = 100;
  RunProgress viewIdle = at(phase::ViewIdle);
  viewIdle.counter = 1;
  viewIdle.total = 2;
  RunProgress viewBusy = viewIdle;
  viewBusy.phase = phase::ViewBusy;
  RunProgress merge = at(phase::Merge);
  merge.counter = 3;
  merge.total = 0;  // an empty previous listing counts as done
  RunProgress idle = at(phase::Idle);
  idle.status = QStringLiteral("コピーの実行　...　終了");

  const ProgressCase cases[] = {
      {"scan shows the count and the last entry, overall 0", scan, 55, u"セーブリストの作成  ...... 7個\rT:\\src\\f0.txt", 0},
      {"previous listing at 33% is 3% overall", previous, 0, u"前回のセーブリストの調査  ( 33% )", 3},
      {"this list at 25% is 11% overall", thisList, 0, u"今回のセーブリストの調査  ( 25% )", 11},
      {"copy at 42% is 46% overall", copy, 0, u"コピーの実行  ( Sub Total 42%   40Ｋバイト )\rT:\\src\\f0.txt", 46},
      {"copy of nothing is complete", copyNothing, 0, u"コピーの実行  ( Sub Total 100%   0Ｋバイト )\rT:\\src\\f0.txt", 90},
      {"listing at 50% is 91% overall", csv, 0, u"CSVファイルの出力  ( 50% )\rT:\\src\\f0.txt", 91},
      {"idle view rebuild keeps the overall figure", viewIdle, 37, u"セーブリストの更新中  ( 50% )", 37},
      {"busy view rebuild at 50% is 98% overall", viewBusy, 37, u"セーブリストの更新中  ( 50% )", 98},
      {"merge of an empty listing is 94% overall", merge, 0, u"前回のCSVファイルとの合成  ( 100% )", 94},
      {"used size is 94% overall", at(phase::UsedSize), 0, u"使用したディスクサイズを計算中\r", 94},
      {"done is 100%", at(phase::Done), 12, u"全て終了しました", 100},
      {"idle shows the last status and keeps the figure", idle, 90, u"コピーの実行　...　終了", 90},
  };
  for (const ProgressCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ProgressView v = DescribeProgress(c.progress, c.previousOverall);
    EXPECT_EQ(v.status, QString::fromUtf16(c.status));
    EXPECT_EQ(v.overall, c.overall);
  }
}

TEST_F(Faults, TheRunWindowShowsElapsedTimeWithTheOverallFigure) {
  w.m.ExecMode = SaveExecMode::Run;
  const RunResult r = w.Run(Level::Level0);
  ASSERT_TRUE(r.succeeded);
  const ProgressView v = w.run->Describe(0);
  EXPECT_EQ(v.status, QStringLiteral("全て終了しました"));
  EXPECT_EQ(v.processTime, QStringLiteral("経過時間  00:00:00 ( Total 100% )"));
}

}  // namespace
}  // namespace qarno::test
