// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/HistoryTable.h"

#include "common/Utils.h"
#include "common/CsvFields.h"

#include <utility>

namespace qarno {

const QString& HistoryTable::FormatString() {
  static const QString f = QStringLiteral(
      "<保存名           |保存レベル |未コピー数|コメント　　　　　　|処理時間|日時　　　　　　　　　　|>サイズ(KB)|>"
      "使用サイズ(KB)|<保存先ディレクトリ|シリアル番号|ボリューム名　　");
  return f;
}

QStringList HistoryTable::HeaderTexts() {
  QStringList out;
  for (QString part : FormatString().split(u'|')) {
    if (part.startsWith(u'<') || part.startsWith(u'>') || part.startsWith(u'^')) part.remove(0, 1);
    out += part.trimmed();
  }
  return out;
}

int HistoryTable::RowOf(const QString& saveName) const {
  for (int r = 1; r < Rows(); ++r) {
    if (Cell(r, HistoryEntry::SaveName) == saveName) return r;
  }
  return 0;
}

int HistoryTable::AddRow(const QString& saveName) {
  HistoryEntry e;
  e[HistoryEntry::SaveName] = saveName;
  rows_.push_back(std::move(e));
  return Rows() - 1;
}

void HistoryTable::RemoveRow(int row) { rows_.erase(rows_.begin() + (row - 1)); }

void HistoryTable::Sort() {
  const size_t n = rows_.size();
  if (n < 2) return;
  for (size_t i = 0; i + 1 < n; ++i) {
    for (size_t j = i + 1; j < n; ++j) {
      if (CompareSaveNames(rows_[i][HistoryEntry::SaveName], rows_[j][HistoryEntry::SaveName]) < 0)
        std::swap(rows_[i], rows_[j]);
    }
  }
}

QString HistoryCommentText(QString comment) {
  // A double quote would end the comment early and shift every later field; the full-width
  // mark reads the same to a person. A line break would end the record and start a bogus one.
  comment.replace(u'"', QChar(0xFF02));
  comment.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  comment.replace(u'\r', u' ');
  comment.replace(u'\n', u' ');
  return comment;
}

QStringList FormatHistoryFile(const HistoryTable& table, const QString& programVersion) {
  QStringList lines;
  lines += QStringLiteral("#Version ") + programVersion;
  for (int r = 1; r < table.Rows(); ++r) {
    const HistoryEntry& e = table.Row(r);
    const QString comment = HistoryCommentText(e[HistoryEntry::Comment]);
    lines += QStringList{e[HistoryEntry::SaveName], e[HistoryEntry::Level],   e[HistoryEntry::SavedKB],
                         e[HistoryEntry::SaveDir],  e[HistoryEntry::VolSerial], e[HistoryEntry::VolName],
                         e[HistoryEntry::UsedKB],   e[HistoryEntry::SaveDate], e[HistoryEntry::ProcessTime],
                         u'"' + comment + u'"',     e[HistoryEntry::UncopiedCount]}
                 .join(u',');
  }
  return lines;
}

bool ParseHistoryFile(const QStringList& lines, HistoryTable& table) {
  QString version;
  bool hadVersion = false;
  for (const QString& line : lines) {
    if (line.isEmpty()) continue;
    if (line.startsWith(QLatin1String("#Version "), Qt::CaseInsensitive)) {
      version = line.mid(9).trimmed();
      hadVersion = true;
      continue;
    }
    if (line.startsWith(u'#')) continue;
    QString rest = line;
    QString field;
    GetCsvField(rest, field);
    if (version.isEmpty() && field.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) field.chop(4);
    const int row = table.AddRow(field);
    static const int kCommon[] = {HistoryEntry::Level, HistoryEntry::SavedKB, HistoryEntry::SaveDir,
                                  HistoryEntry::VolSerial, HistoryEntry::VolName, HistoryEntry::UsedKB};
    bool more = true;
    for (int column : kCommon) {
      if (!(more = GetCsvField(rest, field))) break;
      table.SetCell(row, column, field);
    }
    if (!more || version.toDouble() < 1) continue;
    if (!GetCsvField(rest, field)) continue;
    table.SetCell(row, HistoryEntry::SaveDate, field);
    if (!GetCsvField(rest, field)) continue;
    table.SetCell(row, HistoryEntry::ProcessTime, field);
    if (!GetCsvPathField(rest, field)) continue;
    table.SetCell(row, HistoryEntry::Comment, field);
    if (!GetCsvField(rest, field)) continue;
    table.SetCell(row, HistoryEntry::UncopiedCount, field);
  }
  return hadVersion;
}

}  // namespace qarno
