// SPDX-License-Identifier: GPL-3.0-or-later
// Volumes on Linux: which device holds a drive's directory, its label and serial (from
// udev's by-label and by-uuid links), whether it is removable, and its free space.
#ifndef _WIN32
#include "platform/HostPlatform.h"
#include "platform/WinPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

namespace qarno {

namespace {
QByteArray Native(const QString& hostPath) { return QFile::encodeName(hostPath); }

std::optional<struct stat> HostStat(const QString& hostPath) {
  struct stat st;
  if (::stat(Native(hostPath).constData(), &st) != 0) return std::nullopt;
  return st;
}
}  // namespace

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

DriveType HostPlatform::DriveTypeOf(const QString& root) { return Volume(root).type; }

std::optional<VolumeInfo> HostPlatform::VolumeOf(const QString& root) { return Volume(root).volume; }

std::optional<DiskSpace> HostPlatform::FreeSpaceOf(const QString& root) {
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

bool HostPlatform::ShutdownComputer() {
  // The power-off is the program's to give (through the login manager); without one the
  // request is refused and the program stays open.
  return powerOff_ ? powerOff_() : false;
}

}  // namespace qarno
#endif  // !_WIN32
