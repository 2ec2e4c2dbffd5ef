#pragma once
// The real platform: Win32 calls on Windows, POSIX calls through the drive table on Linux.
#include "platform/DriveTable.h"
#include "platform/Platform.h"

#include <QElapsedTimer>
#include <map>

namespace qarno {

class HostPlatform : public Platform {
 public:
  explicit HostPlatform(DriveTable drives = DriveTable());

  DriveTable& drives() { return drives_; }

  std::optional<std::vector<DirEntry>> List(const QString& pattern) override;
  bool SetCurrentDir(const QString& dir) override;
  QString CurrentDir() const override { return current_; }
  bool IsDirectory(const QString& path) override;
  std::optional<DirEntry> Stat(const QString& path) override;
  std::optional<uint32_t> GetAttr(const QString& path) override;
  bool SetAttr(const QString& path, uint32_t attributes) override;
  std::optional<int64_t> FileLen(const QString& path) override;
  std::optional<int64_t> FileTime(const QString& path) override;
  bool MkDir(const QString& path) override;
  bool RmDir(const QString& path) override;
  bool Kill(const QString& path) override;
  bool Rename(const QString& from, const QString& to) override;
  bool CopyFile(const QString& from, const QString& to) override { return CopyFileWithInfo(from, to).has_value(); }
  std::optional<DirEntry> CopyFileWithInfo(const QString& from, const QString& to) override;
  std::unique_ptr<QIODevice> Open(const QString& path, QIODevice::OpenMode mode) override;
  std::optional<QByteArray> ReadAll(const QString& path) override;
  bool WriteAtomic(const QString& path, const QByteArray& content) override;
  bool Append(const QString& path, const QByteArray& content) override;
  DriveType GetDriveType(const QString& root) override;
  std::optional<VolumeInfo> GetVolumeInformation(const QString& root) override;
  std::optional<DiskSpace> GetDiskFreeSpace(const QString& root) override;
  bool ExitWindows() override;
  std::optional<QString> HostPath(const QString& path) const override;

 private:
  struct DeviceIdentity {
    bool found = false;  // a block device with by-label/by-uuid entries was found
    VolumeInfo volume;
    bool removable = false;
  };
  DeviceIdentity IdentifyDevice(const QString& hostDir);

  DriveTable drives_;
  QString current_;
  // Volume identity is asked once per copied file: the answer for a drive root is kept for
  // a second, well below the time it takes to swap a medium, and costs no system call.
  struct CachedVolume {
    DriveType type = DriveType::Unknown;
    std::optional<VolumeInfo> volume;
    QElapsedTimer age;
  };
  std::map<QString, CachedVolume> volumeCache_;
  const CachedVolume& Volume(const QString& root);
  // Pairs of devices between which the kernel's copy path is known not to work.
  std::map<std::pair<unsigned long long, unsigned long long>, bool> noRangeCopy_;
};

// Windows-style wildcard match of one name ("*" any run, "?" one character, "*.*" everything),
// letters compared without case.
bool MatchesWildcard(const QString& name, const QString& pattern);

}  // namespace qarno
