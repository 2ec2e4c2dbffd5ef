// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drive and medium identity, free space, the space a save occupies, folder creation and
// removal, and the hold on a set: what a run or a restore asks of the file system through
// its environment alone. The program's module forwards to these for its windows.
#include "common/RunEnvironment.h"

#include <QSet>

#include <functional>
#include <memory>
#include <optional>

namespace qarno {

// The medium the user chose to go on with despite the identity warning; not asked again for
// the same medium until the program ends.
struct AcceptedMedium {
  QString root, name, serial;
};

// How a medium is read: the folder whose drive is meant when no drive is given, whether an
// unidentifiable removable medium is warned about (ChkVolSer), whether anybody is there to
// answer, and the title of the questions.
struct MediumQuery {
  QString saveDir;
  bool checkSerial = false;
  bool asks = true;
  QString title;
  int autoRunMode = -1;  // for the trace
};

// Reads the drive's volume name and serial ("XXXX-XXXX"); an empty `drive` is the drive of
// the query's folder and is filled in. False when the user gave up.
bool ReadDriveInfo(const RunEnvironment& env, const MediumQuery& query, AcceptedMedium& accepted, QString& drive,
                   QString& volumeName, QString& volumeSerial);
int64_t GetFreeDiskKB(const RunEnvironment& env, const QString& root);
// The free space of a drive in KB and its cluster size in bytes, as GetFreeDiskKB tells it
// (without its trace); nothing known when the drive cannot be asked.
struct FreeSpace {
  bool known = false;
  int64_t kb = 0;
  int64_t cluster = 0;
};
FreeSpace FreeSpaceKB(Platform& fs, const QString& root);
// The space a save occupies on its medium, in KB: its listing and every file of its folder,
// each rounded up to whole clusters. Nothing (nullopt) when a Cancel stopped it.
// `currentItem`, when given, follows the walk for a progress display.
std::optional<int64_t> UsedSpaceKB(const RunEnvironment& env, const QString& listing, const QString& folder,
                                   QString* currentItem = nullptr);
QString FormatSerial(uint32_t serial);
int64_t ClustersOf(int64_t bytes, int64_t clusterSize);

// Makes the directory current, creating every missing level of it (never a drive root).
// `modeFor`, when given, tells the permission bits of each folder it creates.
bool MakeDirPath(Platform& fs, const QString& path, const std::function<uint32_t(const QString&)>& modeFor = {});
// The same for a run that makes many folders: `known` holds the folders it made or entered
// so far (and takes the new ones); the walk starts below the deepest of them.
bool MakeDirPath(Platform& fs, const QString& path, const std::function<uint32_t(const QString&)>& modeFor,
                 QSet<QString>& known);
// Removes a directory with everything below it; stops early on Cancel.
void DeleteTree(const RunEnvironment& env, const QString& directory, QString* currentItem = nullptr);

// Takes the hold on a set of the set folder (see Module1::HoldSet). `exclusiveHolds` are the
// sets this process holds exclusively now; a hold waits `waitMs` for another holder.
bool HoldSet(const RunEnvironment& env, QStringList& exclusiveHolds, int waitMs, const QString& setFolder,
             const QString& setName, LockKind kind, const QString& title, std::unique_ptr<SetLock>& hold,
             bool* waited = nullptr);

}  // namespace qarno
