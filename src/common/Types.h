// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shared types of the system: the backup set and one run of the history. History rows
// are text, as the history file holds them. (A run's save-list entry lives with the listing.)
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace qarno {

// The save levels, in the order of the main window's level selector. The set file, the
// settings and the command line (/Ln) give a level as its number, the selector's index.
enum class Level : int8_t { None = -1, Level0 = 0, Level1, Level2, Overwrite, Repair };
constexpr int kLevelCount = 5;

constexpr int NumberOf(Level level) { return static_cast<int>(level); }
// The level of a selector index; None for a number that is no level.
constexpr Level LevelOfNumber(long long number) {
  return number >= 0 && number < kLevelCount ? static_cast<Level>(number) : Level::None;
}

// The two captions of each level: the selector's line, and the name the history, the level
// box, the journal and the console show.
struct LevelCaption {
  const char16_t* selector;
  const char16_t* name;
};
inline constexpr LevelCaption kLevelCaptions[kLevelCount] = {
    {u"Level-0 （ 全てのファイルとディレクトリ ）", u"Level-0"},
    {u"Level-1 （ Level-0 以降の追加/変更分 ）", u"Level-1"},
    {u"Level-2 （ Level-1 以降の追加/変更分 ）", u"Level-2"},
    {u"上書き   （ 追加/変更分だけ上書きする ）", u"上書き"},
    {u"修復     （ 直前の保存名の修復をする ）", u"修復"},
};

// The level's name ("Level-0" … "上書き", "修復"); "" for None.
inline QString LevelName(Level level) {
  const int i = NumberOf(level);
  return i >= 0 && i < kLevelCount ? QString::fromUtf16(kLevelCaptions[i].name) : QString();
}

// The run and restore options. Each is a program-wide value: the settings store gives its
// start value, a set file overrides it, and a set file without the key leaves it as it was.
struct RunOptions {
  int16_t RestorePosition = 1;
  QString RestoreHomeDir = QStringLiteral("C:\\tmp");
  int32_t ComplexTypeMode = 1;     // 1 = pack each file with LHA
  int32_t ComplexSettingMode = 1;  // 0 = listed no-compression types stay unpacked
  int16_t ChkVolSer = 1;
  int16_t RsvSizeChk = 1;
  int16_t RsvSize = 50;  // MB
  int16_t DElErrFile = 1;
  int16_t LockFile = 0;
  int16_t PathLenMode = 0;
  int16_t PathLen = 100;
  int16_t CalUseSize = 1;
};

// The current set: what to save, what to skip, where to, and how.
struct BackupSet {
  QString Name;        // the main window's SetName label
  QString SaveDir;     // destination directory
  Level SaveLevel = Level::Level2;
  RunOptions options;
  // Days without a successful run after which the set counts as stale ("警告までの日数");
  // 0 is off. Per set only: a set file without the line leaves it off.
  int32_t StaleDays = 0;
  static constexpr int32_t kMaxStaleDays = 36500;
  // Old runs go by these, a whole chain (a Level-0 and the runs that build on it) at a time:
  // the newest KeepChains chains stay, and every chain whose newest run is younger than
  // KeepDays days; 0 is off, both off is no pruning. PruneForSpace lets a run short of its
  // reserve delete the oldest chains the policy would not keep. Per set only, like StaleDays.
  int32_t KeepChains = 0;
  int32_t KeepDays = 0;
  bool PruneForSpace = false;
  static constexpr int32_t kMaxKeepChains = 9999;
  static constexpr int32_t kMaxKeepDays = 36500;
  QStringList SaveList;  // HList
  QStringList SkipList;  // KList
};

// One run of the history, in the column order of the history grid.
struct HistoryEntry {
  enum Column {
    SaveName = 0, Level, UncopiedCount, Comment, ProcessTime, SaveDate, SavedKB, UsedKB, SaveDir, VolSerial, VolName,
    ColumnCount
  };
  std::array<QString, ColumnCount> c;

  QString& operator[](int i) { return c[static_cast<size_t>(i)]; }
  const QString& operator[](int i) const { return c[static_cast<size_t>(i)]; }
};

}  // namespace qarno
