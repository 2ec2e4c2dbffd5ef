// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The closing steps of a backup run: its row in the history (and the history file), and the
// copies of the set file and history file on the destination.
#include "mainwin/RunHistory.h"
#include "records/RunContext.h"

namespace qarno {

struct RunRecordInput {
  QString saveName;
  Level level = Level::Level0;  // the level of the run
  QString saveDir;      // the destination directory as the set names it
  int64_t copiedKB = 0;
  int uncopied = 0;
  QString processTime;  // the run's elapsed time when the record is made
};

// Adds the run to the history and writes the history file (the used size is counted first
// when the set asks for it). True when the file was written; `row` is the run's row then.
bool OutHisTable(RunContext& run, RunHistory& history, const RunRecordInput& input, const RunMedium& medium,
                 int& row);

// Writes what changed of the set and the history, then copies both files into the set's
// folder on the destination. Never fails visibly.
void SaveSetInfo(RunContext& run, RunHistory& history, const QString& saveDir);

}  // namespace qarno
