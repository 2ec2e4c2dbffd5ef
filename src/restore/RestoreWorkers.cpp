// SPDX-License-Identifier: GPL-3.0-or-later
#include "restore/RestoreWorkers.h"

#include <QtGlobal>

#include <algorithm>

namespace qarno {

RestoreWorkers::RestoreWorkers(Platform& fs, int count) {
  if (count < 2) return;
  for (int i = 0; i < count; ++i) {
    auto own = fs.ForWorker();
    if (!own) {
      platforms_.clear();
      return;
    }
    platforms_.push_back(std::move(own));
  }
  for (auto& platform : platforms_) threads_.emplace_back([this, p = platform.get()] { Work(*p); });
}

RestoreWorkers::~RestoreWorkers() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  queued_.notify_all();
  for (std::thread& t : threads_) t.join();
}

std::shared_ptr<RestoreWorkers::Task> RestoreWorkers::Submit(Job job) {
  auto task = std::make_shared<Task>(std::move(job));
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(task);
  }
  queued_.notify_one();
  return task;
}

const RestoreWorkers::Done& RestoreWorkers::Wait(Task& task) {
  std::unique_lock lock(mutex_);
  if (!task.finished_) {
    // Only the end of this task wakes the waiter: a wake-up for every file would cost a
    // switch of threads for every file.
    awaited_ = &task;
    finished_.wait(lock, [&] { return task.finished_; });
    awaited_ = nullptr;
  }
  return task.done_;
}

void RestoreWorkers::Work(Platform& fs) {
  for (;;) {
    std::shared_ptr<Task> task;
    {
      std::unique_lock lock(mutex_);
      queued_.wait(lock, [&] { return stop_ || !queue_.empty(); });
      if (queue_.empty()) return;  // stopped, and nothing is left to do
      task = std::move(queue_.front());
      queue_.pop_front();
    }
    const Job& job = task->job;
    Done done;
    fs.SetWriteAnchor(job.anchor);
    // The folder was found there by the restore; entered once for all its files, and a copy
    // into a folder that went meanwhile enters it again by itself.
    if (fs.CurrentDir() != job.targetDir) fs.SetCurrentDir(job.targetDir);
    done.there = job.lookFirst && fs.Exists(job.target);
    if (!done.there) {
      CopyOptions options;
      options.expectedSize = job.expectedSize;
      done.copy = fs.Copy(job.source, job.target, options);
      if (done.copy) done.attributes = fs.SetAttr(job.target, job.attributes);
    }
    bool awaited;
    {
      std::lock_guard lock(mutex_);
      task->done_ = std::move(done);
      task->finished_ = true;
      awaited = awaited_ == task.get();
    }
    if (awaited) finished_.notify_all();
  }
}

}  // namespace qarno
