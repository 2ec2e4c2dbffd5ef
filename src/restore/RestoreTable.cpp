// SPDX-License-Identifier: GPL-3.0-or-later
#include "restore/RestoreTable.h"

#include <QCoreApplication>
#include <limits>

namespace qarno {

int64_t SaturatingAdd(int64_t a, int64_t b) {
  int64_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) return b < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
  return sum;
}

int64_t KbOfSize(const EntrySize& size) {
  const int64_t bytes = size.Bytes();
  if (!size.Readable() || bytes <= 0) return 0;
  return bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
}

void RestoreCounts::Add(const SaveListEntry& e, int sign) {
  int64_t& count = e.IsDirectory() ? folders : files;
  count += sign;
  kb = SaturatingAdd(kb, sign * KbOfSize(e.size));
}

RestoreTable::RestoreTable() { Clear(); }

void RestoreTable::Clear() {
  rows_.assign(1, SaveListTable::Header());
  reserved_ = 0;
  total_ = marked_ = restored_ = RestoreCounts();
  restoredShown_ = false;
  index_.clear();
  indexBuilt_ = false;
}

void RestoreTable::Append(SaveListEntry entry) {
  entry.restoreFlag = RestoreFlag::None;
  rows_.push_back(std::move(entry));
  indexBuilt_ = false;
}

void RestoreTable::Tick(int row, bool ticked) {
  if (row < 1 || row >= Rows()) return;
  if (ticked == IsMarked(row)) return;
  SaveListEntry& e = rows_[static_cast<size_t>(row)];
  if (ticked) {
    marked_.Add(e, 1);
    ++reserved_;
    e.restoreFlag = RestoreFlag::Reserved;
  } else {
    marked_.Add(e, -1);
    --reserved_;
    e.restoreFlag = RestoreFlag::None;
  }
}

void RestoreTable::MarkAll(bool marked) {
  const RestoreFlag mark = marked ? RestoreFlag::Reserved : RestoreFlag::None;
  for (size_t r = 1; r < rows_.size(); ++r) rows_[r].restoreFlag = mark;
  reserved_ = marked ? Count() : 0;
  marked_ = marked ? total_ : RestoreCounts();
  restored_ = RestoreCounts();
  restoredShown_ = false;
}

void RestoreTable::SetOutcome(int row, RestoreFlag mark) {
  Coded<RestoreFlag>& flag = rows_[static_cast<size_t>(row)].restoreFlag;
  if (flag == RestoreFlag::Reserved) --reserved_;
  flag = mark;
}

int RestoreTable::CountMarked(RestoreFlag mark) const {
  int n = 0;
  for (size_t r = 1; r < rows_.size(); ++r) {
    if (rows_[r].restoreFlag == mark) ++n;
  }
  return n;
}

void RestoreTable::CountTotals() {
  total_ = RestoreCounts();
  for (size_t r = 1; r < rows_.size(); ++r) total_.Add(rows_[r], 1);
}

void RestoreTable::StartRestoredCount() {
  restored_ = RestoreCounts();
  restoredShown_ = true;
}

QString RestoreTable::Cell(int index) const {
  static const char* const kHeads[] = {"", QT_TRANSLATE_NOOP("RestoreTable", "トータル"),
                                       QT_TRANSLATE_NOOP("RestoreTable", "復元予約"),
                                       QT_TRANSLATE_NOOP("RestoreTable", "復元済み")};
  static const char* const kRows[] = {"", QT_TRANSLATE_NOOP("RestoreTable", "ファイル"),
                                      QT_TRANSLATE_NOOP("RestoreTable", "フォルダー"),
                                      QT_TRANSLATE_NOOP("RestoreTable", "サイズ(KB)")};
  const int row = index / 4, column = index % 4;
  if (index < 0 || row > 3) return QString();
  if (row == 0) return QCoreApplication::translate("RestoreTable", kHeads[column]);
  if (column == 0) return QCoreApplication::translate("RestoreTable", kRows[row]);
  if (column == 3 && !restoredShown_) return QString();
  const RestoreCounts& c = column == 1 ? total_ : column == 2 ? marked_ : restored_;
  return QString::number(row == 1 ? c.files : row == 2 ? c.folders : c.kb);
}

RestoreTable::SearchResult RestoreTable::SearchPaths(const QString& text, int from,
                                                    const std::function<bool(int item)>& goOn) const {
  SearchResult result;
  for (int item = from; item < Count(); ++item) {
    if (!goOn(item)) {
      result.end = SearchEnd::Stopped;
      return result;
    }
    if ((*this)[item + 1].path.contains(text, Qt::CaseInsensitive)) {
      result.end = SearchEnd::Found;
      result.item = item;
      return result;
    }
  }
  return result;
}

bool RestoreTable::FindRow(const QString& path, int& pos) {
  if (!indexBuilt_) {
    index_.clear();
    index_.reserve(Rows());
    for (int r = 1; r < Rows(); ++r) index_[rows_[static_cast<size_t>(r)].path].push_back(r);
    indexBuilt_ = true;
  }
  const auto it = index_.constFind(path);
  if (it == index_.constEnd() || it->empty()) return false;
  int row = it->front();
  for (int candidate : *it) {
    if (candidate >= pos) {
      row = candidate;
      break;
    }
  }
  pos = row;
  return true;
}

std::vector<int> RestoreTable::RowsOfTree(const QString& given) const {
  QString path = given;
  if (path.size() > 3 && path.endsWith(u'\\')) path.chop(1);
  // Paths below a folder begin with the folder and a "\"; a drive root already ends with one.
  const QString prefix = path.endsWith(u'\\') ? path : path + u'\\';
  std::vector<int> out;
  for (int r = 1; r < Rows(); ++r) {
    const QString& p = rows_[static_cast<size_t>(r)].path;
    if (p == path || p.startsWith(prefix)) out.push_back(r);
  }
  return out;
}

}  // namespace qarno
