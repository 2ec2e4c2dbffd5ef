// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shared module: the program-wide values and the services every window uses — tracing
// and logging, beeps and message boxes, directory creation and save deletion, drive and
// medium identity. One instance lives for the whole program run; windows and engines hold a
// reference to it. It depends on QtCore and the platform layer only.
#include "common/DriveInfo.h"
#include "common/RunEnvironment.h"
#include "common/Settings.h"
#include "common/Types.h"
#include "common/Utils.h"
#include "platform/ArchiverLibrary.h"
#include "platform/Platform.h"
#include "platform/Prompter.h"
#include "platform/TextCodec.h"

#include <QIODevice>
#include <memory>
#include <optional>

namespace qarno {

// The automatic run asked for on the command line ("/Bn"): -1 none; 0 or more a run starts
// by itself; 1 or more the program ends after it; 2 or more no question waits for an answer;
// 3 or more a medium that changed under the run is not asked about either.
struct AutoRun {
  int16_t mode = -1;
  // What the command line asked for, kept when the run is turned off: an unattended run
  // (2 or more) has nobody to ask, so whatever stops it, the program still ends by itself,
  // with the status of the failure, and shows no question.
  int16_t asked = -1;
  bool Requested() const { return mode >= 0; }
  bool EndsProgram() const { return mode >= 1; }
  bool Unattended() const { return mode >= 2; }
  bool IgnoresMediumChange() const { return mode >= 3; }
  bool AskedUnattended() const { return asked >= 2; }
  // A failed read or write of the set's files: from now on the user is asked, and the
  // program does not end by itself (unless nobody is there to ask: AskedUnattended).
  void Stop() { mode = -1; }
};

// The window (or dialog) the main window has handed over to, as the program's windows and
// the unattended runs tell them apart; None while the main window has the controls.
enum class DialogKind : int16_t {
  None = 0,
  SetName = 1,        // choosing, naming (save as) or making a set
  SaveDir = 2,        // the destination folder
  ListEntry = 3,      // adding or changing an entry of the save or skip list
  SaveExec = 4,       // the backup run window (or the recorded-run view)
  Restore = 5,        // the restore window
  Setting = 6,        // the settings
  DeleteSetName = 8,  // deleting sets
  DeleteHistory = 9,  // deleting history rows
  SetFolder = 10,     // the set folder
  EditHistory = 11,   // the details of a history row
  // The verify window and the shutdown confirmation share one code: under either, the
  // main window's exit timer and the stop-signal watch must not start another exit.
  Verify = 12,
  Shutdown = 12,
};

// What the backup run window does: a backup run of the current set, or the listing of the
// recorded run of the history row selected.
enum class SaveExecMode : int32_t { None = 0, Run = 1, RecordedRun = 2 };

class Module1 : public Journal {
 public:
  Module1(Platform& platform, Prompter& prompter, QString programFolder);
  ~Module1();

  Platform& fs;
  Prompter& ui;
  TextCodec codec;
  ArchiverLibrary* archiver = nullptr;  // the LHA archiver; null reads as not installed

  // --- Program-wide values ---
  BackupSet set;  // the current set; its options are the program-wide run options
  Settings settings;
  QString ProgramFolder;  // Windows path of the folder of the program's files
  QString ProgramName = QStringLiteral("Qarno");
  QString ProgramVersion;
  QString SetFolder;
  // Windows path of the folder of the settings file, when it lies on a drive (empty where
  // the settings live elsewhere, as in the registry).
  QString SettingsFolder;
  QString MainCaption = QStringLiteral("Qarno");  // the main window's caption
  CancelRequest CancelFlag;
  AutoRun AutoRunMode;
  bool ShutdownAfterRun = false;
  DialogKind OpenDialogKind = DialogKind::None;
  SaveExecMode ExecMode = SaveExecMode::None;
  bool SetModified = false;
  bool HistoryModified = false;
  QStringList NoCompTypes;  // entries 1..n of the no-compression list, held from index 0
  AcceptedMedium acceptedMedium;
  QString currentItem;      // what a long walk is at, for the progress displays

  // --- Tracing and logging (WriteDebug, WriteDebugPath, WriteLog come from Journal) ---
  void CloseDebugFile();
  void CloseLogFile();
  // The services a run or a restore works with, over this module's own.
  RunEnvironment Environment();
  const Clock& clock = SystemClock();
  void BeepAsterisk() { ui.Beep(BeepKind::Asterisk); }
  void BeepDefault() { ui.Beep(BeepKind::Default); }
  // BeepAsterisk, then an exclamation box with the given title.
  Answer Warn(Question kind, const QString& title, const Words& text, Buttons buttons = Buttons::OK);
  void DoEvents() { ui.DoEvents(); }

  QString DebugFilePath() const;
  QString LogFilePath() const;
  // Encodes and writes the system's text files.
  FsStatus WriteTextFile(const QString& path, const QStringList& lines) { return fs.WriteAtomic(path, codec.EncodeLines(lines)); }
  std::optional<QStringList> ReadTextFile(const QString& path);

  // --- Files and paths ---
  // Makes the directory current, creating every missing level of it (never a drive root).
  // `modeFor`, when given, tells the permission bits of each folder it creates.
  bool MakeDirPath(const QString& path, const std::function<uint32_t(const QString&)>& modeFor = {});
  // Removes a directory with everything below it; stops early on Cancel.
  void DeleteTree(const QString& directory);

  // --- One user of a set at a time ---
  // Takes the hold on a set of the set folder (exclusive for a run or a history change,
  // shared for a restore or a verify), waiting setHoldWaitMs for another holder. When it is
  // busy the user is told that the set is in use, and false comes back; where no hold can
  // be made at all, the work goes on without one. `waited`: another holder had it first, so
  // what the set's files say may have changed meanwhile.
  bool HoldSet(const QString& setName, LockKind kind, const QString& title, std::unique_ptr<SetLock>& hold,
               bool* waited = nullptr);
  int setHoldWaitMs = 3000;
  // Sets this process holds exclusively now: a part of the work asking again (the run
  // writing its history) is covered by that hold.
  QStringList exclusiveHolds_;

  // --- The archiver ---
  // True when the archiver library could be loaded and called.
  bool ChkUnlha();

  // --- Drive and medium identity ---
  bool ReadDriveInfo(QString& drive, QString& volumeName, QString& volumeSerial);
  int64_t GetFreeDiskKB(const QString& root);
  // The space a save occupies on its medium, in KB: its listing and every file of its
  // folder, each rounded up to whole clusters. Nothing (nullopt) when a Cancel stopped it.
  std::optional<int64_t> UsedSpaceKB(const QString& listing, const QString& folder);
  static QString FormatSerial(uint32_t serial);
  static int64_t ClustersOf(int64_t bytes, int64_t clusterSize);
  // How this module reads a medium now: the set's folder and check, the automatic run.
  MediumQuery Medium() const;

 private:
  void WriteDebugLine(const QString& line) override;
  void WriteLogLine(const QString& line) override;

  std::unique_ptr<QIODevice> debugFile_;
  std::unique_ptr<QIODevice> logFile_;
};

// Rounds half to even, as the system's conversions of free and used space do.
int64_t RoundHalfEven(double value);

}  // namespace qarno
