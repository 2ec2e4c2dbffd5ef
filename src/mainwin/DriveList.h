// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drives a drive list offers: the letters of the drive table (C: and the [Drives]
// section on Linux), each shown as a Windows drive list shows it — the letter in lower case
// with a colon, then the volume name in brackets (for a drive without one, the directory it
// stands for, as a network drive shows its share). A drive whose directory is missing is
// listed but not ready.
#include "platform/DriveTable.h"
#include "platform/Platform.h"

#include <QList>

namespace qarno {

struct DriveListEntry {
  QChar letter;   // upper case
  QString root;   // "C:\"
  QString text;   // "c: [DATA]"
  bool ready = false;
};

QList<DriveListEntry> ReadDriveList(Platform& fs, const DriveTable& drives);

// The entry of a path's drive; -1 when the list has none.
int DriveIndexOf(const QList<DriveListEntry>& list, const QString& path);

}  // namespace qarno
