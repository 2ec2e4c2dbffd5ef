// The Windows side of the platform: the Win32 calls themselves. Paths are used as they are.
#ifdef _WIN32
#include "platform/HostPlatform.h"
#include "platform/WinPath.h"

#include <QFile>
#include <QSaveFile>
#include <windows.h>
// The interface's names, not the ANSI/wide switches of the Windows headers.
#undef CopyFile
#undef GetDriveType
#undef GetVolumeInformation
#undef GetDiskFreeSpace

namespace qarno {

namespace {
std::wstring W(const QString& s) { return s.toStdWString(); }

int64_t FileTimeToUnix(const FILETIME& ft) {
  ULARGE_INTEGER v;
  v.LowPart = ft.dwLowDateTime;
  v.HighPart = ft.dwHighDateTime;
  return static_cast<int64_t>(v.QuadPart / 10000000ULL) - 11644473600LL;
}

DirEntry EntryOf(const WIN32_FIND_DATAW& fd) {
  DirEntry e;
  e.name = QString::fromWCharArray(fd.cFileName);
  e.attributes = fd.dwFileAttributes & 0x3F;
  const bool dir = fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
  e.size = dir ? 0 : (static_cast<int64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
  e.mtime = FileTimeToUnix(fd.ftLastWriteTime);
  // A junction or directory link is listed but never entered.
  e.isDirectory = dir && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
  return e;
}
}  // namespace

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

bool HostPlatform::SetCurrentDir(const QString& dir) {
  if (!SetCurrentDirectoryW(W(dir).c_str())) return false;
  current_ = dir;
  return true;
}

bool HostPlatform::IsDirectory(const QString& path) {
  const DWORD a = GetFileAttributesW(W(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<DirEntry> HostPlatform::Stat(const QString& path) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExW(W(path).c_str(), GetFileExInfoStandard, &d)) return std::nullopt;
  DirEntry e;
  const qsizetype i = path.lastIndexOf(u'\\');
  e.name = i < 0 ? path : path.mid(i + 1);
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

bool HostPlatform::SetAttr(const QString& path, uint32_t attributes) {
  return SetFileAttributesW(W(path).c_str(), attributes) != 0;
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

bool HostPlatform::MkDir(const QString& path) { return CreateDirectoryW(W(path).c_str(), nullptr) != 0; }
bool HostPlatform::RmDir(const QString& path) { return RemoveDirectoryW(W(path).c_str()) != 0; }
bool HostPlatform::Kill(const QString& path) { return DeleteFileW(W(path).c_str()) != 0; }
bool HostPlatform::Rename(const QString& from, const QString& to) { return MoveFileW(W(from).c_str(), W(to).c_str()) != 0; }
std::optional<DirEntry> HostPlatform::CopyFileWithInfo(const QString& from, const QString& to) {
  if (!CopyFileW(W(from).c_str(), W(to).c_str(), FALSE)) return std::nullopt;
  return Stat(from);
}

std::unique_ptr<QIODevice> HostPlatform::Open(const QString& path, QIODevice::OpenMode mode) {
  auto file = std::make_unique<QFile>(path);
  if (!file->open(mode)) return nullptr;
  return file;
}

std::optional<QByteArray> HostPlatform::ReadAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  return file.readAll();
}

bool HostPlatform::WriteAtomic(const QString& path, const QByteArray& content) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(content) != content.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

bool HostPlatform::Append(const QString& path, const QByteArray& content) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
  return file.write(content) == content.size();
}

DriveType HostPlatform::GetDriveType(const QString& root) {
  return static_cast<DriveType>(::GetDriveTypeW(W(winpath::DriveRoot(root)).c_str()));
}

std::optional<VolumeInfo> HostPlatform::GetVolumeInformation(const QString& root) {
  wchar_t name[256] = {0}, fsName[256] = {0};
  DWORD serial = 0, maxLen = 0, flags = 0;
  if (!GetVolumeInformationW(W(winpath::DriveRoot(root)).c_str(), name, 255, &serial, &maxLen, &flags, fsName, 255))
    return std::nullopt;
  return VolumeInfo{QString::fromWCharArray(name), serial};
}

std::optional<DiskSpace> HostPlatform::GetDiskFreeSpace(const QString& root) {
  DWORD spc = 0, bps = 0, freeC = 0, totalC = 0;
  if (!GetDiskFreeSpaceW(W(winpath::DriveRoot(root)).c_str(), &spc, &bps, &freeC, &totalC)) return std::nullopt;
  return DiskSpace{spc, bps, freeC, totalC};
}

bool HostPlatform::ExitWindows() {
  HANDLE token;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES tp{};
    LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &tp.Privileges[0].Luid);
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
    CloseHandle(token);
  }
  return ExitWindowsEx(EWX_SHUTDOWN | EWX_POWEROFF, 0) != 0;
}

}  // namespace qarno
#endif  // _WIN32
