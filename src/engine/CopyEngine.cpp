// The copy engine: every entry marked for this run is copied (or packed) into the run's save
// folder, with the reserve and full-medium rules, the locked-file fallback and the aliases
// of over-long destinations. The outcome of each entry is left in its Flag.
#include "engine/FSaveExec.h"

#include "common/Attributes.h"
#include "engine/CopyDecision.h"
#include "records/LhaPacking.h"

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
  m.WriteDebug(2230, "ExecCopy");
  RunProgress& p = s_.progress;
  RunOutcome& out = s_.outcome;
  const QString& caption = s_.texts.FSaveExecCaption;
  p.status = QStringLiteral("コピーの実行");
  auto totals = [&] {
    ListInfo_.Set(ListInfoTable::Files, 2, out.filesCopied);
    ListInfo_.Set(ListInfoTable::Folders, 2, out.dirsCopied);
    ListInfo_.Set(ListInfoTable::KB, 2, p.copiedKB);
  };
  auto abort = [&] {
    out.failed = true;
    p.phase = phase::Idle;
    totals();
    p.status = QStringLiteral("コピーの実行") + QStringLiteral("... 中止されました。");
    return false;
  };
  QString d = s_.medium.drive, name, serial;
  if (!m.ReadDriveInfo(d, name, serial)) return abort();

  p.copiedKB = 0;
  p.kbToCopy = ListInfo_.Value(ListInfoTable::KB, 2);
  if (p.kbToCopy < 0) p.kbToCopy = 1;
  out.uncopiedCount = out.refusedCount;
  p.processedCount = 0;
  p.rowCount = std::max(SaveList_.Count(), 1);
  out.filesCopied = 0;
  out.dirsCopied = 0;
  int reserveMode = m.set.options.RsvSizeChk == 0 ? 0 : 1;
  bool stopCopy = false;
  p.phase = phase::Copy;
  const QString root = s_.medium.drive;

  for (int row = 1; row < SaveList_.Rows(); ++row) {
    bool again = true;
    while (again) {
      again = false;
      if (m.CancelFlag) return false;
      SaveListEntry& e = SaveList_[row];
      if (stopCopy && e.flag == Flag::ToCopy) {
        e.flag = Flag::NotSaved;
        ++out.uncopiedCount;
        m.WriteLog(QStringLiteral("保存できませんでした(残量不足）"), e.path);
        break;
      }
      if (e.flag != Flag::ToCopy) break;
      const QString path = e.path;
      const bool isDir = e.IsDirectory();
      p.lastEntry = path;

      // The reserve of free space on the destination (asked only while a reserve is kept).
      const int64_t freeMB = reserveMode != 0 ? m.GetFreeDiskKB(root) / 1024 : 0;
      if (reserveMode != 0 && freeMB < m.set.options.RsvSize) {
        bool refused = reserveMode == 2;
        if (reserveMode == 1) {
          m.WriteLog(QStringLiteral("保存開始前の保存先ディスク残量確認：残量不足が検出されました"));
          m.WriteDebug(2239, "残量不足を検出");
          const Answer a = m.ui.MsgBox(
              Question::ReserveShort, caption,
              QStringLiteral("保存先ディスク残量が制限値以下です!") + QStringLiteral("\r\n\t残量値：") + MegaBytes(freeMB) +
                  QStringLiteral("\r\n\t制限値：") + MegaBytes(m.set.options.RsvSize) + QStringLiteral("\r\n") +
                  QStringLiteral("保存先メディアを交換して下さい"),
              Buttons::YesNo, Icon::Exclamation);
          if (a == Answer::Yes) {
            again = true;
            continue;
          }
          const Answer off = m.ui.MsgBox(Question::ReserveSwitchOff, caption, QStringLiteral("今回の保存での残量制限を無効にしますか？"),
                                         Buttons::YesNo, Icon::Exclamation);
          if (off == Answer::Yes) {
            m.WriteLog(QStringLiteral("保存開始前の保存先ディスク残量確認：今回の制限値を無効にしました"));
            m.WriteDebug(2239, "制限を無効にした");
            reserveMode = 0;
          } else {
            refused = true;
          }
        }
        if (refused) {
          e.flag = Flag::NotSaved;
          ++out.uncopiedCount;
          m.WriteLog(QStringLiteral("保存できませんでした（その他）"), path);
          m.WriteDebug(2239, "未保存");
          reserveMode = 2;
          break;
        }
      }

      int compType = 0;
      if (CopyPath(path, isDir, compType, row)) {
        QString d2 = s_.medium.drive, vname, vserial;
        if (m.ReadDriveInfo(d2, vname, vserial)) {
          e.volSerial = vserial;
          e.volName = vname;
        }
        p.copiedKB += KbOf(e.size.Bytes());
        ++(isDir ? out.dirsCopied : out.filesCopied);
        break;
      }
      const Flag f = e.flag;
      if (f == Flag::Locked) {
        ++out.uncopiedCount;
        m.WriteLog(QStringLiteral("保存できませんでした（ファイルロック）"), path);
        m.WriteDebug(2234, "ファイルロック");
        break;
      }
      if (f == Flag::Vanished) {
        ++out.uncopiedCount;
        m.WriteLog(QStringLiteral("保存できませんでした（なくなっている為エントリーが削除されます）"), path);
        m.WriteDebug(2234, "なくなっている為エントリーが削除されます");
        break;
      }
      if (!DestinationFull(lastCopyError_, e.size.Bytes(), m.GetFreeDiskKB(root))) {
        e.flag = Flag::NotSaved;
        ++out.uncopiedCount;
        m.WriteLog(QStringLiteral("保存できませんでした（その他）"), path,
                   QStringLiteral("文字数=") + QString::number(path.size()));
        m.WriteDebug(2234, "その他");
        break;
      }
      // The destination is full.
      const Answer a = m.Warn(Question::DestinationFull, caption,
                              root + u'\r' + QStringLiteral("ドライブの空き量が足りません。") + u'\r' +
                                  QStringLiteral("新しいメディアに交換してください"),
                              Buttons::YesNoCancel);
      if (a == Answer::Cancel) return abort();
      QString d3 = s_.medium.drive, n3, s3;
      if (!m.ReadDriveInfo(d3, n3, s3)) return abort();
      if (a == Answer::Yes) {
        // Another medium: the same row is copied again from the start.
        e.flag = Flag::ToCopy;
        again = true;
        continue;
      }
      out.failed = true;
      e.flag = Flag::NotSaved;
      ++out.uncopiedCount;
      m.WriteLog(QStringLiteral("保存できませんでした（残量不足）"), path);
      m.WriteDebug(2234, "残量不足");
      stopCopy = true;
    }
    KeepPreviousCopy(row);
    m.DoEvents();
    ++p.processedCount;
  }
  p.phase = phase::Idle;
  totals();
  p.status = QStringLiteral("コピーの実行") + kPhaseDone;
  if (out.uncopiedCount >= 1)
    p.status += u'\r' + QString(7, u' ') + QString::number(out.uncopiedCount) + QStringLiteral(" 個コピーできませんでした。");
  return true;
}

bool FSaveExec::CopyPath(const QString& path, bool isDirectory, int& compType, int row) {
  SaveListEntry& e = SaveList_[row];
  e.flag = Flag::NotSaved;
  if (isDirectory) {
    compType = 0;
  } else {
    QString destination = CopyPathIn(s_.paths.SaveSetDir, path, QString());
    if (NeedsAlias(destination, m.set.options.PathLen) || WouldMeetAnArchive(path)) {
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

bool FSaveExec::WouldMeetAnArchive(const QString& path) const {
  // In a packing run "X" is stored as "X.LZH". A file really named "X.LZH" beside it that is
  // stored plainly (its type is not packed) would take the same name, and one copy would
  // replace the other: such a file goes under an alias, so that the listing names each copy.
  if (m.set.options.ComplexTypeMode != 1 || !path.endsWith(QStringLiteral(".LZH"), Qt::CaseInsensitive)) return false;
  if (!IsNoCompType(m, path)) return false;  // packed itself: "X.LZH.LZH"
  const QString sibling = path.left(path.size() - 4);
  int position = 1;
  return SaveList_.FindNewPath(sibling, position) && !SaveList_[position].IsDirectory() && !IsNoCompType(m, sibling);
}

bool FSaveExec::RefreshEntry(int row) {
  SaveListEntry& e = SaveList_[row];
  const auto info = m.fs.Stat(e.path);
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
    for (QString entry : m.set.SaveList) {
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
  if (!m.MakeDirPath(dir, [this](const QString& folder) { return FolderModeFor(folder); })) return false;
  if ((Level() == Level::Overwrite || Level() == Level::Repair) && !cleared_.contains(dir)) {
    cleared_.insert(dir);
    m.fs.RemoveLeftovers(dir);
  }
  SaveListEntry& e = SaveList_[row];
  const QString anchor = SourceAnchor(source);
  // The archiver opens the file by its path: a source that is no longer the file the scan
  // found (a link now, on the way or in its place) is left to the guarded plain copy.
  const bool pack = m.set.options.ComplexTypeMode == 1 && !IsNoCompType(m, source) &&
                    (anchor.isEmpty() || m.fs.OpenInside(anchor, source) != nullptr);
  if (pack) {
    RefreshEntry(row);
    // The archiver shows the bytes it packs as it reads them; a library that cannot leaves
    // the file out of the manifest.
    hash_.Reset();
    const bool observed = hashing_ && m.archiver && m.archiver->SetReadObserver([this](const char* data, size_t size) {
      if (size == 0) hash_.Reset();
      else hash_.Add(data, size);
    });
    const bool packed = SaveLha(m, source, destination + QStringLiteral(".LZH"));
    if (observed) m.archiver->SetReadObserver({});
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
  const CopyResult copied = m.fs.Copy(source, destination, options);
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
  if (m.set.options.LockFile == 0) return false;
  // Byte by byte in effect: a block of 1000 bytes between two yields.
  CopyOptions slow;
  slow.sourceAnchor = anchor;
  slow.unrecordedTarget = s_.outcome.createdSave;
  slow.chunk = 1000;
  slow.onChunk = [this] {
    m.DoEvents();
    return !m.CancelFlag;
  };
  hash_.Reset();
  if (hashing_) slow.onData = [this](const char* data, size_t size) { hash_.Add(data, size); };
  const CopyResult copied = m.fs.Copy(source, destination, slow);
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
  const bool privileged = m.fs.Privileged();
  // A folder of a source drive's tree stands for that folder of the source.
  const QString drives = s_.paths.SaveSetDir + QStringLiteral("\\Drive_");
  if (folder.startsWith(drives) && folder.size() > drives.size()) {
    const QString rest = folder.mid(drives.size() + 1);
    const QString source = folder.mid(drives.size(), 1) + u':' + (rest.isEmpty() ? QStringLiteral("\\") : rest);
    if (const auto mode = m.fs.DirMode(source)) return SaveFolderMode(*mode, privileged);
  }
  // The save's own folders (the save, "Alias"): only the owner, when the run may read all.
  return privileged ? 0700 : kDefaultDirMode;
}
}  // namespace qarno
