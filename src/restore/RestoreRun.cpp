// The restore run: every marked entry is copied or unpacked from the run folder that holds
// it, then, when the user agrees, what is left is searched for in the listings of the chosen
// run and the older ones.
#include "restore/FRestore.h"

#include "platform/WinPath.h"
#include "records/CsvFields.h"

#include <QSet>

namespace qarno {

namespace {
const QChar CR = u'\r';
const QString kNotRestorable = QStringLiteral("復元できません。");
}  // namespace

// ---------------------------------------------------------------------------------------
// Paths

QString FRestore::SetFolderOf(const QString& dir) const { return winpath::Join(dir, SetName); }

QString FRestore::RunFolderOf(const QString& dir, const QString& name) const { return SetFolderOf(dir) + u'\\' + name; }

QString FRestore::CsvOf(const QString& dir, const QString& name) const {
  return SetFolderOf(dir) + u'\\' + name + QStringLiteral(".csv");
}

namespace {
// "C:\dir\a.txt" → "Drive_C\dir\a.txt". The backup side writes the letter in upper case, and
// on a host that tells letter case apart the restore must look for exactly that name.
QString DriveFolderPath(const QString& path) {
  QString rest = path.mid(2);
  if (rest.size() > 1 && rest.endsWith(u'\\')) rest.chop(1);
  if (rest == u"\\") rest.clear();
  return QStringLiteral("Drive_") + path.left(1).toUpper() + rest;
}
}  // namespace

QString FRestore::SourceOf(const QString& path, const QString& alias, const QString& runFolder) const {
  if (alias.isEmpty()) return runFolder + u'\\' + DriveFolderPath(path);
  return runFolder + QStringLiteral("\\Alias\\") + alias;
}

QString FRestore::TargetOf(const QString& path) const {
  if (Position == 0) return path;
  return winpath::Join(WriteHDir, DriveFolderPath(path));
}

bool FRestore::IsRestorablePath(const QString& path, const QString& alias) {
  if (!winpath::IsSafeAbsolute(path)) return false;
  if (alias.isEmpty()) return true;
  return !alias.contains(u'\\') && !alias.contains(u'/') && !alias.contains(u':') && alias != u"." && alias != u"..";
}

// ---------------------------------------------------------------------------------------
// Preparation

bool FRestore::ChkUnlhaNeeded() {
  bool needed = false;
  for (int r = 1; r < Rows() && !needed; ++r) {
    needed = IsMarked(r) && SaveList[static_cast<size_t>(r)][SaveListEntry::CompType] == u"1";
  }
  if (!needed || m.ChkUnlha()) return true;
  m.Warn(Question::ArchiverMissing, Caption, QStringLiteral("UNLHA32がインストールされていません。") + CR +
                      QStringLiteral("インストールしてから実行してください。"));
  return false;
}

void FRestore::MkSaveNameList() {
  SaveNameList.clear();
  QSet<QString> seen;
  QString last;
  for (int r = 1; r < Rows() && !m.CancelFlag; ++r) {
    if (!IsMarked(r)) continue;
    const QString& name = SaveList[static_cast<size_t>(r)][SaveListEntry::SaveName];
    if (name.isEmpty() || name == last) continue;
    if (!seen.contains(name)) {
      seen.insert(name);
      SaveNameList.append(name);
    }
    last = name;
  }
}

void FRestore::MkSaveNameTable() {
  SaveNameTable.assign(1, {QStringLiteral("保存名"), QStringLiteral("ディレクトリ")});
  for (const QString& name : SaveNameList) {
    if (m.CancelFlag) break;
    SaveNameRow row{name, QString()};
    for (int h = 1; h < main.HisTable.Rows(); ++h) {
      if (main.HisTable.Cell(h, HistoryEntry::SaveName) == name) {
        row.dir = main.HisTable.Cell(h, HistoryEntry::SaveDir);
        break;
      }
    }
    SaveNameTable.push_back(row);
  }
}

// A listing line can say anything; a path that is not absolute on a drive, or that climbs
// with "..", would make the restore write outside its target. Such rows are never restored.
void FRestore::RejectUnsafeEntries() {
  for (int r = 1; r < Rows(); ++r) {
    if (!IsMarked(r)) continue;
    const SaveListEntry& e = SaveList[static_cast<size_t>(r)];
    if (IsRestorablePath(e[SaveListEntry::Path], e[SaveListEntry::Alias])) continue;
    SetMark(r, rmark::Failed);
    m.WriteDebugPath(4040, "RejectUnsafeEntries", e[SaveListEntry::Path], e[SaveListEntry::Alias]);
    m.WriteLog(QStringLiteral("復元しません(不正なパス)"), e[SaveListEntry::Path]);
  }
}

RestoreOutcome FRestore::PrepareRestore() {
  m.WriteDebug(4030, "PrepareRestore");
  clock.Start();
  if (!ChkUnlhaNeeded()) return RestoreOutcome::NotStarted;
  Status = QStringLiteral("保存名のリストを作成しています。");
  RejectUnsafeEntries();
  MkSaveNameList();
  MkSaveNameTable();
  for (int c : {cell::RestoredFiles, cell::RestoredFolders, cell::RestoredKB})
    RestoreListInfo[static_cast<size_t>(c)] = QStringLiteral("0");
  return ExecRestore() ? RestoreOutcome::Finished : RestoreOutcome::Stopped;
}

RestoreOutcome FRestore::OK_Click() {
  closeAllowed = false;
  const RestoreOutcome outcome = PrepareRestore();
  if (outcome == RestoreOutcome::NotStarted) {
    closeAllowed = true;
    return outcome;
  }
  if (outcome == RestoreOutcome::Finished) CancelCaption = QStringLiteral("閉じる");
  closeAllowed = true;
  okEnabled = false;
  notYetRun = false;
  m.BeepDefault();
  return outcome;
}

// ---------------------------------------------------------------------------------------
// The run

int FRestore::CountReserved() const {
  int n = 0;
  for (int r = 1; r < Rows(); ++r) {
    if (IsMarked(r)) ++n;
  }
  return n;
}

void FRestore::ApplyDeferredFolderAttributes() {
  // Innermost first, so that no folder is closed before the ones below it.
  for (auto it = deferredFolders_.rbegin(); it != deferredFolders_.rend(); ++it) SetAttrFromText(it->first, it->second);
  deferredFolders_.clear();
}

bool FRestore::ExecRestore() {
  m.WriteDebug(4031, "ExecRestore");
  if (!clock.IsStarted()) clock.Start();
  RejectUnsafeEntries();
  markedKB = CellNumber(cell::MarkedKB);
  restoredKB = 0;
  processText = QStringLiteral("復元を実行中");
  subText.clear();
  currentPath.clear();
  stage = rstage::Restore;
  Status = processText;
  bool ignoreErrors = false;

  for (size_t i = 1; i < SaveNameTable.size(); ++i) {
    m.DoEvents();
    if (m.CancelFlag) {
      ApplyDeferredFolderAttributes();
      return false;
    }
    if (!RestoreFromSaveName(static_cast<int>(i), ignoreErrors)) {
      Status = processText + QStringLiteral("  ...... 中止されました");
      stage = rstage::Idle;
      ApplyDeferredFolderAttributes();
      return false;
    }
  }

  const int left = CountReserved();
  if (left >= 1) {
    const Answer a = m.ui.MsgBox(Question::SearchOlderRuns, Caption,
                                 QStringLiteral("保存履歴か保存データが壊れているため") + QString::number(left) +
                                     QStringLiteral("個復元できませんでした。") + QStringLiteral("\r\n") +
                                     QStringLiteral("別の保存データーを使用して復元しますか？") +
                                     QStringLiteral("\r\n") + QStringLiteral("(新しいデーターから順番に探します)"),
                                 Buttons::YesNo, Icon::Exclamation);
    if (a == Answer::Yes) {
      stage = rstage::Search;
      RestoreFromOtherSaves(ignoreErrors);
    }
  }
  ApplyDeferredFolderAttributes();

  int failed = 0;
  for (int r = 1; r < Rows(); ++r) {
    if (r % 50 == 0) m.DoEvents();
    if (m.CancelFlag) return false;
    if (SaveList[static_cast<size_t>(r)][SaveListEntry::RestoreFlag] == rmark::Failed) ++failed;
  }
  QString result = processText + QStringLiteral("  ...... 終了");
  if (failed >= 1) result += CR + QStringLiteral("        ") + QString::number(failed) + QStringLiteral(" 個復元できませんでした");
  if (minimized) windowCaption = Caption + QStringLiteral(" 終了");
  Status = result;
  stage = rstage::Idle;
  return true;
}

bool FRestore::RestoreFromSaveName(int index, bool& ignoreErrors) {
  const QString name = SaveNameTable[static_cast<size_t>(index)].name;
  const QString dir = SaveNameTable[static_cast<size_t>(index)].dir;
  m.WriteDebugPath(4032, "RestoreFromSaveName", index, name, dir);
  QString drive = dir.left(3);
  subText = QStringLiteral("  (") + name + u')';
  currentPath.clear();
  Status = processText + subText;
  bool ignoreMedium = false;
  QString volName, volSerial;
  if (!m.ReadDriveInfo(drive, volName, volSerial)) return false;

  int checks = 0;
  for (int r = 1; r < Rows(); ++r) {
    if (m.CancelFlag) return false;
    if (++checks % 50 == 0) m.DoEvents();
    if (!IsMarked(r) || SaveList[static_cast<size_t>(r)][SaveListEntry::SaveName] != name) continue;
    for (;;) {
      const SaveListEntry& e = SaveList[static_cast<size_t>(r)];
      if ((e[SaveListEntry::VolName] == volName && e[SaveListEntry::VolSerial] == volSerial) || ignoreMedium) {
        bool ok = RestoreEntry(r, name, dir);
        if (!ok && dir != m.set.SaveDir) ok = RestoreEntry(r, name, m.set.SaveDir);
        if (ok) {
          SetMark(r, rmark::Restored);
          RestoreList[static_cast<size_t>(r - 1)].checked = false;
          break;
        }
        if (ignoreErrors) {
          SetMark(r, rmark::Failed);
          break;
        }
        const Answer a = m.Warn(Question::CannotRestore, Caption, name + CR + e[SaveListEntry::Path] + CR + CR + kNotRestorable,
                                Buttons::AbortRetryIgnore);
        if (a == Answer::Abort) {
          SetMark(r, rmark::Failed);
          return false;
        }
        if (a == Answer::Retry) {
          if (!m.ReadDriveInfo(drive, volName, volSerial)) return false;
          continue;
        }
        SetMark(r, rmark::Failed);
        ignoreErrors = true;
        break;
      }
      const Answer a = m.Warn(Question::SwapMedium, Caption, drive + CR + QStringLiteral("メディアを入れ替えてください") + CR +
                                           QStringLiteral("ボリューム名") + e[SaveListEntry::VolName] + CR +
                                           QStringLiteral("シリアル番号") + e[SaveListEntry::VolSerial],
                              Buttons::AbortRetryIgnore);
      if (a == Answer::Abort) return false;
      if (a == Answer::Ignore) ignoreMedium = true;
      if (!m.ReadDriveInfo(drive, volName, volSerial)) return false;
    }
  }
  return true;
}

bool FRestore::RestoreFromOtherSaves(bool& ignoreErrors) {
  m.WriteDebug(4033, "RestoreFromOtherSaves");
  int start = 0;
  for (int h = 1; h < main.HisTable.Rows() && start == 0; ++h) {
    if (main.HisTable.Cell(h, HistoryEntry::SaveName) == RestoreSaveName) start = h;
  }
  if (start == 0) {
    m.Warn(Question::SaveNotInHistory, Caption, RestoreSaveName + CR + QStringLiteral("ヒストリテーブルにありません。"));
    return false;
  }
  const QString incomplete = RestoreSaveName + CR + QStringLiteral("この保存履歴では完全に復元できませんでした。");
  for (int h = start; h < main.HisTable.Rows(); ++h) {
    if (m.CancelFlag) return false;
    QString dir = main.HisTable.Cell(h, HistoryEntry::SaveDir).trimmed();
    if (dir.isEmpty()) dir = m.set.SaveDir;
    const QString name = main.HisTable.Cell(h, HistoryEntry::SaveName);
    subText = QStringLiteral("  (") + name + u')';
    currentPath.clear();
    lineCounter = 0;
    if (!RestoreFromSaveCsv(name, dir, ignoreErrors)) {
      m.Warn(Question::RestoreIncomplete, Caption, incomplete);
      return false;
    }
    if (CountReserved() == 0) return true;
  }
  m.Warn(Question::RestoreIncomplete, Caption, incomplete);
  return false;
}

bool FRestore::RestoreFromSaveCsv(const QString& name, const QString& dir, bool& ignoreErrors) {
  const QString path = CsvOf(dir, name);
  m.WriteDebugPath(4034, "RestoreFromSaveCsv", name, dir, path);
  std::optional<QStringList> lines;
  for (;;) {
    lines = m.ReadTextFile(path);
    if (lines) break;
    const Answer a = m.Warn(Question::OlderListingMissing, Caption, path + CR + QStringLiteral("ファイルがありません"), Buttons::AbortRetryIgnore);
    if (a == Answer::Abort) return false;
    if (a == Answer::Ignore) return true;
  }
  int pos = 1;
  bool nothingLeft = false;
  lineCounter = 0;
  for (const QString& line : *lines) {
    if (nothingLeft) break;
    if (lineCounter % 50 == 0) m.DoEvents();
    if (m.CancelFlag) return false;
    ++lineCounter;
    SaveListEntry e;
    if (!ParseListingLine(line, e)) {
      const Answer a = m.Warn(Question::MalformedListingLine, Caption,
                              QStringLiteral("CSVファイルの内容がおかしいです。") + CR + u'[' + line + u']' + CR +
                                  QStringLiteral("続行しますか？"),
                              Buttons::YesNo);
      if (a == Answer::No) return false;
      continue;
    }
    if (e[SaveListEntry::Flag] != u"3") continue;
    if (!FindReservedEntry(e[SaveListEntry::Path], pos, nothingLeft)) continue;
    const int r = pos;
    // The copy in this run folder is stored as this run's line says, which may differ from
    // the row's (another alias number, packed or not).
    const StoredForm form{e[SaveListEntry::CompType], e[SaveListEntry::Alias]};
    if (!IsRestorablePath(SaveList[static_cast<size_t>(r)][SaveListEntry::Path], form.alias)) {
      SetMark(r, rmark::Failed);
      m.WriteLog(QStringLiteral("復元しません(不正なパス)"), SaveList[static_cast<size_t>(r)][SaveListEntry::Path]);
      continue;
    }
    for (;;) {
      if (RestoreEntryAs(r, name, dir, form)) {
        SetMark(r, rmark::Restored);
        RestoreList[static_cast<size_t>(r - 1)].checked = false;
        break;
      }
      if (ignoreErrors) {
        SetMark(r, rmark::Failed);
        break;
      }
      const Answer a = m.Warn(Question::CannotRestore, Caption, name + CR + SaveList[static_cast<size_t>(r)][SaveListEntry::Path] + CR + CR +
                                           kNotRestorable,
                              Buttons::AbortRetryIgnore);
      if (a == Answer::Retry) continue;
      SetMark(r, rmark::Failed);
      if (a == Answer::Abort) return false;
      ignoreErrors = true;
      break;
    }
  }
  return true;
}

void FRestore::BuildPathIndex() {
  pathIndex_.clear();
  pathIndex_.reserve(Rows());
  for (int r = 1; r < Rows(); ++r) pathIndex_[SaveList[static_cast<size_t>(r)][SaveListEntry::Path]].push_back(r);
  pathIndexBuilt_ = true;
}

// The row of the path, looked for circularly from pos, as a listing in the table's own order
// finds each entry at once. The index gives the same row the walk would meet first, without
// walking past the rows of other paths.
bool FRestore::FindReservedEntry(const QString& path, int& pos, bool& nothingLeft) {
  if (!pathIndexBuilt_) BuildPathIndex();
  nothingLeft = true;
  const auto it = pathIndex_.constFind(path);
  if (it == pathIndex_.constEnd() || it->empty()) {
    // A full circle would have met no match; it meets a marked row when there is one.
    nothingLeft = reservedCount_ <= 0;
    return false;
  }
  int row = it->front();
  for (int candidate : *it) {
    if (candidate >= pos) {
      row = candidate;
      break;
    }
  }
  pos = row;
  nothingLeft = false;
  return IsMarked(row);
}

// ---------------------------------------------------------------------------------------
// One entry

bool FRestore::RestoreEntry(int row, const QString& name, const QString& dir) {
  const SaveListEntry& e = SaveList[static_cast<size_t>(row)];
  return RestoreEntryAs(row, name, dir, StoredForm{e[SaveListEntry::CompType], e[SaveListEntry::Alias]});
}

bool FRestore::RestoreEntryAs(int row, const QString& name, const QString& dir, const StoredForm& form) {
  const SaveListEntry& e = SaveList[static_cast<size_t>(row)];
  const QString& path = e[SaveListEntry::Path];
  currentPath = path;
  m.currentItem = path;
  m.DoEvents();
  if (!IsRestorablePath(path, form.alias)) return false;
  const QString source = SourceOf(path, form.alias, RunFolderOf(dir, name));
  const QString target = TargetOf(path);
  m.WriteDebugPath(4035, "RestoreEntry", row, name, dir, source, target);
  const QString& attrText = e[SaveListEntry::Attributes];

  if (e.IsDirectory()) {
    if (!winpath::IsDriveRoot(target) && !m.MakeDirPath(target)) return false;
    // A read-only folder would refuse what is restored into it afterwards: its own bit is
    // set once the run is over.
    if (attrText.size() >= 5 && attrText[0] != u'-') {
      if (!SetAttrFromText(target, u'-' + attrText.mid(1))) return false;
      deferredFolders_.emplace_back(target, attrText);
    } else if (!SetAttrFromText(target, attrText)) {
      return false;
    }
    AddToCell(cell::RestoredFolders, 1);
  } else {
    QString targetDir, targetName;
    if (!SplitPath(target, targetDir, targetName)) return false;
    if (!m.MakeDirPath(targetDir)) return false;
    if (form.compType == u"1") {
      if (!ExtractLha(source, target)) return false;
    } else if (!m.fs.CopyFile(source, target)) {
      // A read-only (or, on Windows, hidden or system) file in the way, or a folder that
      // went: the attributes are reset and the folder made, and the copy tried once more.
      if (!m.fs.FileLen(source)) return false;  // nothing to copy from: the target stays as it is
      if (!m.MakeDirPath(targetDir)) return false;
      m.fs.SetAttr(target, attr::Normal);
      if (!m.fs.CopyFile(source, target)) {
        m.fs.Kill(target);  // a partial copy is no restored file
        return false;
      }
    }
    if (!SetAttrFromText(target, attrText)) return false;
    AddToCell(cell::RestoredFiles, 1);
  }
  AddToCell(cell::RestoredKB, KbOfSize(e[SaveListEntry::Size]));
  restoredKB = CellNumber(cell::RestoredKB);
  return true;
}

bool FRestore::ExtractLha(const QString& source, const QString& target) {
  const QString archive = source + QStringLiteral(".LZH");
  m.WriteDebugPath(4036, "ExtractLha", archive, target);
  if (!m.fs.Open(archive, QIODevice::ReadOnly)) return false;
  QString targetDir, targetName;
  if (!SplitPath(target, targetDir, targetName)) return false;
  // The archiver resolves the bare target name against the current directory.
  if (!m.fs.SetCurrentDir(targetDir)) return false;
  m.fs.SetAttr(target, attr::Normal);
  if (!m.archiver) return false;
  const auto hostArchive = m.fs.HostPath(archive);
  if (!hostArchive) return false;
  const QString command = QStringLiteral("e -n -a1 -jss -jyko -f1 -c1 -m1 -gm1 ") + u'"' + *hostArchive + u'"' + u' ' +
                          u'"' + targetName + u'"';
  return m.archiver->Unlha(command, 1024) == 0;
}

bool FRestore::SetAttrFromText(const QString& path, const QString& text) {
  uint32_t a = 0;
  if (text.size() >= 5) {
    if (text[0] != u'-') a |= attr::ReadOnly;
    if (text[1] != u'-') a |= attr::System;
    if (text[2] != u'-') a |= attr::Hidden;
    if (text[3] != u'-') a |= attr::Archive;
    if (text[4] != u'-') a |= attr::Directory;
  }
  if (a == 0) a = attr::Normal;
  return m.fs.SetAttr(path, a);
}

}  // namespace qarno
