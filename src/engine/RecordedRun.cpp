// SPDX-License-Identifier: GPL-3.0-or-later
// The run window's second mode, the listing of a recorded run, and the result view's
// selector.
#include "engine/FSaveExec.h"

namespace qarno {

bool FSaveExec::ShowRecordedRun(int row) {
  env_.cancel.Clear();
  const HistoryTable& h = history_.Table();
  if (!h.HasData() || row < 1 || row >= h.Rows()) {
    env_.cancel.Set();
    return false;
  }
  RunTexts& t = s_.texts;
  t.TSetName = request_.set.Name;
  t.TNewSetName = t.TOldSetName = h.Cell(row, HistoryEntry::SaveName);
  t.SaveDir = h.Cell(row, HistoryEntry::SaveDir);
  t.SaveLevel = h.Cell(row, HistoryEntry::Level);
  t.CompMode.clear();
  s_.preRow = row;
  SaveList_.Clear();
  ListInfo_.Clear();
  view_.Clear();
  view_.SetListSelForm(env_);
  s_.paths = RunPaths::Of(request_.set.SaveDir, request_.set.Name, t.TOldSetName);
  const bool ok = SetSaveListNewMark2();
  view_.DispSelSaveList(run_, SaveList_);
  s_.progress.status.clear();
  return ok;
}

void FSaveExec::ListSel_Click(int selection) { view_.ListSel_Click(run_, SaveList_, selection); }

}  // namespace qarno
