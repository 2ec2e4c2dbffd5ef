// The change decision of the levels: one named row per rule.
#include "engine/Marking.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

TEST(Marking, WhichFlagsAreCopiedByTheRunThatReadsThem) {
  struct Case {
    const QString& flag;
    bool copied;
  };
  const Case cases[] = {
      {flag::Found, true},      // found, not decided yet
      {flag::NotSaved, true},   // an earlier run failed to save it
      {flag::Locked, true},     // an earlier run found it locked
      {flag::Unchanged, false},
      {flag::Copied, false},
      {flag::ToCopy, false},    // already marked
      {flag::Repaired, false},
      {flag::Vanished, false},
  };
  for (const Case& c : cases) EXPECT_EQ(NeedsCopy(c.flag), c.copied) << c.flag.toStdString();
}

SaveListEntry Now() {
  SaveListEntry e;
  e[SaveListEntry::Path] = QStringLiteral("C:\\data\\a.txt");
  e[SaveListEntry::Attributes] = QStringLiteral("---A-");
  e[SaveListEntry::Size] = QStringLiteral("100");
  e[SaveListEntry::Date] = QStringLiteral("2001/02/03 04:05:06");
  e[SaveListEntry::Flag] = flag::Found;
  return e;
}

TEST(Marking, AnEntryIsUnchangedOnlyWhenDateSizeAndAttributesMatchASavedLine) {
  struct Case {
    const char* name;
    const char16_t* previous;
    QString flag;  // the entry's flag afterwards
  };
  const Case cases[] = {
      {"same everything, copied by that run", u"\"C:\\data\\a.txt\",---A-,100,2001/02/03 04:05:06,3,qrn,S,V,,0,", flag::Unchanged},
      {"same everything, held by an earlier save", u"\"C:\\data\\a.txt\",---A-,100,2001/02/03 04:05:06,2,qrn,S,V,,1,000004", flag::Unchanged},
      {"touched: another date", u"\"C:\\data\\a.txt\",---A-,100,2001/02/03 04:05:07,3,qrn,S,V,,0,", flag::ToCopy},
      {"grown by a byte", u"\"C:\\data\\a.txt\",---A-,101,2001/02/03 04:05:06,3,qrn,S,V,,0,", flag::ToCopy},
      {"read-only set since", u"\"C:\\data\\a.txt\",R--A-,100,2001/02/03 04:05:06,3,qrn,S,V,,0,", flag::ToCopy},
      {"attribute letters compared exactly", u"\"C:\\data\\a.txt\",---a-,100,2001/02/03 04:05:06,3,qrn,S,V,,0,", flag::ToCopy},
      {"not saved by that run", u"\"C:\\data\\a.txt\",---A-,100,2001/02/03 04:05:06,-2,,,,,,", flag::ToCopy},
      {"locked in that run", u"\"C:\\data\\a.txt\",---A-,100,2001/02/03 04:05:06,8,,,,,,", flag::ToCopy},
      {"never decided in that run", u"\"C:\\data\\a.txt\",---A-,100,2001/02/03 04:05:06,0,,,,,,", flag::ToCopy},
      {"a line without its flag proves nothing", u"\"C:\\data\\a.txt\",---A-,100,2001/02/03 04:05:06", flag::ToCopy},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SaveListEntry e = Now();
    const QString line = QString::fromUtf16(c.previous);
    MarkAgainstPrevious(e, SplitListingLine(line));
    EXPECT_EQ(e[SaveListEntry::Flag], c.flag);
  }
}

TEST(Marking, AnUnchangedEntryTakesTheCopyFieldsOfTheLine) {
  SaveListEntry e = Now();
  const QString line = QStringLiteral("\"C:\\data\\a.txt\",---A-,100,2001/02/03 04:05:06,2,qrn20010203_00,1A2B-3C4D,VOL,,1,000004");
  MarkAgainstPrevious(e, SplitListingLine(line));
  EXPECT_EQ(e[SaveListEntry::SaveName], QStringLiteral("qrn20010203_00"));
  EXPECT_EQ(e[SaveListEntry::VolSerial], QStringLiteral("1A2B-3C4D"));
  EXPECT_EQ(e[SaveListEntry::VolName], QStringLiteral("VOL"));
  EXPECT_EQ(e[SaveListEntry::CompType], QStringLiteral("1"));
  EXPECT_EQ(e[SaveListEntry::Alias], QStringLiteral("000004"));
  // A changed entry keeps nothing of the old copy.
  SaveListEntry changed = Now();
  changed[SaveListEntry::Size] = QStringLiteral("7");
  MarkAgainstPrevious(changed, SplitListingLine(line));
  EXPECT_TRUE(changed[SaveListEntry::SaveName].isEmpty());
}

}  // namespace
}  // namespace qarno
