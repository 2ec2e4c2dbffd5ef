// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The per-user settings store: application "Qarno", section "Startup Setting", every value
// text. Read once at start (LoadSettings), written once at exit (SaveSettings). On Windows it
// is the registry area that Visual Basic programs use; on Linux an INI file under
// $XDG_CONFIG_HOME/Qarno.
#include "common/Types.h"
#include "platform/DriveTable.h"

#include <QMap>
#include <QSet>
#include <QSettings>
#include <memory>

namespace qarno {

// Opens the store. Its location is looked up at each call, so that tests can point
// XDG_CONFIG_HOME at a temporary directory.
std::unique_ptr<QSettings> OpenSettingsStore();
QString SettingsStorePath();

struct Settings {
  // Main window geometry in twips.
  double Top = 0, Left = 0, Height = 6700, Width = 8400;
  // The sizes the store held itself (the main window's "Height" and "Width" both, and each
  // dialog size key by name), as against the defaults: a window shows a size of its own
  // choosing in place of a default, never in place of the user's.
  bool SizeStored = false;
  QSet<QString> storedSizes;
  QString ResentFile;  // the set shown at start
  QString Version;
  QString SetDirName = QStringLiteral("SetDir");
  int16_t DelOption = 0;
  // Dialog positions and sizes, kept as text until a dialog applies them.
  QMap<QString, QString> positions;

  // Linux-side keys of the platform layer.
  QString TextEncoding;   // "Shift_JIS" writes the text files in Shift-JIS
  QString LhaMethod;      // "lh5" (default), "lh6" or "lh7"
  QString ArchiverPath;   // another place to load the archiver library from
  // 1: a desktop notification after an unattended run that failed or left entries uncopied.
  int16_t Notify = 1;
  // 1: every run writes a content manifest ("<save>.sum") beside its listing, hashing each
  // copy in the read that makes it; 0 leaves it out (the runs then verify by size only).
  int16_t ContentManifest = 1;

  // The dialog keys with their defaults, in table order.
  static const QList<QPair<QString, QString>>& PositionKeys();
};

// Reads every key in table order into the settings and the program-wide values of the
// current set (save level and options), then applies the fix-ups.
void LoadSettings(QSettings& store, const QString& programVersion, Settings& settings, BackupSet& set);
// Writes every key but "SaveDirHeight" and "SaveDirWidth".
void SaveSettings(QSettings& store, const Settings& settings, const BackupSet& set);

// The drive table: C: is "/" unless section "Drives" maps it elsewhere; other letters come
// from that section (key = the letter, value = the host directory).
DriveTable LoadDriveTable(QSettings& store);

}  // namespace qarno
