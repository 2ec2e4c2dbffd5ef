// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the copy engine concludes from a failed copy, as pure functions: the platform says
// why the copy failed; nothing is probed again.
#include "platform/Platform.h"
#include "platform/Prompter.h"
#include "records/SaveList.h"

#include <optional>

namespace qarno {

// The Flag of an entry whose copy failed for this reason: "6" when the source went, "8"
// when it could not be read (locked, or no longer a file), else "" — the byte-wise copy may
// still be tried, and the medium may be full.
std::optional<Flag> FlagForFailedCopy(const CopyResult& result);

// True when a failed copy means a full destination: the platform said so, or, where it could
// not tell why, the file needs as much space as is free or more, (size + 1023) / 1024 KB.
bool DestinationFull(FsError error, int64_t sizeBytes, int64_t freeKB);

// The reserve of free space a run keeps on the destination (RsvSize MB, checked before
// every entry when RsvSizeChk is on): not kept, kept and asked about when it runs short, or
// kept and every entry refused while it is short (the user would not switch it off).
enum class ReserveState { Off, Ask, Refusing };
enum class ReserveDecision { Copy, Ask, Refuse };
// Whether the next entry is copied, the user asked, or the entry refused, with `freeKB` free
// on the destination (whole MB of it count) against the reserve of `reserveMB`.
ReserveDecision DecideReserve(ReserveState state, int64_t freeKB, int64_t reserveMB);

// What the run does after the full-medium question: `answer` to "change the medium?" (Yes:
// another medium, No: stop copying, Cancel: abort), and whether the destination could be
// read again after it (not read after a Cancel).
enum class FullMedium { Abort, CopyAgain, StopCopying };
FullMedium FullMediumDecision(Answer answer, bool mediumReadable);

// The permission bits of a folder made in a save to stand for a folder of the source: the
// source folder's own (owner always allowed to write into it), but only the owner's when a
// privileged run copies a folder that others may not read.
uint32_t SaveFolderMode(uint32_t sourceMode, bool privileged);

}  // namespace qarno
