#include "platform/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace qarno {

namespace {
// ICU's name for Microsoft's Shift-JIS, the one Japanese Windows writes.
constexpr const char* kShiftJis = "windows-31j";
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
  return Decode(Encode(text)) == text;
}

QByteArray TextCodec::EncodeLines(const QStringList& lines) const {
  QByteArray out;
  for (const QString& line : lines) out += EncodeLine(line);
  return out;
}

QString TextCodec::Decode(const QByteArray& bytes) {
  QByteArrayView view(bytes);
  if (view.startsWith("\xEF\xBB\xBF")) view = view.sliced(3);
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  QString text = utf8.decode(view);
  if (!utf8.hasError()) return text;
  QStringDecoder sjis(kShiftJis, QStringConverter::Flag::Stateless);
  if (!sjis.isValid()) return text;
  return sjis.decode(view);
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
