#pragma once
// Qarno without a display: start-up from the command line with the headless prompter, the
// automatic backup run, and the exit. Returns the exit status for scripts: 0 success,
// 1 success with uncopied entries, 2 failed or cancelled, 3 the set could not be loaded.
#include <QStringList>

namespace qarno {

enum ExitStatus { kExitOk = 0, kExitUncopied = 1, kExitFailed = 2, kExitNoSet = 3 };

// The command line as one text, the way Windows hands it over: arguments with blanks are
// enclosed in double quotes.
QString JoinCommandLine(const QStringList& arguments);

int RunConsole(const QStringList& arguments);

}  // namespace qarno
