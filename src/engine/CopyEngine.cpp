// The copy engine: every entry marked for this run is copied (or packed) into the run's save
// folder, with the reserve and full-medium rules, the locked-file fallback and the aliases
// of over-long destinations. The outcome of each entry is left in its Flag.
#include "engine/FSaveExec.h"
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
  Status = QStringLiteral("コピーの実行");
  auto totals = [&] {
    ListInfo.Set(ListInfoTable::Files, 2, filesCopied);
    ListInfo.Set(ListInfoTable::Folders, 2, dirsCopied);
    ListInfo.Set(ListInfoTable::KB, 2, copiedKB);
  };
  auto abort = [&] {
    runFailed = true;
    phaseNow = phase::Idle;
    totals();
    Status = QStringLiteral("コピーの実行") + QStringLiteral("... 中止されました。");
    return false;
  };
  QString d = drive, name, serial;
  if (!m.ReadDriveInfo(d, name, serial)) return abort();

  copiedKB = 0;
  kbToCopy = ListInfo.Value(ListInfoTable::KB, 2);
  if (kbToCopy < 0) kbToCopy = 1;
  uncopiedCount = 0;
  processedCount = 0;
  rowCount = std::max(SaveList.Count(), 1);
  filesCopied = 0;
  dirsCopied = 0;
  int reserveMode = m.set.options.RsvSizeChk == 0 ? 0 : 1;
  bool stopCopy = false;
  phaseNow = phase::Copy;
  const QString root = drive;

  for (int row = 1; row < SaveList.Rows(); ++row) {
    bool again = true;
    while (again) {
      again = false;
      if (m.CancelFlag) return false;
      SaveListEntry& e = SaveList[row];
      if (stopCopy && e[SaveListEntry::Flag] == u"4") {
        e[SaveListEntry::Flag] = QStringLiteral("-2");
        ++uncopiedCount;
        m.WriteLog(QStringLiteral("保存できませんでした(残量不足）"), e[SaveListEntry::Path]);
        break;
      }
      if (e[SaveListEntry::Flag] != u"4") break;
      const QString path = e[SaveListEntry::Path];
      const bool isDir = e.IsDirectory();
      lastEntry = path;

      // The reserve of free space on the destination (asked only while a reserve is kept).
      const int64_t freeMB = reserveMode != 0 ? m.GetFreeDiskKB(root) / 1024 : 0;
      if (reserveMode != 0 && freeMB < m.set.options.RsvSize) {
        bool refused = reserveMode == 2;
        if (reserveMode == 1) {
          m.WriteLog(QStringLiteral("保存開始前の保存先ディスク残量確認：残量不足が検出されました"));
          m.WriteDebug(2239, "残量不足を検出");
          const Answer a = m.ui.MsgBox(
              Question::ReserveShort, FSaveExecCaption,
              QStringLiteral("保存先ディスク残量が制限値以下です!") + QStringLiteral("\r\n\t残量値：") + MegaBytes(freeMB) +
                  QStringLiteral("\r\n\t制限値：") + MegaBytes(m.set.options.RsvSize) + QStringLiteral("\r\n") +
                  QStringLiteral("保存先メディアを交換して下さい"),
              Buttons::YesNo, Icon::Exclamation);
          if (a == Answer::Yes) {
            again = true;
            continue;
          }
          const Answer off = m.ui.MsgBox(Question::ReserveSwitchOff, FSaveExecCaption, QStringLiteral("今回の保存での残量制限を無効にしますか？"),
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
          e[SaveListEntry::Flag] = QStringLiteral("-2");
          ++uncopiedCount;
          m.WriteLog(QStringLiteral("保存できませんでした（その他）"), path);
          m.WriteDebug(2239, "未保存");
          reserveMode = 2;
          break;
        }
      }

      int compType = 0;
      if (CopyPath(path, isDir, compType, row)) {
        QString d2 = drive, vname, vserial;
        if (m.ReadDriveInfo(d2, vname, vserial)) {
          e[SaveListEntry::VolSerial] = vserial;
          e[SaveListEntry::VolName] = vname;
        }
        copiedKB += KbOf(e[SaveListEntry::Size].toLongLong());
        ++(isDir ? dirsCopied : filesCopied);
        break;
      }
      const QString flag = e[SaveListEntry::Flag];
      if (flag == u"8") {
        ++uncopiedCount;
        m.WriteLog(QStringLiteral("保存できませんでした（ファイルロック）"), path);
        m.WriteDebug(2234, "ファイルロック");
        break;
      }
      if (flag == u"6") {
        ++uncopiedCount;
        m.WriteLog(QStringLiteral("保存できませんでした（なくなっている為エントリーが削除されます）"), path);
        m.WriteDebug(2234, "なくなっている為エントリーが削除されます");
        break;
      }
      const double needKB = (e[SaveListEntry::Size].toDouble() + 1023.0) / 1024.0;
      if (needKB < static_cast<double>(m.GetFreeDiskKB(root))) {
        e[SaveListEntry::Flag] = QStringLiteral("-2");
        ++uncopiedCount;
        m.WriteLog(QStringLiteral("保存できませんでした（その他）"), path,
                   QStringLiteral("文字数=") + QString::number(path.size()));
        m.WriteDebug(2234, "その他");
        break;
      }
      // The destination is full.
      const Answer a = m.Warn(Question::DestinationFull, FSaveExecCaption,
                              root + u'\r' + QStringLiteral("ドライブの空き量が足りません。") + u'\r' +
                                  QStringLiteral("新しいメディアに交換してください"),
                              Buttons::YesNoCancel);
      if (a == Answer::Cancel) return abort();
      QString d3 = drive, n3, s3;
      if (!m.ReadDriveInfo(d3, n3, s3)) return abort();
      if (a == Answer::Yes) {
        again = true;
        continue;
      }
      runFailed = true;
      e[SaveListEntry::Flag] = QStringLiteral("-2");
      ++uncopiedCount;
      m.WriteLog(QStringLiteral("保存できませんでした（残量不足）"), path);
      m.WriteDebug(2234, "残量不足");
      stopCopy = true;
    }
    m.DoEvents();
    ++processedCount;
  }
  phaseNow = phase::Idle;
  totals();
  Status = QStringLiteral("コピーの実行") + kPhaseDone;
  if (uncopiedCount >= 1)
    Status += u'\r' + QString(7, u' ') + QString::number(uncopiedCount) + QStringLiteral(" 個コピーできませんでした。");
  return true;
}

bool FSaveExec::CopyPath(const QString& path, bool isDirectory, int& compType, int row) {
  QString destination = SaveSetDir + QStringLiteral("\\Drive_") + path.left(1).toUpper() + path.mid(2);
  SaveListEntry& e = SaveList[row];
  e[SaveListEntry::Flag] = QStringLiteral("-2");
  if (isDirectory) {
    compType = 0;
  } else {
    if (destination.size() > m.set.options.PathLen) {
      ++aliasCounter;
      const QString alias = QStringLiteral("%1").arg(aliasCounter, 6, 10, QChar(u'0'));
      e[SaveListEntry::Alias] = alias;
      destination = SaveSetDir + QStringLiteral("\\Alias\\") + alias;
    }
    if (!CopyFile(path, destination, compType, row)) return false;
  }
  e[SaveListEntry::Flag] = QStringLiteral("3");
  e[SaveListEntry::SaveName] = TNewSetName;
  e[SaveListEntry::CompType] = QString::number(compType);
  return true;
}

bool FSaveExec::RefreshEntry(int row) {
  SaveListEntry& e = SaveList[row];
  const auto info = m.fs.Stat(e[SaveListEntry::Path]);
  if (!info) return false;
  e[SaveListEntry::Size] = QString::number((info->attributes & attr::Directory) ? 0 : info->size);
  e[SaveListEntry::Attributes] = GetAttrStr(info->attributes);
  e[SaveListEntry::Date] = FormatFileTime(info->mtime);
  return true;
}

bool FSaveExec::CopyFile(const QString& source, const QString& destination, int& compType, int row) {
  QString dir, name;
  if (!SplitPath(destination, dir, name)) return false;
  if (!m.MakeDirPath(dir)) return false;
  SaveListEntry& e = SaveList[row];
  const bool pack = m.set.options.ComplexTypeMode == 1 && !IsNoCompType(m, source);
  if (pack) {
    RefreshEntry(row);
    if (SaveLha(m, source, name)) {
      compType = 1;
      e[SaveListEntry::Flag] = QStringLiteral("3");
      return true;
    }
  }
  // The entry takes size, date and attributes of the source as it was copied.
  if (const auto copied = m.fs.CopyFileWithInfo(source, destination)) {
    e[SaveListEntry::Size] = QString::number(copied->size);
    e[SaveListEntry::Attributes] = GetAttrStr(copied->attributes);
    e[SaveListEntry::Date] = FormatFileTime(copied->mtime);
    compType = 0;
    e[SaveListEntry::Flag] = QStringLiteral("3");
    return true;
  }
  if (!pack) RefreshEntry(row);
  m.fs.Kill(destination);
  if (!m.fs.FileLen(source)) {
    e[SaveListEntry::Flag] = QStringLiteral("6");
    return false;
  }
  if (!m.fs.Open(source, QIODevice::ReadOnly)) {
    e[SaveListEntry::Flag] = QStringLiteral("8");
    return false;
  }
  if (CopyLockedFile(source, destination)) {
    compType = 0;
    e[SaveListEntry::Flag] = QStringLiteral("3");
    return true;
  }
  e[SaveListEntry::Flag] = QStringLiteral("-2");
  return false;
}

bool FSaveExec::CopyLockedFile(const QString& source, const QString& destination) {
  if (m.set.options.LockFile == 0) return false;
  bool ok = true;
  {
    auto in = m.fs.Open(source, QIODevice::ReadOnly);
    auto out = in ? m.fs.Open(destination, QIODevice::WriteOnly | QIODevice::Truncate) : nullptr;
    if (!in || !out) {
      ok = false;
    } else {
      // Byte by byte in effect: a block of 1000 bytes between two yields.
      char buf[1000];
      for (;;) {
        const qint64 n = in->read(buf, sizeof buf);
        if (n < 0) {
          ok = false;
          break;
        }
        if (n == 0) break;
        if (out->write(buf, n) != n) {
          ok = false;
          break;
        }
        m.DoEvents();
        if (m.CancelFlag) {
          ok = false;
          break;
        }
      }
    }
  }
  if (!ok) m.fs.Kill(destination);
  return ok;
}

}  // namespace qarno
