// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small path, pattern, date and ordering routines shared by every window. None of them
// touches the file system; those that do live in Module1.
#include <QDateTime>
#include <QElapsedTimer>
#include <QString>
#include <cstdint>

namespace qarno {

// The text before the n-th "\" of the path ("C:\A\B": 1 → "C:\", 2 → "C:\A", 3 → "C:\A\B",
// 4 → ""). A two-character result (a drive) gets its "\".
QString GetPathPrefix(const QString& path, int n);

// Splits at the last "\": "C:\X" → "C:\" and "X". True only when both parts are non-empty.
bool SplitPath(const QString& path, QString& directory, QString& name);

// A skip-list (or history search) pattern against a full path: "*" matches any run (also
// empty), left to right without backtracking, letters without case; without "*" it is a
// case-insensitive equality. "?" is an ordinary character here. Not the folder listing's
// rule (MatchesNamePattern, platform/HostPlatform.h, with "?" and "*.*" over one name): the
// skip lists people have stored were written for this one, and must keep meaning the same.
bool MatchesPathPattern(const QString& text, const QString& pattern);

// "yyyy/mm/dd hh:mm:ss", local time.
QString FormatDateTime(const QDateTime& d);
// The same for a file time in seconds since the epoch (the scan's hot path).
QString FormatFileTime(int64_t secondsSinceEpoch);

// Orders save names for the history table: "Qrn_All" above all, then the name whose first
// "_" stands further right, then the text without case. 1 when a sorts after b.
int CompareSaveNames(const QString& a, const QString& b);

// "name.ext" → "name"; ".x" → ""; a name without "." unchanged.
QString StripExtension(const QString& name);

// Size in whole KB as every total counts it: (bytes + 1023) / 1024, without overflowing for
// the largest sizes a damaged listing may claim.
inline int64_t KbOf(int64_t bytes) { return bytes <= 0 ? 0 : bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0); }

// The duration of a run, "hh:mm:ss" (hours may grow past 24). Measured with a monotonic
// clock, so that a run across midnight or a clock change still shows its real length.
class RunClock {
 public:
  void Start() {
    timer_.start();
    stoppedAt_ = -1;
  }
  // The run is over: the clock shows its length from now on.
  void Stop() { stoppedAt_ = ElapsedSeconds(); }
  bool IsStarted() const { return timer_.isValid(); }
  QString ElapsedTime() const;
  int64_t ElapsedSeconds() const {
    if (stoppedAt_ >= 0) return stoppedAt_;
    return timer_.isValid() ? timer_.elapsed() / 1000 : 0;
  }

 private:
  QElapsedTimer timer_;
  int64_t stoppedAt_ = -1;
};

QString FormatDuration(int64_t seconds);

}  // namespace qarno
