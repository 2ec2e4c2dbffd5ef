// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The folders of a scan listed ahead of it. A scan goes down its tree one folder at a time,
// and the listing of each (the names, and a stat of every name) is most of its system
// calls; a thread of its own lists the folders the scan has found and not reached yet, in
// the order the scan will reach them, so that the scan's own thread only takes the lists.
// What the scan gets is what a listing of the folder gives; only the moment differs.
#include "platform/Platform.h"

#include <QHash>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace qarno {

class ListAhead {
 public:
  // Lists on a thread of its own when `ahead` and the platform gives one for another
  // thread; else every List is made on the caller's thread, as the platform's own.
  ListAhead(Platform& fs, bool ahead);
  ~ListAhead();  // a listing under way is finished; the rest is dropped
  ListAhead(const ListAhead&) = delete;
  ListAhead& operator=(const ListAhead&) = delete;

  // The listing of the pattern: the one made ahead when it is there (or under way), else
  // one made now.
  std::optional<std::vector<DirEntry>> List(const QString& pattern);
  // Patterns the caller will ask for next, in the order given, before any given earlier
  // (a walk that goes down first asks for a folder's subfolders before its next sibling).
  void Ahead(const std::vector<QString>& patterns);
  // A pattern given ahead that will not be asked for after all.
  void Drop(const QString& pattern);

 private:
  void Work();
  void Take(const QString& pattern, std::optional<std::vector<DirEntry>>& out);

  Platform& fs_;
  std::unique_ptr<Platform> own_;  // the thread's platform, used by it alone
  std::mutex mutex_;
  std::condition_variable wake_;   // for the thread: work, room, or stop
  std::condition_variable listed_;  // for the caller: a listing is ready
  std::deque<QString> queue_;
  QString working_;           // the pattern being listed, empty when none
  bool dropWorking_ = false;  // it was dropped while it was listed
  QHash<QString, std::optional<std::vector<DirEntry>>> ready_;
  size_t readyEntries_ = 0;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace qarno
