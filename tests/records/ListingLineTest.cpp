// The listing line: exact bytes written, and the one field-count rule every reader follows.
#include "records/ListingLine.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

SaveListEntry Entry(std::initializer_list<const char*> fields) {
  SaveListEntry e;
  int i = 0;
  for (const char* f : fields) e[i++] = QString::fromUtf8(f);
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
  e.flag = QStringLiteral("-2");
  EXPECT_TRUE(FormatListingLine(e).contains(QStringLiteral(",-2,")));
}

TEST(ListingLine, ReadsBackWhatItWrote) {
  const SaveListEntry e = Entry({"C:\\a, b\\日本語.txt", "R-HA-", "42", "2020/12/31 23:59:59", "2", "qrn20201231_03",
                                 "0000-0001", "VOL", "1", "1", "000123"});
  const QString line = FormatListingLine(e);
  const ListingFields f = SplitListingLine(line);
  EXPECT_EQ(f.count, SaveListEntry::FieldCount);
  EXPECT_TRUE(f.WellFormed());
  EXPECT_EQ(f.ToEntry().f, e.f);
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
