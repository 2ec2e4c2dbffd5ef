// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The restore window's test world: the set "daily" saving T:\src to T:\dst with plain
// copies, backup runs as the run window makes them, and the restore window opened through
// the main window's restore command.
#include "engine/FSaveExec.h"
#include "mainwin/windows/WindowWorld.h"
#include "restore/windows/FRestoreWindow.h"

#include <QDir>
#include <QDirIterator>
#include <QPointer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace qarno::test {

// What a folder holds, file by file (relative path → bytes; folders as "<dir>").
inline QMap<QString, QByteArray> Contents(const QString& hostDir) {
  QMap<QString, QByteArray> out;
  QDirIterator it(hostDir, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QString rel = QDir(hostDir).relativeFilePath(path);
    if (it.fileInfo().isDir()) {
      out.insert(rel, "<dir>");
      continue;
    }
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    out.insert(rel, f.readAll());
  }
  return out;
}

class RestoreWindowWorld {
 public:
  // The set "daily" saves T:\src to T:\dst with plain copies.
  explicit RestoreWindowWorld(const QMap<QString, QByteArray>& files) {
    for (auto it = files.begin(); it != files.end(); ++it)
      world.env.WriteFile(QStringLiteral("T:\\src\\") + it.key(), it.value());
    world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}, 0));
    world.Start(QStringLiteral("daily"));
    // Never the host's own folders: restoring elsewhere stays below the test's drive.
    world.m().set.options.RestorePosition = 0;
    world.m().set.options.RestoreHomeDir = QStringLiteral("T:\\restore");
    // The yields of long loops run the event loop, as the desktop's prompter does.
    world.env.ui.onYield = [this](int n) {
      if (onYield) onYield(n);
      QCoreApplication::processEvents();
    };
    world.children.onRestore = [this](QarnoWindow& main, std::function<void()> closed) {
      win = OpenRestoreWindow(main, std::move(closed));
    };
  }

  // A run of the set at the level (Level-0 by default), as the run window makes it; its
  // save name.
  QString Backup(Level level = Level::Level0) {
    Module1& m = world.m();
    m.set.SaveLevel = level;
    m.ExecMode = SaveExecMode::Run;
    FSaveExec run(m, *world.program->main);
    run.Form_Load();
    EXPECT_TRUE(run.OK_Click()) << run.state().progress.status.toStdString();
    m.ExecMode = SaveExecMode::None;
    world.w->ShowHistory();
    PickHistoryRow(*world.w, 1);  // the newest run
    return run.state().paths.SaveSetName;
  }

  // The restore command of the main window, for its selected history row; waits until the
  // listing is on the list (or the window has gone).
  FRestoreWindow& Open() {
    world.w->Restore_Click();
    EXPECT_TRUE(win);
    // A window that closed while loading is reported below.
    static_cast<void>(QTest::qWaitFor([&] { return !win || win->RestoreList->isVisible(); }, 5000));
    if (!win) {
      for (const Message& msg : world.env.ui.messages) ADD_FAILURE() << "shown: " << msg.text.toStdString();
      throw std::runtime_error("the restore window closed while loading");
    }
    return *win;
  }

  // Waits until the window has closed and the main window is back.
  bool WaitClosed() {
    return QTest::qWaitFor([&] { return !win && world.w->isVisible(); }, 5000);
  }

  WindowWorld world;
  QPointer<FRestoreWindow> win;
  std::function<void(int)> onYield;
};

}  // namespace qarno::test
