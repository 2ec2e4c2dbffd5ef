// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// qarno-restore: restoring a recorded run without a display.
//
//   qarno-restore SETNAME                        the set's history, newest first
//   qarno-restore SETNAME SAVENAME --list        the run's entries and the saves holding them
//   qarno-restore SETNAME SAVENAME [--to TOPDIR] [--path PATH]... [--search-older] [--ignore-medium]
//   qarno-restore SETNAME SAVENAME --verify [--full]   the run's copies: there, whole, unchanged
//   qarno-restore SETNAME --find PATTERN          every run holding a version of the matching paths
//   qarno-restore SETNAME --status                the last run of each level; stale or not
//   --debug N anywhere: the trace of Qarno's "/Dn" (1 with file names, 2 without)
//   qarno-restore --help | -h | --version
//
// The options are read by QCommandLineParser: a wrong one is named on standard error
// (status 2), and a set name beginning with "-" goes after "--".
//
// The set is exactly the one named: a name that cannot be a set's file name (empty, with a
// path separator, "..", ":" or another character Windows refuses, beginning with "/" or a
// quote) stops before anything is read. Blank lines of a listing are skipped.
//
// Exit status: 0 every marked entry restored, 1 some were not, 2 stopped or not started.
// --verify: 0 clean, 1 problems found, 2 could not run. --find: 0 found, 1 nothing found, 2
// could not run. --status: 0 fine (or no warning set), 1 stale, 2 could not run.
#include <QStringList>

namespace qarno {

enum RestoreExitStatus { kRestoreOk = 0, kRestoreIncomplete = 1, kRestoreFailed = 2 };

int RunRestoreConsole(const QStringList& arguments);

// Why the text cannot name a set (one line), or an empty text when it can.
QString SetNameProblem(const QString& name);

}  // namespace qarno
