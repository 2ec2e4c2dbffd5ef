// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace qarno {

namespace {
// ICU's name for Microsoft's Shift-JIS, the one Japanese Windows writes.
constexpr const char* kShiftJis = "windows-31j";

// The bytes read in one encoding, and how many characters could not be read.
struct Reading {
  QString text;
  qsizetype lost = 0;
  bool valid() const { return lost == 0; }
};

Reading ReadAs(QByteArrayView bytes, TextEncoding encoding) {
  QStringDecoder decoder = encoding == TextEncoding::Utf8
                               ? QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless)
                               : QStringDecoder(kShiftJis, QStringConverter::Flag::Stateless);
  Reading r;
  if (!decoder.isValid()) {  // no Shift-JIS converter in this Qt: nothing reads that way
    r.lost = bytes.size() + 1;
    return r;
  }
  r.text = decoder.decode(bytes);
  // The decoder marks what it could not read with U+FFFD; a file that holds that character
  // itself reads no worse in the other encoding, so counting them is fair to both.
  if (decoder.hasError() || r.text.contains(QChar::ReplacementCharacter))
    r.lost = std::max<qsizetype>(1, r.text.count(QChar::ReplacementCharacter));
  return r;
}
}  // namespace

TextCodec TextCodec::FromSettingText(const QString& text) {
  const QString t = text.trimmed().toLower();
  if (t == u"shift_jis" || t == u"shift-jis" || t == u"sjis" || t == u"cp932" || t == u"windows-31j")
    return TextCodec(TextEncoding::ShiftJis);
  return TextCodec(TextEncoding::Utf8);
}

QByteArray TextCodec::Encode(const QString& text) const {
  if (encoding_ == TextEncoding::Utf8) return text.toUtf8();
  QStringEncoder encoder(kShiftJis, QStringConverter::Flag::Stateless);
  if (!encoder.isValid()) return text.toUtf8();
  return encoder.encode(text);
}

bool TextCodec::CanEncode(const QString& text) const {
  if (encoding_ == TextEncoding::Utf8) {
    // Lone surrogates (from undecodable host names) do not survive UTF-8.
    for (qsizetype i = 0; i < text.size(); ++i) {
      const QChar c = text[i];
      if (c.isHighSurrogate()) {
        if (i + 1 >= text.size() || !text[i + 1].isLowSurrogate()) return false;
        ++i;
      } else if (c.isLowSurrogate()) {
        return false;
      }
    }
    return true;
  }
  return ReadAs(Encode(text), TextEncoding::ShiftJis).text == text;
}

QByteArray TextCodec::EncodeLines(const QStringList& lines) const {
  QByteArray out;
  for (const QString& line : lines) out += EncodeLine(line);
  return out;
}

QString TextCodec::Decode(const QByteArray& bytes) const {
  QByteArrayView view(bytes);
  if (view.startsWith("\xEF\xBB\xBF")) return ReadAs(view.sliced(3), TextEncoding::Utf8).text;
  Reading utf8 = ReadAs(view, TextEncoding::Utf8);
  Reading sjis = ReadAs(view, TextEncoding::ShiftJis);
  if (utf8.valid() != sjis.valid()) return utf8.valid() ? utf8.text : sjis.text;
  if (utf8.lost != sjis.lost) return utf8.lost < sjis.lost ? utf8.text : sjis.text;
  return encoding_ == TextEncoding::ShiftJis ? sjis.text : utf8.text;
}

QStringList TextCodec::SplitLines(const QString& text) {
  QStringList lines;
  qsizetype start = 0;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    if (text[i] == u'\n') {
      qsizetype end = i;
      if (end > start && text[end - 1] == u'\r') --end;
      lines.append(text.mid(start, end - start));
      start = i + 1;
    }
  }
  if (start < n) {
    QString last = text.mid(start);
    if (last.endsWith(u'\r')) last.chop(1);
    lines.append(last);
  }
  return lines;
}

}  // namespace qarno
