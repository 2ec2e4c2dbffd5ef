// SPDX-License-Identifier: GPL-3.0-or-later
// The copy engine: every entry marked for this run is copied (or packed) into the run's save
// folder, with the reserve and full-medium rules, the locked-file fallback and the aliases
// of over-long destinations. The outcome of each entry is left in its Flag.
#include "engine/FSaveExec.h"

#include "common/Attributes.h"
#include "platform/WinPath.h"
#include "engine/CopyDecision.h"
#include "engine/CopyWorkers.h"
#include "records/LhaPacking.h"
#include "records/Pruning.h"

#include <deque>

namespace qarno {

namespace {

// "###,##0" right-aligned by "@@@@@@@ MByte".
QString MegaBytes(int64_t mb) {
  QString digits = QString::number(mb < 0 ? -mb : mb);
  for (qsizetype i = digits.size() - 3; i > 0; i -= 3) digits.insert(i, u',');
  if (mb < 0) digits.prepend(u'-');
  return digits.rightJustified(7, u' ') + QStringLiteral(" MByte");
}

}  // namespace

bool FSaveExec::ExecCopy() {
  env_.WriteDebug(2230, "ExecCopy");
  RunProgress& p = s_.progress;
  RunOutcome& out = s_.outcome;
  p.status = QCoreApplication::translate("FSaveExec", "コピーの実行");
  QString d = s_.medium.drive, name, serial;
  if (!ReadDrive(d, name, serial)) return AbortCopy();
  entryVolume_.reset();
  space_.reset();

  p.copiedKB = 0;
  p.kbToCopy = ListInfo_.Value(ListInfoTable::KB, 2);
  if (p.kbToCopy < 0) p.kbToCopy = 1;
  out.uncopiedCount = out.refusedCount;
  p.processedCount = 0;
  p.rowCount = std::max(SaveList_.Count(), 1);
  out.filesCopied = 0;
  out.dirsCopied = 0;
  ReserveState reserve = request_.set.options.RsvSizeChk == 0 ? ReserveState::Off : ReserveState::Ask;
  bool stopCopy = false;
  p.phase = phase::Copy;

  // Workers copy the files of a new save; a save that is written into again (overwrite,
  // repair) is copied on the run's own thread: a copy that replaced an earlier one could not
  // be taken back when a full medium calls for it.
  std::unique_ptr<CopyCrew> crew =
      s_.outcome.createdSave ? CopyCrew::Start(env_.fs, env_.archiver, CopyWorkerCount()) : nullptr;
  if (crew) {
    const EntryResult r = CopyWithWorkers(*crew, reserve, stopCopy);
    if (r == EntryResult::Cancelled) return false;
    if (r == EntryResult::Abort) return AbortCopy();
  } else {
    for (int row = 1; row < SaveList_.Rows(); ++row) {
      const EntryResult r = CopyRow(row, reserve, stopCopy);
      if (r == EntryResult::Cancelled) return false;
      if (r == EntryResult::Abort) return AbortCopy();
    }
  }
  p.phase = phase::Idle;
  CopyTotals();
  p.status = QCoreApplication::translate("FSaveExec", "コピーの実行") + PhaseDone();
  if (out.uncopiedCount >= 1)
    p.status += u'\r' + QString(7, u' ') + 
                QCoreApplication::translate("FSaveExec", "%n 個コピーできませんでした。", nullptr, out.uncopiedCount);
  return true;
}

FSaveExec::EntryResult FSaveExec::CopyRow(int row, ReserveState& reserve, bool& stopCopy) {
  EntryResult r = CopyEntry(row, reserve, stopCopy);
  while (r == EntryResult::Again) r = CopyEntry(row, reserve, stopCopy);
  if (r == EntryResult::Cancelled || r == EntryResult::Abort) return r;
  FinishRow(row);
  return EntryResult::Done;
}

void FSaveExec::FinishRow(int row) {
  KeepPreviousCopy(row);
  env_.DoEvents();
  ++s_.progress.processedCount;
}

void FSaveExec::CopyTotals() {
  ListInfo_.Set(ListInfoTable::Files, 2, s_.outcome.filesCopied);
  ListInfo_.Set(ListInfoTable::Folders, 2, s_.outcome.dirsCopied);
  ListInfo_.Set(ListInfoTable::KB, 2, s_.progress.copiedKB);
}

bool FSaveExec::AbortCopy() {
  s_.outcome.failed = true;
  s_.progress.phase = phase::Idle;
  CopyTotals();
  s_.progress.status = QCoreApplication::translate("FSaveExec", "コピーの実行") + QCoreApplication::translate("FSaveExec", "... 中止されました。");
  return false;
}

void FSaveExec::CountNotSaved(SaveListEntry& e, const QString& message, const char* trace) {
  e.flag = Flag::NotSaved;
  ++s_.outcome.uncopiedCount;
  env_.WriteLog(message, e.path);
  if (trace) env_.WriteDebug(2239, trace);
}

FSaveExec::EntryResult FSaveExec::CopyEntry(int row, ReserveState& reserve, bool& stopCopy) {
  if (env_.cancel) return EntryResult::Cancelled;
  SaveListEntry& e = SaveList_[row];
  if (stopCopy && e.flag == Flag::ToCopy) {
    CountNotSaved(e, QStringLiteral("保存できませんでした(残量不足）"), nullptr);
    return EntryResult::Done;
  }
  if (e.flag != Flag::ToCopy) return EntryResult::Done;
  s_.progress.lastEntry = e.path;
  if (const auto held = CheckReserve(e, reserve)) return *held;
  return TakeAttempt(e, AttemptCopy(row), stopCopy);
}

FSaveExec::EntryResult FSaveExec::TakeAttempt(SaveListEntry& e, CopyAttempt attempt, bool& stopCopy) {
  const QString path = e.path;
  const bool isDir = e.IsDirectory();
  switch (attempt) {
    case CopyAttempt::Copied: {
      // The medium is read once a second, and again after a question or a failed copy
      // (another may be in now).
      if (!entryVolume_ || !entryVolumeAge_.isValid() || entryVolumeAge_.hasExpired(1000)) {
        entryVolume_.reset();
        QString d = s_.medium.drive, vname, vserial;
        if (ReadDrive(d, vname, vserial)) {
          entryVolume_ = {vname, vserial};
          entryVolumeAge_.start();
        }
      }
      if (entryVolume_) {
        e.volSerial = entryVolume_->second;
        e.volName = entryVolume_->first;
      }
      s_.progress.copiedKB += KbOf(e.size.Bytes());
      ++(isDir ? s_.outcome.dirsCopied : s_.outcome.filesCopied);
      return EntryResult::Done;
    }
    case CopyAttempt::Locked:
      ++s_.outcome.uncopiedCount;
      env_.WriteLog(QStringLiteral("保存できませんでした（ファイルロック）"), path);
      env_.WriteDebug(2234, "ファイルロック");
      return EntryResult::Done;
    case CopyAttempt::Vanished:
      ++s_.outcome.uncopiedCount;
      env_.WriteLog(QStringLiteral("保存できませんでした（なくなっている為エントリーが削除されます）"), path);
      env_.WriteDebug(2234, "なくなっている為エントリーが削除されます");
      return EntryResult::Done;
    case CopyAttempt::Failed:
      entryVolume_.reset();  // the medium may have gone with the copy
      break;
  }
  return AfterFailedCopy(e, stopCopy);
}

FSaveExec::CopyAttempt FSaveExec::AttemptCopy(int row) {
  // A copy on the run's own thread looks at its folder again first (it may have gone): it
  // is made anew rather than the copy failing.
  folders_.clear();
  SaveListEntry& e = SaveList_[row];
  const QString path = e.path;
  int compType = 0;
  if (CopyPath(path, e.IsDirectory(), compType, row)) return CopyAttempt::Copied;
  return FailedAttempt(e.flag);
}

FSaveExec::CopyAttempt FSaveExec::FailedAttempt(Flag f) {
  if (f == Flag::Locked) return CopyAttempt::Locked;
  if (f == Flag::Vanished) return CopyAttempt::Vanished;
  return CopyAttempt::Failed;
}

std::optional<FSaveExec::EntryResult> FSaveExec::CheckReserve(SaveListEntry& e, ReserveState& reserve) {
  // The free space is asked for only while a reserve is kept.
  if (reserve == ReserveState::Off) return std::nullopt;
  space_.reset();  // asked anew here; what the workers are handed is asked again after
  int64_t freeKB = GetFreeDiskKB(env_, s_.medium.drive);
  const int64_t reserveMB = request_.set.options.RsvSize;
  ReserveDecision decision = DecideReserve(reserve, freeKB, reserveMB);
  // Where the set allows it, old chains make room before anybody is asked.
  if (decision != ReserveDecision::Copy && request_.set.PruneForSpace &&
      PruneForSpace(env_, history_, request_.set,
                    [&] { return (freeKB = GetFreeDiskKB(env_, s_.medium.drive)) / 1024 < reserveMB; }))
    decision = DecideReserve(reserve, freeKB, reserveMB);
  if (decision == ReserveDecision::Copy) return std::nullopt;
  if (decision == ReserveDecision::Ask) {
    entryVolume_.reset();
    const QString& caption = s_.texts.FSaveExecCaption;
    env_.WriteLog(QStringLiteral("保存開始前の保存先ディスク残量確認：残量不足が検出されました"));
    env_.WriteDebug(2239, "残量不足を検出");
    const Answer a = env_.ui.MsgBox(Question::ReserveShort, caption,
                                    TrWords("FSaveExec", "保存先ディスク残量が制限値以下です!") + QStringLiteral("\r\n\t") +
                                        TrWords("FSaveExec", "残量値：") + MegaBytes(freeKB / 1024) + QStringLiteral("\r\n\t") +
                                        TrWords("FSaveExec", "制限値：") + MegaBytes(reserveMB) + QStringLiteral("\r\n") +
                                        TrWords("FSaveExec", "保存先メディアを交換して下さい"),
                                    Buttons::YesNo, Icon::Exclamation);
    if (a == Answer::Yes) {  // another medium: asked again, its folders made anew
      folders_.clear();
      return EntryResult::Again;
    }
    const Answer off = env_.ui.MsgBox(Question::ReserveSwitchOff, caption,
                                      TrWords("FSaveExec", "今回の保存での残量制限を無効にしますか？"), Buttons::YesNo,
                                      Icon::Exclamation);
    if (off == Answer::Yes) {
      env_.WriteLog(QStringLiteral("保存開始前の保存先ディスク残量確認：今回の制限値を無効にしました"));
      env_.WriteDebug(2239, "制限を無効にした");
      reserve = ReserveState::Off;
      return std::nullopt;
    }
  }
  CountNotSaved(e, QStringLiteral("保存できませんでした（その他）"), "未保存");
  reserve = ReserveState::Refusing;
  return EntryResult::Done;
}

FSaveExec::EntryResult FSaveExec::AfterFailedCopy(SaveListEntry& e, bool& stopCopy) {
  const QString& root = s_.medium.drive;
  const QString path = e.path;
  if (!DestinationFull(lastCopyError_, e.size.Bytes(), GetFreeDiskKB(env_, root))) {
    e.flag = Flag::NotSaved;
    ++s_.outcome.uncopiedCount;
    env_.WriteLog(QStringLiteral("保存できませんでした（その他）"), path,
                  QStringLiteral("文字数=") + QString::number(path.size()));
    env_.WriteDebug(2234, "その他");
    return EntryResult::Done;
  }
  entryVolume_.reset();
  space_.reset();
  const Answer a = env_.Warn(Question::DestinationFull, s_.texts.FSaveExecCaption,
                             root + u'\r' + TrWords("FSaveExec", "ドライブの空き量が足りません。") + u'\r' +
                                 TrWords("FSaveExec", "新しいメディアに交換してください"),
                             Buttons::YesNoCancel);
  QString d = s_.medium.drive, n, s;
  const bool readable = a != Answer::Cancel && ReadDrive(d, n, s);
  switch (FullMediumDecision(a, readable)) {
    case FullMedium::Abort: return EntryResult::Abort;
    case FullMedium::CopyAgain:
      // Another medium: the same row is copied again from the start.
      folders_.clear();
      e.flag = Flag::ToCopy;
      return EntryResult::Again;
    case FullMedium::StopCopying: break;
  }
  s_.outcome.failed = true;
  e.flag = Flag::NotSaved;
  ++s_.outcome.uncopiedCount;
  env_.WriteLog(QStringLiteral("保存できませんでした（残量不足）"), path);
  env_.WriteDebug(2234, "残量不足");
  stopCopy = true;
  return EntryResult::Done;
}

bool FSaveExec::CopyPath(const QString& path, bool isDirectory, int& compType, int row) {
  SaveListEntry& e = SaveList_[row];
  e.flag = Flag::NotSaved;
  if (isDirectory) {
    compType = 0;
  } else {
    const QString destination = DestinationOf(e);
    FileCopyJob job;
    if (!PrepareFileCopy(path, destination, job)) return false;
    PerformFileCopy(env_.fs, env_.archiver, job);
    if (!FinishFileCopy(job, compType, row)) return false;
  }
  MarkCopied(e, compType);
  return true;
}

QString FSaveExec::DestinationOf(SaveListEntry& e) {
  QString destination = CopyPathIn(s_.paths.SaveSetDir, e.path, QString());
  if (NeedsAlias(destination, request_.set.options.PathLen) || WouldMeetAnArchive(e.path)) {
    ++s_.aliasCounter;
    e.alias = AliasText(s_.aliasCounter);
    destination = CopyPathIn(s_.paths.SaveSetDir, e.path, e.alias);
  }
  return destination;
}

void FSaveExec::MarkCopied(SaveListEntry& e, int compType) {
  e.flag = Flag::Copied;
  e.saveName = s_.texts.TNewSetName;
  e.compType = compType == 1 ? CompType::Lha : CompType::Plain;
}

bool FSaveExec::NoCompType(const QString& path) const {
  return IsNoCompType(request_.set.options.ComplexSettingMode, request_.noCompTypes, path);
}

bool FSaveExec::WouldMeetAnArchive(const QString& path) const {
  // In a packing run "X" is stored as "X.LZH". A file really named "X.LZH" beside it that is
  // stored plainly (its type is not packed) would take the same name, and one copy would
  // replace the other: such a file goes under an alias, so that the listing names each copy.
  if (!Packs() || !path.endsWith(QStringLiteral(".LZH"), Qt::CaseInsensitive)) return false;
  if (!NoCompType(path)) return false;  // packed itself: "X.LZH.LZH"
  const QString sibling = path.left(path.size() - 4);
  int position = 1;
  return SaveList_.FindNewPath(sibling, position) && !SaveList_[position].IsDirectory() && !NoCompType(sibling);
}

void FSaveExec::TakeSourceInfo(SaveListEntry& e, const DirEntry& info) {
  e.size = (info.attributes & attr::Directory) ? 0 : info.size;
  e.attributes = AttrText(info.attributes);
  e.date = EntryDate::FromFileTime(info.mtime);
}

QString FSaveExec::SourceAnchor(const QString& path) {
  // What the user named is read as named, link or not. Below it the copy enters no folder
  // and opens no file by a link, as the scan took none (one may be swapped in after the
  // scan): it reads from the deepest save-list folder above the path on. A path that no
  // entry covers any more (a repair of an older listing) has its last component guarded.
  // The save list's folders are worked out once a run.
  if (!anchorsReady_) {
    anchorFolders_.clear();
    namedEntries_.clear();
    for (QString entry : request_.set.SaveList) {
      if (entry.size() > 3 && entry.endsWith(u'\\')) entry.chop(1);
      const bool pattern = entry.contains(u'*') || entry.contains(u'?');
      if (!pattern) namedEntries_.insert(entry);
      QString folder = entry, name;
      if (pattern) SplitPath(entry, folder, name);
      anchorFolders_.push_back({folder, folder.endsWith(u'\\') ? folder : folder + u'\\'});
    }
    anchorsReady_ = true;
  }
  if (namedEntries_.contains(path)) return QString();
  const QString* anchor = nullptr;
  for (const auto& [folder, prefix] : anchorFolders_) {
    if (path.startsWith(prefix) && (!anchor || folder.size() > anchor->size())) anchor = &folder;
  }
  if (anchor) return *anchor;
  QString dir, name;
  SplitPath(path, dir, name);
  return dir;
}

bool FSaveExec::PrepareFileCopy(const QString& source, const QString& destination, FileCopyJob& job) {
  QString dir, name;
  lastCopyError_ = FsError::Other;
  if (!SplitPath(destination, dir, name)) return false;
  // A folder this run made or entered a moment ago is not entered again for a worker's copy:
  // the worker enters it itself, and should it have gone meanwhile, that copy fails on its
  // destination side and is made again on the run's own thread, which makes the folder anew.
  // (A copy on the run's own thread comes here with nothing known.)
  if (!folders_.contains(dir) &&
      !MakeDirPath(env_.fs, dir, [this](const QString& folder) { return FolderModeFor(folder); }, folders_))
    return false;
  if ((Level() == Level::Overwrite || Level() == Level::Repair) && !cleared_.contains(dir)) {
    cleared_.insert(dir);
    env_.fs.RemoveLeftovers(dir);
  }
  job.source = source;
  job.destination = destination;
  job.anchor = SourceAnchor(source);
  job.tryPack = Packs() && !NoCompType(source);
  job.hashing = hashing_;
  job.unrecordedTarget = s_.outcome.createdSave;
  return true;
}

bool FSaveExec::FinishFileCopy(FileCopyJob& job, int& compType, int row) {
  SaveListEntry& e = SaveList_[row];
  if (job.packTried) {
    if (job.packInfo) TakeSourceInfo(e, *job.packInfo);
    env_.WriteDebugPath(2330, "SaveLha", job.source, job.destination + QStringLiteral(".LZH"));
    if (job.packed) {
      compType = 1;
      e.flag = Flag::Copied;
      if (job.observed) NoteCopied(job.source, job.hash);
      return true;
    }
  }
  if (job.copied) {
    e.size = job.copied.source.size;
    e.attributes = AttrText(job.copied.source.attributes);
    e.date = EntryDate::FromFileTime(job.copied.source.mtime);
    compType = 0;
    e.flag = Flag::Copied;
    if (hashing_) NoteCopied(job.source, job.hash);
    return true;
  }
  if (job.failedInfo) TakeSourceInfo(e, *job.failedInfo);
  lastCopyError_ = job.copied.error;
  const std::optional<Flag> failed = FlagForFailedCopy(job.copied);
  if (failed) {
    e.flag = *failed;
    return false;
  }
  if (CopyLockedFile(job.source, job.destination, job.anchor)) {
    compType = 0;
    e.flag = Flag::Copied;
    return true;
  }
  e.flag = Flag::NotSaved;
  return false;
}

bool FSaveExec::EndsOnRunThread(const FileCopyJob& job) {
  // A copy that failed for another reason than its source may have met a medium filled by
  // the copies beside it; it is tried byte by byte (with yields) and may raise the
  // full-medium question: it is made again on the run's thread, with nothing else in flight.
  return !job.packed && !job.copied && !FlagForFailedCopy(job.copied);
}

bool FSaveExec::CopyLockedFile(const QString& source, const QString& destination, const QString& anchor) {
  if (request_.set.options.LockFile == 0) return false;
  // Byte by byte in effect: a block of 1000 bytes between two yields.
  CopyOptions slow;
  slow.sourceAnchor = anchor;
  slow.unrecordedTarget = s_.outcome.createdSave;
  slow.chunk = 1000;
  slow.onChunk = [this] {
    env_.DoEvents();
    return !env_.cancel;
  };
  hash_.Reset();
  if (hashing_) slow.onData = [this](const char* data, size_t size) { hash_.Add(data, size); };
  const CopyResult copied = env_.fs.Copy(source, destination, slow);
  if (!copied) lastCopyError_ = copied.error;
  else if (hashing_) NoteCopied(source, hash_);
  return copied.ok();
}

void FSaveExec::NoteCopied(const QString& path, const ContentHash& hash) {
  manifest_.push_back(ManifestEntry{path, hash.Size(), hash.Hex()});
}

void FSaveExec::KeepPreviousCopy(int row) {
  // An overwrite run replaces a copy only by a whole new one: when the new copy failed, the
  // previous copy is still in the save, and the listing keeps pointing at it. The entry
  // still counts as not saved, and the next run copies it again.
  const auto previous = previousCopies_.find(row);
  if (previous == previousCopies_.end()) return;
  SaveListEntry& e = SaveList_[row];
  const Flag f = e.flag;
  if (f != Flag::NotSaved && f != Flag::Locked && f != Flag::Vanished) return;
  e.TakeCopyOf(previous->second);
}

uint32_t FSaveExec::FolderModeFor(const QString& folder) const {
  const bool privileged = env_.fs.Privileged();
  // A folder of a source drive's tree stands for that folder of the source.
  const QString drives = s_.paths.SaveSetDir + QStringLiteral("\\Drive_");
  if (folder.startsWith(drives) && folder.size() > drives.size()) {
    const QString rest = folder.mid(drives.size() + 1);
    const QString source = folder.mid(drives.size(), 1) + u':' + (rest.isEmpty() ? QStringLiteral("\\") : rest);
    if (const auto mode = env_.fs.DirMode(source)) return SaveFolderMode(*mode, privileged);
  }
  // The save's own folders (the save, "Alias"): only the owner, when the run may read all.
  return privileged ? 0700 : kDefaultDirMode;
}
// --- Copying with workers ----------------------------------------------------------------
//
// The run walks its list as a single thread would and hands only the file system work of
// each file to a worker: the reserve check, the aliases, the folders, the anchor come
// before, in order; the entry's fields, the log, the manifest, the volume and the counters
// come after, when the entry's turn comes, again in order. A window of entries is in
// flight at a time. An entry that may ask the user something (a short reserve, a full
// medium) or yield while it copies is taken only with nothing else in flight, exactly as a
// single thread takes it.

namespace {
constexpr int kSlotsPerWorker = 8;
constexpr int64_t kWindowBytes = int64_t(64) << 20;
constexpr int kWaitMs = 100;  // the run yields at this pace while it waits for a worker
// The free space is asked again after so many entries or bytes handed out, and for every
// entry while less than that is left above the reserve.
constexpr int kEntriesPerAsk = 256;
constexpr int64_t kBytesPerAsk = int64_t(64) << 20;
}  // namespace

FSaveExec::EntryResult FSaveExec::CopyWithWorkers(CopyCrew& crew, ReserveState& reserve, bool& stopCopy) {
  std::deque<Slot> window;
  int next = 1;
  const size_t room = static_cast<size_t>(crew.Size()) * kSlotsPerWorker;
  for (;;) {
    if (env_.cancel && !window.empty()) {
      // A stop lands at the entry the run is at, as on a single thread: what the workers
      // have done beyond it is taken back, not counted.
      TakeBackFrom(crew, window, next, 0);
      return EntryResult::Cancelled;
    }
    bool alone = false;  // the next entry is one for the run's thread, with nothing in flight
    // The window is filled again once half of it is taken: the workers get a batch at once,
    // and the run wakes once for a batch of their results rather than for every file.
    const bool refill = window.size() <= room / 2;
    while (refill && !env_.cancel && next < SaveList_.Rows() && window.size() < room &&
           (window.empty() || crew.BytesInFlight() < kWindowBytes)) {
      Slot slot;
      if (!PrepareSlot(next, reserve, stopCopy, crew, slot)) {
        alone = true;
        break;
      }
      window.push_back(std::move(slot));
      ++next;
    }
    if (!window.empty()) {
      const EntryResult r = TakeSlot(crew, window, next, reserve, stopCopy, room / 2);
      if (r != EntryResult::Done) return r;
      continue;
    }
    if (next >= SaveList_.Rows()) return EntryResult::Done;
    if (env_.cancel) return EntryResult::Cancelled;
    if (!alone) continue;
    const EntryResult r = CopyRow(next, reserve, stopCopy);
    if (r != EntryResult::Done) return r;
    ++next;
  }
}

bool FSaveExec::PrepareSlot(int row, ReserveState reserve, bool stopCopy, CopyCrew& crew, Slot& slot) {
  SaveListEntry& e = SaveList_[row];
  slot.row = row;
  slot.aliasBefore = s_.aliasCounter;
  slot.alias = e.alias;
  if (stopCopy && e.flag == Flag::ToCopy) return false;
  if (e.flag != Flag::ToCopy) return true;  // nothing to do but its turn
  int64_t cluster = 4096;
  if (reserve != ReserveState::Off) {
    // The free space as a single thread would see it when all before is written: asked
    // once for a batch of entries, less what was in flight then and what was handed out
    // since. Near the reserve it is asked for every entry.
    const int64_t reserveKB = request_.set.options.RsvSize * 1024;
    if (space_ && (space_->entries >= kEntriesPerAsk || space_->handedOut >= kBytesPerAsk ||
                   space_->Left() - reserveKB < kBytesPerAsk / 1024))
      space_.reset();
    if (!space_) {
      // What is in flight is asked first, so that a copy ending in between is counted at
      // least once.
      const int64_t inFlight = crew.BytesInFlight();
      const FreeSpace free = FreeSpaceKB(env_.fs, s_.medium.drive);
      space_ = AskedSpace{free.kb, free.known ? std::max<int64_t>(free.cluster, 1) : cluster, inFlight};
    }
    if (DecideReserve(reserve, space_->Left(), request_.set.options.RsvSize) != ReserveDecision::Copy) {
      space_.reset();
      return false;
    }
    cluster = space_->cluster;
    slot.freeKB = space_->Left();
    ++space_->entries;
  }
  slot.kind = Slot::Kind::Copy;
  if (e.IsDirectory()) return true;
  const QString destination = DestinationOf(e);
  QString dir, name;
  if (SplitPath(destination, dir, name) && env_.fs.CurrentDir() != dir && !folders_.contains(dir) &&
      !env_.fs.IsDirectory(dir))
    slot.madeFolder = dir;
  auto job = std::make_shared<FileCopyJob>();
  if (!PrepareFileCopy(e.path, destination, *job)) return true;  // fails when its turn comes
  const int64_t size = std::max<int64_t>(e.size.Bytes(), 0);
  slot.bytes = (size + cluster - 1) / cluster * cluster;
  if (space_) space_->handedOut += slot.bytes;
  slot.job = job;
  crew.Post(std::move(job), slot.bytes);
  return true;
}

FSaveExec::EntryResult FSaveExec::TakeSlot(CopyCrew& crew, std::deque<Slot>& window, int& next, ReserveState& reserve,
                                           bool& stopCopy, size_t half) {
  if (window.front().job) {
    // Half the window done at a time: the workers keep the other half to do meanwhile.
    const int pending = static_cast<int>(std::min(window.size() / 2, half));
    while (!crew.WaitBatch(*window.front().job, pending, kWaitMs)) env_.DoEvents();
  }
  const Slot slot = std::move(window.front());
  const int row = slot.row;
  SaveListEntry& e = SaveList_[row];
  EntryResult r = EntryResult::Done;
  if (slot.kind == Slot::Kind::Copy) {
    s_.progress.lastEntry = e.path;
    if (slot.freeKB) {
      env_.WriteDebugPath(3020, "GetFreeDiskKB", s_.medium.drive);
      env_.WriteDebug(3021, *slot.freeKB);
    }
    CopyAttempt attempt;
    if (e.IsDirectory() || (slot.job && !EndsOnRunThread(*slot.job))) {
      // Copied, or the source's fault (gone, refused): nothing asked, nothing to yield.
      e.flag = Flag::NotSaved;
      int compType = 0;
      const bool copied = e.IsDirectory() || FinishFileCopy(*slot.job, compType, row);
      if (copied) MarkCopied(e, compType);
      attempt = copied ? CopyAttempt::Copied : FailedAttempt(e.flag);
    } else {
      // The copy failed for another reason, perhaps for the room later entries took: they
      // are taken back, and the entry is copied again as a single thread copies it now.
      TakeBackFrom(crew, window, next, 1);
      s_.aliasCounter = slot.aliasBefore;
      e.alias = slot.alias;
      attempt = AttemptCopy(row);
    }
    // Reading the volume may ask about the medium: no worker starts anything meanwhile.
    crew.Pause(true);
    r = TakeAttempt(e, attempt, stopCopy);
    crew.Pause(false);
  }
  window.pop_front();
  // Another medium: the entry is copied again from the start, with nothing else in flight.
  while (r == EntryResult::Again) r = CopyEntry(row, reserve, stopCopy);
  if (r != EntryResult::Done) return r;
  FinishRow(row);
  return EntryResult::Done;
}

void FSaveExec::TakeBackFrom(CopyCrew& crew, std::deque<Slot>& window, int& next, size_t first) {
  if (window.size() <= first) return;
  // Every entry from `first` on finishes; then what it wrote goes again, newest first, with
  // the folders made for it, and it is copied again (or not) when its turn comes again.
  for (size_t i = first; i < window.size(); ++i) {
    if (window[i].job) {
      while (!crew.Wait(*window[i].job, kWaitMs)) env_.DoEvents();
    }
  }
  for (size_t i = window.size(); i-- > first;) {
    Slot& later = window[i];
    if (later.job) {
      const QString written = later.job->Written();
      if (!written.isEmpty()) env_.fs.Kill(written);
    }
    for (QString folder = later.madeFolder; folder.startsWith(s_.paths.SaveSetDir + u'\\');) {
      if (!env_.fs.RmDir(folder)) break;
      QString parent, name;
      if (!SplitPath(folder, parent, name)) break;
      folder = parent;
    }
    SaveList_[later.row].alias = later.alias;
  }
  folders_.clear();  // some may have gone
  space_.reset();
  s_.aliasCounter = window[first].aliasBefore;
  next = window[first].row;
  window.erase(window.begin() + static_cast<std::ptrdiff_t>(first), window.end());
}
}  // namespace qarno
