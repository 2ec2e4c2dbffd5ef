// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The copy workers of a backup run: threads that each copy or pack one file at a time with a
// platform of their own, while the run itself decides everything else and takes their
// results in the order of its list. A worker touches nothing of the run: it is handed a job,
// does the file system work of it, and marks it done.
#include "platform/ArchiverLibrary.h"
#include "platform/Platform.h"
#include "records/ContentManifest.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace qarno {

// The file system work of one file of a run: packing it where its type is packed and the
// source is still the file the scan found, else (or when packing fails) the plain copy.
struct FileCopyJob {
  // What to do, filled by the run.
  QString source;
  QString destination;  // of the plain copy; an archive is named destination + ".LZH"
  QString anchor;       // the source anchor of the copy
  bool tryPack = false;
  bool hashing = false;
  bool unrecordedTarget = false;
  // What became of it.
  bool packTried = false;
  std::optional<DirEntry> packInfo;  // the source as it was before it was packed
  bool packed = false;
  bool observed = false;  // the archiver showed what it packed: `hash` is the packed file's
  CopyResult copied;      // the plain copy, when it was made
  std::optional<DirEntry> failedInfo;  // the source after a failed plain copy (not packed)
  ContentHash hash;
  bool done = false;  // set by the worker, under the crew's lock
  // The file the job left in the destination, empty when none.
  QString Written() const;
};

// Does the job on the given platform, on the calling thread.
void PerformFileCopy(Platform& fs, ArchiverLibrary* archiver, FileCopyJob& job);


class CopyCrew {
 public:
  // Nothing when the run copies on its own thread: one worker, or a platform that cannot
  // give one to another thread.
  static std::unique_ptr<CopyCrew> Start(Platform& fs, ArchiverLibrary* archiver, int workers);
  ~CopyCrew();  // jobs under way are finished, jobs not yet taken are dropped
  CopyCrew(const CopyCrew&) = delete;
  CopyCrew& operator=(const CopyCrew&) = delete;

  int Size() const { return static_cast<int>(threads_.size()); }
  // Hands a job to the workers; `bytes` count as in flight at once, until it is done. The
  // jobs handed over reach the workers together, at the next Flush or wait: the workers
  // are woken once for a batch, not for every file.
  void Post(std::shared_ptr<FileCopyJob> job, int64_t bytes);
  void Flush();
  // Waits up to `ms` milliseconds for the job; true when it is done.
  bool Wait(const FileCopyJob& job, int ms);
  // The same, but a job not done yet is waited for on (within the time) until at most
  // `pending` jobs are left: the run then takes the finished ones at one go instead of
  // waking for each of them, while the workers still have work.
  bool WaitBatch(const FileCopyJob& job, int pending, int ms);
  // The bytes of the jobs handed out and not yet done.
  int64_t BytesInFlight();
  // While paused, no worker starts another job (jobs under way go on).
  void Pause(bool paused);

 private:
  explicit CopyCrew(ArchiverLibrary* archiver) : archiver_(archiver) {}
  void Work(Platform& fs);
  struct Queued {
    std::shared_ptr<FileCopyJob> job;
    int64_t bytes;
  };
  ArchiverLibrary* archiver_;
  std::mutex mutex_;
  std::condition_variable work_, done_;
  std::deque<Queued> queue_;
  std::vector<Queued> posted_;  // the run's, not yet flushed: no lock for them
  std::atomic<int64_t> inFlight_{0};  // asked for every entry: no lock for it
  int pending_ = 0;  // jobs posted and not yet done
  // What the run waits for, when it waits: a job, and at most so many pending.
  const FileCopyJob* waitingFor_ = nullptr;
  int waitingPending_ = 0;
  bool stop_ = false;
  bool paused_ = false;
  std::vector<std::unique_ptr<Platform>> platforms_;
  std::vector<std::thread> threads_;
};

}  // namespace qarno
