// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding a file across the runs of a set: every recorded run that holds a version of each
// path the pattern matches, newest run first. The pattern follows the skip list's rule ("*"
// for any run of characters, letters without case, the whole path matched).
//
// Every listing describes the whole set as it stood at its run, and names for each entry the
// run whose save holds its copy; a version is one (path, holding run) pair, found in any
// listing of the history and kept when the holding run is itself in the history.
//
// Listings are input: a line that is not well formed is skipped, and a listing that cannot be
// read is counted. Built for long histories: each listing is scanned as bytes, and a path's
// text is decoded and matched once for all the runs that list it.
#include "common/Module1.h"
#include "mainwin/HistoryTable.h"

#include <vector>

namespace qarno {

struct FoundVersion {
  QString path;
  QString saveName;   // the run whose save holds the copy
  QString runDate;    // that run's date (the history's)
  QString level;      // that run's level caption
  int64_t size = 0;   // the file's size as listed
  QString fileDate;   // the file's last-write date as listed
  QString copyPath;   // where the copy lies (".LZH" appended when packed)
  bool packed = false;
};

struct FindResult {
  std::vector<FoundVersion> versions;  // by path, then newest run first
  int listingsRead = 0;
  QStringList listingsUnread;          // save names whose listing could not be read
  bool stopped = false;
};

class RunFinder {
 public:
  RunFinder(Module1& m, const HistoryTable& history, const QString& setName);
  FindResult Find(const QString& pattern);

  // Progress, for a window's timer: listings searched of the history's runs.
  int Done() const { return done_; }
  int Total() const { return total_; }

 private:
  const RunEnvironment env_;
  const HistoryTable& history_;
  QString setName_;
  int done_ = 0, total_ = 0;
};

}  // namespace qarno
