// SPDX-License-Identifier: GPL-3.0-or-later
// What an unattended run prints for a journal or a cron mail, on a clock the test steps.
#include "app/RunJournal.h"
#include "engine/RunState.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

struct Lines {
  QStringList out, err;
  int64_t now = 1000;
  RunJournal Make(bool progress) {
    return RunJournal(QStringLiteral("Qarno"), progress, [this](const QString& l) { out += l; },
                      [this](const QString& l) { err += l; }, [this] { return now; });
  }
};

TEST(RunJournal, ProgressAtMostEvery30SecondsNoneForAShortRunAndAlwaysOneSummary) {
  Lines l;
  RunJournal j = l.Make(true);
  l.now = 500000;  // time before the start does not count
  j.Start(QStringLiteral("セット=s"));
  int asked = 0;
  auto facts = [&asked] {
    ++asked;
    return QStringLiteral("段階=コピー");
  };
  l.now += 29999;
  j.Tick(facts);
  EXPECT_EQ(l.out, QStringList{QStringLiteral("Qarno: 開始 セット=s")});
  l.now += 1;
  j.Tick(facts);
  l.now += 29999;
  j.Tick(facts);  // 30 s from the last line, not from the start
  l.now += 35000;
  j.Tick(facts);
  EXPECT_EQ(asked, 2);
  ASSERT_EQ(l.out.size(), 3);
  EXPECT_EQ(l.out[1], QStringLiteral("Qarno: 進行 段階=コピー 経過=00:00:30"));
  EXPECT_EQ(l.out[2], QStringLiteral("Qarno: 進行 段階=コピー 経過=00:01:34"));
  l.now += 3600 * 1000;
  j.Failure(QStringLiteral("保存先がありません。\rC:\\dst"));
  j.Summary(QStringLiteral("保存名=qrn20260101_00"), 2, QStringLiteral("/p/SetDir/s.log"));
  EXPECT_EQ(l.err, QStringList{QStringLiteral("Qarno: 保存先がありません。 C:\\dst")});
  EXPECT_EQ(l.out.back(), QStringLiteral("Qarno: 終了 保存名=qrn20260101_00 経過=01:01:34 終了状態=2 ログ=/p/SetDir/s.log"));

  // On a terminal (no progress lines) and for a run under 30 s: the start and the summary.
  Lines quiet;
  RunJournal t = quiet.Make(false);
  t.Start(QString());
  quiet.now += 90000;
  t.Tick(facts);
  RunJournal shortRun = quiet.Make(true);
  shortRun.Start(QString());
  quiet.now += 29000;
  shortRun.Tick(facts);
  shortRun.Summary(QString(), 0, QString());
  EXPECT_EQ(quiet.out.size(), 3);
  EXPECT_EQ(asked, 2);
}

TEST(RunJournal, TheCopyRateAndTimeLeftAreMeasuredFromTheCopyPhaseOnly) {
  int64_t now = 0;
  CopyRate rate([&now] { return now; });
  RunProgress p;
  p.phase = phase::Scan;
  EXPECT_EQ(rate.Text(p), QString());
  p.phase = phase::Copy;
  p.kbToCopy = 20480;
  p.copiedKB = 1024;  // copied before the rate is first asked: not counted as speed
  now = 60000;
  EXPECT_EQ(rate.Text(p), QString());
  now += 500;
  p.copiedKB += 512;
  EXPECT_EQ(rate.Text(p), QString());  // under a second: no estimate yet
  now += 3500;
  p.copiedKB = 1024 + 8192;  // 8 MB in 4 s
  EXPECT_EQ(rate.Text(p), QStringLiteral("2.0 MB/s  残り 00:00:05"));
  p.copiedKB = 20480 + 100;  // more than announced: nothing left, never negative
  EXPECT_EQ(rate.Text(p), QStringLiteral("4.8 MB/s  残り 00:00:00"));
}

}  // namespace
}  // namespace qarno
