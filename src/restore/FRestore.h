// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Restoring one run of the history, without widgets: loading the run's listing into the
// restore table, marks and totals, and the restore itself — copying or unpacking every marked
// entry from the run folder that holds it, in place or under another top directory, with the
// medium prompts, the per-entry Abort/Retry/Ignore and the search through older runs. The
// restore window binds to its read-only state and table and sends it commands;
// qarno-restore drives it directly.
//
// A restore is given what it restores (RestoreRequest, read from the program once when it
// is made) and the services it works with (RunEnvironment): everything the user is asked goes
// through the environment's prompter, every long loop yields through it and honours its
// cancel token. It writes nothing into the set: where the user changes the set's restore
// settings, the change waits in TakeSetChange for the window to apply it.
#include "common/Module1.h"
#include "mainwin/HistoryTable.h"
#include "records/ContentManifest.h"
#include "restore/RestoreTable.h"

#include <QSet>

#include <optional>
#include <utility>
#include <vector>

namespace qarno {

// What a restore restores, fixed when it is made.
struct RestoreRequest {
  QString setName;
  QString saveDir;          // the set's current save directory
  QString caption;          // the main window's caption
  int16_t restorePosition = 0;  // the set's stored choice: 1 under restoreHomeDir
  QString restoreHomeDir;
  // The program's own folders, which a restore never writes into.
  QString programFolder, setFolder, settingsFolder;
  MediumQuery medium;      // how the medium of a save is read and checked
  int holdWaitMs = 3000;   // how long the restore waits for another holder of the set

  static RestoreRequest Of(const Module1& m);
};

// The set's restore settings after the user changed them in the restore window.
struct RestoreSetChange {
  int16_t restorePosition = 0;
  QString restoreHomeDir;
};

// What the restore window is doing; the progress timer draws from it.
enum class rstage { Idle = 0, Restore = 1, Search = 4, ReadCsv = 5, FillList = 6, ListSearch = 7 };

// One row of the save-name table: a save name and the save directory the history records
// for it (empty when the history does not know the name).
struct SaveNameRow {
  QString name;
  QString dir;
};

// What the window shows and how far the work has got. Read-only outside FRestore.
struct RestoreState {
  QString Caption;          // the main caption & "  復元", fixed when the window opens
  QString SetName;          // the SetName box
  QString RestoreSaveName;  // the RestoreSaveName box
  int Position = 0;         // 0 restore in place, 1 under WriteHDir
  QString WriteHDir;
  QString Status;
  QString CancelCaption = QCoreApplication::translate("RestoreState", "中止");
  bool okEnabled = false;
  bool cancelEnabled = false;
  bool listVisible = false;
  bool chgWriteHDirEnabled = false;
  // The run being restored.
  int hisRow = 0;
  QString ResSetName, ResSetHDir, ResSetDir, ResCsvFile;
  // Progress.
  rstage stage = rstage::Idle;
  bool closeAllowed = false;
  bool notYetRun = true;
  int csvLineCount = 0;  // lines of the listing being loaded
  int rowsRead = 0;
  int itemsAdded = 0;
  QString processText, subText, currentPath;
  int64_t restoredKB = 0;
  int64_t markedKB = 0;
  int ownFilesSkipped = 0;  // entries left alone because they are the program's live files
  int lineCounter = 0;  // lines read of an older run's listing
};

// What the progress timer shows at one tick.
struct RestoreTimerView {
  bool update = false;  // the texts below are new
  QString procesTime;
  QString status;
  int percent = -1;     // shown in the caption while minimised; -1 none
};

// The progress display of a restore window in this state, `elapsed` the run's time so far.
// Pure: the same state always reads the same.
RestoreTimerView DescribeRestoreProgress(const RestoreState& state, const QString& elapsed);

enum class RestoreOutcome { NotStarted, Stopped, Finished };

// What is wrong with a top directory chosen for a restore under another directory.
enum class TopDirProblem {
  None,
  NotOnDrive,  // not an absolute path on a drive (X:\...)
  AmongSaves,  // at or below the set's folder on a save directory: the copies being read
};
// The problem as the restore windows tell it, below the directory.
Words TopDirProblemText(TopDirProblem problem);

// An entry that was restored from a copy that is not what its listing line describes (its
// size or date, or for the overwrite save, whose copies are replaced in place, the manifest's
// hash): a run that stopped between replacing copies and writing its listing leaves such
// copies. The restored file stays (it holds the newest bytes there are), and the restore
// reports it.
struct RestoreMismatch {
  QString path;
  QString saveName;
  QString detail;
};

class FRestore;
// Writes the restore settings the user changed into the module's set, which is then to be
// saved; the windows call it after each command that may change them.
void ApplyRestoreSetChange(FRestore& restore, Module1& m);

class FRestore {
 public:
  // The request read from the module, the environment the module's own.
  FRestore(Module1& module, const HistoryTable& history);
  FRestore(Module1& module, const HistoryTable& history, RestoreRequest request, const RunEnvironment& env);

  const RestoreState& state() const { return s_; }
  const RestoreTable& table() const { return table_; }
  const std::vector<SaveNameRow>& SaveNameTable() const { return saveNames_; }
  // The entries of the last restore that did not match their listing.
  const std::vector<RestoreMismatch>& Mismatches() const { return mismatches_; }
  // The set's restore settings the user changed since the last call (opening, the position,
  // the top directory), for the window to write into the set; nothing when none changed.
  std::optional<RestoreSetChange> TakeSetChange() { return std::exchange(setChange_, std::nullopt); }

  // --- Window events ---
  void Form_Load();
  // Loads the listing of the history row; false (and the window is to close) when it
  // cannot be loaded.
  bool FormInit(int historyRow);
  // Where to restore: 0 in place, 1 under the stored top directory.
  void Position_Click(int index);
  // A new top directory chosen (the directory dialog's restore mode).
  void ChgWriteHDir(const QString& directory);
  // Where this restore alone goes (the command line's choice; the stored setting stays).
  void SetTarget(int position, const QString& topDir);
  // A tick changed by the user: marks the row and everything listed below a folder.
  void RestoreList_ItemCheck(int item, bool ticked);
  // The command line's reading of a listing: a blank line is skipped without a question
  // (the window asks about it as about any line it cannot read).
  void SkipBlankLines(bool skip) { skipBlankLines_ = skip; }
  void AllSelect_Click() { SetAllRestoreMarks(); }
  void AllClear_Click() { ClearRestoreMarks(); }
  RestoreOutcome OK_Click();
  void Cancel_Click() { env_.cancel.Set(); }
  // The close part of a tick: when a stop was asked for and closing is allowed, both are
  // cleared and the window is to close (true).
  bool TakeCloseRequest();
  // The progress display of one tick: a pure description of the state.
  RestoreTimerView Describe() const;
  // Marks the rows of the path and below it; the number of rows matched.
  int MarkPathTree(const QString& path);
  // The status line as the window writes it itself (cleared by a click, the list search).
  void SetStatus(const QString& text) { s_.Status = text; }
  // The list search of the window runs (stage 7: the progress timer leaves the window alone).
  void SetListSearching(bool on) { s_.stage = on ? rstage::ListSearch : rstage::Idle; }

  // --- The restore list (routines of the loading and of the bulk commands) ---
  bool ReadSaveList();
  void DispRestoreListInfoTotal();
  void MkRestoreList();
  void SetRestoreMark(int row, bool marked);
  void ClearRestoreMarks();
  void SetAllRestoreMarks();

  // --- Paths ---
  // Where a copy lies in a run folder (Drive_X\... or Alias\nnnnnn), and where it goes.
  QString SourceOf(const QString& path, const QString& alias, const QString& runFolder) const;
  QString TargetOf(const QString& path) const;
  // A row that may be written: an absolute drive path without "." or "..", and an alias
  // that is one this program writes.
  static bool IsRestorablePath(const QString& path, const QString& alias);
  // A save a listing line may name: none (the copy is only found by the search in older
  // runs) or a save name this program makes. Anything else could point the restore at any
  // folder of the host.
  static bool IsRestorableSaveName(const QString& name);
  // True when the path is the set's folder on one of its save directories (the current one
  // or one the history records) or lies below it: writing there would overwrite the saves
  // that are being restored from.
  bool InSaveArea(const QString& path) const;
  // Whether the directory may take a restore under another directory.
  TopDirProblem CheckTopDir(const QString& topDir) const;
  // True when the path is one of the program's own live files or folders — the program
  // folder with the debug file and the type list, the set folder with the set files,
  // histories, logs and locks, the settings file's folder — or lies below one, by whatever
  // drive letter or link it is reached. An older copy written there would roll back the
  // history and settings of the program that is running.
  bool IsOwnFile(const QString& path) const;
  // The row was left alone because its target is one of the program's own files.
  bool IsOwnFileRow(int row) const { return ownFileRows_.contains(row); }
  // Fields 1 to 5 must be there; the rest are taken as far as the line goes.
  static bool ParseListingLine(const QString& line, SaveListEntry& entry);
  // The row of the path, met first by a circular walk from `pos`; true when it is marked.
  // `nothingLeft` tells a full circle that met neither the path nor a marked row.
  bool FindReservedEntry(const QString& path, int& pos, bool& nothingLeft);
  const QStringList& SaveNameList() const { return saveNameList_; }

 private:
  // The restore run.
  RestoreOutcome PrepareRestore();
  bool ChkUnlhaNeeded();
  void MkSaveNameList();
  void MkSaveNameTable();
  bool ExecRestore();
  bool RestoreFromSaveName(int index, bool& ignoreErrors);
  bool RestoreFromOtherSaves(bool& ignoreErrors);
  bool RestoreFromSaveCsv(const QString& name, const QString& dir, bool& ignoreErrors);
  // Where an entry's copy is, where it goes, and where the no-follow walk to it starts.
  struct EntryPlan {
    QString source, target, anchor;
  };
  // Stored form of a copy: the table row's own, or that of an older run's listing line,
  // with the size and date that line gives the file.
  struct StoredForm {
    Coded<CompType> compType;
    QString alias;
    EntrySize size;
    EntryDate date;
  };
  // The run through one save's entries, and the files of it in the hands of copy workers.
  struct SaveNameRun;
  struct CopyWindow;
  // One row of the save, from its first attempt on (made here unless `first` gives its
  // outcome) to its outcome, with the questions it asks; false when the restore stops.
  bool RestoreRow(int row, SaveNameRun& run, std::optional<bool> first);
  // Hands the row's file to a worker when it is a plain copy into a folder that is there, or
  // makes the row's folder; false when the row is to wait for its turn (nothing done).
  bool Dispatch(SaveNameRun& run, int row, const StoredForm& form, const EntryPlan& plan);
  // Takes the outcomes of the rows in the workers' hands in order, all of them or, when the
  // window is full, the older half; false when the restore stops.
  bool ApplyInFlight(SaveNameRun& run, bool all);
  // Before a question: every row in the workers' hands is waited for and undone (the new
  // files and folders it made go again), and done again after the answer.
  void Quiesce(SaveNameRun& run);
  bool RestoreEntry(int row, const QString& name, const QString& dir);
  bool RestoreEntryAs(int row, const QString& name, const QString& dir, const StoredForm& form);
  // The part of an entry before anything is written: where its copy is and where it goes;
  // false when it may not be restored.
  bool BeginEntry(int row, const QString& name, const QString& dir, const StoredForm& form, EntryPlan& plan);
  // The rest of it: the trace line, the folders, the copy and its attributes.
  bool ContinueEntry(int row, const QString& name, const QString& dir, const StoredForm& form, const EntryPlan& plan);
  // The entry's outcome: its folders kept or taken away again, the restored counts.
  bool EndEntry(int row, bool restored, const QStringList& made);
  // A whole copy that differs from its listing line (or the manifest) is reported.
  void NoteMismatch(const SaveListEntry& e, const StoredForm& form, const QString& name, const DirEntry& copied,
                    const ManifestEntry* expected);
  bool RestoreFolder(const QString& target, const QString& attrText, QStringList& made);
  bool RestoreFile(const SaveListEntry& e, const StoredForm& form, const QString& source, const QString& target,
                   QStringList& made, const QString& name, const QString& dir);
  // Puts a whole copy of the file in the target's place (see RestoreFile). `hash`, when
  // given, takes the bytes as they are copied; `copied` is what the source was.
  // `sourceLookedAt`: the source was found a regular file before (else a source that is
  // missing or no file is simply not restored, as if it had been looked at).
  bool PlaceFile(const QString& source, const QString& target, int64_t listedSize, QStringList& made,
                 ContentHash* hash = nullptr, DirEntry* copied = nullptr, bool sourceLookedAt = true);
  bool ExtractLha(const QString& source, const QString& target, int64_t listedSize, QStringList& made,
                  ContentHash* hash, DirEntry* copied);
  // The manifest line of the path in the overwrite save of that directory; null for any
  // other save, or when the save has no manifest that reads.
  const ManifestEntry* OverwriteManifestLine(const QString& name, const QString& dir, const QString& path);
  // Makes the folder with every missing level of it, like MakeDirPath, and adds the ones it
  // made to `made`, outermost first.
  bool MakeFolders(const QString& dir, QStringList& made);
  // The folder is there and current: what a killed restore left in it goes, once a run.
  void ClearFolderOnce(const QString& dir);
  // Removes the folders an entry made, innermost first, as far as they are empty.
  void RemoveMadeFolders(const QStringList& made);
  bool SetAttrFromText(const QString& path, const QString& text);
  // Refuses a marked row that may not be restored: logged, marked failed.
  void Refuse(int row, const QString& why);
  QStringList SaveAreas() const;
  QStringList OwnAreas() const;
  // Where the no-follow walk to the entry's target starts (see RestoreEntryAs).
  QString WriteAnchorOf(const QString& path);
  void MarkAll(bool marked);
  void UpdateOkButton();
  bool MediaCheck();
  void RejectUnsafeEntries();
  void ApplyDeferredFolderAttributes();
  void Finish(int row, bool restored);

  // What the program's runs share: the medium the user accepted despite its identity, the
  // sets this process holds exclusively, and the item a long walk is at.
  AcceptedMedium& acceptedMedium_;
  QStringList& exclusiveHolds_;
  QString& currentItem_;
  const RestoreRequest req_;
  const RunEnvironment env_;
  const HistoryTable& history_;
  RestoreSetChange options_;                     // the set's restore settings as they stand now
  std::optional<RestoreSetChange> setChange_;    // changed since the window last took them
  RestoreState s_;
  RestoreTable table_;
  QStringList saveNameList_;
  std::vector<SaveNameRow> saveNames_;
  RunClock clock_;
  // Folders whose read-only bit waits until everything below them has been restored.
  struct DeferredFolder {
    QString target, attrText, anchor;
  };
  std::vector<DeferredFolder> deferredFolders_;
  // The set's folders on its save directories, while a run goes on.
  QStringList saveAreas_;
  // The program's own folders (real host paths), while a run goes on.
  // The program's own folders (host paths, links resolved) and the target folders judged
  // against them, once each per restore.
  struct OwnFolder {
    QString real;            // the folder's real host path with "/" (lower case on Windows)
    bool inside = false;     // at or below one of the program's folders
    bool holdsArea = false;  // one of the program's folders lies directly in it
  };
  OwnFolder JudgeFolder(const QString& folder) const;
  mutable QStringList ownAreas_;
  mutable QSet<QString> ownAreaSet_;
  mutable QHash<QString, OwnFolder> ownFolders_;
  QSet<int> ownFileRows_;
  // The folders this run made: only they take the attributes of their entries.
  QSet<QString> madeFolders_;
  bool skipBlankLines_ = false;
  int unpackFolders_ = 0;  // names of the folders packed entries are unpacked in
  std::vector<RestoreMismatch> mismatches_;
  QHash<QString, ManifestContent> manifests_;  // by manifest file, read once per restore
  ContentHash hash_;
  // Target folders already cleared of what a killed restore left in them.
  QSet<QString> cleared_;
  // The files this restore wrote or handed to a worker: a second row of the same path waits
  // for the first.
  QSet<QString> written_;
};

}  // namespace qarno
