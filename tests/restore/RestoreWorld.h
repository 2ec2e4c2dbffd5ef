// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A restore world: set "daily" saving to T:\dst, listings, run folders and history rows made
// by the test (or by real backup runs), a platform double that reports the media a test
// chooses and breaks the copies it names, and a stand-in for the archiver library.
#include "engine/FSaveExec.h"
#include "mainwin/Qarno.h"
#include "restore/FRestore.h"
#include "support/FaultyPlatform.h"
#include "support/TestEnv.h"

#include <QMap>
#include <QSet>
#include <atomic>
#include <functional>

namespace qarno::test {

// Cells of the totals grid, addressed row × 4 + column.
namespace cell {
constexpr int TotalFiles = 5, MarkedFiles = 6, RestoredFiles = 7;
constexpr int TotalFolders = 9, MarkedFolders = 10, RestoredFolders = 11;
constexpr int TotalKB = 13, MarkedKB = 14, RestoredKB = 15;
}  // namespace cell

// The restore tests use the shared platform double under the name of what they need of it;
// with `workers` set, copy workers get platforms of the real one that break the same copies.
class MediaPlatform : public FaultyPlatform {
 public:
  using FaultyPlatform::FaultyPlatform;
  bool workers = false;
  std::atomic<int> workerCopies{0};  // copies the workers' platforms were asked for
  std::unique_ptr<Platform> ForWorker() override;
};

// Plays the archiver: an "archive" holds the file's bytes after the line "LZH\n"; anything
// else is damaged. The file is written to the target path the command line names.
class FakeArchiver : public ArchiverLibrary {
 public:
  bool available = true;
  QStringList commands;

  bool Load() override { return available; }
  int GetVersion() override { return available ? 100 : -1; }
  bool SetBackGroundMode(bool) override { return available; }
  bool SetCursorMode(bool) override { return available; }
  int Unlha(const QString& commandLine, int outputLength) override;
  void SetMethod(int) override {}
};

class RestoreWorld {
 public:
  RestoreWorld();

  TestEnv env;
  MediaPlatform fs{env.fs};
  Module1 m{fs, env.ui, QStringLiteral("T:\\prog")};
  Qarno main{m};
  ScriptedPrompter& ui = env.ui;
  FakeArchiver archiver;

  static const QDateTime kTime;
  static constexpr const char* kSerial = "1A2B-3C4D";
  static constexpr const char* kVolume = "BACKUP1";

  // One listing line; fields left out take the usual values of a plain copy.
  static QString Line(const QString& path, const QString& attrs, qint64 size, const QString& flag,
                      const QString& saveName, const QString& compType = QStringLiteral("0"),
                      const QString& alias = QString(), const QString& serial = QString::fromLatin1(kSerial),
                      const QString& volume = QString::fromLatin1(kVolume));
  // Writes the listing of a save in a save directory (T:\dst unless given).
  void WriteListing(const QString& saveName, const QStringList& lines, const QString& saveDir = QStringLiteral("T:\\dst"));
  // The copy of a file in a run folder, under its Drive_ path or an alias.
  void WriteCopy(const QString& saveName, const QString& path, const QByteArray& content,
                 const QString& alias = QString(), const QString& saveDir = QStringLiteral("T:\\dst"));
  // A history row (newest first after sorting).
  void AddHistory(const QString& saveName, const QString& saveDir = QStringLiteral("T:\\dst"),
                  const QString& serial = QString::fromLatin1(kSerial), const QString& volume = QString::fromLatin1(kVolume));

  // A real backup run of the set at the level; its save name. `ok` is what the run driver
  // must answer; `outcome`, when given, receives how the run ended.
  QString Backup(Level level, bool ok = true, RunOutcome* outcome = nullptr);

  // Opens the restore window on the history row of the save and loads its listing.
  std::unique_ptr<FRestore> Open(const QString& saveName, bool expectLoaded = true);
  // Restores with every entry marked: in place, or under the top directory.
  RestoreOutcome RestoreAll(FRestore& r, const QString& topDir = QString());

  QString Host(const QString& winPath) const { return env.Host(winPath); }
  bool IsReadOnly(const QString& winPath) const;
  qint64 MTime(const QString& winPath) const;
};

}  // namespace qarno::test
