// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Utils.h"

#include <ctime>

namespace qarno {

QString GetPathPrefix(const QString& path, int n) {
  int count = 0;
  for (qsizetype i = 0; i < path.size(); ++i) {
    if (path[i] == u'\\') {
      if (++count == n) {
        QString prefix = path.left(i);
        if (prefix.size() == 2) prefix += u'\\';
        return prefix;
      }
    }
  }
  if (count == n - 1) {
    QString whole = path;
    if (whole.size() == 2) whole += u'\\';
    return whole;
  }
  return QString();
}

bool SplitPath(const QString& path, QString& directory, QString& name) {
  const qsizetype i = path.lastIndexOf(u'\\');
  if (i < 0) {
    directory.clear();
    name = path;
  } else {
    const qsizetype p = i + 1;  // 1-based position of the backslash
    if (p < 2) directory.clear();
    else if (p == 3) directory = path.left(3);
    else directory = path.left(i);
    name = path.mid(i + 1);
  }
  return !directory.isEmpty() && !name.isEmpty();
}

namespace {
bool StartsWithCi(const QString& text, QStringView part) {
  return text.startsWith(part, Qt::CaseInsensitive);
}
}  // namespace

bool MatchesPathPattern(const QString& textIn, const QString& patternIn) {
  QString text = textIn;
  QString pattern = patternIn;
  for (;;) {
    if (text.isEmpty()) return pattern.isEmpty() || pattern == u"*";
    const qsizetype k = pattern.indexOf(u'*');
    if (k < 0) return text.compare(pattern, Qt::CaseInsensitive) == 0;
    if (k > 0) {
      const QStringView literal = QStringView(pattern).left(k);
      if (!StartsWithCi(text, literal)) return false;
      text.remove(0, k);
      pattern.remove(0, k);
      continue;
    }
    const qsizetype k2 = pattern.indexOf(u'*', 1);
    if (k2 > 0) {
      const QStringView literal = QStringView(pattern).mid(1, k2 - 1);
      const qsizetype at = text.indexOf(literal, 0, Qt::CaseInsensitive);
      if (at < 0) return false;
      text.remove(0, at + literal.size());
      pattern.remove(0, k2);
      continue;
    }
    const QStringView tail = QStringView(pattern).mid(1);
    if (tail.isEmpty()) return true;
    return text.endsWith(tail, Qt::CaseInsensitive);
  }
}

namespace {
void Put2(char16_t* p, int v) {
  p[0] = char16_t(u'0' + (v / 10) % 10);
  p[1] = char16_t(u'0' + v % 10);
}

QString FormatParts(int year, int month, int day, int hour, int minute, int second) {
  if (year <= 1000) year += 1900;
  char16_t buf[19];
  Put2(buf, year / 100);
  Put2(buf + 2, year % 100);
  buf[4] = u'/';
  Put2(buf + 5, month);
  buf[7] = u'/';
  Put2(buf + 8, day);
  buf[10] = u' ';
  Put2(buf + 11, hour);
  buf[13] = u':';
  Put2(buf + 14, minute);
  buf[16] = u':';
  Put2(buf + 17, second);
  return QString(reinterpret_cast<const QChar*>(buf), 19);
}
}  // namespace

QString FormatDateTime(const QDateTime& d) {
  const QDateTime local = d.toLocalTime();
  const QDate date = local.date();
  const QTime time = local.time();
  return FormatParts(date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second());
}

QString FormatFileTime(int64_t secondsSinceEpoch) {
  const time_t t = static_cast<time_t>(secondsSinceEpoch);
  struct tm tm;
#ifdef _WIN32
  if (localtime_s(&tm, &t) != 0) return FormatParts(1970, 1, 1, 0, 0, 0);
#else
  if (!localtime_r(&t, &tm)) return FormatParts(1970, 1, 1, 0, 0, 0);
#endif
  return FormatParts(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
}

int CompareSaveNames(const QString& a, const QString& b) {
  static const QString kAll = QStringLiteral("Qrn_All");
  if (a == kAll) return 1;
  if (b == kAll) return -1;
  const qsizetype pa = a.indexOf(u'_');
  const qsizetype pb = b.indexOf(u'_');
  if (pa > pb) return 1;
  if (pb > pa) return -1;
  const int c = a.compare(b, Qt::CaseInsensitive);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

QString StripExtension(const QString& name) {
  const qsizetype i = name.lastIndexOf(u'.');
  return i < 0 ? name : name.left(i);
}

QString FormatDuration(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  const int64_t h = seconds / 3600;
  const int m = static_cast<int>((seconds / 60) % 60);
  const int s = static_cast<int>(seconds % 60);
  return QStringLiteral("%1:%2:%3")
      .arg(h, 2, 10, QChar(u'0'))
      .arg(m, 2, 10, QChar(u'0'))
      .arg(s, 2, 10, QChar(u'0'));
}

QString RunClock::ElapsedTime() const { return FormatDuration(ElapsedSeconds()); }

}  // namespace qarno
