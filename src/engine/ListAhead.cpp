// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ListAhead.h"

#include <algorithm>

namespace qarno {

namespace {
// How far the thread may run ahead: what it listed and the scan has not taken yet stays
// small, a few hundred kilobytes at most.
constexpr size_t kMaxReadyEntries = 4096;
constexpr qsizetype kMaxReadyFolders = 64;
}  // namespace

ListAhead::ListAhead(Platform& fs, bool ahead) : fs_(fs) {
  if (ahead) own_ = fs.ForWorker();
  if (own_) thread_ = std::thread([this] { Work(); });
}

ListAhead::~ListAhead() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void ListAhead::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] {
      return stop_ || (!queue_.empty() && readyEntries_ < kMaxReadyEntries && ready_.size() < kMaxReadyFolders);
    });
    if (stop_) return;
    // The first in line is the one the walk asks for next, and it lists that one itself
    // when it is not ready: this thread takes the one after it, so that both list at once.
    const auto next = queue_.size() > 1 ? queue_.begin() + 1 : queue_.begin();
    working_ = std::move(*next);
    queue_.erase(next);
    dropWorking_ = false;
    lock.unlock();
    std::optional<std::vector<DirEntry>> found = own_->List(working_);
    lock.lock();
    if (!dropWorking_) {
      auto old = ready_.find(working_);
      if (old != ready_.end() && *old) readyEntries_ -= (*old)->size();
      if (found) readyEntries_ += found->size();
      ready_.insert(working_, std::move(found));
    }
    working_.clear();
    listed_.notify_all();
  }
}

void ListAhead::Take(const QString& pattern, std::optional<std::vector<DirEntry>>& out) {
  auto it = ready_.find(pattern);
  out = std::move(*it);
  ready_.erase(it);
  if (out) readyEntries_ -= out->size();
  wake_.notify_one();  // room again
}

std::optional<std::vector<DirEntry>> ListAhead::List(const QString& pattern) {
  if (!thread_.joinable()) return fs_.List(pattern);
  {
    std::unique_lock<std::mutex> lock(mutex_);
    std::optional<std::vector<DirEntry>> out;
    if (ready_.contains(pattern)) {
      Take(pattern, out);
      return out;
    }
    if (working_ == pattern && !dropWorking_) {
      listed_.wait(lock, [&] { return working_ != pattern; });
      if (ready_.contains(pattern)) {
        Take(pattern, out);
        return out;
      }
    }
    // Not reached yet: listed here, and not again over there.
    auto queued = std::find(queue_.begin(), queue_.end(), pattern);
    if (queued != queue_.end()) queue_.erase(queued);
  }
  return fs_.List(pattern);
}

void ListAhead::Ahead(const std::vector<QString>& patterns) {
  if (!thread_.joinable() || patterns.empty()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.insert(queue_.begin(), patterns.begin(), patterns.end());
  }
  wake_.notify_one();
}

void ListAhead::Drop(const QString& pattern) {
  if (!thread_.joinable()) return;
  std::lock_guard<std::mutex> lock(mutex_);
  if (working_ == pattern) dropWorking_ = true;
  auto queued = std::find(queue_.begin(), queue_.end(), pattern);
  if (queued != queue_.end()) queue_.erase(queued);
  auto it = ready_.find(pattern);
  if (it != ready_.end()) {
    if (*it) readyEntries_ -= (*it)->size();
    ready_.erase(it);
    wake_.notify_one();
  }
}

}  // namespace qarno
