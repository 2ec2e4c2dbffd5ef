// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Upkeep of the current set's history: deleting rows (and, when asked, the saved data of
// their runs) on a working copy that goes back to the main window's table when the
// deletion dialog closes, and editing a row's comment in place.
#include "mainwin/Qarno.h"
#include "records/SaveLayout.h"

#include <functional>
#include <optional>
#include <vector>

namespace qarno {

// The answers of the deletion question (FDelAgree), with the codes its tag carries.
enum class DeleteAnswer { Delete = 100, DeleteAll = 101, No = 7, Cancel = 2 };

// Where the saved data of a history row lies, when it is data this program made on the
// row's destination: a save name of its own ("qrn"+date+"_"+counter or "Qrn_All"), on an
// absolute destination without "." or "..", in the set's folder, neither folder a link.
// Nothing for any other row (hand-edited or damaged): its data is never touched.
std::optional<RunPaths> RunDataOf(Module1& m, const QString& saveDir, const QString& saveName);

class HistoryDeletion {
 public:
  HistoryDeletion(Module1& m, const HistoryTable& mainTable);

  HistoryTable table;  // the working copy (CopyHisTableFromMain)
  // Asks about one row or its data; the text is the question's label.
  std::function<DeleteAnswer(const QString& text)> agree;
  // Told when the data deletion starts and ends (the Cancel button's caption).
  std::function<void(bool busy)> onBusy;
  // Told when a row went from the working copy (the grid shows it).
  std::function<void()> onTableChanged;
  // The title of the messages (the dialog's caption).
  QString title;

  QString status;
  bool busy = false;
  bool changed = false;

  // Remove_Click for the block between two rows (1 = the newest, either order). Returns the
  // row to select afterwards: the one above the block, 0 for the header, -1 when no data
  // rows remain or nothing was done.
  int Remove(int current, int selectionEnd);
  // Removes the saved data of one run (listing and folder), stopping on Cancel. False when
  // the row names no data of this program: nothing is deleted and the user is told.
  bool DeleteRunData(const QString& saveDir, const QString& saveName);
  // Timer1's status text while the data deletion runs.
  QString ProgressText() const;
  // Cancel_Click's copy back (CopyHisTableToMain): the main table takes the working copy
  // and the history counts as changed. Nothing when no row was removed.
  void CopyTo(HistoryTable& mainTable);

 private:
  void WarnRefused(const QString& saveName);
  Module1& m_;
};

// The preview of the set's policy on old runs, on the rows shown: the rows it would delete
// (1 = the newest), and a line saying what they come to.
struct PrunePreview {
  std::vector<int> rows;
  QString text;
};
PrunePreview PreviewPruning(const BackupSet& set, const HistoryTable& table, const QDateTime& now);

// TMemo_Change of the history details: the comment goes into the row at once, as the
// history file will hold it, and the history counts as changed.
void SetHistoryComment(Module1& m, HistoryTable& table, int row, const QString& text);

}  // namespace qarno
