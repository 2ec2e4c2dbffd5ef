// SPDX-License-Identifier: GPL-3.0-or-later
// The listing line: exact bytes written, and the one field-count rule every reader follows.
#include "records/ListingLine.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

SaveListEntry Entry(std::initializer_list<const char*> fields) {
  SaveListEntry e;
  int i = 0;
  for (const char* f : fields) SetFieldText(e, i++, QString::fromUtf8(f));
  return e;
}

TEST(ListingLine, WritesTheElevenFieldsWithOnlyThePathQuoted) {
  // A path with a comma, an empty RestoreFlag and an empty Alias (the line ends with a comma).
  const SaveListEntry e = Entry({"C:\\DATA\\A,B.TXT", "-----", "1234", "1999/04/05 07:08:09", "3", "qrn990405_00",
                                 "1A2B-3C4D", "BACKUP1", "", "0", ""});
  EXPECT_EQ(FormatListingLine(e),
            QStringLiteral("\"C:\\DATA\\A,B.TXT\",-----,1234,1999/04/05 07:08:09,3,qrn990405_00,1A2B-3C4D,BACKUP1,,0,"));
}

TEST(ListingLine, AnEntryKeptByARepairRunIsListedAsCopied) {
  SaveListEntry e = Entry({"C:\\x", "---A-", "1", "2001/01/01 00:00:00", "5", "qrn20010101_00", "", "", "", "0", "000007"});
  EXPECT_EQ(FormatListingLine(e), QStringLiteral("\"C:\\x\",---A-,1,2001/01/01 00:00:00,3,qrn20010101_00,,,,0,000007"));
  e.flag = Flag::NotSaved;
  EXPECT_TRUE(FormatListingLine(e).contains(QStringLiteral(",-2,")));
}

TEST(ListingLine, ReadsBackWhatItWrote) {
  const SaveListEntry e = Entry({"C:\\a, b\\日本語.txt", "R-HA-", "42", "2020/12/31 23:59:59", "2", "qrn20201231_03",
                                 "0000-0001", "VOL", "1", "1", "000123"});
  const QString line = FormatListingLine(e);
  const ListingFields f = SplitListingLine(line);
  EXPECT_EQ(f.count, SaveListEntry::FieldCount);
  EXPECT_TRUE(f.WellFormed());
  EXPECT_EQ(FormatListingLine(f.ToEntry()), line);
}

// What a listing holds comes back as it was, whatever the field: each code, a code no run
// writes, a date or a size in another form, a size that does not read as one.
TEST(ListingLine, ALineReadAndWrittenBackIsTheSameLine) {
  const char16_t* const lines[] = {
      u"\"C:\\a\",---A-,1,2001/01/01 00:00:00,0,,,,,,",
      u"\"C:\\a\",---A-,1,2001/01/01 00:00:00,2,qrn20010101_00,1A2B-3C4D,V,,1,000001",
      u"\"C:\\a\",---A-,0,2001/01/01 00:00:00,3,qrn20010101_00,,,1,0,",
      u"\"C:\\a\",---A-,1,2001/01/01 00:00:00,4,,,,2,,",
      u"\"C:\\a\",---A-,1,2001/01/01 00:00:00,6,,,,-1,,",
      u"\"C:\\a\",---A-,1,2001/01/01 00:00:00,8,,,,0,,",
      u"\"C:\\a\",---A-,-1,2001/01/01 00:00:00,-2,,,,,,",
      u"\"C:\\a\",---A-,9223372036854775807,9999/99/99 99:99:99,7,s,,,9,2,x",
      u"\"C:\\a\",---A-,012,2001/1/1 0:00:00,,s,,,,,",
      u"\"C:\\a\",---A-,+5,01.01.2001 00:00,03,s,,,01,00,",
      u"\"C:\\a\",---A-,1e3, 2001/01/01 00:00:00,-0,s,,,,,",
      u"\"C:\\a\",---A-,99999999999999999999,2001/01/01 00:00:0x,3 ,s,,,,,",
      u"\"C:\\a\",RHSAD,abc,,3,s,,,,,",
      u"\"C:\\a\",---A-,-0,2001/01/01 00:00:00,3,s,,,,,",
      u"\"C:\\a\",---A-,-9223372036854775808,2001/01/01 00:00:00,3,s,,,,,",
  };
  for (const char16_t* l : lines) {
    const QString line = QString::fromUtf16(l);
    SCOPED_TRACE(line.toStdString());
    EXPECT_EQ(FormatListingLine(SplitListingLine(line).ToEntry()).toStdString(), line.toStdString());
  }
  // The typed values read as the text did.
  auto entry = [](const char16_t* size, const char16_t* date) {
    const QString line = QStringLiteral("\"C:\\a\",---A-,") + QString::fromUtf16(size) + u',' +
                         QString::fromUtf16(date) + QStringLiteral(",3");
    return SplitListingLine(line).ToEntry();
  };
  EXPECT_EQ(entry(u"012", u"d").size.Bytes(), 12);
  EXPECT_TRUE(entry(u"012", u"d").size.Readable());
  EXPECT_FALSE(entry(u"abc", u"d").size.Readable());
  EXPECT_EQ(entry(u"abc", u"d").size.Bytes(), 0);
  // The same size or date in another form is another text, so not the same.
  EXPECT_FALSE(entry(u"012", u"d").size == EntrySize(12));
  EXPECT_TRUE(entry(u"12", u"d").size == EntrySize(12));
  EXPECT_FALSE(entry(u"1", u"2001/1/1 0:00:00").date == entry(u"1", u"2001/01/01 00:00:00").date);
  EXPECT_TRUE(entry(u"1", u"2001/01/01 00:00:00").date == entry(u"1", u"2001/01/01 00:00:00").date);
}

// One named row per case of the field-count rule.
TEST(ListingLine, TheFieldCountRule) {
  struct Case {
    const char* name;
    const char16_t* line;
    int count;
    bool wellFormed;
  };
  const Case cases[] = {
      {"empty line: nothing", u"", 0, false},
      {"path only", u"\"C:\\x\"", 1, false},
      {"path and attributes only", u"\"C:\\x\",---A-", 2, false},
      {"no flag", u"\"C:\\x\",---A-,1,2001/01/01 00:00:00", 4, false},
      {"up to the flag is enough", u"\"C:\\x\",---A-,1,2001/01/01 00:00:00,3", 5, true},
      {"an empty alias is no field", u"\"C:\\x\",---A-,1,2001/01/01 00:00:00,3,s,v,n,,0,", 10, true},
      {"all eleven", u"\"C:\\x\",---A-,1,2001/01/01 00:00:00,3,s,v,n,,0,000001", 11, true},
      {"past the eleventh is ignored", u"\"C:\\x\",---A-,1,d,3,s,v,n,,0,000001,junk,more", 11, true},
      {"an unquoted path ends before the attribute field", u"C:\\a,b\\x,---A-,1,d,3", 5, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString line = QString::fromUtf16(c.line);
    const ListingFields f = SplitListingLine(line);
    EXPECT_EQ(f.count, c.count);
    EXPECT_EQ(f.WellFormed(), c.wellFormed);
  }
  const QString unquoted = QStringLiteral("C:\\a,b\\x,---A-,1,d,3");
  EXPECT_EQ(SplitListingLine(unquoted)[SaveListEntry::Path], QStringLiteral("C:\\a,b\\x"));
  // Missing fields read as empty.
  const QString shortLine = QStringLiteral("\"C:\\x\",---A-,1,d,3,s");
  const SaveListEntry e = SplitListingLine(shortLine).ToEntry();
  EXPECT_EQ(e.saveName, QStringLiteral("s"));
  EXPECT_TRUE(e.alias.isEmpty());
}

}  // namespace
}  // namespace qarno
