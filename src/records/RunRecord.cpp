// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/RunRecord.h"

#include "mainwin/Qarno.h"
#include "platform/WinPath.h"
#include "records/SaveLayout.h"

namespace qarno {

bool OutHisTable(RunContext& run, RunHistory& history, const RunRecordInput& input, const RunMedium& medium,
                 int& row) {
  const RunEnvironment& m = run.env;
  RunProgress& progress = run.progress;
  m.WriteDebug(2030, "OutHisTable");
  const QString date = FormatDateTime(m.clock.Now());
  // A count that a Cancel stopped records no used size: the run itself is complete.
  QString usedKB = QStringLiteral("0");
  if (run.subject.usedSize) {
    run.Enter(phase::UsedSize, QCoreApplication::translate("RunRecord", "使用したディスクサイズを計算中"));
    const std::optional<int64_t> used = GetAllSizeKB(m, run.subject.setName, input.saveDir, input.saveName, run.currentItem);
    usedKB = used ? QString::number(*used) : QString();
    progress.phase = phase::Idle;
  }
  m.WriteDebug(2031, usedKB);
  progress.status = QCoreApplication::translate("RunRecord", "ヒストリーファイルの出力");
  HistoryEntry e;
  e[HistoryEntry::SaveName] = input.saveName;
  e[HistoryEntry::Level] = Qarno::GetSaveLevelCaption(input.level);
  e[HistoryEntry::SavedKB] = QString::number(input.copiedKB);
  e[HistoryEntry::SaveDir] = input.saveDir;
  e[HistoryEntry::VolSerial] = medium.volumeSerial;
  e[HistoryEntry::VolName] = medium.volumeName;
  e[HistoryEntry::UsedKB] = usedKB;
  e[HistoryEntry::SaveDate] = date;
  e[HistoryEntry::ProcessTime] = input.processTime;
  e[HistoryEntry::UncopiedCount] = QString::number(input.uncopied);
  row = history.RecordRun(e, input.level == Level::Repair);
  m.WriteDebug(2032);
  if (history.Save()) {
    progress.status = QCoreApplication::translate("RunRecord", "ヒストリーファイルの出力") + QCoreApplication::translate("RunRecord", " ..... 終了");
    m.WriteDebug(2034);
    return true;
  }
  m.WriteDebug(2033);
  progress.status = QCoreApplication::translate("RunRecord", "ヒストリーファイルの出力") + u'\r' + QCoreApplication::translate("RunRecord", "　　　　出力できませんでした");
  return false;
}

void SaveSetInfo(RunContext& run, RunHistory& history, const QString& saveDir) {
  const RunEnvironment& m = run.env;
  m.WriteDebug(2370, "SaveSetInfo");
  history.SaveSetAndHistory();
  const QString source = winpath::Join(run.subject.setFolder, run.subject.setName + u'.');
  const QString dest = SetFolderOn(saveDir, run.subject.setName) + u'\\' + run.subject.setName + u'.';
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

}  // namespace qarno
