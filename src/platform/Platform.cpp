// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Platform.h"

#include <QThread>
#include <algorithm>
#ifdef __linux__
#include <sched.h>
#endif

namespace qarno {

int CopyWorkerCount() {
  bool given = false;
  const int asked = qEnvironmentVariableIntValue("QARNO_COPY_WORKERS", &given);
  if (given) return std::clamp(asked, 1, 64);
#ifdef __linux__
  cpu_set_t cpus;
  CPU_ZERO(&cpus);
  if (::sched_getaffinity(0, sizeof cpus, &cpus) == 0) return std::clamp(CPU_COUNT(&cpus), 1, 64);
#endif
  return std::clamp(QThread::idealThreadCount(), 1, 64);
}

FsStatus Platform::WriteAtomic(const QString& path, const QByteArray& content) {
  bool given = false;
  return WriteAtomic(path, [&](QByteArray& piece) {
    piece = given ? QByteArray() : content;
    given = true;
    return true;
  });
}

FsStatus Platform::WriteAtomic(const QString& path, const std::function<bool(QByteArray& piece)>& next) {
  std::unique_ptr<BesideFile> file;
  FsStatus status = CreateBeside(path, file);
  // Every byte on the medium before the file takes the old one's place: a crash before the
  // rename leaves the old file, one after it the whole new one. On a failure the file beside
  // goes with `file`, and the old one was never touched.
  QByteArray piece;
  while (status) {
    if (!next(piece)) return FsStatus(FsError::Other);
    if (piece.isEmpty()) break;
    status = WriteBeside(*file, piece);
  }
  if (status) status = SyncBeside(*file);
  if (status) status = ReplaceWithBeside(*file);
  if (!status) return status;
  // The new file is in place whatever this says; the rename is made durable as far as the
  // medium lets a folder be synced.
  SyncBesideFolder(*file);
  return FsStatus();
}

}  // namespace qarno
