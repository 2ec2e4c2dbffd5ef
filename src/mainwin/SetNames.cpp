// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/SetNames.h"

#include "common/Utils.h"
#include "platform/WinPath.h"

#include <algorithm>

namespace qarno {

namespace {
bool IsDeviceName(const QString& name) {
  // "nul.txt" is the device as well: Windows looks at the part before the first dot.
  const QString base = name.section(u'.', 0, 0).trimmed().toUpper();
  static const QStringList fixed = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                    QStringLiteral("NUL")};
  if (fixed.contains(base)) return true;
  return base.size() == 4 && (base.startsWith(QLatin1String("COM")) || base.startsWith(QLatin1String("LPT"))) &&
         base[3] >= u'1' && base[3] <= u'9';
}

void SortAsFileList(QStringList& names) {
  std::stable_sort(names.begin(), names.end(),
                   [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
}
}  // namespace

Words InvalidNameWords(const QString& name) {
  for (const QChar c : name) {
    if (c.unicode() < 0x20 || QStringView(u"\\/:*?\"<>|").contains(c))
      return TrWords("SetNames", "名前に \\ / : * ? \" < > | や制御文字は使えません。");
  }
  if (name.endsWith(u'.') || name.endsWith(u' ') || name == u"." || name == u"..")
    return TrWords("SetNames", "名前の終わりに「.」や空白は使えません。");
  if (IsDeviceName(name)) return TrWords("SetNames", "CON、PRN、AUX、NUL、COM1～COM9、LPT1～LPT9 は名前に使えません。");
  return Words();
}

QString InvalidNameReason(const QString& name) { return InvalidNameWords(name).Shown(); }

QStringList ListSetNames(Platform& fs, const QString& folder) {
  QStringList names;
  const auto entries = fs.List(winpath::Join(folder, QStringLiteral("*.qrn")));
  if (!entries) return names;
  for (const DirEntry& e : *entries) {
    if (!e.isDirectory && e.representable) names += StripExtension(e.name);
  }
  SortAsFileList(names);
  return names;
}

QStringList ListSubfolders(Platform& fs, const QString& folder) {
  QStringList names;
  const auto entries = fs.List(winpath::Join(folder, QStringLiteral("*.*")));
  if (!entries) return names;
  for (const DirEntry& e : *entries) {
    if (e.isDirectory && e.representable) names += e.name;
  }
  SortAsFileList(names);
  return names;
}

}  // namespace qarno
