// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/HistoryUpkeep.h"

#include "common/Utils.h"
#include "platform/WinPath.h"
#include "records/Pruning.h"

namespace qarno {

namespace {
QString Deleting() { return QCoreApplication::translate("HistoryDeletion", "データーの削除中"); }
QString Stopped() { return QCoreApplication::translate("HistoryDeletion", "... 中止されました。"); }
}  // namespace

std::optional<RunPaths> RunDataOf(Module1& m, const QString& saveDir, const QString& saveName) {
  return SafeRunPaths(m.fs, m.set.Name, saveDir, saveName);
}

HistoryDeletion::HistoryDeletion(Module1& m, const HistoryTable& mainTable) : table(mainTable), m_(m) {}

int HistoryDeletion::Remove(int current, int selectionEnd) {
  status.clear();
  if (current < 1 || selectionEnd < 1 || !table.HasData()) return -1;
  const int first = std::min(current, selectionEnd);
  const int last = std::min(std::max(current, selectionEnd), table.Rows() - 1);
  bool allRows = false, allData = false;
  for (int row = last; row >= first; --row) {
    if (row >= table.Rows()) continue;
    const QString name = table.Cell(row, HistoryEntry::SaveName);
    const QString dir = table.Cell(row, HistoryEntry::SaveDir);
    if (!allRows) {
      m_.BeepAsterisk();
      const DeleteAnswer a = agree(QCoreApplication::translate("HistoryDeletion", "保存名： %1　が履歴から削除されます！").arg(name));
      if (a == DeleteAnswer::No) continue;
      if (a == DeleteAnswer::Cancel) break;
      if (a == DeleteAnswer::DeleteAll) allRows = true;
    }
    if (table.Rows() == 2) {
      // The last run of the set goes: its log goes with it.
      table.Clear();
      m_.CloseLogFile();
      m_.fs.Kill(m_.LogFilePath());
    } else {
      table.RemoveRow(row);
    }
    changed = true;
    if (onTableChanged) onTableChanged();
    if (m_.settings.DelOption != 1) continue;
    if (!RunDataOf(m_, dir, name)) {
      WarnRefused(name);
      continue;
    }
    if (!allData) {
      m_.BeepAsterisk();
      const DeleteAnswer a = agree(QCoreApplication::translate("HistoryDeletion", "保存名： %1　の保存データが削除されます!").arg(name) + QStringLiteral("\r\r") +
                                   QCoreApplication::translate("HistoryDeletion", "よろしいですか？"));
      if (a == DeleteAnswer::No) continue;
      if (a == DeleteAnswer::Cancel) break;
      if (a == DeleteAnswer::DeleteAll) allData = true;
    }
    DeleteRunData(dir, name);
  }
  // A stopped data deletion stays on show; otherwise the command says it is done.
  if (!status.endsWith(Stopped())) status = QCoreApplication::translate("HistoryDeletion", "終了");
  if (!table.HasData()) return -1;
  return std::min(first - 1, table.Rows() - 1);
}

bool HistoryDeletion::DeleteRunData(const QString& saveDir, const QString& saveName) {
  const auto paths = RunDataOf(m_, saveDir, saveName);
  if (!paths) {
    WarnRefused(saveName);
    return false;
  }
  // Not while a run writes into the save or a restore reads it.
  std::unique_ptr<SetLock> hold;
  if (!m_.HoldSet(m_.set.Name, LockKind::Exclusive, title, hold)) return false;
  // The row leaves the history file before its data goes: a stop or a crash in between
  // leaves data without a row, which a prune finds and removes, never a row whose save is gone.
  const QString history = winpath::Join(m_.SetFolder, m_.set.Name + QStringLiteral(".qrl"));
  const bool written = table.HasData() ? bool(m_.WriteTextFile(history, FormatHistoryFile(table, m_.ProgramVersion)))
                                       : (m_.fs.Kill(history), !m_.fs.Exists(history));
  if (!written) {
    m_.Warn(Question::HistoryNotSaved, title, history + u'\r' + TrWords("HistoryDeletion", "保存できませんでした"));
    return false;
  }
  m_.currentItem.clear();
  status = Deleting();
  busy = true;
  m_.CancelFlag.Clear();
  if (onBusy) onBusy(true);
  // DeleteSaveData's two steps, on the paths checked above.
  m_.fs.Kill(paths->SaveCsvFile);
  m_.DeleteTree(paths->SaveSetDir);
  busy = false;
  status = Deleting() + (m_.CancelFlag ? Stopped() : QCoreApplication::translate("HistoryDeletion", "... 終了"));
  if (onBusy) onBusy(false);
  m_.CancelFlag.Clear();
  return true;
}

void HistoryDeletion::WarnRefused(const QString& saveName) {
  m_.Warn(Question::RunDataNotDeleted, title,
          (saveName.isEmpty() ? TrWords("HistoryDeletion", "（保存名なし）") : Words(saveName)) + u'\r' +
              TrWords("HistoryDeletion", "この保存データーはこのプログラムが作ったものと確認できないため、削除しませんでした。"));
}

QString HistoryDeletion::ProgressText() const { return busy ? Deleting() + u'\r' + m_.currentItem : status; }

void HistoryDeletion::CopyTo(HistoryTable& mainTable) {
  if (!changed) return;
  changed = false;
  mainTable = table;
  m_.HistoryModified = true;
}

PrunePreview PreviewPruning(const BackupSet& set, const HistoryTable& table, const QDateTime& now) {
  PrunePreview p;
  const KeepPolicy policy = KeepPolicy::Of(set);
  if (!policy.Active()) {
    p.text = QCoreApplication::translate("PruningPreview", "整理の方針が設定されていません（設定の「古い保存の整理」）。");
    return p;
  }
  const std::vector<RunChain> chains = ChainsToPrune(table, policy, now);
  p.rows = RowsOf(table, chains);
  if (p.rows.empty()) {
    p.text = QCoreApplication::translate("PruningPreview", "整理の方針で削除される保存はありません。");
    return p;
  }
  int64_t kb = 0;
  for (const RunChain& c : chains) kb += c.Kb();
  p.text = QCoreApplication::translate("PruningPreview", "整理の方針で削除される保存: %1 件（%2 系列、%3 KB）を選択しました。")
               .arg(p.rows.size())
               .arg(chains.size())
               .arg(kb);
  return p;
}

void SetHistoryComment(Module1& m, HistoryTable& table, int row, const QString& text) {
  if (row < 1 || row >= table.Rows()) return;
  table.SetCell(row, HistoryEntry::Comment, HistoryCommentText(text));
  m.HistoryModified = true;
}

}  // namespace qarno
