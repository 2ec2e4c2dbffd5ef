// SPDX-License-Identifier: GPL-3.0-or-later
// Times the scan of a backup run by itself: the save list of a set built in memory
// (FSaveExec::MkSaveList), nothing copied or written. Set up the way the command line sets
// up a run: QARNO_HOME holds the set, XDG_CONFIG_HOME the settings with the drive table.
//
//   scan_bench SETNAME [RUNS]     prints one line per run: "<entries> <nanoseconds>"
#include "common/Settings.h"
#include "engine/FSaveExec.h"
#include "mainwin/Qarno.h"
#include "platform/HostPlatform.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: scan_bench SETNAME [RUNS]\n");
    return 2;
  }
  const int runs = args.size() > 2 ? args[2].toInt() : 5;

  using namespace qarno;
  auto store = OpenSettingsStore();
  HostPlatform fs(LoadDriveTable(*store));
  HeadlessPrompter ui;
  const auto programFolder = fs.drives().FromHost(ProgramFolderHost());
  if (!programFolder) {
    std::fprintf(stderr, "scan_bench: the program folder lies on no drive\n");
    return 2;
  }
  Module1 m(fs, ui, *programFolder);
  Qarno main(m);
  main.store = store.get();
  main.Form_Load(args[1]);
  if (!main.setLoaded) {
    std::fprintf(stderr, "scan_bench: set %s not loaded\n", qPrintable(args[1]));
    return 3;
  }
  m.ExecMode = SaveExecMode::Run;
  for (int i = 0; i < runs; ++i) {
    FSaveExec run(m, main);
    run.Form_Load();
    QElapsedTimer t;
    t.start();
    const bool ok = run.MkSaveList();
    const qint64 ns = t.nsecsElapsed();
    if (!ok) {
      std::fprintf(stderr, "scan_bench: the scan failed\n");
      return 1;
    }
    std::printf("%d %lld\n", run.SaveList().Count(), static_cast<long long>(ns));
  }
  return 0;
}
