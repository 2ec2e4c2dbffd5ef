// The run driver: the steps of one backup run from the preconditions to the report, and the
// progress texts of the window's timer.
#include "engine/FSaveExec.h"

#include "mainwin/Qarno.h"
#include "records/CsvListing.h"
#include "records/RunRecord.h"

namespace qarno {

namespace {
int Percent(int64_t counter, int64_t total) { return total < 1 ? 100 : static_cast<int>(counter * 100 / total); }
}  // namespace

FSaveExec::FSaveExec(Module1& module, RunHistory& history) : m(module), history_(history) {}

void FSaveExec::Form_Load() {
  QString caption = m.MainCaption;
  if (m.ExecMode == 1) caption += QStringLiteral("  保存実行");
  else if (m.ExecMode == 2) caption += QStringLiteral("  履歴情報の詳細");
  s_ = RunState();
  s_.texts.FSaveExecCaption = caption;
  view_.Clear();
  m.CancelFlag.Clear();
}

void FSaveExec::ResetForRun() {
  const RunTexts texts = s_.texts;
  const int32_t alias = s_.aliasCounter;
  s_ = RunState();
  s_.texts.FSaveExecCaption = texts.FSaveExecCaption;
  s_.aliasCounter = alias;
  s_.closeAllowed = false;
  SaveList_.Clear();
  ListInfo_.Clear();
  view_.Clear();
  view_.SetListSelForm(m);
  previousCopies_.clear();
  manifest_.clear();
  anchorsReady_ = false;
  cleared_.clear();
  hashing_ = m.settings.ContentManifest != 0;
}

QString FSaveExec::DispElapsedTime(int percent) const {
  return QStringLiteral("経過時間  ") + clock_.ElapsedTime() + QStringLiteral(" ( Total ") + QString::number(percent) +
         QStringLiteral("% )");
}

void FSaveExec::ShowLevel() {
  // The level box shows the selector's caption up to its first blank.
  s_.texts.SaveLevel = LevelName(Level());
}

void FSaveExec::FailBeforeCopy() {
  m.WriteDebug(2026, "OK_Click", "failed before the copy");
  m.CancelFlag.Set();
  s_.closeAllowed = true;
}

void FSaveExec::FailAfterCopy() {
  s_.closeAllowed = true;
  if (m.set.options.DElErrFile == 1) DeleteErrorSave();
}

void FSaveExec::DeleteErrorSave() {
  // Only a save this run created itself may go: an overwrite or repair run works in a save
  // that earlier runs made, and a save the history already records is a complete one.
  if (!s_.outcome.createdSave || s_.outcome.historyWritten) return;
  const auto resume = m.CancelFlag.Suspend();
  DeleteSaveData(m, s_.texts.SaveDir, s_.texts.TNewSetName);
  // A row for it (the history file could not be written) would name a save that is gone.
  history_.ForgetRun(s_.texts.TNewSetName);
}

void FSaveExec::EndRun() {
  clock_.Stop();
  m.fs.SetWriteAnchor(QString());
  if (packingBeforeRun_) {
    m.set.options.ComplexTypeMode = *packingBeforeRun_;
    packingBeforeRun_.reset();
  }
  if (m.CancelFlag) m.WriteLog(QStringLiteral("中止されました"));
  m.WriteLog(QStringLiteral("終了"));
  m.WriteLog(QString());
  m.CloseLogFile();
  setHold_.reset();
  // An unattended run closes its window even when a failed write turned the automatic run
  // off: nobody is there to close it.
  if (m.AutoRunMode.EndsProgram() || m.AutoRunMode.AskedUnattended()) Cancel_Click();
}

bool FSaveExec::OK_Click(int historyRow) {
  m.WriteDebug(2009, "OK_Click", m.ExecMode);
  if (m.ExecMode == 2) {
    ShowRecordedRun(historyRow);
    s_.texts.CancelCaption = QStringLiteral("閉じる");
    return true;
  }
  ResetForRun();
  RunTexts& t = s_.texts;
  RunProgress& progress = s_.progress;

  // The start, the texts of the window.
  m.WriteLog(QStringLiteral("保存開始"), FormatDateTime(QDateTime::currentDateTime()));
  clock_.Start();
  t.SaveDir = m.set.SaveDir;
  m.CancelFlag.Clear();
  ShowLevel();
  t.CompMode = m.set.options.ComplexTypeMode == 1 ? QStringLiteral("LHAで圧縮する") : QStringLiteral("圧縮しない");

  auto fail = [&] {
    FailBeforeCopy();
    EndRun();
    return false;
  };

  // The history records the destination in a comma-separated field that is not quoted: a
  // comma in it would shift every later field of the run's record.
  if (m.set.SaveDir.contains(u',')) {
    const QString reason = QStringLiteral("保存先のディレクトリ名に「,」(カンマ)は使えません。");
    m.WriteLog(reason, m.set.SaveDir);
    if (!m.AutoRunMode.Unattended())
      m.Warn(Question::SaveDirHasComma, t.FSaveExecCaption, m.set.SaveDir + u'\r' + reason);
    return fail();
  }

  // Packing needs the archiver.
  if (m.set.options.ComplexTypeMode == 1 && !m.ChkUnlha()) {
    m.WriteLog(QStringLiteral("UNLHA32がインストールされていません。"));
    if (m.AutoRunMode.Unattended()) {
      packingBeforeRun_ = m.set.options.ComplexTypeMode;
      m.set.options.ComplexTypeMode = 0;
      t.CompMode = QStringLiteral("圧縮しない");
    } else {
      m.Warn(Question::ArchiverMissing, t.FSaveExecCaption,
             QStringLiteral("UNLHA32がインストールされていません。") + u'\r' +
                 QStringLiteral("設定で[圧縮しない]を選択してください。"));
      return fail();
    }
  }

  // One run, restore or history change of a set at a time: two runs at once would each
  // write the history without the other's row. The hold is kept to the end of the run; a
  // history that another holder had meanwhile is read again.
  bool waited = false;
  if (!m.HoldSet(m.set.Name, LockKind::Exclusive, t.FSaveExecCaption, setHold_, &waited)) {
    m.WriteLog(QStringLiteral("セットは他で使用中です"), m.set.Name);
    return fail();
  }
  if (waited) history_.Reload();

  // The set, the destination medium.
  t.TSetName = m.set.Name;
  if (!m.ReadDriveInfo(s_.medium.drive, s_.medium.volumeName, s_.medium.volumeSerial)) return fail();
  m.WriteDebugPath(2020, s_.medium.drive, s_.medium.volumeName, s_.medium.volumeSerial);

  // The previous run of the level.
  if (!history_.PreviousRun(Level(), s_.preRow) && Level() != Level::Overwrite) {
    if (m.AutoRunMode.Unattended()) {
      m.set.SaveLevel = Level::Level0;
      ShowLevel();
      s_.preRow = 0;
    } else {
      m.Warn(Question::PreviousRunMissing, t.FSaveExecCaption,
             QStringLiteral("前回の保存名が見つかりません！") + QStringLiteral("\r\n\r\n") +
                 QStringLiteral("差分ならLevel-0、修復なら最初に差分モードで保存してください"));
      return fail();
    }
  }
  if (Level() == Level::Level0) t.TOldSetName.clear();
  else if (Level() == Level::Overwrite) t.TOldSetName = kOverwriteSave;
  else t.TOldSetName = s_.preRow > 0 ? history_.Table().Cell(s_.preRow, HistoryEntry::SaveName) : QString();

  // The save name, and the run's head in the log.
  if (!GetNewSetName()) return fail();
  t.TNewSetName = s_.paths.SaveSetName;
  // What a run of this set that was killed left beside the files it was replacing.
  m.fs.RemoveLeftovers(m.SetFolder);
  m.fs.RemoveLeftovers(s_.paths.SaveSetHDir);
  m.WriteLog(QStringLiteral("セット名"), t.TSetName);
  m.WriteLog(QStringLiteral("保存先"), t.SaveDir);
  m.WriteLog(QStringLiteral("保存名"), t.TNewSetName);
  m.WriteLog(QStringLiteral("レベル"), t.SaveLevel);
  m.WriteLog(QStringLiteral("前回の保存名"), t.TOldSetName);
  m.WriteLog(QStringLiteral("圧縮方法"), t.CompMode);
  m.WriteDebugPath(2021, t.TNewSetName, t.TOldSetName);

  // The list and its marks. A repair run takes its list from the previous listing.
  if (Level() != Level::Repair && !MkSaveList()) return fail();
  view_.DispSelSaveList(run_, SaveList_);
  if (!SetSaveListNewMark() || m.CancelFlag) return fail();

  // The medium must still be the one of the start.
  {
    QString d = s_.medium.drive, name, serial;
    if (!m.ReadDriveInfo(d, name, serial)) {
      s_.closeAllowed = true;
      EndRun();
      return false;
    }
    if ((name != s_.medium.volumeName || serial != s_.medium.volumeSerial) && !m.AutoRunMode.IgnoresMediumChange()) {
      const Answer a = m.Warn(Question::MediumChangedSinceStart, t.FSaveExecCaption,
                              s_.medium.drive + u'\r' + QStringLiteral("起動時とメディアが変わっています。") + u'\r' +
                                  QStringLiteral("必要ならメディアを交換してください"),
                              Buttons::OKCancel);
      if (a == Answer::Cancel) return fail();
    }
    if (m.CancelFlag) return fail();
  }

  // Copy, merge, listing, history.
  m.WriteDebug(2022, "ExecCopy");
  bool ok = ExecCopy() && !m.CancelFlag;
  if (ok && Level() == Level::Overwrite) {
    MergeCsv(run_, s_.paths, t.TOldSetName, SaveList_);
    ok = !m.CancelFlag;
  }
  if (ok) ok = OutCsvList(run_, s_.paths, Level() == Level::Overwrite, t.TOldSetName, SaveList_, s_.medium) &&
               !m.CancelFlag;
  // The manifest after the listing: its failure leaves the run good, and says so.
  const bool addsToSave = Level() == Level::Overwrite || Level() == Level::Repair;
  // A repair lists the copies it kept as copied by the run, and only the earlier manifest
  // knows their hashes: without one, a manifest of the repaired copies alone would read as
  // one that lost the kept copies' lines. Such a save stays without a manifest, as it was.
  const bool keptUnhashed =
      Level() == Level::Repair &&
      ParseManifest(m.fs.ReadAll(s_.paths.SaveSumFile).value_or(QByteArray())).state != ManifestContent::State::Read;
  if (ok && hashing_ && !keptUnhashed) OutSumList(run_, s_.paths, addsToSave, manifest_);
  else if (ok && addsToSave) m.fs.Kill(s_.paths.SaveSumFile);  // no longer true of the save
  int newRow = 0;
  if (ok) {
    const RunRecordInput record{t.TNewSetName, Level(), t.SaveDir, progress.copiedKB, s_.outcome.uncopiedCount,
                                clock_.ElapsedTime()};
    ok = OutHisTable(run_, history_, record, s_.medium, newRow);
    s_.outcome.historyWritten = ok;
    if (ok && m.CancelFlag) {
      // The Cancel came while the history was being written: the save is complete and
      // recorded, so the run ends as the success it is.
      m.WriteDebug(2027, "OK_Click", "cancel after the history was written");
      m.CancelFlag.Clear();
    }
  }
  if (!ok) {
    FailAfterCopy();
    EndRun();
    return false;
  }

  // Success.
  SaveSetInfo(run_, history_, t.SaveDir);
  progress.phase = phase::Idle;
  progress.status = QStringLiteral("全て終了しました");
  m.WriteLog(QStringLiteral("経過時間"), clock_.ElapsedTime());
  t.CancelCaption = QStringLiteral("閉じる");
  s_.closeAllowed = true;
  m.WriteLog(QStringLiteral("保存済みフォルダー"), ListInfo_.Cell(ListInfoTable::Folders, 2));
  m.WriteLog(QStringLiteral("保存済みファイル"), ListInfo_.Cell(ListInfoTable::Files, 2));
  const HistoryTable& h = history_.Table();
  const bool rowKnown = newRow >= 1 && newRow < h.Rows();
  m.WriteLog(QStringLiteral("サイズ(KB)"), rowKnown ? h.Cell(newRow, HistoryEntry::SavedKB) : QString());
  m.WriteLog(QStringLiteral("使用サイズ(KB)"), rowKnown ? h.Cell(newRow, HistoryEntry::UsedKB) : QString());
  if (s_.outcome.uncopiedCount >= 1) {
    m.WriteLog(QStringLiteral("コピーできなかった数"), s_.outcome.uncopiedCount);
    if (!m.AutoRunMode.Unattended())
      m.Warn(Question::UncopiedEntries, t.FSaveExecCaption,
             QString::number(s_.outcome.uncopiedCount) + QStringLiteral(" 個コピーできませんでした。"));
    ListSel_Click(ResultView::NotCopied);
  } else {
    ListSel_Click(ResultView::CopiedThisRun);
  }
  progress.phase = phase::Done;
  s_.outcome.succeeded = true;
  EndRun();
  return true;
}

bool FSaveExec::TakeCloseRequest() {
  if (!m.CancelFlag || !s_.closeAllowed) return false;
  m.CancelFlag.Clear();
  s_.closeAllowed = false;
  return true;
}

ProgressView DescribeProgress(const RunProgress& p, int previousOverall) {
  ProgressView v;
  v.status = p.status;
  v.overall = previousOverall;
  const int pc = Percent(p.counter, p.total);
  auto withPercent = [&](const QString& text) { return text + QStringLiteral("  ( ") + QString::number(pc) + QStringLiteral("% )"); };
  switch (p.phase) {
    case phase::Scan:
      v.status = QStringLiteral("セーブリストの作成") + QStringLiteral("  ...... ") + QString::number(p.scanCount) +
                 QStringLiteral("個") + u'\r' + p.lastEntry;
      v.overall = 0;
      break;
    case phase::PreviousList:
      v.status = withPercent(QStringLiteral("前回のセーブリストの調査"));
      v.overall = pc * 10 / 100;
      break;
    case phase::ThisList:
      v.status = withPercent(QStringLiteral("今回のセーブリストの調査"));
      v.overall = pc * 5 / 100 + 10;
      break;
    case phase::Copy: {
      const int64_t byKb = p.kbToCopy < 1 ? 80 : p.copiedKB * 80 / p.kbToCopy;
      const int64_t byRows = p.rowCount < 1 ? 20 : p.processedCount * 20 / p.rowCount;
      const int cp = static_cast<int>(byKb + byRows);
      v.status = QStringLiteral("コピーの実行") + QStringLiteral("  ( Sub Total ") + QString::number(cp) +
                 QStringLiteral("%   ") + QString::number(p.copiedKB) + QStringLiteral("Ｋバイト )") + u'\r' + p.lastEntry;
      v.overall = cp * 75 / 100 + 15;
      break;
    }
    case phase::Csv:
      v.status = withPercent(QStringLiteral("CSVファイルの出力")) + u'\r' + p.lastEntry;
      v.overall = pc * 2 / 100 + 90;
      break;
    case phase::ViewIdle:
    case phase::ViewBusy:
      v.status = withPercent(QStringLiteral("セーブリストの更新中"));
      if (p.phase == phase::ViewBusy) v.overall = pc * 2 / 100 + 97;
      break;
    case phase::Merge:
      v.status = withPercent(QStringLiteral("前回のCSVファイルとの合成"));
      v.overall = pc * 2 / 100 + 92;
      break;
    case phase::UsedSize:
      v.status = QStringLiteral("使用したディスクサイズを計算中") + u'\r';
      v.overall = 94;
      break;
    case phase::Done:
      v.status = QStringLiteral("全て終了しました");
      v.overall = 100;
      break;
    default:
      break;
  }
  return v;
}

ProgressView FSaveExec::Describe(int previousOverall) const {
  ProgressView v = DescribeProgress(s_.progress, previousOverall);
  if (m.ExecMode == 1 || s_.progress.phase == phase::Done) v.processTime = DispElapsedTime(v.overall);
  return v;
}

}  // namespace qarno
