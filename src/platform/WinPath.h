// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Windows-path text helpers. Inside Qarno every path is a Windows path ("C:\dir\file",
// "\" separator, a drive root written "C:\"), whatever the host system is.
#include <QString>

namespace qarno::winpath {

// The drive letter of "X:..." in upper case, or QChar() when the path has no drive.
QChar DriveLetter(const QString& path);

// True for "X:\" (and "X:"), the root of a drive.
bool IsDriveRoot(const QString& path);

// The first three characters of a path as a drive root ("C:\data" → "C:\", "C:" → "C:\").
QString DriveRoot(const QString& path);

// a & "\" & b, without doubling the separator when a already ends with one.
QString Join(const QString& a, const QString& b);

// True when the path is absolute on a drive ("X:\...") and has no "." or ".." component:
// the only kind of path that may be written to from a listing or history record.
bool IsSafeAbsolute(const QString& path);

}  // namespace qarno::winpath
