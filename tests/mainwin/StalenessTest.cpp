// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a set has gone stale, with the clock injected: around midnight, at the exact
// limit, with no run at all, and with the warning off; and the set file's new line, which
// older readers skip and a set without it reads as off.
#include "mainwin/HistoryTable.h"
#include "mainwin/SetFile.h"
#include "mainwin/Staleness.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

HistoryTable History(std::initializer_list<std::pair<const char*, const char*>> runs) {
  HistoryTable h;
  for (const auto& [level, date] : runs) {
    const int row = h.AddRow(QStringLiteral("qrn%1_01").arg(QString::fromLatin1(date).left(10).remove(u'/')));
    h.SetCell(row, HistoryEntry::Level, QString::fromUtf8(level));
    h.SetCell(row, HistoryEntry::SaveDate, QString::fromLatin1(date));
  }
  return h;
}

QDateTime At(const char* text) { return *ParseHistoryDate(QString::fromLatin1(text)); }

TEST(Staleness, DaysAreWholeDaysOfTimeNotChangesOfDate) {
  const HistoryTable h = History({{"Level-0", "2024/03/09 23:59:00"}});
  // One minute later it is another date, but not a day later.
  EXPECT_FALSE(IsStale(h, 1, At("2024/03/10 00:00:00")));
  EXPECT_EQ(DaysSinceLastRun(h, At("2024/03/10 00:00:00")), 0);
  // Exactly one day: not yet more than one day.
  EXPECT_FALSE(IsStale(h, 1, At("2024/03/10 23:59:00")));
  EXPECT_TRUE(IsStale(h, 1, At("2024/03/10 23:59:01")));
  EXPECT_EQ(DaysSinceLastRun(h, At("2024/03/11 00:00:01")), 1);
  // Across a year's end and a leap day.
  const HistoryTable leap = History({{"Level-1", "2023/12/31 12:00:00"}});
  EXPECT_FALSE(IsStale(leap, 60, At("2024/02/29 12:00:00")));
  EXPECT_TRUE(IsStale(leap, 60, At("2024/02/29 12:00:01")));
}

TEST(Staleness, OffNeverWarnsAndNoRunAtAllIsStale) {
  const HistoryTable none;
  EXPECT_FALSE(IsStale(none, 0, At("2024/03/10 00:00:00")));
  EXPECT_TRUE(IsStale(none, 7, At("2024/03/10 00:00:00")));
  EXPECT_EQ(StaleWarningText(none, 7, At("2024/03/10 00:00:00")), QStringLiteral("成功した保存がまだありません（警告までの日数: 7 日）"));
  // A row whose date does not read is no run; a clock set back is no staleness.
  const HistoryTable odd = History({{"Level-0", "yesterday"}, {"Level-2", "2024/03/12 08:00:00"}});
  EXPECT_FALSE(IsStale(odd, 1, At("2024/03/10 00:00:00")));
  EXPECT_EQ(StaleWarningText(odd, 1, At("2024/03/14 09:00:00")), QStringLiteral("最後に成功した保存から 2 日経っています（警告までの日数: 1 日）"));
}

TEST(Staleness, TheMarkSaysWhenItMayChangeNextAndNotBefore) {
  const HistoryTable h = History({{"Level-0", "2024/03/10 12:00:00"}});
  const QDateTime last = At("2024/03/10 12:00:00");
  const auto after = [&](int64_t seconds) { return StaleMarkOf(h, 3, last.addSecs(seconds)); };
  constexpr int64_t day = 86400;
  // Up to the limit: nothing shown, looked at again the second after it.
  for (int64_t at : {2 * day, 3 * day}) {
    EXPECT_TRUE(after(at).text.isEmpty());
    EXPECT_EQ(after(at).recheck, last.addSecs(3 * day + 1));
  }
  // Past it: shown, and looked at again when the count of days goes up.
  EXPECT_EQ(after(3 * day + 1).text, QStringLiteral("最後の保存から 3 日経過"));
  EXPECT_EQ(after(3 * day + 1).toolTip, QStringLiteral("最後に成功した保存から 3 日経っています（警告までの日数: 3 日）"));
  EXPECT_EQ(after(3 * day + 1).recheck, last.addSecs(4 * day));
  EXPECT_EQ(after(4 * day - 1).text, QStringLiteral("最後の保存から 3 日経過"));
  EXPECT_EQ(after(4 * day).text, QStringLiteral("最後の保存から 4 日経過"));
  EXPECT_EQ(after(4 * day).recheck, last.addSecs(5 * day));
  // A clock set back before the run: nothing shown, looked at again at the run's time.
  EXPECT_TRUE(after(-day).toolTip.isEmpty());
  EXPECT_EQ(after(-day).recheck, last);
  // Off, or no run at all: time alone never changes the mark.
  EXPECT_FALSE(StaleMarkOf(h, 0, last.addSecs(9 * day)).recheck.isValid());
  const StaleMarkView none = StaleMarkOf(HistoryTable(), 7, last);
  EXPECT_EQ(none.text, QStringLiteral("保存がまだありません"));
  EXPECT_FALSE(none.recheck.isValid());
}

TEST(Staleness, TheLastRunOfEachLevelInLevelOrder) {
  const HistoryTable h = History({{"Level-2", "2024/03/05 10:00:00"},
                                  {"上書き", "2024/03/04 10:00:00"},
                                  {"Level-0", "2024/03/01 10:00:00"},
                                  {"Level-2", "2024/03/06 10:00:00"},
                                  {"Level-0", "2024/02/01 10:00:00"}});
  const auto runs = LastRunsByLevel(h);
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].level, QStringLiteral("Level-0"));
  EXPECT_EQ(runs[0].date, QStringLiteral("2024/03/01 10:00:00"));
  EXPECT_EQ(runs[1].level, QStringLiteral("Level-2"));
  EXPECT_EQ(runs[1].date, QStringLiteral("2024/03/06 10:00:00"));
  EXPECT_EQ(runs[2].level, QStringLiteral("上書き"));
}

TEST(Staleness, TheSetFileLineRoundTripsAndIsOnlyWrittenWhenOn) {
  BackupSet s;
  s.SaveDir = QStringLiteral("D:\\b");
  EXPECT_FALSE(FormatSetFile(s, QStringLiteral("1.10")).join(u'\n').contains(QStringLiteral("StaleDays")));
  s.StaleDays = 14;
  const QStringList lines = FormatSetFile(s, QStringLiteral("1.10"));
  BackupSet back;
  ApplySetFileLines(back, lines);
  EXPECT_EQ(back.StaleDays, 14);
  EXPECT_TRUE(back.SaveList.isEmpty());  // a "#" line: never a path, for old readers neither
  BackupSet bad;
  ApplySetFileLines(bad, {QStringLiteral("#StaleDays=-3"), QStringLiteral("#stALEdays=x")});
  EXPECT_EQ(bad.StaleDays, 0);
}

}  // namespace
}  // namespace qarno
