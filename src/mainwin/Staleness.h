// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether a set has gone stale: no successful run for more days than the set's warning
// allows ("警告までの日数", BackupSet::StaleDays). Every run in the history counts as
// successful: a run is recorded only when its copies and listing were written (a run that
// left some entries unsaved still counts; its log names them).
//
// Days are whole periods of 24 hours measured from the last run's recorded date and time to
// now, both local time, so that midnight changes nothing: a run at 23:59 is one day old at
// 23:59 the next day, not at 00:00.
#include "mainwin/HistoryTable.h"

#include <QDateTime>
#include <algorithm>
#include <optional>
#include <vector>

namespace qarno {

// A history date ("yyyy/mm/dd hh:mm:ss", local time); nothing for a text that is none.
std::optional<QDateTime> ParseHistoryDate(const QString& text);

// The newest run's date; nothing when the history holds no run with a readable date.
std::optional<QDateTime> LastSuccessfulRun(const HistoryTable& history);

// The newest run of each level caption found in the history, in the order Level-0, Level-1,
// Level-2, 上書き, 修復, then any other caption; levels without a run are left out.
struct LevelLastRun {
  QString level;
  QString saveName;
  QString date;  // as the history holds it
};
std::vector<LevelLastRun> LastRunsByLevel(const HistoryTable& history);

// True when the warning is on (days > 0) and the newest run is more than `days` × 24 hours
// before `now`, or there is no run at all.
bool IsStale(const HistoryTable& history, int days, const QDateTime& now);

// Whole days since the newest run (0 within the first 24 hours); nothing without a run.
std::optional<int64_t> DaysSinceLastRun(const HistoryTable& history, const QDateTime& now);

// The one-line warning for a stale set (empty when it is not): how long since the last
// successful run, and the set's limit.
QString StaleWarningText(const HistoryTable& history, int days, const QDateTime& now);

// The warning as the main window shows it under the set name, and when to look again.
struct StaleMarkView {
  QString text;     // one short line: the days since the last run, or that there is none
  QString toolTip;  // the whole warning (StaleWarningText); both empty when not stale
  // When the warning may next change by time alone (it starts, or its count of days goes
  // up); invalid when it never will. A run in the future (a clock set back) is looked at
  // again at its time.
  QDateTime recheck;
};
StaleMarkView StaleMarkOf(const HistoryTable& history, int days, const QDateTime& now);

}  // namespace qarno
