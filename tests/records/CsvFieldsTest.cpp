#include "records/CsvFields.h"

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
  EXPECT_TRUE(IsAttrField(u"RSHAD"));
  EXPECT_TRUE(IsAttrField(u"-----"));
  EXPECT_FALSE(IsAttrField(u"rshad"));
  EXPECT_FALSE(IsAttrField(u"R-H-"));
}

}  // namespace
}  // namespace qarno
