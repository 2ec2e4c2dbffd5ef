// The result view of a run: the save list filtered by what was copied, and the window's
// second mode, which shows the listing of a recorded run.
#include "engine/FSaveExec.h"

namespace qarno {

void FSaveExec::SetListSelForm() {
  m.WriteDebug(2290, "SetListSelForm");
  ListSel = 0;
}

bool FSaveExec::ChkSelList(int row) const {
  const QString& flag = SaveList[row][SaveListEntry::Flag];
  switch (ListSel) {
    case 0: return true;
    case 1: return flag == u"3";
    case 2: return flag == u"-2" || flag == u"8" || flag == u"4";
    default: return false;
  }
}

void FSaveExec::DispSelSaveList() {
  m.WriteDebug(2280, "DispSelSaveList");
  const QString savedStatus = Status;
  Status = QStringLiteral("セーブリストの更新中");
  selSaveListVisible = false;
  SelSaveList.clear();
  progressCounter = 1;
  progressTotal = SaveList.Count();
  const int savedPhase = phaseNow;
  phaseNow = phaseNow != phase::Idle ? phase::ViewBusy : phase::ViewIdle;
  SelSaveList.reserve(static_cast<size_t>(SaveList.Count()));
  for (int row = 1; row < SaveList.Rows(); ++row) {
    if (m.CancelFlag) return;
    if (ChkSelList(row)) SelSaveList.push_back(row);
    ++progressCounter;
    if (row % 100 == 0) m.DoEvents();
  }
  selSaveListVisible = true;
  phaseNow = savedPhase;
  Status = savedStatus;
}

void FSaveExec::ListSel_Click(int selection) {
  m.WriteDebug(2310, "ListSel_Click", selection);
  ListSel = selection;
  DispSelSaveList();
}

bool FSaveExec::ShowRecordedRun() {
  m.CancelFlag = false;
  const int row = main.HisTable.selectedRow;
  if (!main.HisTable.HasData() || row < 1 || row >= main.HisTable.Rows()) {
    m.CancelFlag = true;
    return false;
  }
  TSetName = m.set.Name;
  TNewSetName = TOldSetName = main.HisTable.Cell(row, HistoryEntry::SaveName);
  SaveDir = main.HisTable.Cell(row, HistoryEntry::SaveDir);
  SaveLevel = main.HisTable.Cell(row, HistoryEntry::Level);
  CompMode.clear();
  preRow = row;
  ClearSaveList();
  ClearListInfo();
  SetListSelForm();
  QString dir = m.set.SaveDir;
  if (!dir.endsWith(u'\\')) dir += u'\\';
  SaveSetHDir = dir + m.set.Name;
  const bool ok = SetSaveListNewMark2();
  DispSelSaveList();
  Status.clear();
  ProcesTime.clear();
  return ok;
}

}  // namespace qarno
