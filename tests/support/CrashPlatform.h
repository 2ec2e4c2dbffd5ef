// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A platform double that can pretend the machine lost power. Every step of a replacing
// write (WriteAtomic's steps) is forwarded to the real files and remembered; CrashAfter(n)
// then puts on the disk what a crash after the first n steps would have left of the files
// those steps touched: a file keeps only what was synced of it (a file never synced is
// empty), and a name made or renamed in a folder that was not synced afterwards is as it
// was before. So a test can ask of every moment of a write whether the file is wholly the
// old one or wholly the new.
#include "platform/Platform.h"

#include <QStringList>
#include <map>
#include <optional>
#include <vector>

namespace qarno::test {

class CrashPlatform : public ForwardingPlatform {
 public:
  using ForwardingPlatform::ForwardingPlatform;

  enum class Step { Create, Write, SyncFile, Replace, SyncFolder };
  struct Record {
    Step step;
    int file = 0;          // which file beside its target (counted from 1)
    QString target;        // the file it replaces
    QString temp;          // its own path
    QByteArray bytes;      // what a Write wrote
  };
  // The steps taken since the last Forget, in order.
  std::vector<Record> steps;
  std::vector<Step> Order() const;
  // What the double found wrong as it happened (a file renamed over its target before what
  // was written to it was synced).
  QStringList faults;

  // Starts a new history: what is on the disk now counts as durable.
  void Forget();
  // Puts on the disk what a crash after the first `count` steps would have left.
  void CrashAfter(size_t count);

  FsStatus CreateBeside(const QString& target, std::unique_ptr<BesideFile>& file) override;
  FsStatus WriteBeside(BesideFile& file, const QByteArray& bytes) override;
  FsStatus SyncBeside(BesideFile& file) override;
  FsStatus ReplaceWithBeside(BesideFile& file) override;
  FsStatus SyncBesideFolder(BesideFile& file) override;

 private:
  int FileOf(const BesideFile& file) const;
  // What a target held before the first step that touched it (nullopt: nothing).
  std::map<QString, std::optional<QByteArray>> before_;
  std::map<const BesideFile*, int> files_;
  int nextFile_ = 0;
  // Per file beside its target, as far as the live steps went: written and synced.
  std::map<int, QByteArray> written_, synced_;
};

}  // namespace qarno::test
