// The copy engine: every entry marked for this run is copied (or packed) into the run's save
// folder, with the reserve and full-medium rules, the locked-file fallback and the aliases
// of over-long destinations. The outcome of each entry is left in its Flag.
#include "engine/FSaveExec.h"

#include "common/Attributes.h"
#include "engine/CopyDecision.h"
#include "records/LhaPacking.h"
#include "records/Pruning.h"

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
  p.status = QStringLiteral("コピーの実行");
  QString d = s_.medium.drive, name, serial;
  if (!ReadDrive(d, name, serial)) return AbortCopy();

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

  for (int row = 1; row < SaveList_.Rows(); ++row) {
    EntryResult r = CopyEntry(row, reserve, stopCopy);
    while (r == EntryResult::Again) r = CopyEntry(row, reserve, stopCopy);
    if (r == EntryResult::Cancelled) return false;
    if (r == EntryResult::Abort) return AbortCopy();
    KeepPreviousCopy(row);
    env_.DoEvents();
    ++p.processedCount;
  }
  p.phase = phase::Idle;
  CopyTotals();
  p.status = QStringLiteral("コピーの実行") + kPhaseDone;
  if (out.uncopiedCount >= 1)
    p.status += u'\r' + QString(7, u' ') + QString::number(out.uncopiedCount) + QStringLiteral(" 個コピーできませんでした。");
  return true;
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
  s_.progress.status = QStringLiteral("コピーの実行") + QStringLiteral("... 中止されました。");
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
  const QString path = e.path;
  const bool isDir = e.IsDirectory();
  s_.progress.lastEntry = path;
  if (const auto held = CheckReserve(e, reserve)) return *held;

  switch (AttemptCopy(row)) {
    case CopyAttempt::Copied: {
      QString d = s_.medium.drive, vname, vserial;
      if (ReadDrive(d, vname, vserial)) {
        e.volSerial = vserial;
        e.volName = vname;
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
    case CopyAttempt::Failed: break;
  }
  return AfterFailedCopy(e, stopCopy);
}

FSaveExec::CopyAttempt FSaveExec::AttemptCopy(int row) {
  SaveListEntry& e = SaveList_[row];
  const QString path = e.path;
  int compType = 0;
  if (CopyPath(path, e.IsDirectory(), compType, row)) return CopyAttempt::Copied;
  const Flag f = e.flag;
  if (f == Flag::Locked) return CopyAttempt::Locked;
  if (f == Flag::Vanished) return CopyAttempt::Vanished;
  return CopyAttempt::Failed;
}

std::optional<FSaveExec::EntryResult> FSaveExec::CheckReserve(SaveListEntry& e, ReserveState& reserve) {
  // The free space is asked for only while a reserve is kept.
  if (reserve == ReserveState::Off) return std::nullopt;
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
    const QString& caption = s_.texts.FSaveExecCaption;
    env_.WriteLog(QStringLiteral("保存開始前の保存先ディスク残量確認：残量不足が検出されました"));
    env_.WriteDebug(2239, "残量不足を検出");
    const Answer a = env_.ui.MsgBox(Question::ReserveShort, caption,
                                    QStringLiteral("保存先ディスク残量が制限値以下です!") + QStringLiteral("\r\n\t残量値：") +
                                        MegaBytes(freeKB / 1024) + QStringLiteral("\r\n\t制限値：") + MegaBytes(reserveMB) +
                                        QStringLiteral("\r\n") + QStringLiteral("保存先メディアを交換して下さい"),
                                    Buttons::YesNo, Icon::Exclamation);
    if (a == Answer::Yes) return EntryResult::Again;  // another medium: asked again
    const Answer off = env_.ui.MsgBox(Question::ReserveSwitchOff, caption,
                                      QStringLiteral("今回の保存での残量制限を無効にしますか？"), Buttons::YesNo,
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
  const Answer a = env_.Warn(Question::DestinationFull, s_.texts.FSaveExecCaption,
                             root + u'\r' + QStringLiteral("ドライブの空き量が足りません。") + u'\r' +
                                 QStringLiteral("新しいメディアに交換してください"),
                             Buttons::YesNoCancel);
  QString d = s_.medium.drive, n, s;
  const bool readable = a != Answer::Cancel && ReadDrive(d, n, s);
  switch (FullMediumDecision(a, readable)) {
    case FullMedium::Abort: return EntryResult::Abort;
    case FullMedium::CopyAgain:
      // Another medium: the same row is copied again from the start.
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
    QString destination = CopyPathIn(s_.paths.SaveSetDir, path, QString());
    if (NeedsAlias(destination, request_.set.options.PathLen) || WouldMeetAnArchive(path)) {
      ++s_.aliasCounter;
      e.alias = AliasText(s_.aliasCounter);
      destination = CopyPathIn(s_.paths.SaveSetDir, path, e.alias);
    }
    if (!CopyFile(path, destination, compType, row)) return false;
  }
  e.flag = Flag::Copied;
  e.saveName = s_.texts.TNewSetName;
  e.compType = compType == 1 ? CompType::Lha : CompType::Plain;
  return true;
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

bool FSaveExec::RefreshEntry(int row) {
  SaveListEntry& e = SaveList_[row];
  const auto info = env_.fs.Stat(e.path);
  if (!info) return false;
  e.size = (info->attributes & attr::Directory) ? 0 : info->size;
  e.attributes = AttrText(info->attributes);
  e.date = EntryDate::FromFileTime(info->mtime);
  return true;
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

bool FSaveExec::CopyFile(const QString& source, const QString& destination, int& compType, int row) {
  QString dir, name;
  lastCopyError_ = FsError::Other;
  if (!SplitPath(destination, dir, name)) return false;
  if (!MakeDirPath(env_.fs, dir, [this](const QString& folder) { return FolderModeFor(folder); })) return false;
  if ((Level() == Level::Overwrite || Level() == Level::Repair) && !cleared_.contains(dir)) {
    cleared_.insert(dir);
    env_.fs.RemoveLeftovers(dir);
  }
  SaveListEntry& e = SaveList_[row];
  const QString anchor = SourceAnchor(source);
  // The archiver opens the file by its path: a source that is no longer the file the scan
  // found (a link now, on the way or in its place) is left to the guarded plain copy.
  const bool pack = Packs() && !NoCompType(source) &&
                    (anchor.isEmpty() || env_.fs.OpenInside(anchor, source) != nullptr);
  if (pack) {
    RefreshEntry(row);
    // The archiver shows the bytes it packs as it reads them; a library that cannot leaves
    // the file out of the manifest.
    hash_.Reset();
    const bool observed = hashing_ && env_.archiver && env_.archiver->SetReadObserver([this](const char* data, size_t size) {
      if (size == 0) hash_.Reset();
      else hash_.Add(data, size);
    });
    const bool packed = SaveLha(env_, source, destination + QStringLiteral(".LZH"));
    if (observed) env_.archiver->SetReadObserver({});
    if (packed) {
      compType = 1;
      e.flag = Flag::Copied;
      if (observed) NoteCopied(source);
      return true;
    }
  }
  // The entry takes size, date and attributes of the source as it was copied.
  CopyOptions options;
  options.sourceAnchor = anchor;
  options.unrecordedTarget = s_.outcome.createdSave;
  hash_.Reset();
  if (hashing_) options.onData = [this](const char* data, size_t size) { hash_.Add(data, size); };
  const CopyResult copied = env_.fs.Copy(source, destination, options);
  if (copied) {
    e.size = copied.source.size;
    e.attributes = AttrText(copied.source.attributes);
    e.date = EntryDate::FromFileTime(copied.source.mtime);
    compType = 0;
    e.flag = Flag::Copied;
    if (hashing_) NoteCopied(source);
    return true;
  }
  if (!pack) RefreshEntry(row);
  lastCopyError_ = copied.error;
  const std::optional<Flag> failed = FlagForFailedCopy(copied);
  if (failed) {
    e.flag = *failed;
    return false;
  }
  if (CopyLockedFile(source, destination, anchor)) {
    compType = 0;
    e.flag = Flag::Copied;
    return true;
  }
  e.flag = Flag::NotSaved;
  return false;
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
  else if (hashing_) NoteCopied(source);
  return copied.ok();
}

void FSaveExec::NoteCopied(const QString& path) {
  manifest_.push_back(ManifestEntry{path, hash_.Size(), hash_.Hex()});
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
}  // namespace qarno
