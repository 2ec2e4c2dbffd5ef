// SPDX-License-Identifier: GPL-3.0-or-later
#include "RestoreWorld.h"

#include "platform/WinPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace qarno::test {

namespace {
// A worker's platform: the real one's for its thread, with the double's broken copies (read
// only while a restore runs).
class WorkerPlatform : public ForwardingPlatform {
 public:
  WorkerPlatform(std::unique_ptr<Platform> own, MediaPlatform& faults)
      : ForwardingPlatform(*own), own_(std::move(own)), faults_(faults) {}
  using Platform::Copy;
  CopyResult Copy(const QString& from, const QString& to, const CopyOptions& options) override {
    ++faults_.workerCopies;
    CopyResult r;
    r.sourceFailed = faults_.unopenable.contains(from);
    if (r.sourceFailed) r.error = FsError::AccessDenied;
    else if (faults_.copyFails.contains(from) && options.chunk == 0) r.error = FsError::Other;
    return r.error == FsError::None ? base_.Copy(from, to, options) : r;
  }

 private:
  std::unique_ptr<Platform> own_;
  MediaPlatform& faults_;
};
}  // namespace

std::unique_ptr<Platform> MediaPlatform::ForWorker() {
  auto own = workers ? base_.ForWorker() : nullptr;
  if (!own) return nullptr;
  return std::make_unique<WorkerPlatform>(std::move(own), *this);
}

const QDateTime RestoreWorld::kTime(QDate(2001, 2, 3), QTime(4, 5, 6));

int FakeArchiver::Unlha(const QString& commandLine, int) {
  commands += commandLine;
  if (!available) return -1;
  static const QRegularExpression re(QStringLiteral("^e .* \"([^\"]+)\" \"([^\"]+)\"$"));
  const auto match = re.match(commandLine);
  if (!match.hasMatch()) return 1;
  QFile archive(match.captured(1));
  if (!archive.open(QIODevice::ReadOnly)) return 2;
  const QByteArray bytes = archive.readAll();
  if (!bytes.startsWith("LZH\n")) return 3;
  QFile out(match.captured(2));
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 4;
  out.write(bytes.mid(4));
  return 0;
}

RestoreWorld::RestoreWorld() {
  SetUpDailySet(m, env);
  // Never the host's own drives: restoring elsewhere goes below the temporary drive.
  m.set.options.RestorePosition = 0;
  m.set.options.RestoreHomeDir = QStringLiteral("T:\\restore");
  m.archiver = &archiver;
}

QString RestoreWorld::Line(const QString& path, const QString& attrs, qint64 size, const QString& flag,
                           const QString& saveName, const QString& compType, const QString& alias,
                           const QString& serial, const QString& volume) {
  return u'"' + path + QStringLiteral("\",") + attrs + u',' + QString::number(size) + u',' +
         FormatDateTime(kTime) + u',' + flag + u',' + saveName + u',' + serial + u',' + volume + QStringLiteral(",,") +
         compType + u',' + alias;
}

void RestoreWorld::WriteListing(const QString& saveName, const QStringList& lines, const QString& saveDir) {
  QByteArray bytes;
  for (const QString& l : lines) bytes += l.toUtf8() + "\r\n";
  env.WriteFile(winpath::Join(saveDir, QStringLiteral("daily\\")) + saveName + QStringLiteral(".csv"), bytes);
}

void RestoreWorld::WriteCopy(const QString& saveName, const QString& path, const QByteArray& content,
                             const QString& alias, const QString& saveDir) {
  const QString run = winpath::Join(saveDir, QStringLiteral("daily\\")) + saveName;
  const QString where = alias.isEmpty() ? run + QStringLiteral("\\Drive_") + path.left(1) + path.mid(2)
                                        : run + QStringLiteral("\\Alias\\") + alias;
  env.WriteFile(where, content, kTime);
}

void RestoreWorld::AddHistory(const QString& saveName, const QString& saveDir, const QString& serial,
                              const QString& volume) {
  const int r = main.HisTable.AddRow(saveName);
  main.HisTable.SetCell(r, HistoryEntry::Level, QStringLiteral("Level-0"));
  main.HisTable.SetCell(r, HistoryEntry::SaveDir, saveDir);
  main.HisTable.SetCell(r, HistoryEntry::VolSerial, serial);
  main.HisTable.SetCell(r, HistoryEntry::VolName, volume);
  main.HisTable.Sort();
}

std::unique_ptr<FRestore> RestoreWorld::Open(const QString& saveName, bool expectLoaded) {
  const int row = main.HisTable.RowOf(saveName);
  auto r = std::make_unique<FRestore>(m, main.HisTable);
  r->Form_Load();
  const bool loaded = r->FormInit(row);
  EXPECT_EQ(loaded, expectLoaded) << saveName.toStdString();
  return r;
}

RestoreOutcome RestoreWorld::RestoreAll(FRestore& r, const QString& topDir) {
  r.SetTarget(topDir.isEmpty() ? 0 : 1, topDir);
  r.SetAllRestoreMarks();
  return r.OK_Click();
}

bool RestoreWorld::IsReadOnly(const QString& winPath) const {
  struct stat st;
  if (::stat(QFile::encodeName(Host(winPath)).constData(), &st) != 0) return false;
  return (st.st_mode & S_IWUSR) == 0;
}

qint64 RestoreWorld::MTime(const QString& winPath) const {
  return QFileInfo(Host(winPath)).lastModified().toSecsSinceEpoch();
}

QString RestoreWorld::Backup(Level level, bool ok, RunOutcome* outcome) {
  m.set.SaveLevel = level;
  m.ExecMode = SaveExecMode::Run;
  FSaveExec run(m, main);
  run.Form_Load();
  EXPECT_EQ(run.OK_Click(), ok) << run.state().progress.status.toStdString();
  m.ExecMode = SaveExecMode::None;
  if (outcome) *outcome = run.state().outcome;
  return run.state().paths.SaveSetName;
}

}  // namespace qarno::test
