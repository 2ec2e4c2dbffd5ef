// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a backup run needs of the set's history, and nothing more: the previous run of a
// level, whether a save name is taken, and recording a finished run. The main window's
// state implements it; the engine never sees the rest of the main window.
#include "mainwin/HistoryTable.h"

namespace qarno {

class RunHistory {
 public:
  virtual ~RunHistory() = default;

  // The rows, newest first (row 0 is the header), for reading.
  virtual const HistoryTable& Table() const = 0;
  // The row of the run that a new run of this level compares against; false when the level
  // needs one and the history has none. Level-0 needs none (true, row 0).
  virtual bool PreviousRun(Level level, int& row) const = 0;
  // True when a row already carries the save name (letter case ignored).
  virtual bool Contains(const QString& saveName) const = 0;
  // Adds a finished run (a repair run adds its size to the row of the run it repaired) and
  // returns the row that holds it now, 0 when there was none to repair.
  virtual int RecordRun(const HistoryEntry& run, bool repair) = 0;
  // Drops the row of a save that no longer exists (a run whose history write failed).
  virtual void ForgetRun(const QString& saveName) = 0;
  // Writes the history file; false when that failed (the user has been told).
  virtual bool Save() = 0;
  // Writes the set file and the history when they changed (the save command).
  virtual bool SaveSetAndHistory() = 0;
  // Reads the history file again (another process may have recorded a run in it since it
  // was read), unless this copy has changes of its own not yet written.
  virtual void Reload() {}
};

}  // namespace qarno
