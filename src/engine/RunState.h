// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The state of one backup run, in named parts: what the window's text boxes show, where the
// run writes, how far it has got, and how it ended. The run (FSaveExec) alone changes it and
// resets it in one place when a run starts; windows, the command line and tests read it.
#include "records/RunContext.h"
#include "records/SaveLayout.h"

namespace qarno {

// The window's text boxes and captions.
struct RunTexts {
  QString FSaveExecCaption;  // the window's title, also the title of the run's messages
  QString TSetName, SaveDir, TNewSetName, SaveLevel, TOldSetName, CompMode;
  QString CancelCaption = QCoreApplication::translate("RunTexts", "中止");
};

// How the run ended.
struct RunOutcome {
  bool succeeded = false;       // the run reached its successful end
  bool failed = false;          // a step asked for the run to end as failed
  bool historyWritten = false;  // the run is recorded in the history file
  bool createdSave = false;     // this run chose a new save name (Level-0/1/2)
  int uncopiedCount = 0;        // entries left unsaved ("-2", "6" or "8"), refused ones included
  int refusedCount = 0;         // save-list entries and found names the run refused to take
  int64_t filesCopied = 0;
  int64_t dirsCopied = 0;
  // What an unattended run chose instead of asking; the set itself stays as it was.
  bool packingOff = false;        // the archiver is missing: copied without packing
  bool fellBackToLevel0 = false;  // the previous run is missing: a Level-0 run
};

struct RunState {
  RunTexts texts;
  RunPaths paths;
  RunProgress progress;
  RunMedium medium;  // the destination at the start, then as last read
  RunOutcome outcome;
  int preRow = 0;           // the history row of the previous run (0 none)
  int32_t aliasCounter = -1;
  bool closeAllowed = true;  // false while a run is under way
};

// What the progress display shows at one tick.
struct ProgressView {
  QString status;
  QString processTime;  // "経過時間  hh:mm:ss ( Total n% )" in a backup run
  int overall = 0;      // the run's overall percentage
};

// The status text and overall percentage of a run's progress, as the display shows them at
// a tick; `previousOverall` is what the last tick showed (a rebuild of the idle view keeps
// it). Pure: the same progress always reads the same.
ProgressView DescribeProgress(const RunProgress& progress, int previousOverall);

}  // namespace qarno
