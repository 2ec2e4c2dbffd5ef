// SPDX-License-Identifier: GPL-3.0-or-later
// The restore window's engine: opening, loading the run's listing into the restore table,
// the restore list with its ticks, marks and totals, and the progress texts.
#include "restore/FRestore.h"

#include "records/ListingLine.h"
#include "records/SaveLayout.h"
#include "platform/WinPath.h"

namespace qarno {

namespace {
const QChar CR = u'\r';
}  // namespace

RestoreRequest RestoreRequest::Of(const Module1& m) {
  RestoreRequest r;
  r.setName = m.set.Name;
  r.saveDir = m.set.SaveDir;
  r.caption = m.MainCaption;
  r.restorePosition = m.set.options.RestorePosition;
  r.restoreHomeDir = m.set.options.RestoreHomeDir;
  r.programFolder = m.ProgramFolder;
  r.setFolder = m.SetFolder;
  r.settingsFolder = m.SettingsFolder;
  r.medium = m.Medium();
  r.holdWaitMs = m.setHoldWaitMs;
  return r;
}

FRestore::FRestore(Module1& module, const HistoryTable& history)
    : FRestore(module, history, RestoreRequest::Of(module), module.Environment()) {}

FRestore::FRestore(Module1& module, const HistoryTable& history, RestoreRequest request, const RunEnvironment& env)
    : acceptedMedium_(module.acceptedMedium), exclusiveHolds_(module.exclusiveHolds_), currentItem_(module.currentItem),
      req_(std::move(request)), env_(env), history_(history),
      options_{req_.restorePosition, req_.restoreHomeDir} {
  saveNames_.push_back({QCoreApplication::translate("FRestore", "保存名"), QCoreApplication::translate("FRestore", "ディレクトリ")});
}

// ---------------------------------------------------------------------------------------
// Opening

void FRestore::Form_Load() {
  env_.WriteDebug(4000, "Form_Load");
  s_ = RestoreState();
  s_.Caption = req_.caption + QCoreApplication::translate("FRestore", "  復元");
  env_.cancel.Clear();
  table_.Clear();
  UpdateOkButton();
  s_.Position = options_.restorePosition == 1 ? 1 : 0;
  s_.WriteHDir = options_.restoreHomeDir;
  Position_Click(s_.Position);
  s_.closeAllowed = true;
  s_.cancelEnabled = true;
  s_.Status = QCoreApplication::translate("FRestore", "初期化中 .... ");
}

void ApplyRestoreSetChange(FRestore& restore, Module1& m) {
  const std::optional<RestoreSetChange> change = restore.TakeSetChange();
  if (!change) return;
  m.set.options.RestorePosition = change->restorePosition;
  m.set.options.RestoreHomeDir = change->restoreHomeDir;
  m.SetModified = true;
}

void FRestore::Position_Click(int index) {
  s_.Position = index == 1 ? 1 : 0;
  if (s_.Position == 1) {
    s_.WriteHDir = options_.restoreHomeDir;
    s_.chgWriteHDirEnabled = true;
  } else {
    s_.WriteHDir = QCoreApplication::translate("FRestore", "マイコンピュータ");
    s_.chgWriteHDirEnabled = false;
  }
  if (options_.restorePosition != s_.Position) {
    options_.restorePosition = static_cast<int16_t>(s_.Position);
    setChange_ = options_;
  }
}

void FRestore::ChgWriteHDir(const QString& directory) {
  s_.WriteHDir = directory;
  if (options_.restoreHomeDir != directory) {
    options_.restoreHomeDir = directory;
    setChange_ = options_;
  }
}

void FRestore::SetTarget(int position, const QString& topDir) {
  s_.Position = position == 1 ? 1 : 0;
  s_.WriteHDir = s_.Position == 1 ? topDir : QCoreApplication::translate("FRestore", "マイコンピュータ");
}

bool FRestore::FormInit(int historyRow) {
  env_.WriteDebug(4001, "FormInit");
  s_.SetName = req_.setName;
  s_.hisRow = historyRow;
  const bool rowValid = historyRow >= 1 && historyRow < history_.Rows();
  s_.RestoreSaveName = rowValid ? history_.Cell(historyRow, HistoryEntry::SaveName) : QString();
  const RunPaths paths = RunPaths::Of(req_.saveDir, s_.SetName, s_.RestoreSaveName);
  s_.ResSetHDir = paths.SaveSetHDir;
  s_.ResSetName = s_.RestoreSaveName;
  s_.ResSetDir = paths.SaveSetDir;
  s_.ResCsvFile = paths.SaveCsvFile;
  s_.listVisible = false;
  if (rowValid && ReadSaveList()) {
    DispRestoreListInfoTotal();
    MkRestoreList();
    s_.listVisible = true;
    s_.Status.clear();
    env_.ui.Beep(BeepKind::Default);
    return true;
  }
  env_.cancel.Set();
  s_.closeAllowed = true;
  s_.cancelEnabled = true;
  env_.ui.Beep(BeepKind::Asterisk);
  return false;
}

// ---------------------------------------------------------------------------------------
// Loading the listing

bool FRestore::ParseListingLine(const QString& line, SaveListEntry& e) {
  const ListingFields fields = SplitListingLine(line);
  if (!fields.WellFormed()) return false;
  e = fields.ToEntry();
  return true;
}

bool FRestore::MediaCheck() {
  const QString prevSerial = history_.Cell(s_.hisRow, HistoryEntry::VolSerial);
  const QString prevName = history_.Cell(s_.hisRow, HistoryEntry::VolName);
  for (;;) {
    QString drive, volName, volSerial;
    if (!ReadDriveInfo(env_, req_.medium, acceptedMedium_, drive, volName, volSerial)) return false;
    if (volName == prevName && volSerial == prevSerial) return true;
    const Answer a = env_.Warn(Question::RestoreMediumChanged, s_.Caption,
                            drive + CR + TrWords("FRestore", "前回とメディアが変わっています。") + CR +
                                TrWords("FRestore", "    前回のメディアのシリアル番号 : ") + prevSerial + CR +
                                TrWords("FRestore", "    前回のメディアのボリューム名 : ") + prevName + CR +
                                TrWords("FRestore", "    今回のメディアのシリアル番号 : ") + volSerial + CR +
                                TrWords("FRestore", "    今回のメディアのボリューム名 : ") + volName + CR +
                                TrWords("FRestore", "交換して下さい。"),
                            Buttons::AbortRetryIgnore);
    if (a == Answer::Retry) continue;
    return a == Answer::Ignore;
  }
}

bool FRestore::ReadSaveList() {
  env_.WriteDebug(4010, "ReadSaveList");
  for (;;) {
    table_.Clear();
    s_.rowsRead = 0;
    s_.csvLineCount = 0;
    if (!MediaCheck()) return false;

    // A history row that names no save of this program names no listing either: nothing is
    // read through a name like "..\..\x".
    const bool named = IsSaveName(s_.ResSetName);
    QString path = s_.ResCsvFile;
    auto lines = named ? env_.ReadTextFile(path) : std::nullopt;
    if (!lines) {
      // The listing recorded with the run, when the set's save directory has moved since.
      path = RunPaths::Of(history_.Cell(s_.hisRow, HistoryEntry::SaveDir), s_.SetName, s_.ResSetName).SaveCsvFile;
      if (named) lines = env_.ReadTextFile(path);
    }
    if (!lines) {
      const Answer a = env_.Warn(Question::ListingUnreadable, s_.Caption,
                              path + CR + TrWords("FRestore", "CSVファイルがリードできません。"), Buttons::RetryCancel);
      if (a == Answer::Retry) continue;
      return false;
    }
    env_.WriteDebugPath(4011, path, static_cast<qint64>(lines->size()));
    s_.csvLineCount = static_cast<int>(lines->size());
    s_.stage = rstage::ReadCsv;
    int n = 0;
    for (const QString& line : *lines) {
      if (env_.cancel) {
        s_.stage = rstage::Idle;
        return false;
      }
      if (++n % 50 == 0) env_.DoEvents();
      env_.WriteDebugPath(4013, line);
      if (skipBlankLines_ && line.trimmed().isEmpty()) continue;
      SaveListEntry e;
      if (!ParseListingLine(line, e)) {
        const Answer a = env_.Warn(Question::MalformedListingLine, s_.Caption,
                                TrWords("FRestore", "CSVファイルの内容がおかしいです。") + CR + u'[' + line + u']' + CR +
                                    TrWords("FRestore", "続行しますか？"),
                                Buttons::OKCancel);
        if (a == Answer::OK) continue;
        s_.stage = rstage::Idle;
        return false;
      }
      if (e.compType == CompType::Blank) e.compType = CompType::Plain;
      table_.Append(std::move(e));
      ++s_.rowsRead;
    }
    s_.stage = rstage::Idle;
    return true;
  }
}

// ---------------------------------------------------------------------------------------
// Totals, list and marks

void FRestore::DispRestoreListInfoTotal() { table_.CountTotals(); }

void FRestore::MkRestoreList() {
  // The list shows the table's rows as they are; filling it is counted for the progress.
  s_.stage = rstage::FillList;
  s_.itemsAdded = 0;
  for (int r = 1; r < table_.Rows(); ++r) {
    if (r % 50 == 0) env_.DoEvents();
    ++s_.itemsAdded;
  }
  ClearRestoreMarks();
  s_.stage = rstage::Idle;
}

void FRestore::SetRestoreMark(int row, bool marked) {
  table_.Tick(row, marked);
  UpdateOkButton();
}

void FRestore::MarkAll(bool marked) {
  s_.listVisible = false;
  const QString saved = s_.Status;
  s_.Status = QCoreApplication::translate("FRestore", "選択処理中 ......");
  env_.DoEvents();
  table_.MarkAll(marked);
  if (!marked) s_.notYetRun = true;  // clearing the marks is what allows another run
  s_.listVisible = true;
  s_.Status = saved;
  s_.stage = rstage::Idle;
  UpdateOkButton();
}

void FRestore::ClearRestoreMarks() {
  env_.WriteDebug(4020, "ClearRestoreMarks");
  MarkAll(false);
}

void FRestore::SetAllRestoreMarks() {
  env_.WriteDebug(4021, "SetAllRestoreMarks");
  MarkAll(true);
}

void FRestore::UpdateOkButton() {
  const RestoreCounts& marked = table_.Marked();
  s_.okEnabled = (marked.files > 0 || marked.folders > 0) && s_.notYetRun;
}

void FRestore::RestoreList_ItemCheck(int item, bool ticked) {
  if (s_.stage == rstage::Restore || s_.stage == rstage::Search) return;
  const int row = item + 1;
  if (row < 1 || row >= table_.Rows()) return;
  SetRestoreMark(row, ticked);
  const QString& path = table_[row].path;
  const QString prefix = path.endsWith(u'\\') ? path : path + u'\\';
  for (int r = row + 1; r < table_.Rows(); ++r) {
    if (env_.cancel) break;
    if (!table_[r].path.startsWith(prefix)) break;
    SetRestoreMark(r, ticked);
  }
}

int FRestore::MarkPathTree(const QString& path) {
  const std::vector<int> rows = table_.RowsOfTree(path);
  for (int r : rows) SetRestoreMark(r, true);
  return static_cast<int>(rows.size());
}

// ---------------------------------------------------------------------------------------
// Progress

bool FRestore::TakeCloseRequest() {
  if (s_.stage == rstage::ListSearch || !env_.cancel || !s_.closeAllowed) return false;
  env_.cancel.Clear();
  s_.closeAllowed = false;
  return true;
}

RestoreTimerView DescribeRestoreProgress(const RestoreState& s, const QString& elapsed) {
  RestoreTimerView v;
  auto percentOf = [](double done, double total, int scale) {
    return static_cast<int>(RoundHalfEven(scale * done / total));
  };
  const int runPercent = s.markedKB < 1 ? 100 : percentOf(double(s.restoredKB), double(s.markedKB), 100);
  switch (s.stage) {
    case rstage::Restore:
      v.procesTime = QCoreApplication::translate("FRestore", "経過時間  ") + elapsed;
      v.status = s.processText + s.subText + QStringLiteral("...... ") + QString::number(runPercent) + u'%' + CR +
                 s.currentPath;
      v.percent = runPercent;
      break;
    case rstage::Search:
      v.procesTime = QCoreApplication::translate("FRestore", "経過時間  ") + elapsed;
      v.status = s.processText + s.subText + CR +
                 QCoreApplication::translate("FRestore", "%1行目      %2%　復元済み").arg(QString::number(s.lineCounter), QString::number(runPercent)) + CR +
                 s.currentPath;
      v.percent = runPercent;
      break;
    case rstage::ReadCsv: {
      const int p = s.csvLineCount == 0 ? 85 : percentOf(s.rowsRead, s.csvLineCount, 85);
      v.status = QCoreApplication::translate("FRestore", "初期化中 .... ") + QString::number(p) + u'%';
      break;
    }
    case rstage::FillList: {
      const int p = s.rowsRead == 0 ? 100 : static_cast<int>(RoundHalfEven(85.0 + 15.0 * s.itemsAdded / s.rowsRead));
      v.status = QCoreApplication::translate("FRestore", "初期化中 .... ") + QString::number(p) + u'%';
      break;
    }
    default: return v;
  }
  v.update = true;
  return v;
}

RestoreTimerView FRestore::Describe() const { return DescribeRestoreProgress(s_, clock_.ElapsedTime()); }

}  // namespace qarno
