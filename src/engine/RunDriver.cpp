// The run driver: the steps of one backup run from the preconditions to the report, and the
// progress texts of the window's timer.
#include "engine/FSaveExec.h"

namespace qarno {

namespace {
int Percent(int64_t counter, int64_t total) { return total < 1 ? 100 : static_cast<int>(counter * 100 / total); }
}  // namespace

FSaveExec::FSaveExec(Module1& module, Qarno& mainWindow) : m(module), main(mainWindow) {}

void FSaveExec::Form_Load() {
  if (m.ExecMode == 1) FSaveExecCaption = m.MainCaption + QStringLiteral("  保存実行");
  else if (m.ExecMode == 2) FSaveExecCaption = m.MainCaption + QStringLiteral("  履歴情報の詳細");
  else FSaveExecCaption = m.MainCaption;
  windowCaption = FSaveExecCaption;
  Status.clear();
  selSaveListVisible = false;
  m.CancelFlag = false;
  phaseNow = phase::Idle;
  lastEntry.clear();
  closeAllowed = true;
  aliasCounter = -1;
}

QString FSaveExec::DispElapsedTime(int percent) const {
  return QStringLiteral("経過時間  ") + clock.ElapsedTime() + QStringLiteral(" ( Total ") + QString::number(percent) +
         QStringLiteral("% )");
}

void FSaveExec::ShowLevel() {
  // The level box shows the selector's caption up to its first blank.
  const QString caption = Qarno::SaveLevelCaptions().value(Level());
  const qsizetype i = caption.indexOf(u' ');
  SaveLevel = i < 0 ? caption : caption.left(i);
}

void FSaveExec::LogNotSaved(const QString& what, const QString& path) { m.WriteLog(what, path); }

void FSaveExec::FailBeforeCopy() {
  m.WriteDebug(2026, "OK_Click", "failed before the copy");
  m.CancelFlag = true;
  closeAllowed = true;
}

void FSaveExec::FailAfterCopy() {
  closeAllowed = true;
  if (m.set.options.DElErrFile == 1) DeleteErrorSave();
}

void FSaveExec::EndRun() {
  if (packingBeforeRun) {
    m.set.options.ComplexTypeMode = *packingBeforeRun;
    packingBeforeRun.reset();
  }
  if (m.CancelFlag) m.WriteLog(QStringLiteral("中止されました"));
  m.WriteLog(QStringLiteral("終了"));
  m.WriteLog(QString());
  m.CloseLogFile();
  if (m.AutoRunMode >= 1) Cancel_Click();
}

bool FSaveExec::OK_Click() {
  m.WriteDebug(2009, "OK_Click", m.ExecMode);
  if (m.ExecMode == 2) {
    ShowRecordedRun();
    CancelCaption = QStringLiteral("閉じる");
    return true;
  }
  succeeded = false;
  runFailed = false;
  historyWritten = false;
  createdSave = false;

  // 2-4: the start, the texts of the window.
  m.WriteLog(QStringLiteral("保存開始"), FormatDateTime(QDateTime::currentDateTime()));
  clock.Start();
  SaveDir = m.set.SaveDir;
  closeAllowed = false;
  m.CancelFlag = false;
  ShowLevel();
  CompMode = m.set.options.ComplexTypeMode == 1 ? QStringLiteral("LHAで圧縮する") : QStringLiteral("圧縮しない");

  auto fail = [&] {
    FailBeforeCopy();
    EndRun();
    return false;
  };

  // 5: packing needs the archiver.
  if (m.set.options.ComplexTypeMode == 1 && !m.ChkUnlha()) {
    m.WriteLog(QStringLiteral("UNLHA32がインストールされていません。"));
    if (m.AutoRunMode >= 2) {
      packingBeforeRun = m.set.options.ComplexTypeMode;
      m.set.options.ComplexTypeMode = 0;
      CompMode = QStringLiteral("圧縮しない");
    } else {
      m.Warn(Question::ArchiverMissing, FSaveExecCaption, QStringLiteral("UNLHA32がインストールされていません。") + u'\r' +
                                   QStringLiteral("設定で[圧縮しない]を選択してください。"));
      return fail();
    }
  }

  // 6-8: an empty list, the set, the destination medium.
  ClearSaveList();
  ClearListInfo();
  SetListSelForm();
  TSetName = m.set.Name;
  drive.clear();
  if (!m.ReadDriveInfo(drive, volumeName, volumeSerial)) return fail();
  m.WriteDebugPath(2020, drive, volumeName, volumeSerial);

  // 9-10: the previous run of the level.
  if (!main.GetPreCsvName(preRow) && Level() != level::Overwrite) {
    if (m.AutoRunMode >= 2) {
      m.set.SaveLevel = level::Level0;
      ShowLevel();
      preRow = 0;
    } else {
      m.Warn(Question::PreviousRunMissing, FSaveExecCaption, QStringLiteral("前回の保存名が見つかりません！") + QStringLiteral("\r\n\r\n") +
                                   QStringLiteral("差分ならLevel-0、修復なら最初に差分モードで保存してください"));
      return fail();
    }
  }
  if (Level() == level::Level0) TOldSetName.clear();
  else if (Level() == level::Overwrite) TOldSetName = QStringLiteral("Qrn_All");
  else TOldSetName = preRow > 0 ? main.HisTable.Cell(preRow, HistoryEntry::SaveName) : QString();

  // 11-12: the save name, and the run's head in the log.
  if (!GetNewSetName()) return fail();
  TNewSetName = SaveSetName;
  m.WriteLog(QStringLiteral("セット名"), TSetName);
  m.WriteLog(QStringLiteral("保存先"), SaveDir);
  m.WriteLog(QStringLiteral("保存名"), TNewSetName);
  m.WriteLog(QStringLiteral("レベル"), SaveLevel);
  m.WriteLog(QStringLiteral("前回の保存名"), TOldSetName);
  m.WriteLog(QStringLiteral("圧縮方法"), CompMode);
  m.WriteDebugPath(2021, TNewSetName, TOldSetName);

  // 13-15: the list and its marks. A repair run takes its list from the previous listing.
  if (Level() != level::Repair && !MkSaveList()) return fail();
  DispSelSaveList();
  if (!SetSaveListNewMark() || m.CancelFlag) return fail();

  // 16: the medium must still be the one of the start.
  {
    QString d = drive, name, serial;
    if (!m.ReadDriveInfo(d, name, serial)) {
      closeAllowed = true;
      EndRun();
      return false;
    }
    if ((name != volumeName || serial != volumeSerial) && m.AutoRunMode < 3) {
      const Answer a = m.Warn(Question::MediumChangedSinceStart, FSaveExecCaption,
                              drive + u'\r' + QStringLiteral("起動時とメディアが変わっています。") + u'\r' +
                                  QStringLiteral("必要ならメディアを交換してください"),
                              Buttons::OKCancel);
      if (a == Answer::Cancel) return fail();
    }
    if (m.CancelFlag) return fail();
  }

  // 17-19: copy, merge, listing, history.
  m.WriteDebug(2022, "ExecCopy");
  bool ok = ExecCopy() && !m.CancelFlag;
  if (ok && Level() == level::Overwrite) {
    MergeCsv();
    ok = !m.CancelFlag;
  }
  if (ok) ok = OutCsvList() && !m.CancelFlag;
  if (ok) {
    ok = OutHisTable();
    if (ok && m.CancelFlag) {
      // The Cancel came while the history was being written: the save is complete and
      // recorded, so the run ends as the success it is.
      m.WriteDebug(2027, "OK_Click", "cancel after the history was written");
      m.CancelFlag = false;
    }
  }
  if (!ok) {
    FailAfterCopy();
    EndRun();
    return false;
  }

  // 20: success.
  SaveSetInfo();
  phaseNow = phase::Done;
  Timer1_Timer();
  Status = QStringLiteral("全て終了しました");
  m.WriteLog(QStringLiteral("経過時間"), clock.ElapsedTime());
  if (minimized) windowCaption = FSaveExecCaption + QStringLiteral("　終了");
  CancelCaption = QStringLiteral("閉じる");
  closeAllowed = true;
  m.WriteLog(QStringLiteral("保存済みフォルダー"), ListInfo.Cell(ListInfoTable::Folders, 2));
  m.WriteLog(QStringLiteral("保存済みファイル"), ListInfo.Cell(ListInfoTable::Files, 2));
  int newRow = 0;
  for (int r = 1; r < main.HisTable.Rows() && newRow == 0; ++r) {
    if (main.HisTable.Cell(r, HistoryEntry::SaveName) == SaveSetName) newRow = r;
  }
  m.WriteLog(QStringLiteral("サイズ(KB)"), newRow ? main.HisTable.Cell(newRow, HistoryEntry::SavedKB) : QString());
  m.WriteLog(QStringLiteral("使用サイズ(KB)"), newRow ? main.HisTable.Cell(newRow, HistoryEntry::UsedKB) : QString());
  phaseNow = phase::Idle;
  if (uncopiedCount >= 1) {
    m.WriteLog(QStringLiteral("コピーできなかった数"), uncopiedCount);
    if (m.AutoRunMode < 2)
      m.Warn(Question::UncopiedEntries, FSaveExecCaption, QString::number(uncopiedCount) + QStringLiteral(" 個コピーできませんでした。"));
    ListSel_Click(2);
  } else {
    ListSel_Click(1);
  }
  ProcesTime = DispElapsedTime(100);
  succeeded = true;
  EndRun();
  return true;
}

ProgressView FSaveExec::Timer1_Timer() {
  ProgressView v;
  if (m.CancelFlag && closeAllowed) {
    m.CancelFlag = false;
    closeAllowed = false;
    v.closeWindow = true;
    return v;
  }
  const int p = Percent(progressCounter, progressTotal);
  switch (phaseNow) {
    case phase::Scan:
      Status = QStringLiteral("セーブリストの作成") + QStringLiteral("  ...... ") + QString::number(scanCount) +
               QStringLiteral("個") + u'\r' + lastEntry;
      overallPercent = 0;
      break;
    case phase::PreviousList:
      Status = QStringLiteral("前回のセーブリストの調査") + QStringLiteral("  ( ") + QString::number(p) + QStringLiteral("% )");
      overallPercent = p * 10 / 100;
      break;
    case phase::ThisList:
      Status = QStringLiteral("今回のセーブリストの調査") + QStringLiteral("  ( ") + QString::number(p) + QStringLiteral("% )");
      overallPercent = p * 5 / 100 + 10;
      break;
    case phase::Copy: {
      const int64_t byKb = kbToCopy < 1 ? 80 : copiedKB * 80 / kbToCopy;
      const int64_t byRows = rowCount < 1 ? 20 : processedCount * 20 / rowCount;
      const int cp = static_cast<int>(byKb + byRows);
      Status = QStringLiteral("コピーの実行") + QStringLiteral("  ( Sub Total ") + QString::number(cp) + QStringLiteral("%   ") +
               QString::number(copiedKB) + QStringLiteral("Ｋバイト )") + u'\r' + lastEntry;
      overallPercent = cp * 75 / 100 + 15;
      break;
    }
    case phase::Csv:
      Status = QStringLiteral("CSVファイルの出力") + QStringLiteral("  ( ") + QString::number(p) + QStringLiteral("% )") + u'\r' +
               lastEntry;
      overallPercent = p * 2 / 100 + 90;
      break;
    case phase::ViewIdle:
    case phase::ViewBusy:
      Status = QStringLiteral("セーブリストの更新中") + QStringLiteral("  ( ") + QString::number(p) + QStringLiteral("% )");
      if (phaseNow == phase::ViewBusy) overallPercent = p * 2 / 100 + 97;
      break;
    case phase::Merge:
      Status = QStringLiteral("前回のCSVファイルとの合成") + QStringLiteral("  ( ") + QString::number(p) + QStringLiteral("% )");
      overallPercent = p * 2 / 100 + 92;
      break;
    case phase::UsedSize:
      Status = QStringLiteral("使用したディスクサイズを計算中") + u'\r';
      overallPercent = 94;
      break;
    case phase::Done:
      Status = QStringLiteral("全て終了しました");
      overallPercent = 100;
      phaseNow = phase::Idle;
      ProcesTime = DispElapsedTime(100);
      break;
    default:
      break;
  }
  if (m.ExecMode == 1) ProcesTime = DispElapsedTime(overallPercent);
  if (minimized) windowCaption = m.ProgramName + u' ' + QString::number(overallPercent) + u'%';
  v.status = Status;
  v.processTime = ProcesTime;
  v.overall = overallPercent;
  return v;
}

}  // namespace qarno
