// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The run options as the settings dialog edits them: what its controls show when it opens,
// and what OK takes over into the program-wide values (the current set's options and the
// debug mode). The number boxes are checked before anything is taken over.
#include "common/Module1.h"

#include <optional>

namespace qarno {

struct SettingsChoice {
  bool compress = false;        // "圧縮する(LHA)" (ComplexTypeMode 1)
  bool compressAlways = false;  // "必ず圧縮する" (ComplexSettingMode 1)
  bool chkVolSer = false;
  int debugMode = 0;
  bool rsvSizeChk = false;
  QString rsvSize;  // MB, as typed
  bool delErrFile = false;
  bool lockFile = false;
  bool pathLenMode = false;
  QString pathLen;  // characters, as typed
  bool calUseSize = false;
  QString staleDays;  // "警告までの日数", as typed: empty or 0 for no warning
  // "古い保存の整理": chains and days to keep (0 is off), and pruning for space.
  int keepChains = 0;
  int keepDays = 0;
  bool pruneForSpace = false;
};

// The choice the program-wide values stand for.
SettingsChoice CurrentSettings(const Module1& m);

// The ranges the settings store also accepts for the two numbers.
inline constexpr int kRsvSizeMin = 0;
inline constexpr int kPathLenMin = 1;
inline constexpr int kOptionNumberMax = 32767;

// A whole number within lo..hi (blanks around it allowed), as a 16-bit value; nothing for
// any other text.
std::optional<int16_t> ParseOptionNumber(const QString& text, int lo, int hi);

// The days before a set counts as stale: blank is 0 (no warning), otherwise a whole number
// within 0..BackupSet::kMaxStaleDays; nothing for any other text.
std::optional<int32_t> ParseStaleDays(const QString& text);

enum class SettingsProblem { None, RsvSize, PathLen, StaleDays };

// OK of the settings dialog. When a number box holds no number of its range nothing is
// taken over and the box is named. Otherwise every value is taken over; the compression
// choices only when `changed`, which also marks the set as changed; a new value of any other
// option the set file keeps (the medium check, the days before the stale warning, the
// pruning with its numbers brought within their bounds) marks the set as changed too.
SettingsProblem TakeOverSettings(Module1& m, const SettingsChoice& choice, bool changed);

}  // namespace qarno
