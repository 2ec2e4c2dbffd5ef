// SPDX-License-Identifier: GPL-3.0-or-later
// Runs started from the command line: exit statuses, and packing with the real archiver.
#include "EngineWorld.h"
#include "common/Settings.h"
#include "app/QarnoConsole.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qarno::test {
namespace {

QString ArchiverBesideTests() { return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + QStringLiteral("/libunlha32.so"); }

struct Console : ::testing::Test {
  TestEnv env;
  void SetUp() override {
    auto store = OpenSettingsStore();
    store->setValue(QStringLiteral("Drives/T"), env.root());
    store->sync();
    env.WriteFile(QStringLiteral("T:\\src\\a.txt"), "a");
    env.MakeDir(QStringLiteral("T:\\dst"));
  }
  void WriteSet(const QString& extra = QString()) {
    env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrn"),
                  (QStringLiteral("#Version 1.10\r\ndir=T:\\dst\r\n#ComplexTypeMode=0\r\n#CalUseSize=0\r\n#RsvSizeChk=0\r\n") +
                   extra + QStringLiteral("T:\\src\r\n"))
                      .toUtf8());
  }
};

TEST_F(Console, ExitStatusesTellScriptsWhatHappened) {
  EXPECT_EQ(RunConsole({"nosuchset", "/B2"}), kExitNoSet);
  EXPECT_EQ(RunConsole({}), kExitNoSet);
  WriteSet();
  EXPECT_EQ(RunConsole({"daily", "/B2", "/L0"}), kExitOk);
  EXPECT_TRUE(env.Exists(QStringLiteral("T:\\prog\\SetDir\\daily.qrl")));
  // Level-1 right after: nothing to copy, still a success.
  EXPECT_EQ(RunConsole({"daily", "/B2", "/L1"}), kExitOk);
  // An unreadable destination drive fails the run.
  env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrn"), "#Version 1.10\r\ndir=Q:\\nowhere\r\n#ComplexTypeMode=0\r\nT:\\src\r\n");
  EXPECT_EQ(RunConsole({"daily", "/B2", "/L0"}), kExitFailed);
  // Without /B the program only starts up.
  EXPECT_EQ(RunConsole({"daily"}), kExitOk);
}

TEST_F(Console, ARunOfASetAnotherRunHoldsFailsWithStatusTwo) {
  WriteSet();
  HostPlatform other(env.fs.drives());
  const SetLockResult hold = other.LockSet(QStringLiteral("T:\\prog\\SetDir"), QStringLiteral("daily"), LockKind::Exclusive, 0);
  ASSERT_TRUE(hold);
  EXPECT_EQ(RunConsole({"daily", "/B2", "/L0"}), kExitFailed);
  EXPECT_FALSE(env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrl")).contains("qrn"));
  EXPECT_TRUE(QDir(env.Host(QStringLiteral("T:\\dst"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(Console, UncopiedEntriesGiveStatusOne) {
  // A destination with less free space than the largest reserve there is: the unattended
  // run refuses every file and says so in its status.
  QTemporaryDir shm(QStringLiteral("/dev/shm/qarno-test-XXXXXX"));
  auto space = env.fs.FreeSpaceOf(QStringLiteral("T:\\"));
  if (!shm.isValid()) GTEST_SKIP() << "no /dev/shm";
  {
    auto store = OpenSettingsStore();
    store->setValue(QStringLiteral("Drives/S"), shm.path());
  }
  HostPlatform probe;
  probe.drives().Map(u'S', shm.path());
  const auto shmSpace = probe.FreeSpaceOf(QStringLiteral("S:\\"));
  ASSERT_TRUE(shmSpace && space);
  if (shmSpace->freeClusters * shmSpace->bytesPerSector * shmSpace->sectorsPerCluster >= (uint64_t(32767) << 20))
    GTEST_SKIP() << "/dev/shm has more than 32 GB free";
  env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrn"),
                "#Version 1.10\r\ndir=S:\\\r\n#ComplexTypeMode=0\r\n#CalUseSize=0\r\n#RsvSizeChk=1\r\n#RsvSize=32767\r\nT:\\src\r\n");
  EXPECT_EQ(RunConsole({"daily", "/B2", "/L0"}), kExitUncopied);
}

TEST(Packing, RunsPackEachFileExceptTheListedTypes) {
  EngineWorld w;
  LoadedArchiver archiver(ArchiverBesideTests());
  if (!archiver.Load()) GTEST_SKIP() << "archiver library not built beside the tests";
  w.m.archiver = &archiver;
  w.m.set.options.ComplexTypeMode = 1;
  w.m.set.options.ComplexSettingMode = 0;
  w.m.NoCompTypes = {QStringLiteral("jpg")};
  w.Source(QStringLiteral("doc.txt"), QByteArray(5000, 'd'));
  w.Source(QStringLiteral("photo.JPG"), QByteArray(5000, 'p'));
  const RunResult r = w.Run(Level::Level0);
  ASSERT_TRUE(r.succeeded);
  const QString folder = QStringLiteral("T:\\dst\\daily\\") + r.saveName + QStringLiteral("\\Drive_T\\src\\");
  EXPECT_TRUE(w.env.Exists(folder + QStringLiteral("doc.txt.LZH")));
  EXPECT_FALSE(w.env.Exists(folder + QStringLiteral("doc.txt")));
  EXPECT_TRUE(w.env.Exists(folder + QStringLiteral("photo.JPG")));
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(r.saveName, w.Src("doc.txt")))[9], QStringLiteral("1"));
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(r.saveName, w.Src("photo.JPG")))[9], QStringLiteral("0"));
  // A file the packer cannot open is not handed to it; the plain copy saves it.
  w.fs.probeFails.insert(w.Src("doc.txt"));
  w.Source(QStringLiteral("doc.txt"), QByteArray(6000, 'd'));
  const RunResult r2 = w.Run(Level::Level1);
  const QStringList f = EngineWorld::Fields(w.ListingLine(r2.saveName, w.Src("doc.txt")));
  EXPECT_EQ(f[4], QStringLiteral("3"));
  EXPECT_EQ(f[9], QStringLiteral("0"));
}

TEST(RecordedRun, TheSelectorFiltersTheRunAndTheSecondModeShowsARecordedListing) {
  EngineWorld w;
  w.Source(QStringLiteral("a.txt"), "a");
  w.Source(QStringLiteral("b.txt"), "b");
  w.fs.copyFails.insert(w.Src("b.txt"));
  w.ui.Expect(Question::UncopiedEntries, Answer::OK, QStringLiteral("1 個コピーできませんでした。"));
  const RunResult r = w.Run(Level::Level0);
  ASSERT_TRUE(r.succeeded);
  FSaveExec& run = *w.run;
  run.ListSel_Click(0);
  EXPECT_EQ(run.View().Rows().size(), 3u);
  run.ListSel_Click(1);
  EXPECT_EQ(run.View().Rows(), (std::vector<int>{1, 2}));
  run.ListSel_Click(2);
  EXPECT_EQ(run.View().Rows(), std::vector<int>{3});

  // The second mode shows the listing of the history row it is given.
  w.m.ExecMode = SaveExecMode::RecordedRun;
  FSaveExec view(w.m, w.main);
  view.Form_Load();
  EXPECT_EQ(view.state().texts.FSaveExecCaption, QStringLiteral("Qarno  daily  履歴情報の詳細"));
  ASSERT_TRUE(view.OK_Click(1));
  EXPECT_EQ(view.SaveList().Count(), 3);
  EXPECT_EQ(view.state().texts.TNewSetName, r.saveName);
  EXPECT_EQ(FieldText(view.SaveList()[3], SaveListEntry::Flag), QStringLiteral("-2"));
  EXPECT_EQ(view.ListInfo().Cell(ListInfoTable::Files, 1), QStringLiteral("2"));
  EXPECT_EQ(view.ListInfo().Cell(ListInfoTable::Files, 2), QString());
  EXPECT_EQ(view.state().texts.CancelCaption, QStringLiteral("閉じる"));
  // A row that is not in the history closes the view at once.
  FSaveExec none(w.m, w.main);
  none.Form_Load();
  EXPECT_FALSE(none.ShowRecordedRun(5));
  EXPECT_TRUE(none.TakeCloseRequest());
}

}  // namespace
}  // namespace qarno::test
