// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

TEST(TextCodec, ReadsUtf8AndShiftJisAlike) {
  const QString text = QStringLiteral("保存名,日本語のパス");
  EXPECT_EQ(TextCodec().Decode(text.toUtf8()), text);
  EXPECT_EQ(TextCodec().Decode("\xEF\xBB\xBF" + text.toUtf8()), text);
  const QByteArray sjis = TextCodec(TextEncoding::ShiftJis).Encode(text);
  EXPECT_NE(sjis, text.toUtf8());
  EXPECT_EQ(TextCodec().Decode(sjis), text);
  // "ソ" in Shift-JIS carries a backslash byte; it must survive.
  const QString so = QStringLiteral("C:\\ソフト\\表.txt");
  EXPECT_EQ(TextCodec().Decode(TextCodec(TextEncoding::ShiftJis).Encode(so)), so);
}

// Half-width katakana in Shift-JIS are single bytes, and pairs of them are often valid
// UTF-8 too: "ﾃｽﾄｺ" is C3 BD C4 BA, which UTF-8 reads as "ýĺ".
TEST(TextCodec, AFileValidBothWaysIsReadInTheConfiguredEncoding) {
  const TextCodec sjis(TextEncoding::ShiftJis);
  const QString kana = QStringLiteral("\"T:\\src\\ﾃｽﾄｺ.txt\",---A-,1");
  const QByteArray bytes = sjis.EncodeLine(kana) + sjis.EncodeLine(QStringLiteral("\"T:\\src\\ﾄｺ\",----D,0"));
  ASSERT_EQ(bytes.mid(8, 4), QByteArray("\xC3\xBD\xC4\xBA"));
  EXPECT_EQ(sjis.DecodeLines(bytes).value(0), kana);
  EXPECT_EQ(TextCodec::FromSettingText(QStringLiteral("Shift_JIS")).DecodeLines(bytes).value(1),
            QStringLiteral("\"T:\\src\\ﾄｺ\",----D,0"));
  // With the default, such bytes are ours: UTF-8.
  EXPECT_EQ(TextCodec().DecodeLines(bytes).value(0), QStringLiteral("\"T:\\src\\ýĺ.txt\",---A-,1"));
  // Our own UTF-8 files stay UTF-8 under the default whatever they hold.
  const QString japanese = QStringLiteral("C:\\保存\\ﾃｽﾄ.txt");
  EXPECT_EQ(TextCodec().Decode(japanese.toUtf8()), japanese);
}

TEST(TextCodec, TheEncodingIsDecidedForTheWholeFileNotLineByLine) {
  const TextCodec sjis(TextEncoding::ShiftJis);
  // The first line alone would read as UTF-8; the second is Shift-JIS only ("表" holds a
  // byte UTF-8 cannot start with). The file is Shift-JIS, both lines of it.
  const QStringList lines = {QStringLiteral("C:\\ﾃｽﾄｺ.txt"), QStringLiteral("C:\\表.txt")};
  const QByteArray bytes = sjis.EncodeLines(lines);
  EXPECT_EQ(TextCodec().DecodeLines(bytes), lines);
  EXPECT_EQ(sjis.DecodeLines(bytes), lines);
  // UTF-8 that is no Shift-JIS is UTF-8 under either setting.
  const QStringList utf8 = {QStringLiteral("C:\\ﾃｽﾄｺ.txt"), QStringLiteral("C:\\😀.txt")};
  EXPECT_EQ(sjis.DecodeLines(TextCodec().EncodeLines(utf8)), utf8);
  // A byte order mark decides for UTF-8.
  EXPECT_EQ(sjis.Decode("\xEF\xBB\xBF\xC3\xBD"), QStringLiteral("ý"));
  // Broken in both: the reading that loses less (one bad byte in a Shift-JIS file).
  QByteArray damaged = sjis.Encode(QStringLiteral("日本語のパス名"));
  damaged.append('\xFF');
  EXPECT_TRUE(TextCodec().Decode(damaged).startsWith(QStringLiteral("日本語のパス名")));
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
  EXPECT_TRUE(sjis.CanEncode(QStringLiteral("ﾃｽﾄｺ.txt")));  // its bytes are valid UTF-8 as well
  EXPECT_TRUE(TextCodec().CanEncode(QStringLiteral("emoji😀.txt")));
  QString lone = QStringLiteral("a");
  lone += QChar(0xD800);
  EXPECT_FALSE(TextCodec().CanEncode(lone));
}

}  // namespace
}  // namespace qarno
