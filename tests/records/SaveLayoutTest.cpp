// SPDX-License-Identifier: GPL-3.0-or-later
// Where saves lie on the destination and how saves and aliases are named.
#include "records/SaveLayout.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

namespace qarno::test {
namespace {

TEST(SaveLayout, RunPathsOfADriveRootAndOfAFolder) {
  const RunPaths root = RunPaths::Of(QStringLiteral("D:\\"), QStringLiteral("Daily"), QStringLiteral("qrn990331_00"));
  EXPECT_EQ(root.SaveSetHDir, QStringLiteral("D:\\Daily"));
  EXPECT_EQ(root.SaveSetDir, QStringLiteral("D:\\Daily\\qrn990331_00"));
  EXPECT_EQ(root.SaveCsvFile, QStringLiteral("D:\\Daily\\qrn990331_00.csv"));
  EXPECT_EQ(RunPaths::Of(QStringLiteral("D:\\Backup"), QStringLiteral("Daily"), QStringLiteral("x")).SaveSetHDir,
            QStringLiteral("D:\\Backup\\Daily"));
  // A trailing separator is not doubled.
  EXPECT_EQ(RunPaths::Of(QStringLiteral("D:\\Backup\\"), QStringLiteral("Daily"), QStringLiteral("x")).SaveCsvFile,
            QStringLiteral("D:\\Backup\\Daily\\x.csv"));
  EXPECT_EQ(root.ListingOf(kOverwriteSave), QStringLiteral("D:\\Daily\\Qrn_All.csv"));
}

TEST(SaveLayout, CopiesLieUnderTheirDriveFolderOrUnderAlias) {
  const QString folder = QStringLiteral("D:\\Daily\\qrn990331_00");
  EXPECT_EQ(CopyPathIn(folder, QStringLiteral("C:\\data\\a.txt"), QString()),
            QStringLiteral("D:\\Daily\\qrn990331_00\\Drive_C\\data\\a.txt"));
  // The letter is upper-cased, the rest keeps its case.
  EXPECT_EQ(CopyPathIn(folder, QStringLiteral("c:\\Data\\a.txt"), QString()),
            QStringLiteral("D:\\Daily\\qrn990331_00\\Drive_C\\Data\\a.txt"));
  EXPECT_EQ(DriveFolderPath(QStringLiteral("C:\\")), QStringLiteral("Drive_C"));
  EXPECT_EQ(CopyPathIn(folder, QStringLiteral("C:\\data\\a.txt"), QStringLiteral("000042")),
            QStringLiteral("D:\\Daily\\qrn990331_00\\Alias\\000042"));
}

TEST(SaveLayout, AliasesAreSixDigitNumbersAndNothingElse) {
  EXPECT_EQ(AliasText(0), QStringLiteral("000000"));
  EXPECT_EQ(AliasText(42), QStringLiteral("000042"));
  EXPECT_EQ(AliasText(1234567), QStringLiteral("1234567"));
  EXPECT_TRUE(IsAliasText(u"000042"));
  for (const char16_t* bad : {u"", u"..", u".", u"..\\..\\x", u"a/b", u"C:", u"12a", u"-1", u" 1"}) {
    EXPECT_FALSE(IsAliasText(QStringView(bad))) << QString::fromUtf16(bad).toStdString();
  }
  // The counter rises to the highest number listed, never falls, ignores what is no number.
  EXPECT_EQ(RaiseAlias(-1, u"000041"), 41);
  EXPECT_EQ(RaiseAlias(50, u"000041"), 50);
  EXPECT_EQ(RaiseAlias(3, u""), 3);
  EXPECT_EQ(RaiseAlias(3, u"x"), 3);
  EXPECT_EQ(RaiseAlias(3, u"99999999999"), 3);
}

TEST(SaveLayout, ADestinationIsAliasedOnlyWhenLongerThanTheLimit) {
  const QString exactly100(100, u'x');
  EXPECT_FALSE(NeedsAlias(exactly100, 100));
  EXPECT_TRUE(NeedsAlias(exactly100 + u'x', 100));
}

TEST(SaveLayout, SaveNamesByDateAndCounter) {
  EXPECT_EQ(SaveNameFor(QDate(1999, 3, 31), 0), QStringLiteral("qrn990331_00"));
  EXPECT_EQ(SaveNameFor(QDate(2000, 7, 6), 0), QStringLiteral("qrn20000706_00"));
  EXPECT_EQ(SaveNameFor(QDate(2000, 7, 6), 9), QStringLiteral("qrn20000706_09"));
  EXPECT_EQ(SaveNameFor(QDate(2000, 7, 6), 10), QStringLiteral("qrn20000706_10"));
  for (const char16_t* good : {u"qrn990331_00", u"qrn20000706_10", u"qrn20000706_32767", u"Qrn_All"}) {
    EXPECT_TRUE(IsSaveName(QStringView(good))) << QString::fromUtf16(good).toStdString();
  }
  for (const char16_t* bad : {u"", u"..", u"qrn", u"qrn2000_01", u"qrn20000706_", u"qrn20000706_1", u"qrn20000706_00\\..",
                              u"qrn20000706_00/x", u"Qrn_All_Bak", u"QRN20000706_00", u"..\\qrn20000706_00"}) {
    EXPECT_FALSE(IsSaveName(QStringView(bad))) << QString::fromUtf16(bad).toStdString();
  }
}

TEST(SaveLayout, DeleteSaveDataRemovesTheListingAndTheFolderOfOneSave) {
  TestEnv env;
  Module1& m = *env.m;
  m.set.Name = QStringLiteral("daily");
  env.WriteFile(QStringLiteral("T:\\dst\\daily\\qrn_00.csv"), "x");
  env.WriteFile(QStringLiteral("T:\\dst\\daily\\qrn_00\\Drive_C\\a\\b.txt"), "x");
  env.WriteFile(QStringLiteral("T:\\dst\\daily\\qrn_01.csv"), "keep");
  DeleteSaveData(m.Environment(), m.set.Name, QStringLiteral("T:\\dst"), QStringLiteral("qrn_00"));
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\dst\\daily\\qrn_00.csv")));
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\dst\\daily\\qrn_00")));
  EXPECT_TRUE(env.Exists(QStringLiteral("T:\\dst\\daily\\qrn_01.csv")));
  // The used size of a save counts its listing and its folder; a missing save counts 0.
  env.WriteFile(QStringLiteral("T:\\dst\\daily\\qrn_01\\Drive_C\\a"), QByteArray(5000, 'a'));
  EXPECT_GT(GetAllSizeKB(m.Environment(), m.set.Name, QStringLiteral("T:\\dst\\"), QStringLiteral("qrn_01")), 0);
  EXPECT_EQ(GetAllSizeKB(m.Environment(), m.set.Name, QStringLiteral("T:\\dst"), QStringLiteral("missing")), 0);
}

}  // namespace
}  // namespace qarno::test
