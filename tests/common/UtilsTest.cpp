// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Utils.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

TEST(Utils, GetPathPrefixCountsBackslashes) {
  const QString p = QStringLiteral("C:\\A\\B");
  EXPECT_EQ(GetPathPrefix(p, 1), QStringLiteral("C:\\"));
  EXPECT_EQ(GetPathPrefix(p, 2), QStringLiteral("C:\\A"));
  EXPECT_EQ(GetPathPrefix(p, 3), QStringLiteral("C:\\A\\B"));
  EXPECT_EQ(GetPathPrefix(p, 4), QString());
  EXPECT_EQ(GetPathPrefix(QStringLiteral("C:"), 1), QStringLiteral("C:\\"));
}

TEST(Utils, SplitPathKeepsDriveRootsAndReportsMissingParts) {
  QString d, n;
  EXPECT_TRUE(SplitPath(QStringLiteral("C:\\X"), d, n));
  EXPECT_EQ(d, QStringLiteral("C:\\"));
  EXPECT_EQ(n, QStringLiteral("X"));
  EXPECT_FALSE(SplitPath(QStringLiteral("X"), d, n));
  EXPECT_EQ(d, QString());
  EXPECT_EQ(n, QStringLiteral("X"));
  EXPECT_FALSE(SplitPath(QStringLiteral("C:\\A\\"), d, n));
  EXPECT_EQ(d, QStringLiteral("C:\\A"));
  EXPECT_EQ(n, QString());
  EXPECT_TRUE(SplitPath(QStringLiteral("C:\\A\\B\\c.txt"), d, n));
  EXPECT_EQ(d, QStringLiteral("C:\\A\\B"));
  EXPECT_FALSE(SplitPath(QStringLiteral("\\x"), d, n));
}

struct WildCase {
  const char16_t* text;
  const char16_t* pattern;
  bool match;
};

TEST(Utils, PathPatternWorksLeftToRightWithoutBacktracking) {
  const WildCase cases[] = {
      {u"A.TMP", u"*.tmp", true},
      {u"~WRL0001.tmp", u"~*", true},
      {u"netcache.dat", u"*cache*", true},
      {u"axxbyyc", u"a*b*c", true},
      {u"abc", u"", false},
      {u"", u"*", true},
      {u"", u"", true},
      {u"", u"a*", false},
      {u"a.tmp.tmp", u"*.tmp", true},
      {u"C:\\DATA\\TMP", u"c:\\data\\tmp", true},
      {u"C:\\data\\tmp\\x", u"C:\\data\\tmp", false},
      {u"C:\\data\\old.bak", u"*.bak", true},
      {u"C:\\data\\old.bak2", u"*.bak", false},
      // The first occurrence of a middle literal is taken and never revisited.
      {u"xaybyc", u"*a*b*c", true},
      {u"abab", u"*ab*b", true},
      {u"ab", u"a*b*", true},
      {u"abc", u"a*c*d", false},
  };
  for (const WildCase& c : cases) {
    EXPECT_EQ(MatchesPathPattern(QString::fromUtf16(c.text), QString::fromUtf16(c.pattern)), c.match)
        << QString::fromUtf16(c.text).toStdString() << " ~ " << QString::fromUtf16(c.pattern).toStdString();
  }
}

TEST(Utils, DatesAreNineteenCharactersOfLocalTime) {
  const QDateTime d(QDate(1999, 4, 5), QTime(7, 8, 9));
  EXPECT_EQ(FormatDateTime(d), QStringLiteral("1999/04/05 07:08:09"));
  EXPECT_EQ(FormatFileTime(d.toSecsSinceEpoch()), QStringLiteral("1999/04/05 07:08:09"));
  EXPECT_EQ(FormatDateTime(QDateTime(QDate(99, 12, 31), QTime(23, 59, 59))), QStringLiteral("1999/12/31 23:59:59"));
}

TEST(Utils, SaveNamesSortNewestFirstWithOverwriteOnTop) {
  EXPECT_EQ(CompareSaveNames(QStringLiteral("Qrn_All"), QStringLiteral("Qrn_All")), 1);
  EXPECT_EQ(CompareSaveNames(QStringLiteral("Qrn_All"), QStringLiteral("qrn20000706_00")), 1);
  EXPECT_EQ(CompareSaveNames(QStringLiteral("qrn20000706_00"), QStringLiteral("Qrn_All")), -1);
  EXPECT_EQ(CompareSaveNames(QStringLiteral("qrn20000706_00"), QStringLiteral("qrn990331_05")), 1);
  EXPECT_EQ(CompareSaveNames(QStringLiteral("qrn20000706_01"), QStringLiteral("QRN20000706_00")), 1);
  EXPECT_EQ(CompareSaveNames(QStringLiteral("qrn20000706_00"), QStringLiteral("QRN20000706_00")), 0);
}

TEST(Utils, StripExtensionAndKb) {
  EXPECT_EQ(StripExtension(QStringLiteral("daily.qrn")), QStringLiteral("daily"));
  EXPECT_EQ(StripExtension(QStringLiteral("a.b.qrn")), QStringLiteral("a.b"));
  EXPECT_EQ(StripExtension(QStringLiteral(".qrn")), QString());
  EXPECT_EQ(StripExtension(QStringLiteral("plain")), QStringLiteral("plain"));
  EXPECT_EQ(KbOf(0), 0);
  EXPECT_EQ(KbOf(1), 1);
  EXPECT_EQ(KbOf(1024), 1);
  EXPECT_EQ(KbOf(1025), 2);
  EXPECT_EQ(KbOf(int64_t(5) << 30), 5 * 1024 * 1024);  // 5 GiB files count like any other
}

TEST(Utils, DurationsAreRealEvenPastMidnightOrADay) {
  EXPECT_EQ(FormatDuration(120), QStringLiteral("00:02:00"));
  EXPECT_EQ(FormatDuration(3723), QStringLiteral("01:02:03"));
  EXPECT_EQ(FormatDuration(25 * 3600), QStringLiteral("25:00:00"));
  RunClock clock;
  EXPECT_EQ(clock.ElapsedTime(), QStringLiteral("00:00:00"));
  clock.Start();
  EXPECT_EQ(clock.ElapsedTime(), QStringLiteral("00:00:00"));
}

}  // namespace
}  // namespace qarno
