// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/ContentManifest.h"

#include "records/ListingLine.h"

#include <QSet>
#include <algorithm>
#include <limits>
#include <xxhash.h>

namespace qarno {

ContentHash::ContentHash() : state_(XXH3_createState()) {
  if (!state_) throw std::bad_alloc();
  Reset();
}

ContentHash::~ContentHash() { XXH3_freeState(static_cast<XXH3_state_t*>(state_)); }

void ContentHash::Reset() {
  XXH3_128bits_reset(static_cast<XXH3_state_t*>(state_));
  size_ = 0;
}

void ContentHash::Add(const char* data, size_t size) {
  XXH3_128bits_update(static_cast<XXH3_state_t*>(state_), data, size);
  size_ += static_cast<int64_t>(size);
}

QByteArray ContentHash::Hex() const {
  const XXH128_hash_t h = XXH3_128bits_digest(static_cast<XXH3_state_t*>(state_));
  XXH128_canonical_t canonical;
  XXH128_canonicalFromHash(&canonical, h);
  return QByteArray(reinterpret_cast<const char*>(canonical.digest), sizeof canonical.digest).toHex();
}

HashHex::HashHex(QByteArrayView digits) : size_(static_cast<uint8_t>(std::min<qsizetype>(digits.size(), 32))) {
  std::copy_n(digits.data(), size_, digits_.data());
}

QByteArray FormatManifest(const std::vector<ManifestEntry>& entries) {
  return ManifestText(entries).Next(std::numeric_limits<qsizetype>::max());
}

QByteArray ManifestText::Next(qsizetype size) {
  QByteArray out;
  if (ended_) return out;
  if (!headed_) {
    out = QByteArray(kManifestMagic) + ' ' + QByteArray::number(kManifestVersion) + " XXH3-128\r\n";
    headed_ = true;
  }
  out.reserve(std::min<qsizetype>(size, out.size() + static_cast<qsizetype>(entries_.size() - at_) * 100) + 256);
  for (; at_ < entries_.size() && out.size() < size; ++at_) {
    const ManifestEntry& e = entries_[at_];
    out += e.hash.View();
    out += ' ' + QByteArray::number(static_cast<qlonglong>(e.size)) + ' ' + e.path.toUtf8() + "\r\n";
  }
  if (at_ == entries_.size()) {
    out += "end " + QByteArray::number(static_cast<qulonglong>(entries_.size())) + "\r\n";
    ended_ = true;
  }
  return out;
}

namespace {

bool IsHashText(QByteArrayView text) {
  if (text.size() != 32) return false;
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

// "end <count>": the count, or -1 when the line is none.
int64_t EndCount(QByteArrayView line) {
  if (!line.startsWith("end ")) return -1;
  const QByteArrayView number = line.sliced(4);
  if (number.isEmpty() || number.size() > 18) return -1;
  for (char c : number) {
    if (c < '0' || c > '9') return -1;
  }
  return number.toLongLong();
}

// "Qarno-Manifest <version> <hash name>": the version, or -1 when the line is none.
int HeaderVersion(QByteArrayView line) {
  const QByteArrayView magic(kManifestMagic);
  if (!line.startsWith(magic) || line.size() <= magic.size() || line[magic.size()] != ' ') return -1;
  QByteArrayView rest = line.sliced(magic.size() + 1);
  const qsizetype space = rest.indexOf(' ');
  const QByteArrayView number = space < 0 ? rest : rest.first(space);
  bool ok = false;
  const int version = number.toInt(&ok);
  if (!ok || version < 1) return -1;
  if (version <= kManifestVersion && (space < 0 || rest.sliced(space + 1) != "XXH3-128")) return -1;
  return version;
}

}  // namespace

ManifestContent ParseManifest(const QByteArray& content) {
  ManifestContent out;
  qsizetype at = 0;
  int lineNumber = 0;
  while (at < content.size()) {
    qsizetype end = content.indexOf('\n', at);
    if (end < 0) end = content.size();
    QByteArrayView line(content.constData() + at, end - at);
    at = end + 1;
    if (line.endsWith('\r')) line.chop(1);
    ++lineNumber;
    if (lineNumber == 1) {
      const int version = HeaderVersion(line);
      if (version < 0) return out;
      if (version > kManifestVersion) {
        out.state = ManifestContent::State::NewerVersion;
        return out;
      }
      out.state = ManifestContent::State::Read;
      out.version = version;
      continue;
    }
    if (line.isEmpty()) continue;
    if (out.endCount >= 0) out.linesAfterEnd = true;
    if (out.version >= 2 && out.endCount < 0) {
      if (const int64_t count = EndCount(line); count >= 0) {
        out.endCount = count;
        continue;
      }
    }
    if (out.endCount < 0) ++out.fileLines;
    auto bad = [&] {
      if (out.badLines++ == 0) out.firstBadLine = lineNumber;
    };
    const qsizetype s1 = line.indexOf(' ');
    const qsizetype s2 = s1 < 0 ? -1 : line.indexOf(' ', s1 + 1);
    if (s2 < 0 || !IsHashText(line.first(s1))) {
      bad();
      continue;
    }
    const QByteArrayView sizeText = line.sliced(s1 + 1, s2 - s1 - 1);
    bool ok = !sizeText.isEmpty() && sizeText.size() <= 18 && sizeText[0] != '-' && sizeText[0] != '+';
    const qlonglong size = ok ? sizeText.toLongLong(&ok) : 0;
    const QString path = QString::fromUtf8(line.sliced(s2 + 1));
    if (!ok || !IsListablePath(path) || path.toUtf8() != line.sliced(s2 + 1)) {
      bad();
      continue;
    }
    out.entries.insert(path, ManifestEntry{path, size, line.first(s1)});
  }
  return out;
}

std::vector<ManifestEntry> MergeManifest(const ManifestContent& earlier, const std::vector<ManifestEntry>& now) {
  QSet<QString> renewed;
  for (const ManifestEntry& e : now) renewed.insert(e.path);
  std::vector<ManifestEntry> out;
  out.reserve(static_cast<size_t>(earlier.entries.size()) + now.size());
  if (earlier.state == ManifestContent::State::Read) {
    for (const ManifestEntry& e : earlier.entries) {
      if (!renewed.contains(e.path)) out.push_back(e);
    }
    std::sort(out.begin(), out.end(), [](const ManifestEntry& a, const ManifestEntry& b) { return a.path < b.path; });
  }
  out.insert(out.end(), now.begin(), now.end());
  return out;
}

}  // namespace qarno
