#include "platform/HostPlatform.h"

#include "platform/WinPath.h"


namespace qarno {

bool MatchesWildcard(const QString& name, const QString& pattern) {
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

std::optional<QString> HostPlatform::HostPath(const QString& path) const {
#ifdef _WIN32
  return path;
#else
  return drives_.ToHost(path);
#endif
}

}  // namespace qarno
