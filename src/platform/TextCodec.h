// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system's text files (set file, history, listings, log, debug file, type list) are
// written in "the system's ANSI code page" with CR LF line ends. On Windows that is the
// ANSI code page; on Linux the locale's character set (UTF-8), or Shift-JIS when the
// settings ask for it. Readers take UTF-8 and Shift-JIS (CP932) alike, so files written by
// a Japanese Windows system load here too.
//
// A file is read in one encoding as a whole, never line by line: bytes that are valid in
// only one of the two decide it; bytes valid in both (plain ASCII, but also Shift-JIS
// half-width katakana, whose byte pairs are often valid UTF-8 as well) are read in the
// configured encoding; bytes valid in neither are read in the one that loses fewer
// characters (the configured one on a tie). A UTF-8 byte order mark decides for UTF-8.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace qarno {

enum class TextEncoding { Utf8, ShiftJis };

class TextCodec {
 public:
  explicit TextCodec(TextEncoding encoding = TextEncoding::Utf8) : encoding_(encoding) {}

  // "Shift_JIS" (any case, also "CP932" and "SJIS") selects Shift-JIS; anything else UTF-8.
  static TextCodec FromSettingText(const QString& text);

  TextEncoding encoding() const { return encoding_; }

  // Text → bytes in the system encoding. Characters it cannot hold become "?".
  QByteArray Encode(const QString& text) const;
  // True when the text survives Encode unchanged.
  bool CanEncode(const QString& text) const;
  // One line with its CR LF.
  QByteArray EncodeLine(const QString& line) const { return Encode(line) + "\r\n"; }
  QByteArray EncodeLines(const QStringList& lines) const;

  // The bytes of a whole file → text, by the rule above (a BOM is dropped).
  QString Decode(const QByteArray& bytes) const;
  // Splits decoded text into lines; CR LF and LF both end a line; a last line without an
  // end is kept, an empty tail is not a line.
  static QStringList SplitLines(const QString& text);
  QStringList DecodeLines(const QByteArray& bytes) const { return SplitLines(Decode(bytes)); }

 private:
  TextEncoding encoding_;
};

}  // namespace qarno
