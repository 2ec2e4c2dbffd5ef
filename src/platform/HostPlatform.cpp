#include "platform/HostPlatform.h"

#include "platform/WinPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#endif

namespace qarno {

bool MatchesWildcard(const QString& name, const QString& pattern) {
  if (pattern == u"*" || pattern == u"*.*") return true;
  // Iterative glob with one remembered star: linear for the patterns people type.
  qsizetype n = 0, p = 0, starP = -1, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' ||
                               pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starN = n;
    } else if (starP >= 0) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  // "name.*" also matches "name" without an extension, as on Windows.
  if (p + 2 == pattern.size() && pattern[p] == u'.' && pattern[p + 1] == u'*') return true;
  return p == pattern.size();
}

HostPlatform::HostPlatform(DriveTable drives) : drives_(std::move(drives)) {}

std::optional<QString> HostPlatform::HostPath(const QString& path) const {
#ifdef _WIN32
  return path;
#else
  return drives_.ToHost(path);
#endif
}

#ifndef _WIN32

namespace {

QByteArray Native(const QString& hostPath) { return QFile::encodeName(hostPath); }

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

}  // namespace

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
      if (!MatchesWildcard(name, namePattern)) continue;
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
    entry.representable = Representable(raw, name);
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

bool HostPlatform::SetCurrentDir(const QString& dir) {
  // Files of one folder come one after another: the folder that is current already needs
  // no new walk of its path, as long as it still exists.
  if (!dir.isEmpty() && dir == current_) {
    struct stat st;
    if (::stat(".", &st) == 0 && S_ISDIR(st.st_mode) && st.st_nlink > 0) return true;
  }
  auto host = drives_.ToHost(dir);
  if (!host) return false;
  if (::chdir(Native(*host).constData()) != 0) return false;
  current_ = dir;
  if (current_.size() > 3 && current_.endsWith(u'\\')) current_.chop(1);
  if (current_.size() == 2) current_ += u'\\';
  return true;
}

bool HostPlatform::IsDirectory(const QString& path) {
  auto host = drives_.ToHost(path);
  if (!host) return false;
  auto st = HostStat(*host);
  return st && S_ISDIR(st->st_mode) && ::access(Native(*host).constData(), X_OK) == 0;
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

bool HostPlatform::SetAttr(const QString& path, uint32_t attributes) {
  auto host = drives_.ToHost(path);
  if (!host) return false;
  auto st = HostStat(*host);
  if (!st) return false;
  mode_t mode = st->st_mode & 07777;
  // Only read-only has a meaning here; hidden, system and archive are accepted and ignored.
  if (attributes & attr::ReadOnly) mode &= ~mode_t(0222);
  else mode |= S_IWUSR;
  if (mode == (st->st_mode & 07777)) return true;
  return ::chmod(Native(*host).constData(), mode) == 0;
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

bool HostPlatform::MkDir(const QString& path) {
  auto host = drives_.ToHost(path);
  return host && ::mkdir(Native(*host).constData(), 0777) == 0;
}

bool HostPlatform::RmDir(const QString& path) {
  auto host = drives_.ToHost(path);
  if (!host || ::rmdir(Native(*host).constData()) != 0) return false;
  if (current_.startsWith(path, Qt::CaseInsensitive)) current_.clear();  // no longer a place to be
  return true;
}

bool HostPlatform::Kill(const QString& path) {
  auto host = drives_.ToHost(path);
  if (!host) return false;
  struct stat st;
  const QByteArray native = Native(*host);
  if (::lstat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode)) return false;
  return ::unlink(native.constData()) == 0;
}

bool HostPlatform::Rename(const QString& from, const QString& to) {
  auto a = drives_.ToHost(from);
  auto b = drives_.ToHost(to);
  if (!a || !b) return false;
  // Like Windows, renaming never replaces an existing file.
  struct stat st;
  if (::lstat(Native(*b).constData(), &st) == 0) return false;
  return ::rename(Native(*a).constData(), Native(*b).constData()) == 0;
}

std::optional<DirEntry> HostPlatform::CopyFileWithInfo(const QString& from, const QString& to) {
  auto a = drives_.ToHost(from);
  auto b = drives_.ToHost(to);
  if (!a || !b) return std::nullopt;
  const int in = ::open(Native(*a).constData(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return std::nullopt;
  struct stat st;
  if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(in);
    return std::nullopt;
  }
  QByteArray target = Native(*b);
  constexpr int kFlags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
  int out = -1;
  // A copy into the current directory (the copy engine makes each file's folder current)
  // is opened by its name: the kernel need not walk the whole path again.
  const qsizetype slash = to.lastIndexOf(u'\\');
  if (slash > 0 && !current_.isEmpty() && QStringView(to).left(slash) == current_) {
    const QByteArray relative = QFile::encodeName(to.mid(slash + 1));
    if (!relative.isEmpty() && !relative.contains('/')) {
      out = ::open(relative.constData(), kFlags, 0600);
      if (out >= 0) target = relative;
    }
  }
  if (out < 0) out = ::open(target.constData(), kFlags, 0600);
  if (out < 0 && errno == EACCES) {
    // A read-only earlier copy (the copy keeps the source's read-only bit) is replaced.
    ::unlink(target.constData());
    out = ::open(target.constData(), kFlags, 0600);
  }
  if (out < 0) {
    ::close(in);
    return std::nullopt;
  }
  bool ok = true;
  off_t remaining = st.st_size;
  struct stat ost;
  const auto devices = std::make_pair<unsigned long long, unsigned long long>(
      st.st_dev, ::fstat(out, &ost) == 0 ? ost.st_dev : 0);
  bool useRange = !noRangeCopy_.count(devices);
  while (remaining > 0) {
    ssize_t n = -1;
    if (useRange) {
      n = ::copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(std::min<off_t>(remaining, 1 << 30)), 0);
      if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
        useRange = false;
        noRangeCopy_[devices] = true;
        continue;
      }
    } else {
      char buf[1 << 16];
      n = ::read(in, buf, sizeof buf);
      if (n > 0) {
        ssize_t done = 0;
        while (done < n) {
          const ssize_t w = ::write(out, buf + done, static_cast<size_t>(n - done));
          if (w <= 0) {
            n = -1;
            break;
          }
          done += w;
        }
      }
    }
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    if (n == 0) break;  // the source shrank under us; what is there is copied
    remaining -= n;
  }
  if (ok) {
    const struct timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
    ::fchmod(out, st.st_mode & 07777);
    ::futimens(out, times);
  }
  if (::close(out) != 0) ok = false;
  ::close(in);
  if (!ok) return std::nullopt;
  DirEntry e;
  const qsizetype fromSlash = from.lastIndexOf(u'\\');
  e.name = fromSlash < 0 ? from : from.mid(fromSlash + 1);
  e.attributes = AttributesOf(st, e.name);
  e.size = static_cast<int64_t>(st.st_size);
  e.mtime = static_cast<int64_t>(st.st_mtime);
  return e;
}

std::unique_ptr<QIODevice> HostPlatform::Open(const QString& path, QIODevice::OpenMode mode) {
  auto host = drives_.ToHost(path);
  if (!host) return nullptr;
  auto file = std::make_unique<QFile>(*host);
  if (!file->open(mode)) return nullptr;
  return file;
}

std::optional<QByteArray> HostPlatform::ReadAll(const QString& path) {
  auto host = drives_.ToHost(path);
  if (!host) return std::nullopt;
  QFile file(*host);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray data = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return data;
}

bool HostPlatform::WriteAtomic(const QString& path, const QByteArray& content) {
  auto host = drives_.ToHost(path);
  if (!host) return false;
  QSaveFile file(*host);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(content) != content.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

bool HostPlatform::Append(const QString& path, const QByteArray& content) {
  auto host = drives_.ToHost(path);
  if (!host) return false;
  QFile file(*host);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
  return file.write(content) == content.size() && file.flush();
}

namespace {

QString ReadSmallFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(f.read(4096)).trimmed();
}

// udev writes unusual characters of labels as \xNN in the link names.
QString UnescapeUdev(const QString& s) {
  QByteArray out;
  const QByteArray in = QFile::encodeName(s);
  for (qsizetype i = 0; i < in.size(); ++i) {
    if (in[i] == '\\' && i + 3 < in.size() && in[i + 1] == 'x') {
      bool ok = false;
      const int v = in.mid(i + 2, 2).toInt(&ok, 16);
      if (ok) {
        out.append(static_cast<char>(v));
        i += 3;
        continue;
      }
    }
    out.append(in[i]);
  }
  return QString::fromUtf8(out);
}

// The entry of /dev/disk/<dir> whose link resolves to the device, or "".
QString LinkNameFor(const QString& dir, const QString& device) {
  QDir d(dir);
  const QStringList names = d.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
  for (const QString& n : names) {
    if (QFileInfo(d.filePath(n)).canonicalFilePath() == device) return n;
  }
  return QString();
}

uint32_t SerialFromUuid(const QString& uuid) {
  QString hex;
  for (QChar c : uuid) {
    if (c.isDigit() || (c.toLower() >= u'a' && c.toLower() <= u'f')) hex += c;
    else if (c != u'-') return 0;
    if (hex.size() == 8) break;
  }
  if (hex.isEmpty()) return 0;
  bool ok = false;
  const uint32_t v = hex.toUInt(&ok, 16);
  return ok ? v : 0;
}

}  // namespace

HostPlatform::DeviceIdentity HostPlatform::IdentifyDevice(const QString& hostDir) {
  DeviceIdentity id;
  auto st = HostStat(hostDir);
  if (!st) return id;
  const unsigned long long dev = st->st_dev;

  // The mount that holds the directory: the longest mount point that is a prefix of it,
  // preferring entries whose device numbers are the directory's own.
  const QString canonical = QFileInfo(hostDir).canonicalFilePath();
  QFile mounts(QStringLiteral("/proc/self/mountinfo"));
  QString source;
  qsizetype bestLen = -1;
  if (mounts.open(QIODevice::ReadOnly)) {
    const QList<QByteArray> lines = mounts.readAll().split('\n');
    const QByteArray majmin = QByteArray::number(major(dev)) + ':' + QByteArray::number(minor(dev));
    for (const QByteArray& line : lines) {
      const QList<QByteArray> f = line.split(' ');
      if (f.size() < 10) continue;
      const qsizetype dash = f.indexOf("-");
      if (dash < 0 || dash + 2 >= f.size()) continue;
      QString mp = QString::fromUtf8(f[4]);
      mp.replace(QStringLiteral("\\040"), QStringLiteral(" "));
      const bool holds = mp == u"/" || canonical == mp || canonical.startsWith(mp + u'/');
      if (!holds) continue;
      const qsizetype len = mp.size() + (f[2] == majmin ? 100000 : 0);
      if (len >= bestLen) {
        bestLen = len;
        source = QString::fromUtf8(f[dash + 2]);
      }
    }
  }
  QString device;
  if (source.startsWith(u'/')) device = QFileInfo(source).canonicalFilePath();
  if (!device.isEmpty() && device.startsWith(QStringLiteral("/dev/"))) {
    const QString label = LinkNameFor(QStringLiteral("/dev/disk/by-label"), device);
    const QString uuid = LinkNameFor(QStringLiteral("/dev/disk/by-uuid"), device);
    id.volume.name = UnescapeUdev(label);
    id.volume.serial = SerialFromUuid(uuid);
    id.found = !label.isEmpty() || !uuid.isEmpty();
    struct stat dst;
    if (::stat(Native(device).constData(), &dst) == 0 && S_ISBLK(dst.st_mode)) {
      const QString sys = QStringLiteral("/sys/dev/block/%1:%2").arg(major(dst.st_rdev)).arg(minor(dst.st_rdev));
      QString removable = ReadSmallFile(sys + QStringLiteral("/removable"));
      if (removable.isEmpty()) removable = ReadSmallFile(sys + QStringLiteral("/../removable"));
      id.removable = removable == u"1";
    }
  }
  return id;
}

const HostPlatform::CachedVolume& HostPlatform::Volume(const QString& rootIn) {
  const QString root = winpath::DriveRoot(rootIn).toUpper();
  CachedVolume& v = volumeCache_[root];
  if (v.age.isValid() && v.age.elapsed() < 1000) return v;
  v.age.start();
  v.volume.reset();
  v.type = DriveType::NoRootDir;
  auto host = drives_.ToHost(root);
  if (!host) return v;
  auto st = HostStat(*host);
  if (!st || !S_ISDIR(st->st_mode)) return v;
  const DeviceIdentity id = IdentifyDevice(*host);
  v.type = id.removable ? DriveType::Removable : DriveType::Fixed;
  v.volume = id.volume;
  return v;
}

DriveType HostPlatform::GetDriveType(const QString& root) { return Volume(root).type; }

std::optional<VolumeInfo> HostPlatform::GetVolumeInformation(const QString& root) { return Volume(root).volume; }

std::optional<DiskSpace> HostPlatform::GetDiskFreeSpace(const QString& root) {
  auto host = drives_.ToHost(winpath::DriveRoot(root));
  if (!host) return std::nullopt;
  struct statvfs vfs;
  if (::statvfs(Native(*host).constData(), &vfs) != 0) return std::nullopt;
  const unsigned long cluster = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
  DiskSpace space;
  if (cluster % 512 == 0) {
    space.bytesPerSector = 512;
    space.sectorsPerCluster = static_cast<uint32_t>(cluster / 512);
  } else {
    space.bytesPerSector = static_cast<uint32_t>(cluster);
    space.sectorsPerCluster = 1;
  }
  space.freeClusters = vfs.f_bavail;
  space.totalClusters = vfs.f_blocks;
  return space;
}

bool HostPlatform::ExitWindows() {
  return QProcess::execute(QStringLiteral("systemctl"), {QStringLiteral("poweroff")}) == 0;
}

#endif  // !_WIN32

}  // namespace qarno
