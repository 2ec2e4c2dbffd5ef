// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The list of file types that a packing run never compresses, kept in "<program>.nct" in the
// program folder: a quoted version record, the count, then one quoted type per record.
#include "common/Module1.h"

namespace qarno {

QStringList DefaultNoCompTypes();  // "lzh", "zip", "mp3", "jpg"
QString NctFilePath(const Module1& m);
// Loads the list into m.NoCompTypes; a file below version 1.02, missing or short reads as
// far as it goes, silently.
void ReadNctFile(Module1& m);
// Writes the list (atomically); on failure the earlier file stays, silently.
void WriteNctFile(Module1& m);

// Adding a type to the list as the type-list dialog does: the text without the blanks
// around it, never twice when letter case is ignored, and never with a comma or a double
// quote (the file's records could not carry them back).
enum class NoCompTypeAdd { Added, Empty, Duplicate, Unusable };
NoCompTypeAdd AddNoCompType(QStringList& list, const QString& text);

}  // namespace qarno
