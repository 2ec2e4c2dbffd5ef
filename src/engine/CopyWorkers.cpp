// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/CopyWorkers.h"

#include "records/LhaPacking.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace qarno {

QString FileCopyJob::Written() const {
  if (packed) return destination + QStringLiteral(".LZH");
  if (copied.ok() && !copied.source.name.isEmpty()) return destination;
  return QString();
}

void PerformFileCopy(Platform& fs, ArchiverLibrary* archiver, FileCopyJob& job) {
  // The archiver opens the file by its path: a source that is no longer the file the scan
  // found (a link now, on the way or in its place) is left to the guarded plain copy.
  job.packTried = job.tryPack && (job.anchor.isEmpty() || fs.OpenInside(job.anchor, job.source) != nullptr);
  if (job.packTried) {
    job.packInfo = fs.Stat(job.source);
    // The archiver shows the bytes it packs as it reads them; a library that cannot leaves
    // the file out of the manifest.
    job.hash.Reset();
    job.observed = job.hashing && archiver && archiver->SetReadObserver([&job](const char* data, size_t size) {
      if (size == 0) job.hash.Reset();
      else job.hash.Add(data, size);
    });
    job.packed = PackFile(fs, archiver, job.source, job.destination + QStringLiteral(".LZH"));
    if (job.observed) archiver->SetReadObserver({});
    if (job.packed) return;
  }
  // The entry takes size, date and attributes of the source as it was copied.
  CopyOptions options;
  options.sourceAnchor = job.anchor;
  options.unrecordedTarget = job.unrecordedTarget;
  job.hash.Reset();
  if (job.hashing) options.onData = [&job](const char* data, size_t size) { job.hash.Add(data, size); };
  job.copied = fs.Copy(job.source, job.destination, options);
  if (!job.copied && !job.packTried) job.failedInfo = fs.Stat(job.source);
}

std::unique_ptr<CopyCrew> CopyCrew::Start(Platform& fs, ArchiverLibrary* archiver, int workers) {
  if (workers <= 1) return nullptr;
  std::unique_ptr<CopyCrew> crew(new CopyCrew(archiver));
  for (int i = 0; i < workers; ++i) {
    auto own = fs.ForWorker();
    if (!own) return nullptr;
    crew->platforms_.push_back(std::move(own));
  }
  for (auto& platform : crew->platforms_) crew->threads_.emplace_back([c = crew.get(), p = platform.get()] { c->Work(*p); });
  return crew;
}

CopyCrew::~CopyCrew() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
    queue_.clear();
    posted_.clear();
  }
  work_.notify_all();
  for (auto& t : threads_) t.join();
}

void CopyCrew::Work(Platform& fs) {
  QString folder;  // the folder of the last copy, kept open by the platform
  for (;;) {
    Queued next;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      work_.wait(lock, [this] { return stop_ || (!paused_ && !queue_.empty()); });
      if (stop_) return;
      next = std::move(queue_.front());
      queue_.pop_front();
    }
    FileCopyJob& job = *next.job;
    const qsizetype slash = job.destination.lastIndexOf(u'\\');
    const QString dir = job.destination.left(std::max<qsizetype>(slash, 0));
    // The worker's own current folder: the copies of one folder find it open.
    if (dir != folder && fs.SetCurrentDir(dir)) folder = dir;
    PerformFileCopy(fs, archiver_, job);
    bool wake = false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      job.done = true;
      inFlight_ -= next.bytes;
      --pending_;
      wake = waitingFor_ && waitingFor_->done && pending_ <= waitingPending_;
    }
    // The run is woken only when what it waits for is there, not for every file.
    if (wake) done_.notify_all();
  }
}

void CopyCrew::Post(std::shared_ptr<FileCopyJob> job, int64_t bytes) {
  inFlight_ += bytes;
  posted_.push_back(Queued{std::move(job), bytes});
}

void CopyCrew::Flush() {
  if (posted_.empty()) return;
  const size_t count = posted_.size();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_ += static_cast<int>(count);
    for (Queued& q : posted_) queue_.push_back(std::move(q));
  }
  posted_.clear();
  if (count == 1) work_.notify_one();
  else work_.notify_all();
}

bool CopyCrew::Wait(const FileCopyJob& job, int ms) { return WaitBatch(job, std::numeric_limits<int>::max(), ms); }

bool CopyCrew::WaitBatch(const FileCopyJob& job, int pending, int ms) {
  Flush();
  std::unique_lock<std::mutex> lock(mutex_);
  if (job.done) return true;
  waitingFor_ = &job;
  waitingPending_ = pending;
  done_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return job.done && pending_ <= pending; });
  waitingFor_ = nullptr;
  return job.done;
}

int64_t CopyCrew::BytesInFlight() { return inFlight_.load(); }

void CopyCrew::Pause(bool paused) {
  bool held = false;  // only queued jobs can have been held back
  {
    std::lock_guard<std::mutex> lock(mutex_);
    held = paused_ && !paused && !queue_.empty();
    paused_ = paused;
  }
  if (held) work_.notify_all();
}

}  // namespace qarno
