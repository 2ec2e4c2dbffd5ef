// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One backup run of the current set, without widgets: the run driver (OK_Click) and its
// phases — save list, level marking, copying, listing, history record — and the window's
// second mode, the listing of a recorded run. The backup run window binds to its read-only
// state and sends it commands; an unattended run from the command line drives it directly.
//
// Per-file problems never fail a run: they are recorded in the entry's Flag, counted and
// logged. A run fails only when it cannot go on (no medium, no listing written, Cancel).
#include "common/Module1.h"
#include "engine/CopyDecision.h"
#include "engine/RunRequest.h"
#include "engine/RunState.h"
#include "mainwin/RunHistory.h"
#include "records/ContentManifest.h"
#include "records/ResultView.h"
#include "records/SaveList.h"

#include <QElapsedTimer>
#include <QSet>

#include <deque>
#include <map>
#include <memory>
#include <optional>

namespace qarno {

class CopyCrew;
class ListAhead;
struct FileCopyJob;

class FSaveExec {
 public:
  FSaveExec(Module1& module, RunHistory& history);

  // --- What the window shows (read-only) ---
  const RunState& state() const { return s_; }
  const SaveListTable& SaveList() const { return SaveList_; }
  const ListInfoTable& ListInfo() const { return ListInfo_; }
  const ResultView& View() const { return view_; }
  // The level selector's index of this run (an unattended run may fall back to Level-0).
  qarno::Level Level() const { return level_; }
  // What the run was asked to do, as taken at its start.
  const RunRequest& Request() const { return request_; }

  // --- The window's events ---
  // Opening: the caption by mode, everything of an earlier run cleared.
  void Form_Load();
  // The run (mode 1) or the listing of the history row (mode 2, see ShowRecordedRun).
  bool OK_Click(int historyRow = 0);
  void Cancel_Click() { env_.cancel.Set(); }
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
  // The request and the environment of the run, taken from the module.
  void Begin();
  // The steps of a run. Each tells whether the run goes on, or how it ends failed: before
  // the copy, with the medium no longer readable, or once the save was being written.
  enum class Step { Go, FailBeforeCopy, MediumUnreadable, FailAfterCopy };
  bool RunBackup();
  void StartRun();
  Step CheckPreconditions();
  Step ReadMediumAndPreviousRun();
  Step NameTheSave();
  Step BuildListAndMarks();
  Step RecheckMedium();
  Step WriteTheSave(int& newRow);
  bool WriteListingAndManifest();
  void ReportSuccess(int newRow);
  bool FailRun(Step how);  // the one way out of a failed run
  // Reads the destination medium; the questions are titled and asked as the run's are.
  bool ReadDrive(QString& drive, QString& volumeName, QString& volumeSerial);
  bool Packs() const { return packing_; }
  bool ScanSaveList();
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
  // One entry of the copy, with the reserve and full-medium questions it may raise.
  // Done: on to the next entry; Again: the same entry from the start (another medium).
  enum class EntryResult { Done, Again, Cancelled, Abort };
  EntryResult CopyEntry(int row, ReserveState& reserve, bool& stopCopy);
  // One entry on the run's thread, copied again while another medium is asked for, and its
  // end (the previous copy kept, a yield, the count).
  EntryResult CopyRow(int row, ReserveState& reserve, bool& stopCopy);
  void FinishRow(int row);
  // The copy of one entry as such: what became of it (its Flag tells the same).
  enum class CopyAttempt { Copied, Locked, Vanished, Failed };
  CopyAttempt AttemptCopy(int row);
  static CopyAttempt FailedAttempt(Flag f);
  // What the run makes of an attempt: the entry's counts and log lines, the volume it went
  // to, the full-medium question.
  EntryResult TakeAttempt(SaveListEntry& e, CopyAttempt attempt, bool& stopCopy);
  // Copying with workers (see CopyEngine.cpp): entries in flight, taken in the list's order.
  struct Slot {
    enum class Kind { Skip, Copy } kind = Kind::Skip;
    int row = 0;
    std::shared_ptr<FileCopyJob> job;  // none: a folder, or a file whose folder failed
    int64_t bytes = 0;
    std::optional<int64_t> freeKB;  // the free space the reserve check counted, for its trace
    int32_t aliasBefore = -1;       // the alias counter before the entry, and its alias
    QString alias;
    QString madeFolder;  // the deepest folder made for it
  };
  EntryResult CopyWithWorkers(CopyCrew& crew, ReserveState& reserve, bool& stopCopy);
  // False when the entry is one for the run's thread alone (a question, a refusal).
  bool PrepareSlot(int row, ReserveState reserve, bool stopCopy, CopyCrew& crew, Slot& slot);
  // Takes the window's first entry; one not done yet is waited for until at most `half`
  // entries are left to do.
  EntryResult TakeSlot(CopyCrew& crew, std::deque<Slot>& window, int& next, ReserveState& reserve, bool& stopCopy,
                       size_t half);
  // Takes back every entry of the window from `first` on: the run goes on from there.
  void TakeBackFrom(CopyCrew& crew, std::deque<Slot>& window, int& next, size_t first);
  // Nothing when the entry may be copied.
  std::optional<EntryResult> CheckReserve(SaveListEntry& e, ReserveState& reserve);
  EntryResult AfterFailedCopy(SaveListEntry& e, bool& stopCopy);
  bool NoCompType(const QString& path) const;
  void CountNotSaved(SaveListEntry& e, const QString& message, const char* trace);
  bool AbortCopy();
  void CopyTotals();
  bool CopyPath(const QString& path, bool isDirectory, int& compType, int row);
  // The destination of a file's copy, under the next alias where it needs one.
  QString DestinationOf(SaveListEntry& e);
  void MarkCopied(SaveListEntry& e, int compType);
  // A file's copy: its folders and what to do (the run's thread), the work itself (any
  // thread), and what the entry takes of it (the run's thread, with the locked-file copy).
  bool PrepareFileCopy(const QString& source, const QString& destination, FileCopyJob& job);
  bool FinishFileCopy(FileCopyJob& job, int& compType, int row);
  static bool EndsOnRunThread(const FileCopyJob& job);
  static void TakeSourceInfo(SaveListEntry& e, const DirEntry& info);
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

  Module1& m;  // only to take the request and the environment, and to close the run's log
  RunHistory& history_;
  RunRequest request_;
  RunEnvironment env_;
  // The run's own choices: the level (Level-0 when the previous run is missing), packing
  // (off when the archiver is missing).
  decltype(BackupSet::SaveLevel) level_ = Level::Level2;
  bool packing_ = false;
  // The automatic run as it stands now. A failed write turns it off for the whole program
  // (the history's own writes do so too, and the prompter asks it whether anybody is
  // there): it is the program's, not a value of the request.
  AutoRun& autoRun_;
  RunSubject subject_;
  QStringList& exclusiveHolds_;
  RunState s_;
  RunContext run_{env_, s_.texts.FSaveExecCaption, s_.progress, subject_, autoRun_, m.acceptedMedium, &m.currentItem};
  SaveListTable SaveList_;
  ListInfoTable ListInfo_;
  ResultView view_;
  RunClock clock_;
  FsError lastCopyError_ = FsError::None;    // why the last copy failed
  std::map<int, SaveListEntry> previousCopies_;  // overwrite: rows whose earlier copy stays
  // The content manifest: on for the run when the settings ask for it; the hash of the copy
  // under way, fed by the copy's (or the archiver's) own read; the files copied so far.
  bool hashing_ = false;
  ContentHash hash_;
  std::vector<ManifestEntry> manifest_;
  void NoteCopied(const QString& path, const ContentHash& hash);
  // The hold on the set for the whole run, and the folders of an earlier save that the run
  // cleared of what killed runs left (an overwrite or repair run writes into them again).
  std::unique_ptr<SetLock> setHold_;
  QSet<QString> cleared_;
  QSet<QString> folders_;  // the save's folders this run made or entered
  // The medium's name and serial that copied entries record.
  std::optional<std::pair<QString, QString>> entryVolume_;
  // The scan's listings, made ahead of it while it runs.
  ListAhead* ahead_ = nullptr;
  // When entryVolume_ was read: it is read again after a second, as the platform's drive
  // information is, so a medium swapped without any question is still noticed.
  QElapsedTimer entryVolumeAge_;
  // The free space as last asked while workers copy: what was in flight then, and the
  // bytes handed out and entries checked since.
  struct AskedSpace {
    int64_t freeKB = 0;
    int64_t cluster = 0;
    int64_t handedOut = 0;
    int entries = 0;
    int64_t Left() const { return freeKB - (handedOut + 1023) / 1024; }
  };
  std::optional<AskedSpace> space_;
};

}  // namespace qarno
