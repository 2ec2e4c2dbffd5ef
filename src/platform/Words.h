// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A text in two forms: the program's own words, which its stored files and logs keep in every
// locale because others read them, and the same text in the user's language, which is what
// the user is shown. Names, paths and numbers are the same in both; a phrase is translated
// where it is written:
//
//   Words text = path + Words(u'\r') + TrWords("Listing", "前回のCSVファイルがありません。");
//
// so a message is composed once and the log still gets the words it always got.
#include <QCoreApplication>
#include <QString>

namespace qarno {

class Words {
 public:
  Words() = default;
  // The same in every language (a name, a path, a number, a line break).
  Words(const QString& same) : own_(same), shown_(same) {}  // NOLINT: implicit on purpose
  Words(QChar same) : own_(same), shown_(same) {}           // NOLINT
  Words(const QString& own, const QString& shown) : own_(own), shown_(shown) {}

  const QString& Own() const { return own_; }
  const QString& Shown() const { return shown_; }

  Words& operator+=(const Words& more) {
    own_ += more.own_;
    shown_ += more.shown_;
    return *this;
  }
  friend Words operator+(Words left, const Words& right) { return left += right; }
  friend Words operator+(const QString& left, const Words& right) { return Words(left) += right; }
  friend Words operator+(Words left, const QString& right) { return left += Words(right); }
  friend Words operator+(Words left, QChar right) { return left += Words(right); }
  friend Words operator+(QChar left, const Words& right) { return Words(left) += right; }
  // Fills %1, %2… of both forms with the same argument.
  Words arg(const QString& a) const { return Words(own_.arg(a), shown_.arg(a)); }
  Words arg(qlonglong a) const { return Words(own_.arg(a), shown_.arg(a)); }
  Words arg(const QString& a, const QString& b) const { return Words(own_.arg(a, b), shown_.arg(a, b)); }

 private:
  QString own_;
  QString shown_;
};

// The phrase `source` (UTF-8, in the program's own words) with its translation in the
// installed language. lupdate takes it as QCoreApplication::translate (-tr-function-alias).
inline Words TrWords(const char* context, const char* source, const char* disambiguation = nullptr, int n = -1) {
  QString own = QString::fromUtf8(source);
  QString shown = QCoreApplication::translate(context, source, disambiguation, n);
  if (n >= 0) own.replace(QStringLiteral("%n"), QString::number(n));
  return Words(own, shown);
}

}  // namespace qarno
