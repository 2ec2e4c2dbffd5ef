// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Qarno program: the main window on a display; without one, the headless program for an
// automatic run, or one line telling how to run unattended (exit status 3).
#include <QStringList>

namespace qarno {

class ChildWindows;

// Runs the program; `children` opens the windows of the other parts (null: the stand-ins).
int RunQarno(int argc, char** argv, ChildWindows* children = nullptr);

}  // namespace qarno
