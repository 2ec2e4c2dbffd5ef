// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/SaveLayout.h"

#include "platform/WinPath.h"

namespace qarno {

QString SetFolderOn(const QString& saveDir, const QString& setName) { return winpath::Join(saveDir, setName); }

RunPaths RunPaths::Of(const QString& saveDir, const QString& setName, const QString& saveName) {
  RunPaths p;
  p.SaveSetHDir = SetFolderOn(saveDir, setName);
  p.SaveSetName = saveName;
  p.SaveSetDir = p.SaveSetHDir + u'\\' + saveName;
  p.SaveCsvFile = p.SaveSetDir + QStringLiteral(".csv");
  p.SaveSumFile = p.SaveSetDir + QStringLiteral(".sum");
  return p;
}

QString RunPaths::ListingOf(const QString& saveName) const {
  return SaveSetHDir + u'\\' + saveName + QStringLiteral(".csv");
}

QString DriveFolderPath(const QString& path) {
  QString rest = path.mid(2);
  while (rest.endsWith(u'\\')) rest.chop(1);
  return QStringLiteral("Drive_") + path.left(1).toUpper() + rest;
}

QString CopyPathIn(const QString& saveFolder, const QString& path, const QString& alias) {
  if (!alias.isEmpty()) return saveFolder + QStringLiteral("\\Alias\\") + alias;
  return saveFolder + u'\\' + DriveFolderPath(path);
}

QString AliasText(int32_t counter) { return QStringLiteral("%1").arg(counter, 6, 10, QChar(u'0')); }

bool IsAliasText(QStringView alias) {
  if (alias.isEmpty() || alias.size() > 10) return false;
  for (QChar c : alias) {
    if (c < u'0' || c > u'9') return false;
  }
  return true;
}

int32_t RaiseAlias(int32_t counter, QStringView alias) {
  if (alias.isEmpty()) return counter;
  bool ok = false;
  const qlonglong v = alias.toLongLong(&ok);
  if (ok && v > counter && v <= std::numeric_limits<int32_t>::max()) return static_cast<int32_t>(v);
  return counter;
}

QString SaveNameFor(const QDate& date, int counter) {
  const int year = date.year() <= 1999 ? date.year() - 1900 : date.year();
  const QString datePart = QString::number(year) + QStringLiteral("%1%2")
                                                       .arg(date.month(), 2, 10, QChar(u'0'))
                                                       .arg(date.day(), 2, 10, QChar(u'0'));
  const QString count = counter < 10 ? QStringLiteral("0") + QString::number(counter) : QString::number(counter);
  return QStringLiteral("qrn") + datePart + u'_' + count;
}

bool IsSaveName(QStringView name) {
  if (name == kOverwriteSave) return true;
  if (!name.startsWith(u"qrn")) return false;
  const QStringView rest = name.sliced(3);
  const qsizetype underscore = rest.indexOf(u'_');
  if (underscore != 6 && underscore != 8) return false;
  auto digits = [](QStringView s) {
    for (QChar c : s) {
      if (c < u'0' || c > u'9') return false;
    }
    return !s.isEmpty();
  };
  const QStringView counter = rest.sliced(underscore + 1);
  return digits(rest.left(underscore)) && counter.size() >= 2 && counter.size() <= 5 && digits(counter);
}

void DeleteSaveData(const RunEnvironment& env, const QString& setName, const QString& saveDir, const QString& saveName,
                    QString* currentItem) {
  const RunPaths p = RunPaths::Of(saveDir, setName, saveName);
  env.fs.Kill(p.SaveCsvFile);
  env.fs.Kill(p.SaveSumFile);
  DeleteTree(env, p.SaveSetDir, currentItem);
}

std::optional<int64_t> GetAllSizeKB(const RunEnvironment& env, const QString& setName, const QString& saveDir,
                                    const QString& saveName, QString* currentItem) {
  env.WriteDebugPath(3010, "GetAllSizeKB", saveDir, saveName);
  QString dir = saveDir;
  if (dir.size() == 2 && dir[1] == u':') dir += u'\\';
  const RunPaths p = RunPaths::Of(dir, setName, saveName);
  return UsedSpaceKB(env, p.SaveCsvFile, p.SaveSetDir, currentItem);
}

}  // namespace qarno
