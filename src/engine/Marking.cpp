// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Marking.h"

namespace qarno {

bool NeedsCopy(Flag f) { return f == Flag::Found || f == Flag::NotSaved || f == Flag::Locked; }

bool UnchangedSince(const SaveListEntry& now, const ListingFields& previous) {
  if (!previous.WellFormed()) return false;
  const Flag listedFlag = Coded<Flag>::FromText(previous[SaveListEntry::Flag]);
  return now.date == EntryDate::FromText(previous[SaveListEntry::Date]) &&
         now.size == EntrySize::FromText(previous[SaveListEntry::Size]) &&
         now.attributes == previous[SaveListEntry::Attributes] &&
         (listedFlag == Flag::Copied || listedFlag == Flag::Unchanged);
}

void MarkAgainstPrevious(SaveListEntry& now, const ListingFields& previous) {
  if (!UnchangedSince(now, previous)) {
    now.flag = Flag::ToCopy;
    return;
  }
  now.flag = Flag::Unchanged;
  previous.CopyInto(now, SaveListEntry::SaveName);
}

}  // namespace qarno
