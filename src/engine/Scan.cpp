// SPDX-License-Identifier: GPL-3.0-or-later
// Building the save list: the walk of every save-list entry, the skip list applied to what
// is found below them, and the totals of the whole list.
#include "engine/FSaveExec.h"
#include "engine/ListAhead.h"

#include "common/Attributes.h"
#include "platform/WinPath.h"
#include "records/ListingLine.h"

#include <algorithm>

namespace qarno {

namespace {
constexpr int kYieldEvery = 50;
// The pattern of everything in a folder.
QString AllIn(const QString& folder) { return winpath::Join(folder, QStringLiteral("*.*")); }
}  // namespace

bool FSaveExec::MkSaveList() {
  Begin();
  return ScanSaveList();
}

bool FSaveExec::ScanSaveList() {
  if (env_.cancel) return false;
  env_.WriteDebug(2100, "MkSaveList");
  SaveList_.Clear();
  view_.Clear();
  RunProgress& p = s_.progress;
  run_.Enter(phase::Scan, QCoreApplication::translate("FSaveExec", "セーブリストの作成"));
  p.scanDir.clear();
  p.lastEntry.clear();
  p.scanCount = 0;
  ListInfo_.Set(ListInfoTable::Files, 1, 0);
  ListInfo_.Set(ListInfoTable::Folders, 1, 0);
  ListInfo_.Set(ListInfoTable::KB, 1, 0);
  // With a second core, the folders are listed ahead of the walk, on a thread of their own.
  ListAhead ahead(env_.fs, CopyWorkerCount() > 1);
  ahead_ = &ahead;
  struct Forget {
    ListAhead*& ahead;
    ~Forget() { ahead = nullptr; }
  } forget{ahead_};
  for (const QString& entry : request_.set.SaveList) {
    if (env_.cancel) return false;
    // Only an absolute path on a drive, without "." or "..", that a listing line can carry:
    // anything else would make the copy land somewhere else, or the listing unreadable.
    if (!IsListablePath(entry)) {
      RefuseName(entry);
      continue;
    }
    if (!ScanTree(entry, true)) return false;
  }
  run_.Enter(phase::Idle, QCoreApplication::translate("FSaveExec", "セーブリストの作成") + PhaseDone());
  env_.DoEvents();
  return true;
}

bool FSaveExec::ScanTree(const QString& pathIn, bool first) {
  if (env_.cancel) return false;
  QString path = pathIn;
  if (path.endsWith(u'\\')) path.chop(1);
  env_.WriteDebugPath(2110, "ScanTree", path);

  std::optional<std::vector<DirEntry>> found;
  QString base;
  // Only the save list's own entries are patterns; a folder the scan found is a name, even
  // when that name holds a "*".
  const bool pattern = first && (path.contains(u'*') || path.contains(u'?'));
  // A folder the scan found is listed as what it was found to be; asking again by its path
  // could take it for a file of its parent and find the same folder below itself forever.
  if (!first || (!pattern && env_.fs.IsDirectory(path))) {
    found = ahead_->List(AllIn(path));
    base = path;
  } else {
    found = ahead_->List(path);
    QString name;
    SplitPath(path, base, name);
  }

  RunProgress& p = s_.progress;
  if (first) {
    // The first row of every save-list entry is its own directory, or the one holding it.
    if (const std::optional<DirEntry> self = env_.fs.Stat(base)) {
      if (!AddDirData(base, *self)) return false;
    }
    p.scanDir = base;
  }
  if (!found) return true;

  // Names in ordinal order of their UTF-16 code units.
  std::vector<DirEntry>& entries = *found;
  // The progress names each entry as it was found; the name is made only when it is shown.
  for (size_t i = 0; i < entries.size(); ++i) {
    if ((i + 1) % kYieldEvery == 0) {
      p.scanDir = winpath::Join(base, entries[i - 1].name);
      env_.DoEvents();
    }
    if (env_.cancel) return false;
  }
  if (!entries.empty()) p.scanDir = winpath::Join(base, entries.back().name);
  std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
  // The folders this one holds are listed next, in the order the walk goes into them.
  std::vector<QString> below;
  for (const DirEntry& e : entries) {
    if (e.isDirectory && !e.isLink && e.representable) below.push_back(AllIn(winpath::Join(base, e.name)));
  }
  ahead_->Ahead(below);
  // A plain save-list entry names its one file: that name is the user's own, link or not.
  const bool named = first && !pattern && base != path;
  int n = 0;
  for (const DirEntry& e : entries) {
    if (++n % kYieldEvery == 0) env_.DoEvents();
    if (env_.cancel) return false;
    if (!ScanCheck(winpath::Join(base, e.name), e, named)) return false;
  }
  return true;
}

bool FSaveExec::ScanCheck(const QString& path, const DirEntry& info, bool named) {
  if (env_.cancel) return false;
  int n = 0;
  for (const QString& skip : request_.set.SkipList) {
    if (++n % kYieldEvery == 0) {
      env_.DoEvents();
      if (env_.cancel) return false;
    }
    if (MatchesPathPattern(path, skip)) {
      if (info.isDirectory) ahead_->Drop(AllIn(path));
      return true;
    }
  }
  // A link found in a saved tree may point at what its owner could never read: it is left
  // out, and the log says so. Not a failure of the run: there is nothing of the tree to save.
  if (info.isLink && !named) {
    env_.WriteLog(QStringLiteral("保存しませんでした（シンボリックリンク）"), path);
    return true;
  }
  // A name no listing line can carry, or the text encoding cannot hold, would restore the
  // wrong file; a path longer than the system can reach by its name cannot be copied, nor
  // anything below it: it stays out of the list, and the log says so.
  if (!info.representable || !env_.codec.CanEncode(path)) {
    if (info.isDirectory) ahead_->Drop(AllIn(path));
    RefuseName(path);
    return true;
  }
  if (!info.isDirectory) {
    // A folder that cannot be entered is listed, not followed.
    if (info.attributes & attr::Directory) return AddDirData(path, info);
    return AddFileData(path, info);
  }
  if (!AddDirData(path, info)) return false;
  RunProgress& p = s_.progress;
  const QString saved = p.scanDir;
  p.scanDir = path;
  if (!ScanTree(path, false)) return false;
  p.scanDir = saved;
  return true;
}

void FSaveExec::RefuseName(const QString& path) {
  // Left out, and told: the run counts it with what it could not save.
  env_.WriteLog(QStringLiteral("保存できませんでした（ファイル名）"), path);
  ++s_.outcome.refusedCount;
  view_.NoteRefused(path);
}

bool FSaveExec::AddFileData(const QString& path, const DirEntry& info) {
  int64_t count = ListInfo_.Value(ListInfoTable::Files, 1);
  const bool ok = AddSListData(path, info, count);
  if (ok) {
    ListInfo_.Set(ListInfoTable::Files, 1, count);
    s_.progress.lastEntry = path;
  }
  return ok;
}

bool FSaveExec::AddDirData(const QString& path, const DirEntry& info) {
  int64_t count = ListInfo_.Value(ListInfoTable::Folders, 1);
  const bool ok = AddSListData(path, info, count);
  if (ok) {
    ListInfo_.Set(ListInfoTable::Folders, 1, count);
    s_.progress.lastEntry = path;
  }
  return ok;
}

bool FSaveExec::AddSListData(const QString& path, const DirEntry& info, int64_t& count) {
  env_.WriteDebugPath(2150, "AddSListData", path);
  SaveListEntry e;
  e.path = path;
  e.attributes = AttrText(info.attributes);
  const int64_t size = (info.attributes & attr::Directory) ? 0 : info.size;
  e.size = size;
  ListInfo_.Add(ListInfoTable::KB, 1, KbOf(size));
  e.date = EntryDate::FromFileTime(info.mtime);
  e.flag = Flag::Found;
  SaveList_.Append(std::move(e));
  ++s_.progress.scanCount;
  ++count;
  if (SaveList_.Rows() >= SaveListTable::kRowLimit) {
    env_.Warn(Question::TooManyEntries, s_.texts.FSaveExecCaption,
           TrWords("FSaveExec", "保存対象のファイル/フォルダーが多すぎます。(32767個までです)") + QStringLiteral("\r\n") +
               TrWords("FSaveExec", "セット名を分割して下さい"));
    return false;
  }
  return true;
}

}  // namespace qarno
