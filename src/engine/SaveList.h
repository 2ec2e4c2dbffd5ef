#pragma once
// The save list of a run — row 0 the heading, entries from row 1, in scan order — and its
// totals table. Rows are addressed by number, as every phase of the run does.
#include "common/Types.h"

#include <QHash>
#include <vector>

namespace qarno {

class SaveListTable {
 public:
  // The grid's column layout; its parts are the column headings.
  static const QString& FormatString();
  static const SaveListEntry& Header();
  // The most rows a save list can hold, heading included, before the scan gives up.
  static constexpr int kRowLimit = 32767;

  SaveListTable();
  int Rows() const { return static_cast<int>(rows_.size()); }  // heading included
  int Count() const { return Rows() - 1; }
  SaveListEntry& operator[](int row) { return rows_[static_cast<size_t>(row)]; }
  const SaveListEntry& operator[](int row) const { return rows_[static_cast<size_t>(row)]; }
  void Clear();
  int Append(SaveListEntry entry);  // returns the new row

  // The row whose Path equals the path, searching circularly from `position` (rows 1..n);
  // on success `position` becomes that row. Answers exactly as walking the rows one by one
  // would, duplicated paths included, but in logarithmic time.
  bool FindNewPath(const QString& path, int& position) const;

 private:
  std::vector<SaveListEntry> rows_;
  QHash<QString, std::vector<int>> index_;  // path → rows holding it, ascending
};

// The totals: files, folders and KB of the whole list (column 1) and of this run (column 2).
// A cell is empty until a phase sets it.
class ListInfoTable {
 public:
  static QString FormatString();
  enum Row { Files = 1, Folders = 2, KB = 3 };
  void Clear();
  void Set(int row, int column, int64_t value);
  void Add(int row, int column, int64_t value);
  int64_t Value(int row, int column) const;
  QString Cell(int row, int column) const;

 private:
  std::array<int64_t, 6> values_{};
  std::array<bool, 6> set_{};
};

}  // namespace qarno
