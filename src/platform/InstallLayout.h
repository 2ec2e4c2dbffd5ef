// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The files an installed Qarno ships beside itself: the programs in bin/, the archiver and
// the notification helper in lib/qarno/, the user guide and the default no-compression types
// in share/qarno/ (from bin/: ../share/qarno). A build folder has the same shape.
#include <QString>

namespace qarno {

// The folder of the shipped data files, or empty when there is none.
QString InstalledDataDir();

// A program folder that has no no-compression type list yet gets the shipped one. On Windows
// the list ships inside the program's own folder, so the first start reads the defaults; the
// per-user program folder on Linux starts the same way. An existing list, even an empty one,
// is never touched; nothing is reported when the copy cannot be made.
void SeedProgramFolder(const QString& hostFolder, const QString& dataDir = InstalledDataDir());

}  // namespace qarno
