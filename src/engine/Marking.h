// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The change decision of the levels, as pure functions over an entry and what a previous
// listing says about it: nothing here reads a file or asks anyone.
#include "records/ListingLine.h"

namespace qarno {

// True when an entry with this Flag is copied by the run that reads it: found but not
// decided ("0"), or left unsaved by an earlier run ("-2" not saved, "8" locked).
bool NeedsCopy(Flag flag);

// True when the previous listing's line shows the entry unchanged and saved: the same date
// text, size and attribute letters (exact), and a Flag of "3" (copied) or "2" (held by an
// earlier save). Content is never compared. A line that is not well formed is no proof.
bool UnchangedSince(const SaveListEntry& now, const ListingFields& previous);

// Applies one line of the previous listing to the entry of the same path: an unchanged entry
// takes Flag "2" and the line's SaveName, VolSerial, VolName, RestoreFlag, CompType and
// Alias (as far as the line has them), anything else Flag "4".
void MarkAgainstPrevious(SaveListEntry& now, const ListingFields& previous);

}  // namespace qarno
