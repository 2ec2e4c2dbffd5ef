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
inline const QString kPhaseDone = QStringLiteral("　...　終了");

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

// The module, the run window's caption (the title of every message of the run) and the
// progress a phase reports to.
struct RunContext {
  Module1& m;
  const QString& caption;
  RunProgress& progress;

  // Sets the phase and the status text together, as every phase starts.
  void Enter(int phaseNow, const QString& status) {
    progress.phase = phaseNow;
    progress.status = status;
  }
};

}  // namespace qarno
