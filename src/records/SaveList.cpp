#include "records/SaveList.h"

#include "common/Attributes.h"

#include <algorithm>

namespace qarno {

bool SaveListEntry::IsDirectory() const { return IsDirectoryAttr(f[Attributes]); }

const QString& SaveListTable::FormatString() {
  static const QString f = QStringLiteral(
      "<パス                                   　　                              |属性   |サイズ    |日付              　　  "
      "|フラグ|保存セット名  |シリアル番号|ボリューム名　　|復元フラグ|圧縮の種類|>    別名");
  return f;
}

const SaveListEntry& SaveListTable::Header() {
  static const SaveListEntry header = [] {
    SaveListEntry h;
    const QStringList parts = FormatString().split(u'|');
    for (int i = 0; i < SaveListEntry::FieldCount && i < parts.size(); ++i) {
      QString p = parts[i];
      if (p.startsWith(u'<') || p.startsWith(u'>')) p.remove(0, 1);
      h[i] = p.trimmed();
    }
    return h;
  }();
  return header;
}

SaveListTable::SaveListTable() { Clear(); }

void SaveListTable::Clear() {
  rows_.clear();
  rows_.push_back(Header());
  index_.clear();
}

int SaveListTable::Append(SaveListEntry entry) {
  const int row = Rows();
  index_[entry[SaveListEntry::Path]].push_back(row);
  rows_.push_back(std::move(entry));
  return row;
}

bool SaveListTable::FindNewPath(const QString& path, int& position) const {
  const int last = Count();
  if (last < 1) return false;
  const auto it = index_.constFind(path);
  if (it == index_.cend() || it->empty()) return false;
  const std::vector<int>& rows = *it;
  // The walk starts at `position`; one past the last row it goes on from row 1.
  const int start = (position < 1 || position > last) ? 1 : position;
  const auto at = std::lower_bound(rows.begin(), rows.end(), start);
  position = at != rows.end() ? *at : rows.front();
  return true;
}

QString ListInfoTable::FormatString() {
  return QStringLiteral("^|トータル       |今回コピー分 |;|ファイル|フォルダー |サイズ") + QStringLiteral("(KB)");
}

void ListInfoTable::Clear() {
  values_.fill(0);
  set_.fill(false);
}

namespace {
size_t Index(int row, int column) { return static_cast<size_t>((row - 1) * 2 + (column - 1)); }
}  // namespace

void ListInfoTable::Set(int row, int column, int64_t value) {
  values_[Index(row, column)] = value;
  set_[Index(row, column)] = true;
}

void ListInfoTable::Add(int row, int column, int64_t value) {
  values_[Index(row, column)] += value;
  set_[Index(row, column)] = true;
}

int64_t ListInfoTable::Value(int row, int column) const { return values_[Index(row, column)]; }

QString ListInfoTable::Cell(int row, int column) const {
  return set_[Index(row, column)] ? QString::number(values_[Index(row, column)]) : QString();
}

}  // namespace qarno
