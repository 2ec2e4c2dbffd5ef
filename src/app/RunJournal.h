// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a run without anyone watching says about itself, for the journal of a systemd unit or
// the mail cron sends: one line when it starts, a progress line at most every 30 seconds
// (none for a run shorter than that), and always one summary line at the end; what went wrong
// goes to standard error. The backup run (with or without its window) and qarno-restore
// print through it, so the lines read alike wherever they come from.
//
// Each line begins with the program's name and carries its facts as key=value pieces, so a
// script can pick them out: they are the same in every language. What went wrong is said in
// the user's. The clock is given: the tests step it instead of sleeping.
#include <QString>
#include <cstdint>
#include <functional>

namespace qarno {

class Module1;
struct RunProgress;
struct RunState;

class RunJournal {
 public:
  using Clock = std::function<int64_t()>;  // milliseconds, never going back
  using Sink = std::function<void(const QString& line)>;
  static constexpr int64_t kProgressEveryMs = 30000;

  // `progressLines` false: the start and the summary only (a terminal has its own line).
  // Empty sinks write to standard output and standard error; an empty clock is the steady one.
  RunJournal(QString program, bool progressLines, Sink out = {}, Sink err = {}, Clock clock = {});

  void Start(const QString& facts);
  // The line `facts` makes, when 30 seconds have passed since the start or the last one.
  void Tick(const std::function<QString()>& facts);
  void Failure(const QString& what);
  // The summary: the facts, the elapsed time, the exit status and the log's path.
  void Summary(const QString& facts, int status, const QString& logPath);

  int64_t ElapsedMs() const;

 private:
  void Out(const QString& kind, const QString& facts);

  QString program_;
  bool progressLines_;
  Sink out_, err_;
  Clock clock_;
  int64_t start_ = 0;
  int64_t lastLine_ = 0;
};

// hh:mm:ss (hours grow past 99 as needed).
QString JournalDuration(int64_t ms);

// The facts of a backup run's lines.
QString BackupStartFacts(const Module1& m);
QString BackupProgressFacts(const RunProgress& p);
QString BackupSummaryFacts(const Module1& m, const RunState& s);

// The copy's rate and the time it still needs, for the terminal's progress line: measured
// from the first time the copy phase is seen. Empty outside the copy and until a second of
// it has passed.
class CopyRate {
 public:
  explicit CopyRate(RunJournal::Clock clock = {});
  QString Text(const RunProgress& p);

 private:
  RunJournal::Clock clock_;
  bool started_ = false;
  int64_t t0_ = 0;
  int64_t kb0_ = 0;
};

}  // namespace qarno
