// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The save list of a run — one entry per file and directory the run is responsible for, the
// eleven fields of a listing line as typed values — and the totals table that counts it. Row
// 0 of the table is the heading, entries from row 1 in scan order, as every phase of a run
// addresses them.
#include <QHash>
#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace qarno {

// The Flag of an entry: its whole state in a run. Listed as "0", "2", "3", "4", "5", "6",
// "8", "-2"; Blank is an empty field, Other a code this program does not know (its text is
// kept as read).
enum class Flag : int8_t {
  Blank,
  Found,      // "0": found by the scan, not decided yet
  Unchanged,  // "2": an earlier run's copy still holds
  Copied,     // "3": copied by this run
  ToCopy,     // "4": to be copied by this run
  Repaired,   // "5": kept by a repair run (listed as 3)
  Vanished,   // "6": the source went; dropped
  Locked,     // "8": not saved: the source was locked
  NotSaved,   // "-2": not saved: the copy failed or was refused
  Other
};

// The RestoreFlag of an entry in a restore table ("0", "1", "2", "-1").
enum class RestoreFlag : int8_t { Blank, None, Reserved, Restored, Failed, Other };

// The CompType of an entry: how its copy is stored ("0" as it is, "1" packed with LHA).
enum class CompType : int8_t { Blank, Plain, Lha, Other };

// A field's text as read, kept only when it is not the field's plain form: rare, so held
// behind one pointer (a save list of 32,765 entries has five such fields an entry).
class OddText {
 public:
  OddText() = default;
  OddText(const OddText& o) : text_(o.text_ ? std::make_unique<QString>(*o.text_) : nullptr) {}
  OddText(OddText&&) noexcept = default;
  OddText& operator=(const OddText& o) {
    if (this != &o) text_ = o.text_ ? std::make_unique<QString>(*o.text_) : nullptr;
    return *this;
  }
  OddText& operator=(OddText&&) noexcept = default;
  // A null text keeps nothing.
  void Set(const QString& text) { text_ = text.isNull() ? nullptr : std::make_unique<QString>(text); }
  bool isNull() const { return !text_; }
  const QString& text() const { return text_ ? *text_ : Null(); }
  friend bool operator==(const OddText& a, const OddText& b) { return a.text() == b.text() && a.isNull() == b.isNull(); }

 private:
  static const QString& Null() {
    static const QString none;
    return none;
  }
  std::unique_ptr<QString> text_;
};

// One coded field: the named value, and for a code this program does not know (Other) the
// text as it was read, so that a listing read and written back loses nothing.
template <typename E>
class Coded {
 public:
  constexpr Coded(E value = E::Blank) : value_(value) {}
  constexpr operator E() const { return value_; }
  static Coded FromText(QStringView text);
  QString Text() const;
  void AppendTo(QString& line) const;

 private:
  E value_;
  OddText other_;
};

// The listed code of each value (Blank the empty text; Other has none).
QStringView CodeOf(Flag value);
QStringView CodeOf(RestoreFlag value);
QStringView CodeOf(CompType value);

template <typename E>
Coded<E> Coded<E>::FromText(QStringView text) {
  for (int v = 0; v < static_cast<int>(E::Other); ++v) {
    if (CodeOf(static_cast<E>(v)) == text) return Coded(static_cast<E>(v));
  }
  Coded c(E::Other);
  c.other_.Set(text.toString());
  return c;
}

template <typename E>
QString Coded<E>::Text() const {
  return value_ == E::Other ? other_.text() : CodeOf(value_).toString();
}

template <typename E>
void Coded<E>::AppendTo(QString& line) const {
  if (value_ == E::Other) line += other_.text();
  else line += CodeOf(value_);
}

// A file's size as listed: a number of bytes written by a run, or any other text a listing
// holds, kept as read. Bytes() is what the text reads as (0 when it does not read as a
// number, as for an empty field); Readable() says whether it reads at all.
class EntrySize {
 public:
  EntrySize() = default;
  EntrySize(int64_t bytes) : bytes_(bytes), readable_(true) {}  // NOLINT: a size is its bytes
  static EntrySize FromText(QStringView text);
  int64_t Bytes() const { return bytes_; }
  bool Readable() const { return readable_; }
  QString Text() const;
  void AppendTo(QString& line) const;
  // Equal exactly when their texts are.
  friend bool operator==(const EntrySize& a, const EntrySize& b);

 private:
  int64_t bytes_ = 0;
  bool readable_ = false;
  OddText odd_;  // the text as read, when it is not the plain number of its bytes
};

// A file's last-write date as listed: "yyyy/mm/dd hh:mm:ss" in local time, as a run writes
// it from the file's time, or any other text a listing holds, kept as read.
class EntryDate {
 public:
  EntryDate() = default;
  static EntryDate FromFileTime(int64_t secondsSinceEpoch);
  static EntryDate FromText(QStringView text);
  QString Text() const;
  void AppendTo(QString& line) const;
  // Equal exactly when their texts are.
  friend bool operator==(const EntryDate& a, const EntryDate& b);

 private:
  // The six numbers as written, each of two digits but the year of four; the year 0 with
  // `set_` false is an empty field.
  uint16_t year_ = 0;
  uint8_t month_ = 0, day_ = 0, hour_ = 0, minute_ = 0, second_ = 0;
  bool set_ = false;
  OddText odd_;  // the text as read, when it is not of that form
};

// One entry of a save list or a restore table, a line of a listing in memory.
struct SaveListEntry {
  // The column of each field, in the listing and in the grids.
  enum Field {
    Path = 0, Attributes, Size, Date, Flag, SaveName, VolSerial, VolName, RestoreFlag, CompType, Alias,
    FieldCount
  };
  QString path;
  QString attributes;  // the attribute letters, "RHSAD" or "-" each
  EntrySize size;
  EntryDate date;
  Coded<qarno::Flag> flag;
  QString saveName;   // the save holding the copy
  QString volSerial;  // the medium of that copy
  QString volName;
  Coded<qarno::RestoreFlag> restoreFlag;
  Coded<qarno::CompType> compType;
  QString alias;  // the copy's numbered name, where the path could not be used

  bool IsDirectory() const;
  // Takes the copy `from` describes (its attributes, size, date, save, medium, stored form
  // and alias); the path, the Flag and the RestoreFlag stay.
  void TakeCopyOf(const SaveListEntry& from);
};

// A field as a listing line and the grids give it, and the field of such a text: the only
// places an entry is text.
QString FieldText(const SaveListEntry& entry, int field);
void SetFieldText(SaveListEntry& entry, int field, QStringView text);

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
  // Path → the first row holding it; the rare path held by more rows has all of them,
  // ascending, in `moreRows_` (under its first row). One small node per path, not a vector.
  QHash<QString, int> index_;
  QHash<int, std::vector<int>> moreRows_;
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
