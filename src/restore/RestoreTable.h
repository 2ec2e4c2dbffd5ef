// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The restore table of a restore window: the entries of one run's listing, in line order
// (row 0 the heading, entries from row 1), each with its restore mark, and the totals the
// window shows — of the whole list, of what is marked for restoring, of what is restored.
//
// The marks live here and only here: the restore list's tick of row r is "row r is marked
// for restoring", so a checkable list model reads its ticks from this table.
#include "records/SaveList.h"

#include <QHash>
#include <functional>
#include <vector>

namespace qarno {

struct RestoreCounts {
  int64_t files = 0;
  int64_t folders = 0;
  int64_t kb = 0;

  void Add(const SaveListEntry& e, int sign);
};

// An entry's size in whole KB, (bytes + 1023) / 1024; 0 for a size that is not a number,
// and never past what a total can hold.
int64_t KbOfSize(const EntrySize& size);
// a + b, held at the largest value instead of overflowing.
int64_t SaturatingAdd(int64_t a, int64_t b);

class RestoreTable {
 public:
  RestoreTable();

  int Rows() const { return static_cast<int>(rows_.size()); }  // heading included
  int Count() const { return Rows() - 1; }
  const SaveListEntry& operator[](int row) const { return rows_[static_cast<size_t>(row)]; }
  void Clear();
  // Appends a loaded entry, unmarked.
  void Append(SaveListEntry entry);

  // --- Marks ---
  RestoreFlag Mark(int row) const { return rows_[static_cast<size_t>(row)].restoreFlag; }
  bool IsMarked(int row) const { return Mark(row) == RestoreFlag::Reserved; }
  // Ticks (reserves) or unticks one row; the marked totals follow. A tick that changes
  // nothing changes no total.
  void Tick(int row, bool ticked);
  // Every row reserved (the marked totals become the list's totals) or every row unmarked.
  void MarkAll(bool marked);
  // The outcome of restoring a reserved row: restored or failed. The marked totals stay:
  // they say what was reserved for this run.
  void SetOutcome(int row, RestoreFlag mark);
  int ReservedCount() const { return reserved_; }
  int CountMarked(RestoreFlag mark) const;

  // --- Totals ---
  const RestoreCounts& Total() const { return total_; }
  const RestoreCounts& Marked() const { return marked_; }
  const RestoreCounts& Restored() const { return restored_; }
  bool RestoredShown() const { return restoredShown_; }
  // The totals of the whole list, counted once the table is loaded.
  void CountTotals();
  // A run starts: the restored column shows from zero.
  void StartRestoredCount();
  void AddRestored(const SaveListEntry& e) { restored_.Add(e, 1); }
  // The totals grid as text, 4 × 4 cells addressed row × 4 + column: headings in row 0 and
  // column 0; columns total, marked, restored; rows files, folders, KB. The restored column
  // is empty until a run starts.
  QString Cell(int index) const;

  // --- Finding rows ---
  // The first row of the path at or after `pos`, else the first one before it (the row a
  // circular walk from `pos` meets first); false when no row has the path.
  bool FindRow(const QString& path, int& pos);
  // The rows of a folder and everything listed below it ("C:\data" and "C:\data\...", not
  // "C:\database"), or of the one path itself.
  std::vector<int> RowsOfTree(const QString& path) const;

  // The list's search ("サーチ"): the first item at or after item `from` (items count from
  // 0, item i being row i + 1) whose path holds `text`, letters without case. Before each
  // item looked at, `goOn(item)` may show the progress and let events run; false stops the
  // search there.
  enum class SearchEnd { Found, NotFound, Stopped };
  struct SearchResult {
    SearchEnd end = SearchEnd::NotFound;
    int item = -1;  // the item found
  };
  SearchResult SearchPaths(const QString& text, int from, const std::function<bool(int item)>& goOn) const;

 private:
  std::vector<SaveListEntry> rows_;
  int reserved_ = 0;
  RestoreCounts total_, marked_, restored_;
  bool restoredShown_ = false;
  QHash<QString, std::vector<int>> index_;
  bool indexBuilt_ = false;
};

}  // namespace qarno
