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

}  // namespace

RunVerifier::RunVerifier(Module1& module, const QString& setName) : m(module), setName_(setName) {}

VerifyReport RunVerifier::Verify(const HistoryEntry& run, bool full) {
  VerifyReport report;
  report.full = full;
  report.saveName = run[HistoryEntry::SaveName];
  done_ = total_ = 0;
  current_.clear();
  if (!IsSaveName(report.saveName)) return report;
  // No run or history change of the set meanwhile (another verify or a restore may go on).
  std::unique_ptr<SetLock> hold;
  if (!m.HoldSet(setName_, LockKind::Shared, QStringLiteral("検証"), hold)) return report;
  const RunPaths paths = RunPaths::Of(run[HistoryEntry::SaveDir], setName_, report.saveName);
  report.listing = paths.SaveCsvFile;
  m.WriteDebugPath(4300, "VerifyRun", report.saveName, full ? 1 : 0);
  const auto listingBytes = m.fs.ReadAll(paths.SaveCsvFile);
  if (!listingBytes) return report;
  report.listingRead = true;
  const QStringList lines = m.codec.DecodeLines(*listingBytes);

  auto problem = [&](VerifyProblem::Kind kind, const QString& path, const QString& detail = QString()) {
    report.problems.push_back(VerifyProblem{kind, path, detail});
  };
  // Every line of a listing ends with its line break: without one the file was cut.
  if (lines.isEmpty()) problem(VerifyProblem::Kind::ListingDamaged, paths.SaveCsvFile, QStringLiteral("the listing holds no line"));
  else if (!listingBytes->endsWith('\n'))
    problem(VerifyProblem::Kind::ListingDamaged, paths.SaveCsvFile, QStringLiteral("the last line is cut"));

  // The manifest, as input: damaged lines are told and skipped.
  ManifestContent manifest;
  if (const auto bytes = m.fs.ReadAll(paths.SaveSumFile)) {
    manifest = ParseManifest(*bytes);
    switch (manifest.state) {
      case ManifestContent::State::Read:
        report.manifest = VerifyReport::Manifest::Present;
        if (manifest.badLines > 0) {
          report.manifest = VerifyReport::Manifest::Damaged;
          problem(VerifyProblem::Kind::ManifestDamaged, paths.SaveSumFile,
                  QStringLiteral("%1 unreadable line(s), the first is line %2").arg(manifest.badLines).arg(manifest.firstBadLine));
        }
        if (manifest.Cut()) {
          report.manifest = VerifyReport::Manifest::Damaged;
          problem(VerifyProblem::Kind::ManifestDamaged, paths.SaveSumFile,
                  manifest.endCount < 0       ? QStringLiteral("no end line: the manifest is cut short")
                  : manifest.linesAfterEnd ? QStringLiteral("lines follow the end line")
                                           : QStringLiteral("the end line counts %1 file line(s), the manifest holds %2")
                                                 .arg(manifest.endCount)
                                                 .arg(manifest.fileLines));
        }
        break;
      case ManifestContent::State::NotManifest:
        report.manifest = VerifyReport::Manifest::Damaged;
        problem(VerifyProblem::Kind::ManifestDamaged, paths.SaveSumFile, QStringLiteral("not a content manifest"));
        break;
      case ManifestContent::State::NewerVersion:
        report.manifest = VerifyReport::Manifest::NewerVersion;
        break;
    }
  }

  // The files this run holds: listed with this run's save name.
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
    problem(VerifyProblem::Kind::ListingDamaged, paths.SaveCsvFile,
            QStringLiteral("%1 unreadable line(s), the first is line %2").arg(badLines).arg(firstBadLine));
  report.files = total_ = static_cast<int64_t>(held.size());

  // Listing and manifest name the same copies. A manifest line without its file in the
  // listing means a listing that lost entries; a file this run copied plainly is always
  // hashed, so its missing line means a manifest that lost lines (unless lines that do not
  // read account for it). Files an earlier run of the same save copied ("2"), and packed
  // ones (an archiver may not show what it reads), may lack a line.
  if (manifest.state == ManifestContent::State::Read) {
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
      problem(VerifyProblem::Kind::ListingDamaged, paths.SaveCsvFile,
              QStringLiteral("the manifest names %1 file(s) the listing does not hold, the first is %2")
                  .arg(unlisted.size())
                  .arg(unlisted.first()));
    }
    if (withoutLine.size() > manifest.badLines) {
      report.manifest = VerifyReport::Manifest::Damaged;
      problem(VerifyProblem::Kind::ManifestDamaged, paths.SaveSumFile,
              QStringLiteral("%1 file(s) copied by this run have no line, the first is %2")
                  .arg(withoutLine.size())
                  .arg(withoutLine.first()));
    }
  }

  ContentHash hash;
  std::vector<char> buffer;
  for (const SaveListEntry& e : held) {
    m.DoEvents();
    if (m.CancelFlag) {
      report.stopped = true;
      return report;
    }
    const QString& path = e.path;
    current_ = path;
    ++done_;
    ++report.checked;
    const QString& alias = e.alias;
    if (!alias.isEmpty() && !IsAliasText(alias)) {
      problem(VerifyProblem::Kind::Missing, path, QStringLiteral("the listing names no usable copy"));
      continue;
    }
    const bool packed = e.compType == CompType::Lha;
    QString copy = CopyPathIn(paths.SaveSetDir, path, alias);
    if (packed) copy += QStringLiteral(".LZH");
    const bool sizeOk = e.size.Readable();
    const int64_t listed = e.size.Bytes();
    auto file = m.fs.OpenInside(paths.SaveSetHDir, copy);
    if (!file) {
      problem(VerifyProblem::Kind::Missing, path, copy);
      continue;
    }
    const qint64 length = file->size();
    const ManifestEntry* expected = nullptr;
    if (full && report.manifest != VerifyReport::Manifest::Missing) {
      const auto it = manifest.entries.constFind(path);
      if (it != manifest.entries.constEnd()) expected = &it.value();
    }
    hash.Reset();
    if (!packed) {
      if (!sizeOk || length != listed) {
        problem(VerifyProblem::Kind::SizeDiffers, path, QStringLiteral("listed %1 bytes, found %2").arg(e.size.Text()).arg(length));
        continue;
      }
      if (!full) continue;
      buffer.resize(static_cast<size_t>(kBlock));
      qint64 n = 0;
      while ((n = file->read(buffer.data(), kBlock)) > 0) hash.Add(buffer.data(), static_cast<size_t>(n));
      if (n < 0 || hash.Size() != length) {
        problem(VerifyProblem::Kind::Missing, path, QStringLiteral("the copy cannot be read"));
        continue;
      }
    } else {
      DeviceReader reader(*file);
      try {
        if (!full) {
          lha::EntryHeader h;
          do {
            if (!lha::readHeader(reader, h)) throw lha::Error(lha::ErrorCode::NoEntry, "the archive holds no file");
            if (h.method == lha::Method::Directory && !file->skip(static_cast<qint64>(h.packedSize)))
              throw lha::Error(lha::ErrorCode::BadHeader, "the archive ends early");
          } while (h.method == lha::Method::Directory);
          if (file->pos() + static_cast<qint64>(h.packedSize) > length)
            throw lha::Error(lha::ErrorCode::BadData, "the archive ends early");
          if (!sizeOk || static_cast<int64_t>(h.originalSize) != listed)
            problem(VerifyProblem::Kind::SizeDiffers, path,
                    QStringLiteral("listed %1 bytes, the archive holds %2").arg(e.size.Text()).arg(h.originalSize));
          continue;
        }
        HashWriter writer(hash);
        const lha::EntryHeader h = lha::extractFirstFile(reader, writer);
        if (!sizeOk || static_cast<int64_t>(h.originalSize) != listed) {
          problem(VerifyProblem::Kind::SizeDiffers, path,
                  QStringLiteral("listed %1 bytes, the archive holds %2").arg(e.size.Text()).arg(h.originalSize));
          continue;
        }
      } catch (const lha::Error& error) {
        problem(VerifyProblem::Kind::ArchiveDamaged, path, QString::fromUtf8(error.what()));
        continue;
      } catch (const std::exception& error) {
        problem(VerifyProblem::Kind::ArchiveDamaged, path, QString::fromUtf8(error.what()));
        continue;
      }
    }
    // Full: the bytes against the manifest.
    if (!expected) {
      ++report.notInManifest;
      continue;
    }
    ++report.contentChecked;
    if (expected->size != hash.Size() || expected->hash != hash.Hex())
      problem(VerifyProblem::Kind::ContentDiffers, path,
              expected->size != hash.Size() ? QStringLiteral("%1 bytes read back, %2 saved").arg(hash.Size()).arg(expected->size)
                                            : QStringLiteral("hash %1, saved as %2")
                                                  .arg(QString::fromLatin1(hash.Hex()), QString::fromLatin1(expected->hash)));
  }
  current_.clear();
  return report;
}

}  // namespace qarno
