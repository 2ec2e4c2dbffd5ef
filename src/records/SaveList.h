#pragma once
// The save list of a run — one entry per file and directory the run is responsible for,
// eleven text fields in the column order of the listing — with the named codes of its Flag,
// RestoreFlag and CompType fields, and the totals table that counts it. Row 0 of the table is
// the heading, entries from row 1 in scan order, as every phase of a run addresses them.
#include <QHash>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace qarno {

struct SaveListEntry {
  enum Field {
    Path = 0, Attributes, Size, Date, Flag, SaveName, VolSerial, VolName, RestoreFlag, CompType, Alias,
    FieldCount
  };
  std::array<QString, FieldCount> f;

  QString& operator[](int i) { return f[static_cast<size_t>(i)]; }
  const QString& operator[](int i) const { return f[static_cast<size_t>(i)]; }
  bool IsDirectory() const;
};

// The Flag of an entry: its whole state in a run.
namespace flag {
inline const QString Found = QStringLiteral("0");       // found by the scan, not decided yet
inline const QString Unchanged = QStringLiteral("2");   // an earlier run's copy still holds
inline const QString Copied = QStringLiteral("3");      // copied by this run
inline const QString ToCopy = QStringLiteral("4");      // to be copied by this run
inline const QString Repaired = QStringLiteral("5");    // kept by a repair run (listed as 3)
inline const QString Vanished = QStringLiteral("6");    // the source went; dropped
inline const QString Locked = QStringLiteral("8");      // not saved: the source was locked
inline const QString NotSaved = QStringLiteral("-2");   // not saved: the copy failed or was refused
}  // namespace flag

// The RestoreFlag of an entry in a restore table.
namespace rmark {
inline const QString None = QStringLiteral("0");
inline const QString Reserved = QStringLiteral("1");
inline const QString Restored = QStringLiteral("2");
inline const QString Failed = QStringLiteral("-1");
}  // namespace rmark

// The CompType of an entry: how its copy is stored.
namespace comp {
inline const QString Plain = QStringLiteral("0");
inline const QString Lha = QStringLiteral("1");
}  // namespace comp

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
  const SaveListEntry& operator[](int row) const { return rows_[static_cast<size_t>(row)]; }
  // A row to change. Its Path must stay as it is: the path index relies on it.
  SaveListEntry& operator[](int row) { return rows_[static_cast<size_t>(row)]; }
  void Clear();
  int Append(SaveListEntry entry);  // returns the new row
  void Reserve(int rows) { rows_.reserve(static_cast<size_t>(rows) + 1); }

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
