// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Qarno without a display: start-up from the command line with the headless prompter, the
// automatic backup run, and the exit. Returns the exit status for scripts: 0 success,
// 1 success with uncopied entries, 2 failed or cancelled, 3 the set could not be loaded.
#include <QStringList>
#include <cstdio>
#include <functional>

namespace qarno {

enum ExitStatus { kExitOk = 0, kExitUncopied = 1, kExitFailed = 2, kExitNoSet = 3 };

struct RunOutcome;
// The exit status of a backup run that took place: failed or cancelled 2, uncopied entries
// 1, else 0. The console and the run window both answer with it.
ExitStatus ExitStatusOf(const RunOutcome& outcome);

// The command line as one text, the way Windows hands it over: arguments with blanks are
// enclosed in double quotes.
QString JoinCommandLine(const QStringList& arguments);

int RunConsole(const QStringList& arguments);

// Qarno --help (or -h) and --version: the usage or the version on `out` and status 0; -1
// when the command line asks for neither. Nothing is loaded first, and no display is needed.
int HelpOrVersion(const QStringList& arguments, std::FILE* out);
bool AsksForHelpOrVersion(const QStringList& arguments);

class Qarno;
class DriveTable;
// Tells on standard error why an automatic run has no set to run: no name given (the short
// usage), or the set named is not there or cannot be read (the set and where it was looked
// for). A name the name rule refused has been told already, with its reason.
void TellNoSet(const Qarno& main, const DriveTable& drives);

// The shutdown confirmation without a display: 30 seconds counted down on `out` ("残り" n
// "秒" once a second). `stop` is asked ten times a second and cancels it when true (a stop
// signal: Ctrl+C, SIGTERM); `wait` waits a tenth of a second. True when the time ran out.
bool ConsoleShutdownCountdown(const std::function<bool()>& stop, const std::function<void()>& wait, std::FILE* out);

}  // namespace qarno
