#pragma once
// A backup world for the engine tests: a source tree under T:\src, a set "daily" saving it
// to T:\dst, and a platform double between the engine and the real files through which a
// test swaps media, fills the disk, or makes files vanish or refuse to be read.
#include "engine/FSaveExec.h"
#include "mainwin/Qarno.h"
#include "support/TestEnv.h"

#include <QSet>
#include <functional>

namespace qarno::test {

class FaultyPlatform : public ForwardingPlatform {
 public:
  using ForwardingPlatform::ForwardingPlatform;

  // The destination medium as the volume functions report it.
  DriveType type = DriveType::Fixed;
  VolumeInfo volume{QStringLiteral("BACKUP1"), 0x1A2B3C4D};
  int volumeReads = 0;
  std::function<void(int)> onVolumeRead;  // called with the count, may swap the medium
  std::optional<int64_t> freeKB;          // unset: the real free space
  std::function<void()> onFreeQuery;      // called before each free-space answer
  QSet<QString> copyFails;                // plain copies of these sources fail
  QSet<QString> unopenable;               // these sources cannot be opened for reading
  std::function<std::optional<std::vector<DirEntry>>(const QString&)> listOverride;

  DriveType GetDriveType(const QString&) override { return type; }
  std::optional<VolumeInfo> GetVolumeInformation(const QString&) override {
    ++volumeReads;
    if (onVolumeRead) onVolumeRead(volumeReads);
    return volume;
  }
  std::optional<DiskSpace> GetDiskFreeSpace(const QString& root) override {
    if (onFreeQuery) onFreeQuery();
    if (!freeKB) return base_.GetDiskFreeSpace(root);
    return DiskSpace{2, 512, static_cast<uint64_t>(*freeKB), 1u << 30};
  }
  bool CopyFile(const QString& from, const QString& to) override {
    if (copyFails.contains(from)) return false;
    return base_.CopyFile(from, to);
  }
  std::unique_ptr<QIODevice> Open(const QString& path, QIODevice::OpenMode mode) override {
    if (unopenable.contains(path)) return nullptr;
    return base_.Open(path, mode);
  }
  std::optional<std::vector<DirEntry>> List(const QString& pattern) override {
    if (listOverride) {
      if (auto r = listOverride(pattern)) return r;
    }
    return base_.List(pattern);
  }
};

struct RunResult {
  bool ok = false;
  bool succeeded = false;
  int uncopied = 0;
  QString saveName;
  QString status;
};

class EngineWorld {
 public:
  EngineWorld();

  TestEnv env;
  FaultyPlatform fs{env.fs};
  Module1 m{fs, env.ui, QStringLiteral("T:\\prog")};
  Qarno main{m};
  ScriptedPrompter& ui = env.ui;
  std::unique_ptr<FSaveExec> run;  // the last run, kept for inspection

  // A file of the source tree, with a fixed last-write time unless one is given.
  void Source(const QString& rel, const QByteArray& content, const QDateTime& mtime = QDateTime());
  QString Src(const QString& rel) const { return QStringLiteral("T:\\src\\") + rel; }
  // Runs one backup of the given level.
  RunResult Run(int level);
  // The listing of a save, line by line.
  QStringList Listing(const QString& saveName) const;
  QString ListingLine(const QString& saveName, const QString& path) const;
  QString Log() const;
  QStringList HistoryLines() const;
  // The fields of a listing line after splitting (path without quotes first).
  static QStringList Fields(const QString& line);

  static const QDateTime kTime;
};

}  // namespace qarno::test
