// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A hermetic world for one test: a temporary directory mapped as drive T:, its own program
// folder (T:\prog) and settings store, a real host platform and a scripted prompter. Nothing
// outside the temporary directory is touched.
#include "common/Module1.h"
#include "platform/HostPlatform.h"
#include "support/ScriptedPrompter.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <memory>

namespace qarno::test {

class TestEnv {
 public:
  TestEnv();
  ~TestEnv();

  // Host path of a Windows path on T: ("T:\a\b" → "<tmp>/a/b").
  QString Host(const QString& winPath) const;
  QString root() const { return dir_.path(); }

  // Writes a file (creating its directories) and optionally sets its last-write time.
  void WriteFile(const QString& winPath, const QByteArray& content, const QDateTime& mtime = QDateTime());
  QByteArray ReadFile(const QString& winPath) const;
  bool Exists(const QString& winPath) const;
  void MakeDir(const QString& winPath);
  // Sets the last-write time of a file or directory.
  void SetTime(const QString& winPath, const QDateTime& mtime);

  QTemporaryDir dir_;
  HostPlatform fs;
  ScriptedPrompter ui;
  std::unique_ptr<Module1> m;

 private:
  QByteArray savedHome_, savedConfig_, savedBus_, savedSystemBus_;
};

// The usual world of the backup and restore tests: set "daily" saving T:\src to T:\dst
// with plain copies, no reserve check and no used-size count.
void SetUpDailySet(Module1& m, TestEnv& env);

// True once the child process has its handler for the signal in place (waits up to 20 s): a
// stop signal sent before that would kill it instead of asking it to stop.
bool CatchesSignal(qint64 pid, int sig);

}  // namespace qarno::test
