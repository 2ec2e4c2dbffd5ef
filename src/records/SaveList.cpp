// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/SaveList.h"

#include "common/Attributes.h"
#include "common/Utils.h"

#include <QCoreApplication>
#include <algorithm>

namespace qarno {

bool SaveListEntry::IsDirectory() const { return IsDirectoryAttr(attributes); }

void SaveListEntry::TakeCopyOf(const SaveListEntry& from) {
  attributes = from.attributes;
  size = from.size;
  date = from.date;
  saveName = from.saveName;
  volSerial = from.volSerial;
  volName = from.volName;
  compType = from.compType;
  alias = from.alias;
}

QStringView CodeOf(Flag value) {
  switch (value) {
    case Flag::Found: return u"0";
    case Flag::Unchanged: return u"2";
    case Flag::Copied: return u"3";
    case Flag::ToCopy: return u"4";
    case Flag::Repaired: return u"5";
    case Flag::Vanished: return u"6";
    case Flag::Locked: return u"8";
    case Flag::NotSaved: return u"-2";
    default: return u"";
  }
}

QStringView CodeOf(RestoreFlag value) {
  switch (value) {
    case RestoreFlag::None: return u"0";
    case RestoreFlag::Reserved: return u"1";
    case RestoreFlag::Restored: return u"2";
    case RestoreFlag::Failed: return u"-1";
    default: return u"";
  }
}

QStringView CodeOf(CompType value) {
  switch (value) {
    case CompType::Plain: return u"0";
    case CompType::Lha: return u"1";
    default: return u"";
  }
}

namespace {
// True for the text QString::number gives: "0", or digits without a leading zero, after a
// minus sign or not.
bool IsPlainNumber(QStringView text) {
  const QStringView digits = text.startsWith(u'-') ? text.mid(1) : text;
  if (digits.isEmpty() || (digits[0] == u'0' && (digits.size() > 1 || digits.size() != text.size()))) return false;
  for (QChar c : digits) {
    if (c < u'0' || c > u'9') return false;
  }
  return true;
}
}  // namespace

EntrySize EntrySize::FromText(QStringView text) {
  EntrySize s;
  if (text.isEmpty()) return s;
  bool ok = false;
  s.bytes_ = text.toLongLong(&ok);
  s.readable_ = ok;
  if (!ok || !IsPlainNumber(text)) s.odd_.Set(text.toString());
  return s;
}

QString EntrySize::Text() const {
  QString text;
  AppendTo(text);
  return text;
}

void EntrySize::AppendTo(QString& line) const {
  if (!odd_.isNull()) {
    line += odd_.text();
    return;
  }
  if (!readable_) return;
  char16_t buf[24];
  int at = 24;
  uint64_t v = bytes_ < 0 ? 0 - static_cast<uint64_t>(bytes_) : static_cast<uint64_t>(bytes_);
  do {
    buf[--at] = char16_t(u'0' + v % 10);
    v /= 10;
  } while (v);
  if (bytes_ < 0) buf[--at] = u'-';
  line += QStringView(buf + at, 24 - at);
}

bool operator==(const EntrySize& a, const EntrySize& b) {
  // A text kept as read is never the plain number of any size, nor empty.
  if (a.odd_.isNull() != b.odd_.isNull()) return false;
  if (!a.odd_.isNull()) return a.odd_.text() == b.odd_.text();
  return a.readable_ == b.readable_ && a.bytes_ == b.bytes_;
}

EntryDate EntryDate::FromFileTime(int64_t secondsSinceEpoch) { return FromText(FormatFileTime(secondsSinceEpoch)); }

EntryDate EntryDate::FromText(QStringView text) {
  EntryDate d;
  if (text.isEmpty()) return d;
  auto digit = [&](int i) -> int {
    const char16_t c = text[i].unicode();
    return c >= u'0' && c <= u'9' ? c - u'0' : -1;
  };
  auto two = [&](int i) -> int {
    const int a = digit(i), b = digit(i + 1);
    return a < 0 || b < 0 ? -1 : a * 10 + b;
  };
  if (text.size() == 19 && text[4] == u'/' && text[7] == u'/' && text[10] == u' ' && text[13] == u':' &&
      text[16] == u':') {
    const int century = two(0), year = two(2), month = two(5), day = two(8), hour = two(11), minute = two(14),
              second = two(17);
    if (century >= 0 && year >= 0 && month >= 0 && day >= 0 && hour >= 0 && minute >= 0 && second >= 0) {
      d.year_ = static_cast<uint16_t>(century * 100 + year);
      d.month_ = static_cast<uint8_t>(month);
      d.day_ = static_cast<uint8_t>(day);
      d.hour_ = static_cast<uint8_t>(hour);
      d.minute_ = static_cast<uint8_t>(minute);
      d.second_ = static_cast<uint8_t>(second);
      d.set_ = true;
      return d;
    }
  }
  d.odd_.Set(text.toString());
  return d;
}

QString EntryDate::Text() const {
  QString text;
  AppendTo(text);
  return text;
}

void EntryDate::AppendTo(QString& line) const {
  if (!odd_.isNull()) {
    line += odd_.text();
    return;
  }
  if (!set_) return;
  char16_t buf[19];
  auto put2 = [&](int at, int v) {
    buf[at] = char16_t(u'0' + v / 10);
    buf[at + 1] = char16_t(u'0' + v % 10);
  };
  put2(0, year_ / 100);
  put2(2, year_ % 100);
  buf[4] = u'/';
  put2(5, month_);
  buf[7] = u'/';
  put2(8, day_);
  buf[10] = u' ';
  put2(11, hour_);
  buf[13] = u':';
  put2(14, minute_);
  buf[16] = u':';
  put2(17, second_);
  line += QStringView(buf, 19);
}

bool operator==(const EntryDate& a, const EntryDate& b) {
  if (a.odd_.isNull() != b.odd_.isNull()) return false;
  if (!a.odd_.isNull()) return a.odd_.text() == b.odd_.text();
  return a.set_ == b.set_ && a.year_ == b.year_ && a.month_ == b.month_ && a.day_ == b.day_ && a.hour_ == b.hour_ &&
         a.minute_ == b.minute_ && a.second_ == b.second_;
}

QString FieldText(const SaveListEntry& e, int field) {
  switch (field) {
    case SaveListEntry::Path: return e.path;
    case SaveListEntry::Attributes: return e.attributes;
    case SaveListEntry::Size: return e.size.Text();
    case SaveListEntry::Date: return e.date.Text();
    case SaveListEntry::Flag: return e.flag.Text();
    case SaveListEntry::SaveName: return e.saveName;
    case SaveListEntry::VolSerial: return e.volSerial;
    case SaveListEntry::VolName: return e.volName;
    case SaveListEntry::RestoreFlag: return e.restoreFlag.Text();
    case SaveListEntry::CompType: return e.compType.Text();
    case SaveListEntry::Alias: return e.alias;
    default: return QString();
  }
}

void SetFieldText(SaveListEntry& e, int field, QStringView text) {
  switch (field) {
    case SaveListEntry::Path: e.path = text.toString(); break;
    case SaveListEntry::Attributes: e.attributes = text.toString(); break;
    case SaveListEntry::Size: e.size = EntrySize::FromText(text); break;
    case SaveListEntry::Date: e.date = EntryDate::FromText(text); break;
    case SaveListEntry::Flag: e.flag = Coded<Flag>::FromText(text); break;
    case SaveListEntry::SaveName: e.saveName = text.toString(); break;
    case SaveListEntry::VolSerial: e.volSerial = text.toString(); break;
    case SaveListEntry::VolName: e.volName = text.toString(); break;
    case SaveListEntry::RestoreFlag: e.restoreFlag = Coded<RestoreFlag>::FromText(text); break;
    case SaveListEntry::CompType: e.compType = Coded<CompType>::FromText(text); break;
    case SaveListEntry::Alias: e.alias = text.toString(); break;
    default: break;
  }
}

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
      SetFieldText(h, i, p.trimmed());
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
  moreRows_.clear();
}

int SaveListTable::Append(SaveListEntry entry) {
  const int row = Rows();
  const auto it = index_.constFind(entry.path);
  if (it == index_.cend()) {
    index_.insert(entry.path, row);
  } else {
    std::vector<int>& rows = moreRows_[*it];
    if (rows.empty()) rows.push_back(*it);
    rows.push_back(row);
  }
  rows_.push_back(std::move(entry));
  return row;
}

bool SaveListTable::FindNewPath(const QString& path, int& position) const {
  const int last = Count();
  if (last < 1) return false;
  const auto it = index_.constFind(path);
  if (it == index_.cend()) return false;
  // The walk starts at `position`; one past the last row it goes on from row 1.
  const int start = (position < 1 || position > last) ? 1 : position;
  const auto more = moreRows_.constFind(*it);
  if (more == moreRows_.cend()) {
    position = *it;
    return true;
  }
  const std::vector<int>& rows = *more;
  const auto at = std::lower_bound(rows.begin(), rows.end(), start);
  position = at != rows.end() ? *at : rows.front();
  return true;
}

QString ListInfoTable::FormatString() {
  return QCoreApplication::translate("ListInfoTable", "^|トータル       |今回コピー分 |;|ファイル|フォルダー |サイズ(KB)");
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
