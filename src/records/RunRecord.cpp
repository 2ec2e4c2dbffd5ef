// The closing steps of a run: its history record, the copies of the set file and history on
// the destination, and the removal of what a failed run left behind.
#include "engine/FSaveExec.h"
#include "platform/WinPath.h"

namespace qarno {

bool FSaveExec::OutHisTable() {
  m.WriteDebug(2030, "OutHisTable");
  const QString processTime = clock.ElapsedTime();
  const QString date = FormatDateTime(QDateTime::currentDateTime());
  int64_t usedKB = 0;
  if (m.set.options.CalUseSize == 1) {
    Status = QStringLiteral("使用したディスクサイズを計算中");
    phaseNow = phase::UsedSize;
    usedKB = m.GetAllSizeKB(SaveDir, SaveSetName);
    phaseNow = phase::Idle;
  }
  m.WriteDebug(2031, usedKB);
  Status = QStringLiteral("ヒストリーファイルの出力");
  main.AddHisTable(TNewSetName, Qarno::GetSaveLevelCaption(Level()), QString::number(copiedKB), SaveDir, volumeSerial,
                   volumeName, QString::number(usedKB), date, processTime, QString(), QString::number(uncopiedCount));
  m.WriteDebug(2032);
  if (main.SaveHisFile()) {
    historyWritten = true;
    Status = QStringLiteral("ヒストリーファイルの出力") + QStringLiteral(" ..... 終了");
    m.WriteDebug(2034);
    return true;
  }
  m.WriteDebug(2033);
  Status = QStringLiteral("ヒストリーファイルの出力") + u'\r' + QStringLiteral("　　　　出力できませんでした");
  return false;
}

void FSaveExec::SaveSetInfo() {
  m.WriteDebug(2370, "SaveSetInfo");
  main.FileSave_Click();
  const QString source = winpath::Join(m.SetFolder, m.set.Name + u'.');
  QString dest = SaveDir;
  if (!dest.endsWith(u'\\')) dest += u'\\';
  dest += m.set.Name + u'\\' + m.set.Name + u'.';
  m.WriteDebugPath(2371, source, dest);
  m.WriteDebug(2372);
  if (!m.fs.CopyFile(source + QStringLiteral("qrn"), dest + QStringLiteral("qrn"))) m.WriteDebug(2376);
  m.WriteDebug(2373);
  if (!m.fs.CopyFile(source + QStringLiteral("qrl"), dest + QStringLiteral("qrl"))) {
    m.WriteDebug(2375);
    return;
  }
  m.WriteDebug(2374);
}

void FSaveExec::DeleteErrorSave() {
  // Only a save this run created itself may go: an overwrite or repair run works in a save
  // that earlier runs made, and a save the history already records is a complete one.
  if (!createdSave || historyWritten) return;
  const bool cancel = m.CancelFlag;
  m.CancelFlag = false;
  m.DeleteSaveData(SaveDir, TNewSetName);
  m.CancelFlag = cancel || m.CancelFlag;
}

}  // namespace qarno
