// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/InstallLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qarno {

QString InstalledDataDir() {
  if (!QCoreApplication::instance()) return QString();
  const QFileInfo dir(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/qarno"));
  return dir.isDir() ? dir.canonicalFilePath() : QString();
}

void SeedProgramFolder(const QString& hostFolder, const QString& dataDir) {
  if (hostFolder.isEmpty() || dataDir.isEmpty()) return;
  const QString name = QStringLiteral("Qarno.nct");
  const QString target = QDir(hostFolder).filePath(name);
  const QString shipped = QDir(dataDir).filePath(name);
  if (QFileInfo::exists(target) || !QFileInfo(shipped).isFile()) return;
  // Copied under a temporary name and renamed, so that two first starts at once never
  // leave half a list behind.
  const QString partial = target + QStringLiteral(".new");
  QFile::remove(partial);
  if (!QFile::copy(shipped, partial)) return;
  QFile::setPermissions(partial, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                     QFileDevice::ReadOther);
  if (!QFileInfo::exists(target)) QFile::rename(partial, target);
  QFile::remove(partial);
}

}  // namespace qarno
