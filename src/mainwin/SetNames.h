// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Names the user types for sets and set folders become file and folder names: what may be
// typed, and the sets and set folders that exist. Shared by the set dialogs and their tests.
#include "platform/Platform.h"
#include "platform/Words.h"

#include <QString>
#include <QStringList>

namespace qarno {

// Why the name cannot name a set file or a set folder (a Windows file name without a path):
// "" when it can. Refused: a path separator, ":", the characters < > " | ? *, control
// characters, "." and "..", a trailing dot or blank, and the device names CON, PRN, AUX,
// NUL, COM1..COM9, LPT1..LPT9 (with or without an extension). An empty name is the
// caller's own case.
Words InvalidNameWords(const QString& name);
// The same, in the user's language only.
QString InvalidNameReason(const QString& name);

// The sets of a folder: the names of its "*.qrn" files without the extension, ordered as a
// file list shows them (without regard to letter case).
QStringList ListSetNames(Platform& fs, const QString& folder);

// The folders directly below a folder, ordered the same way.
QStringList ListSubfolders(Platform& fs, const QString& folder);

}  // namespace qarno
