// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/ResultView.h"

namespace qarno {

QStringList ResultView::SelectionTexts() {
  return {QCoreApplication::translate("ResultView", "全てのリスト"), QCoreApplication::translate("ResultView", "今回コピーされたものだけ"),
          QCoreApplication::translate("ResultView", "コピーできなかったものだけ")};
}

bool ResultView::ChkSelList(int selection, const SaveListEntry& entry) {
  const Flag f = entry.flag;
  switch (selection) {
    case All: return true;
    case CopiedThisRun: return f == Flag::Copied;
    // Vanished sources are counted as not copied too: the view must show them.
    case NotCopied: return f == Flag::NotSaved || f == Flag::Locked || f == Flag::ToCopy || f == Flag::Vanished;
    default: return false;
  }
}

QString ResultView::ReasonOf(const SaveListEntry& entry) {
  const Flag f = entry.flag;
  switch (f) {
    case Flag::NotSaved: return QCoreApplication::translate("ResultView", "コピーに失敗しました");
    case Flag::Locked: return QCoreApplication::translate("ResultView", "ロックされていました");
    case Flag::Vanished: return QCoreApplication::translate("ResultView", "コピーの前になくなりました");
    case Flag::ToCopy: return QCoreApplication::translate("ResultView", "まだコピーされていません");
    default: return QString();
  }
}

QString ResultView::RefusedReason() { return QCoreApplication::translate("ResultView", "保存できない名前です"); }

void ResultView::SetListSelForm(const RunEnvironment& env) {
  env.WriteDebug(2290, "SetListSelForm");
  selection_ = All;
  refused_.clear();
}

void ResultView::Clear() {
  rows_.clear();
  shownRefused_.clear();
  visible_ = false;
}

void ResultView::DispSelSaveList(RunContext& run, const SaveListTable& list) {
  const RunEnvironment& m = run.env;
  RunProgress& progress = run.progress;
  m.WriteDebug(2280, "DispSelSaveList");
  const QString savedStatus = progress.status;
  progress.status = QCoreApplication::translate("ResultView", "セーブリストの更新中");
  visible_ = false;
  rebuilding_ = true;
  rows_.clear();
  shownRefused_.clear();
  progress.counter = 1;
  progress.total = list.Count();
  const int savedPhase = progress.phase;
  progress.phase = progress.phase != phase::Idle ? phase::ViewBusy : phase::ViewIdle;
  rows_.reserve(static_cast<size_t>(list.Count()));
  for (int row = 1; row < list.Rows(); ++row) {
    if (m.cancel) {
      rebuilding_ = false;
      return;
    }
    if (ChkSelList(selection_, list[row])) rows_.push_back(row);
    ++progress.counter;
    if (row % 100 == 0) m.DoEvents();
  }
  if (selection_ == All || selection_ == NotCopied) shownRefused_ = refused_;
  visible_ = true;
  rebuilding_ = false;
  ++generation_;
  progress.phase = savedPhase;
  progress.status = savedStatus;
}

void ResultView::ListSel_Click(RunContext& run, const SaveListTable& list, int selection) {
  run.env.WriteDebug(2310, "ListSel_Click", selection);
  selection_ = selection;
  DispSelSaveList(run, list);
}

}  // namespace qarno
