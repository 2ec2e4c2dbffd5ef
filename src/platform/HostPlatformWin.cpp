// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows side of the platform: the Win32 calls themselves, with wide-character paths so
// that no name is lost to a code page. Paths are Windows paths already.
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include "platform/HostPlatform.h"
#include "platform/WinPath.h"

#include <QFile>

#include <windows.h>

#include <string>
#include <vector>

namespace qarno {

namespace {

std::wstring W(const QString& s) { return s.toStdWString(); }

int64_t FileTimeToUnix(const FILETIME& ft) {
  ULARGE_INTEGER v;
  v.LowPart = ft.dwLowDateTime;
  v.HighPart = ft.dwHighDateTime;
  return static_cast<int64_t>(v.QuadPart / 10000000ULL) - 11644473600LL;
}

FsError ErrorOf(DWORD err) {
  switch (err) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH: return FsError::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: return FsError::AccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return FsError::NoSpace;
    case ERROR_DIRECTORY:
    case ERROR_CANT_ACCESS_FILE: return FsError::NotRegular;
    default: return FsError::Other;
  }
}

FsError LastError() { return ErrorOf(GetLastError()); }

DirEntry EntryOf(const WIN32_FIND_DATAW& fd) {
  DirEntry e;
  e.name = QString::fromWCharArray(fd.cFileName);
  e.attributes = fd.dwFileAttributes & 0x3F;
  const bool dir = fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
  e.size = dir ? 0 : (static_cast<int64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
  e.mtime = FileTimeToUnix(fd.ftLastWriteTime);
  // A junction or directory link is listed but never entered.
  e.isDirectory = dir && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
  e.isLink = (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
             (fd.dwReserved0 == IO_REPARSE_TAG_SYMLINK || fd.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
  return e;
}

// The folder of a path and the path's last component.
QString ParentOf(const QString& path, QString* name = nullptr) {
  QString p = path;
  while (p.size() > 3 && p.endsWith(u'\\')) p.chop(1);
  const qsizetype slash = p.lastIndexOf(u'\\');
  if (name) *name = slash < 0 ? p : p.mid(slash + 1);
  if (slash < 0) return QString();
  return slash == 2 ? p.left(3) : p.left(slash);
}

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (valid()) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE get() const { return h_; }
  void Reset(HANDLE h) {
    if (valid()) CloseHandle(h_);
    h_ = h;
  }
  // Closes now, telling whether the close worked.
  bool Close() {
    const bool ok = CloseHandle(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

bool WriteAll(HANDLE h, const char* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    DWORD written = 0;
    const DWORD step = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 30));
    if (!WriteFile(h, data + done, step, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

QString TempBeside(const QString& path, unsigned counter) {
  return ParentOf(path) + QStringLiteral("\\.qarno-%1-%2.tmp").arg(GetCurrentProcessId()).arg(counter);
}

// Makes a new file beside the path under a name nothing has yet: a name a killed run left
// (its process id has come round again) is passed over for the next one.
HANDLE CreateFileBeside(const QString& path, unsigned& counter, QString& written) {
  for (int attempt = 0; attempt < 10000; ++attempt) {
    written = TempBeside(path, ++counter);
    HANDLE h = CreateFileW(W(written).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE || (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS))
      return h;
  }
  return INVALID_HANDLE_VALUE;
}

// The process id of a leftover name of the program's own, 0 for any other name.
DWORD LeftoverPid(const QString& name, bool& folder) {
  QString rest;
  if (name.startsWith(QStringLiteral(".qarno-unpack-"), Qt::CaseInsensitive)) {
    folder = true;
    rest = name.mid(14);
  } else if (name.startsWith(QStringLiteral(".qarno-"), Qt::CaseInsensitive) &&
             name.endsWith(QStringLiteral(".tmp"), Qt::CaseInsensitive)) {
    folder = false;
    rest = name.mid(7, name.size() - 11);
  } else {
    return 0;
  }
  const QStringList parts = rest.split(u'-');
  bool okPid = false, okCount = false;
  if (parts.size() != 2) return 0;
  const DWORD pid = parts[0].toULong(&okPid);
  parts[1].toULong(&okCount);
  return okPid && okCount ? pid : 0;
}

bool ProcessAlive(DWORD pid) {
  HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!h) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  const bool alive = GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
  CloseHandle(h);
  return alive;
}

class FileLockHold : public SetLock {
 public:
  explicit FileLockHold(HANDLE h) : h_(h) {}
  ~FileLockHold() override { CloseHandle(h_); }  // the lock goes with the handle

 private:
  HANDLE h_;
};

}  // namespace

HostPlatform::HostPlatform(DriveTable drives) : drives_(std::move(drives)) {}
HostPlatform::~HostPlatform() = default;

bool HostPlatform::Privileged() const { return false; }

void HostPlatform::SetWriteAnchor(const QString& dir) { anchor_ = dir; }

std::optional<std::vector<DirEntry>> HostPlatform::List(const QString& pattern) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(W(pattern).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD err = GetLastError();
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_NO_MORE_FILES) return std::vector<DirEntry>();
    return std::nullopt;
  }
  std::vector<DirEntry> out;
  do {
    const QString name = QString::fromWCharArray(fd.cFileName);
    if (name == u"." || name == u"..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) continue;
    out.push_back(EntryOf(fd));
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return out;
}

bool HostPlatform::SetCurrentDir(const QString& dirIn) {
  QString dir = dirIn;
  if (dir.size() > 3 && dir.endsWith(u'\\')) dir.chop(1);
  if (dir.size() == 2) dir += u'\\';
  if (!IsDirectory(dir)) return false;
  current_ = dir;
  return true;
}

bool HostPlatform::IsDirectory(const QString& path) {
  const DWORD a = GetFileAttributesW(W(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool HostPlatform::Exists(const QString& path) {
  return GetFileAttributesW(W(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<DirEntry> HostPlatform::Stat(const QString& path) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExW(W(path).c_str(), GetFileExInfoStandard, &d)) return std::nullopt;
  DirEntry e;
  const qsizetype i = path.lastIndexOf(u'\\');
  e.name = winpath::IsDriveRoot(path) ? QString() : (i < 0 ? path : path.mid(i + 1));
  e.attributes = d.dwFileAttributes & 0x3F;
  const bool dir = d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
  e.size = dir ? 0 : (static_cast<int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  e.mtime = FileTimeToUnix(d.ftLastWriteTime);
  e.isDirectory = dir;
  return e;
}

std::optional<uint32_t> HostPlatform::GetAttr(const QString& path) {
  const DWORD a = GetFileAttributesW(W(path).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return a;
}

FsStatus HostPlatform::SetAttr(const QString& path, uint32_t attributes) {
  const DWORD a = GetFileAttributesW(W(path).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return LastError();
  if (a & FILE_ATTRIBUTE_REPARSE_POINT) return FsError::NotRegular;  // never through a link
  if (!SetFileAttributesW(W(path).c_str(), attributes)) return LastError();
  return FsStatus();
}

std::optional<int64_t> HostPlatform::FileLen(const QString& path) {
  auto e = Stat(path);
  if (!e) return std::nullopt;
  return e->size;
}

std::optional<int64_t> HostPlatform::FileTime(const QString& path) {
  auto e = Stat(path);
  if (!e) return std::nullopt;
  return e->mtime;
}

std::optional<uint32_t> HostPlatform::DirMode(const QString& path) {
  if (!IsDirectory(path)) return std::nullopt;
  return 0777u;  // permissions travel with the access lists on Windows, not with modes
}

FsStatus HostPlatform::MkDir(const QString& path, uint32_t) {
  if (!CreateDirectoryW(W(path).c_str(), nullptr)) return LastError();
  return FsStatus();
}

FsStatus HostPlatform::RmDir(const QString& path) {
  if (!RemoveDirectoryW(W(path).c_str())) return LastError();
  if (current_.startsWith(path, Qt::CaseInsensitive)) current_.clear();
  return FsStatus();
}

FsStatus HostPlatform::Kill(const QString& path) {
  if (!DeleteFileW(W(path).c_str())) return LastError();
  return FsStatus();
}

FsStatus HostPlatform::Rename(const QString& from, const QString& to) {
  if (!MoveFileExW(W(from).c_str(), W(to).c_str(), 0)) return LastError();  // never replaces
  return FsStatus();
}

CopyResult HostPlatform::Copy(const QString& from, const QString& to, const CopyOptions& options) {
  CopyResult r;
  auto fail = [&r](FsError e, bool sourceSide) {
    r.error = e;
    r.sourceFailed = sourceSide;
    return r;
  };
  Handle in(CreateFileW(W(from).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!in.valid()) return fail(LastError(), true);
  BY_HANDLE_FILE_INFORMATION src;
  if (!GetFileInformationByHandle(in.get(), &src) || (src.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
      GetFileType(in.get()) != FILE_TYPE_DISK)
    return fail(FsError::NotRegular, true);
  const uint64_t sourceSize = (static_cast<uint64_t>(src.nFileSizeHigh) << 32) | src.nFileSizeLow;
  if (options.expectedSize >= 0 && sourceSize < static_cast<uint64_t>(options.expectedSize))
    return fail(FsError::Other, true);

  // What is at the destination now: a folder, or the source itself, is never written over.
  bool exists = false;
  {
    Handle there(CreateFileW(W(to).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (there.valid()) {
      exists = true;
      BY_HANDLE_FILE_INFORMATION dst;
      if (GetFileInformationByHandle(there.get(), &dst) &&
          ((dst.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
           (dst.dwVolumeSerialNumber == src.dwVolumeSerialNumber && dst.nFileIndexHigh == src.nFileIndexHigh &&
            dst.nFileIndexLow == src.nFileIndexLow)))
        return fail(FsError::NotRegular, false);
    }
  }
  // Written beside its place, and there only when whole: a new file never shows half
  // written under its name.
  QString written;
  Handle out(CreateFileBeside(to, copyCounter_, written));
  if (!out.valid()) return fail(LastError(), false);
  auto discard = [&](FsError e, bool sourceSide) {
    out.Close();
    DeleteFileW(W(written).c_str());
    return fail(e, sourceSide);
  };
  uint64_t remaining = (static_cast<uint64_t>(src.nFileSizeHigh) << 32) | src.nFileSizeLow;
  std::vector<char> buffer(options.chunk > 0 ? static_cast<size_t>(options.chunk) : size_t(1) << 20);
  while (remaining > 0) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<uint64_t>(remaining, buffer.size()));
    if (!ReadFile(in.get(), buffer.data(), want, &got, nullptr)) return discard(LastError(), true);
    if (got == 0) return discard(FsError::Other, true);  // the source ended early: no copy
    if (got > 0 && options.onData) options.onData(buffer.data(), got);
    if (!WriteAll(out.get(), buffer.data(), got)) return discard(LastError(), false);
    remaining -= got;
    if (options.onChunk && !options.onChunk()) return discard(FsError::Other, false);
  }
  if (!SetFileTime(out.get(), nullptr, nullptr, &src.ftLastWriteTime)) return discard(LastError(), false);
  if (exists && !FlushFileBuffers(out.get())) return discard(LastError(), false);
  if (!out.Close()) {
    const FsError e = LastError();
    DeleteFileW(W(written).c_str());
    return fail(e, false);
  }
  if (!MoveFileExW(W(written).c_str(), W(to).c_str(),
                   (exists ? MOVEFILE_REPLACE_EXISTING : 0) | MOVEFILE_WRITE_THROUGH)) {
    const FsError e = LastError();
    DeleteFileW(W(written).c_str());
    return fail(e, false);
  }
  SetFileAttributesW(W(to).c_str(), src.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
  const qsizetype slash = from.lastIndexOf(u'\\');
  r.source.name = slash < 0 ? from : from.mid(slash + 1);
  r.source.attributes = src.dwFileAttributes & 0x3F;
  r.source.size = static_cast<int64_t>((static_cast<uint64_t>(src.nFileSizeHigh) << 32) | src.nFileSizeLow);
  r.source.mtime = FileTimeToUnix(src.ftLastWriteTime);
  return r;
}

FsStatus HostPlatform::Sync(const QString&) {
  // Flushing a whole volume needs administrator rights on Windows; the copies that replace
  // others are flushed one by one, and the listing and history as they are written.
  return FsStatus();
}

std::unique_ptr<QIODevice> HostPlatform::Open(const QString& path, QIODevice::OpenMode mode) {
  if (!(mode & QIODevice::WriteOnly)) {
    const DWORD a = GetFileAttributesW(W(path).c_str());
    if (a == INVALID_FILE_ATTRIBUTES || (a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))) return nullptr;
  }
  auto file = std::make_unique<QFile>(path);
  if (!file->open(mode)) return nullptr;
  return file;
}

std::unique_ptr<QIODevice> HostPlatform::OpenInside(const QString& folder, const QString& path) {
  QString base = folder;
  while (base.endsWith(u'\\')) base.chop(1);
  if (!path.startsWith(base + u'\\', Qt::CaseInsensitive)) return nullptr;
  const QStringList parts = path.mid(base.size() + 1).split(u'\\', Qt::SkipEmptyParts);
  if (parts.isEmpty() || parts.contains(QStringLiteral("..")) || parts.contains(QStringLiteral("."))) return nullptr;
  // Every step from the folder on is looked at before it is taken: a junction, a symbolic
  // link or another reparse point is never entered, nor read.
  QString at = base;
  for (const QString& part : parts) {
    at += u'\\' + part;
    const DWORD a = GetFileAttributesW(W(at).c_str());
    if (a == INVALID_FILE_ATTRIBUTES || (a & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE))) return nullptr;
  }
  return Open(path, QIODevice::ReadOnly);
}

std::optional<QByteArray> HostPlatform::ReadAll(const QString& path) {
  auto file = Open(path, QIODevice::ReadOnly);
  if (!file) return std::nullopt;
  QByteArray data = file->readAll();
  if (static_cast<QFile*>(file.get())->error() != QFileDevice::NoError) return std::nullopt;
  return data;
}

namespace {

// The file WriteAtomic writes beside its target.
class WinBesideFile : public BesideFile {
 public:
  ~WinBesideFile() override {
    if (out.valid()) out.Close();
    if (created && !placed) DeleteFileW(W(path).c_str());
  }
  Handle out{INVALID_HANDLE_VALUE};
  bool created = false;
  bool placed = false;
};

WinBesideFile* Own(BesideFile& file) { return dynamic_cast<WinBesideFile*>(&file); }

}  // namespace

FsStatus HostPlatform::CreateBeside(const QString& target, std::unique_ptr<BesideFile>& file) {
  file.reset();
  auto beside = std::make_unique<WinBesideFile>();
  QString temp;
  HANDLE h = CreateFileBeside(target, copyCounter_, temp);
  if (h == INVALID_HANDLE_VALUE) return LastError();
  beside->out.Reset(h);
  beside->created = true;
  beside->target = target;
  beside->path = temp;
  file = std::move(beside);
  return FsStatus();
}

FsStatus HostPlatform::WriteBeside(BesideFile& file, const QByteArray& bytes) {
  WinBesideFile* f = Own(file);
  if (!f || !f->out.valid()) return FsError::Other;
  if (!WriteAll(f->out.get(), bytes.constData(), static_cast<size_t>(bytes.size()))) return LastError();
  return FsStatus();
}

FsStatus HostPlatform::SyncBeside(BesideFile& file) {
  WinBesideFile* f = Own(file);
  if (!f || !f->out.valid()) return FsError::Other;
  if (!FlushFileBuffers(f->out.get())) return LastError();
  return FsStatus();
}

FsStatus HostPlatform::ReplaceWithBeside(BesideFile& file) {
  WinBesideFile* f = Own(file);
  if (!f || f->placed || !f->out.valid()) return FsError::Other;
  if (!f->out.Close() ||
      !MoveFileExW(W(f->path).c_str(), W(f->target).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return LastError();
  f->placed = true;
  return FsStatus();
}

// The rename was written through to the medium already.
FsStatus HostPlatform::SyncBesideFolder(BesideFile&) { return FsStatus(); }

FsStatus HostPlatform::Append(const QString& path, const QByteArray& content) {
  Handle out(CreateFileW(W(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr));
  if (!out.valid()) return LastError();
  if (!WriteAll(out.get(), content.constData(), static_cast<size_t>(content.size()))) return LastError();
  if (!out.Close()) return LastError();
  return FsStatus();
}

DriveType HostPlatform::DriveTypeOf(const QString& root) {
  return static_cast<DriveType>(::GetDriveTypeW(W(winpath::DriveRoot(root)).c_str()));
}

std::optional<VolumeInfo> HostPlatform::VolumeOf(const QString& root) {
  wchar_t name[MAX_PATH + 1] = {0}, fsName[MAX_PATH + 1] = {0};
  DWORD serial = 0, maxLen = 0, flags = 0;
  if (!::GetVolumeInformationW(W(winpath::DriveRoot(root)).c_str(), name, MAX_PATH + 1, &serial, &maxLen, &flags,
                               fsName, MAX_PATH + 1))
    return std::nullopt;
  return VolumeInfo{QString::fromWCharArray(name), serial};
}

std::optional<DiskSpace> HostPlatform::FreeSpaceOf(const QString& root) {
  const std::wstring r = W(winpath::DriveRoot(root));
  DWORD spc = 0, bps = 0, freeC = 0, totalC = 0;
  if (!::GetDiskFreeSpaceW(r.c_str(), &spc, &bps, &freeC, &totalC)) return std::nullopt;
  // The cluster counts of the old call stop at 2^32 - 1 clusters; the 64-bit byte counts,
  // free to this user, give the real figures on large volumes.
  ULARGE_INTEGER freeToCaller, total, totalFree;
  DiskSpace space{spc, bps, freeC, totalC};
  const uint64_t cluster = uint64_t(spc) * bps;
  if (cluster > 0 && ::GetDiskFreeSpaceExW(r.c_str(), &freeToCaller, &total, &totalFree)) {
    space.freeClusters = freeToCaller.QuadPart / cluster;
    space.totalClusters = total.QuadPart / cluster;
  }
  return space;
}

bool HostPlatform::ShutdownComputer() {
  // Shutting down needs the shutdown privilege enabled in the process's token.
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  TOKEN_PRIVILEGES tp{};
  tp.PrivilegeCount = 1;
  tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  const bool enabled = LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &tp.Privileges[0].Luid) &&
                       AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr) &&
                       GetLastError() == ERROR_SUCCESS;
  CloseHandle(token);
  if (!enabled) return false;
  return ExitWindowsEx(EWX_SHUTDOWN | EWX_POWEROFF, SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_FLAG_PLANNED) != 0;
}

SetLockResult HostPlatform::LockSet(const QString& setFolder, const QString& name, LockKind kind, int waitMs) {
  SetLockResult r;
  const std::wstring path = W(winpath::Join(setFolder, name + QStringLiteral(".lck")));
  constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShare, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE && kind == LockKind::Shared)
    h = CreateFileW(path.c_str(), GENERIC_READ, kShare, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    r.error = LastError();
    return r;
  }
  const DWORD flags = (kind == LockKind::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0) | LOCKFILE_FAIL_IMMEDIATELY;
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    OVERLAPPED at{};
    if (LockFileEx(h, flags, 0, 1, 0, &at)) break;
    if (GetLastError() != ERROR_LOCK_VIOLATION && GetLastError() != ERROR_IO_PENDING) {
      r.error = LastError();
      CloseHandle(h);
      return r;
    }
    r.waited = true;
    if (GetTickCount64() - start >= static_cast<ULONGLONG>(waitMs)) {
      r.busy = true;
      CloseHandle(h);
      return r;
    }
    Sleep(50);
  }
  r.lock = std::make_unique<FileLockHold>(h);
  return r;
}

int HostPlatform::RemoveLeftovers(const QString& folder) {
  // Only leftovers of processes that are gone: this process keeps no list of its own here.
  const auto entries = List(winpath::Join(folder, QStringLiteral(".qarno-*")));
  if (!entries) return 0;
  int removed = 0;
  for (const DirEntry& e : *entries) {
    bool isFolder = false;
    const DWORD pid = LeftoverPid(e.name, isFolder);
    if (pid == 0 || pid == GetCurrentProcessId() || ProcessAlive(pid)) continue;
    const QString path = winpath::Join(folder, e.name);
    const DWORD a = GetFileAttributesW(W(path).c_str());
    if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    if (!isFolder) {
      if (!(a & FILE_ATTRIBUTE_DIRECTORY) && DeleteFileW(W(path).c_str())) ++removed;
      continue;
    }
    if (!(a & FILE_ATTRIBUTE_DIRECTORY)) continue;
    if (const auto inner = List(winpath::Join(path, QStringLiteral("*.*")))) {
      for (const DirEntry& f : *inner) {
        if (!(f.attributes & attr::Directory)) DeleteFileW(W(winpath::Join(path, f.name)).c_str());
      }
    }
    if (RemoveDirectoryW(W(path).c_str())) ++removed;
  }
  return removed;
}

}  // namespace qarno
#endif  // _WIN32
