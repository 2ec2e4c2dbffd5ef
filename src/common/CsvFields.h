// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Field readers of comma-separated lines, shared by the run listings and the history file.
// A reader keeps the not-yet-read rest of the line and takes one field at a time; false
// means the line holds no further field.
#include <QString>

namespace qarno {

// The first field: a double-quoted path (commas inside stay), or for an unquoted line the
// text up to the first comma that is followed by an attribute field.
bool GetCsvPathField(QString& rest, QString& field);
// Every other field: the text up to the next comma.
bool GetCsvField(QString& rest, QString& field);

// The same readers over a view of the line, for the loops that read tens of thousands of
// lines: nothing is copied until a field is kept.
class CsvCursor {
 public:
  explicit CsvCursor(QStringView line) : rest_(line) {}
  bool PathField(QStringView& field);
  bool Field(QStringView& field);
  QStringView rest() const { return rest_; }

 private:
  QStringView rest_;
};

}  // namespace qarno
