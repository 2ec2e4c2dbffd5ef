// The run's CSV listing: every entry of the save list after marking and copying, one line
// each, so that one listing describes the whole set as it stood at this run.
#include "engine/FSaveExec.h"

namespace qarno {

QString FSaveExec::OutCsv(int row) const {
  const SaveListEntry& e = SaveList[row];
  QString line;
  line.reserve(e[SaveListEntry::Path].size() + 96);
  line += u'"';
  line += e[SaveListEntry::Path];
  line += u'"';
  for (int f : {SaveListEntry::Attributes, SaveListEntry::Size, SaveListEntry::Date}) {
    line += u',';
    line += e[f];
  }
  line += u',';
  line += e[SaveListEntry::Flag] == u"5" ? QStringLiteral("3") : e[SaveListEntry::Flag];
  for (int f : {SaveListEntry::SaveName, SaveListEntry::VolSerial, SaveListEntry::VolName, SaveListEntry::RestoreFlag,
                SaveListEntry::CompType, SaveListEntry::Alias}) {
    line += u',';
    line += e[f];
  }
  return line;
}

bool FSaveExec::OutCsvList() {
  m.WriteDebug(2260, "OutCsvList");
  Status = QStringLiteral("CSVファイルの出力");
  auto failure = [&] {
    m.BeepAsterisk();
    const QString message = SaveCsvFile + u'\r' + QStringLiteral("CSVファイルが作成できませんでした。");
    Status = QStringLiteral("CSVファイルの出力") + u'\r' + message;
    m.ui.MsgBox(Question::ListingNotWritten, FSaveExecCaption, message, Buttons::OK, Icon::Exclamation);
    m.AutoRunMode = -1;
    phaseNow = phase::Idle;
    return false;
  };
  QString d;
  if (!m.ReadDriveInfo(d, volumeName, volumeSerial)) return failure();
  drive = d;
  if (!m.MakeDirPath(SaveSetHDir)) return failure();
  if (Level() == level::Overwrite) {
    const QString bak = SaveSetHDir + QStringLiteral("\\Qrn_All_Bak.csv");
    m.fs.Kill(bak);
    m.fs.Rename(SaveSetHDir + u'\\' + TOldSetName + QStringLiteral(".csv"), bak);
  }
  const int count = SaveList.Count();
  progressCounter = 1;
  progressTotal = count;
  phaseNow = phase::Csv;
  QByteArray content;
  content.reserve(count * 120);
  for (int row = 1; row <= count; ++row) {
    // A stop leaves the earlier listing, if any, as it was: the new one is written whole or
    // not at all.
    if (m.CancelFlag) return false;
    const QString line = OutCsv(row);
    m.WriteDebugPath(2270, "OutCsv", row);
    if (m.DebugMode == 1) m.WriteDebugPath(2271, line);
    else m.WriteDebug(2271);
    lastEntry = SaveList[row][SaveListEntry::Path];
    content += m.codec.EncodeLine(line);
    m.DoEvents();
    ++progressCounter;
  }
  if (!m.fs.WriteAtomic(SaveCsvFile, content)) return failure();
  Status = QStringLiteral("CSVファイルの出力") + QStringLiteral(" ..... 終了");
  phaseNow = phase::Idle;
  return true;
}

}  // namespace qarno
