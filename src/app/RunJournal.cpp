// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RunJournal.h"

#include "common/Module1.h"
#include "engine/RunState.h"
#include "mainwin/Qarno.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>

namespace qarno {

namespace {
int64_t SteadyMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

RunJournal::Sink StdioSink(std::FILE* f) {
  return [f](const QString& line) {
    std::fprintf(f, "%s\n", line.toLocal8Bit().constData());
    std::fflush(f);
  };
}

// A value on one line: a path or a message never breaks the line it stands in.
QString OneLine(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  for (QChar& c : text) {
    if (c.unicode() < 0x20) c = u' ';
  }
  return text.trimmed();
}

QString PhaseName(int p) {
  switch (p) {
    case phase::Scan: return QStringLiteral("検索");
    case phase::PreviousList: return QStringLiteral("前回リスト");
    case phase::ThisList: return QStringLiteral("今回リスト");
    case phase::Copy: return QStringLiteral("コピー");
    case phase::Csv: return QStringLiteral("CSV出力");
    case phase::Merge: return QStringLiteral("CSV合成");
    case phase::UsedSize: return QStringLiteral("使用サイズ");
    case phase::ViewIdle:
    case phase::ViewBusy: return QStringLiteral("リスト更新");
    case phase::Done: return QStringLiteral("終了");
    default: return QStringLiteral("準備");
  }
}
}  // namespace

RunJournal::RunJournal(QString program, bool progressLines, Sink out, Sink err, Clock clock)
    : program_(std::move(program)), progressLines_(progressLines), out_(out ? std::move(out) : StdioSink(stdout)),
      err_(err ? std::move(err) : StdioSink(stderr)), clock_(clock ? std::move(clock) : Clock(SteadyMs)) {
  start_ = lastLine_ = clock_();
}

void RunJournal::Out(const QString& kind, const QString& facts) {
  out_(program_ + QStringLiteral(": ") + kind + u' ' + facts);
}

void RunJournal::Start(const QString& facts) {
  start_ = lastLine_ = clock_();
  Out(QStringLiteral("開始"), facts);
}

void RunJournal::Tick(const std::function<QString()>& facts) {
  if (!progressLines_) return;
  const int64_t now = clock_();
  if (now - lastLine_ < kProgressEveryMs) return;
  lastLine_ = now;
  Out(QStringLiteral("進行"), facts() + QStringLiteral(" 経過=") + JournalDuration(now - start_));
}

void RunJournal::Failure(const QString& what) {
  if (!what.isEmpty()) err_(program_ + QStringLiteral(": ") + OneLine(what));
}

void RunJournal::Summary(const QString& facts, int status, const QString& logPath) {
  Out(QStringLiteral("終了"), facts + QStringLiteral(" 経過=") + JournalDuration(ElapsedMs()) +
                                   QStringLiteral(" 終了状態=") + QString::number(status) + QStringLiteral(" ログ=") +
                                   (logPath.isEmpty() ? QStringLiteral("-") : OneLine(logPath)));
}

int64_t RunJournal::ElapsedMs() const { return clock_() - start_; }

QString JournalDuration(int64_t ms) {
  const int64_t s = std::max<int64_t>(ms, 0) / 1000;
  return QStringLiteral("%1:%2:%3")
      .arg(s / 3600, 2, 10, QLatin1Char('0'))
      .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString BackupStartFacts(const Module1& m) {
  const QString level = LevelName(m.set.SaveLevel);
  return QStringLiteral("セット=%1 レベル=%2 保存先=%3").arg(OneLine(m.set.Name), level, OneLine(m.set.SaveDir));
}

QString BackupProgressFacts(const RunProgress& p) {
  QString facts = QStringLiteral("段階=") + PhaseName(p.phase);
  if (p.phase == phase::Scan) return facts + QStringLiteral(" 検索済み=%1").arg(p.scanCount);
  if (p.phase == phase::Copy)
    return facts + QStringLiteral(" 項目=%1/%2 KB=%3/%4").arg(p.processedCount).arg(p.rowCount).arg(p.copiedKB).arg(p.kbToCopy);
  if (p.total > 0) facts += QStringLiteral(" 項目=%1/%2").arg(p.counter).arg(p.total);
  return facts;
}

QString BackupSummaryFacts(const Module1& m, const RunState& s) {
  const QString save = s.texts.TNewSetName.isEmpty() ? QStringLiteral("-") : OneLine(s.texts.TNewSetName);
  return QStringLiteral("セット=%1 保存名=%2 ファイル=%3 KB=%4 未コピー=%5")
      .arg(OneLine(m.set.Name), save)
      .arg(s.outcome.filesCopied)
      .arg(s.progress.copiedKB)
      .arg(s.outcome.uncopiedCount);
}

CopyRate::CopyRate(RunJournal::Clock clock) : clock_(clock ? std::move(clock) : RunJournal::Clock(SteadyMs)) {}

QString CopyRate::Text(const RunProgress& p) {
  if (p.phase != phase::Copy) {
    started_ = false;
    return QString();
  }
  const int64_t now = clock_();
  if (!started_) {
    started_ = true;
    t0_ = now;
    kb0_ = p.copiedKB;
    return QString();
  }
  const int64_t ms = now - t0_;
  const int64_t kb = p.copiedKB - kb0_;
  if (ms < 1000 || kb <= 0) return QString();
  const double kbPerS = kb * 1000.0 / ms;
  const QString rate = kbPerS >= 1024 ? QStringLiteral("%1 MB/s").arg(kbPerS / 1024, 0, 'f', 1)
                                      : QStringLiteral("%1 KB/s").arg(qRound64(kbPerS));
  const int64_t left = std::max<int64_t>(p.kbToCopy - p.copiedKB, 0);
  return QCoreApplication::translate("CopyRate", "%1  残り %2")
      .arg(rate, JournalDuration(static_cast<int64_t>(left / kbPerS * 1000)));
}

}  // namespace qarno
