// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/ListingLine.h"

#include "common/CsvFields.h"
#include "platform/WinPath.h"

namespace qarno {

QString FormatListingLine(const SaveListEntry& e) {
  QString line;
  line.reserve(e.path.size() + 96);
  line += u'"';
  line += e.path;
  line += u'"';
  line += u',';
  line += e.attributes;
  line += u',';
  e.size.AppendTo(line);
  line += u',';
  e.date.AppendTo(line);
  line += u',';
  if (e.flag == Flag::Repaired) line += CodeOf(Flag::Copied);
  else e.flag.AppendTo(line);
  for (const QString* text : {&e.saveName, &e.volSerial, &e.volName}) {
    line += u',';
    line += *text;
  }
  line += u',';
  e.restoreFlag.AppendTo(line);
  line += u',';
  e.compType.AppendTo(line);
  line += u',';
  line += e.alias;
  return line;
}

bool IsListablePath(const QString& path) {
  if (!winpath::IsSafeAbsolute(path)) return false;
  for (QChar c : path) {
    if (c == u'"' || c == u'\r' || c == u'\n' || c == QChar(0)) return false;
  }
  return true;
}

ListingFields SplitListingLine(QStringView line) {
  ListingFields out;
  CsvCursor c(line);
  if (!c.PathField(out.f[0])) return out;
  out.count = 1;
  while (out.count < SaveListEntry::FieldCount && c.Field(out.f[static_cast<size_t>(out.count)])) ++out.count;
  return out;
}

SaveListEntry ListingFields::ToEntry() const {
  SaveListEntry e;
  CopyInto(e, SaveListEntry::Path);
  return e;
}

void ListingFields::CopyInto(SaveListEntry& entry, int first) const {
  for (int i = first; i < count; ++i) SetFieldText(entry, i, f[static_cast<size_t>(i)]);
}

}  // namespace qarno
