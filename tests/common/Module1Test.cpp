// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Module1.h"
#include "support/TestEnv.h"

#include <QDir>
#include <gtest/gtest.h>

namespace qarno {
namespace {

using test::TestEnv;

TEST(Trace, LineFormatStopsAtTheFirstMissingValue) {
  EXPECT_EQ(FormatTraceLine(QStringLiteral("2270"), "OutCsv", 17), QStringLiteral("2270 [OutCsv] [17]"));
  EXPECT_EQ(FormatTraceLine(QStringLiteral("x"), 1, 2, Missing{}, 4), QStringLiteral("x [1] [2]"));
  EXPECT_EQ(FormatTraceLine(QStringLiteral("x"), true, false, qint64(-5)), QStringLiteral("x [True] [False] [-5]"));
}

TEST(Trace, DebugFileIsMadeAnewAtTheFirstLineOnlyWhenDebugIsOn) {
  TestEnv env;
  Module1& m = *env.m;
  m.WriteDebug(2270, "OutCsv", 17);
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\prog\\Qarno.deb")));
  env.WriteFile(QStringLiteral("T:\\prog\\Qarno.deb"), "left from the last run\r\n");
  m.DebugMode = 1;
  m.WriteDebug(2270, "OutCsv", 17);
  m.WriteDebugPath(2271, QStringLiteral("C:\\secret\\path"));
  m.DebugMode = 2;
  m.WriteDebugPath(2271, QStringLiteral("C:\\secret\\path"));
  m.CloseDebugFile();
  EXPECT_EQ(QString::fromUtf8(env.ReadFile(QStringLiteral("T:\\prog\\Qarno.deb"))),
            QStringLiteral("デバッグファイル\r\n2270 [OutCsv] [17]\r\n2271 [C:\\secret\\path]\r\n2271\r\n"));
}

TEST(Trace, AnUncreatableDebugFileIsReportedOnceAndSwitchesDebugOff) {
  TestEnv env;
  Module1 m(env.fs, env.ui, QStringLiteral("T:\\no\\such\\folder"));
  m.DebugMode = 1;
  env.ui.Expect(Question::DebugFileNotCreated, Answer::OK, QStringLiteral("デバッグファイルが作れません！"));
  m.WriteDebug(1);
  m.WriteDebug(2);
  EXPECT_EQ(m.DebugMode, 0);
  EXPECT_EQ(env.ui.messages.size(), 1);
}

TEST(Log, RunsAppendToTheSetLogAndAFailureSilencesIt) {
  TestEnv env;
  Module1& m = *env.m;
  m.set.Name = QStringLiteral("daily");
  m.WriteLog(QStringLiteral("保存開始"), QStringLiteral("2001/02/03 04:05:06"));
  m.CloseLogFile();
  m.WriteLog(QStringLiteral("終了"));
  m.WriteLog(QString());
  m.CloseLogFile();
  EXPECT_EQ(QString::fromUtf8(env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.log"))),
            QStringLiteral("保存開始 [2001/02/03 04:05:06]\r\n終了\r\n\r\n"));

  m.SetFolder = QStringLiteral("T:\\missing");
  env.ui.Expect(Question::LogFileNotCreated, Answer::OK, QStringLiteral("ログファイルが作れません！"));
  m.WriteLog(QStringLiteral("a"));
  m.WriteLog(QStringLiteral("b"));
  EXPECT_FALSE(m.LogEnabled);
  EXPECT_EQ(env.ui.messages.size(), 1);
}

TEST(Files, MakeDirPathCreatesEveryLevelButNeverADrive) {
  TestEnv env;
  Module1& m = *env.m;
  EXPECT_TRUE(m.MakeDirPath(QStringLiteral("T:\\a\\b\\c")));
  EXPECT_TRUE(env.fs.IsDirectory(QStringLiteral("T:\\a\\b\\c")));
  EXPECT_EQ(env.fs.CurrentDir(), QStringLiteral("T:\\a\\b\\c"));
  EXPECT_TRUE(m.MakeDirPath(QStringLiteral("T:\\a\\b\\c")));
  // The current folder removed behind the program's back is made again.
  QDir(env.Host(QStringLiteral("T:\\a"))).removeRecursively();
  EXPECT_TRUE(m.MakeDirPath(QStringLiteral("T:\\a\\b\\c")));
  EXPECT_TRUE(env.fs.IsDirectory(QStringLiteral("T:\\a\\b\\c")));
  EXPECT_FALSE(m.MakeDirPath(QStringLiteral("Q:\\a\\b")));
  env.WriteFile(QStringLiteral("T:\\file"), "x");
  EXPECT_FALSE(m.MakeDirPath(QStringLiteral("T:\\file\\sub")));
}

TEST(Files, DeleteTreeRemovesEverythingBelowAndCancelStopsIt) {
  TestEnv env;
  Module1& m = *env.m;
  env.WriteFile(QStringLiteral("T:\\gone\\Drive_C\\a\\b.txt"), "x");
  env.WriteFile(QStringLiteral("T:\\gone\\Drive_C\\.hidden"), "x");
  m.DeleteTree(QStringLiteral("T:\\gone"));
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\gone")));

  for (int i = 0; i < 5; ++i) env.WriteFile(QStringLiteral("T:\\tree\\f%1").arg(i), "x");
  env.ui.yields = 0;
  env.ui.onYield = [&](int n) { if (n == 2) m.CancelFlag.Set(); };
  m.DeleteTree(QStringLiteral("T:\\tree"));
  ASSERT_TRUE(env.Exists(QStringLiteral("T:\\tree")));
  EXPECT_EQ(env.fs.List(QStringLiteral("T:\\tree\\*.*"))->size(), 4u);
}

// A platform whose destination medium can be swapped and whose free space is set by the test.
class MediumDouble : public ForwardingPlatform {
 public:
  using ForwardingPlatform::ForwardingPlatform;
  DriveType type = DriveType::Removable;
  std::optional<VolumeInfo> volume = VolumeInfo{QStringLiteral("BACKUP1"), 0x1A2B3C4D};
  DiskSpace space{8, 512, 1000, 5000};
  DriveType DriveTypeOf(const QString&) override { return type; }
  std::optional<VolumeInfo> VolumeOf(const QString&) override { return volume; }
  std::optional<DiskSpace> FreeSpaceOf(const QString&) override { return space; }
};

TEST(Drive, SerialsAreEightHexDigitsWithAHyphen) {
  EXPECT_EQ(Module1::FormatSerial(0x1A2B3C4D), QStringLiteral("1A2B-3C4D"));
  EXPECT_EQ(Module1::FormatSerial(0), QStringLiteral("0000-0000"));
  EXPECT_EQ(Module1::FormatSerial(0xFFFFFFFF), QStringLiteral("FFFF-FFFF"));
  EXPECT_EQ(Module1::ClustersOf(0, 4096), 0);
  EXPECT_EQ(Module1::ClustersOf(100, 4096), 1);
  EXPECT_EQ(Module1::ClustersOf(8192, 4096), 2);
}

TEST(Drive, ReadDriveInfoAsksOnlyAboutUnidentifiableRemovableMedia) {
  TestEnv env;
  MediumDouble fs(env.fs);
  Module1 m(fs, env.ui, QStringLiteral("T:\\prog"));
  m.set.SaveDir = QStringLiteral("T:\\dst");
  QString drive, name, serial;
  ASSERT_TRUE(m.ReadDriveInfo(drive, name, serial));
  EXPECT_EQ(drive, QStringLiteral("T:\\"));
  EXPECT_EQ(name, QStringLiteral("BACKUP1"));
  EXPECT_EQ(serial, QStringLiteral("1A2B-3C4D"));

  // A labelled disk with serial 0: asked once; Ignore remembers it until the program ends.
  fs.volume = VolumeInfo{QStringLiteral(" FLOPPY "), 0};
  env.ui.Expect(Question::MediumUnidentifiable, Answer::Ignore, QStringLiteral("フォーマットされるのをお勧めします。"));
  ASSERT_TRUE(m.ReadDriveInfo(drive, name, serial));
  EXPECT_EQ(name, QStringLiteral("FLOPPY"));
  ASSERT_TRUE(m.ReadDriveInfo(drive, name, serial));
  // Another disk in the same drive is asked about again; Abort fails the read.
  fs.volume = VolumeInfo{QString(), 0x1234};
  env.ui.Expect(Question::MediumUnidentifiable, Answer::Abort, QStringLiteral("ボリューム名： "));
  EXPECT_FALSE(m.ReadDriveInfo(drive, name, serial));
  // A fixed disk without a label raises no question; neither does an automatic run.
  fs.type = DriveType::Fixed;
  EXPECT_TRUE(m.ReadDriveInfo(drive, name, serial));
  fs.type = DriveType::Removable;
  m.AutoRunMode.mode = 1;
  EXPECT_TRUE(m.ReadDriveInfo(drive, name, serial));
  // An unreadable drive: Retry asks again, Cancel gives up.
  m.AutoRunMode.mode = -1;
  fs.volume.reset();
  env.ui.Expect(Question::DriveInfoUnreadable, Answer::Retry, QStringLiteral("ドライブ情報が取得できません。"));
  env.ui.Expect(Question::DriveInfoUnreadable, Answer::Cancel, QStringLiteral("フォーマットされていますか？"));
  EXPECT_FALSE(m.ReadDriveInfo(drive, name, serial));
  EXPECT_TRUE(env.ui.Exhausted());
}

TEST(Drive, FreeAndUsedSpaceCountWholeClusters) {
  TestEnv env;
  MediumDouble fs(env.fs);
  Module1 m(fs, env.ui, QStringLiteral("T:\\prog"));
  m.set.Name = QStringLiteral("daily");
  fs.space = DiskSpace{8, 512, 1000, 5000};  // 4096-byte clusters
  EXPECT_EQ(m.GetFreeDiskKB(QStringLiteral("T:\\")), 4000);
  fs.space = DiskSpace{1, 512, 3, 5000};  // 1.5 KB rounds to the even 2
  EXPECT_EQ(m.GetFreeDiskKB(QStringLiteral("T:\\")), 2);
  fs.space = DiskSpace{1, 512, 5, 5000};  // 2.5 KB rounds to the even 2
  EXPECT_EQ(m.GetFreeDiskKB(QStringLiteral("T:\\")), 2);

  env.WriteFile(QStringLiteral("T:\\dst\\daily\\s1\\Drive_C\\a.txt"), QByteArray(100, 'a'));
  env.WriteFile(QStringLiteral("T:\\dst\\daily\\s1.csv"), QByteArray(300, 'c'));
  fs.space = DiskSpace{8, 512, 1000, 5000};
  // A 4 KB cluster each for the copy and the listing.
  EXPECT_EQ(m.UsedSpaceKB(QStringLiteral("T:\\dst\\daily\\s1.csv"), QStringLiteral("T:\\dst\\daily\\s1")), 8);
  // One 0-byte file and a 300-byte listing on 512-byte clusters: half a KB rounds to 0.
  env.WriteFile(QStringLiteral("T:\\dst\\daily\\s2\\Drive_C\\empty"), QByteArray());
  env.WriteFile(QStringLiteral("T:\\dst\\daily\\s2.csv"), QByteArray(300, 'c'));
  fs.space = DiskSpace{1, 512, 1000, 5000};
  EXPECT_EQ(m.UsedSpaceKB(QStringLiteral("T:\\dst\\daily\\s2.csv"), QStringLiteral("T:\\dst\\daily\\s2")), 0);
  EXPECT_EQ(m.UsedSpaceKB(QStringLiteral("T:\\dst\\daily\\x.csv"), QStringLiteral("T:\\dst\\daily\\x")), 0);
}

}  // namespace
}  // namespace qarno
