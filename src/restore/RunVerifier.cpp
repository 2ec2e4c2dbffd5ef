#include "restore/RunVerifier.h"

#include "records/ContentManifest.h"
#include "records/ListingLine.h"
#include "records/SaveLayout.h"

#include "codec/lha_archive.h"
#include "codec/lha_header.h"

#include <QIODevice>
#include <memory>

namespace qarno {

QString VerifyKindText(VerifyProblem::Kind kind) {
  switch (kind) {
    case VerifyProblem::Kind::Missing: return QStringLiteral("missing");
    case VerifyProblem::Kind::SizeDiffers: return QStringLiteral("size differs");
    case VerifyProblem::Kind::ContentDiffers: return QStringLiteral("content differs");
    case VerifyProblem::Kind::ArchiveDamaged: return QStringLiteral("archive damaged");
    case VerifyProblem::Kind::ManifestDamaged: return QStringLiteral("manifest damaged");
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
  const auto lines = m.ReadTextFile(paths.SaveCsvFile);
  if (!lines) return report;
  report.listingRead = true;

  auto problem = [&](VerifyProblem::Kind kind, const QString& path, const QString& detail = QString()) {
    report.problems.push_back(VerifyProblem{kind, path, detail});
  };

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
  for (const QString& line : *lines) {
    if (line.isEmpty()) continue;
    const ListingFields fields = SplitListingLine(line);
    if (!fields.WellFormed() || fields[SaveListEntry::SaveName] != report.saveName) continue;
    SaveListEntry e = fields.ToEntry();
    if (e.IsDirectory() || !IsListablePath(e[SaveListEntry::Path])) continue;
    held.push_back(std::move(e));
  }
  report.files = total_ = static_cast<int64_t>(held.size());

  ContentHash hash;
  std::vector<char> buffer;
  for (const SaveListEntry& e : held) {
    m.DoEvents();
    if (m.CancelFlag) {
      report.stopped = true;
      return report;
    }
    const QString& path = e[SaveListEntry::Path];
    current_ = path;
    ++done_;
    ++report.checked;
    const QString& alias = e[SaveListEntry::Alias];
    if (!alias.isEmpty() && !IsAliasText(alias)) {
      problem(VerifyProblem::Kind::Missing, path, QStringLiteral("the listing names no usable copy"));
      continue;
    }
    const bool packed = e[SaveListEntry::CompType] == comp::Lha;
    QString copy = CopyPathIn(paths.SaveSetDir, path, alias);
    if (packed) copy += QStringLiteral(".LZH");
    bool sizeOk = false;
    const int64_t listed = e[SaveListEntry::Size].toLongLong(&sizeOk);
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
        problem(VerifyProblem::Kind::SizeDiffers, path, QStringLiteral("listed %1 bytes, found %2").arg(e[SaveListEntry::Size]).arg(length));
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
                    QStringLiteral("listed %1 bytes, the archive holds %2").arg(e[SaveListEntry::Size]).arg(h.originalSize));
          continue;
        }
        HashWriter writer(hash);
        const lha::EntryHeader h = lha::extractFirstFile(reader, writer);
        if (!sizeOk || static_cast<int64_t>(h.originalSize) != listed) {
          problem(VerifyProblem::Kind::SizeDiffers, path,
                  QStringLiteral("listed %1 bytes, the archive holds %2").arg(e[SaveListEntry::Size]).arg(h.originalSize));
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
