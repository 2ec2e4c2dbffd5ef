// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/Qarno.h"
#include "mainwin/SetFile.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

using test::TestEnv;

BackupSet Sample() {
  BackupSet s;
  s.SaveDir = QStringLiteral("D:\\Backup");
  s.SaveLevel = Level::Level1;
  s.options.ComplexTypeMode = 0;
  s.options.RsvSize = 120;
  s.options.RsvSizeChk = 0;
  s.options.PathLen = -5;
  s.SaveList = {QStringLiteral("C:\\data"), QStringLiteral("C:\\a,b\\x.txt"), QStringLiteral(" C:\\leading space")};
  s.SkipList = {QStringLiteral("*.bak"), QStringLiteral("C:\\data\\tmp")};
  return s;
}

TEST(SetFile, WriterEmitsTheFixedLinesInOrder) {
  const QStringList lines = FormatSetFile(Sample(), QStringLiteral("1.10"));
  EXPECT_EQ(lines.mid(0, 4), (QStringList{"#Version 1.10", "dir=D:\\Backup", "#SaveLevel=1", "#RestorePosition=1"}));
  EXPECT_EQ(lines[9], QStringLiteral("#RsvSize=120"));
  EXPECT_EQ(lines[13], QStringLiteral("#PathLen=-5"));
  EXPECT_EQ(lines[14], QStringLiteral("#CalUseSize=1"));
  EXPECT_EQ(lines.mid(15), (QStringList{"C:\\data", "C:\\a,b\\x.txt", " C:\\leading space", "#skip *.bak",
                                        "#skip C:\\data\\tmp"}));
}

TEST(SetFile, ReaderRulesRoundTripAndToleratingOrderCaseAndRepeats) {
  BackupSet back;
  EXPECT_TRUE(ApplySetFileLines(back, FormatSetFile(Sample(), QStringLiteral("1.10"))));
  const BackupSet s = Sample();
  EXPECT_EQ(back.SaveDir, s.SaveDir);
  EXPECT_EQ(back.SaveList, s.SaveList);
  EXPECT_EQ(back.SkipList, s.SkipList);
  EXPECT_EQ(back.SaveLevel, Level::Level1);
  EXPECT_EQ(back.options.RsvSize, 120);
  EXPECT_EQ(back.options.RsvSizeChk, 0);  // not mistaken for #RsvSize=
  EXPECT_EQ(back.options.PathLen, -5);

  BackupSet t;
  t.options.LockFile = 1;  // from the previously loaded set
  EXPECT_FALSE(ApplySetFileLines(t, {"DIR=  E:\\x  ", "#SKIP C:\\Temp", "#rsvsize=7", "#RsvSize=8", "#Anything else",
                                     "#ChkVolSer=abc", "#SaveLevel=9", "#PathLen=70000", "C:\\keep  "}));
  EXPECT_EQ(t.SaveDir, QStringLiteral("E:\\x"));
  EXPECT_EQ(t.SkipList, QStringList{"C:\\Temp"});
  EXPECT_EQ(t.options.RsvSize, 8);            // the last occurrence wins
  EXPECT_EQ(t.options.LockFile, 1);           // a missing key keeps the earlier value
  EXPECT_EQ(t.options.ChkVolSer, 1);          // not a number: kept
  EXPECT_EQ(t.SaveLevel, Level::Level2);                  // outside -1..4: kept
  EXPECT_EQ(t.options.PathLen, 100);          // outside 16 bits: kept
  EXPECT_EQ(t.SaveList, QStringList{"C:\\keep  "});  // not trimmed
}

TEST(SetFile, LoadingAppliesTheLevelRuleAgainstTheHistory) {
  TestEnv env;
  Module1& m = *env.m;
  Qarno q(m);
  m.set.Name = QStringLiteral("daily");
  BackupSet stored = Sample();
  stored.Name = m.set.Name;
  m.set = stored;
  ASSERT_TRUE(q.WriteSetFile());
  // No history: Level-1 comes up as Level-0.
  q.ReadSetFile();
  EXPECT_TRUE(q.setLoaded);
  EXPECT_EQ(m.set.SaveLevel, Level::Level0);
  EXPECT_EQ(m.MainCaption, QStringLiteral("Qarno  daily"));
  EXPECT_EQ(m.set.SaveList, stored.SaveList);
  // With history: Level-2.
  env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrl"),
                "#Version 1.10\r\nqrn20010101_00,Level-0,1,D:\\Backup,1A2B-3C4D,V,2,2001/01/01 00:00:00,00:00:01,\"\",0\r\n");
  q.ReadSetFile();
  EXPECT_EQ(m.set.SaveLevel, Level::Level2);
  // Overwrite and repair stay.
  m.set.SaveLevel = Level::Overwrite;
  ASSERT_TRUE(q.WriteSetFile());
  q.ReadSetFile();
  EXPECT_EQ(m.set.SaveLevel, Level::Overwrite);
}

TEST(SetFile, MissingAndUnwritableFilesStopAutomaticRuns) {
  TestEnv env;
  Module1& m = *env.m;
  Qarno q(m);
  m.set.Name = QStringLiteral("nothere");
  m.AutoRunMode.mode = 1;
  env.ui.Expect(Question::SetFileMissing, Answer::OK, QStringLiteral("セットファイルがありません。"));
  q.ReadSetFile();
  EXPECT_FALSE(q.setLoaded);
  EXPECT_EQ(m.AutoRunMode.mode, -1);
  EXPECT_TRUE(m.set.SaveList.isEmpty());

  m.AutoRunMode.mode = 1;
  m.SetModified = true;
  m.SetFolder = QStringLiteral("T:\\nowhere");
  env.ui.Expect(Question::SetFileNotSaved, Answer::OK, QStringLiteral("T:\\nowhere\\nothere.qrn\r保存できませんでした"));
  EXPECT_FALSE(q.WriteSetFile());
  EXPECT_EQ(m.AutoRunMode.mode, -1);
  EXPECT_TRUE(m.SetModified);
}

TEST(SetFile, AFailedWriteLeavesTheOldFileWhole) {
  TestEnv env;
  struct FullDisk : ForwardingPlatform {
    using ForwardingPlatform::ForwardingPlatform;
    FsStatus WriteBeside(BesideFile&, const QByteArray&) override { return FsError::NoSpace; }
  } full(env.fs);
  Module1 m(full, env.ui, QStringLiteral("T:\\prog"));
  m.SetFolder = env.m->SetFolder;
  m.set = Sample();
  m.set.Name = QStringLiteral("s");
  env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\s.qrn"), "#Version 1.10\r\ndir=E:\\old\r\n");
  Qarno q(m);
  env.ui.Expect(Question::SetFileNotSaved, Answer::OK, QStringLiteral("保存できませんでした"));
  EXPECT_FALSE(q.WriteSetFile());
  EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\s.qrn")), QByteArray("#Version 1.10\r\ndir=E:\\old\r\n"));
}

TEST(SetFile, ShiftJisSetFilesFromWindowsLoad) {
  TestEnv env;
  Module1& m = *env.m;
  Qarno q(m);
  m.set.Name = QStringLiteral("日本");
  const TextCodec sjis(TextEncoding::ShiftJis);
  env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\日本.qrn"),
                sjis.EncodeLines({"#Version 1.29", "dir=D:\\バックアップ", "C:\\ソフト\\表計算", "#skip *.tmp"}));
  q.ReadSetFile();
  EXPECT_EQ(m.set.SaveDir, QStringLiteral("D:\\バックアップ"));
  EXPECT_EQ(m.set.SaveList, QStringList{"C:\\ソフト\\表計算"});
  m.codec = sjis;
  ASSERT_TRUE(q.WriteSetFile());
  EXPECT_TRUE(env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\日本.qrn")).contains(sjis.Encode(QStringLiteral("表計算"))));
}

}  // namespace
}  // namespace qarno
