// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/NoCompTypes.h"

#include "platform/WinPath.h"

namespace qarno {

QStringList DefaultNoCompTypes() {
  return {QStringLiteral("lzh"), QStringLiteral("zip"), QStringLiteral("mp3"), QStringLiteral("jpg")};
}

QString NctFilePath(const Module1& m) { return winpath::Join(m.ProgramFolder, m.ProgramName + QStringLiteral(".nct")); }

namespace {
// Records are separated by commas and line ends; a quoted record keeps its commas.
QStringList SplitRecords(const QString& text) {
  QStringList records;
  QString current;
  bool quoted = false, any = false;
  for (QChar c : text) {
    if (quoted) {
      if (c == u'"') quoted = false;
      else current += c;
      continue;
    }
    if (c == u'"') {
      quoted = true;
      any = true;
    } else if (c == u',' || c == u'\n') {
      if (any || !current.trimmed().isEmpty()) records += current.trimmed();
      current.clear();
      any = false;
    } else if (c != u'\r') {
      current += c;
    }
  }
  if (any || !current.trimmed().isEmpty()) records += current.trimmed();
  return records;
}
}  // namespace

void ReadNctFile(Module1& m) {
  m.NoCompTypes.clear();
  auto bytes = m.fs.ReadAll(NctFilePath(m));
  if (!bytes) return;
  const QStringList records = SplitRecords(m.codec.Decode(*bytes));
  if (records.isEmpty()) return;
  bool ok = false;
  const double version = records[0].toDouble(&ok);
  if (!ok || version < 1.02) return;
  if (records.size() < 2) return;
  const int n = records[1].toInt(&ok);
  if (!ok) return;
  for (int i = 1; i <= n && i + 1 < records.size(); ++i) m.NoCompTypes += records[i + 1];
}

void WriteNctFile(Module1& m) {
  QStringList lines;
  lines += u'"' + m.ProgramVersion + u'"';
  lines += QString::number(m.NoCompTypes.size());
  for (const QString& t : m.NoCompTypes) lines += u'"' + t + u'"';
  // A failed write leaves the file as it was: the list the user made is never thrown away.
  m.WriteTextFile(NctFilePath(m), lines);
}

NoCompTypeAdd AddNoCompType(QStringList& list, const QString& text) {
  const QString type = text.trimmed();
  if (type.isEmpty()) return NoCompTypeAdd::Empty;
  if (type.contains(u',') || type.contains(u'"')) return NoCompTypeAdd::Unusable;
  if (list.contains(type, Qt::CaseInsensitive)) return NoCompTypeAdd::Duplicate;
  list += type;
  return NoCompTypeAdd::Added;
}

}  // namespace qarno
