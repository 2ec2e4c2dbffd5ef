#pragma once
// The program's parts as a run without a display puts them together: the settings store,
// the platform with its drive table, the headless prompter, the archiver, the shared module
// and the main window's state. Used by Qarno's command-line runs and by qarno-restore.
#include "mainwin/Qarno.h"
#include "platform/ArchiverLibrary.h"
#include "platform/HostPlatform.h"

#include <QElapsedTimer>
#include <QSettings>
#include <memory>

namespace qarno {

class HeadlessProgram {
 public:
  HeadlessProgram();
  // False when the program folder lies on no drive of the drive table; error says why.
  bool ok() const { return m != nullptr; }
  QString error;

  std::unique_ptr<QSettings> store;
  std::unique_ptr<HostPlatform> fs;
  HeadlessPrompter ui;
  std::unique_ptr<LoadedArchiver> archiver;
  std::unique_ptr<Module1> m;
  std::unique_ptr<Qarno> main;

  // Loads the set as the main window's start-up does, then applies the archiver's method.
  void Form_Load(const QString& commandLine);
};

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

}  // namespace qarno
