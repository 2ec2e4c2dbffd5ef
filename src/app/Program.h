// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The composition root: the one place where the parts of a program run are made and joined —
// the settings store, the platform with its drive table, the archiver, the shared module and
// the main window's state — for Qarno (with or without windows), qarno-restore and the
// tests. The prompter is given: the windows bring theirs, a run without a display the
// headless one.
#include "mainwin/Qarno.h"
#include "platform/ArchiverLibrary.h"
#include "platform/HostPlatform.h"

#include <QElapsedTimer>
#include <QSettings>
#include <memory>

namespace qarno {

class Program {
 public:
  explicit Program(Prompter& ui);
  // False when the program folder lies on no drive of the drive table; error says why.
  bool ok() const { return m != nullptr; }
  QString error;

  std::unique_ptr<QSettings> store;
  std::unique_ptr<HostPlatform> fs;
  std::unique_ptr<LoadedArchiver> archiver;
  std::unique_ptr<Module1> m;
  std::unique_ptr<Qarno> main;

  // The main window's start-up without its window: settings, set folder, command line, set
  // file and history, the command line again, the no-compression types, the archiver's
  // packing method.
  void Form_Load(const QString& commandLine);
  // The exit-time save (settings unless an automatic run, the type list, the debug file, the
  // set file and the history); false when a write failed.
  bool Exit();
};

// Why the set named in `main` is not loaded, on one line: that no set file of the name lies in
// the set folder (named as the host sees it), or that the file there could not be read.
QString SetNotLoadedText(const Qarno& main, const DriveTable& drives);

// One line of progress on a terminal's standard error, redrawn at most every 300 ms.
class TerminalLine {
 public:
  explicit TerminalLine(bool enabled);
  bool Due();  // true when the line may be drawn again now
  void Show(QString text);
  void End();

 private:
  bool enabled_;
  bool shown_ = false;
  QElapsedTimer timer_;
};

// True when standard error is a terminal.
bool StderrIsTerminal();

// True when a window can be shown: a display is named, or Qt's platform is chosen by hand.
bool DisplayAvailable();

// The line printed when there is no display and no automatic run was asked for.
QString NoDisplayMessage();

// The Qarno program as far as it goes without windows: --help and --version; without a
// display the headless automatic run, or the one line telling how to run unattended (status
// 3), each in the user's language. Returns the exit status, or -1 when the windows are to be
// shown (no application object is left behind then: the windows make their own). Nothing
// here needs the widget libraries, so a console run never loads them.
int RunQarnoWithoutWindows(int argc, char** argv);

}  // namespace qarno
