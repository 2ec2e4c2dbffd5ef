#include "records/ListingLine.h"

#include "common/CsvFields.h"
#include "platform/WinPath.h"

namespace qarno {

QString FormatListingLine(const SaveListEntry& e) {
  QString line;
  line.reserve(e[SaveListEntry::Path].size() + 96);
  line += u'"';
  line += e[SaveListEntry::Path];
  line += u'"';
  for (int f = SaveListEntry::Attributes; f < SaveListEntry::FieldCount; ++f) {
    line += u',';
    line += f == SaveListEntry::Flag && e[f] == flag::Repaired ? flag::Copied : e[f];
  }
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
  for (int i = first; i < count; ++i) entry[i] = f[static_cast<size_t>(i)].toString();
}

}  // namespace qarno
