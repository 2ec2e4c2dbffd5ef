// SPDX-License-Identifier: GPL-3.0-or-later
// The run driver: the steps of one backup run from the preconditions to the report, and the
// progress texts of the window's timer.
#include "engine/FSaveExec.h"

#include "mainwin/Qarno.h"
#include "records/CsvListing.h"
#include "records/Pruning.h"
#include "records/RunRecord.h"

namespace qarno {

namespace {
int Percent(int64_t counter, int64_t total) { return total < 1 ? 100 : static_cast<int>(counter * 100 / total); }
}  // namespace

FSaveExec::FSaveExec(Module1& module, RunHistory& history)
    : m(module),
      history_(history),
      env_(module.Environment()),
      autoRun_(module.AutoRunMode),
      exclusiveHolds_(module.exclusiveHolds_) {
  Begin();
}

void FSaveExec::Begin() {
  request_ = RunRequest::Of(m);
  // The archiver may have been loaded after the run's window was made.
  env_.archiver = m.archiver;
  level_ = request_.level;
  packing_ = request_.set.options.ComplexTypeMode == 1;
  const BackupSet& set = request_.set;
  subject_ = RunSubject{set.Name,        request_.setFolder,           set.SaveDir,
                        request_.mainCaption, set.options.ChkVolSer == 1, set.options.CalUseSize == 1};
}

void FSaveExec::Form_Load() {
  Begin();
  QString caption = request_.mainCaption;
  if (request_.execMode == SaveExecMode::Run) caption += QCoreApplication::translate("FSaveExec", "  保存実行");
  else if (request_.execMode == SaveExecMode::RecordedRun) caption += QCoreApplication::translate("FSaveExec", "  履歴情報の詳細");
  s_ = RunState();
  s_.texts.FSaveExecCaption = caption;
  view_.Clear();
  env_.cancel.Clear();
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
  view_.SetListSelForm(env_);
  previousCopies_.clear();
  manifest_.clear();
  anchorsReady_ = false;
  cleared_.clear();
  folders_.clear();
  hashing_ = request_.contentManifest;
}

QString FSaveExec::DispElapsedTime(int percent) const {
  return QCoreApplication::translate("FSaveExec", "経過時間  %1 ( Total %2% )").arg(clock_.ElapsedTime(), QString::number(percent));
}

void FSaveExec::ShowLevel() {
  // The level box shows the selector's caption up to its first blank.
  s_.texts.SaveLevel = LevelName(Level());
}

bool FSaveExec::ReadDrive(QString& drive, QString& volumeName, QString& volumeSerial) {
  return run_.ReadDriveInfo(drive, volumeName, volumeSerial);
}

void FSaveExec::FailBeforeCopy() {
  env_.WriteDebug(2026, "OK_Click", "failed before the copy");
  env_.cancel.Set();
  s_.closeAllowed = true;
}

void FSaveExec::FailAfterCopy() {
  s_.closeAllowed = true;
  if (request_.set.options.DElErrFile == 1) DeleteErrorSave();
}

void FSaveExec::DeleteErrorSave() {
  // Only a save this run created itself may go: an overwrite or repair run works in a save
  // that earlier runs made, and a save the history already records is a complete one.
  if (!s_.outcome.createdSave || s_.outcome.historyWritten) return;
  const auto resume = env_.cancel.Suspend();
  DeleteSaveData(env_, request_.set.Name, s_.texts.SaveDir, s_.texts.TNewSetName, run_.currentItem);
  // A row for it (the history file could not be written) would name a save that is gone.
  history_.ForgetRun(s_.texts.TNewSetName);
}

void FSaveExec::EndRun() {
  clock_.Stop();
  env_.fs.SetWriteAnchor(QString());
  if (env_.cancel) env_.WriteLog(QStringLiteral("中止されました"));
  env_.WriteLog(QStringLiteral("終了"));
  env_.WriteLog(QString());
  setHold_.reset();
  // An unattended run closes its window even when a failed write turned the automatic run
  // off: nobody is there to close it.
  if (autoRun_.EndsProgram() || autoRun_.AskedUnattended()) Cancel_Click();
}

bool FSaveExec::FailRun(Step how) {
  if (how == Step::FailBeforeCopy) FailBeforeCopy();
  else if (how == Step::FailAfterCopy) FailAfterCopy();
  else s_.closeAllowed = true;  // the medium went: nothing was written to remove
  EndRun();
  return false;
}

bool FSaveExec::OK_Click(int historyRow) {
  Begin();
  env_.WriteDebug(2009, "OK_Click", static_cast<int>(request_.execMode));
  if (request_.execMode == SaveExecMode::RecordedRun) {
    ShowRecordedRun(historyRow);
    s_.texts.CancelCaption = QCoreApplication::translate("FSaveExec", "閉じる");
    return true;
  }
  const bool ok = RunBackup();
  // The run's log ends with the run.
  m.CloseLogFile();
  return ok;
}

bool FSaveExec::RunBackup() {
  ResetForRun();
  StartRun();
  Step step = CheckPreconditions();
  if (step == Step::Go) step = ReadMediumAndPreviousRun();
  if (step == Step::Go) step = NameTheSave();
  if (step == Step::Go) step = BuildListAndMarks();
  if (step == Step::Go) step = RecheckMedium();
  int newRow = 0;
  if (step == Step::Go) step = WriteTheSave(newRow);
  if (step != Step::Go) return FailRun(step);
  ReportSuccess(newRow);
  return true;
}

void FSaveExec::StartRun() {
  RunTexts& t = s_.texts;
  env_.WriteLog(QStringLiteral("保存開始"), FormatDateTime(env_.clock.Now()));
  clock_.Start();
  t.SaveDir = request_.set.SaveDir;
  env_.cancel.Clear();
  ShowLevel();
  t.CompMode = Packs() ? QCoreApplication::translate("FSaveExec", "LHAで圧縮する") : QCoreApplication::translate("FSaveExec", "圧縮しない");
}

FSaveExec::Step FSaveExec::CheckPreconditions() {
  RunTexts& t = s_.texts;
  const QString& saveDir = request_.set.SaveDir;
  // The history records the destination in a comma-separated field that is not quoted: a
  // comma in it would shift every later field of the run's record.
  if (saveDir.contains(u',')) {
    const Words reason = TrWords("FSaveExec", "保存先のディレクトリ名に「,」(カンマ)は使えません。");
    env_.WriteLog(reason.Own(), saveDir);
    if (!autoRun_.Unattended()) env_.Warn(Question::SaveDirHasComma, t.FSaveExecCaption, saveDir + u'\r' + reason);
    return Step::FailBeforeCopy;
  }

  // Packing needs the archiver; an unattended run copies without it, for this run only.
  if (Packs() && !env_.ArchiverReady()) {
    env_.WriteLog(QStringLiteral("UNLHA32がインストールされていません。"));
    if (!autoRun_.Unattended()) {
      env_.Warn(Question::ArchiverMissing, t.FSaveExecCaption,
                TrWords("FSaveExec", "UNLHA32がインストールされていません。") + u'\r' +
                    TrWords("FSaveExec", "設定で[圧縮しない]を選択してください。"));
      return Step::FailBeforeCopy;
    }
    packing_ = false;
    s_.outcome.packingOff = true;
    t.CompMode = QCoreApplication::translate("FSaveExec", "圧縮しない");
  }

  // One run, restore or history change of a set at a time: two runs at once would each
  // write the history without the other's row. The hold is kept to the end of the run; a
  // history that another holder had meanwhile is read again.
  bool waited = false;
  if (!HoldSet(env_, exclusiveHolds_, request_.holdWaitMs, request_.setFolder, request_.set.Name, LockKind::Exclusive,
               t.FSaveExecCaption, setHold_, &waited)) {
    env_.WriteLog(QStringLiteral("セットは他で使用中です"), request_.set.Name);
    return Step::FailBeforeCopy;
  }
  if (waited) history_.Reload();
  return Step::Go;
}

FSaveExec::Step FSaveExec::ReadMediumAndPreviousRun() {
  RunTexts& t = s_.texts;
  t.TSetName = request_.set.Name;
  if (!ReadDrive(s_.medium.drive, s_.medium.volumeName, s_.medium.volumeSerial)) return Step::FailBeforeCopy;
  env_.WriteDebugPath(2020, s_.medium.drive, s_.medium.volumeName, s_.medium.volumeSerial);

  // The previous run of the level.
  if (!history_.PreviousRun(Level(), s_.preRow) && Level() != Level::Overwrite) {
    if (!autoRun_.Unattended()) {
      env_.Warn(Question::PreviousRunMissing, t.FSaveExecCaption,
                TrWords("FSaveExec", "前回の保存名が見つかりません！") + QStringLiteral("\r\n\r\n") +
                    TrWords("FSaveExec", "差分ならLevel-0、修復なら最初に差分モードで保存してください"));
      return Step::FailBeforeCopy;
    }
    FallBackToLevel0();
  }
  if (Level() == Level::Level0) t.TOldSetName.clear();
  else if (Level() == Level::Overwrite) t.TOldSetName = kOverwriteSave;
  else t.TOldSetName = s_.preRow > 0 ? history_.Table().Cell(s_.preRow, HistoryEntry::SaveName) : QString();
  return Step::Go;
}

FSaveExec::Step FSaveExec::NameTheSave() {
  RunTexts& t = s_.texts;
  if (!GetNewSetName()) return Step::FailBeforeCopy;
  t.TNewSetName = s_.paths.SaveSetName;
  // What a run of this set that was killed left beside the files it was replacing.
  env_.fs.RemoveLeftovers(request_.setFolder);
  env_.fs.RemoveLeftovers(s_.paths.SaveSetHDir);
  env_.WriteLog(QStringLiteral("セット名"), t.TSetName);
  env_.WriteLog(QStringLiteral("保存先"), t.SaveDir);
  env_.WriteLog(QStringLiteral("保存名"), t.TNewSetName);
  env_.WriteLog(QStringLiteral("レベル"), t.SaveLevel);
  env_.WriteLog(QStringLiteral("前回の保存名"), t.TOldSetName);
  // The log keeps the program's own words whatever the window shows.
  env_.WriteLog(QStringLiteral("圧縮方法"), Packs() ? QStringLiteral("LHAで圧縮する") : QStringLiteral("圧縮しない"));
  env_.WriteDebugPath(2021, t.TNewSetName, t.TOldSetName);
  return Step::Go;
}

FSaveExec::Step FSaveExec::BuildListAndMarks() {
  // A repair run takes its list from the previous listing.
  if (Level() != Level::Repair && !ScanSaveList()) return Step::FailBeforeCopy;
  view_.DispSelSaveList(run_, SaveList_);
  if (!SetSaveListNewMark() || env_.cancel) return Step::FailBeforeCopy;
  return Step::Go;
}

FSaveExec::Step FSaveExec::RecheckMedium() {
  // The medium must still be the one of the start.
  QString d = s_.medium.drive, name, serial;
  if (!ReadDrive(d, name, serial)) return Step::MediumUnreadable;
  if ((name != s_.medium.volumeName || serial != s_.medium.volumeSerial) && !autoRun_.IgnoresMediumChange()) {
    const Answer a = env_.Warn(Question::MediumChangedSinceStart, s_.texts.FSaveExecCaption,
                               s_.medium.drive + u'\r' + TrWords("FSaveExec", "起動時とメディアが変わっています。") + u'\r' +
                                   TrWords("FSaveExec", "必要ならメディアを交換してください"),
                               Buttons::OKCancel);
    if (a == Answer::Cancel) return Step::FailBeforeCopy;
  }
  if (env_.cancel) return Step::FailBeforeCopy;
  return Step::Go;
}

FSaveExec::Step FSaveExec::WriteTheSave(int& newRow) {
  RunTexts& t = s_.texts;
  env_.WriteDebug(2022, "ExecCopy");
  bool ok = ExecCopy() && !env_.cancel;
  if (ok && Level() == Level::Overwrite) {
    MergeCsv(run_, s_.paths, t.TOldSetName, SaveList_);
    ok = !env_.cancel;
  }
  if (ok) ok = WriteListingAndManifest();
  if (ok) {
    const RunRecordInput record{t.TNewSetName, Level(), t.SaveDir, s_.progress.copiedKB, s_.outcome.uncopiedCount,
                                clock_.ElapsedTime()};
    ok = OutHisTable(run_, history_, record, s_.medium, newRow);
    s_.outcome.historyWritten = ok;
    if (ok && env_.cancel) {
      // The Cancel came while the history was being written: the save is complete and
      // recorded, so the run ends as the success it is.
      env_.WriteDebug(2027, "OK_Click", "cancel after the history was written");
      env_.cancel.Clear();
    }
  }
  return ok ? Step::Go : Step::FailAfterCopy;
}

bool FSaveExec::WriteListingAndManifest() {
  const QString& previous = s_.texts.TOldSetName;
  if (!OutCsvList(run_, s_.paths, Level() == Level::Overwrite, previous, SaveList_, s_.medium) || env_.cancel)
    return false;
  // The manifest after the listing: its failure leaves the run good, and says so.
  const bool addsToSave = Level() == Level::Overwrite || Level() == Level::Repair;
  // A repair lists the copies it kept as copied by the run, and only the earlier manifest
  // knows their hashes: without one, a manifest of the repaired copies alone would read as
  // one that lost the kept copies' lines. Such a save stays without a manifest, as it was.
  const bool keptUnhashed =
      Level() == Level::Repair &&
      ParseManifest(env_.fs.ReadAll(s_.paths.SaveSumFile).value_or(QByteArray())).state != ManifestContent::State::Read;
  if (hashing_ && !keptUnhashed) OutSumList(run_, s_.paths, addsToSave, manifest_);
  else if (addsToSave) env_.fs.Kill(s_.paths.SaveSumFile);  // no longer true of the save
  return true;
}

void FSaveExec::ReportSuccess(int newRow) {
  RunTexts& t = s_.texts;
  RunProgress& progress = s_.progress;
  // The set's policy on old runs, now that this run is in the history (and so is never one
  // of them): what goes is logged, and the copy of the history beside the saves follows.
  ApplyKeepPolicy(env_, history_, request_.set);
  SaveSetInfo(run_, history_, t.SaveDir);
  progress.phase = phase::Idle;
  progress.status = QCoreApplication::translate("FSaveExec", "全て終了しました");
  env_.WriteLog(QStringLiteral("経過時間"), clock_.ElapsedTime());
  t.CancelCaption = QCoreApplication::translate("FSaveExec", "閉じる");
  s_.closeAllowed = true;
  env_.WriteLog(QStringLiteral("保存済みフォルダー"), ListInfo_.Cell(ListInfoTable::Folders, 2));
  env_.WriteLog(QStringLiteral("保存済みファイル"), ListInfo_.Cell(ListInfoTable::Files, 2));
  const HistoryTable& h = history_.Table();
  const bool rowKnown = newRow >= 1 && newRow < h.Rows();
  env_.WriteLog(QStringLiteral("サイズ(KB)"), rowKnown ? h.Cell(newRow, HistoryEntry::SavedKB) : QString());
  env_.WriteLog(QStringLiteral("使用サイズ(KB)"), rowKnown ? h.Cell(newRow, HistoryEntry::UsedKB) : QString());
  if (s_.outcome.uncopiedCount >= 1) {
    env_.WriteLog(QStringLiteral("コピーできなかった数"), s_.outcome.uncopiedCount);
    if (!autoRun_.Unattended())
      env_.Warn(Question::UncopiedEntries, t.FSaveExecCaption,
                TrWords("FSaveExec", "%n 個コピーできませんでした。", nullptr, s_.outcome.uncopiedCount));
    ListSel_Click(ResultView::NotCopied);
  } else {
    ListSel_Click(ResultView::CopiedThisRun);
  }
  progress.phase = phase::Done;
  s_.outcome.succeeded = true;
  EndRun();
}

bool FSaveExec::TakeCloseRequest() {
  if (!env_.cancel || !s_.closeAllowed) return false;
  env_.cancel.Clear();
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
      v.status = QCoreApplication::translate("FSaveExec", "セーブリストの作成  ...... %n個", nullptr, p.scanCount) + u'\r' +
                 p.lastEntry;
      v.overall = 0;
      break;
    case phase::PreviousList:
      v.status = withPercent(QCoreApplication::translate("FSaveExec", "前回のセーブリストの調査"));
      v.overall = pc * 10 / 100;
      break;
    case phase::ThisList:
      v.status = withPercent(QCoreApplication::translate("FSaveExec", "今回のセーブリストの調査"));
      v.overall = pc * 5 / 100 + 10;
      break;
    case phase::Copy: {
      const int64_t byKb = p.kbToCopy < 1 ? 80 : p.copiedKB * 80 / p.kbToCopy;
      const int64_t byRows = p.rowCount < 1 ? 20 : p.processedCount * 20 / p.rowCount;
      const int cp = static_cast<int>(byKb + byRows);
      v.status = QCoreApplication::translate("FSaveExec", "コピーの実行  ( Sub Total %1%   %2Ｋバイト )").arg(QString::number(cp), QString::number(p.copiedKB)) +
                 u'\r' + p.lastEntry;
      v.overall = cp * 75 / 100 + 15;
      break;
    }
    case phase::Csv:
      v.status = withPercent(QCoreApplication::translate("FSaveExec", "CSVファイルの出力")) + u'\r' + p.lastEntry;
      v.overall = pc * 2 / 100 + 90;
      break;
    case phase::ViewIdle:
    case phase::ViewBusy:
      v.status = withPercent(QCoreApplication::translate("FSaveExec", "セーブリストの更新中"));
      if (p.phase == phase::ViewBusy) v.overall = pc * 2 / 100 + 97;
      break;
    case phase::Merge:
      v.status = withPercent(QCoreApplication::translate("FSaveExec", "前回のCSVファイルとの合成"));
      v.overall = pc * 2 / 100 + 92;
      break;
    case phase::UsedSize:
      v.status = QCoreApplication::translate("FSaveExec", "使用したディスクサイズを計算中") + u'\r';
      v.overall = 94;
      break;
    case phase::Done:
      v.status = QCoreApplication::translate("FSaveExec", "全て終了しました");
      v.overall = 100;
      break;
    default:
      break;
  }
  return v;
}

ProgressView FSaveExec::Describe(int previousOverall) const {
  ProgressView v = DescribeProgress(s_.progress, previousOverall);
  if (request_.execMode == SaveExecMode::Run || s_.progress.phase == phase::Done) v.processTime = DispElapsedTime(v.overall);
  return v;
}

}  // namespace qarno
