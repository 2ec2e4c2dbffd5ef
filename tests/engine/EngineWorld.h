// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A backup world for the engine tests: a source tree under T:\src, a set "daily" saving it
// to T:\dst, and the platform double between the engine and the real files.
#include "engine/FSaveExec.h"
#include "mainwin/Qarno.h"
#include "support/FaultyPlatform.h"
#include "support/TestEnv.h"

#include <functional>

namespace qarno::test {

struct RunResult {
  bool ok = false;
  bool succeeded = false;
  int uncopied = 0;
  QString saveName;
  QString status;
};

// One run of the set at the level, as the run window starts it.
RunResult RunSave(Module1& m, Qarno& main, std::unique_ptr<FSaveExec>& run, Level level);

class EngineWorld {
 public:
  EngineWorld();

  TestEnv env;
  FaultyPlatform fs{env.fs};
  Module1 m{fs, env.ui, QStringLiteral("T:\\prog")};
  Qarno main{m};
  ScriptedPrompter& ui = env.ui;
  std::unique_ptr<FSaveExec> run;  // the last run, kept for inspection

  // A file of the source tree, with a fixed last-write time unless one is given.
  void Source(const QString& rel, const QByteArray& content, const QDateTime& mtime = QDateTime());
  QString Src(const QString& rel) const { return QStringLiteral("T:\\src\\") + rel; }
  // Runs one backup of the given level.
  RunResult Run(Level level);
  // The listing of a save, line by line.
  QStringList Listing(const QString& saveName) const;
  QString ListingLine(const QString& saveName, const QString& path) const;
  QString Log() const;
  QStringList HistoryLines() const;
  // The fields of a listing line after splitting (path without quotes first).
  static QStringList Fields(const QString& line);

  static const QDateTime kTime;
};

}  // namespace qarno::test
