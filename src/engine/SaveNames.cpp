// Save names and the destination layout of a run.
#include "engine/FSaveExec.h"
#include "platform/WinPath.h"

namespace qarno {

QString FSaveExec::SaveNameFor(const QDate& date, int counter) {
  const int year = date.year() <= 1999 ? date.year() - 1900 : date.year();
  const QString datePart = QString::number(year) + QStringLiteral("%1%2")
                                                       .arg(date.month(), 2, 10, QChar(u'0'))
                                                       .arg(date.day(), 2, 10, QChar(u'0'));
  const QString count = counter < 10 ? QStringLiteral("0") + QString::number(counter) : QString::number(counter);
  return QStringLiteral("qrn") + datePart + u'_' + count;
}

bool FSaveExec::ChkFName(const QString& path) {
  const auto found = m.fs.List(path);
  return found && !found->empty();
}

bool FSaveExec::GetNewSetName() {
  const QString& dir = m.set.SaveDir;
  SaveSetHDir = dir.size() == 3 ? dir + m.set.Name : dir + u'\\' + m.set.Name;
  if (!m.MakeDirPath(SaveSetHDir)) {
    m.Warn(Question::SetFolderNotCreated, FSaveExecCaption, SaveSetHDir + u'\r' + QStringLiteral("ディレクトリが作成できません。"));
    runFailed = true;
    return false;
  }
  if (Level() == level::Overwrite) {
    SaveSetName = QStringLiteral("Qrn_All");
  } else if (Level() == level::Repair) {
    SaveSetName = TOldSetName;
  } else {
    const QDate today = QDate::currentDate();
    for (int counter = 0; counter <= 32767; ++counter) {
      const QString candidate = SaveNameFor(today, counter);
      const QString base = SaveSetHDir + u'\\' + candidate;
      if (main.ChkHis(candidate) || ChkFName(base) || ChkFName(base + QStringLiteral(".csv"))) continue;
      SaveSetName = candidate;
      break;
    }
    createdSave = true;
  }
  SaveSetDir = SaveSetHDir + u'\\' + SaveSetName;
  SaveCsvFile = SaveSetDir + QStringLiteral(".csv");
  return true;
}

}  // namespace qarno
