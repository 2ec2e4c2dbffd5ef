// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One line of a run's listing: the writer and the one reader every phase uses. The path in
// double quotes, then the ten other fields of the entry, unquoted, separated by commas; a
// Flag of 5 (kept by a repair run) is written as 3.
//
// The field-count rule: a line is well formed when it holds the path and the four fields up
// to the Flag. The six later fields may be missing (they read as empty); fields past the
// eleventh are ignored. What a phase does with a line that is not well formed is its own
// decision (copy the entry again, skip the line, ask the user).
#include "records/SaveList.h"

#include <QStringView>
#include <array>

namespace qarno {

QString FormatListingLine(const SaveListEntry& entry);

// True for a path a run may take: absolute on a drive without "." or ".." (so that its copy
// lands inside the save) and one a listing line can carry (no double quote, no line break).
bool IsListablePath(const QString& path);

// The fields of one line, as views into it: the line must outlive them.
struct ListingFields {
  std::array<QStringView, SaveListEntry::FieldCount> f;
  int count = 0;  // fields present, the path included

  QStringView operator[](int i) const { return f[static_cast<size_t>(i)]; }
  bool HasPath() const { return count >= 1; }
  bool WellFormed() const { return count > SaveListEntry::Flag; }
  // The entry the line describes (missing fields empty).
  SaveListEntry ToEntry() const;
  // Copies the fields from `first` on into the entry, as far as the line has them.
  void CopyInto(SaveListEntry& entry, int first) const;
};

ListingFields SplitListingLine(QStringView line);

}  // namespace qarno
