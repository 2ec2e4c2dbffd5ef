// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Copy workers of a restore: threads that each copy one plain file at a time with a platform
// of their own, and nothing else. The restore hands them files in its own order and takes
// their results back in that order; every question, folder, log line and count stays on the
// restore's thread (see RestoreFromSaveName).
#include "platform/Platform.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace qarno {

class RestoreWorkers {
 public:
  // One file to copy as the restore's thread would: with the same write anchor, the file's
  // attributes set right after a whole copy.
  struct Job {
    QString source, target, targetDir, anchor;
    int64_t expectedSize = -1;
    uint32_t attributes = 0;
    // Whether something may be at the target already. A worker only makes new files: one
    // that is there is replaced by the restore's own thread in its turn, so that nothing the
    // user has is replaced beyond the point where the restore stops.
    bool lookFirst = true;
  };
  struct Done {
    bool there = false;   // something was at the target: nothing was done
    CopyResult copy;      // a whole copy made a new file at the target
    FsStatus attributes;  // of the attribute setting, after a whole copy
    bool ok() const { return !there && copy.ok() && attributes.ok(); }
  };
  class Task;


  // `count` workers, each with a platform for one thread from `fs`; none at all when fewer
  // than two are asked for or the platform gives none (the restore then copies on its own
  // thread, as it always did).
  RestoreWorkers(Platform& fs, int count);
  // Lets the workers finish what they were given, then ends them.
  ~RestoreWorkers();
  RestoreWorkers(const RestoreWorkers&) = delete;
  RestoreWorkers& operator=(const RestoreWorkers&) = delete;

  bool Active() const { return !threads_.empty(); }
  int Size() const { return static_cast<int>(threads_.size()); }
  // Hands a file to the first worker that is free.
  std::shared_ptr<Task> Submit(Job job);
  // Waits until the task is done; its result.
  const Done& Wait(Task& task);

 private:
  void Work(Platform& fs);

  std::vector<std::unique_ptr<Platform>> platforms_;
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable queued_, finished_;
  std::deque<std::shared_ptr<Task>> queue_;
  Task* awaited_ = nullptr;  // the task the restore's thread waits for
  bool stop_ = false;
};

class RestoreWorkers::Task {
 public:
  explicit Task(Job j) : job(std::move(j)) {}
  const Job job;  // not changed once handed out

 private:
  friend class RestoreWorkers;
  Done done_;           // written by the worker, read after `finished_` under the lock
  bool finished_ = false;
};

}  // namespace qarno
