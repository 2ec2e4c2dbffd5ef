// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/CrashPlatform.h"

#include <QFile>
#include <set>

namespace qarno::test {

namespace {
QString FolderOf(const QString& path) { return path.left(path.lastIndexOf(u'\\')); }
}  // namespace

std::vector<CrashPlatform::Step> CrashPlatform::Order() const {
  std::vector<Step> order;
  for (const Record& r : steps) order.push_back(r.step);
  return order;
}

void CrashPlatform::Forget() {
  steps.clear();
  faults.clear();
  before_.clear();
  files_.clear();
  written_.clear();
  synced_.clear();
}

int CrashPlatform::FileOf(const BesideFile& file) const {
  const auto it = files_.find(&file);
  return it == files_.end() ? 0 : it->second;
}

FsStatus CrashPlatform::CreateBeside(const QString& target, std::unique_ptr<BesideFile>& file) {
  if (!before_.count(target)) before_[target] = base_.ReadAll(target);
  const FsStatus status = base_.CreateBeside(target, file);
  if (!status) return status;
  const int id = ++nextFile_;
  files_[file.get()] = id;
  written_[id].clear();
  steps.push_back({Step::Create, id, target, file->path, {}});
  return status;
}

FsStatus CrashPlatform::WriteBeside(BesideFile& file, const QByteArray& bytes) {
  const FsStatus status = base_.WriteBeside(file, bytes);
  if (!status) return status;
  const int id = FileOf(file);
  written_[id] += bytes;
  steps.push_back({Step::Write, id, file.target, file.path, bytes});
  return status;
}

FsStatus CrashPlatform::SyncBeside(BesideFile& file) {
  const FsStatus status = base_.SyncBeside(file);
  if (!status) return status;
  const int id = FileOf(file);
  synced_[id] = written_[id];
  steps.push_back({Step::SyncFile, id, file.target, file.path, {}});
  return status;
}

FsStatus CrashPlatform::ReplaceWithBeside(BesideFile& file) {
  const int id = FileOf(file);
  if (!synced_.count(id) || synced_[id] != written_[id])
    faults << QStringLiteral("renamed over %1 before what was written was synced").arg(file.target);
  const FsStatus status = base_.ReplaceWithBeside(file);
  if (!status) return status;
  steps.push_back({Step::Replace, id, file.target, file.path, {}});
  return status;
}

FsStatus CrashPlatform::SyncBesideFolder(BesideFile& file) {
  const FsStatus status = base_.SyncBesideFolder(file);
  if (!status) return status;
  steps.push_back({Step::SyncFolder, FileOf(file), file.target, file.path, {}});
  return status;
}

void CrashPlatform::CrashAfter(size_t count) {
  // The files as the medium knows them: what a name leads to now and after a crash, and
  // what each file holds now and after a crash.
  struct Node {
    QByteArray live, durable;
  };
  std::vector<Node> nodes;
  std::map<QString, size_t> live, durable;
  std::map<int, size_t> nodeOf;
  std::set<QString> names;
  for (const auto& [target, content] : before_) {
    names.insert(target);
    if (!content) continue;
    nodes.push_back({*content, *content});
    live[target] = durable[target] = nodes.size() - 1;
  }
  for (const Record& r : steps) names.insert({r.target, r.temp});
  for (size_t i = 0; i < count && i < steps.size(); ++i) {
    const Record& r = steps[i];
    switch (r.step) {
      case Step::Create:
        nodes.push_back({});
        nodeOf[r.file] = live[r.temp] = nodes.size() - 1;
        break;
      case Step::Write: nodes[nodeOf[r.file]].live += r.bytes; break;
      case Step::SyncFile: nodes[nodeOf[r.file]].durable = nodes[nodeOf[r.file]].live; break;
      case Step::Replace:
        live[r.target] = live[r.temp];
        live.erase(r.temp);
        break;
      case Step::SyncFolder:
        for (const QString& name : names) {
          if (FolderOf(name) != FolderOf(r.target)) continue;
          if (live.count(name)) durable[name] = live[name];
          else durable.erase(name);
        }
        break;
    }
  }
  for (const QString& name : names) {
    const QString host = *base_.HostPath(name);
    QFile::remove(host);
    if (!durable.count(name)) continue;
    QFile f(host);
    if (f.open(QIODevice::WriteOnly)) f.write(nodes[durable[name]].durable);
  }
}

}  // namespace qarno::test
