// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the command line asks of the program before anything is loaded: whether a backup run
// is to start by itself (a /B switch, or /S, which implies one).
#include "platform/Words.h"

#include <QStringList>
#include <vector>

namespace qarno {

bool AsksForAutoRun(const QString& commandLine);

// One line for each "/" switch the program does not take as written: a letter it does not
// know (/X1), a value that is no number (/Lx) or out of its range (/L9). The command line is
// read as it always was; this only tells what it passed over.
std::vector<Words> SwitchProblemWords(const QString& commandLine);
// The same in the program's own words.
QStringList SwitchProblems(const QString& commandLine);

}  // namespace qarno
