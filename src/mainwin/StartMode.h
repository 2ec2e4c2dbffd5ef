#pragma once
// What the command line asks of the program before anything is loaded: whether a backup run
// is to start by itself (a /B switch, or /S, which implies one).
#include <QString>

namespace qarno {

bool AsksForAutoRun(const QString& commandLine);

}  // namespace qarno
