// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SmallVolume.h"

#include <QFile>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace qarno::test {

SmallVolume::SmallVolume(int kilobytes) {
  if (::geteuid() != 0 || !dir_.isValid()) return;
  const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0755";
  mounted_ = ::mount("qarno-test", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0, options.constData()) == 0;
}

SmallVolume::~SmallVolume() {
  if (mounted_) ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
}

qint64 SmallVolume::FreeBytes() const {
  struct statvfs v;
  if (::statvfs(QFile::encodeName(dir_.path()).constData(), &v) != 0) return 0;
  return qint64(v.f_bavail) * qint64(v.f_frsize);
}

void SmallVolume::Fill(qint64 leaveBytes) {
  QFile filler(dir_.path() + QStringLiteral("/.filler"));
  if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) return;
  const QByteArray block(4096, 'f');
  while (FreeBytes() > leaveBytes) {
    const qint64 step = std::min<qint64>(block.size(), FreeBytes() - leaveBytes);
    if (filler.write(block.constData(), step) != step) break;
  }
}

void SmallVolume::Drain() { QFile::remove(dir_.path() + QStringLiteral("/.filler")); }

}  // namespace qarno::test
