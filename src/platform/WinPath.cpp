// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WinPath.h"

#include <QStringList>

namespace qarno::winpath {

QChar DriveLetter(const QString& path) {
  if (path.size() >= 2 && path[1] == u':' && path[0].isLetter() && path[0].unicode() < 128)
    return path[0].toUpper();
  return QChar();
}

bool IsDriveRoot(const QString& path) {
  return !DriveLetter(path).isNull() && (path.size() == 2 || (path.size() == 3 && path[2] == u'\\'));
}

QString DriveRoot(const QString& path) {
  QString root = path.left(3);
  if (root.size() == 2 && root[1] == u':') root += u'\\';
  return root;
}

QString Join(const QString& a, const QString& b) {
  if (a.endsWith(u'\\')) return a + b;
  return a + u'\\' + b;
}

bool IsSafeAbsolute(const QString& path) {
  if (DriveLetter(path).isNull() || path.size() < 3 || path[2] != u'\\') return false;
  const QStringList parts = path.mid(3).split(u'\\');
  for (const QString& part : parts) {
    if (part == u"." || part == u"..") return false;
  }
  // "/" separates components on every host, so it could smuggle a ".." past the test above.
  return !path.contains(u'/');
}

}  // namespace qarno::winpath
