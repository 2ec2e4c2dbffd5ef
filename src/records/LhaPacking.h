// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Packing one file of a run into its own LHA archive, and the test whether its type is one
// that is never packed.
#include "common/Module1.h"

namespace qarno {

// True when the file's type is on the no-compression list (`noCompTypes`, entries 1..n held
// from index 0) and ComplexSettingMode is 0.
bool IsNoCompType(int complexSettingMode, const QStringList& noCompTypes, const QString& path);
// Packs the source into the archive (a full path, "<copy>.LZH"); false when the source
// cannot be opened for reading or the archiver fails (the caller then copies plainly). The
// archiver is given host paths: nothing depends on the process's current directory.
bool SaveLha(const RunEnvironment& m, const QString& source, const QString& archive);
// The same without the trace line, on any platform: a copy worker packs with its own
// platform, and the run writes the trace line when it takes the worker's result.
bool PackFile(Platform& fs, ArchiverLibrary* archiver, const QString& source, const QString& archive);

}  // namespace qarno
