// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineWorld.h"

#include "platform/TextCodec.h"
#include "common/CsvFields.h"

#include <gtest/gtest.h>

namespace qarno::test {

const QDateTime EngineWorld::kTime(QDate(2001, 2, 3), QTime(4, 5, 6));

EngineWorld::EngineWorld() { SetUpDailySet(m, env); }

void EngineWorld::Source(const QString& rel, const QByteArray& content, const QDateTime& mtime) {
  env.WriteFile(Src(rel), content, mtime.isValid() ? mtime : kTime);
}

RunResult RunSave(Module1& m, Qarno& main, std::unique_ptr<FSaveExec>& run, Level level) {
  m.set.SaveLevel = level;
  m.ExecMode = SaveExecMode::Run;
  m.OpenDialogKind = DialogKind::SaveExec;
  run = std::make_unique<FSaveExec>(m, main);
  run->Form_Load();
  RunResult r;
  r.ok = run->OK_Click();
  r.succeeded = run->state().outcome.succeeded;
  r.uncopied = run->state().outcome.uncopiedCount;
  r.saveName = run->state().paths.SaveSetName;
  r.status = run->state().progress.status;
  m.OpenDialogKind = DialogKind::None;
  m.ExecMode = SaveExecMode::None;
  return r;
}

RunResult EngineWorld::Run(Level level) { return RunSave(m, main, run, level); }

QStringList EngineWorld::Listing(const QString& saveName) const {
  return TextCodec().DecodeLines(env.ReadFile(QStringLiteral("T:\\dst\\daily\\") + saveName + QStringLiteral(".csv")));
}

QString EngineWorld::ListingLine(const QString& saveName, const QString& path) const {
  const QString prefix = u'"' + path + QStringLiteral("\",");
  for (const QString& l : Listing(saveName))
    if (l.startsWith(prefix)) return l;
  return QString();
}

QString EngineWorld::Log() const { return QString::fromUtf8(env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.log"))); }

QStringList EngineWorld::HistoryLines() const {
  return TextCodec().DecodeLines(env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrl")));
}

QStringList EngineWorld::Fields(const QString& line) {
  QString rest = line, f;
  QStringList out;
  GetCsvPathField(rest, f);
  out += f;
  while (GetCsvField(rest, f)) out += f;
  while (out.size() < 11) out += QString();
  return out;
}

}  // namespace qarno::test
