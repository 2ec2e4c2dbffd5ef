// SPDX-License-Identifier: GPL-3.0-or-later
// The change decision of the levels: one named row per rule.
#include "engine/Marking.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

TEST(Marking, WhichFlagsAreCopiedByTheRunThatReadsThem) {
  struct Case {
    Flag flag;
    bool copied;
  };
  const Case cases[] = {
      {Flag::Found, true},      // found, not decided yet
      {Flag::NotSaved, true},   // an earlier run failed to save it
      {Flag::Locked, true},     // an earlier run found it locked
      {Flag::Unchanged, false},
      {Flag::Copied, false},
      {Flag::ToCopy, false},    // already marked
      {Flag::Repaired, false},
      {Flag::Vanished, false},
  };
  for (const Case& c : cases) EXPECT_EQ(NeedsCopy(c.flag), c.copied) << CodeOf(c.flag).toString().toStdString();
}

SaveListEntry Now() {
  SaveListEntry e;
  e.path = QStringLiteral("C:\\data\\a.txt");
  e.attributes = QStringLiteral("---A-");
  e.size = 100;
  e.date = EntryDate::FromText(u"2001/02/03 04:05:06");
  e.flag = Flag::Found;
  return e;
}

TEST(Marking, AnEntryIsUnchangedOnlyWhenDateSizeAndAttributesMatchASavedLine) {
  struct Case {
    const char* name;
    const char16_t* previous;
    Flag flag;  // the entry's flag afterwards
  };
  const Case cases[] = {
      {"same everything, copied by that run", u"\"C:\\data\\a.txt\",---A-,100,2001/02/03 04:05:06,3,qrn,S,V,,0,", Flag::Unchanged},
      {"same everything, held by an earlier save", u"\"C:\\data\\a.txt\",---A-,100,2001/02/03 04:05:06,2,qrn,S,V,,1,000004", Flag::Unchanged},
      {"touched: another date", u"\"C:\\data\\a.txt\",---A-,100,2001/02/03 04:05:07,3,qrn,S,V,,0,", Flag::ToCopy},
      {"grown by a byte", u"\"C:\\data\\a.txt\",---A-,101,2001/02/03 04:05:06,3,qrn,S,V,,0,", Flag::ToCopy},
      {"read-only set since", u"\"C:\\data\\a.txt\",R--A-,100,2001/02/03 04:05:06,3,qrn,S,V,,0,", Flag::ToCopy},
      {"attribute letters compared exactly", u"\"C:\\data\\a.txt\",---a-,100,2001/02/03 04:05:06,3,qrn,S,V,,0,", Flag::ToCopy},
      {"not saved by that run", u"\"C:\\data\\a.txt\",---A-,100,2001/02/03 04:05:06,-2,,,,,,", Flag::ToCopy},
      {"locked in that run", u"\"C:\\data\\a.txt\",---A-,100,2001/02/03 04:05:06,8,,,,,,", Flag::ToCopy},
      {"never decided in that run", u"\"C:\\data\\a.txt\",---A-,100,2001/02/03 04:05:06,0,,,,,,", Flag::ToCopy},
      {"a line without its flag proves nothing", u"\"C:\\data\\a.txt\",---A-,100,2001/02/03 04:05:06", Flag::ToCopy},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SaveListEntry e = Now();
    const QString line = QString::fromUtf16(c.previous);
    MarkAgainstPrevious(e, SplitListingLine(line));
    EXPECT_EQ(Flag(e.flag), c.flag);
  }
}

TEST(Marking, AnUnchangedEntryTakesTheCopyFieldsOfTheLine) {
  SaveListEntry e = Now();
  const QString line = QStringLiteral("\"C:\\data\\a.txt\",---A-,100,2001/02/03 04:05:06,2,qrn20010203_00,1A2B-3C4D,VOL,,1,000004");
  MarkAgainstPrevious(e, SplitListingLine(line));
  EXPECT_EQ(FieldText(e, SaveListEntry::SaveName), QStringLiteral("qrn20010203_00"));
  EXPECT_EQ(FieldText(e, SaveListEntry::VolSerial), QStringLiteral("1A2B-3C4D"));
  EXPECT_EQ(FieldText(e, SaveListEntry::VolName), QStringLiteral("VOL"));
  EXPECT_EQ(FieldText(e, SaveListEntry::CompType), QStringLiteral("1"));
  EXPECT_EQ(FieldText(e, SaveListEntry::Alias), QStringLiteral("000004"));
  // A changed entry keeps nothing of the old copy.
  SaveListEntry changed = Now();
  changed.size = 7;
  MarkAgainstPrevious(changed, SplitListingLine(line));
  EXPECT_TRUE(FieldText(changed, SaveListEntry::SaveName).isEmpty());
}

}  // namespace
}  // namespace qarno
