// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the phases of a backup run share while the run goes on: the progress the run
// window's timer reads (the phase, its counters and texts) and the destination medium as it
// was last read. The run owns them; its phases (scan, marking, copy, listing, record) are
// handed a RunContext and report into it. Everyone else only reads.
#include "common/Module1.h"

namespace qarno {

// The phases of a run, as the progress display tells them apart.
namespace phase {
constexpr int Idle = 0, Scan = 1, PreviousList = 2, ThisList = 3, Copy = 4, Csv = 5, ViewIdle = 6, Merge = 7,
              UsedSize = 8, Done = 9, ViewBusy = 10;
}

// What the status text of a phase ends with when the phase is over.
inline QString PhaseDone() { return QCoreApplication::translate("RunContext", "　...　終了"); }

struct RunProgress {
  int phase = phase::Idle;
  QString status;      // the Status label's text
  QString lastEntry;   // the entry shown under the status line
  QString scanDir;     // the folder the scan is in
  int scanCount = 0;   // entries the scan has found
  // The phase's own progress: counter of total.
  int64_t counter = 0;
  int64_t total = 0;
  // The copy phase's counters.
  int64_t copiedKB = 0;
  int64_t kbToCopy = 0;
  int64_t processedCount = 0;
  int64_t rowCount = 0;
};

// The destination medium: the drive root and the identity ReadDriveInfo last gave.
struct RunMedium {
  QString drive;
  QString volumeName;
  QString volumeSerial;
};

// What the records of a run need to know of it: the set, where its files lie, the medium
// check, and whether the used space is counted.
struct RunSubject {
  QString setName;
  QString setFolder;  // the folder of the set's own files
  QString saveDir;
  QString mainCaption;  // the title of the medium questions
  bool checkSerial = false;  // ChkVolSer
  bool usedSize = false;     // CalUseSize
};

// The environment, the run window's caption (the title of every message of the run), the
// progress a phase reports to, and what the run keeps of the program: the automatic run it
// may stop, the medium accepted despite the identity warning, the item a walk is at.
struct RunContext {
  const RunEnvironment& env;
  const QString& caption;
  RunProgress& progress;
  const RunSubject& subject;
  AutoRun& autoRun;
  AcceptedMedium& accepted;
  QString* currentItem = nullptr;

  // Sets the phase and the status text together, as every phase starts.
  void Enter(int phaseNow, const QString& status) {
    progress.phase = phaseNow;
    progress.status = status;
  }
  // Reads the medium of `drive` (empty: the drive of the save folder).
  bool ReadDriveInfo(QString& drive, QString& volumeName, QString& volumeSerial) const {
    const MediumQuery query{subject.saveDir, subject.checkSerial, !autoRun.EndsProgram(), subject.mainCaption,
                            autoRun.mode};
    return qarno::ReadDriveInfo(env, query, accepted, drive, volumeName, volumeSerial);
  }
};

// A run's context over the program's module, for writing a run's records outside a run.
struct ModuleRunContext {
  ModuleRunContext(Module1& m, const QString& caption, RunProgress& progress)
      : env(m.Environment()),
        subject{m.set.Name, m.SetFolder, m.set.SaveDir, m.MainCaption, m.set.options.ChkVolSer == 1,
                m.set.options.CalUseSize == 1},
        run{env, caption, progress, subject, m.AutoRunMode, m.acceptedMedium, &m.currentItem} {}
  ModuleRunContext(const ModuleRunContext&) = delete;
  ModuleRunContext& operator=(const ModuleRunContext&) = delete;
  RunEnvironment env;
  RunSubject subject;
  RunContext run;
};

}  // namespace qarno
