#pragma once
// The platform layer: everything Qarno asks of the operating system — files, volumes, free
// space, shutdown — behind one interface. Paths are Windows paths; on Linux a drive table maps
// each drive letter to a host directory (see DriveTable). HostPlatform is the real thing;
// ForwardingPlatform lets a test override only the calls it wants to break.
#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace qarno {

// Windows file attribute bits, as the listing's attribute text encodes them.
namespace attr {
constexpr uint32_t ReadOnly = 0x01;
constexpr uint32_t Hidden = 0x02;
constexpr uint32_t System = 0x04;
constexpr uint32_t Directory = 0x10;
constexpr uint32_t Archive = 0x20;
constexpr uint32_t Normal = 0x80;
}  // namespace attr

// One name found by a listing, with what the listing learnt about it on the way (Windows'
// find-first/find-next gives the same), so that a scan need not ask again.
struct DirEntry {
  QString name;
  uint32_t attributes = 0;
  int64_t size = 0;          // bytes; 0 for directories
  int64_t mtime = 0;         // last write, seconds since the epoch
  bool isDirectory = false;  // can be entered as a directory
  bool representable = true; // false when the host name cannot be written as a Windows path
};

enum class DriveType { Unknown = 0, NoRootDir = 1, Removable = 2, Fixed = 3, Remote = 4, CdRom = 5, RamDisk = 6 };

struct VolumeInfo {
  QString name;         // volume label, may be empty
  uint32_t serial = 0;  // 32-bit volume serial number, 0 when the medium has none
};

struct DiskSpace {
  uint32_t sectorsPerCluster = 0;
  uint32_t bytesPerSector = 0;
  uint64_t freeClusters = 0;
  uint64_t totalClusters = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Lists the names matching a pattern ("C:\dir\*.*" for a whole directory, "C:\dir\*.doc",
  // or a plain path for that one name), directories, hidden and system entries included,
  // "." and ".." left out. Wildcards "*" and "?" are allowed in the last component only.
  // Special files (fifos, sockets, devices) and dangling links are never listed. Returns
  // nullopt when the directory of the pattern cannot be read.
  virtual std::optional<std::vector<DirEntry>> List(const QString& pattern) = 0;

  // Makes the directory current (ChDir and ChDrive); false when it cannot be entered.
  // This is also the system's test for "is a directory".
  virtual bool SetCurrentDir(const QString& dir) = 0;
  virtual QString CurrentDir() const = 0;
  // True when the path can be entered as a directory; does not change the current directory.
  virtual bool IsDirectory(const QString& path) = 0;

  // Everything a listing would say about one path (its name is the last component); nullopt
  // when it does not exist or is not a regular file or directory.
  virtual std::optional<DirEntry> Stat(const QString& path) = 0;
  virtual std::optional<uint32_t> GetAttr(const QString& path) = 0;
  virtual bool SetAttr(const QString& path, uint32_t attributes) = 0;
  virtual std::optional<int64_t> FileLen(const QString& path) = 0;
  // Last write time in seconds since the epoch.
  virtual std::optional<int64_t> FileTime(const QString& path) = 0;

  virtual bool MkDir(const QString& path) = 0;
  virtual bool RmDir(const QString& path) = 0;
  virtual bool Kill(const QString& path) = 0;  // delete one file
  virtual bool Rename(const QString& from, const QString& to) = 0;
  // Plain copy: overwrites the destination, keeps the last-write time (and on Linux the
  // permission bits). A failed copy may leave a partial destination; the caller removes it.
  virtual bool CopyFile(const QString& from, const QString& to) = 0;
  // The plain copy, answering what the source was as it was copied (size, time, attributes),
  // so that the caller need not ask again; nullopt when the copy failed.
  virtual std::optional<DirEntry> CopyFileWithInfo(const QString& from, const QString& to) {
    if (!CopyFile(from, to)) return std::nullopt;
    return Stat(from);
  }

  // Raw access for the byte-wise copy and the open-for-reading tests.
  virtual std::unique_ptr<QIODevice> Open(const QString& path, QIODevice::OpenMode mode) = 0;
  // Whole-file helpers for the system's text files.
  virtual std::optional<QByteArray> ReadAll(const QString& path) = 0;
  // Replaces the file atomically: a new file is written and renamed over the old one.
  virtual bool WriteAtomic(const QString& path, const QByteArray& content) = 0;
  virtual bool Append(const QString& path, const QByteArray& content) = 0;

  // Volume functions; the argument is a drive root "X:\".
  virtual DriveType GetDriveType(const QString& root) = 0;
  virtual std::optional<VolumeInfo> GetVolumeInformation(const QString& root) = 0;
  virtual std::optional<DiskSpace> GetDiskFreeSpace(const QString& root) = 0;

  // Shuts the computer down and powers it off; true when the system accepted the request.
  virtual bool ExitWindows() = 0;

  // The host path of a Windows path (the path itself on Windows); nullopt for an unmapped
  // drive. For callers that hand paths to code outside the system, such as the archiver.
  virtual std::optional<QString> HostPath(const QString& path) const = 0;
};

// Forwards every call to another platform; tests derive from it and override only the calls
// whose failure they want to inject.
class ForwardingPlatform : public Platform {
 public:
  explicit ForwardingPlatform(Platform& base) : base_(base) {}
  std::optional<std::vector<DirEntry>> List(const QString& p) override { return base_.List(p); }
  bool SetCurrentDir(const QString& d) override { return base_.SetCurrentDir(d); }
  QString CurrentDir() const override { return base_.CurrentDir(); }
  bool IsDirectory(const QString& p) override { return base_.IsDirectory(p); }
  std::optional<DirEntry> Stat(const QString& p) override { return base_.Stat(p); }
  std::optional<uint32_t> GetAttr(const QString& p) override { return base_.GetAttr(p); }
  bool SetAttr(const QString& p, uint32_t a) override { return base_.SetAttr(p, a); }
  std::optional<int64_t> FileLen(const QString& p) override { return base_.FileLen(p); }
  std::optional<int64_t> FileTime(const QString& p) override { return base_.FileTime(p); }
  bool MkDir(const QString& p) override { return base_.MkDir(p); }
  bool RmDir(const QString& p) override { return base_.RmDir(p); }
  bool Kill(const QString& p) override { return base_.Kill(p); }
  bool Rename(const QString& a, const QString& b) override { return base_.Rename(a, b); }
  bool CopyFile(const QString& a, const QString& b) override { return base_.CopyFile(a, b); }
  std::unique_ptr<QIODevice> Open(const QString& p, QIODevice::OpenMode m) override { return base_.Open(p, m); }
  std::optional<QByteArray> ReadAll(const QString& p) override { return base_.ReadAll(p); }
  bool WriteAtomic(const QString& p, const QByteArray& c) override { return base_.WriteAtomic(p, c); }
  bool Append(const QString& p, const QByteArray& c) override { return base_.Append(p, c); }
  DriveType GetDriveType(const QString& r) override { return base_.GetDriveType(r); }
  std::optional<VolumeInfo> GetVolumeInformation(const QString& r) override { return base_.GetVolumeInformation(r); }
  std::optional<DiskSpace> GetDiskFreeSpace(const QString& r) override { return base_.GetDiskFreeSpace(r); }
  bool ExitWindows() override { return base_.ExitWindows(); }
  std::optional<QString> HostPath(const QString& p) const override { return base_.HostPath(p); }

 protected:
  Platform& base_;
};

}  // namespace qarno
