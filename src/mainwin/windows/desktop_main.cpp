// SPDX-License-Identifier: GPL-3.0-or-later
// The windows of Qarno as a library of their own, loaded by the program only when it is about
// to show them: a run without a display never maps the widget libraries.
#include "mainwin/windows/GuiProgram.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT int qarno_desktop_main(int argc, char** argv) { return qarno::RunQarno(argc, argv); }
