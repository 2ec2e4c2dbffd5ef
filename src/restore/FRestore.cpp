// The restore window's engine: opening, loading the run's listing into the restore table,
// the restore list with its ticks, marks and totals, and the progress texts.
#include "restore/FRestore.h"

#include "engine/SaveList.h"
#include "platform/WinPath.h"
#include "records/CsvFields.h"

namespace qarno {

namespace {
const QChar CR = u'\r';
}  // namespace

FRestore::FRestore(Module1& module, Qarno& mainWindow) : m(module), main(mainWindow) {
  SaveList.push_back(HeaderRow());
  SaveNameTable.push_back({QStringLiteral("保存名"), QStringLiteral("ディレクトリ")});
}

SaveListEntry FRestore::HeaderRow() { return SaveListTable::Header(); }

int64_t FRestore::KbOfSize(const QString& size) {
  bool ok = false;
  const int64_t bytes = size.trimmed().toLongLong(&ok);
  return ok ? KbOf(bytes) : 0;
}

void FRestore::AddToCell(int index, int64_t amount) {
  RestoreListInfo[static_cast<size_t>(index)] = QString::number(CellNumber(index) + amount);
}

// ---------------------------------------------------------------------------------------
// Opening

void FRestore::Form_Load() {
  m.WriteDebug(4000, "Form_Load");
  Caption = m.MainCaption + QStringLiteral("  復元");
  windowCaption = Caption;
  m.CancelFlag = false;
  closeAllowed = false;
  okEnabled = false;
  cancelEnabled = false;
  notYetRun = true;
  stage = rstage::Idle;
  SaveList.assign(1, HeaderRow());
  pathIndexBuilt_ = false;
  RestoreList.clear();
  InitRestoreListInfo();
  Position = m.set.options.RestorePosition == 1 ? 1 : 0;
  WriteHDir = m.set.options.RestoreHomeDir;
  Position_Click(Position);
  closeAllowed = true;
  cancelEnabled = true;
  Status = QStringLiteral("初期化中 .... ");
}

void FRestore::Position_Click(int index) {
  Position = index == 1 ? 1 : 0;
  if (Position == 1) {
    WriteHDir = m.set.options.RestoreHomeDir;
    chgWriteHDirEnabled = true;
  } else {
    WriteHDir = QStringLiteral("マイコンピュータ");
    chgWriteHDirEnabled = false;
  }
  if (m.set.options.RestorePosition != Position) {
    m.set.options.RestorePosition = static_cast<int16_t>(Position);
    m.SetModified = true;
  }
}

bool FRestore::FormInit() {
  m.WriteDebug(4001, "FormInit");
  SetName = m.set.Name;
  hisRow = main.HisTable.selectedRow;
  const bool rowValid = hisRow >= 1 && hisRow < main.HisTable.Rows();
  RestoreSaveName = rowValid ? main.HisTable.Cell(hisRow, HistoryEntry::SaveName) : QString();
  ResSetHDir = winpath::Join(m.set.SaveDir, SetName);
  ResSetName = RestoreSaveName;
  ResSetDir = ResSetHDir + u'\\' + ResSetName;
  ResCsvFile = ResSetHDir + u'\\' + ResSetName + QStringLiteral(".csv");
  listVisible = false;
  if (rowValid && ReadSaveList()) {
    DispRestoreListInfoTotal();
    MkRestoreList();
    listVisible = true;
    Status.clear();
    m.BeepDefault();
    return true;
  }
  m.CancelFlag = true;
  closeAllowed = true;
  cancelEnabled = true;
  m.BeepAsterisk();
  return false;
}

// ---------------------------------------------------------------------------------------
// Loading the listing

bool FRestore::ParseListingLine(const QString& line, SaveListEntry& e) {
  QString rest = line;
  if (!GetCsvPathField(rest, e[SaveListEntry::Path])) return false;
  for (int i = SaveListEntry::Attributes; i <= SaveListEntry::Flag; ++i) {
    if (!GetCsvField(rest, e[i])) return false;
  }
  for (int i = SaveListEntry::SaveName; i < SaveListEntry::FieldCount; ++i) GetCsvField(rest, e[i]);
  return true;
}

bool FRestore::MediaCheck() {
  const QString prevSerial = main.HisTable.Cell(hisRow, HistoryEntry::VolSerial);
  const QString prevName = main.HisTable.Cell(hisRow, HistoryEntry::VolName);
  for (;;) {
    QString drive, volName, volSerial;
    if (!m.ReadDriveInfo(drive, volName, volSerial)) return false;
    if (volName == prevName && volSerial == prevSerial) return true;
    const Answer a = m.Warn(Question::RestoreMediumChanged, Caption,
                            drive + CR + QStringLiteral("前回とメディアが変わっています。") + CR +
                                QStringLiteral("    前回のメディアのシリアル番号 : ") + prevSerial + CR +
                                QStringLiteral("    前回のメディアのボリューム名 : ") + prevName + CR +
                                QStringLiteral("    今回のメディアのシリアル番号 : ") + volSerial + CR +
                                QStringLiteral("    今回のメディアのボリューム名 : ") + volName + CR +
                                QStringLiteral("交換して下さい。"),
                            Buttons::AbortRetryIgnore);
    if (a == Answer::Retry) continue;
    return a == Answer::Ignore;
  }
}

bool FRestore::ReadSaveList() {
  m.WriteDebug(4010, "ReadSaveList");
  for (;;) {
    SaveList.assign(1, HeaderRow());
    pathIndexBuilt_ = false;
    reservedCount_ = 0;
    rowsRead = 0;
    csvLineCount = 0;
    if (!MediaCheck()) return false;

    QString path = ResCsvFile;
    auto lines = m.ReadTextFile(path);
    if (!lines) {
      // The listing recorded with the run, when the set's save directory has moved since.
      path = winpath::Join(main.HisTable.Cell(hisRow, HistoryEntry::SaveDir), SetName) + u'\\' + ResSetName +
             QStringLiteral(".csv");
      lines = m.ReadTextFile(path);
    }
    if (!lines) {
      const Answer a = m.Warn(Question::ListingUnreadable, Caption, path + CR + QStringLiteral("CSVファイルがリードできません。"), Buttons::RetryCancel);
      if (a == Answer::Retry) continue;
      return false;
    }
    m.WriteDebugPath(4011, path, static_cast<qint64>(lines->size()));
    csvLineCount = static_cast<int>(lines->size());
    SaveList.reserve(static_cast<size_t>(csvLineCount) + 1);
    stage = rstage::ReadCsv;
    int n = 0;
    for (const QString& line : *lines) {
      if (m.CancelFlag) {
        stage = rstage::Idle;
        return false;
      }
      if (++n % 50 == 0) m.DoEvents();
      m.WriteDebugPath(4013, line);
      SaveListEntry e;
      if (!ParseListingLine(line, e)) {
        const Answer a = m.Warn(Question::MalformedListingLine, Caption,
                                QStringLiteral("CSVファイルの内容がおかしいです。") + CR + u'[' + line + u']' + CR +
                                    QStringLiteral("続行しますか？"),
                                Buttons::OKCancel);
        if (a == Answer::OK) continue;
        stage = rstage::Idle;
        return false;
      }
      e[SaveListEntry::RestoreFlag] = rmark::None;
      if (e[SaveListEntry::CompType].isEmpty()) e[SaveListEntry::CompType] = QStringLiteral("0");
      SaveList.push_back(std::move(e));
      ++rowsRead;
    }
    stage = rstage::Idle;
    return true;
  }
}

// ---------------------------------------------------------------------------------------
// Totals, list and marks

void FRestore::InitRestoreListInfo() {
  RestoreListInfo.fill(QString());
  const char16_t* heads[] = {u"", u"トータル", u"復元予約", u"復元済み", u"ファイル", u"フォルダー", u"サイズ(KB)"};
  RestoreListInfo[1] = QString::fromUtf16(heads[1]);
  RestoreListInfo[2] = QString::fromUtf16(heads[2]);
  RestoreListInfo[3] = QString::fromUtf16(heads[3]);
  RestoreListInfo[4] = QString::fromUtf16(heads[4]);
  RestoreListInfo[8] = QString::fromUtf16(heads[5]);
  RestoreListInfo[12] = QString::fromUtf16(heads[6]);
  for (int c : {cell::TotalFiles, cell::TotalFolders, cell::TotalKB, cell::MarkedFiles, cell::MarkedFolders,
                cell::MarkedKB})
    RestoreListInfo[static_cast<size_t>(c)] = QStringLiteral("0");
  for (int c : {cell::RestoredFiles, cell::RestoredFolders, cell::RestoredKB}) RestoreListInfo[static_cast<size_t>(c)].clear();
  UpdateOkButton();
}

void FRestore::DispRestoreListInfoTotal() {
  int64_t files = 0, folders = 0, kb = 0;
  for (int r = 1; r < Rows(); ++r) {
    if (r % 50 == 0) m.DoEvents();
    const SaveListEntry& e = SaveList[static_cast<size_t>(r)];
    kb += KbOfSize(e[SaveListEntry::Size]);
    if (e.IsDirectory()) ++folders;
    else ++files;
  }
  RestoreListInfo[cell::TotalFiles] = QString::number(files);
  RestoreListInfo[cell::TotalFolders] = QString::number(folders);
  RestoreListInfo[cell::TotalKB] = QString::number(kb);
}

void FRestore::MkRestoreList() {
  RestoreList.clear();
  RestoreList.reserve(SaveList.size());
  stage = rstage::FillList;
  itemsAdded = 0;
  for (int r = 1; r < Rows(); ++r) {
    if (r % 50 == 0) m.DoEvents();
    RestoreList.push_back({SaveList[static_cast<size_t>(r)][SaveListEntry::Path], false});
    ++itemsAdded;
  }
  ClearRestoreMarks();
  stage = rstage::Idle;
}

void FRestore::SetMark(int row, const QString& mark) {
  QString& flag = SaveList[static_cast<size_t>(row)][SaveListEntry::RestoreFlag];
  if (flag == rmark::Reserved) --reservedCount_;
  if (mark == rmark::Reserved) ++reservedCount_;
  flag = mark;
}

void FRestore::SetRestoreMark(int row, bool marked) {
  if (row < 1 || row >= Rows()) return;
  const SaveListEntry& e = SaveList[static_cast<size_t>(row)];
  // A tick that does not change the mark changes no total either.
  if (marked == IsMarked(row) && (marked || e[SaveListEntry::RestoreFlag] == rmark::None)) return;
  const int64_t kb = KbOfSize(e[SaveListEntry::Size]);
  const int countCell = e.IsDirectory() ? cell::MarkedFolders : cell::MarkedFiles;
  const int sign = marked ? 1 : -1;
  AddToCell(cell::MarkedKB, sign * kb);
  AddToCell(countCell, sign);
  SetMark(row, marked ? rmark::Reserved : rmark::None);
  UpdateOkButton();
}

void FRestore::MarkAll(bool marked) {
  listVisible = false;
  const QString saved = Status;
  Status = QStringLiteral("選択処理中 ......");
  m.DoEvents();
  for (size_t k = 0; k < RestoreList.size(); ++k) {
    if (m.CancelFlag) break;
    RestoreList[k].checked = marked;
    if ((k + 1) % 200 == 0) m.DoEvents();
  }
  const QString mark = marked ? rmark::Reserved : rmark::None;
  for (int r = 1; r < Rows(); ++r) {
    SaveList[static_cast<size_t>(r)][SaveListEntry::RestoreFlag] = mark;
    if (r % 200 == 0) m.DoEvents();
  }
  reservedCount_ = marked ? Rows() - 1 : 0;
  if (marked) {
    RestoreListInfo[cell::MarkedFiles] = RestoreListInfo[cell::TotalFiles];
    RestoreListInfo[cell::MarkedFolders] = RestoreListInfo[cell::TotalFolders];
    RestoreListInfo[cell::MarkedKB] = RestoreListInfo[cell::TotalKB];
  } else {
    for (int c : {cell::MarkedFiles, cell::MarkedFolders, cell::MarkedKB}) RestoreListInfo[static_cast<size_t>(c)] = QStringLiteral("0");
    notYetRun = true;  // clearing the marks is what allows another run
  }
  for (int c : {cell::RestoredFiles, cell::RestoredFolders, cell::RestoredKB}) RestoreListInfo[static_cast<size_t>(c)].clear();
  listVisible = true;
  Status = saved;
  stage = rstage::Idle;
  UpdateOkButton();
}

void FRestore::ClearRestoreMarks() {
  m.WriteDebug(4020, "ClearRestoreMarks");
  MarkAll(false);
}

void FRestore::SetAllRestoreMarks() {
  m.WriteDebug(4021, "SetAllRestoreMarks");
  MarkAll(true);
}

void FRestore::UpdateOkButton() {
  okEnabled = (CellNumber(cell::MarkedFiles) > 0 || CellNumber(cell::MarkedFolders) > 0) && notYetRun;
}

namespace {
// Paths below a folder begin with the folder and a "\"; a drive root already ends with one.
QString BelowPrefix(const QString& path) { return path.endsWith(u'\\') ? path : path + u'\\'; }
}  // namespace

void FRestore::RestoreList_ItemCheck(int item, bool ticked) {
  if (stage == rstage::Restore || stage == 2 || stage == rstage::Search) return;
  if (item < 0 || item >= static_cast<int>(RestoreList.size())) return;
  RestoreList[static_cast<size_t>(item)].checked = ticked;
  SetRestoreMark(item + 1, ticked);
  const QString prefix = BelowPrefix(RestoreList[static_cast<size_t>(item)].text);
  for (size_t k = static_cast<size_t>(item) + 1; k < RestoreList.size(); ++k) {
    if (m.CancelFlag) break;
    if (!RestoreList[k].text.startsWith(prefix)) break;
    RestoreList[k].checked = ticked;
    SetRestoreMark(static_cast<int>(k) + 1, ticked);
  }
}

int FRestore::MarkPathTree(const QString& given) {
  QString path = given;
  if (path.size() > 3 && path.endsWith(u'\\')) path.chop(1);
  const QString prefix = BelowPrefix(path);
  int matched = 0;
  for (int r = 1; r < Rows(); ++r) {
    const QString& p = SaveList[static_cast<size_t>(r)][SaveListEntry::Path];
    if (p == path || p.startsWith(prefix)) {
      if (r - 1 < static_cast<int>(RestoreList.size())) RestoreList[static_cast<size_t>(r - 1)].checked = true;
      SetRestoreMark(r, true);
      ++matched;
    }
  }
  return matched;
}

// ---------------------------------------------------------------------------------------
// Progress

RestoreTimerView FRestore::Timer1_Timer() {
  RestoreTimerView v;
  if (stage == rstage::ListSearch) return v;
  if (m.CancelFlag && closeAllowed) {
    m.CancelFlag = false;
    closeAllowed = false;
    v.unload = true;
    return v;
  }
  auto percentOf = [](double done, double total, int scale) {
    return static_cast<int>(RoundHalfEven(scale * done / total));
  };
  const int runPercent = markedKB < 1 ? 100 : percentOf(double(restoredKB), double(markedKB), 100);
  switch (stage) {
    case rstage::Restore:
      v.procesTime = QStringLiteral("経過時間  ") + clock.ElapsedTime();
      v.status = processText + subText + QStringLiteral("...... ") + QString::number(runPercent) + u'%' + CR + currentPath;
      v.percent = runPercent;
      break;
    case rstage::Search:
      v.procesTime = QStringLiteral("経過時間  ") + clock.ElapsedTime();
      v.status = processText + subText + CR + QString::number(lineCounter) + QStringLiteral("行目") +
                 QStringLiteral("      ") + QString::number(runPercent) + QStringLiteral("%　復元済み") + CR +
                 currentPath;
      v.percent = runPercent;
      break;
    case rstage::ReadCsv: {
      const int p = csvLineCount == 0 ? 85 : percentOf(rowsRead, csvLineCount, 85);
      v.status = QStringLiteral("初期化中 .... ") + QString::number(p) + u'%';
      break;
    }
    case rstage::FillList: {
      const int p = rowsRead == 0 ? 100 : static_cast<int>(RoundHalfEven(85.0 + 15.0 * itemsAdded / rowsRead));
      v.status = QStringLiteral("初期化中 .... ") + QString::number(p) + u'%';
      break;
    }
    default: return v;
  }
  v.update = true;
  Status = v.status;
  if (!v.procesTime.isEmpty()) ProcesTime = v.procesTime;
  if (v.percent >= 0 && minimized) windowCaption = Caption + u' ' + QString::number(v.percent) + u'%';
  return v;
}

}  // namespace qarno
