// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A platform double between the engines and the real files, through which a test swaps the
// destination medium, fills the disk, or makes files refuse to be copied or read.
#include "platform/Platform.h"

#include <QMap>
#include <QSet>
#include <functional>
#include <optional>

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
  QSet<QString> copyFails;                // plain copies of these sources fail (cause unknown)
  QSet<QString> unopenable;               // these sources cannot be opened for reading
  QSet<QString> probeFails;               // only the read test fails (held open elsewhere)
  QMap<QString, FsError> writeFails;      // atomic writes of these files fail so
  std::function<std::optional<std::vector<DirEntry>>(const QString&)> listOverride;
  std::function<void(const QString& to)> duringCopy;  // called between the steps of every copy

  DriveType DriveTypeOf(const QString&) override { return type; }
  std::optional<VolumeInfo> VolumeOf(const QString&) override {
    ++volumeReads;
    if (onVolumeRead) onVolumeRead(volumeReads);
    return volume;
  }
  std::optional<DiskSpace> FreeSpaceOf(const QString& root) override {
    if (onFreeQuery) onFreeQuery();
    if (!freeKB) return base_.FreeSpaceOf(root);
    return DiskSpace{2, 512, static_cast<uint64_t>(*freeKB), 1u << 30};
  }
  CopyResult Copy(const QString& from, const QString& to, const CopyOptions& options) override {
    CopyResult r;
    if (unopenable.contains(from)) {
      r.error = FsError::AccessDenied;
      r.sourceFailed = true;
      return r;
    }
    // The fast copy is refused; the byte-wise one (in chunks) works.
    if (copyFails.contains(from) && options.chunk == 0) {
      r.error = FsError::Other;
      return r;
    }
    if (duringCopy) {
      CopyOptions stepwise = options;
      if (stepwise.chunk <= 0) stepwise.chunk = 1024;
      stepwise.onChunk = [this, to, inner = options.onChunk] {
        duringCopy(to);
        return inner ? inner() : true;
      };
      return base_.Copy(from, to, stepwise);
    }
    return base_.Copy(from, to, options);
  }
  FsStatus CreateBeside(const QString& target, std::unique_ptr<BesideFile>& file) override {
    if (writeFails.contains(target)) return writeFails.value(target);
    return base_.CreateBeside(target, file);
  }
  std::unique_ptr<QIODevice> Open(const QString& path, QIODevice::OpenMode mode) override {
    if (unopenable.contains(path) || probeFails.contains(path)) return nullptr;
    return base_.Open(path, mode);
  }
  std::optional<std::vector<DirEntry>> List(const QString& pattern) override {
    if (listOverride) {
      if (auto r = listOverride(pattern)) return r;
    }
    return base_.List(pattern);
  }
};

}  // namespace qarno::test
