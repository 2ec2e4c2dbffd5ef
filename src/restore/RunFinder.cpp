// SPDX-License-Identifier: GPL-3.0-or-later
#include "restore/RunFinder.h"

#include "common/Utils.h"
#include "records/ListingLine.h"
#include "records/SaveLayout.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace qarno {

namespace {

struct ViewHash {
  using is_transparent = void;
  size_t operator()(std::string_view v) const { return std::hash<std::string_view>()(v); }
};

// One search through the listings of the history: what it has decided so far.
class ListingScan {
 public:
  ListingScan(const QString& pattern, const TextCodec& codec, const HistoryTable& history, const QString& setName)
      : pattern_(pattern), codec_(codec), history_(history), setName_(setName) {
    // The runs of the history, by save name.
    for (int r = 1; r < history_.Rows(); ++r) runs.emplace(history_.Cell(r, HistoryEntry::SaveName).toStdString(), r);
  }

  // Every line of the listing whose path matches, as a version its run holds.
  void Listing(const QByteArray& bytes, FindResult& result) {
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype at = 0;
    while (at < size) {
      const char* nl = static_cast<const char*>(std::memchr(data + at, '\n', static_cast<size_t>(size - at)));
      const qsizetype end = nl ? nl - data : size;
      const qsizetype begin = at;
      at = end + 1;
      Line(data, begin, end, result);
    }
  }

  std::unordered_map<std::string, int> runs;

 private:
  void Line(const char* data, qsizetype begin, qsizetype end, FindResult& result) {
    // The path: the first field, in double quotes (no byte of a multi-byte character is one).
    if (end - begin < 3 || data[begin] != '"') return;
    const char* close = static_cast<const char*>(std::memchr(data + begin + 1, '"', static_cast<size_t>(end - begin - 1)));
    if (!close) return;
    const std::string_view raw(data + begin + 1, static_cast<size_t>(close - data - begin - 1));
    auto it = matches_.find(raw);
    if (it == matches_.end()) {
      const QString path = codec_.Decode(QByteArray(raw.data(), static_cast<qsizetype>(raw.size())));
      it = matches_.emplace(std::string(raw), IsListablePath(path) && MatchesPathPattern(path, pattern_)).first;
    }
    if (!it->second) return;
    qsizetype lineEnd = end;
    if (lineEnd > begin && data[lineEnd - 1] == '\r') --lineEnd;
    const QString line = codec_.Decode(QByteArray(data + begin, lineEnd - begin));
    const ListingFields fields = SplitListingLine(line);
    if (!fields.WellFormed()) return;
    const SaveListEntry e = fields.ToEntry();
    const QString& holder = e.saveName;
    if (holder.isEmpty() || e.IsDirectory()) return;
    const auto run = runs.find(holder.toStdString());
    if (run == runs.end()) return;
    if (!seen_.insert(std::string(raw) + '\n' + holder.toStdString()).second) return;
    const QString& alias = e.alias;
    if (!alias.isEmpty() && !IsAliasText(alias)) return;
    FoundVersion v;
    v.path = e.path;
    v.saveName = holder;
    v.runDate = history_.Cell(run->second, HistoryEntry::SaveDate);
    v.level = history_.Cell(run->second, HistoryEntry::Level);
    v.size = e.size.Bytes();
    v.fileDate = e.date.Text();
    v.packed = e.compType == CompType::Lha;
    v.copyPath = CopyPathIn(RunPaths::Of(history_.Cell(run->second, HistoryEntry::SaveDir), setName_, holder).SaveSetDir,
                            v.path, alias) +
                 (v.packed ? QStringLiteral(".LZH") : QString());
    result.versions.push_back(std::move(v));
  }

  const QString& pattern_;
  const TextCodec& codec_;
  const HistoryTable& history_;
  const QString& setName_;
  // Raw path bytes → whether the path matches: decoded and matched once per distinct path.
  std::unordered_map<std::string, bool, ViewHash, std::equal_to<>> matches_;
  std::unordered_set<std::string> seen_;  // path + '\n' + save name
};

}  // namespace

RunFinder::RunFinder(Module1& module, const HistoryTable& history, const QString& setName)
    : env_(module.Environment()), history_(history), setName_(setName) {}

FindResult RunFinder::Find(const QString& pattern) {
  FindResult result;
  done_ = 0;
  total_ = history_.Rows() - 1;
  env_.WriteDebugPath(4310, "FindInRuns", pattern);
  ListingScan scan(pattern, env_.codec, history_, setName_);
  for (int r = 1; r < history_.Rows(); ++r) {
    env_.DoEvents();
    if (env_.cancel) {
      result.stopped = true;
      break;
    }
    ++done_;
    const QString& saveName = history_.Cell(r, HistoryEntry::SaveName);
    if (!IsSaveName(saveName)) continue;
    const RunPaths paths = RunPaths::Of(history_.Cell(r, HistoryEntry::SaveDir), setName_, saveName);
    const auto bytes = env_.fs.ReadAll(paths.SaveCsvFile);
    if (!bytes) {
      result.listingsUnread += saveName;
      continue;
    }
    ++result.listingsRead;
    scan.Listing(*bytes, result);
  }
  // By path; within a path, the order of the history (newest first).
  std::unordered_map<std::string, int> order;
  for (const auto& [name, row] : scan.runs) order.emplace(name, row);
  std::stable_sort(result.versions.begin(), result.versions.end(), [&](const FoundVersion& a, const FoundVersion& b) {
    const int byPath = a.path.compare(b.path, Qt::CaseInsensitive);
    if (byPath != 0) return byPath < 0;
    return order[a.saveName.toStdString()] < order[b.saveName.toStdString()];
  });
  return result;
}

}  // namespace qarno
