#pragma once
// The shared types of the system: the backup set and one run of the history. History rows
// are text, as the history file holds them. (A run's save-list entry lives with the listing.)
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace qarno {

// Save levels, as indexes of the main window's level selector.
namespace level {
constexpr int None = -1;
constexpr int Level0 = 0;
constexpr int Level1 = 1;
constexpr int Level2 = 2;
constexpr int Overwrite = 3;
constexpr int Repair = 4;
}  // namespace level

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
  int16_t SaveLevel = level::Level2;
  RunOptions options;
  // Days without a successful run after which the set counts as stale ("警告までの日数");
  // 0 is off. Per set only: a set file without the line leaves it off.
  int32_t StaleDays = 0;
  static constexpr int32_t kMaxStaleDays = 36500;
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
