// SPDX-License-Identifier: GPL-3.0-or-later
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
#include <functional>
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
  // False when the host name cannot be written as a Windows path, or the host cannot reach
  // the entry by its path at all (longer than the host's path limit).
  bool representable = true;
  // The name is a symbolic link; the fields above describe what it points at.
  bool isLink = false;
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

// Why a file operation failed, as far as the decisions of the engines need to know.
enum class FsError {
  None = 0,
  NotFound,      // the file or a folder of its path does not exist
  AccessDenied,  // permission denied, or held open by another program (Windows)
  NoSpace,       // the medium (or the user's quota on it) is full
  NotRegular,    // not a regular file (a folder, a device, a pipe) or the same file as the other side
  Other,
};
QString FsErrorName(FsError error);

// The outcome of one file operation: success, or why not.
struct FsStatus {
  FsError error = FsError::None;
  FsStatus() = default;
  FsStatus(FsError e) : error(e) {}  // NOLINT: an error is a status
  bool ok() const { return error == FsError::None; }
  explicit operator bool() const { return ok(); }
};

// The outcome of a copy: when it failed, which side failed (reading the source, or making
// the destination), and when it worked, what the source was as it was copied.
struct CopyResult : FsStatus {
  bool sourceFailed = false;
  DirEntry source;
};

// How a copy goes about its work: the fast path in large steps, or in steps of `chunk`
// bytes with `onChunk` called after each (false stops the copy as failed). When
// `expectedSize` is given (0 or more), a source that holds fewer bytes than that fails the
// copy as the source's fault before the destination is touched: a restore never takes a
// truncated saved copy for the file its listing describes.
// `onData`, when set, is shown every block of the source as it is read (the same read that
// writes the copy), in order and once each: a run hashes its copies on the way without
// reading the file a second time. The kernel's in-place copy is not used then.
// `sourceAnchor`, when set, is a folder above the source: every folder from there on, and
// the source itself, is entered without following a link (a link swapped in after the scan
// saw a file fails the copy as the source's fault).
struct CopyOptions {
  int chunk = 0;
  std::function<bool()> onChunk;
  int64_t expectedSize = -1;
  std::function<void(const char* data, size_t size)> onData;
  QString sourceAnchor;
  // The destination lies in a save this run is making, which nothing reads before the run
  // records it: a new file may be written at its name at once (a killed run leaves its
  // unrecorded save, never a recorded one, with a short file). A file already there is
  // still replaced only by a whole copy written beside it.
  bool unrecordedTarget = false;
};

// Permission bits of a folder the program makes for its own files (the umask applies).
constexpr uint32_t kDefaultDirMode = 0777;

// How many copy workers a run may use: the cores this process may run on (what `taskset`
// leaves it, not what the machine has), 1 to 64; QARNO_COPY_WORKERS=N overrides it.
int CopyWorkerCount();

// A file written beside the file it is to replace, under the program's own temporary name
// (".qarno-PID-N.tmp" in the same folder), by the steps of Platform::WriteAtomic. Made by
// CreateBeside and handed back only to the platform that made it (or one forwarding to it).
// Destroying it closes it and, unless it took its target's place, removes it.
class BesideFile {
 public:
  virtual ~BesideFile() = default;
  QString target;  // the file it replaces
  QString path;    // its own, temporary path
};

// A hold on one set, taken before anything of the set is written (a run, a history change)
// or read as a whole (a restore, a verify); given back when destroyed. Exclusive holds keep
// every other hold out, shared ones only the exclusive.
class SetLock {
 public:
  virtual ~SetLock() = default;
};
enum class LockKind { Shared, Exclusive };
struct SetLockResult {
  std::unique_ptr<SetLock> lock;  // the hold; empty when it could not be had
  bool busy = false;    // another holder kept it for the whole wait
  bool waited = false;  // another holder had it when asked: what it wrote may be newer
  FsError error = FsError::None;  // why not, when not busy
  explicit operator bool() const { return lock != nullptr; }
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Lists the names matching a pattern ("C:\dir\*.*" for a whole directory, "C:\dir\*.doc",
  // or a plain path for that one name), directories, hidden and system entries included,
  // "." and ".." left out. Wildcards "*" and "?" are allowed in the last component only.
  // Special files (fifos, sockets, devices) and dangling links are never listed; a link to a
  // file or folder is listed as what it points at, with `isLink` set, and a link to a folder
  // never as one that can be entered. Returns nullopt when the directory of the pattern
  // cannot be read.
  virtual std::optional<std::vector<DirEntry>> List(const QString& pattern) = 0;

  // Makes the directory the one later calls work in (ChDir and ChDrive); false when it
  // cannot be entered. The process's own current directory is never changed.
  virtual bool SetCurrentDir(const QString& dir) = 0;
  virtual QString CurrentDir() const = 0;
  // True when the path can be entered as a directory; does not change the current directory.
  virtual bool IsDirectory(const QString& path) = 0;
  // True when anything is there under the name (a file of any kind, a folder, a link).
  virtual bool Exists(const QString& path) = 0;

  // Everything a listing would say about one path (its name is the last component); nullopt
  // when it does not exist or is not a regular file or directory.
  virtual std::optional<DirEntry> Stat(const QString& path) = 0;
  virtual std::optional<uint32_t> GetAttr(const QString& path) = 0;
  // Sets the Windows attributes (on Linux: read-only is the write bits; a setuid, setgid or
  // sticky bit is never kept). A link is never followed: it is refused.
  virtual FsStatus SetAttr(const QString& path, uint32_t attributes) = 0;
  virtual std::optional<int64_t> FileLen(const QString& path) = 0;
  // Last write time in seconds since the epoch.
  virtual std::optional<int64_t> FileTime(const QString& path) = 0;
  // The permission bits of a directory (Linux) — what a folder made to stand for it gets.
  virtual std::optional<uint32_t> DirMode(const QString& path) = 0;

  // Writes below the anchor never follow a link the program did not make: every folder
  // between the anchor and the file is entered without following links. The anchor itself
  // is reached as the user named it. An empty anchor: only the last component is guarded.
  virtual void SetWriteAnchor(const QString& dir) = 0;

  virtual FsStatus MkDir(const QString& path, uint32_t mode) = 0;
  FsStatus MkDir(const QString& path) { return MkDir(path, kDefaultDirMode); }
  virtual FsStatus RmDir(const QString& path) = 0;
  virtual FsStatus Kill(const QString& path) = 0;  // delete one file (a link: the link)
  // Renames, never replacing an existing file (as on Windows).
  virtual FsStatus Rename(const QString& from, const QString& to) = 0;
  // Copies a regular file. The source is opened first and must be a regular file other than
  // the destination; the destination is written beside its place and takes it only when
  // every byte of the source arrived (a source that ends early fails the copy), so a file
  // already there is replaced by a whole copy or left as it was. The copy keeps the
  // last-write time and (on Linux) the permission bits, never setuid, setgid or sticky.
  virtual CopyResult Copy(const QString& from, const QString& to, const CopyOptions& options) = 0;
  CopyResult Copy(const QString& from, const QString& to) { return Copy(from, to, CopyOptions()); }
  bool CopyFile(const QString& from, const QString& to) { return Copy(from, to).ok(); }
  // Makes what was written on the medium of the path durable (one call for many copies).
  virtual FsStatus Sync(const QString& path) = 0;

  // Opens a regular file for reading (nullptr for anything else, at once: a pipe or a device
  // never blocks), or a file of the program's own for writing (the debug and log files).
  virtual std::unique_ptr<QIODevice> Open(const QString& path, QIODevice::OpenMode mode) = 0;
  // Opens a regular file below `folder` for reading, entering every folder from `folder` on
  // without following a link, the file itself included (nullptr for a link, anything that
  // is not a regular file, or a path that is not below the folder). For reading what lies in
  // a save folder, which may have been changed by anyone who can write the medium.
  virtual std::unique_ptr<QIODevice> OpenInside(const QString& folder, const QString& path) = 0;
  // Whole-file helpers for the system's text files; only regular files are read.
  virtual std::optional<QByteArray> ReadAll(const QString& path) = 0;
  // Replaces the file with the content: written beside it, every byte checked, made durable,
  // then renamed over it, and the rename made durable. On any failure the old file is as it
  // was, nothing is left beside it, and the error is told. The one writer of the system's
  // files; it takes the steps below in this order.
  FsStatus WriteAtomic(const QString& path, const QByteArray& content);
  // The same for content made piece by piece, so that a large file is never whole in memory:
  // `next` fills in the next piece and answers true (an empty piece ends the content), or
  // answers false to give the write up (the old file stays; the status is a failure).
  FsStatus WriteAtomic(const QString& path, const std::function<bool(QByteArray& piece)>& next);

  // The steps of WriteAtomic. A crash between any two of them leaves the old file or the new
  // one, never a part of either, only when they are taken in WriteAtomic's order.
  // Makes a new, empty file beside `target`. A new file gets the bits the umask leaves; one
  // that replaces another keeps that file's bits, but never others' write (set by
  // SyncBeside). A folder at the target, or a drive root, is refused (NotRegular).
  virtual FsStatus CreateBeside(const QString& target, std::unique_ptr<BesideFile>& file) = 0;
  // Writes all of the bytes after what was written before; a short write is a failure.
  virtual FsStatus WriteBeside(BesideFile& file, const QByteArray& bytes) = 0;
  // Puts what was written, and the file's bits, on the medium.
  virtual FsStatus SyncBeside(BesideFile& file) = 0;
  // Closes the file and renames it over its target, replacing it.
  virtual FsStatus ReplaceWithBeside(BesideFile& file) = 0;
  // Puts the folder of the file, and with it the rename, on the medium.
  virtual FsStatus SyncBesideFolder(BesideFile& file) = 0;
  virtual FsStatus Append(const QString& path, const QByteArray& content) = 0;

  // Volume functions; the argument is a drive root "X:\".
  virtual DriveType DriveTypeOf(const QString& root) = 0;
  virtual std::optional<VolumeInfo> VolumeOf(const QString& root) = 0;
  virtual std::optional<DiskSpace> FreeSpaceOf(const QString& root) = 0;

  // Shuts the computer down and powers it off; true when the system accepted the request.
  virtual bool ShutdownComputer() = 0;
  // True when the program runs with the rights to read every user's files (root): what it
  // makes on a medium must then not let others read them.
  virtual bool Privileged() const = 0;

  // The host path of a Windows path (the path itself on Windows); nullopt for an unmapped
  // drive. For callers that hand paths to code outside the system, such as the archiver.
  virtual std::optional<QString> HostPath(const QString& path) const = 0;
  // The host path of a Windows path with every link on the way resolved, as far as the path
  // exists (the rest as named), "/" between names; nullopt for an unmapped drive. For telling
  // whether a path lies in a folder, whatever drive letter or link leads there.
  virtual std::optional<QString> RealHostPath(const QString& path) const = 0;

  // Takes the hold on the set `name` of the set folder (a file beside the set file), waiting
  // up to `waitMs` while another process or another hold of this one has it.
  virtual SetLockResult LockSet(const QString& setFolder, const QString& name, LockKind kind, int waitMs) = 0;
  // Removes from one folder (not below it) what killed runs and restores of this program left
  // there: its files written beside their place (".qarno-PID-N.tmp") and its unpacking folders
  // (".qarno-unpack-PID-N"), when the process PID is gone, or is this one and not at work on
  // them. Nothing else is touched, no link followed. Returns how many were removed.
  virtual int RemoveLeftovers(const QString& folder) = 0;
  // A platform for one other thread (a copy worker): the same drives and write anchor, none
  // of this one's caches, and used by that thread alone. None where the platform cannot
  // give one (the test doubles, whose faults are seen in order): the caller then does the
  // work on its own thread.
  virtual std::unique_ptr<Platform> ForWorker() { return nullptr; }
};

// Forwards every call to another platform; tests derive from it and override only the calls
// whose failure they want to inject.
class ForwardingPlatform : public Platform {
 public:
  explicit ForwardingPlatform(Platform& base) : base_(base) {}
  using Platform::Copy;
  using Platform::MkDir;
  std::optional<std::vector<DirEntry>> List(const QString& p) override { return base_.List(p); }
  bool SetCurrentDir(const QString& d) override { return base_.SetCurrentDir(d); }
  QString CurrentDir() const override { return base_.CurrentDir(); }
  bool IsDirectory(const QString& p) override { return base_.IsDirectory(p); }
  bool Exists(const QString& p) override { return base_.Exists(p); }
  std::optional<DirEntry> Stat(const QString& p) override { return base_.Stat(p); }
  std::optional<uint32_t> GetAttr(const QString& p) override { return base_.GetAttr(p); }
  FsStatus SetAttr(const QString& p, uint32_t a) override { return base_.SetAttr(p, a); }
  std::optional<int64_t> FileLen(const QString& p) override { return base_.FileLen(p); }
  std::optional<int64_t> FileTime(const QString& p) override { return base_.FileTime(p); }
  std::optional<uint32_t> DirMode(const QString& p) override { return base_.DirMode(p); }
  void SetWriteAnchor(const QString& d) override { base_.SetWriteAnchor(d); }
  FsStatus MkDir(const QString& p, uint32_t mode) override { return base_.MkDir(p, mode); }
  FsStatus RmDir(const QString& p) override { return base_.RmDir(p); }
  FsStatus Kill(const QString& p) override { return base_.Kill(p); }
  FsStatus Rename(const QString& a, const QString& b) override { return base_.Rename(a, b); }
  CopyResult Copy(const QString& a, const QString& b, const CopyOptions& o) override { return base_.Copy(a, b, o); }
  FsStatus Sync(const QString& p) override { return base_.Sync(p); }
  std::unique_ptr<QIODevice> Open(const QString& p, QIODevice::OpenMode m) override { return base_.Open(p, m); }
  std::unique_ptr<QIODevice> OpenInside(const QString& f, const QString& p) override { return base_.OpenInside(f, p); }
  std::optional<QByteArray> ReadAll(const QString& p) override { return base_.ReadAll(p); }
  FsStatus CreateBeside(const QString& t, std::unique_ptr<BesideFile>& f) override { return base_.CreateBeside(t, f); }
  FsStatus WriteBeside(BesideFile& f, const QByteArray& b) override { return base_.WriteBeside(f, b); }
  FsStatus SyncBeside(BesideFile& f) override { return base_.SyncBeside(f); }
  FsStatus ReplaceWithBeside(BesideFile& f) override { return base_.ReplaceWithBeside(f); }
  FsStatus SyncBesideFolder(BesideFile& f) override { return base_.SyncBesideFolder(f); }
  FsStatus Append(const QString& p, const QByteArray& c) override { return base_.Append(p, c); }
  DriveType DriveTypeOf(const QString& r) override { return base_.DriveTypeOf(r); }
  std::optional<VolumeInfo> VolumeOf(const QString& r) override { return base_.VolumeOf(r); }
  std::optional<DiskSpace> FreeSpaceOf(const QString& r) override { return base_.FreeSpaceOf(r); }
  bool ShutdownComputer() override { return base_.ShutdownComputer(); }
  bool Privileged() const override { return base_.Privileged(); }
  std::optional<QString> HostPath(const QString& p) const override { return base_.HostPath(p); }
  std::optional<QString> RealHostPath(const QString& p) const override { return base_.RealHostPath(p); }
  SetLockResult LockSet(const QString& f, const QString& n, LockKind k, int w) override {
    return base_.LockSet(f, n, k, w);
  }
  int RemoveLeftovers(const QString& f) override { return base_.RemoveLeftovers(f); }

 protected:
  Platform& base_;
};

}  // namespace qarno
