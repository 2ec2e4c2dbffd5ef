#pragma once
// One backup run of the current set, without widgets: the run driver (OK_Click) and its
// phases — save list, level marking, copying, listing, history record — and the window's
// second mode, the listing of a recorded run. The backup run window binds to its read-only
// state and sends it commands; an unattended run from the command line drives it directly.
//
// Per-file problems never fail a run: they are recorded in the entry's Flag, counted and
// logged. A run fails only when it cannot go on (no medium, no listing written, Cancel).
#include "common/Module1.h"
#include "engine/RunState.h"
#include "mainwin/RunHistory.h"
#include "records/ContentManifest.h"
#include "records/ResultView.h"
#include "records/SaveList.h"

#include <QSet>

#include <map>
#include <optional>

namespace qarno {

class FSaveExec {
 public:
  FSaveExec(Module1& module, RunHistory& history);

  // --- What the window shows (read-only) ---
  const RunState& state() const { return s_; }
  const SaveListTable& SaveList() const { return SaveList_; }
  const ListInfoTable& ListInfo() const { return ListInfo_; }
  const ResultView& View() const { return view_; }
  // The level selector's index of this run (an unattended run may fall back to Level-0).
  qarno::Level Level() const { return m.set.SaveLevel; }

  // --- The window's events ---
  // Opening: the caption by mode, everything of an earlier run cleared.
  void Form_Load();
  // The run (mode 1) or the listing of the history row (mode 2, see ShowRecordedRun).
  bool OK_Click(int historyRow = 0);
  void Cancel_Click() { m.CancelFlag.Set(); }
  // The progress display of one tick: a pure description of the run's state.
  // `previousOverall` is what the last tick showed (a view rebuild keeps it).
  ProgressView Describe(int previousOverall) const;
  // The close part of a tick: when a stop was asked for and closing is allowed, both are
  // cleared and the window is to close (true).
  bool TakeCloseRequest();
  // The window's second mode: the listing of a recorded run, from its history row.
  bool ShowRecordedRun(int historyRow);
  void ListSel_Click(int selection);

  // --- Phases a test or a tool may run on their own ---
  // The save list of the current set, from the file system.
  bool MkSaveList();

 private:
  // Save names and layout
  bool GetNewSetName();
  bool ChkFName(const QString& path);
  // Save-list construction
  bool ScanTree(const QString& path, bool first);
  bool ScanCheck(const QString& path, const DirEntry& info, bool named);
  bool AddFileData(const QString& path, const DirEntry& info);
  bool AddDirData(const QString& path, const DirEntry& info);
  bool AddSListData(const QString& path, const DirEntry& info, int64_t& count);
  void RefuseName(const QString& path);
  // Level marking
  bool SetSaveListNewMark();
  bool SetSaveListNewMark0();
  bool SetSaveListNewMark1();
  bool SetSaveListNewMark2();
  void CheckCsv(const QString& line, int& position);
  bool MediumCheckAgainstHistory();
  std::optional<QStringList> ReadPreviousListing(QString& firstPath, bool createIfMissing);
  bool PreviousListError();
  void FallBackToLevel0();
  // Copying
  bool ExecCopy();
  bool CopyPath(const QString& path, bool isDirectory, int& compType, int row);
  bool CopyFile(const QString& source, const QString& destination, int& compType, int row);
  bool RefreshEntry(int row);
  bool CopyLockedFile(const QString& source, const QString& destination, const QString& anchor);
  QString SourceAnchor(const QString& path);
  bool anchorsReady_ = false;                                // the two below, for this run
  std::vector<std::pair<QString, QString>> anchorFolders_;  // save-list folders, with "\\"
  QSet<QString> namedEntries_;                               // entries named as they are
  uint32_t FolderModeFor(const QString& folder) const;
  void KeepPreviousCopy(int row);
  bool WouldMeetAnArchive(const QString& path) const;
  void RaiseAliasesInSave();
  // The run's endings
  void ShowLevel();
  void FailBeforeCopy();
  void FailAfterCopy();
  void DeleteErrorSave();
  void EndRun();
  void ResetForRun();
  QString DispElapsedTime(int percent) const;

  Module1& m;
  RunHistory& history_;
  RunState s_;
  RunContext run_{m, s_.texts.FSaveExecCaption, s_.progress};
  SaveListTable SaveList_;
  ListInfoTable ListInfo_;
  ResultView view_;
  RunClock clock_;
  std::optional<int32_t> packingBeforeRun_;  // packing switched off for this run only
  FsError lastCopyError_ = FsError::None;    // why the last copy failed
  std::map<int, SaveListEntry> previousCopies_;  // overwrite: rows whose earlier copy stays
  // The content manifest: on for the run when the settings ask for it; the hash of the copy
  // under way, fed by the copy's (or the archiver's) own read; the files copied so far.
  bool hashing_ = false;
  ContentHash hash_;
  std::vector<ManifestEntry> manifest_;
  void NoteCopied(const QString& path);
  // The hold on the set for the whole run, and the folders of an earlier save that the run
  // cleared of what killed runs left (an overwrite or repair run writes into them again).
  std::unique_ptr<SetLock> setHold_;
  QSet<QString> cleared_;
};

}  // namespace qarno
