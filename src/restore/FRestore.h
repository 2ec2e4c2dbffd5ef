#pragma once
// Restoring one run of the history, without widgets: loading the run's listing into the
// restore table, marks and totals, and the restore itself — copying or unpacking every marked
// entry from the run folder that holds it, in place or under another top directory, with the
// medium prompts, the per-entry Abort/Retry/Ignore and the search through older runs. The
// restore window binds its controls to this object; qarno-restore drives it directly.
//
// Everything the user is asked goes through Module1::ui; every long loop yields through
// Module1::DoEvents and honours Module1::CancelFlag.
#include "common/Module1.h"
#include "mainwin/Qarno.h"

#include <QHash>
#include <array>
#include <vector>

namespace qarno {

// What the restore window is doing; the progress timer draws from it.
namespace rstage {
constexpr int Idle = 0, Restore = 1, Search = 4, ReadCsv = 5, FillList = 6, ListSearch = 7;
}

// The restore mark of a table row (its RestoreFlag text).
namespace rmark {
inline const QString None = QStringLiteral("0");
inline const QString Reserved = QStringLiteral("1");
inline const QString Restored = QStringLiteral("2");
inline const QString Failed = QStringLiteral("-1");
}  // namespace rmark

// Cells of the totals grid, addressed row × 4 + column.
namespace cell {
constexpr int TotalFiles = 5, MarkedFiles = 6, RestoredFiles = 7;
constexpr int TotalFolders = 9, MarkedFolders = 10, RestoredFolders = 11;
constexpr int TotalKB = 13, MarkedKB = 14, RestoredKB = 15;
}  // namespace cell

// One item of the restore list: the path shown and its tick.
struct RestoreListItem {
  QString text;
  bool checked = false;
};

// One row of the save-name table: a save name and the save directory the history records
// for it (empty when the history does not know the name).
struct SaveNameRow {
  QString name;
  QString dir;
};

// What the progress timer shows at one tick.
struct RestoreTimerView {
  bool unload = false;  // a stop was asked for and closing is allowed
  bool update = false;  // the texts below are new
  QString procesTime;
  QString status;
  int percent = -1;     // shown in the caption while minimised; -1 none
};

enum class RestoreOutcome { NotStarted, Stopped, Finished };

class FRestore {
 public:
  FRestore(Module1& module, Qarno& mainWindow);

  Module1& m;
  Qarno& main;

  // --- What the window shows ---
  QString Caption;  // the main caption & "  復元", fixed when the window opens
  QString windowCaption;
  bool minimized = false;
  QString SetName;          // the SetName box
  QString RestoreSaveName;  // the RestoreSaveName box
  int Position = 0;         // 0 restore in place, 1 under WriteHDir
  QString WriteHDir;
  QString Status;
  QString ProcesTime;
  QString CancelCaption = QStringLiteral("中止");
  bool okEnabled = false;
  bool cancelEnabled = false;
  bool listVisible = false;
  bool chgWriteHDirEnabled = false;

  // --- The run being restored ---
  QString ResSetName, ResSetHDir, ResSetDir, ResCsvFile;
  int hisRow = 0;  // the history row chosen when the window was initialised

  // The restore table: row 0 the header, rows 1..n the listing's entries in line order.
  std::vector<SaveListEntry> SaveList;
  int Rows() const { return static_cast<int>(SaveList.size()); }
  // Item k shows the Path of table row k + 1.
  std::vector<RestoreListItem> RestoreList;
  std::array<QString, 16> RestoreListInfo;
  QStringList SaveNameList;
  std::vector<SaveNameRow> SaveNameTable;  // row 0 the header

  // --- Window state and progress ---
  int stage = rstage::Idle;
  bool closeAllowed = false;
  bool notYetRun = true;
  int csvLineCount = 0;  // lines of the listing being loaded
  int rowsRead = 0;
  int itemsAdded = 0;
  QString processText, subText, currentPath;
  int64_t restoredKB = 0;
  int64_t markedKB = 0;
  int lineCounter = 0;  // lines read of an older run's listing
  RunClock clock;

  // --- Window events (engine side) ---
  void Form_Load();
  void Position_Click(int index);
  // A tick changed by the user: marks the row and everything listed below a folder.
  void RestoreList_ItemCheck(int item, bool ticked);
  void AllSelect_Click() { SetAllRestoreMarks(); }
  void AllClear_Click() { ClearRestoreMarks(); }
  RestoreOutcome OK_Click();
  void Cancel_Click() { m.CancelFlag = true; }
  RestoreTimerView Timer1_Timer();

  // --- The restore list ---
  bool FormInit();
  bool ReadSaveList();
  void InitRestoreListInfo();
  void DispRestoreListInfoTotal();
  void MkRestoreList();
  void SetRestoreMark(int row, bool marked);
  void ClearRestoreMarks();
  void SetAllRestoreMarks();
  void UpdateOkButton();
  // Marks the rows whose Path is the path or lies below it; the number of rows matched.
  int MarkPathTree(const QString& path);

  // --- The restore run ---
  // The start button's work: checks, the save-name table, then ExecRestore.
  RestoreOutcome PrepareRestore();
  bool ChkUnlhaNeeded();
  void MkSaveNameList();
  void MkSaveNameTable();
  bool ExecRestore();
  bool RestoreFromSaveName(int index, bool& ignoreErrors);
  int CountReserved() const;
  bool RestoreFromOtherSaves(bool& ignoreErrors);
  bool RestoreFromSaveCsv(const QString& name, const QString& dir, bool& ignoreErrors);
  bool FindReservedEntry(const QString& path, int& pos, bool& nothingLeft);
  bool RestoreEntry(int row, const QString& name, const QString& dir);
  bool ExtractLha(const QString& source, const QString& target);
  bool SetAttrFromText(const QString& path, const QString& text);

  // --- Paths ---
  QString SetFolderOf(const QString& dir) const;
  QString RunFolderOf(const QString& dir, const QString& name) const;
  QString CsvOf(const QString& dir, const QString& name) const;
  // Where a copy lies in a run folder: Drive_X\... or Alias\nnnnnn.
  QString SourceOf(const QString& path, const QString& alias, const QString& runFolder) const;
  QString TargetOf(const QString& path) const;
  // A row that may be written: an absolute drive path without "." or "..", and an alias that
  // stays inside the run folder.
  static bool IsRestorablePath(const QString& path, const QString& alias);

  // --- Helpers ---
  bool IsMarked(int row) const { return SaveList[static_cast<size_t>(row)][SaveListEntry::RestoreFlag] == rmark::Reserved; }
  static int64_t KbOfSize(const QString& size);
  // Fields 1 to 5 must be there; the rest are taken as far as the line goes.
  static bool ParseListingLine(const QString& line, SaveListEntry& entry);
  int64_t CellNumber(int index) const { return RestoreListInfo[static_cast<size_t>(index)].toLongLong(); }
  void AddToCell(int index, int64_t amount);
  static SaveListEntry HeaderRow();

 private:
  // Stored form of a copy: the table row's own, or that of an older run's listing line.
  struct StoredForm {
    QString compType;
    QString alias;
  };
  bool RestoreEntryAs(int row, const QString& name, const QString& dir, const StoredForm& form);
  void SetMark(int row, const QString& mark);
  // The frame of the two bulk commands: every item and row ticked or cleared.
  void MarkAll(bool marked);
  bool MediaCheck();
  void RejectUnsafeEntries();
  void ApplyDeferredFolderAttributes();
  void BuildPathIndex();

  QHash<QString, std::vector<int>> pathIndex_;
  bool pathIndexBuilt_ = false;
  int reservedCount_ = 0;
  // Folders whose read-only bit waits until everything below them has been restored.
  std::vector<std::pair<QString, QString>> deferredFolders_;
};

}  // namespace qarno
