// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace qarno {

// The host directory of the program's own files (set folder, debug file, type list): on
// Windows the executable's folder; on Linux $QARNO_HOME, else ~/.local/share/Qarno. Created
// when missing.
QString ProgramFolderHost();

}  // namespace qarno
