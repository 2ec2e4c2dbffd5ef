// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a backup run is asked to do, as a value taken when the run starts: a copy of the set
// with its options, the level, the automatic run of the command line and the program's values
// the run reads. The run never writes back into the program's set; what it chose differently
// (packing off, Level-0 instead of a missing previous run) it reports in its outcome.
#include "common/Module1.h"

namespace qarno {

struct RunRequest {
  BackupSet set;
  decltype(BackupSet::SaveLevel) level = Level::Level2;
  AutoRun autoRun;  // the automatic run as it stood when the run started
  bool contentManifest = false;  // the content manifest is written
  QString setFolder;             // the folder of the set's own files
  QString mainCaption;
  QStringList noCompTypes;
  decltype(Module1::ExecMode) execMode{};
  int holdWaitMs = 3000;  // how long the run waits for another holder of the set

  static RunRequest Of(const Module1& m) {
    RunRequest r;
    r.set = m.set;
    r.level = m.set.SaveLevel;
    r.autoRun = m.AutoRunMode;
    r.contentManifest = m.settings.ContentManifest != 0;
    r.setFolder = m.SetFolder;
    r.mainCaption = m.MainCaption;
    r.noCompTypes = m.NoCompTypes;
    r.execMode = m.ExecMode;
    r.holdWaitMs = m.setHoldWaitMs;
    return r;
  }
};

}  // namespace qarno
