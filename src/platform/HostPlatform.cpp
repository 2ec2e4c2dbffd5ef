// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostPlatform.h"

#include "platform/WinPath.h"

#include <QDir>
#include <QFileInfo>

namespace qarno {

bool MatchesNamePattern(const QString& name, const QString& pattern) {
  if (pattern == u"*" || pattern == u"*.*") return true;
  // Iterative glob with one remembered star: linear for the patterns people type.
  qsizetype n = 0, p = 0, starP = -1, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' ||
                               pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starN = n;
    } else if (starP >= 0) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  // "name.*" also matches "name" without an extension, as on Windows.
  if (p + 2 == pattern.size() && pattern[p] == u'.' && pattern[p + 1] == u'*') return true;
  return p == pattern.size();
}

QString FsErrorName(FsError error) {
  switch (error) {
    case FsError::None: return QStringLiteral("none");
    case FsError::NotFound: return QStringLiteral("not found");
    case FsError::AccessDenied: return QStringLiteral("access denied");
    case FsError::NoSpace: return QStringLiteral("no space");
    case FsError::NotRegular: return QStringLiteral("not a regular file");
    case FsError::Other: return QStringLiteral("other");
  }
  return QString();
}

std::unique_ptr<Platform> HostPlatform::ForWorker() {
  // The process-wide parts (the names written beside their place) are shared safely; all a
  // platform caches (open folders, volume answers, the current folder) stays per thread.
  auto worker = std::make_unique<HostPlatform>(drives_);
  worker->SetWriteAnchor(anchor_);
  return worker;
}

std::optional<QString> HostPlatform::HostPath(const QString& path) const {
#ifdef _WIN32
  return path;
#else
  return drives_.ToHost(path);
#endif
}

std::optional<QString> HostPlatform::RealHostPath(const QString& path) const {
  const auto host = HostPath(path);
  if (!host) return std::nullopt;
  // The longest part of the path that exists is resolved; what does not exist yet cannot be
  // a link, and a link at the end stands for itself.
  QString probe = QDir::cleanPath(QDir::fromNativeSeparators(*host));
  QString rest;
  for (;;) {
    const QString real = QFileInfo(probe).canonicalFilePath();
    if (!real.isEmpty()) return real.endsWith(u'/') && !rest.isEmpty() ? real + rest.mid(1) : real + rest;
    const qsizetype slash = probe.lastIndexOf(u'/');
    if (slash < 0) return probe + rest;
    const bool root = slash == 0 || (slash == 2 && probe[1] == u':');
    const QString parent = probe.left(root ? slash + 1 : slash);
    if (parent == probe) return probe + rest;
    rest = probe.mid(slash) + rest;
    probe = parent;
  }
}

}  // namespace qarno
