// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's state and routines, without widgets: the current set and its set file,
// the history table and its file, the command line, start-up and exit. The window (when it
// comes) binds its controls to this object; command-line runs use it directly.
#include "common/Module1.h"
#include "mainwin/HistoryTable.h"
#include "mainwin/RunHistory.h"

namespace qarno {

class Qarno : public RunHistory {
 private:
  bool historyUnreadable_ = false;

 public:
 public:
  explicit Qarno(Module1& module);

  Module1& m;
  HistoryTable HisTable;

  // The save-level selector's entries, index 0..4.
  static QStringList SaveLevelCaptions();
  // "Level-0", "Level-1", "Level-2", "上書き", "修復"; "" for no level.
  static QString GetSaveLevelCaption(Level level);
  // major.minor + revision without padding: 1, 2, 9 → "1.29".
  static QString MakeProgramVersion(int major, int minor, int revision);

  QString SetFilePath() const;
  QString HisFilePath() const;

  // --- The set file ---
  void ReadSetFile();
  bool setLoaded = false;  // the last ReadSetFile found its file
  bool WriteSetFile();
  void ClearSetFileData();

  // --- The history ---
  void ReadHisFile();
  bool SaveHisFile();
  void ClearHisTable();
  void SortHisTable() { HisTable.Sort(); }
  bool ChkHis(const QString& name) const;
  void AddHisTable(const QString& saveName, const QString& level, const QString& savedKB, const QString& saveDir,
                   const QString& volSerial, const QString& volName, const QString& usedKB, const QString& saveDate,
                   const QString& processTime, const QString& comment, const QString& uncopiedCount);
  // The history row of the run that a new run of the current level compares against.
  bool GetPreCsvName(int& row) const { return PreviousRun(m.set.SaveLevel, row); }

  // --- The history as a backup run sees it ---
  const HistoryTable& Table() const override { return HisTable; }
  bool PreviousRun(Level level, int& row) const override;
  bool Contains(const QString& saveName) const override { return ChkHis(saveName); }
  int RecordRun(const HistoryEntry& run, bool repair) override;
  void ForgetRun(const QString& saveName) override;
  bool Save() override { return SaveHisFile(); }
  bool SaveSetAndHistory() override { return FileSave_Click(); }
  void Reload() override;

  // --- Start-up, command line, exit ---
  void ResetSaveLevel();
  void ReadCommandLine(const QString& commandLine);
  static bool GetNextArg(QString& text, QString& argument);
  // Window state asked for on the command line: 0 normal, 1 minimised, 2 maximised.
  int windowState = 0;
  // A set name of the command line that no set can have (a path, "..", a device name): it is
  // not taken, the start-up says so, and no set is loaded.
  QString refusedSetName;
  bool FileSave_Click();
  // The exit-time save of the set file and the history (the program's exit saves the
  // settings and the type list first). No question is asked; false when a write failed.
  bool SaveIfChanged();
  // Steps of the main window's start-up (the window's own steps aside): settings, set
  // folder, command line, set file, level, command line again. The program reads the
  // no-compression types next.
  void Form_Load(const QString& commandLine);
  // The settings store of this program run (tests give their own).
  QSettings* store = nullptr;
  // Writes the set file and the history when they changed; false when a write failed.
  bool SaveBeforeAction();
  // True when the set's history file is there but could not be read: nothing writes over it.
  bool HistoryUnreadable() const { return historyUnreadable_; }

  // --- Handing over to a child window ---
  // The first two steps of the backup and restore commands: a set name is needed, and what
  // changed is written first. False stops the command.
  bool CheckBeforeRun();
  // The main window hands over to a child window of this kind (and mode, for the backup run
  // window), and takes over again when it closes. Windows and command-line runs alike.
  void OpenChild(DialogKind dialogKind, SaveExecMode execMode = SaveExecMode::None);
  void ChildClosed();
};

}  // namespace qarno
