// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The set file "<set>.qrn": one item per line — version, destination, the options, the save
// list, then "#skip " lines. Writer and reader side by side.
#include "common/Types.h"

namespace qarno {

QStringList FormatSetFile(const BackupSet& set, const QString& programVersion);

// Applies the lines to the set: keys without regard to letter case, the first key a line
// begins with decides, the last occurrence wins, a missing key leaves the field as it was.
// A value that is not a number (or a level outside -1..4) also leaves the field as it was.
// Returns true when a "#SaveLevel=" line was applied.
bool ApplySetFileLines(BackupSet& set, const QStringList& lines);

}  // namespace qarno
