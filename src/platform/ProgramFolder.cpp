// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace qarno {

QString ProgramFolderHost() {
#ifdef _WIN32
  return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
#else
  QString dir = qEnvironmentVariable("QARNO_HOME");
  if (dir.isEmpty()) dir = QDir::homePath() + QStringLiteral("/.local/share/Qarno");
  QDir().mkpath(dir);
  const QString canonical = QDir(dir).canonicalPath();
  return canonical.isEmpty() ? QDir::cleanPath(dir) : canonical;
#endif
}

}  // namespace qarno
