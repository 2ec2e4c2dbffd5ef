// SPDX-License-Identifier: GPL-3.0-or-later
#include "restore/RunVerifier.h"

#include "records/ContentManifest.h"
#include "records/ListingLine.h"
#include "records/SaveLayout.h"

#include "codec/lha_archive.h"
#include "codec/lha_header.h"

#include <QIODevice>
#include <QSet>
#include <memory>

namespace qarno {

QString VerifyKindText(VerifyProblem::Kind kind) {
  switch (kind) {
    case VerifyProblem::Kind::Missing: return QStringLiteral("missing");
    case VerifyProblem::Kind::SizeDiffers: return QStringLiteral("size differs");
    case VerifyProblem::Kind::ContentDiffers: return QStringLiteral("content differs");
    case VerifyProblem::Kind::ArchiveDamaged: return QStringLiteral("archive damaged");
    case VerifyProblem::Kind::ManifestDamaged: return QStringLiteral("manifest damaged");
    case VerifyProblem::Kind::ListingDamaged: return QStringLiteral("listing damaged");
  }
  return QString();
}

namespace {

constexpr qint64 kBlock = qint64(1) << 20;

// The archive as the codec reads it: from the opened file, a block at a time.
class DeviceReader : public lha::Reader {
 public:
  explicit DeviceReader(QIODevice& device) : device_(device) {}
  std::size_t read(std::uint8_t* buf, std::size_t size) override {
    const qint64 n = device_.read(reinterpret_cast<char*>(buf), static_cast<qint64>(size));
    if (n < 0) throw lha::Error(lha::ErrorCode::CannotRead, "the archive cannot be read");
    return static_cast<std::size_t>(n);
  }

 private:
  QIODevice& device_;
};

// The unpacked bytes go into the hash only: nothing is written anywhere.
class HashWriter : public lha::Writer {
 public:
  explicit HashWriter(ContentHash& hash) : hash_(hash) {}
  void write(const std::uint8_t* data, std::size_t size) override {
    hash_.Add(reinterpret_cast<const char*>(data), size);
  }

 private:
  ContentHash& hash_;
};

using Kind = VerifyProblem::Kind;

void AddProblem(VerifyReport& report, Kind kind, const QString& path, const QString& detail = QString()) {
  report.problems.push_back(VerifyProblem{kind, path, detail});
}

// Every line of a listing ends with its line break: without one the file was cut.
void CheckListingEnd(const QByteArray& bytes, const QStringList& lines, const QString& file, VerifyReport& report) {
  if (lines.isEmpty()) AddProblem(report, Kind::ListingDamaged, file, QCoreApplication::translate("RunVerifier", "保存リストに行がありません"));
  else if (!bytes.endsWith('\n')) AddProblem(report, Kind::ListingDamaged, file, QCoreApplication::translate("RunVerifier", "最後の行が途中で切れています"));
}

// The manifest, as input: damaged lines are told and skipped.
ManifestContent ReadManifest(Platform& fs, const QString& file, VerifyReport& report) {
  ManifestContent manifest;
  const auto bytes = fs.ReadAll(file);
  if (!bytes) return manifest;
  manifest = ParseManifest(*bytes);
  switch (manifest.state) {
    case ManifestContent::State::Read:
      report.manifest = VerifyReport::Manifest::Present;
      if (manifest.badLines > 0) {
        report.manifest = VerifyReport::Manifest::Damaged;
        AddProblem(report, Kind::ManifestDamaged, file,
                   QCoreApplication::translate("RunVerifier", "読めない行が %1 行あります（最初は %2 行目）").arg(manifest.badLines).arg(manifest.firstBadLine));
      }
      if (manifest.Cut()) {
        report.manifest = VerifyReport::Manifest::Damaged;
        AddProblem(report, Kind::ManifestDamaged, file,
                   manifest.endCount < 0       ? QCoreApplication::translate("RunVerifier", "終わりの行がありません: 目録が途中で切れています")
                   : manifest.linesAfterEnd ? QCoreApplication::translate("RunVerifier", "終わりの行の後にも行があります")
                                            : QCoreApplication::translate("RunVerifier", "終わりの行ではファイルの行が %1 行、目録には %2 行あります")
                                                  .arg(manifest.endCount)
                                                  .arg(manifest.fileLines));
      }
      break;
    case ManifestContent::State::NotManifest:
      report.manifest = VerifyReport::Manifest::Damaged;
      AddProblem(report, Kind::ManifestDamaged, file, QCoreApplication::translate("RunVerifier", "内容の目録ではありません"));
      break;
    case ManifestContent::State::NewerVersion:
      report.manifest = VerifyReport::Manifest::NewerVersion;
      break;
  }
  return manifest;
}

// The files this run holds: listed with this run's save name. Lines that do not read are
// told once, with the first of them.
std::vector<SaveListEntry> HeldFiles(const QStringList& lines, const QString& file, VerifyReport& report) {
  std::vector<SaveListEntry> held;
  int badLines = 0, firstBadLine = 0, lineNumber = 0;
  for (const QString& line : lines) {
    ++lineNumber;
    if (line.isEmpty()) continue;
    const ListingFields fields = SplitListingLine(line);
    if (!fields.WellFormed()) {
      if (badLines++ == 0) firstBadLine = lineNumber;
      continue;
    }
    if (fields[SaveListEntry::SaveName] != report.saveName) continue;
    SaveListEntry e = fields.ToEntry();
    if (e.IsDirectory() || !IsListablePath(e.path)) continue;
    held.push_back(std::move(e));
  }
  if (badLines > 0)
    AddProblem(report, Kind::ListingDamaged, file,
               QCoreApplication::translate("RunVerifier", "読めない行が %1 行あります（最初は %2 行目）").arg(badLines).arg(firstBadLine));
  return held;
}

// Listing and manifest name the same copies. A manifest line without its file in the
// listing means a listing that lost entries; a file this run copied plainly is always
// hashed, so its missing line means a manifest that lost lines (unless lines that do not
// read account for it). Files an earlier run of the same save copied ("2"), and packed
// ones (an archiver may not show what it reads), may lack a line.
void CrossCheck(const std::vector<SaveListEntry>& held, const ManifestContent& manifest, const RunPaths& paths,
                VerifyReport& report) {
  if (manifest.state != ManifestContent::State::Read) return;
  QSet<QString> heldPaths;
  QStringList withoutLine;
  for (const SaveListEntry& e : held) {
    heldPaths.insert(e.path);
    if (e.flag == Flag::Copied && e.compType != CompType::Lha &&
        !manifest.entries.contains(e.path))
      withoutLine += e.path;
  }
  QStringList unlisted;
  for (auto it = manifest.entries.constBegin(); it != manifest.entries.constEnd(); ++it) {
    if (!heldPaths.contains(it.key())) unlisted += it.key();
  }
  if (!unlisted.isEmpty()) {
    unlisted.sort();
    AddProblem(report, Kind::ListingDamaged, paths.SaveCsvFile,
               QCoreApplication::translate("RunVerifier", "目録には保存リストにないファイルが %1 個あります（最初は %2）")
                   .arg(unlisted.size())
                   .arg(unlisted.first()));
  }
  if (withoutLine.size() > manifest.badLines) {
    report.manifest = VerifyReport::Manifest::Damaged;
    AddProblem(report, Kind::ManifestDamaged, paths.SaveSumFile,
               QCoreApplication::translate("RunVerifier", "この回にコピーしたファイルのうち %1 個に目録の行がありません（最初は %2）")
                   .arg(withoutLine.size())
                   .arg(withoutLine.first()));
  }
}

// What is wrong with one copy, or nothing. A copy without a problem has been read into the
// hash in full mode.
using CopyProblem = std::optional<VerifyProblem>;

CopyProblem Problem(Kind kind, const QString& path, const QString& detail) { return VerifyProblem{kind, path, detail}; }

CopyProblem SizeProblem(const SaveListEntry& e, const QString& found) {
  return Problem(Kind::SizeDiffers, e.path, QCoreApplication::translate("RunVerifier", "一覧では %1 バイト、").arg(e.size.Text()) + found);
}

// A plain copy: the listed size, and in full mode every byte read into the hash.
CopyProblem CheckPlainCopy(QIODevice& file, const SaveListEntry& e, bool full, ContentHash& hash, std::vector<char>& buffer) {
  const bool sizeOk = e.size.Readable();
  const int64_t listed = e.size.Bytes();
  const qint64 length = file.size();
  if (!sizeOk || length != listed) return SizeProblem(e, QCoreApplication::translate("RunVerifier", "実際は %1 バイト").arg(length));
  if (!full) return std::nullopt;
  buffer.resize(static_cast<size_t>(kBlock));
  qint64 n = 0;
  while ((n = file.read(buffer.data(), kBlock)) > 0) hash.Add(buffer.data(), static_cast<size_t>(n));
  if (n < 0 || hash.Size() != length) return Problem(Kind::Missing, e.path, QCoreApplication::translate("RunVerifier", "コピーが読めません"));
  return std::nullopt;
}

// The header of the archive's file, past any folder entries, whose data the archive holds.
lha::EntryHeader ReadFileHeader(QIODevice& file, lha::Reader& reader) {
  lha::EntryHeader h;
  do {
    if (!lha::readHeader(reader, h)) throw lha::Error(lha::ErrorCode::NoEntry, "the archive holds no file");
    if (h.method == lha::Method::Directory && !file.skip(static_cast<qint64>(h.packedSize)))
      throw lha::Error(lha::ErrorCode::BadHeader, "the archive ends early");
  } while (h.method == lha::Method::Directory);
  if (file.pos() + static_cast<qint64>(h.packedSize) > file.size())
    throw lha::Error(lha::ErrorCode::BadData, "the archive ends early");
  return h;
}

// A packed copy: its header names the listed size; in full mode the file is unpacked into
// the hash, its CRC checked.
CopyProblem CheckPackedCopy(QIODevice& file, const SaveListEntry& e, bool full, ContentHash& hash) {
  const bool sizeOk = e.size.Readable();
  const int64_t listed = e.size.Bytes();
  DeviceReader reader(file);
  try {
    lha::EntryHeader h;
    if (full) {
      HashWriter writer(hash);
      h = lha::extractFirstFile(reader, writer);
    } else {
      h = ReadFileHeader(file, reader);
    }
    if (!sizeOk || static_cast<int64_t>(h.originalSize) != listed)
      return SizeProblem(e, QCoreApplication::translate("RunVerifier", "書庫では %1 バイト").arg(h.originalSize));
  } catch (const std::exception& error) {
    return Problem(Kind::ArchiveDamaged, e.path, QString::fromUtf8(error.what()));
  }
  return std::nullopt;
}

// Full: the bytes read back against the manifest's line.
CopyProblem CompareWithManifest(const QString& path, const ManifestEntry& expected, const ContentHash& hash) {
  if (expected.size != hash.Size())
    return Problem(Kind::ContentDiffers, path, QCoreApplication::translate("RunVerifier", "読み戻したのは %1 バイト、保存時は %2 バイト").arg(hash.Size()).arg(expected.size));
  if (!(expected.hash == hash.Hex()))
    return Problem(Kind::ContentDiffers, path,
                   QCoreApplication::translate("RunVerifier", "ハッシュ %1、保存時は %2").arg(QString::fromLatin1(hash.Hex()), QString::fromLatin1(expected.hash.View())));
  return std::nullopt;
}

}  // namespace

RunVerifier::RunVerifier(Module1& module, const QString& setName)
    : env_(module.Environment()),
      exclusiveHolds_(module.exclusiveHolds_),
      setFolder_(module.SetFolder),
      holdWaitMs_(module.setHoldWaitMs),
      setName_(setName) {}

VerifyReport RunVerifier::Verify(const HistoryEntry& run, bool full) {
  VerifyReport report;
  report.full = full;
  report.saveName = run[HistoryEntry::SaveName];
  done_ = total_ = 0;
  current_.clear();
  if (!IsSaveName(report.saveName)) return report;
  // No run or history change of the set meanwhile (another verify or a restore may go on).
  std::unique_ptr<SetLock> hold;
  if (!HoldSet(env_, exclusiveHolds_, holdWaitMs_, setFolder_, setName_, LockKind::Shared, QCoreApplication::translate("RunVerifier", "検証"), hold)) return report;
  const RunPaths paths = RunPaths::Of(run[HistoryEntry::SaveDir], setName_, report.saveName);
  report.listing = paths.SaveCsvFile;
  env_.WriteDebugPath(4300, "VerifyRun", report.saveName, full ? 1 : 0);
  const auto listingBytes = env_.fs.ReadAll(paths.SaveCsvFile);
  if (!listingBytes) return report;
  report.listingRead = true;
  const QStringList lines = env_.codec.DecodeLines(*listingBytes);
  CheckListingEnd(*listingBytes, lines, paths.SaveCsvFile, report);
  const ManifestContent manifest = ReadManifest(env_.fs, paths.SaveSumFile, report);
  const std::vector<SaveListEntry> held = HeldFiles(lines, paths.SaveCsvFile, report);
  report.files = total_ = static_cast<int64_t>(held.size());
  CrossCheck(held, manifest, paths, report);
  CheckCopies(held, manifest, paths, report);
  current_.clear();
  return report;
}

void RunVerifier::CheckCopies(const std::vector<SaveListEntry>& held, const ManifestContent& manifest,
                              const RunPaths& paths, VerifyReport& report) {
  ContentHash hash;
  for (const SaveListEntry& e : held) {
    env_.DoEvents();
    if (env_.cancel) {
      report.stopped = true;
      return;
    }
    current_ = e.path;
    ++done_;
    ++report.checked;
    hash.Reset();
    const ManifestEntry* expected = nullptr;
    CopyProblem problem = CheckCopy(e, paths, report.full, hash);
    if (!problem && report.full) {
      if (report.manifest != VerifyReport::Manifest::Missing) {
        const auto it = manifest.entries.constFind(e.path);
        if (it != manifest.entries.constEnd()) expected = &it.value();
      }
      if (!expected) ++report.notInManifest;
      else {
        ++report.contentChecked;
        problem = CompareWithManifest(e.path, *expected, hash);
      }
    }
    if (problem) report.problems.push_back(std::move(*problem));
  }
}

std::optional<VerifyProblem> RunVerifier::CheckCopy(const SaveListEntry& e, const RunPaths& paths, bool full,
                                                    ContentHash& hash) {
  const QString& path = e.path;
  const QString& alias = e.alias;
  if (!alias.isEmpty() && !IsAliasText(alias)) return Problem(Kind::Missing, path, QCoreApplication::translate("RunVerifier", "保存リストに使えるコピーの名前がありません"));
  const bool packed = e.compType == CompType::Lha;
  const QString copy = CopyPathIn(paths.SaveSetDir, path, alias) + (packed ? QStringLiteral(".LZH") : QString());
  auto file = env_.fs.OpenInside(paths.SaveSetHDir, copy);
  if (!file) return Problem(Kind::Missing, path, copy);
  return packed ? CheckPackedCopy(*file, e, full, hash) : CheckPlainCopy(*file, e, full, hash, buffer_);
}

}  // namespace qarno
