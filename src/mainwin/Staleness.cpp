// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/Staleness.h"

#include <QCoreApplication>

namespace qarno {

std::optional<QDateTime> ParseHistoryDate(const QString& text) {
  const QDateTime d = QDateTime::fromString(text.trimmed(), QStringLiteral("yyyy/MM/dd HH:mm:ss"));
  if (!d.isValid()) return std::nullopt;
  return d;
}

std::optional<QDateTime> LastSuccessfulRun(const HistoryTable& history) {
  std::optional<QDateTime> newest;
  for (int r = 1; r < history.Rows(); ++r) {
    const auto d = ParseHistoryDate(history.Cell(r, HistoryEntry::SaveDate));
    if (d && (!newest || *d > *newest)) newest = d;
  }
  return newest;
}

std::vector<LevelLastRun> LastRunsByLevel(const HistoryTable& history) {
  static const QStringList known = [] {
    QStringList names;
    for (int i = 0; i < kLevelCount; ++i) names += LevelName(LevelOfNumber(i));
    return names;
  }();
  std::vector<LevelLastRun> out;
  std::vector<QDateTime> when;
  for (int r = 1; r < history.Rows(); ++r) {
    const QString& level = history.Cell(r, HistoryEntry::Level);
    const auto d = ParseHistoryDate(history.Cell(r, HistoryEntry::SaveDate));
    if (!d) continue;
    const auto it = std::find_if(out.begin(), out.end(), [&](const LevelLastRun& l) { return l.level == level; });
    if (it == out.end()) {
      out.push_back(LevelLastRun{level, history.Cell(r, HistoryEntry::SaveName), history.Cell(r, HistoryEntry::SaveDate)});
      when.push_back(*d);
    } else if (*d > when[static_cast<size_t>(it - out.begin())]) {
      when[static_cast<size_t>(it - out.begin())] = *d;
      *it = LevelLastRun{level, history.Cell(r, HistoryEntry::SaveName), history.Cell(r, HistoryEntry::SaveDate)};
    }
  }
  auto rank = [&](const QString& level) {
    const qsizetype i = known.indexOf(level);
    return i < 0 ? known.size() : i;
  };
  std::stable_sort(out.begin(), out.end(), [&](const LevelLastRun& a, const LevelLastRun& b) { return rank(a.level) < rank(b.level); });
  return out;
}

std::optional<int64_t> DaysSinceLastRun(const HistoryTable& history, const QDateTime& now) {
  const auto last = LastSuccessfulRun(history);
  if (!last) return std::nullopt;
  const qint64 seconds = last->secsTo(now);
  return seconds <= 0 ? 0 : seconds / 86400;
}

bool IsStale(const HistoryTable& history, int days, const QDateTime& now) {
  if (days <= 0) return false;
  const auto last = LastSuccessfulRun(history);
  if (!last) return true;
  return last->secsTo(now) > static_cast<qint64>(days) * 86400;
}

QString StaleWarningText(const HistoryTable& history, int days, const QDateTime& now) {
  if (!IsStale(history, days, now)) return QString();
  const auto since = DaysSinceLastRun(history, now);
  const QString limit = QCoreApplication::translate("Staleness", "（警告までの日数: %1 日）").arg(days);
  if (!since) return QCoreApplication::translate("Staleness", "成功した保存がまだありません") + limit;
  return QCoreApplication::translate("Staleness", "最後に成功した保存から %1 日経っています").arg(*since) + limit;
}

StaleMarkView StaleMarkOf(const HistoryTable& history, int days, const QDateTime& now) {
  StaleMarkView mark;
  mark.toolTip = StaleWarningText(history, days, now);
  const auto since = DaysSinceLastRun(history, now);
  if (!mark.toolTip.isEmpty())
    mark.text = since ? QCoreApplication::translate("Staleness", "最後の保存から %1 日経過").arg(*since) : QCoreApplication::translate("Staleness", "保存がまだありません");
  if (days <= 0) return mark;
  // The warning changes only at whole days after the last run: when it starts, and when
  // its count of days goes up.
  const auto last = LastSuccessfulRun(history);
  if (!last) return mark;
  const qint64 day = qint64(24) * 60 * 60 * 1000;
  const qint64 age = last->msecsTo(now);
  if (age < 0) {
    mark.recheck = *last;
    return mark;
  }
  const qint64 limit = qint64(days) * day;
  // Stale from the first whole second past the limit.
  mark.recheck = last->addMSecs(age <= limit ? limit + 1000 : (age / day + 1) * day);
  return mark;
}

}  // namespace qarno
