// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small real file system for the tests of a full medium: a tmpfs of a few hundred KB
// mounted on a temporary folder (only root may mount; the tests skip otherwise), unmounted
// again at the end. Fill() leaves just so many bytes free.
#include <QString>
#include <QTemporaryDir>

namespace qarno::test {

class SmallVolume {
 public:
  explicit SmallVolume(int kilobytes);
  ~SmallVolume();
  SmallVolume(const SmallVolume&) = delete;
  SmallVolume& operator=(const SmallVolume&) = delete;

  bool mounted() const { return mounted_; }
  QString path() const { return dir_.path(); }
  // Writes a filler file until at most `leaveBytes` are free (0: the volume is full).
  void Fill(qint64 leaveBytes = 0);
  // Removes the filler.
  void Drain();
  qint64 FreeBytes() const;

 private:
  QTemporaryDir dir_;
  bool mounted_ = false;
};

}  // namespace qarno::test
