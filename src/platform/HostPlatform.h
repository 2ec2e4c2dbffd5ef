// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The real platform: Win32 calls on Windows (HostPlatformWin.cpp), POSIX calls through the
// drive table on Linux (HostPlatformPosix.cpp, HostVolumesPosix.cpp).
#include "platform/DriveTable.h"
#include "platform/Platform.h"

#include <QElapsedTimer>
#include <functional>
#include <QSet>

#include <map>
#include <vector>

#ifndef _WIN32
struct stat;
#endif

namespace qarno {

class HostPlatform : public Platform {
 public:
  explicit HostPlatform(DriveTable drives = DriveTable());
  ~HostPlatform() override;
  HostPlatform(const HostPlatform&) = delete;
  HostPlatform& operator=(const HostPlatform&) = delete;

  DriveTable& drives() { return drives_; }

  using Platform::Copy;
  using Platform::MkDir;
  std::optional<std::vector<DirEntry>> List(const QString& pattern) override;
  bool SetCurrentDir(const QString& dir) override;
  QString CurrentDir() const override { return current_; }
  bool IsDirectory(const QString& path) override;
  bool Exists(const QString& path) override;
  std::optional<DirEntry> Stat(const QString& path) override;
  std::optional<uint32_t> GetAttr(const QString& path) override;
  FsStatus SetAttr(const QString& path, uint32_t attributes) override;
  std::optional<int64_t> FileLen(const QString& path) override;
  std::optional<int64_t> FileTime(const QString& path) override;
  std::optional<uint32_t> DirMode(const QString& path) override;
  void SetWriteAnchor(const QString& dir) override;
  FsStatus MkDir(const QString& path, uint32_t mode) override;
  FsStatus RmDir(const QString& path) override;
  FsStatus Kill(const QString& path) override;
  FsStatus Rename(const QString& from, const QString& to) override;
  CopyResult Copy(const QString& from, const QString& to, const CopyOptions& options) override;
  FsStatus Sync(const QString& path) override;
  std::unique_ptr<QIODevice> Open(const QString& path, QIODevice::OpenMode mode) override;
  std::unique_ptr<QIODevice> OpenInside(const QString& folder, const QString& path) override;
  std::optional<QByteArray> ReadAll(const QString& path) override;
  FsStatus CreateBeside(const QString& target, std::unique_ptr<BesideFile>& file) override;
  FsStatus WriteBeside(BesideFile& file, const QByteArray& bytes) override;
  FsStatus SyncBeside(BesideFile& file) override;
  FsStatus ReplaceWithBeside(BesideFile& file) override;
  FsStatus SyncBesideFolder(BesideFile& file) override;
  FsStatus Append(const QString& path, const QByteArray& content) override;
  DriveType DriveTypeOf(const QString& root) override;
  std::optional<VolumeInfo> VolumeOf(const QString& root) override;
  std::optional<DiskSpace> FreeSpaceOf(const QString& root) override;
  bool ShutdownComputer() override;
  // Linux: how the computer is powered off (the programs give the login manager's call;
  // tests give a double). Without one, ShutdownComputer refuses.
  void SetPowerOff(std::function<bool()> powerOff) { powerOff_ = std::move(powerOff); }
  bool Privileged() const override;
  std::optional<QString> HostPath(const QString& path) const override;
  std::optional<QString> RealHostPath(const QString& path) const override;
  SetLockResult LockSet(const QString& setFolder, const QString& name, LockKind kind, int waitMs) override;
  int RemoveLeftovers(const QString& folder) override;
  std::unique_ptr<Platform> ForWorker() override;

 private:
  std::function<bool()> powerOff_;
  DriveTable drives_;
  QString current_;
  QString anchor_;  // the write anchor, a Windows path ("" none)
  unsigned copyCounter_ = 0;  // names of files written beside their place

#ifndef _WIN32
  // A folder opened for the *at calls: the current folder's (borrowed) or one of its own.
  class DirFd {
   public:
    DirFd() = default;
    DirFd(int fd, bool owned) : fd_(fd), owned_(owned) {}
    DirFd(DirFd&& o) noexcept : fd_(o.fd_), owned_(o.owned_) { o.fd_ = -1; }
    DirFd& operator=(DirFd&& o) noexcept;
    ~DirFd();
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // A descriptor of the folder for the caller to keep and close (this one's own, or a
    // duplicate of one it borrowed); -1 with errno set when none can be had.
    int Take();

   private:
    int fd_ = -1;
    bool owned_ = false;
  };
  // The folder holding a path, and its last component (empty for a drive root). Below the
  // write anchor no link is followed on the way.
  // `checkCurrent` as for OpenDir.
  DirFd OpenParent(const QString& winPath, QByteArray& name, FsError& error, bool checkCurrent = true);
  // The folder itself, entered as OpenParent enters folders (and its last component alike).
  // `checkCurrent`: the current folder is taken only while it still exists.
  DirFd OpenDir(const QString& winPath, FsError& error, bool checkCurrent);
  int currentFd_ = -1;
  QString currentHost_;  // the current folder's host path
  // The folders of the last walk below the write anchor, from the anchor down, each opened
  // from the one above it without following links: the next walk starts at the deepest one
  // that holds its folder and is still the folder its path names.
  struct HeldFolder {
    QString host;
    int fd;
  };
  // A few dozen levels of a way are held; a way deeper than that keeps only its last folder.
  static constexpr size_t kHeldFolders = 64;
  std::vector<HeldFolder> held_;
  // Closes the folders of a way from `from` on.
  static void LetGo(std::vector<HeldFolder>& way, size_t from);
  int OpenRegularBelow(const QString& hostAnchor, const QString& hostPath, struct stat& st);
  QString belowAnchor_, belowFolder_;  // the folder OpenRegularBelow holds open (host paths)
  int belowFd_ = -1;
  // The folders on its way there, from the anchor down (the anchor's name is empty): the way
  // to the next folder starts at the last one the two ways share.
  std::vector<HeldFolder> belowHeld_;
  QString anchorWin_;                  // the last source anchor of a copy, and its host path
  std::optional<QString> anchorHost_;

  struct DeviceIdentity {
    bool found = false;  // a block device with by-label/by-uuid entries was found
    VolumeInfo volume;
    bool removable = false;
  };
  DeviceIdentity IdentifyDevice(const QString& hostDir);
  // Volume identity is asked once per copied file: the answer for a drive root is kept for
  // a second, well below the time it takes to swap a medium, and costs no system call.
  struct CachedVolume {
    DriveType type = DriveType::Unknown;
    std::optional<VolumeInfo> volume;
    QElapsedTimer age;
  };
  std::map<QString, CachedVolume> volumeCache_;
  const CachedVolume& Volume(const QString& root);
  // Folders (Windows paths) whose file systems cannot make a file without a name (O_TMPFILE).
  QSet<QString> noUnnamedFiles_;
  // Pairs of devices between which the kernel's copy path is known not to work.
  std::map<std::pair<unsigned long long, unsigned long long>, bool> noRangeCopy_;
  // The file the last copy wrote (Windows path) and the permission bits it gave it, until
  // anything else is done to that path: its attributes set right after need no look at it
  // when they change nothing.
  QString lastCopied_;
  uint32_t lastCopiedMode_ = 0;
#endif
};

// A folder listing's pattern against one name, as the system's file dialogs take it: "*" any
// run, "?" one character, "*.*" everything and "name.*" also "name", letters without case.
// Not the skip list's rule (MatchesPathPattern, common/Utils.h, "*" only, over whole paths,
// without backtracking): a listing follows the system, a skip list what it was stored for.
bool MatchesNamePattern(const QString& name, const QString& pattern);

}  // namespace qarno
