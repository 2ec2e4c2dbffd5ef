// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/LhaPacking.h"

namespace qarno {

bool IsNoCompType(int complexSettingMode, const QStringList& noCompTypes, const QString& path) {
  if (complexSettingMode == 1) return false;
  QString ext;
  for (qsizetype i = path.size() - 2; i >= 0; --i) {
    const QChar c = path[i];
    if (c == u'.') {
      ext = path.mid(i + 1);
      break;
    }
    if (c == u'\\' || c == u':') return false;
  }
  if (ext.isEmpty()) return false;
  for (const QString& type : noCompTypes) {
    if (type.compare(ext, Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

bool SaveLha(const RunEnvironment& m, const QString& source, const QString& archive) {
  m.WriteDebugPath(2330, "SaveLha", source, archive);
  return PackFile(m.fs, m.archiver, source, archive);
}

bool PackFile(Platform& fs, ArchiverLibrary* archiver, const QString& source, const QString& archive) {
  {
    auto probe = fs.Open(source, QIODevice::ReadOnly);
    if (!probe) return false;
  }
  if (!archiver) return false;
  const auto hostSource = fs.HostPath(source);
  const auto hostArchive = fs.HostPath(archive);
  if (!hostSource || !hostArchive) return false;
  const QString cmd = QStringLiteral("a -n -a1 -jss -jyko -gm1 ") + u'"' + *hostArchive + u'"' + u' ' + u'"' +
                      *hostSource + u'"';
  return archiver->Unlha(cmd, 256) == 0;
}

}  // namespace qarno
