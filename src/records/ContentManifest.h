// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A run's content manifest, "<save>.sum" beside its listing: for every file the run copied or
// packed, the hash of the original bytes as the copy read them, with their count. The listing
// stays as it is; the manifest only adds what a listing cannot say, whether a copy still
// holds the bytes it was made from.
//
//   Qarno-Manifest 2 XXH3-128
//   <32 hex digits> <size> <Windows path>
//   end <number of file lines>
//
// UTF-8, CR LF, one file a line; the path is the rest of the line. The end line lets a reader
// tell a whole manifest from one cut short; version 1, written before it, has none and is
// read as it is. The hash is XXH3-128:
// fifteen times faster than SHA-256 here, so that hashing keeps pace with the copy. It
// guards against damage, not against a forger: whoever can rewrite a copy on the medium can
// rewrite the manifest beside it, whatever the hash.
//
// A manifest is read as input like any file on the medium: a line that does not parse is
// counted and skipped, and its paths are only ever looked up, never used to reach a file.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace qarno {

// The hash of a stream of bytes, fed in pieces.
class ContentHash {
 public:
  ContentHash();
  ~ContentHash();
  ContentHash(const ContentHash&) = delete;
  ContentHash& operator=(const ContentHash&) = delete;
  void Reset();
  void Add(const char* data, size_t size);
  // 32 lower-case hexadecimal digits.
  QByteArray Hex() const;
  int64_t Size() const { return size_; }

 private:
  void* state_;
  int64_t size_ = 0;
};

// A content hash as its 32 lower-case hexadecimal digits, held in place: a manifest of
// 32,765 files keeps no separate string per hash.
class HashHex {
 public:
  HashHex() = default;
  HashHex(QByteArrayView digits);  // NOLINT: the digits as read or computed (at most 32 kept)
  HashHex(const QByteArray& digits) : HashHex(QByteArrayView(digits)) {}  // NOLINT: as above
  QByteArrayView View() const { return QByteArrayView(digits_.data(), size_); }
  friend bool operator==(const HashHex& a, QByteArrayView b) { return a.View() == b; }

 private:
  std::array<char, 32> digits_{};
  uint8_t size_ = 0;
};

struct ManifestEntry {
  QString path;
  int64_t size = 0;
  HashHex hash;  // 32 lower-case hexadecimal digits
};

inline constexpr char kManifestMagic[] = "Qarno-Manifest";
inline constexpr int kManifestVersion = 2;

QByteArray FormatManifest(const std::vector<ManifestEntry>& entries);
// The same text in pieces of about `size` bytes, for writing a large manifest without
// holding it whole: the heading with the first piece, the closing count with the last, then
// empty pieces.
class ManifestText {
 public:
  explicit ManifestText(const std::vector<ManifestEntry>& entries) : entries_(entries) {}
  QByteArray Next(qsizetype size);

 private:
  const std::vector<ManifestEntry>& entries_;
  size_t at_ = 0;
  bool headed_ = false, ended_ = false;
};

struct ManifestContent {
  enum class State {
    Read,          // the first line is a manifest of a version this program reads
    NotManifest,   // the first line is not a manifest's (damaged, or another file)
    NewerVersion,  // written by a newer program
  };
  State state = State::NotManifest;
  int version = 0;                        // of a manifest that was read
  QHash<QString, ManifestEntry> entries;  // by path; a later line for a path wins
  int badLines = 0;                       // lines after the first that did not parse
  int firstBadLine = 0;                   // the number of the first of them (1-based)
  int fileLines = 0;                      // non-empty lines between the first and the end line
  int64_t endCount = -1;                  // what the end line counts; -1 when there is none
  bool linesAfterEnd = false;             // something follows the end line

  // A manifest of a version with an end line that lacks it, counts otherwise or goes on
  // after it: cut short or added to. A version 1 manifest cannot tell and is taken as whole.
  bool Cut() const { return version >= 2 && (endCount != fileLines || linesAfterEnd); }
};

ManifestContent ParseManifest(const QByteArray& content);

// The manifest of a save that a run adds to (an overwrite or repair run writes into a save
// that has one): the earlier entries of paths this run did not copy again, then this run's.
std::vector<ManifestEntry> MergeManifest(const ManifestContent& earlier, const std::vector<ManifestEntry>& now);

}  // namespace qarno
