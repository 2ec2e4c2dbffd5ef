// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Attributes.h"
#include "common/CsvFields.h"
#include "platform/Platform.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace qarno {
namespace {

TEST(CsvFields, QuotedPathKeepsItsCommas) {
  QString rest = QStringLiteral("\"C:\\A,B\\X.TXT\",-----,1234,1999/04/05 07:08:09,3,qrn,1A2B-3C4D,V,,0,");
  QString f;
  ASSERT_TRUE(GetCsvPathField(rest, f));
  EXPECT_EQ(f, QStringLiteral("C:\\A,B\\X.TXT"));
  QStringList fields;
  while (GetCsvField(rest, f)) fields += f;
  // The empty Alias after the last comma is not a further field.
  EXPECT_EQ(fields, (QStringList{"-----", "1234", "1999/04/05 07:08:09", "3", "qrn", "1A2B-3C4D", "V", "", "0"}));
  EXPECT_FALSE(GetCsvField(rest, f));
  EXPECT_EQ(f, QString());
}

TEST(CsvFields, UnquotedPathEndsBeforeTheRealAttributeField) {
  QString rest = QStringLiteral("C:\\A,R-junk\\B,C\\X.TXT,R-HA-,10");
  QString f;
  ASSERT_TRUE(GetCsvPathField(rest, f));
  EXPECT_EQ(f, QStringLiteral("C:\\A,R-junk\\B,C\\X.TXT"));
  EXPECT_EQ(rest, QStringLiteral("R-HA-,10"));
  rest = QStringLiteral("C:\\no\\attributes,here");
  ASSERT_TRUE(GetCsvPathField(rest, f));
  EXPECT_EQ(f, QStringLiteral("C:\\no\\attributes,here"));
  EXPECT_EQ(rest, QString());
}

TEST(CsvFields, EdgesOfQuotesAndEmptyLines) {
  QString rest, f;
  EXPECT_FALSE(GetCsvPathField(rest, f));
  rest = QStringLiteral("\"\",x");
  ASSERT_TRUE(GetCsvPathField(rest, f));
  EXPECT_EQ(f, QString());
  EXPECT_EQ(rest, QStringLiteral("x"));
  rest = QStringLiteral("\"only\",");
  ASSERT_TRUE(GetCsvPathField(rest, f));
  EXPECT_EQ(f, QStringLiteral("only"));
  EXPECT_EQ(rest, QString());
  rest = QStringLiteral("\"unclosed,x");
  ASSERT_TRUE(GetCsvPathField(rest, f));
  EXPECT_EQ(f, QStringLiteral("\"unclosed,x"));
  rest = QStringLiteral(",b");
  ASSERT_TRUE(GetCsvField(rest, f));
  EXPECT_EQ(f, QString());
  EXPECT_EQ(rest, QStringLiteral("b"));
}

TEST(Attributes, TextAndBitsTurnIntoEachOther) {
  EXPECT_TRUE(IsAttrText(u"RSHAD"));
  EXPECT_TRUE(IsAttrText(u"-----"));
  EXPECT_FALSE(IsAttrText(u"rshad"));
  EXPECT_FALSE(IsAttrText(u"R-H-"));
  EXPECT_FALSE(IsAttrText(u"SRHAD"));  // each letter in its own place
  EXPECT_EQ(AttrText(attr::ReadOnly | attr::Hidden | attr::Archive), QStringLiteral("R-HA-"));
  EXPECT_EQ(AttrText(attr::Directory | attr::Normal), QStringLiteral("----D"));
  EXPECT_EQ(AttrBits(u"R-HA-"), attr::ReadOnly | attr::Hidden | attr::Archive);
  EXPECT_EQ(AttrBits(u"-S--D"), attr::System | attr::Directory);
  // Nothing set, or a text too short to say anything, is a normal file.
  EXPECT_EQ(AttrBits(u"-----"), attr::Normal);
  EXPECT_EQ(AttrBits(u"RSH"), attr::Normal);
  for (uint32_t bits = 0; bits < 0x40; ++bits) {
    const uint32_t known = bits & (attr::ReadOnly | attr::System | attr::Hidden | attr::Archive | attr::Directory);
    EXPECT_EQ(AttrBits(AttrText(bits)), known ? known : attr::Normal) << bits;
  }
}

}  // namespace
}  // namespace qarno
