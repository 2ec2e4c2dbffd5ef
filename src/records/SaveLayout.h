// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a set's saves lie on the destination, for backup, restore and history upkeep alike:
//
//   <save dir>\<set>\                      the set's folder (SaveSetHDir)
//   <save dir>\<set>\<save>.csv            a run's listing
//   <save dir>\<set>\<save>.sum            its content manifest (when the run wrote one)
//   <save dir>\<set>\<save>\Drive_C\...    the copy of C:\... (".LZH" appended when packed)
//   <save dir>\<set>\<save>\Alias\000042   the copy of a file whose path would be too long
//
// and the names of saves: "qrn" + date + "_" + counter for Level-0/1/2 runs, "Qrn_All" for
// the overwrite save.
#include "common/Module1.h"

#include <QDate>
#include <QString>

namespace qarno {

inline const QString kOverwriteSave = QStringLiteral("Qrn_All");
inline const QString kOverwriteBackupListing = QStringLiteral("Qrn_All_Bak.csv");

// The set's folder on a save directory.
QString SetFolderOn(const QString& saveDir, const QString& setName);

// The paths of one save of a set.
struct RunPaths {
  QString SaveSetHDir;  // the set's folder
  QString SaveSetName;  // the save name
  QString SaveSetDir;   // the save folder
  QString SaveCsvFile;  // the listing, beside the save folder
  QString SaveSumFile;  // the content manifest, beside the listing

  static RunPaths Of(const QString& saveDir, const QString& setName, const QString& saveName);
  // The listing of another save of the same set folder.
  QString ListingOf(const QString& saveName) const;
};

// "C:\dir\a.txt" → "Drive_C\dir\a.txt"; the letter is upper-cased, the rest kept as it is;
// a drive root gives "Drive_C".
QString DriveFolderPath(const QString& path);
// Where the copy of a path lies in a save folder, plain or aliased.
QString CopyPathIn(const QString& saveFolder, const QString& path, const QString& alias);

// Aliases: the counter as six digits ("000000" for the first), and the test that a listed
// alias is one this program writes (digits only), so that it names a file in "Alias".
QString AliasText(int32_t counter);
bool IsAliasText(QStringView alias);
// The highest alias number in the text, or the counter when the text is no larger alias.
int32_t RaiseAlias(int32_t counter, QStringView alias);
// True when a destination path is too long to be used as it is.
inline bool NeedsAlias(const QString& destination, int pathLen) { return destination.size() > pathLen; }

// The save name of a Level-0/1/2 run: "qrn" + date + "_" + counter (two digits at least).
QString SaveNameFor(const QDate& date, int counter);
// True for a save name this program makes: "Qrn_All", or "qrn" + 6 or 8 digits + "_" + 2 to 5
// digits. Anything else (empty, "..", a path) names no save.
bool IsSaveName(QStringView name);

// Removes a save from the destination: its listing and its folder with all below it.
// `currentItem`, when given, follows the removal for a progress display.
void DeleteSaveData(const RunEnvironment& env, const QString& setName, const QString& saveDir, const QString& saveName,
                    QString* currentItem = nullptr);
// The space a save occupies on the destination, in KB (its listing and its folder); nothing
// when a Cancel stopped the count.
std::optional<int64_t> GetAllSizeKB(const RunEnvironment& env, const QString& setName, const QString& saveDir,
                                    const QString& saveName, QString* currentItem = nullptr);

}  // namespace qarno
