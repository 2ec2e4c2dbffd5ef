#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

TEST(TextCodec, ReadsUtf8AndShiftJisAlike) {
  const QString text = QStringLiteral("保存名,日本語のパス");
  EXPECT_EQ(TextCodec::Decode(text.toUtf8()), text);
  EXPECT_EQ(TextCodec::Decode("\xEF\xBB\xBF" + text.toUtf8()), text);
  const QByteArray sjis = TextCodec(TextEncoding::ShiftJis).Encode(text);
  EXPECT_NE(sjis, text.toUtf8());
  EXPECT_EQ(TextCodec::Decode(sjis), text);
  // "ソ" in Shift-JIS carries a backslash byte; it must survive.
  const QString so = QStringLiteral("C:\\ソフト\\表.txt");
  EXPECT_EQ(TextCodec::Decode(TextCodec(TextEncoding::ShiftJis).Encode(so)), so);
}

TEST(TextCodec, LinesEndWithCrLfAndReadersAcceptLf) {
  TextCodec c;
  EXPECT_EQ(c.EncodeLines({QStringLiteral("a"), QString(), QStringLiteral("b")}), QByteArray("a\r\n\r\nb\r\n"));
  EXPECT_EQ(TextCodec::SplitLines(QStringLiteral("a\r\nb\nc")), (QStringList{"a", "b", "c"}));
  EXPECT_EQ(TextCodec::SplitLines(QStringLiteral("a\r\n")), QStringList{"a"});
  EXPECT_EQ(TextCodec::SplitLines(QString()), QStringList());
  EXPECT_EQ(TextCodec::SplitLines(QStringLiteral("\n")), QStringList{""});
}

TEST(TextCodec, SettingSelectsTheEncodingAndCanEncodeTellsWhatFits) {
  EXPECT_EQ(TextCodec::FromSettingText(QStringLiteral("Shift_JIS")).encoding(), TextEncoding::ShiftJis);
  EXPECT_EQ(TextCodec::FromSettingText(QStringLiteral("")).encoding(), TextEncoding::Utf8);
  const TextCodec sjis(TextEncoding::ShiftJis);
  EXPECT_TRUE(sjis.CanEncode(QStringLiteral("日本語.txt")));
  EXPECT_FALSE(sjis.CanEncode(QStringLiteral("emoji😀.txt")));
  EXPECT_TRUE(TextCodec().CanEncode(QStringLiteral("emoji😀.txt")));
  QString lone = QStringLiteral("a");
  lone += QChar(0xD800);
  EXPECT_FALSE(TextCodec().CanEncode(lone));
}

}  // namespace
}  // namespace qarno
