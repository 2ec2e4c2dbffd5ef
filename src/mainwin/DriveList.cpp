// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/DriveList.h"

#include "platform/WinPath.h"

namespace qarno {

QList<DriveListEntry> ReadDriveList(Platform& fs, const DriveTable& drives) {
  QList<DriveListEntry> list;
  for (char16_t c = u'A'; c <= u'Z'; ++c) {
    const QChar letter(c);
    const auto host = drives.HostDir(letter);
    if (!host) continue;
    DriveListEntry e;
    e.letter = letter;
    e.root = QString(letter) + QStringLiteral(":\\");
    e.ready = fs.IsDirectory(e.root);
    e.text = QString(letter.toLower()) + u':';
    if (e.ready) {
      const auto volume = fs.VolumeOf(e.root);
      const QString label = volume && !volume->name.isEmpty() ? volume->name : *host;
      e.text += QStringLiteral(" [") + label + u']';
    }
    list.append(e);
  }
  return list;
}

int DriveIndexOf(const QList<DriveListEntry>& list, const QString& path) {
  const QChar letter = winpath::DriveLetter(path);
  for (int i = 0; i < list.size(); ++i) {
    if (list[i].letter == letter) return i;
  }
  return -1;
}

}  // namespace qarno
