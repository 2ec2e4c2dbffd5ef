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

uint32_t SaveFolderMode(uint32_t sourceMode, bool privileged) {
  if (privileged && !(sourceMode & 04)) return 0700;
  return (sourceMode & 0777) | 0700;
}

}  // namespace qarno
