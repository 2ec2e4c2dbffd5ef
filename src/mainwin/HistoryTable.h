// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history of the current set: one row per run, newest first, with the header as row 0
// and the runs as rows 1..Rows()-1, as the history grid numbers them. The history file
// "<set>.qrl" format lives beside it.
#include "common/Types.h"

#include <vector>

namespace qarno {

class HistoryTable {
 public:
  // The grid's column layout; its header texts are the column headings.
  static const QString& FormatString();
  static QStringList HeaderTexts();

  int Rows() const { return static_cast<int>(rows_.size()) + 1; }
  bool HasData() const { return !rows_.empty(); }
  HistoryEntry& Row(int row) { return rows_.at(static_cast<size_t>(row - 1)); }
  const HistoryEntry& Row(int row) const { return rows_.at(static_cast<size_t>(row - 1)); }
  const QString& Cell(int row, int column) const { return Row(row)[column]; }
  void SetCell(int row, int column, const QString& text) { Row(row)[column] = text; }

  // The first row (newest first) of the save name; 0 when the history does not hold it.
  int RowOf(const QString& saveName) const;
  int AddRow(const QString& saveName);  // at the end; returns its row number
  void RemoveRow(int row);
  void Clear() { rows_.clear(); }
  // Newest first: the exchange sort on the save name, descending, equal names never moved.
  void Sort();

 private:
  std::vector<HistoryEntry> rows_;
};

// A comment as the history file can carry it on its one line: a double quote becomes the
// full-width one and each line break a blank.
QString HistoryCommentText(QString comment);

// The history file, newest first: "#Version " line, then SaveName, Level, SavedKB, SaveDir,
// VolSerial, VolName, UsedKB, SaveDate, ProcessTime, "Comment", UncopiedCount.
QStringList FormatHistoryFile(const HistoryTable& table, const QString& programVersion);
// Reads the lines into the (empty) table, in file order; old files without a version line
// hold the first seven fields, the first being the listing's file name. Returns whether the
// file had a version line. The table is not sorted here.
bool ParseHistoryFile(const QStringList& lines, HistoryTable& table);

}  // namespace qarno
