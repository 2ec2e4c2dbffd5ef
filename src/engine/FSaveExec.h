#pragma once
// One backup run of the current set, without widgets: the run driver (OK_Click) and its
// phases — save list, level marking, copying, listing, history record — with the texts and
// counters the progress display shows. The backup run window binds to this object; an
// unattended run from the command line drives it directly.
//
// Per-file problems never fail a run: they are recorded in the entry's Flag, counted and
// logged. A run fails only when it cannot go on (no medium, no listing written, Cancel).
#include "common/Module1.h"
#include "engine/SaveList.h"
#include "mainwin/Qarno.h"

#include <optional>

namespace qarno {

// The phases of a run, as the progress display tells them apart.
namespace phase {
constexpr int Idle = 0, Scan = 1, PreviousList = 2, ThisList = 3, Copy = 4, Csv = 5, ViewIdle = 6, Merge = 7,
              UsedSize = 8, Done = 9, ViewBusy = 10;
}

// What the status text of a phase ends with when the phase is over.
inline const QString kPhaseDone = QStringLiteral("　...　終了");

// What the progress display shows at one tick.
struct ProgressView {
  QString status;
  QString processTime;  // "経過時間  hh:mm:ss ( Total n% )" in a backup run
  int overall = 0;
  bool closeWindow = false;  // a stop was asked for and closing is allowed
};

class FSaveExec {
 public:
  FSaveExec(Module1& module, Qarno& mainWindow);

  Module1& m;
  Qarno& main;

  // --- What the window shows ---
  QString FSaveExecCaption;
  QString TSetName, SaveDir, TNewSetName, SaveLevel, TOldSetName, CompMode;
  QString Status;
  QString ProcesTime;
  QString CancelCaption = QStringLiteral("中止");
  bool minimized = false;
  QString windowCaption;

  // --- The save list and its totals ---
  SaveListTable SaveList;
  ListInfoTable ListInfo;
  // The result view: the SaveList rows that pass the selector, in order.
  int ListSel = 0;  // 0 all, 1 copied this run, 2 not copied
  std::vector<int> SelSaveList;
  bool selSaveListVisible = false;

  // --- Run-wide paths (GetNewSetName) ---
  QString SaveSetHDir, SaveSetName, SaveSetDir, SaveCsvFile;
  int32_t aliasCounter = -1;

  // --- Run state ---
  int phaseNow = phase::Idle;
  bool closeAllowed = true;
  bool runFailed = false;    // a step asked for the run to end as failed
  bool succeeded = false;    // the run reached its successful end
  bool historyWritten = false;
  bool createdSave = false;  // this run chose a new save name (Level-0/1/2)
  QString drive, volumeName, volumeSerial;  // the destination medium at the start
  int preRow = 0;  // the history row of the previous run
  std::optional<int32_t> packingBeforeRun;  // packing switched off for this run only
  RunClock clock;

  // Counters the progress display reads.
  int scanCount = 0;
  QString scanDir, lastEntry;
  int64_t progressCounter = 0, progressTotal = 0;
  int64_t copiedKB = 0, kbToCopy = 0, processedCount = 0, rowCount = 0;
  int uncopiedCount = 0;
  int64_t filesCopied = 0, dirsCopied = 0;
  int overallPercent = 0;

  // --- The window's events ---
  void Form_Load();
  bool OK_Click();
  void Cancel_Click() { m.CancelFlag = true; }
  // One tick of the progress timer: the texts for the run's state.
  ProgressView Timer1_Timer();
  QString DispElapsedTime(int percent) const;

  // --- Save names and layout ---
  bool GetNewSetName();
  bool ChkFName(const QString& path);
  static QString SaveNameFor(const QDate& date, int counter);

  // --- Save list construction ---
  void ClearSaveList();
  void ClearListInfo() { ListInfo.Clear(); }
  bool MkSaveList();
  bool ScanTree(const QString& path);
  bool ScanCheck(const QString& path, const DirEntry& info);
  bool AddFileData(const QString& path, const DirEntry& info);
  bool AddDirData(const QString& path, const DirEntry& info);
  bool AddSListData(const QString& path, const DirEntry& info, int64_t& count);
  static QString GetAttrStr(uint32_t attributes);
  bool scanTreeFirst = false;

  // --- Level marking ---
  bool SetSaveListNewMark();
  bool SetSaveListNewMark0();
  bool SetSaveListNewMark1();
  bool SetSaveListNewMark2();
  void CheckCsv(const QString& line, int& position);
  bool FindNewPath(const QString& path, int& position) const { return SaveList.FindNewPath(path, position); }

  // --- Copying ---
  bool ExecCopy();
  bool CopyPath(const QString& path, bool isDirectory, int& compType, int row);
  bool CopyFile(const QString& source, const QString& destination, int& compType, int row);
  bool RefreshEntry(int row);
  bool CopyLockedFile(const QString& source, const QString& destination);

  // --- Listing, merge, record ---
  bool OutCsvList();
  QString OutCsv(int row) const;
  void MergeCsv();
  bool OutHisTable();
  void SaveSetInfo();
  void DeleteErrorSave();

  // --- Result view ---
  void SetListSelForm();
  bool ChkSelList(int row) const;
  void DispSelSaveList();
  void ListSel_Click(int selection);
  // The window's second mode: the listing of the selected history row.
  bool ShowRecordedRun();

  // The level selector's index of this run (it may change: unattended fallbacks).
  int Level() const { return m.set.SaveLevel; }

 private:
  // Reads a listing at its first location, else the second one; nullopt when neither reads.
  std::optional<QStringList> ReadPreviousListing(QString& firstPath, bool createIfMissing);
  bool MediumCheckAgainstHistory();
  void EndRun();
  void FailBeforeCopy();
  void FailAfterCopy();
  bool PreviousListError();
  void ShowLevel();  // the level box: the level's caption up to its first blank  // the error ending of the phases that read the previous listing
  void LogNotSaved(const QString& what, const QString& path);
};

}  // namespace qarno
