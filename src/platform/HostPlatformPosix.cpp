// SPDX-License-Identifier: GPL-3.0-or-later
// Files on Linux: every Windows path goes through the drive table; every write works on
// folders opened with the *at calls, so that no link below the write anchor is followed and
// the process's current directory is never touched.
#ifndef _WIN32
#include "platform/HostPlatform.h"
#include "platform/WinPath.h"

#include <QElapsedTimer>
#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <utility>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <set>
#include <unordered_set>
#include <thread>

namespace qarno {

namespace {

QByteArray Native(const QString& hostPath) { return QFile::encodeName(hostPath); }

FsError ErrorOf(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR: return FsError::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY: return FsError::AccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return FsError::NoSpace;
    case ELOOP:
    case EISDIR:
    case ENXIO: return FsError::NotRegular;
    default: return FsError::Other;
  }
}

std::optional<struct stat> HostStat(const QString& hostPath) {
  struct stat st;
  if (::stat(Native(hostPath).constData(), &st) != 0) return std::nullopt;
  return st;
}

QString LastComponent(const QString& winPath) {
  const qsizetype i = winPath.lastIndexOf(u'\\');
  return i < 0 ? winPath : winPath.mid(i + 1);
}

uint32_t AttributesOf(const struct stat& st, const QString& name) {
  uint32_t a = 0;
  if (S_ISDIR(st.st_mode)) a |= attr::Directory;
  else a |= attr::Archive;  // as Windows marks new and changed files
  if (!(st.st_mode & S_IWUSR)) a |= attr::ReadOnly;
  if (name.startsWith(u'.') && name != u"." && name != u"..") a |= attr::Hidden;
  return a;
}

bool HasWildcard(const QString& s) { return s.contains(u'*') || s.contains(u'?'); }

// A name that no Windows path and no listing line can carry without changing its meaning.
bool Representable(const char* raw, const QString& name) {
  if (QFile::encodeName(name) != QByteArray(raw)) return false;
  for (QChar c : name) {
    if (c == u'\\' || c == u'"' || c == u'\r' || c == u'\n') return false;
  }
  return true;
}

// Writes all of the bytes; false (errno set) when any write fails or writes nothing.
bool WriteAll(int fd, const char* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t w = ::write(fd, data + done, size - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) {
      if (w == 0) errno = EIO;
      return false;
    }
    done += static_cast<size_t>(w);
  }
  return true;
}

// Opens a regular file for reading without blocking on a pipe or a device: anything else
// than a regular file is refused at once (errno ENXIO). O_NONBLOCK means nothing to the
// reads of a regular file, so it stays.
// The descriptor when it is a regular file (its status in st), else -1 with errno set and
// the descriptor closed.
int KeepRegular(int fd, struct stat& st) {
  if (fd < 0) return -1;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    errno = S_ISDIR(st.st_mode) ? EISDIR : ENXIO;
    return -1;
  }
  return fd;
}

int OpenRegularForReading(const QByteArray& path, struct stat& st) {
  return KeepRegular(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC), st);
}

// Gives a file made without a name (O_TMPFILE) a name in a folder, never over anything there;
// without the right to link a descriptor directly, through its name in /proc.
int LinkUnnamed(int fd, int dir, const char* name) {
  int linked = ::linkat(fd, "", dir, name, AT_EMPTY_PATH);
  if (linked != 0 && (errno == ENOENT || errno == EPERM)) {
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    linked = ::linkat(AT_FDCWD, self.constData(), dir, name, AT_SYMLINK_FOLLOW);
  }
  return linked;
}

// Renames without replacing: atomically where the file system can, else after a check.
int RenameNoReplace(int fromDir, const char* from, int toDir, const char* to) {
#ifdef SYS_renameat2
  const long r = ::syscall(SYS_renameat2, fromDir, from, toDir, to, 1 /* RENAME_NOREPLACE */);
  if (r == 0 || (errno != EINVAL && errno != ENOSYS)) return static_cast<int>(r);
#endif
  struct stat st;
  if (::fstatat(toDir, to, &st, AT_SYMLINK_NOFOLLOW) == 0) {
    errno = EEXIST;
    return -1;
  }
  return ::renameat(fromDir, from, toDir, to);
}

// Files the program writes for itself are never writable by others; the umask takes what
// else it wants away when the file is made.
constexpr mode_t kOwnFileMode = 0664;

// Names of the files written beside their place: ".qarno-PID-N.tmp". N counts for the whole
// process, so that no two writes of one process ever want the same name.
std::atomic<unsigned> tempCounter{0};
// The names this process is writing now (by their counter): the clearing of leftovers
// never takes them.
std::mutex heldMutex;
std::unordered_set<unsigned>& HeldNumbers() {
  static std::unordered_set<unsigned> numbers;
  return numbers;
}
bool IsHeld(const QByteArray& name) {
  // ".qarno-PID-N.tmp": N after the second dash.
  const qsizetype dash = name.indexOf('-', 7);
  bool ok = false;
  const unsigned n = dash < 0 ? 0 : name.mid(dash + 1, name.size() - dash - 5).toUInt(&ok);
  std::lock_guard<std::mutex> lock(heldMutex);
  return ok && HeldNumbers().count(n) != 0;
}
// When this process started, as near as it knows: an unpacking folder with its pid that is
// older than that was left by an earlier process that had the same pid.
const time_t processStart = ::time(nullptr);

// The process id, asked once (and again in a child after a fork): it names every file a
// copy writes beside its place. Copy workers ask for it at once.
std::atomic<pid_t> cachedPid{0};
pid_t OwnPid() {
  static const bool registered = [] {
    ::pthread_atfork(nullptr, nullptr, [] { cachedPid.store(0, std::memory_order_relaxed); });
    return true;
  }();
  (void)registered;
  pid_t pid = cachedPid.load(std::memory_order_relaxed);
  if (pid == 0) {
    pid = ::getpid();
    cachedPid.store(pid, std::memory_order_relaxed);
  }
  return pid;
}

// A name of the write-beside pattern, registered as held while the file is written.
class TempName {
 public:
  TempName() = default;
  TempName(const TempName&) = delete;
  TempName& operator=(const TempName&) = delete;
  ~TempName() { Release(); }
  // Makes the file exclusively under a new name. A name that is taken (a killed run whose
  // pid has come round again left it) is passed over for the next one; -1 with errno set
  // for any other failure.
  int Create(int dir, mode_t mode) {
    for (int attempt = 0; attempt < 10000; ++attempt) {
      NextName();
      const int fd = ::openat(dir, name_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
      if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
  }
  // Gives an open file a new name of the pattern by `link(name)` (0, or -1 with errno set),
  // passing over names that are taken as Create does.
  template <typename Link>
  int LinkAs(Link link) {
    for (int attempt = 0; attempt < 10000; ++attempt) {
      NextName();
      if (link(name_.constData()) == 0) return 0;
      if (errno != EEXIST) return -1;
    }
    errno = EEXIST;
    return -1;
  }
  const char* get() const { return name_.constData(); }

 private:
  // The next name of the pattern, held from now on.
  void NextName() {
    thread_local pid_t stemPid = 0;
    thread_local QByteArray stem;
    if (stemPid != OwnPid()) {
      stemPid = OwnPid();
      stem = ".qarno-" + QByteArray::number(stemPid) + '-';
    }
    Release();
    number_ = ++tempCounter;
    {
      std::lock_guard<std::mutex> lock(heldMutex);
      HeldNumbers().insert(number_);
    }
    name_ = stem;
    name_ += QByteArray::number(number_);
    name_ += ".tmp";
  }
  void Release() {
    if (number_ == 0) return;
    std::lock_guard<std::mutex> lock(heldMutex);
    HeldNumbers().erase(number_);
    number_ = 0;
  }
  unsigned number_ = 0;
  QByteArray name_;
};

// The pid of a leftover name of the program's own, 0 for any other name.
pid_t LeftoverPid(const QByteArray& name, bool& folder) {
  QByteArray rest;
  if (name.startsWith(".qarno-unpack-")) {
    folder = true;
    rest = name.mid(14);
  } else if (name.startsWith(".qarno-") && name.endsWith(".tmp")) {
    folder = false;
    rest = name.mid(7, name.size() - 11);
  } else {
    return 0;
  }
  const qsizetype dash = rest.indexOf('-');
  if (dash <= 0 || dash + 1 >= rest.size()) return 0;
  for (qsizetype i = 0; i < rest.size(); ++i) {
    if (i != dash && (rest[i] < '0' || rest[i] > '9')) return 0;
  }
  bool ok = false;
  const long pid = rest.left(dash).toLong(&ok);
  return ok && pid > 0 && pid <= 0x3fffffff ? static_cast<pid_t>(pid) : 0;
}

bool ProcessAlive(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

class FlockHold : public SetLock {
 public:
  explicit FlockHold(int fd) : fd_(fd) {}
  ~FlockHold() override { ::close(fd_); }  // the hold goes with its descriptor

 private:
  int fd_;
};

}  // namespace

HostPlatform::HostPlatform(DriveTable drives) : drives_(std::move(drives)) {}

// A regular file below a folder, for reading: every folder from there on, and the file
// itself, is entered without following a link (errno ELOOP for a link, or anything that is
// not a folder, on the way). The folder holding the last file stays open for the next one:
// a run reads a folder's files one after the other, and a folder once entered safely stays
// the folder it was, wherever it is moved or whatever is put in its place.
int HostPlatform::OpenRegularBelow(const QString& hostAnchor, const QString& hostPath, struct stat& st) {
  const QString prefix = hostAnchor.endsWith(u'/') ? hostAnchor : hostAnchor + u'/';
  const qsizetype slash = hostPath.lastIndexOf(u'/');
  if (!hostPath.startsWith(prefix) || slash < prefix.size() - 1 || slash + 1 >= hostPath.size()) {
    errno = EINVAL;
    return -1;
  }
  const QStringView folder = QStringView(hostPath).left(slash);
  if (belowFd_ < 0 || belowAnchor_ != hostAnchor || belowFolder_ != folder) {
    if (belowFd_ >= 0) ::close(belowFd_);
    belowFd_ = -1;
    const QStringList parts = hostPath.mid(prefix.size(), slash - prefix.size() + 1).split(u'/', Qt::SkipEmptyParts);
    if (parts.contains(QStringLiteral("..")) || parts.contains(QStringLiteral("."))) {
      errno = EINVAL;
      return -1;
    }
    // The folders this way shares with the last one stay; a way from another anchor shares none.
    size_t shared = belowAnchor_ == hostAnchor && !belowHeld_.empty() ? 1 : 0;
    while (shared > 0 && shared < belowHeld_.size() && shared <= size_t(parts.size()) &&
           belowHeld_[shared].host == parts[qsizetype(shared) - 1])
      ++shared;
    LetGo(belowHeld_, shared);
    belowAnchor_ = hostAnchor;
    belowFolder_.clear();
    if (belowHeld_.empty()) {
      const int anchorFd = ::open(Native(hostAnchor).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
      if (anchorFd < 0) return -1;
      belowHeld_.push_back({QString(), anchorFd});
    }
    int dir = belowHeld_.back().fd;
    bool owned = false;
    for (qsizetype i = qsizetype(belowHeld_.size()) - 1; i < parts.size(); ++i) {
      const int next = ::openat(dir, Native(parts[i]).constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      const int err = errno == ENOTDIR ? ELOOP : errno;
      if (owned) ::close(dir);
      if (next < 0) {
        errno = err;
        return -1;
      }
      dir = next;
      owned = true;
      if (belowHeld_.size() < kHeldFolders && qsizetype(belowHeld_.size()) == i + 1) {
        belowHeld_.push_back({parts[i], next});
        owned = false;
      }
    }
    if (!owned) {
      dir = ::fcntl(dir, F_DUPFD_CLOEXEC, 0);
      if (dir < 0) return -1;
    }
    belowFd_ = dir;
    belowFolder_ = folder.toString();
  }
  const QString last = hostPath.mid(slash + 1);
  if (last == u"." || last == u"..") {
    errno = EINVAL;
    return -1;
  }
  return KeepRegular(
      ::openat(belowFd_, Native(last).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC), st);
}

bool HostPlatform::Privileged() const { return ::geteuid() == 0; }

HostPlatform::~HostPlatform() {
  LetGo(held_, 0);
  LetGo(belowHeld_, 0);
  if (currentFd_ >= 0) ::close(currentFd_);
  if (belowFd_ >= 0) ::close(belowFd_);
}

void HostPlatform::SetWriteAnchor(const QString& dir) {
  if (dir == anchor_) return;
  anchor_ = dir;
  // The current folder was entered under the old anchor's rule, and so was every one held.
  LetGo(held_, 0);
  if (currentFd_ >= 0) ::close(currentFd_);
  currentFd_ = -1;
  current_.clear();
  currentHost_.clear();
}

void HostPlatform::LetGo(std::vector<HeldFolder>& way, size_t from) {
  for (size_t i = from; i < way.size(); ++i) ::close(way[i].fd);
  if (from < way.size()) way.resize(from);
}

HostPlatform::DirFd& HostPlatform::DirFd::operator=(DirFd&& o) noexcept {
  if (this != &o) {
    if (owned_ && fd_ >= 0) ::close(fd_);
    fd_ = o.fd_;
    owned_ = o.owned_;
    o.fd_ = -1;
  }
  return *this;
}

HostPlatform::DirFd::~DirFd() {
  if (owned_ && fd_ >= 0) ::close(fd_);
}

HostPlatform::DirFd HostPlatform::OpenParent(const QString& winPath, QByteArray& name, FsError& error,
                                             bool checkCurrent) {
  error = FsError::None;
  name.clear();
  if (winpath::IsDriveRoot(winPath)) return OpenDir(winPath, error, checkCurrent);
  QString dir = winPath;
  while (dir.size() > 3 && dir.endsWith(u'\\')) dir.chop(1);
  const qsizetype slash = dir.lastIndexOf(u'\\');
  if (slash < 2) {
    error = FsError::NotFound;
    return DirFd();
  }
  name = QFile::encodeName(dir.mid(slash + 1));
  const QString parent = slash == 2 ? dir.left(3) : dir.left(slash);
  return OpenDir(parent, error, checkCurrent);
}

HostPlatform::DirFd HostPlatform::OpenDir(const QString& winDir, FsError& error, bool checkCurrent) {
  error = FsError::None;
  QString dir = winDir;
  if (dir.size() > 3 && dir.endsWith(u'\\')) dir.chop(1);
  if (dir.size() == 2) dir += u'\\';
  // The current folder is open already (and was entered the same way). Entering it again
  // asks whether it still exists; a write into a folder that went fails by itself.
  if (currentFd_ >= 0 && dir == current_) {
    struct stat st;
    if (!checkCurrent || (::fstat(currentFd_, &st) == 0 && st.st_nlink > 0)) return DirFd(currentFd_, false);
  }
  const auto host = drives_.ToHost(dir);
  if (!host) {
    error = FsError::NotFound;
    return DirFd();
  }
  constexpr int kDirFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
  // Below the anchor, every folder is entered from the anchor on, without following links.
  const auto anchorHost = anchor_.isEmpty() ? std::optional<QString>() : drives_.ToHost(anchor_);
  // (An anchor on a drive mapped to "/" is "/" itself.)
  const QString anchorPrefix = anchorHost && anchorHost->endsWith(u'/') ? *anchorHost : anchorHost.value_or(QString()) + u'/';
  if (anchorHost && (*host == *anchorHost || host->startsWith(anchorPrefix))) {
    // The walk goes on from the deepest folder held from the last one that holds this one:
    // it was entered from the same anchor without following links, so the rest of the way is
    // all there is to check, while its path still names it (not when it went, was replaced
    // or its medium changed: then it and the ones below it are let go).
    constexpr size_t kNone = size_t(-1);
    size_t start = kNone;
    for (size_t i = held_.size(); i-- > 0;) {
      const QString& at = held_[i].host;
      if (*host != at && !host->startsWith(at.endsWith(u'/') ? at : at + u'/')) continue;
      struct stat st;
      struct stat named;
      // (The anchor itself was opened as its path names it, links and all.)
      const QByteArray native = Native(at);
      const int namedOk = i == 0 ? ::stat(native.constData(), &named) : ::lstat(native.constData(), &named);
      if (::fstat(held_[i].fd, &st) == 0 && st.st_nlink > 0 && namedOk == 0 && named.st_dev == st.st_dev &&
          named.st_ino == st.st_ino) {
        start = i;
        break;
      }
      LetGo(held_, i);
    }
    if (start == kNone) {
      LetGo(held_, 0);
      const int fd = ::open(Native(*anchorHost).constData(), kDirFlags);
      if (fd < 0) {
        error = ErrorOf(errno);
        return DirFd();
      }
      held_.push_back({*anchorHost, fd});
      start = 0;
    }
    // What lies below the folders the walk goes through is theirs no more.
    LetGo(held_, start + 1);
    QString at = held_.back().host;
    int fd = held_.back().fd;
    bool owned = false;
    for (const QString& part : host->mid(at.size()).split(u'/', Qt::SkipEmptyParts)) {
      const int next = ::openat(fd, Native(part).constData(), kDirFlags | O_NOFOLLOW);
      const int err = errno;
      if (owned) ::close(fd);
      if (next < 0) {
        error = ErrorOf(err);
        return DirFd();
      }
      at = at.endsWith(u'/') ? at + part : at + u'/' + part;
      fd = next;
      owned = true;
      // A few dozen levels are held; a walk deeper than that keeps only its last folder.
      if (held_.size() < kHeldFolders) {
        held_.push_back({at, fd});
        owned = false;
      }
    }
    if (owned) return DirFd(fd, true);
    // The caller's own descriptor: the held one may be let go by the next walk.
    const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (own < 0) {
      error = ErrorOf(errno);
      return DirFd();
    }
    return DirFd(own, true);
  }
  const int fd = ::open(Native(*host).constData(), kDirFlags);
  if (fd < 0) {
    error = ErrorOf(errno);
    return DirFd();
  }
  return DirFd(fd, true);
}

std::optional<std::vector<DirEntry>> HostPlatform::List(const QString& pattern) {
  const qsizetype slash = pattern.lastIndexOf(u'\\');
  QString dir = slash < 0 ? current_ : pattern.left(slash);
  const QString namePattern = slash < 0 ? pattern : pattern.mid(slash + 1);
  if (dir.size() == 2 && dir[1] == u':') dir += u'\\';
  auto host = drives_.ToHost(dir);
  if (!host) return std::nullopt;
  std::vector<DirEntry> out;
  const QByteArray hostDir = Native(*host);
  DIR* d = ::opendir(hostDir.constData());
  if (!d) return std::nullopt;
  const int dfd = ::dirfd(d);
  const bool wild = HasWildcard(namePattern);
  const QByteArray exactName = Native(namePattern);
  while (struct dirent* e = ::readdir(d)) {
    const char* raw = e->d_name;
    if (raw[0] == '.' && (raw[1] == 0 || (raw[1] == '.' && raw[2] == 0))) continue;
    QString name = QFile::decodeName(raw);
    if (wild) {
      if (!MatchesNamePattern(name, namePattern)) continue;
    } else if (exactName != raw) {
      continue;
    }
    struct stat st;
    if (::fstatat(dfd, raw, &st, 0) != 0) continue;  // vanished or a dangling link
    const bool isDir = S_ISDIR(st.st_mode);
    if (!isDir && !S_ISREG(st.st_mode)) continue;    // fifos, sockets, devices
    bool isLink = e->d_type == DT_LNK;
    if (e->d_type == DT_UNKNOWN) {
      struct stat lst;
      isLink = ::fstatat(dfd, raw, &lst, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(lst.st_mode);
    }
    DirEntry entry;
    // Past the host's path limit nothing can reach the entry by its path: it is not one to
    // take (and a walk that went on below it would never end).
    entry.representable = Representable(raw, name) && hostDir.size() + 2 + qsizetype(std::strlen(raw)) <= PATH_MAX;
    entry.isLink = isLink;
    entry.name = std::move(name);
    entry.attributes = AttributesOf(st, entry.name);
    entry.size = isDir ? 0 : static_cast<int64_t>(st.st_size);
    entry.mtime = static_cast<int64_t>(st.st_mtime);
    // A link to a directory is listed but never entered: no loops, nothing outside the tree.
    entry.isDirectory = isDir && !isLink && ::faccessat(dfd, raw, X_OK, 0) == 0;
    out.push_back(std::move(entry));
    if (!wild) break;
  }
  ::closedir(d);
  return out;
}

bool HostPlatform::SetCurrentDir(const QString& dirIn) {
  QString dir = dirIn;
  if (dir.size() > 3 && dir.endsWith(u'\\')) dir.chop(1);
  if (dir.size() == 2) dir += u'\\';
  FsError error;
  DirFd fd = OpenDir(dir, error, true);
  if (!fd.valid()) return false;
  if (fd.get() == currentFd_) return true;  // the current folder, still there
  if (::faccessat(fd.get(), ".", X_OK, 0) != 0) return false;
  const int owned = fd.Take();  // the walk's own descriptor, or a duplicate of a held one
  if (owned < 0) return false;
  if (currentFd_ >= 0) ::close(currentFd_);
  currentFd_ = owned;
  current_ = dir;
  currentHost_ = drives_.ToHost(dir).value_or(QString());
  return true;
}

bool HostPlatform::IsDirectory(const QString& path) {
  auto host = drives_.ToHost(path);
  if (!host) return false;
  auto st = HostStat(*host);
  return st && S_ISDIR(st->st_mode) && ::access(Native(*host).constData(), X_OK) == 0;
}

bool HostPlatform::Exists(const QString& path) {
  auto host = drives_.ToHost(path);
  struct stat st;
  return host && ::lstat(Native(*host).constData(), &st) == 0;
}

std::optional<DirEntry> HostPlatform::Stat(const QString& path) {
  auto host = drives_.ToHost(path);
  if (!host) return std::nullopt;
  const QByteArray native = Native(*host);
  struct stat st;
  if (::stat(native.constData(), &st) != 0) return std::nullopt;
  const bool isDir = S_ISDIR(st.st_mode);
  if (!isDir && !S_ISREG(st.st_mode)) return std::nullopt;
  DirEntry e;
  e.name = winpath::IsDriveRoot(path) ? QString() : LastComponent(path);
  e.attributes = AttributesOf(st, e.name);
  e.size = isDir ? 0 : static_cast<int64_t>(st.st_size);
  e.mtime = static_cast<int64_t>(st.st_mtime);
  e.isDirectory = isDir && ::access(native.constData(), X_OK) == 0;
  return e;
}

std::optional<uint32_t> HostPlatform::GetAttr(const QString& path) {
  auto host = drives_.ToHost(path);
  if (!host) return std::nullopt;
  auto st = HostStat(*host);
  if (!st) return std::nullopt;
  return AttributesOf(*st, winpath::IsDriveRoot(path) ? QString() : LastComponent(path));
}

FsStatus HostPlatform::SetAttr(const QString& path, uint32_t attributes) {
  // The file a copy has just written has the bits the copy gave it: when the attributes ask
  // for no change of them, nothing is done to it. Any change is made as below, on the file
  // looked at anew (never through a link put in its place since).
  if (!lastCopied_.isEmpty() && path == lastCopied_) {
    const mode_t had = static_cast<mode_t>(lastCopiedMode_);
    lastCopied_.clear();
    if (attributes & attr::ReadOnly ? !(had & 0222) : (had & S_IWUSR) != 0) return FsStatus();
  }
  QByteArray name;
  FsError error;
  // The current folder is not asked again whether it still exists: the look at the name in
  // it below fails by itself when it went, as the write of a copy does.
  DirFd parent = OpenParent(path, name, error, false);
  if (!parent.valid()) return error;
  const char* target = name.isEmpty() ? "." : name.constData();
  struct stat st;
  if (::fstatat(parent.get(), target, &st, AT_SYMLINK_NOFOLLOW) != 0) return ErrorOf(errno);
  if (S_ISLNK(st.st_mode)) return FsError::NotRegular;  // never through a link
  // Only read-only has a meaning here; hidden, system and archive are accepted and ignored.
  // A setuid, setgid or sticky bit does not survive a change.
  mode_t mode = st.st_mode & 0777;
  if (attributes & attr::ReadOnly) mode &= ~mode_t(0222);
  else mode |= S_IWUSR;
  if (mode == (st.st_mode & 07777)) return FsStatus();
  if (::fchmodat(parent.get(), target, mode, 0) != 0) return ErrorOf(errno);
  return FsStatus();
}

std::optional<int64_t> HostPlatform::FileLen(const QString& path) {
  auto host = drives_.ToHost(path);
  if (!host) return std::nullopt;
  auto st = HostStat(*host);
  if (!st) return std::nullopt;
  if (S_ISDIR(st->st_mode)) return 0;
  if (!S_ISREG(st->st_mode)) return std::nullopt;
  return static_cast<int64_t>(st->st_size);
}

std::optional<int64_t> HostPlatform::FileTime(const QString& path) {
  auto host = drives_.ToHost(path);
  if (!host) return std::nullopt;
  auto st = HostStat(*host);
  if (!st) return std::nullopt;
  return static_cast<int64_t>(st->st_mtime);
}

std::optional<uint32_t> HostPlatform::DirMode(const QString& path) {
  auto host = drives_.ToHost(path);
  if (!host) return std::nullopt;
  auto st = HostStat(*host);
  if (!st || !S_ISDIR(st->st_mode)) return std::nullopt;
  return static_cast<uint32_t>(st->st_mode & 0777);
}

FsStatus HostPlatform::MkDir(const QString& path, uint32_t mode) {
  QByteArray name;
  FsError error;
  DirFd parent = OpenParent(path, name, error);
  if (!parent.valid()) return error;
  if (name.isEmpty()) return FsError::Other;  // a drive root is never made
  const mode_t bits = static_cast<mode_t>(mode & 0777);
  if (::mkdirat(parent.get(), name.constData(), bits) != 0) return ErrorOf(errno);
  // The mode asked for, not what the umask leaves of it.
  if (mode != kDefaultDirMode) ::fchmodat(parent.get(), name.constData(), bits, 0);
  return FsStatus();
}

FsStatus HostPlatform::RmDir(const QString& path) {
  lastCopied_.clear();
  QByteArray name;
  FsError error;
  DirFd parent = OpenParent(path, name, error);
  if (!parent.valid()) return error;
  if (name.isEmpty()) return FsError::Other;
  if (::unlinkat(parent.get(), name.constData(), AT_REMOVEDIR) != 0) return ErrorOf(errno);
  if (current_.startsWith(path, Qt::CaseInsensitive)) {  // no longer a place to be
    if (currentFd_ >= 0) ::close(currentFd_);
    currentFd_ = -1;
    current_.clear();
    currentHost_.clear();
  }
  return FsStatus();
}

FsStatus HostPlatform::Kill(const QString& path) {
  lastCopied_.clear();
  QByteArray name;
  FsError error;
  DirFd parent = OpenParent(path, name, error);
  if (!parent.valid()) return error;
  if (name.isEmpty()) return FsError::NotRegular;
  struct stat st;
  if (::fstatat(parent.get(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) return ErrorOf(errno);
  if (S_ISDIR(st.st_mode)) return FsError::NotRegular;
  if (::unlinkat(parent.get(), name.constData(), 0) != 0) return ErrorOf(errno);
  return FsStatus();
}

FsStatus HostPlatform::Rename(const QString& from, const QString& to) {
  lastCopied_.clear();
  QByteArray fromName, toName;
  FsError error;
  DirFd fromDir = OpenParent(from, fromName, error);
  if (!fromDir.valid()) return error;
  DirFd toDir = OpenParent(to, toName, error);
  if (!toDir.valid()) return error;
  if (fromName.isEmpty() || toName.isEmpty()) return FsError::Other;
  // Like Windows, renaming never replaces an existing file.
  if (RenameNoReplace(fromDir.get(), fromName.constData(), toDir.get(), toName.constData()) != 0)
    return errno == EEXIST ? FsError::Other : ErrorOf(errno);
  return FsStatus();
}

CopyResult HostPlatform::Copy(const QString& from, const QString& to, const CopyOptions& options) {
  lastCopied_.clear();
  CopyResult r;
  auto fail = [&r](FsError e, bool sourceSide) {
    r.error = e;
    r.sourceFailed = sourceSide;
    return r;
  };
  // The source first: open, and a regular file.
  const auto hostFrom = drives_.ToHost(from);
  if (!hostFrom) return fail(FsError::NotFound, true);
  if (!options.sourceAnchor.isEmpty() && options.sourceAnchor != anchorWin_) {
    anchorWin_ = options.sourceAnchor;
    anchorHost_ = drives_.ToHost(anchorWin_);
  }
  const std::optional<QString> hostAnchor = options.sourceAnchor.isEmpty() ? std::nullopt : anchorHost_;
  if (!options.sourceAnchor.isEmpty() && !hostAnchor) return fail(FsError::NotFound, true);
  struct stat st;
  const int in = hostAnchor ? OpenRegularBelow(*hostAnchor, *hostFrom, st) : OpenRegularForReading(Native(*hostFrom), st);
  if (in < 0) return fail(ErrorOf(errno), true);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closeIn{in};
  if (options.expectedSize >= 0 && st.st_size < options.expectedSize) return fail(FsError::Other, true);

  // Then the destination's folder, and what is there now.
  QByteArray name;
  FsError error;
  DirFd dir = OpenParent(to, name, error, false);
  if (!dir.valid()) return fail(error, false);
  if (name.isEmpty()) return fail(FsError::NotRegular, false);
  // The copy takes its name only when whole: a new file never shows at its name half
  // written, and a file already there is replaced by a whole copy or left as it was, never
  // when it is a folder or the source. A copy is written as a file without a name, linked
  // in when whole (a kill leaves nothing behind); when the name is taken by then, it is
  // linked beside its place under a temporary name that is then renamed over the other.
  // Where the file system cannot make a file without a name, a copy that replaces another
  // is written beside its place under that temporary name (a kill leaves that name, which
  // the next run or restore into the folder removes). A new file of an unrecorded save is
  // written at its name at once.
  enum class Way { Direct, Unnamed, Beside } way = Way::Beside;
  auto folderOf = [](const QString& path) { return path.left(std::max<qsizetype>(path.lastIndexOf(u'\\'), 0)); };
  TempName beside;
  bool replacing = false;
  struct stat existing;
  auto create = [&]() -> int {
    // A new file of an unrecorded save is made at its name exclusively: that it was not there
    // is what the open itself says, and only a name that is taken is looked at.
    if (options.unrecordedTarget) {
      const int fd = ::openat(dir.get(), name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
      if (fd >= 0 || errno != EEXIST) {
        replacing = false;
        way = Way::Direct;
        return fd;
      }
    }
    // A file without a name touches nothing that is there: whether the name is taken is
    // asked only when it is linked in (see below).
    if (!options.unrecordedTarget && !noUnnamedFiles_.contains(folderOf(to))) {
      const int fd = ::openat(dir.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
      if (fd >= 0 || errno == ENOENT) {
        replacing = false;
        way = Way::Unnamed;
        return fd;
      }
      if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) noUnnamedFiles_.insert(folderOf(to));
    }
    replacing = ::fstatat(dir.get(), name.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    // (Where the name was taken a moment ago and is free again, the file is written beside
    // and renamed all the same.)
    way = Way::Beside;
    return beside.Create(dir.get(), 0600);
  };
  int out = create();
  if (out < 0 && errno == ENOENT && dir.get() == currentFd_) {
    // The current folder went (and may have been made again): entered anew, once.
    ::close(currentFd_);
    currentFd_ = -1;
    current_.clear();
    currentHost_.clear();
    dir = OpenParent(to, name, error, true);
    if (!dir.valid()) return fail(error, false);
    out = create();
  }
  if (out < 0) return fail(ErrorOf(errno), false);
  if (replacing &&
      (S_ISDIR(existing.st_mode) || (existing.st_dev == st.st_dev && existing.st_ino == st.st_ino))) {
    ::close(out);
    ::unlinkat(dir.get(), beside.get(), 0);
    return fail(FsError::NotRegular, false);
  }
  const char* written = way == Way::Direct ? name.constData() : way == Way::Beside ? beside.get() : nullptr;
  auto discard = [&](FsError e, bool sourceSide) {
    ::close(out);
    if (written) ::unlinkat(dir.get(), written, 0);
    return fail(e, sourceSide);
  };

  off_t remaining = st.st_size;
  // The pair of devices is asked for only when the kernel's copy path is wanted and some
  // pair is known not to take it: on the usual run the destination is not looked at again.
  std::pair<unsigned long long, unsigned long long> devices{st.st_dev, 0};
  bool devicesKnown = false;
  auto knowDevices = [&] {
    if (devicesKnown) return;
    struct stat ost;
    devices.second = ::fstat(out, &ost) == 0 ? ost.st_dev : 0;
    devicesKnown = true;
  };
  bool useRange = options.chunk <= 0 && !options.onData;
  if (useRange && !noRangeCopy_.empty()) {
    knowDevices();
    useRange = !noRangeCopy_.count(devices);
  }
  // The kernel copies in one call where it can; the buffer is only for the other way (a
  // copy that hashes what it reads goes this way for every file). It is kept for the
  // thread's next copy: a fresh one per file costs page faults on every file of a run.
  thread_local std::unique_ptr<char[]> buffer;
  thread_local size_t bufferCapacity = 0;
  const size_t bufferSize = options.chunk > 0 ? static_cast<size_t>(options.chunk) : size_t(1) << 18;
  while (remaining > 0) {
    ssize_t n = -1;
    if (useRange) {
      n = ::copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(std::min<off_t>(remaining, 1 << 30)), 0);
      if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
        useRange = false;
        knowDevices();
        noRangeCopy_[devices] = true;
        continue;
      }
      if (n < 0) {
        if (errno == EINTR) continue;
        // The kernel does not say which side failed; a full medium is the destination's.
        const int err = errno;
        return discard(ErrorOf(err), err == EIO);
      }
    } else {
      if (bufferCapacity < bufferSize) {
        buffer.reset(new char[bufferSize]);
        bufferCapacity = bufferSize;
      }
      n = ::read(in, buffer.get(), static_cast<size_t>(std::min<off_t>(remaining, off_t(bufferSize))));
      if (n < 0) {
        if (errno == EINTR) continue;
        return discard(ErrorOf(errno), true);
      }
      if (n > 0 && options.onData) options.onData(buffer.get(), static_cast<size_t>(n));
      if (n > 0 && !WriteAll(out, buffer.get(), static_cast<size_t>(n))) return discard(ErrorOf(errno), false);
    }
    // The source ended before the size it had when it was opened: what arrived is not the
    // file, and no copy of it is kept.
    if (n == 0) return discard(FsError::Other, true);
    remaining -= n;
    if (options.onChunk && !options.onChunk()) return discard(FsError::Other, false);
  }
  // Time and permission bits of the source; never setuid, setgid or sticky.
  const struct timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
  if (::fchmod(out, st.st_mode & 0777) != 0 || ::futimens(out, times) != 0) return discard(ErrorOf(errno), false);
  // A file that replaces another must be on the medium before it takes the other's place.
  if (replacing && ::fsync(out) != 0) return discard(ErrorOf(errno), false);
  if (way == Way::Unnamed) {
    // Linked in whole, never over anything that came meanwhile.
    int linked = LinkUnnamed(out, dir.get(), name.constData());
    if (linked == 0) {
      written = name.constData();  // what a failed close takes away again
    } else if (errno == EEXIST) {
      // The name is taken: the whole copy replaces what is there, as a copy written beside
      // does, never a folder and never the source itself. It is on the medium before it
      // takes the other's place, and takes it under a name beside it first.
      struct stat there;
      if (::fstatat(dir.get(), name.constData(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
          (S_ISDIR(there.st_mode) || (there.st_dev == st.st_dev && there.st_ino == st.st_ino)))
        return discard(FsError::NotRegular, false);
      if (::fsync(out) != 0) return discard(ErrorOf(errno), false);
      if (beside.LinkAs([&](const char* temp) { return LinkUnnamed(out, dir.get(), temp); }) != 0)
        return discard(ErrorOf(errno), false);
      way = Way::Beside;
      written = beside.get();
    } else {
      return discard(ErrorOf(errno), false);
    }
  }
  if (::close(out) != 0) {
    const int err = errno;
    ::unlinkat(dir.get(), written, 0);
    return fail(ErrorOf(err), false);
  }
  if (way == Way::Beside && ::renameat(dir.get(), written, dir.get(), name.constData()) != 0) {
    const int err = errno;
    ::unlinkat(dir.get(), written, 0);
    return fail(ErrorOf(err), false);
  }
  lastCopied_ = to;
  lastCopiedMode_ = st.st_mode & 0777;
  const qsizetype fromSlash = from.lastIndexOf(u'\\');
  r.source.name = fromSlash < 0 ? from : from.mid(fromSlash + 1);
  r.source.attributes = AttributesOf(st, r.source.name);
  r.source.size = static_cast<int64_t>(st.st_size);
  r.source.mtime = static_cast<int64_t>(st.st_mtime);
  return r;
}

FsStatus HostPlatform::Sync(const QString& path) {
  FsError error;
  DirFd dir = OpenDir(path, error, true);
  if (!dir.valid()) return error;
  // An O_PATH descriptor cannot be synced; the folder is opened for reading for it.
  const int fd = ::openat(dir.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return ErrorOf(errno);
  const int r = ::syncfs(fd);
  const int err = errno;
  ::close(fd);
  return r == 0 ? FsStatus() : ErrorOf(err);
}

std::unique_ptr<QIODevice> HostPlatform::Open(const QString& path, QIODevice::OpenMode mode) {
  auto host = drives_.ToHost(path);
  if (!host) return nullptr;
  int fd = -1;
  if (!(mode & QIODevice::WriteOnly)) {
    struct stat st;
    fd = OpenRegularForReading(Native(*host), st);
  } else {
    // The program's own files (debug and log): written where they are, never through a link.
    int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC;
    flags |= (mode & QIODevice::Append) ? O_APPEND : O_TRUNC;
    fd = ::open(Native(*host).constData(), flags, kOwnFileMode);
  }
  if (fd < 0) return nullptr;
  auto file = std::make_unique<QFile>();
  if (!file->open(fd, mode, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return nullptr;
  }
  return file;
}

std::unique_ptr<QIODevice> HostPlatform::OpenInside(const QString& folder, const QString& path) {
  const auto hostFolder = drives_.ToHost(folder);
  const auto hostPath = drives_.ToHost(path);
  if (!hostFolder || !hostPath) return nullptr;
  struct stat st;
  const int fd = OpenRegularBelow(*hostFolder, *hostPath, st);
  if (fd < 0) return nullptr;
  auto file = std::make_unique<QFile>();
  if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return nullptr;
  }
  return file;
}

std::optional<QByteArray> HostPlatform::ReadAll(const QString& path) {
  auto host = drives_.ToHost(path);
  if (!host) return std::nullopt;
  struct stat st;
  const int fd = OpenRegularForReading(Native(*host), st);
  if (fd < 0) return std::nullopt;
  QByteArray data;
  data.reserve(static_cast<qsizetype>(st.st_size));
  char buf[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    data.append(buf, n);
  }
  ::close(fd);
  return data;
}

namespace {

// The file WriteAtomic writes beside its target, with the folder it lies in held open: every
// step acts on the folder the first one entered, whatever happens to the path meanwhile.
class PosixBesideFile : public BesideFile {
 public:
  ~PosixBesideFile() override {
    CloseFile();
    if (dir >= 0) {
      if (created && !placed) ::unlinkat(dir, temp.get(), 0);
      ::close(dir);
    }
  }
  // Closes the file, telling whether the close worked (errno set when not).
  bool CloseFile() {
    if (fd < 0) return true;
    const int r = ::close(fd);
    fd = -1;
    return r == 0;
  }

  int dir = -1;           // the folder, owned
  int fd = -1;            // the file, owned until closed
  TempName temp;          // its name in the folder
  QByteArray name;        // the target's name in the folder
  std::optional<mode_t> keep;  // the bits of the file it replaces
  bool created = false;   // made under its name
  bool placed = false;    // renamed over the target
};

PosixBesideFile* Own(BesideFile& file) { return dynamic_cast<PosixBesideFile*>(&file); }

}  // namespace

int HostPlatform::DirFd::Take() {
  if (fd_ < 0) return -1;
  if (!owned_) return ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
  owned_ = false;
  return std::exchange(fd_, -1);
}

FsStatus HostPlatform::CreateBeside(const QString& target, std::unique_ptr<BesideFile>& file) {
  file.reset();
  QByteArray name;
  FsError error;
  DirFd dir = OpenParent(target, name, error);
  if (!dir.valid()) return error;
  if (name.isEmpty()) return FsError::NotRegular;
  auto beside = std::make_unique<PosixBesideFile>();
  struct stat existing;
  // A new file is made as the umask wants it (the kernel applies it when the file is
  // made; a mode set afterwards would not be); a file replaced keeps its bits, but none
  // that let others write it.
  if (::fstatat(dir.get(), name.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
    if (S_ISDIR(existing.st_mode)) return FsError::NotRegular;
    if (S_ISREG(existing.st_mode)) beside->keep = existing.st_mode & 0775;
  }
  beside->dir = dir.Take();
  if (beside->dir < 0) return ErrorOf(errno);
  beside->fd = beside->temp.Create(beside->dir, beside->keep ? 0600 : kOwnFileMode);
  if (beside->fd < 0) return ErrorOf(errno);
  beside->created = true;
  beside->name = std::move(name);
  beside->target = target;
  const qsizetype slash = target.lastIndexOf(u'\\');
  beside->path = target.left(slash + 1) + QFile::decodeName(beside->temp.get());
  file = std::move(beside);
  return FsStatus();
}

FsStatus HostPlatform::WriteBeside(BesideFile& file, const QByteArray& bytes) {
  PosixBesideFile* f = Own(file);
  if (!f || f->fd < 0) return FsError::Other;
  if (!WriteAll(f->fd, bytes.constData(), static_cast<size_t>(bytes.size()))) return ErrorOf(errno);
  return FsStatus();
}

FsStatus HostPlatform::SyncBeside(BesideFile& file) {
  PosixBesideFile* f = Own(file);
  if (!f || f->fd < 0) return FsError::Other;
  if ((f->keep && ::fchmod(f->fd, *f->keep) != 0) || ::fsync(f->fd) != 0) return ErrorOf(errno);
  return FsStatus();
}

FsStatus HostPlatform::ReplaceWithBeside(BesideFile& file) {
  PosixBesideFile* f = Own(file);
  if (!f || f->placed) return FsError::Other;
  if (!f->CloseFile()) return ErrorOf(errno);
  if (::renameat(f->dir, f->temp.get(), f->dir, f->name.constData()) != 0) return ErrorOf(errno);
  f->placed = true;
  return FsStatus();
}

FsStatus HostPlatform::SyncBesideFolder(BesideFile& file) {
  PosixBesideFile* f = Own(file);
  if (!f) return FsError::Other;
  // The folder is held as a path only; it is opened for reading to be synced.
  const int dfd = ::openat(f->dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return ErrorOf(errno);
  const int r = ::fsync(dfd);
  const int err = errno;
  ::close(dfd);
  return r == 0 ? FsStatus() : ErrorOf(err);
}

FsStatus HostPlatform::Append(const QString& path, const QByteArray& content) {
  auto host = drives_.ToHost(path);
  if (!host) return FsError::NotFound;
  const int fd = ::open(Native(*host).constData(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, kOwnFileMode);
  if (fd < 0) return ErrorOf(errno);
  const bool ok = WriteAll(fd, content.constData(), static_cast<size_t>(content.size()));
  int err = errno;
  if (::close(fd) != 0 && ok) return ErrorOf(errno);
  return ok ? FsStatus() : ErrorOf(err);
}

SetLockResult HostPlatform::LockSet(const QString& setFolder, const QString& name, LockKind kind, int waitMs) {
  SetLockResult r;
  FsError error;
  DirFd dir = OpenDir(setFolder, error, true);
  if (!dir.valid()) {
    r.error = error;
    return r;
  }
  // The hold lives on a file of its own beside the set file; a set folder that cannot be
  // written still lets readers hold an existing one.
  const QByteArray file = Native(name + QStringLiteral(".lck"));
  int fd = ::openat(dir.get(), file.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, kOwnFileMode);
  if (fd < 0 && kind == LockKind::Shared && (errno == EACCES || errno == EROFS))
    fd = ::openat(dir.get(), file.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    r.error = ErrorOf(errno);
    return r;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    r.error = FsError::NotRegular;
    return r;
  }
  QElapsedTimer waited;
  waited.start();
  // flock holds belong to the open file, so a second hold in this very process waits as
  // one of another process would.
  const int op = (kind == LockKind::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
  while (::flock(fd, op) != 0) {
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) {
      r.error = ErrorOf(errno);
      ::close(fd);
      return r;
    }
    r.waited = true;
    if (waited.elapsed() >= waitMs) {
      r.busy = true;
      ::close(fd);
      return r;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  r.lock = std::make_unique<FlockHold>(fd);
  return r;
}

int HostPlatform::RemoveLeftovers(const QString& folder) {
  FsError error;
  DirFd at = OpenDir(folder, error, true);
  if (!at.valid()) return 0;
  const int fd = ::openat(at.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return 0;
  DIR* d = ::fdopendir(fd);
  if (!d) {
    ::close(fd);
    return 0;
  }
  const int dfd = ::dirfd(d);
  struct Leftover {
    QByteArray name;
    bool isFolder;
    bool ours;  // of this process's pid
  };
  std::vector<Leftover> found;
  while (struct dirent* e = ::readdir(d)) {
    bool isFolder = false;
    const QByteArray name(e->d_name);
    const pid_t pid = LeftoverPid(name, isFolder);
    if (pid == 0) continue;
    if (pid != ::getpid() ? ProcessAlive(pid) : (!isFolder && IsHeld(name))) continue;
    found.push_back(Leftover{name, isFolder, pid == ::getpid()});
  }
  int removed = 0;
  for (const auto& [name, isFolder, ours] : found) {
    struct stat st;
    if (::fstatat(dfd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!isFolder) {
      if (!S_ISDIR(st.st_mode) && ::unlinkat(dfd, name.constData(), 0) == 0) ++removed;
      continue;
    }
    if (!S_ISDIR(st.st_mode)) continue;
    // A folder of this process's own pid is a leftover only when it is older than the process.
    if (ours && st.st_mtime >= processStart - 1) continue;
    // What the archiver left in it (files only: it makes no folders), then the folder.
    const int sub = ::openat(dfd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (sub < 0) continue;
    if (DIR* inner = ::fdopendir(sub)) {
      std::vector<QByteArray> names;
      while (struct dirent* e = ::readdir(inner)) {
        const QByteArray n(e->d_name);
        if (n != "." && n != "..") names.push_back(n);
      }
      for (const QByteArray& n : names) {
        struct stat ist;
        if (::fstatat(::dirfd(inner), n.constData(), &ist, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(ist.st_mode))
          ::unlinkat(::dirfd(inner), n.constData(), 0);
      }
      ::closedir(inner);
    } else {
      ::close(sub);
    }
    if (::unlinkat(dfd, name.constData(), AT_REMOVEDIR) == 0) ++removed;
  }
  ::closedir(d);
  return removed;
}

}  // namespace qarno
#endif  // !_WIN32
