// The restore run: every marked entry is copied or unpacked from the run folder that holds
// it, then, when the user agrees, what is left is searched for in the listings of the chosen
// run and the older ones.
#include "restore/FRestore.h"

#include "common/Attributes.h"
#include "platform/WinPath.h"
#include "records/ListingLine.h"
#include "records/SaveLayout.h"

#include <QSet>

namespace qarno {

namespace {
const QChar CR = u'\r';
const QString kNotRestorable = QStringLiteral("復元できません。");
}  // namespace

// ---------------------------------------------------------------------------------------
// Paths

QString FRestore::SourceOf(const QString& path, const QString& alias, const QString& runFolder) const {
  return CopyPathIn(runFolder, path, alias);
}

QString FRestore::TargetOf(const QString& path) const {
  if (s_.Position == 0) return path;
  return winpath::Join(s_.WriteHDir, DriveFolderPath(path));
}

bool FRestore::IsRestorablePath(const QString& path, const QString& alias) {
  return winpath::IsSafeAbsolute(path) && (alias.isEmpty() || IsAliasText(alias));
}

// ---------------------------------------------------------------------------------------
// Preparation

bool FRestore::ChkUnlhaNeeded() {
  bool needed = false;
  for (int r = 1; r < table_.Rows() && !needed; ++r) {
    needed = table_.IsMarked(r) && table_[r][SaveListEntry::CompType] == comp::Lha;
  }
  if (!needed || m.ChkUnlha()) return true;
  m.Warn(Question::ArchiverMissing, s_.Caption,
         QStringLiteral("UNLHA32がインストールされていません。") + CR + QStringLiteral("インストールしてから実行してください。"));
  return false;
}

void FRestore::MkSaveNameList() {
  saveNameList_.clear();
  QSet<QString> seen;
  QString last;
  for (int r = 1; r < table_.Rows() && !m.CancelFlag; ++r) {
    if (!table_.IsMarked(r)) continue;
    const QString& name = table_[r][SaveListEntry::SaveName];
    if (name.isEmpty() || name == last) continue;
    if (!seen.contains(name)) {
      seen.insert(name);
      saveNameList_.append(name);
    }
    last = name;
  }
}

void FRestore::MkSaveNameTable() {
  saveNames_.assign(1, {QStringLiteral("保存名"), QStringLiteral("ディレクトリ")});
  for (const QString& name : saveNameList_) {
    if (m.CancelFlag) break;
    SaveNameRow row{name, QString()};
    for (int h = 1; h < history_.Rows(); ++h) {
      if (history_.Cell(h, HistoryEntry::SaveName) == name) {
        row.dir = history_.Cell(h, HistoryEntry::SaveDir);
        break;
      }
    }
    saveNames_.push_back(row);
  }
}

// A listing line can say anything; a path that is not absolute on a drive, or that climbs
// with "..", would make the restore write outside its target. Such rows are never restored.
void FRestore::RejectUnsafeEntries() {
  for (int r = 1; r < table_.Rows(); ++r) {
    if (!table_.IsMarked(r)) continue;
    const SaveListEntry& e = table_[r];
    if (IsRestorablePath(e[SaveListEntry::Path], e[SaveListEntry::Alias])) continue;
    table_.SetOutcome(r, rmark::Failed);
    m.WriteDebugPath(4040, "RejectUnsafeEntries", e[SaveListEntry::Path], e[SaveListEntry::Alias]);
    m.WriteLog(QStringLiteral("復元しません(不正なパス)"), e[SaveListEntry::Path]);
  }
}

RestoreOutcome FRestore::PrepareRestore() {
  m.WriteDebug(4030, "PrepareRestore");
  clock_.Start();
  // Under a top directory, nothing below it is reached through a link the restore did not
  // make; in place, the last component of each target is never followed either way.
  m.fs.SetWriteAnchor(s_.Position == 1 ? s_.WriteHDir : QString());
  if (!ChkUnlhaNeeded()) return RestoreOutcome::NotStarted;
  s_.Status = QStringLiteral("保存名のリストを作成しています。");
  RejectUnsafeEntries();
  MkSaveNameList();
  MkSaveNameTable();
  table_.StartRestoredCount();
  return ExecRestore() ? RestoreOutcome::Finished : RestoreOutcome::Stopped;
}

RestoreOutcome FRestore::OK_Click() {
  s_.closeAllowed = false;
  const RestoreOutcome outcome = PrepareRestore();
  clock_.Stop();
  m.fs.SetWriteAnchor(QString());
  if (outcome == RestoreOutcome::NotStarted) {
    s_.closeAllowed = true;
    return outcome;
  }
  if (outcome == RestoreOutcome::Finished) s_.CancelCaption = QStringLiteral("閉じる");
  s_.closeAllowed = true;
  s_.notYetRun = false;
  UpdateOkButton();
  m.BeepDefault();
  return outcome;
}

// ---------------------------------------------------------------------------------------
// The run

void FRestore::ApplyDeferredFolderAttributes() {
  // Innermost first, so that no folder is closed before the ones below it.
  for (auto it = deferredFolders_.rbegin(); it != deferredFolders_.rend(); ++it) SetAttrFromText(it->first, it->second);
  deferredFolders_.clear();
}

void FRestore::Finish(int row, bool restored) { table_.SetOutcome(row, restored ? rmark::Restored : rmark::Failed); }

bool FRestore::ExecRestore() {
  m.WriteDebug(4031, "ExecRestore");
  if (!clock_.IsStarted()) clock_.Start();
  RejectUnsafeEntries();
  s_.markedKB = table_.Marked().kb;
  s_.restoredKB = 0;
  s_.processText = QStringLiteral("復元を実行中");
  s_.subText.clear();
  s_.currentPath.clear();
  s_.stage = rstage::Restore;
  s_.Status = s_.processText;
  bool ignoreErrors = false;

  for (size_t i = 1; i < saveNames_.size(); ++i) {
    m.DoEvents();
    if (m.CancelFlag) {
      ApplyDeferredFolderAttributes();
      return false;
    }
    if (!RestoreFromSaveName(static_cast<int>(i), ignoreErrors)) {
      s_.Status = s_.processText + QStringLiteral("  ...... 中止されました");
      s_.stage = rstage::Idle;
      ApplyDeferredFolderAttributes();
      return false;
    }
  }

  const int left = table_.ReservedCount();
  if (left >= 1) {
    const Answer a = m.ui.MsgBox(Question::SearchOlderRuns, s_.Caption,
                                 QStringLiteral("保存履歴か保存データが壊れているため") + QString::number(left) +
                                     QStringLiteral("個復元できませんでした。") + QStringLiteral("\r\n") +
                                     QStringLiteral("別の保存データーを使用して復元しますか？") +
                                     QStringLiteral("\r\n") + QStringLiteral("(新しいデーターから順番に探します)"),
                                 Buttons::YesNo, Icon::Exclamation);
    if (a == Answer::Yes) {
      s_.stage = rstage::Search;
      RestoreFromOtherSaves(ignoreErrors);
    }
  }
  ApplyDeferredFolderAttributes();

  int failed = 0;
  for (int r = 1; r < table_.Rows(); ++r) {
    if (r % 50 == 0) m.DoEvents();
    if (m.CancelFlag) return false;
    if (table_.Mark(r) == rmark::Failed) ++failed;
  }
  QString result = s_.processText + QStringLiteral("  ...... 終了");
  if (failed >= 1) result += CR + QStringLiteral("        ") + QString::number(failed) + QStringLiteral(" 個復元できませんでした");
  s_.Status = result;
  s_.stage = rstage::Idle;
  return true;
}

bool FRestore::RestoreFromSaveName(int index, bool& ignoreErrors) {
  const QString name = saveNames_[static_cast<size_t>(index)].name;
  const QString dir = saveNames_[static_cast<size_t>(index)].dir;
  m.WriteDebugPath(4032, "RestoreFromSaveName", index, name, dir);
  QString drive = dir.left(3);
  s_.subText = QStringLiteral("  (") + name + u')';
  s_.currentPath.clear();
  s_.Status = s_.processText + s_.subText;
  bool ignoreMedium = false;
  QString volName, volSerial;
  if (!m.ReadDriveInfo(drive, volName, volSerial)) return false;

  int checks = 0;
  for (int r = 1; r < table_.Rows(); ++r) {
    if (m.CancelFlag) return false;
    if (++checks % 50 == 0) m.DoEvents();
    if (!table_.IsMarked(r) || table_[r][SaveListEntry::SaveName] != name) continue;
    for (;;) {
      const SaveListEntry& e = table_[r];
      if ((e[SaveListEntry::VolName] == volName && e[SaveListEntry::VolSerial] == volSerial) || ignoreMedium) {
        bool ok = RestoreEntry(r, name, dir);
        if (!ok && dir != m.set.SaveDir) ok = RestoreEntry(r, name, m.set.SaveDir);
        if (ok) {
          Finish(r, true);
          break;
        }
        if (ignoreErrors) {
          Finish(r, false);
          break;
        }
        const Answer a = m.Warn(Question::CannotRestore, s_.Caption,
                                name + CR + e[SaveListEntry::Path] + CR + CR + kNotRestorable, Buttons::AbortRetryIgnore);
        if (a == Answer::Abort) {
          Finish(r, false);
          return false;
        }
        if (a == Answer::Retry) {
          if (!m.ReadDriveInfo(drive, volName, volSerial)) return false;
          continue;
        }
        Finish(r, false);
        ignoreErrors = true;
        break;
      }
      const Answer a = m.Warn(Question::SwapMedium, s_.Caption,
                              drive + CR + QStringLiteral("メディアを入れ替えてください") + CR +
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
  for (int h = 1; h < history_.Rows() && start == 0; ++h) {
    if (history_.Cell(h, HistoryEntry::SaveName) == s_.RestoreSaveName) start = h;
  }
  if (start == 0) {
    m.Warn(Question::SaveNotInHistory, s_.Caption, s_.RestoreSaveName + CR + QStringLiteral("ヒストリテーブルにありません。"));
    return false;
  }
  const QString incomplete = s_.RestoreSaveName + CR + QStringLiteral("この保存履歴では完全に復元できませんでした。");
  for (int h = start; h < history_.Rows(); ++h) {
    if (m.CancelFlag) return false;
    QString dir = history_.Cell(h, HistoryEntry::SaveDir).trimmed();
    if (dir.isEmpty()) dir = m.set.SaveDir;
    const QString name = history_.Cell(h, HistoryEntry::SaveName);
    s_.subText = QStringLiteral("  (") + name + u')';
    s_.currentPath.clear();
    s_.lineCounter = 0;
    if (!RestoreFromSaveCsv(name, dir, ignoreErrors)) {
      m.Warn(Question::RestoreIncomplete, s_.Caption, incomplete);
      return false;
    }
    if (table_.ReservedCount() == 0) return true;
  }
  m.Warn(Question::RestoreIncomplete, s_.Caption, incomplete);
  return false;
}

bool FRestore::RestoreFromSaveCsv(const QString& name, const QString& dir, bool& ignoreErrors) {
  const QString path = RunPaths::Of(dir, s_.SetName, name).SaveCsvFile;
  m.WriteDebugPath(4034, "RestoreFromSaveCsv", name, dir, path);
  std::optional<QStringList> lines;
  for (;;) {
    lines = m.ReadTextFile(path);
    if (lines) break;
    const Answer a = m.Warn(Question::OlderListingMissing, s_.Caption, path + CR + QStringLiteral("ファイルがありません"),
                            Buttons::AbortRetryIgnore);
    if (a == Answer::Abort) return false;
    if (a == Answer::Ignore) return true;
  }
  int pos = 1;
  bool nothingLeft = false;
  s_.lineCounter = 0;
  for (const QString& line : *lines) {
    if (nothingLeft) break;
    if (s_.lineCounter % 50 == 0) m.DoEvents();
    if (m.CancelFlag) return false;
    ++s_.lineCounter;
    const ListingFields fields = SplitListingLine(line);
    if (!fields.WellFormed()) {
      const Answer a = m.Warn(Question::MalformedListingLine, s_.Caption,
                              QStringLiteral("CSVファイルの内容がおかしいです。") + CR + u'[' + line + u']' + CR +
                                  QStringLiteral("続行しますか？"),
                              Buttons::YesNo);
      if (a == Answer::No) return false;
      continue;
    }
    if (fields[SaveListEntry::Flag] != flag::Copied) continue;
    if (!FindReservedEntry(fields[SaveListEntry::Path].toString(), pos, nothingLeft)) continue;
    const int r = pos;
    // The copy in this run folder is stored as this run's line says, which may differ from
    // the row's (another alias number, packed or not).
    const StoredForm form{fields[SaveListEntry::CompType].toString(), fields[SaveListEntry::Alias].toString()};
    if (!IsRestorablePath(table_[r][SaveListEntry::Path], form.alias)) {
      Finish(r, false);
      m.WriteLog(QStringLiteral("復元しません(不正なパス)"), table_[r][SaveListEntry::Path]);
      continue;
    }
    for (;;) {
      if (RestoreEntryAs(r, name, dir, form)) {
        Finish(r, true);
        break;
      }
      if (ignoreErrors) {
        Finish(r, false);
        break;
      }
      const Answer a = m.Warn(Question::CannotRestore, s_.Caption,
                              name + CR + table_[r][SaveListEntry::Path] + CR + CR + kNotRestorable,
                              Buttons::AbortRetryIgnore);
      if (a == Answer::Retry) continue;
      Finish(r, false);
      if (a == Answer::Abort) return false;
      ignoreErrors = true;
      break;
    }
  }
  return true;
}

// The row of the path, looked for circularly from pos, as a listing in the table's own order
// finds each entry at once. The index gives the same row the walk would meet first, without
// walking past the rows of other paths.
bool FRestore::FindReservedEntry(const QString& path, int& pos, bool& nothingLeft) {
  if (!table_.FindRow(path, pos)) {
    // A full circle would have met no match; it meets a marked row when there is one.
    nothingLeft = table_.ReservedCount() <= 0;
    return false;
  }
  nothingLeft = false;
  return table_.IsMarked(pos);
}

// ---------------------------------------------------------------------------------------
// One entry

bool FRestore::RestoreEntry(int row, const QString& name, const QString& dir) {
  const SaveListEntry& e = table_[row];
  return RestoreEntryAs(row, name, dir, StoredForm{e[SaveListEntry::CompType], e[SaveListEntry::Alias]});
}

bool FRestore::RestoreEntryAs(int row, const QString& name, const QString& dir, const StoredForm& form) {
  const SaveListEntry& e = table_[row];
  const QString& path = e[SaveListEntry::Path];
  s_.currentPath = path;
  m.currentItem = path;
  m.DoEvents();
  if (!IsRestorablePath(path, form.alias)) return false;
  const QString source = SourceOf(path, form.alias, RunPaths::Of(dir, s_.SetName, name).SaveSetDir);
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
  } else {
    QString targetDir, targetName;
    if (!SplitPath(target, targetDir, targetName)) return false;
    if (!m.MakeDirPath(targetDir)) return false;
    if (form.compType == comp::Lha) {
      if (!ExtractLha(source, target)) return false;
    } else {
      const CopyResult copied = m.fs.Copy(source, target);
      if (!copied) {
        // Nothing to copy from (or the source is no file): the target stays as it is.
        if (copied.sourceFailed) return false;
        // A read-only (or, on Windows, hidden or system) file in the way, or a folder that
        // went: the attributes are reset and the folder made, and the copy tried once more.
        // A failed copy never touches the target itself.
        if (!m.MakeDirPath(targetDir)) return false;
        m.fs.SetAttr(target, attr::Normal);
        if (!m.fs.CopyFile(source, target)) return false;
      }
    }
    if (!SetAttrFromText(target, attrText)) return false;
  }
  table_.AddRestored(e);
  s_.restoredKB = table_.Restored().kb;
  return true;
}

bool FRestore::ExtractLha(const QString& source, const QString& target) {
  const QString archive = source + QStringLiteral(".LZH");
  m.WriteDebugPath(4036, "ExtractLha", archive, target);
  if (!m.fs.Open(archive, QIODevice::ReadOnly)) return false;
  m.fs.SetAttr(target, attr::Normal);
  if (!m.archiver) return false;
  const auto hostArchive = m.fs.HostPath(archive);
  const auto hostTarget = m.fs.HostPath(target);
  if (!hostArchive || !hostTarget) return false;
  const QString command = QStringLiteral("e -n -a1 -jss -jyko -f1 -c1 -m1 -gm1 ") + u'"' + *hostArchive + u'"' + u' ' +
                          u'"' + *hostTarget + u'"';
  return m.archiver->Unlha(command, 1024) == 0;
}

bool FRestore::SetAttrFromText(const QString& path, const QString& text) { return m.fs.SetAttr(path, AttrBits(text)).ok(); }

}  // namespace qarno
