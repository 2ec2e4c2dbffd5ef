// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/CopyDecision.h"

namespace qarno {

std::optional<Flag> FlagForFailedCopy(const CopyResult& r) {
  if (r.ok() || !r.sourceFailed) return std::nullopt;
  if (r.error == FsError::NotFound) return Flag::Vanished;
  if (r.error == FsError::AccessDenied || r.error == FsError::NotRegular) return Flag::Locked;
  return std::nullopt;
}

bool DestinationFull(FsError error, int64_t sizeBytes, int64_t freeKB) {
  if (error == FsError::NoSpace) return true;
  if (error != FsError::Other) return false;
  const double needKB = (static_cast<double>(sizeBytes) + 1023.0) / 1024.0;
  return needKB >= static_cast<double>(freeKB);
}

ReserveDecision DecideReserve(ReserveState state, int64_t freeKB, int64_t reserveMB) {
  if (state == ReserveState::Off || freeKB / 1024 >= reserveMB) return ReserveDecision::Copy;
  return state == ReserveState::Ask ? ReserveDecision::Ask : ReserveDecision::Refuse;
}

FullMedium FullMediumDecision(Answer answer, bool mediumReadable) {
  if (answer == Answer::Cancel || !mediumReadable) return FullMedium::Abort;
  return answer == Answer::Yes ? FullMedium::CopyAgain : FullMedium::StopCopying;
}

uint32_t SaveFolderMode(uint32_t sourceMode, bool privileged) {
  if (privileged && !(sourceMode & 04)) return 0700;
  return (sourceMode & 0777) | 0700;
}

}  // namespace qarno
