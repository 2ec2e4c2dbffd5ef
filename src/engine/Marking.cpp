#include "engine/Marking.h"

namespace qarno {

bool NeedsCopy(QStringView f) { return f == flag::Found || f == flag::NotSaved || f == flag::Locked; }

bool UnchangedSince(const SaveListEntry& now, const ListingFields& previous) {
  if (!previous.WellFormed()) return false;
  const QStringView listedFlag = previous[SaveListEntry::Flag];
  return now[SaveListEntry::Date] == previous[SaveListEntry::Date] &&
         now[SaveListEntry::Size] == previous[SaveListEntry::Size] &&
         now[SaveListEntry::Attributes] == previous[SaveListEntry::Attributes] &&
         (listedFlag == flag::Copied || listedFlag == flag::Unchanged);
}

void MarkAgainstPrevious(SaveListEntry& now, const ListingFields& previous) {
  if (!UnchangedSince(now, previous)) {
    now[SaveListEntry::Flag] = flag::ToCopy;
    return;
  }
  now[SaveListEntry::Flag] = flag::Unchanged;
  previous.CopyInto(now, SaveListEntry::SaveName);
}

}  // namespace qarno
