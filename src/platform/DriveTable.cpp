// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DriveTable.h"

#include "platform/WinPath.h"

namespace qarno {

namespace {
int Index(QChar letter) {
  const char16_t c = letter.toUpper().unicode();
  return (c >= u'A' && c <= u'Z') ? c - u'A' : -1;
}

QString StripTrailingSlash(QString dir) {
  while (dir.size() > 1 && dir.endsWith(u'/')) dir.chop(1);
  return dir;
}
}  // namespace

DriveTable::DriveTable() { dirs_[2] = QStringLiteral("/"); }

void DriveTable::Map(QChar letter, const QString& hostDir) {
  const int i = Index(letter);
  if (i >= 0) dirs_[i] = hostDir.isEmpty() ? QString() : StripTrailingSlash(hostDir);
}

void DriveTable::Unmap(QChar letter) { Map(letter, QString()); }

std::optional<QString> DriveTable::HostDir(QChar letter) const {
  const int i = Index(letter);
  if (i < 0 || dirs_[i].isEmpty()) return std::nullopt;
  return dirs_[i];
}

std::optional<QString> DriveTable::ToHost(const QString& winPath) const {
  const QChar letter = winpath::DriveLetter(winPath);
  if (letter.isNull()) return std::nullopt;
  auto dir = HostDir(letter);
  if (!dir) return std::nullopt;
  QString rest = winPath.mid(2);
  while (rest.startsWith(u'\\')) rest.remove(0, 1);
  while (rest.endsWith(u'\\')) rest.chop(1);
  if (rest.isEmpty()) return *dir;
  rest.replace(u'\\', u'/');
  return *dir == u"/" ? u'/' + rest : *dir + u'/' + rest;
}

std::optional<QString> DriveTable::FromHost(const QString& hostPath) const {
  int best = -1;
  qsizetype bestLen = -1;
  for (int i = 0; i < 26; ++i) {
    const QString& d = dirs_[i];
    if (d.isEmpty()) continue;
    const bool holds = d == u"/" ? hostPath.startsWith(u'/')
                                 : (hostPath == d || hostPath.startsWith(d + u'/'));
    if (holds && d.size() > bestLen) {
      best = i;
      bestLen = d.size();
    }
  }
  if (best < 0) return std::nullopt;
  QString rest = dirs_[best] == u"/" ? hostPath.mid(1) : hostPath.mid(bestLen + 1);
  while (rest.endsWith(u'/')) rest.chop(1);
  if (rest.contains(u'\\')) return std::nullopt;
  rest.replace(u'/', u'\\');
  return QString(QChar(char16_t(u'A' + best))) + QStringLiteral(":\\") + rest;
}

}  // namespace qarno
