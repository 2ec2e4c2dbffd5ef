// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Verifying a recorded run: are the copies it holds still there, and still what was saved?
//
// Quick: every file the run's listing names as held by this run is in its save folder with
// the listed size (a packed file: its archive's header reads, names that size, and the
// archive is as long as the header says). Full: every copy is read back, every archive
// unpacked in memory (its CRC checked), and the bytes compared with the run's content
// manifest. A run made before manifests existed, or with them switched off, is verified as
// far as its listing allows, and the report says so.
//
// Either way listing and manifest are held against each other first: a listing that is
// empty, holds lines that do not read or ends in the middle of a line, a manifest that was
// cut short (its end line), a manifest line for a file the listing does not hold, and a file
// this run copied plainly without a manifest line are all reported: a cut record must never
// pass for a clean run because there was less to check.
//
// The save folder is read as hostile input: no link is followed on the way to a copy, and
// nothing outside the save folder is read. Nothing is written. The check yields through the
// prompter once per file and stops at a Cancel (the cancel token).
#include "common/Module1.h"
#include "common/Types.h"

#include <optional>
#include <vector>

namespace qarno {

class ContentHash;
struct SaveListEntry;
struct ManifestContent;
struct RunPaths;

struct VerifyProblem {
  enum class Kind {
    Missing,          // no regular file where the copy should be
    SizeDiffers,      // the copy (or the size its archive names) is not the listed size
    ContentDiffers,   // the bytes read back are not the ones the manifest describes
    ArchiveDamaged,   // the archive's header or data does not read
    ManifestDamaged,  // the manifest (or some of its lines) does not read, is cut or lacks lines
    ListingDamaged,   // the listing is empty, cut, holds lines that do not read, or lacks files
  };
  Kind kind;
  QString path;    // the entry's path, or the manifest's or listing's file for their damage
  QString detail;  // what was found, for the person reading the report
};

// "missing", "size differs", "content differs", "archive damaged", "manifest damaged",
// "listing damaged".
QString VerifyKindText(VerifyProblem::Kind kind);

struct VerifyReport {
  enum class Manifest { Present, Missing, Damaged, NewerVersion };
  QString saveName;
  QString listing;                        // the listing read
  bool listingRead = false;               // false: nothing could be checked
  bool full = false;
  bool stopped = false;                   // a Cancel ended the check early
  Manifest manifest = Manifest::Missing;
  int64_t files = 0;                      // files the run holds
  int64_t checked = 0;                    // of them, checked so far
  int64_t contentChecked = 0;             // full: compared with the manifest
  int64_t notInManifest = 0;              // full: held, but without a manifest line
  std::vector<VerifyProblem> problems;

  bool Clean() const { return listingRead && !stopped && problems.empty(); }
};

class RunVerifier {
 public:
  RunVerifier(Module1& m, const QString& setName);
  // Verifies one run of the history.
  VerifyReport Verify(const HistoryEntry& run, bool full);

  // Progress, for a window's timer: files checked of the run's files, and the current one.
  int64_t Done() const { return done_; }
  int64_t Total() const { return total_; }
  const QString& Current() const { return current_; }

 private:
  // Every copy the run holds, one by one, until a Cancel.
  void CheckCopies(const std::vector<SaveListEntry>& held, const ManifestContent& manifest, const RunPaths& paths,
                   VerifyReport& report);
  // What is wrong with the entry's copy, or nothing; in full mode its bytes go into `hash`.
  std::optional<VerifyProblem> CheckCopy(const SaveListEntry& e, const RunPaths& paths, bool full, ContentHash& hash);

  const RunEnvironment env_;
  // The set's hold: the sets this process holds exclusively, where the holds are, how long
  // to wait for another holder.
  QStringList& exclusiveHolds_;
  const QString setFolder_;
  const int holdWaitMs_;
  QString setName_;
  int64_t done_ = 0, total_ = 0;
  QString current_;
  std::vector<char> buffer_;  // a block of a copy read back
};

}  // namespace qarno
