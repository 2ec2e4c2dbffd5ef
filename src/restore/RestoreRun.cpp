// SPDX-License-Identifier: GPL-3.0-or-later
// The restore run: every marked entry is copied or unpacked from the run folder that holds
// it, then, when the user agrees, what is left is searched for in the listings of the chosen
// run and the older ones.
#include "restore/FRestore.h"

#include "restore/RestoreWorkers.h"

#include "common/Attributes.h"
#include "platform/WinPath.h"
#include "records/ListingLine.h"
#include "records/SaveLayout.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSet>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <deque>

namespace qarno {

namespace {
const QChar CR = u'\r';
Words NotRestorable() { return TrWords("FRestore", "復元できません。"); }

// The size the listing gives, or -1 when it gives none that reads as a size.
int64_t ListedSize(const EntrySize& size) {
  return size.Readable() && size.Bytes() >= 0 ? size.Bytes() : -1;
}

// The listing's date ("yyyy/mm/dd hh:mm:ss", local time) is the copy's time. A FAT medium
// keeps even seconds only, and a FAT time read on the other side of a daylight-saving change
// moves by an hour: neither makes it another file.
// Local wall-clock seconds of a civil date and time, on one scale for both sides; the local
// time of the copy is taken with localtime_r, which (unlike a date parser's conversion) does
// not ask the system about the time zone again for every file.
int64_t WallSeconds(int64_t y, int64_t m, int64_t d, int64_t hh, int64_t mm, int64_t ss) {
  y -= m <= 2;  // days from the civil date, as in the proleptic Gregorian calendar
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return (era * 146097 + doe - 719468) * 86400 + hh * 3600 + mm * 60 + ss;
}

bool SameFileTime(const QString& listed, int64_t mtime) {
  const QString text = listed.trimmed();
  if (text.size() != 19 || text[4] != u'/' || text[7] != u'/' || text[10] != u' ' || text[13] != u':' || text[16] != u':')
    return false;
  int64_t part[6];
  const int at[6] = {0, 5, 8, 11, 14, 17}, width[6] = {4, 2, 2, 2, 2, 2};
  for (int i = 0; i < 6; ++i) {
    bool ok = false;
    part[i] = QStringView(text).mid(at[i], width[i]).toLongLong(&ok);
    if (!ok) return false;
  }
  const time_t t = static_cast<time_t>(mtime);
  struct tm tm {};
#ifdef _WIN32
  if (localtime_s(&tm, &t) != 0) return false;
#else
  if (!localtime_r(&t, &tm)) return false;
#endif
  const int64_t copy = WallSeconds(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  const int64_t apart = std::abs(copy - WallSeconds(part[0], part[1], part[2], part[3], part[4], part[5]));
  return apart <= 2 || std::abs(apart - 3600) <= 2;
}
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
  if (!winpath::IsSafeAbsolute(path) || !(alias.isEmpty() || IsAliasText(alias))) return false;
  // A NUL would end the host path early (the write would land on a folder above); CR and LF
  // are never part of a name a listing can carry.
  for (QChar c : path) {
    if (c == QChar(0) || c == u'\r' || c == u'\n') return false;
  }
#ifdef _WIN32
  // Windows drops trailing dots and blanks of a name, so ".. " or "..." would climb there.
  for (QStringView part : QStringView(path).sliced(3).split(u'\\')) {
    if (!part.isEmpty() && std::all_of(part.begin(), part.end(), [](QChar c) { return c == u'.' || c == u' '; }))
      return false;
  }
#endif
  return true;
}

bool FRestore::IsRestorableSaveName(const QString& name) { return name.isEmpty() || IsSaveName(name); }

QStringList FRestore::SaveAreas() const {
  QStringList dirs{req_.saveDir};
  for (int h = 1; h < history_.Rows(); ++h) dirs += history_.Cell(h, HistoryEntry::SaveDir).trimmed();
  QStringList areas;
  for (const QString& dir : dirs) {
    if (dir.isEmpty() || s_.SetName.isEmpty()) continue;
    QString area = SetFolderOn(dir, s_.SetName);
    while (area.size() > 3 && area.endsWith(u'\\')) area.chop(1);
    if (!areas.contains(area, Qt::CaseInsensitive)) areas += area;
  }
  return areas;
}

namespace {
// The path is the folder or lies below it; letter case aside, as on Windows.
bool IsAtOrBelow(const QString& path, const QString& folder) {
  QString p = path;
  while (p.size() > 3 && p.endsWith(u'\\')) p.chop(1);
  if (p.compare(folder, Qt::CaseInsensitive) == 0) return true;
  const QString prefix = folder.endsWith(u'\\') ? folder : folder + u'\\';
  return p.startsWith(prefix, Qt::CaseInsensitive);
}
}  // namespace

bool FRestore::InSaveArea(const QString& path) const {
  const QStringList areas = saveAreas_.isEmpty() ? SaveAreas() : saveAreas_;
  return std::any_of(areas.begin(), areas.end(), [&](const QString& area) { return IsAtOrBelow(path, area); });
}

TopDirProblem FRestore::CheckTopDir(const QString& topDir) const {
  if (!winpath::IsSafeAbsolute(topDir)) return TopDirProblem::NotOnDrive;
  return InSaveArea(topDir) ? TopDirProblem::AmongSaves : TopDirProblem::None;
}

Words TopDirProblemText(TopDirProblem problem) {
  switch (problem) {
    case TopDirProblem::None: break;
    case TopDirProblem::NotOnDrive: return TrWords("FRestore", "復元先のTOPディレクトリを選択してください。");
    case TopDirProblem::AmongSaves: return TrWords("FRestore", "復元先が保存データの中です。");
  }
  return Words();
}

QStringList FRestore::OwnAreas() const {
  QStringList areas;
  for (const QString& folder : {req_.programFolder, req_.setFolder, req_.settingsFolder}) {
    if (folder.isEmpty()) continue;
    if (const auto real = env_.fs.RealHostPath(folder); real && !areas.contains(*real)) areas += *real;
  }
  return areas;
}

bool FRestore::IsOwnFile(const QString& path) const {
  // The folder's real place decides: a file is written there by its name, and a link in its
  // place is replaced, never written through. Each folder is resolved and judged once per
  // restore (a resolution asks the system about every component of the path).
  QString folder, name;
  if (!SplitPath(path, folder, name)) return false;
  auto known = ownFolders_.constFind(folder);
  if (known == ownFolders_.constEnd()) known = ownFolders_.insert(folder, JudgeFolder(folder));
  if (known->inside) return true;
  // The folder holds one of the areas: the entry is own when it is that area.
  if (!known->holdsArea) return false;
#ifdef _WIN32
  return ownAreaSet_.contains((known->real + name).toLower());
#else
  return ownAreaSet_.contains(known->real + name);
#endif
}

FRestore::OwnFolder FRestore::JudgeFolder(const QString& folder) const {
#ifdef _WIN32
  const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
  const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
  if (ownAreas_.isEmpty()) {
    ownAreas_ = OwnAreas();
    ownAreaSet_.clear();
    for (const QString& area : ownAreas_) ownAreaSet_.insert(cs == Qt::CaseSensitive ? area : area.toLower());
  }
  OwnFolder judged;
  const auto real = env_.fs.RealHostPath(folder);
  if (!real) return judged;  // on no drive: nothing is written there either
  judged.real = real->endsWith(u'/') ? *real : *real + u'/';
  for (const QString& area : ownAreas_) {
    const QString areaSlash = area.endsWith(u'/') ? area : area + u'/';
    if (judged.real.startsWith(areaSlash, cs)) judged.inside = true;
    else if (areaSlash.startsWith(judged.real, cs) && !area.mid(judged.real.size()).contains(u'/')) judged.holdsArea = true;
  }
  if (cs == Qt::CaseInsensitive) judged.real = judged.real.toLower();
  return judged;
}

// In place, the folders the listing records were folders when they were saved (the scan
// never enters a link); one that is a link now was put there since, perhaps by someone who
// wants a privileged restore to write where they cannot. So every folder from the outermost
// recorded one that holds the entry (its save-list entry's own) down to the entry is entered
// without following a link; the folder holding that one is reached as the system reaches
// it. Under a top directory the walk starts at the top directory.
QString FRestore::WriteAnchorOf(const QString& path) {
  if (s_.Position == 1) return s_.WriteHDir;
  for (int n = 1;; ++n) {
    const QString prefix = GetPathPrefix(path, n);
    if (prefix.isEmpty()) break;
    int pos = 1;
    if (!table_.FindRow(prefix, pos) || !table_[pos].IsDirectory()) continue;
    QString parent, name;
    return winpath::IsDriveRoot(prefix) || !SplitPath(prefix, parent, name) ? prefix : parent;
  }
  return QString();  // nothing recorded above it: only the last component is guarded
}

// ---------------------------------------------------------------------------------------
// Preparation

bool FRestore::ChkUnlhaNeeded() {
  bool needed = false;
  for (int r = 1; r < table_.Rows() && !needed; ++r) {
    needed = table_.IsMarked(r) && table_[r].compType == CompType::Lha;
  }
  if (!needed || env_.ArchiverReady()) return true;
  env_.Warn(Question::ArchiverMissing, s_.Caption,
         TrWords("FRestore", "UNLHA32がインストールされていません。") + CR + TrWords("FRestore", "インストールしてから実行してください。"));
  return false;
}

void FRestore::MkSaveNameList() {
  saveNameList_.clear();
  QSet<QString> seen;
  QString last;
  for (int r = 1; r < table_.Rows() && !env_.cancel; ++r) {
    if (!table_.IsMarked(r)) continue;
    const QString& name = table_[r].saveName;
    if (name.isEmpty() || name == last) continue;
    if (!seen.contains(name)) {
      seen.insert(name);
      saveNameList_.append(name);
    }
    last = name;
  }
}

void FRestore::MkSaveNameTable() {
  saveNames_.assign(1, {QCoreApplication::translate("FRestore", "保存名"), QCoreApplication::translate("FRestore", "ディレクトリ")});
  for (const QString& name : saveNameList_) {
    if (env_.cancel) break;
    const int h = history_.RowOf(name);
    saveNames_.push_back(SaveNameRow{name, h > 0 ? history_.Cell(h, HistoryEntry::SaveDir) : QString()});
  }
}

void FRestore::Refuse(int row, const QString& why) {
  const SaveListEntry& e = table_[row];
  table_.SetOutcome(row, RestoreFlag::Failed);
  env_.WriteDebugPath(4040, "RejectUnsafeEntries", e.path, e.alias, e.saveName);
  env_.WriteLog(QStringLiteral("復元しません(") + why + u')', e.path);
}

// A listing line can say anything. A path that is not absolute on a drive, or that climbs
// with "..", would make the restore write outside its target; a save name that is not one
// of ours would make it read from any folder; a target among the saves themselves would
// overwrite the copies it reads. Such rows are never restored.
void FRestore::RejectUnsafeEntries() {
  for (int r = 1; r < table_.Rows(); ++r) {
    if (!table_.IsMarked(r)) continue;
    const SaveListEntry& e = table_[r];
    if (!IsRestorablePath(e.path, e.alias)) Refuse(r, QStringLiteral("不正なパス"));
    else if (!IsRestorableSaveName(e.saveName)) Refuse(r, QStringLiteral("不正な保存名"));
    else if (const QString target = TargetOf(e.path); InSaveArea(target))
      Refuse(r, QStringLiteral("保存データの中"));
    // Without a size there is no telling a whole copy from a cut one.
    else if (!e.IsDirectory() && ListedSize(e.size) < 0) Refuse(r, QStringLiteral("サイズが読めません"));
    else if (IsOwnFile(target)) {
      Refuse(r, QStringLiteral("Qarno 自身のファイル"));
      ownFileRows_.insert(r);
    }
  }
  s_.ownFilesSkipped = static_cast<int>(ownFileRows_.size());
}

RestoreOutcome FRestore::PrepareRestore() {
  env_.WriteDebug(4030, "PrepareRestore");
  clock_.Start();
  saveAreas_ = SaveAreas();
  mismatches_.clear();
  manifests_.clear();
  ownAreas_.clear();
  ownFolders_.clear();
  ownFileRows_.clear();
  madeFolders_.clear();
  cleared_.clear();
  written_.clear();
  if (!ChkUnlhaNeeded()) return RestoreOutcome::NotStarted;
  s_.Status = QCoreApplication::translate("FRestore", "保存名のリストを作成しています。");
  RejectUnsafeEntries();
  MkSaveNameList();
  MkSaveNameTable();
  table_.StartRestoredCount();
  return ExecRestore() ? RestoreOutcome::Finished : RestoreOutcome::Stopped;
}

RestoreOutcome FRestore::OK_Click() {
  s_.closeAllowed = false;
  // A run or a history change of the set waits until the restore is over (another restore
  // or a verify may go on beside it).
  std::unique_ptr<SetLock> hold;
  const RestoreOutcome outcome = HoldSet(env_, exclusiveHolds_, req_.holdWaitMs, req_.setFolder, s_.SetName, LockKind::Shared, s_.Caption, hold)
                                     ? PrepareRestore()
                                     : RestoreOutcome::NotStarted;
  hold.reset();
  clock_.Stop();
  env_.fs.SetWriteAnchor(QString());
  saveAreas_.clear();
  ownAreas_.clear();
  ownFolders_.clear();
  if (outcome == RestoreOutcome::NotStarted) {
    s_.closeAllowed = true;
    return outcome;
  }
  if (outcome == RestoreOutcome::Finished) s_.CancelCaption = QCoreApplication::translate("FRestore", "閉じる");
  s_.closeAllowed = true;
  s_.notYetRun = false;
  UpdateOkButton();
  env_.ui.Beep(BeepKind::Default);
  return outcome;
}

// ---------------------------------------------------------------------------------------
// The run

void FRestore::ApplyDeferredFolderAttributes() {
  // Innermost first, so that no folder is closed before the ones below it.
  for (auto it = deferredFolders_.rbegin(); it != deferredFolders_.rend(); ++it) {
    env_.fs.SetWriteAnchor(it->anchor);
    SetAttrFromText(it->target, it->attrText);
  }
  deferredFolders_.clear();
}

void FRestore::Finish(int row, bool restored) { table_.SetOutcome(row, restored ? RestoreFlag::Restored : RestoreFlag::Failed); }

bool FRestore::ExecRestore() {
  env_.WriteDebug(4031, "ExecRestore");
  if (!clock_.IsStarted()) clock_.Start();
  RejectUnsafeEntries();
  s_.markedKB = table_.Marked().kb;
  s_.restoredKB = 0;
  s_.processText = QCoreApplication::translate("FRestore", "復元を実行中");
  s_.subText.clear();
  s_.currentPath.clear();
  s_.stage = rstage::Restore;
  s_.Status = s_.processText;
  bool ignoreErrors = false;

  for (size_t i = 1; i < saveNames_.size(); ++i) {
    env_.DoEvents();
    if (env_.cancel) {
      ApplyDeferredFolderAttributes();
      return false;
    }
    if (!RestoreFromSaveName(static_cast<int>(i), ignoreErrors)) {
      s_.Status = s_.processText + QCoreApplication::translate("FRestore", "  ...... 中止されました");
      s_.stage = rstage::Idle;
      ApplyDeferredFolderAttributes();
      return false;
    }
  }

  const int left = table_.ReservedCount();
  if (left >= 1) {
    const Answer a = env_.ui.MsgBox(Question::SearchOlderRuns, s_.Caption,
                                 TrWords("FRestore", "保存履歴か保存データが壊れているため%n個復元できませんでした。", nullptr, left) +
                                     QStringLiteral("\r\n") + TrWords("FRestore", "別の保存データーを使用して復元しますか？") +
                                     QStringLiteral("\r\n") + TrWords("FRestore", "(新しいデーターから順番に探します)"),
                                 Buttons::YesNo, Icon::Exclamation);
    if (a == Answer::Yes) {
      s_.stage = rstage::Search;
      RestoreFromOtherSaves(ignoreErrors);
    }
  }
  ApplyDeferredFolderAttributes();

  int failed = 0;
  for (int r = 1; r < table_.Rows(); ++r) {
    if (r % 50 == 0) env_.DoEvents();
    if (env_.cancel) return false;
    if (table_.Mark(r) == RestoreFlag::Failed) ++failed;
  }
  QString result = s_.processText + QCoreApplication::translate("FRestore", "  ...... 終了");
  const QString indent(8, u' ');
  const int mismatched = static_cast<int>(mismatches_.size());
  if (failed >= 1) result += CR + indent + QCoreApplication::translate("FRestore", "%n 個復元できませんでした", nullptr, failed);
  if (!mismatches_.empty())
    result += CR + indent +
              QCoreApplication::translate("FRestore", "%n 個は保存時の一覧と一致しません（ログを見てください）", nullptr, mismatched);
  if (s_.ownFilesSkipped >= 1)
    result += CR + indent +
              QCoreApplication::translate("FRestore", "うち %n 個は使用中の Qarno 自身のファイルのため復元しませんでした", nullptr,
                                          s_.ownFilesSkipped);
  s_.Status = result;
  s_.stage = rstage::Idle;
  return true;
}

// The entries of one save, in the table's order. Plain files whose folder is there are
// copied by workers, a window of them at a time, and folders are made ahead of them;
// everything else of an entry — its checks, trace and log lines, counts and questions — is
// done on this thread, and each row's outcome is taken in its turn, so that the restore says
// and counts what it would on one thread. Before a question the window is taken back (see
// Quiesce): nothing is written beyond the row asked about.
struct FRestore::SaveNameRun {
  QString name, dir, drive, volName, volSerial;
  bool ignoreMedium = false;
  bool& ignoreErrors;
  CopyWindow* window = nullptr;
  // Set when a question took back what the workers had: the first of their rows, which is
  // done again.
  int redoFrom = 0;
};

struct FRestore::CopyWindow {
  struct Item {
    int row;
    StoredForm form;
    EntryPlan plan;
    std::shared_ptr<RestoreWorkers::Task> task;  // a file's copy; none for a folder
    // A folder is made at once, so that its files can follow; its outcome is taken in turn.
    bool folderMade = false;
    QStringList made;
    bool deferred = false;  // its read-only bit waits in deferredFolders_
  };
  explicit CopyWindow(Platform& fs)
      : workers(fs, CopyWorkerCount()), limit(16 * static_cast<size_t>(workers.Size())) {}
  RestoreWorkers workers;
  std::deque<Item> items;  // in the table's order
  const size_t limit;
};

bool FRestore::RestoreFromSaveName(int index, bool& ignoreErrors) {
  const QString name = saveNames_[static_cast<size_t>(index)].name;
  const QString dir = saveNames_[static_cast<size_t>(index)].dir;
  env_.WriteDebugPath(4032, "RestoreFromSaveName", index, name, dir);
  SaveNameRun run{name, dir, dir.left(3), {}, {}, false, ignoreErrors};
  s_.subText = QStringLiteral("  (") + name + u')';
  s_.currentPath.clear();
  s_.Status = s_.processText + s_.subText;
  if (!ReadDriveInfo(env_, req_.medium, acceptedMedium_, run.drive, run.volName, run.volSerial)) return false;

  CopyWindow window(env_.fs);
  run.window = &window;
  // After a question took back the workers' files, the restore goes on from the first of them.
  auto redo = [&](int& r) {
    if (run.redoFrom <= 0) return false;
    r = std::exchange(run.redoFrom, 0) - 1;
    return true;
  };
  int checks = 0;
  for (int r = 1;; ++r) {
    if (r >= table_.Rows() || env_.cancel) {
      // What the workers have is taken first, as on one thread it would have been done.
      if (!ApplyInFlight(run, true)) return false;
      if (redo(r)) continue;
      if (env_.cancel) return false;
      break;
    }
    if (++checks % 50 == 0) env_.DoEvents();
    if (!table_.IsMarked(r) || table_[r].saveName != name) continue;
    const SaveListEntry& e = table_[r];
    std::optional<bool> first;
    if (window.workers.Active() && ((e.volName == run.volName && e.volSerial == run.volSerial) || run.ignoreMedium)) {
      const StoredForm form{e.compType, e.alias, e.size, e.date};
      EntryPlan plan;
      const bool begun = BeginEntry(r, name, dir, form, plan);
      if (begun && Dispatch(run, r, form, plan)) {
        if (!ApplyInFlight(run, false)) return false;
        redo(r);
        continue;
      }
      // Anything else is done here, after every file before it.
      if (!ApplyInFlight(run, true)) return false;
      if (redo(r)) continue;
      s_.currentPath = currentItem_ = table_[r].path;
      first = begun && ContinueEntry(r, name, dir, form, plan);
    }
    if (!RestoreRow(r, run, first)) return false;
  }
  return true;
}

bool FRestore::RestoreRow(int r, SaveNameRun& run, std::optional<bool> first) {
  for (;;) {
    const SaveListEntry& e = table_[r];
    if ((e.volName == run.volName && e.volSerial == run.volSerial) || run.ignoreMedium) {
      bool ok = first ? *first : RestoreEntry(r, run.name, run.dir);
      first.reset();
      if (!ok && run.dir != req_.saveDir) ok = RestoreEntry(r, run.name, req_.saveDir);
      if (ok) {
        Finish(r, true);
        return true;
      }
      if (run.ignoreErrors) {
        Finish(r, false);
        return true;
      }
      Quiesce(run);
      const Answer a = env_.Warn(Question::CannotRestore, s_.Caption,
                              run.name + CR + e.path + CR + CR + NotRestorable(), Buttons::AbortRetryIgnore);
      if (a == Answer::Abort) {
        Finish(r, false);
        return false;
      }
      if (a == Answer::Retry) {
        if (!ReadDriveInfo(env_, req_.medium, acceptedMedium_, run.drive, run.volName, run.volSerial)) return false;
        continue;
      }
      Finish(r, false);
      run.ignoreErrors = true;
      return true;
    }
    Quiesce(run);
    const Answer a = env_.Warn(Question::SwapMedium, s_.Caption,
                            run.drive + CR + TrWords("FRestore", "メディアを入れ替えてください") + CR +
                                TrWords("FRestore", "ボリューム名") + e.volName + CR +
                                TrWords("FRestore", "シリアル番号") + e.volSerial,
                            Buttons::AbortRetryIgnore);
    if (a == Answer::Abort) return false;
    if (a == Answer::Ignore) run.ignoreMedium = true;
    if (!ReadDriveInfo(env_, req_.medium, acceptedMedium_, run.drive, run.volName, run.volSerial)) return false;
  }
}

bool FRestore::Dispatch(SaveNameRun& run, int row, const StoredForm& form, const EntryPlan& plan) {
  const SaveListEntry& e = table_[row];
  if (e.IsDirectory()) {
    // Made here and now, ahead of the files before it (which never need it); a question
    // about one of those takes it away again. One that cannot be made waits for its turn.
    env_.fs.SetWriteAnchor(plan.anchor);
    CopyWindow::Item item{row, form, plan, nullptr, false, {}, false};
    const size_t deferred = deferredFolders_.size();
    if (!RestoreFolder(plan.target, e.attributes, item.made)) {
      RemoveMadeFolders(item.made);
      return false;
    }
    for (const QString& folder : item.made) madeFolders_.insert(folder);
    item.folderMade = true;
    item.deferred = deferredFolders_.size() > deferred;
    run.window->items.push_back(std::move(item));
    return true;
  }
  // Unpacking, the overwrite save's hashed copies and a second row of a path already
  // written wait for their turn.
  if (form.compType == CompType::Lha || run.name == kOverwriteSave || written_.contains(plan.target)) return false;
  const int64_t listed = ListedSize(form.size);
  QString targetDir, targetName;
  if (listed < 0 || !SplitPath(plan.target, targetDir, targetName)) return false;
  env_.fs.SetWriteAnchor(plan.anchor);
  // The folder of the file before is taken as there: a worker's copy into a folder that went
  // fails, and the entry is then done here from the start.
  if (env_.fs.CurrentDir() != targetDir && !env_.fs.SetCurrentDir(targetDir)) return false;
  ClearFolderOnce(targetDir);
  RestoreWorkers::Job job;
  job.source = plan.source;
  job.target = plan.target;
  job.targetDir = targetDir;
  job.anchor = plan.anchor;
  job.expectedSize = listed;
  job.attributes = AttrBits(e.attributes);
  // In a folder this restore made, only this restore has written.
  job.lookFirst = !madeFolders_.contains(targetDir);
  written_.insert(plan.target);
  run.window->items.push_back({row, form, plan, run.window->workers.Submit(std::move(job)), false, {}, false});
  return true;
}

bool FRestore::ApplyInFlight(SaveNameRun& run, bool all) {
  CopyWindow& w = *run.window;
  // A full window is taken down to half, so that the workers have files in hand while the
  // results are taken and this thread does not wait for every single one.
  const size_t keep = all ? 0 : w.items.size() > w.limit ? w.limit / 2 : w.items.size();
  if (w.items.size() > keep) {
    // The workers take files in order: once the last of those to be taken is done, so are
    // (nearly) all before it, and one wait does for them all.
    for (size_t i = w.items.size() - keep; i-- > 0;) {
      if (w.items[i].task) {
        w.workers.Wait(*w.items[i].task);
        break;
      }
    }
  }
  while (w.items.size() > keep) {
    const CopyWindow::Item item = std::move(w.items.front());
    w.items.pop_front();
    bool ok;
    if (item.folderMade) {
      env_.WriteDebugPath(4035, "RestoreEntry", item.row, run.name, run.dir, item.plan.source, item.plan.target);
      ok = EndEntry(item.row, true, item.made);
    } else if (const RestoreWorkers::Done& done = w.workers.Wait(*item.task); done.ok()) {
      env_.WriteDebugPath(4035, "RestoreEntry", item.row, run.name, run.dir, item.plan.source, item.plan.target);
      NoteMismatch(table_[item.row], item.form, run.name, done.copy.source, nullptr);
      ok = EndEntry(item.row, true, {});
    } else {
      // A file that was there is replaced here; a copy that did not work left nothing
      // behind: either way the entry is done here, as one thread does it, with whatever it
      // says and asks on the way.
      ok = ContinueEntry(item.row, run.name, run.dir, item.form, item.plan);
    }
    if (!RestoreRow(item.row, run, ok)) {
      Quiesce(run);
      return false;
    }
  }
  return true;
}

void FRestore::Quiesce(SaveNameRun& run) {
  CopyWindow& w = *run.window;
  if (w.items.empty()) return;
  // Nothing goes on while the user is asked; what one thread would not have written yet is
  // not there, and its rows are done again after the answer.
  run.redoFrom = w.items.front().row;
  for (const CopyWindow::Item& item : w.items) {
    if (item.task) w.workers.Wait(*item.task);
  }
  // The last first: files before the folders they are in.
  for (auto it = w.items.rbegin(); it != w.items.rend(); ++it) {
    env_.fs.SetWriteAnchor(it->plan.anchor);
    if (it->folderMade) {
      if (it->deferred) deferredFolders_.pop_back();
      for (const QString& folder : it->made) madeFolders_.remove(folder);
      RemoveMadeFolders(it->made);
      continue;
    }
    const RestoreWorkers::Done& done = w.workers.Wait(*it->task);
    if (!done.there && done.copy.ok()) env_.fs.Kill(it->plan.target);
    written_.remove(it->plan.target);
  }
  w.items.clear();
}

bool FRestore::RestoreFromOtherSaves(bool& ignoreErrors) {
  env_.WriteDebug(4033, "RestoreFromOtherSaves");
  const int start = history_.RowOf(s_.RestoreSaveName);
  if (start == 0) {
    env_.Warn(Question::SaveNotInHistory, s_.Caption, s_.RestoreSaveName + CR + TrWords("FRestore", "ヒストリテーブルにありません。"));
    return false;
  }
  const Words incomplete = s_.RestoreSaveName + CR + TrWords("FRestore", "この保存履歴では完全に復元できませんでした。");
  for (int h = start; h < history_.Rows(); ++h) {
    if (env_.cancel) return false;
    QString dir = history_.Cell(h, HistoryEntry::SaveDir).trimmed();
    if (dir.isEmpty()) dir = req_.saveDir;
    const QString name = history_.Cell(h, HistoryEntry::SaveName);
    if (!IsSaveName(name)) {
      // A history row whose name no run of ours gives names no listing or save folder.
      env_.WriteLog(QStringLiteral("復元に使いません(不正な保存名)"), name);
      continue;
    }
    s_.subText = QStringLiteral("  (") + name + u')';
    s_.currentPath.clear();
    s_.lineCounter = 0;
    if (!RestoreFromSaveCsv(name, dir, ignoreErrors)) {
      env_.Warn(Question::RestoreIncomplete, s_.Caption, incomplete);
      return false;
    }
    if (table_.ReservedCount() == 0) return true;
  }
  env_.Warn(Question::RestoreIncomplete, s_.Caption, incomplete);
  return false;
}

bool FRestore::RestoreFromSaveCsv(const QString& name, const QString& dir, bool& ignoreErrors) {
  const QString path = RunPaths::Of(dir, s_.SetName, name).SaveCsvFile;
  env_.WriteDebugPath(4034, "RestoreFromSaveCsv", name, dir, path);
  std::optional<QStringList> lines;
  for (;;) {
    lines = env_.ReadTextFile(path);
    if (lines) break;
    const Answer a = env_.Warn(Question::OlderListingMissing, s_.Caption, path + CR + TrWords("FRestore", "ファイルがありません"),
                            Buttons::AbortRetryIgnore);
    if (a == Answer::Abort) return false;
    if (a == Answer::Ignore) return true;
  }
  int pos = 1;
  bool nothingLeft = false;
  s_.lineCounter = 0;
  for (const QString& line : *lines) {
    if (nothingLeft) break;
    if (s_.lineCounter % 50 == 0) env_.DoEvents();
    if (env_.cancel) return false;
    ++s_.lineCounter;
    if (skipBlankLines_ && line.trimmed().isEmpty()) continue;
    const ListingFields fields = SplitListingLine(line);
    if (!fields.WellFormed()) {
      const Answer a = env_.Warn(Question::MalformedListingLine, s_.Caption,
                              TrWords("FRestore", "CSVファイルの内容がおかしいです。") + CR + u'[' + line + u']' + CR +
                                  TrWords("FRestore", "続行しますか？"),
                              Buttons::YesNo);
      if (a == Answer::No) return false;
      continue;
    }
    if (Coded<Flag>::FromText(fields[SaveListEntry::Flag]) != Flag::Copied) continue;
    if (!FindReservedEntry(fields[SaveListEntry::Path].toString(), pos, nothingLeft)) continue;
    const int r = pos;
    // The copy in this run folder is stored as this run's line says, which may differ from
    // the row's (another alias number, packed or not), and is the file as that line
    // describes it. A line whose size does not read vouches for no copy: an older run may.
    const StoredForm form{Coded<CompType>::FromText(fields[SaveListEntry::CompType]), fields[SaveListEntry::Alias].toString(),
                          EntrySize::FromText(fields[SaveListEntry::Size]), EntryDate::FromText(fields[SaveListEntry::Date])};
    if (ListedSize(form.size) < 0) {
      env_.WriteLog(QStringLiteral("復元に使いません(サイズが読めません)"), name + u' ' + table_[r].path);
      continue;
    }
    if (!IsRestorablePath(table_[r].path, form.alias)) {
      Refuse(r, QStringLiteral("不正なパス"));
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
      const Answer a = env_.Warn(Question::CannotRestore, s_.Caption,
                              name + CR + table_[r].path + CR + CR + NotRestorable(),
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
  return RestoreEntryAs(row, name, dir,
                        StoredForm{e.compType, e.alias, e.size,
                                   e.date});
}

bool FRestore::RestoreEntryAs(int row, const QString& name, const QString& dir, const StoredForm& form) {
  EntryPlan plan;
  return BeginEntry(row, name, dir, form, plan) && ContinueEntry(row, name, dir, form, plan);
}

bool FRestore::BeginEntry(int row, const QString& name, const QString& dir, const StoredForm& form, EntryPlan& plan) {
  const QString& path = table_[row].path;
  s_.currentPath = path;
  currentItem_ = path;
  env_.DoEvents();
  if (!IsRestorablePath(path, form.alias) || !IsSaveName(name)) return false;
  plan.source = SourceOf(path, form.alias, RunPaths::Of(dir, s_.SetName, name).SaveSetDir);
  plan.target = TargetOf(path);
  if (InSaveArea(plan.target) || IsOwnFile(plan.target)) return false;
  plan.anchor = WriteAnchorOf(path);
  return true;
}

bool FRestore::ContinueEntry(int row, const QString& name, const QString& dir, const StoredForm& form,
                             const EntryPlan& plan) {
  const SaveListEntry& e = table_[row];
  env_.WriteDebugPath(4035, "RestoreEntry", row, name, dir, plan.source, plan.target);
  // Every write of the entry — folders, the file, its attributes — goes through the same
  // walk, whether the whole run, one ticked file or one --path is restored.
  env_.fs.SetWriteAnchor(plan.anchor);

  // Folders are made only for an entry that is restored: those made for one that then
  // fails go again (as far as they are empty).
  QStringList made;
  if (!e.IsDirectory()) written_.insert(plan.target);
  const bool restored = e.IsDirectory() ? RestoreFolder(plan.target, e.attributes, made)
                                        : RestoreFile(e, form, plan.source, plan.target, made, name, dir);
  return EndEntry(row, restored, made);
}

bool FRestore::EndEntry(int row, bool restored, const QStringList& made) {
  if (!restored) {
    RemoveMadeFolders(made);
    return false;
  }
  for (const QString& folder : made) madeFolders_.insert(folder);
  table_.AddRestored(table_[row]);
  s_.restoredKB = table_.Restored().kb;
  return true;
}

bool FRestore::RestoreFolder(const QString& target, const QString& attrText, QStringList& made) {
  // A drive's root is the drive's own: nothing is made there, and its attributes stay.
  if (winpath::IsDriveRoot(target)) return true;
  if (!MakeFolders(target, made)) return false;
  // A folder that was there is someone's: its mode stays as it is (a shared 1777 or 2775
  // folder keeps its sticky or set-group-ID bit). Only a folder this run made takes the
  // attributes of its entry.
  if (!made.contains(target) && !madeFolders_.contains(target)) return true;
  // A read-only folder would refuse what is restored into it afterwards: its own bit is
  // set once the run is over.
  if (attrText.size() >= 5 && attrText[0] != u'-') {
    if (!SetAttrFromText(target, u'-' + attrText.mid(1))) return false;
    deferredFolders_.push_back({target, attrText, WriteAnchorOf(target)});
    return true;
  }
  return SetAttrFromText(target, attrText);
}

const ManifestEntry* FRestore::OverwriteManifestLine(const QString& name, const QString& dir, const QString& path) {
  if (name != kOverwriteSave) return nullptr;
  const QString file = RunPaths::Of(dir, s_.SetName, name).SaveSumFile;
  auto it = manifests_.find(file);
  if (it == manifests_.end()) it = manifests_.insert(file, ParseManifest(env_.fs.ReadAll(file).value_or(QByteArray())));
  if (it->state != ManifestContent::State::Read) return nullptr;
  const auto line = it->entries.constFind(path);
  return line == it->entries.constEnd() ? nullptr : &line.value();
}

// The target is replaced only by a whole copy of a saved copy that could be read to the end
// and is no shorter than the listing says; until then it is not touched, nor are its
// attributes. A copy that cannot be read leaves the target as it was. A copy that is whole
// but not the file its line describes (longer, of another date, or in the overwrite save
// other bytes than the manifest's) is restored and reported.
bool FRestore::RestoreFile(const SaveListEntry& e, const StoredForm& form, const QString& source, const QString& target,
                           QStringList& made, const QString& name, const QString& dir) {
  QString targetDir, targetName;
  if (!SplitPath(target, targetDir, targetName)) return false;
  const int64_t listed = ListedSize(form.size);
  if (listed < 0) return false;
  const bool packed = form.compType == CompType::Lha;
  // No folder is made for a copy that is not there (or is no file). Where the target's
  // folder is there already nothing would be made: a plain copy is then looked at only by
  // the copy itself, on the file it opened (one look at it instead of two). A packed copy and
  // one of the overwrite save are looked at first, as their size and date decide how they
  // are taken.
  const bool folderThere = !packed && name != kOverwriteSave && env_.fs.SetCurrentDir(targetDir);
  std::optional<DirEntry> stored;
  if (folderThere) {
    ClearFolderOnce(targetDir);
  } else {
    stored = env_.fs.Stat(packed ? source + QStringLiteral(".LZH") : source);
    if (!stored || stored->isDirectory || (stored->attributes & attr::Directory)) return false;
    if (!MakeFolders(targetDir, made)) return false;
  }
  // Only the overwrite save's copies are replaced in place, so only they are hashed on the
  // way: the restore of any other save copies as fast as it can.
  const ManifestEntry* expected = OverwriteManifestLine(name, dir, e.path);
  ContentHash* hash = expected ? &hash_ : nullptr;
  // A plain copy of the overwrite save that is shorter than listed and of another date is
  // not a cut copy but a later version that a killed overwrite run put in place before it
  // could write its listing: it is restored and named below, as a longer one is.
  const int64_t atLeast =
      !packed && name == kOverwriteSave && stored && stored->size < listed && !SameFileTime(form.date.Text(), stored->mtime) ? -1 : listed;
  DirEntry copied;
  if (!(packed ? ExtractLha(source, target, listed, made, hash, &copied)
               : PlaceFile(source, target, atLeast, made, hash, &copied, !folderThere)))
    return false;
  if (!SetAttrFromText(target, e.attributes)) return false;
  NoteMismatch(e, form, name, copied, expected);
  return true;
}

void FRestore::NoteMismatch(const SaveListEntry& e, const StoredForm& form, const QString& name, const DirEntry& copied,
                            const ManifestEntry* expected) {
  const int64_t listed = ListedSize(form.size);
  const bool packed = form.compType == CompType::Lha;
  std::vector<Words> differs;
  if (copied.size != listed) differs.push_back(TrWords("FRestore", "サイズ %1 (一覧では %2)").arg(copied.size).arg(listed));
  // An archive's unpacked file carries the archiver's idea of the time; a plain copy the
  // saved file's own.
  if (!packed && !SameFileTime(form.date.Text(), copied.mtime))
    differs.push_back(TrWords("FRestore", "日付 %1 (一覧では %2)").arg(FormatFileTime(copied.mtime), form.date.Text()));
  if (expected && (hash_.Size() != expected->size || hash_.Hex() != expected->hash))
    differs.push_back(TrWords("FRestore", "内容が目録と違います"));
  if (!differs.empty()) {
    // The log keeps the program's own words; the restore's report speaks the user's.
    Words detail = differs.front();
    for (size_t i = 1; i < differs.size(); ++i) detail += TrWords("FRestore", "、") + differs[i];
    mismatches_.push_back(RestoreMismatch{e.path, name, detail.Shown()});
    env_.WriteLog(QStringLiteral("保存時の一覧と一致しません(") + detail.Own() + u')', e.path);
  }
}

bool FRestore::PlaceFile(const QString& source, const QString& target, int64_t listedSize, QStringList& made,
                         ContentHash* hash, DirEntry* copiedSource, bool sourceLookedAt) {
  CopyOptions options;
  options.expectedSize = listedSize;
  if (hash) options.onData = [hash](const char* data, size_t size) { hash->Add(data, size); };
  auto copy = [&] {
    if (hash) hash->Reset();
    CopyResult r = env_.fs.Copy(source, target, options);
    if (r && copiedSource) *copiedSource = r.source;
    return r;
  };
  CopyResult copied = copy();
  if (copied) return true;
  // A source that could not be opened as a regular file is what a look before would have
  // turned away, without a word.
  if (!sourceLookedAt && copied.sourceFailed && (copied.error == FsError::NotFound || copied.error == FsError::NotRegular))
    return false;
  env_.WriteDebugPath(4037, "PlaceFile", source, FsErrorName(copied.error), copied.sourceFailed);
  // Nothing whole to copy from: missing, no regular file, unreadable, shorter than listed.
  if (copied.sourceFailed) return false;
  // A folder in the way, or the saved copy itself: there is nothing to replace.
  if (copied.error == FsError::NotRegular || copied.error == FsError::NoSpace) return false;
  // The folder went since it was made, or a read-only (on Windows also hidden or system)
  // file refuses to be replaced: the folder is made again and the file's attributes are
  // lifted for one more try, and put back when that fails too.
  QString targetDir, targetName;
  if (!SplitPath(target, targetDir, targetName) || !MakeFolders(targetDir, made)) return false;
  const std::optional<uint32_t> before = env_.fs.GetAttr(target);
  const bool lifted = before && !(*before & attr::Directory) &&
                      (*before & (attr::ReadOnly | attr::Hidden | attr::System)) && env_.fs.SetAttr(target, attr::Normal);
  copied = copy();
  if (!copied && lifted) env_.fs.SetAttr(target, *before);
  return copied.ok();
}

bool FRestore::ExtractLha(const QString& source, const QString& target, int64_t listedSize, QStringList& made,
                          ContentHash* hash, DirEntry* copied) {
  const QString archive = source + QStringLiteral(".LZH");
  env_.WriteDebugPath(4036, "ExtractLha", archive, target);
  if (!env_.fs.Open(archive, QIODevice::ReadOnly)) return false;
  if (!env_.archiver) return false;
  QString targetDir, targetName;
  if (!SplitPath(target, targetDir, targetName)) return false;
  // The archiver writes where it is told, in its own way; it unpacks into a new folder of the
  // restore's own beside the target, and the file then takes the target's place as a whole
  // copy, as a plain entry does.
  const QString stem = QStringLiteral(".qarno-unpack-") + QString::number(QCoreApplication::applicationPid()) + u'-';
  QString work;
  for (int attempt = 0; attempt < 100 && work.isEmpty(); ++attempt) {
    const QString candidate = winpath::Join(targetDir, stem + QString::number(++unpackFolders_));
    if (env_.fs.MkDir(candidate, 0700)) work = candidate;
  }
  if (work.isEmpty()) return false;
  const QString unpacked = winpath::Join(work, targetName);
  bool ok = false;
  const auto hostArchive = env_.fs.HostPath(archive);
  const auto hostUnpacked = env_.fs.HostPath(unpacked);
  if (hostArchive && hostUnpacked) {
    const QString command = QStringLiteral("e -n -a1 -jss -jyko -f1 -c1 -m1 -gm1 ") + u'"' + *hostArchive + u'"' + u' ' +
                            u'"' + *hostUnpacked + u'"';
    ok = env_.archiver->Unlha(command, 1024) == 0 && PlaceFile(unpacked, target, listedSize, made, hash, copied);
  }
  // Whatever the archiver left in the folder goes with it.
  if (const auto left = env_.fs.List(winpath::Join(work, QStringLiteral("*.*")))) {
    for (const DirEntry& d : *left) {
      if (!d.isDirectory) env_.fs.Kill(winpath::Join(work, d.name));
    }
  }
  env_.fs.Kill(unpacked);
  env_.fs.RmDir(work);
  return ok;
}

void FRestore::ClearFolderOnce(const QString& dir) {
  // A folder that was there: a restore killed while writing into it may have left its
  // temporary files and unpacking folders, which go before anything new is written.
  if (!cleared_.contains(dir)) {
    cleared_.insert(dir);
    env_.fs.RemoveLeftovers(dir);
  }
}

bool FRestore::MakeFolders(const QString& dir, QStringList& made) {
  if (env_.fs.SetCurrentDir(dir)) {
    ClearFolderOnce(dir);
    return true;
  }
  QStringList levels;
  for (int n = 1;; ++n) {
    QString prefix = GetPathPrefix(dir, n);
    if (prefix.isEmpty()) break;
    levels += std::move(prefix);
  }
  // The deepest level that is there is looked for from the folder upwards (a restore makes
  // a folder below one it has just entered, most of the time), the rest made downwards.
  if (levels.size() < 2) return false;
  qsizetype from = levels.size() - 1;
  while (from > 0 && !env_.fs.SetCurrentDir(levels[from - 1])) --from;
  if (from == 0) return false;  // a drive root is never made
  for (qsizetype i = from; i < levels.size(); ++i) {
    if (env_.fs.MkDir(levels[i])) made += levels[i];
    else if (!env_.fs.IsDirectory(levels[i])) return false;
    if (!env_.fs.SetCurrentDir(levels[i])) return false;
  }
  return env_.fs.SetCurrentDir(dir);
}

void FRestore::RemoveMadeFolders(const QStringList& made) {
  for (auto it = made.rbegin(); it != made.rend(); ++it) {
    if (!env_.fs.RmDir(*it)) break;  // something else is in it now
  }
}

bool FRestore::SetAttrFromText(const QString& path, const QString& text) { return env_.fs.SetAttr(path, AttrBits(text)).ok(); }

}  // namespace qarno
