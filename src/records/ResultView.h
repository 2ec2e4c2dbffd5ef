// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The result view of a run: the rows of the save list that pass the selector — every entry,
// only what this run copied, or only what was not copied — in save-list order. The run
// window's result grid shows these rows; the selector is disabled while they are rebuilt.
// Names the run refused to take never enter the save list (a listing line cannot carry
// them); they follow its rows wherever what was not copied is shown, so that every entry the
// run counted as not copied can be found there.
#include "records/RunContext.h"
#include "records/SaveList.h"

#include <vector>

namespace qarno {

class ResultView {
 public:
  enum Selection { All = 0, CopiedThisRun = 1, NotCopied = 2 };
  // The selector's entries, in order.
  static QStringList SelectionTexts();
  static bool ChkSelList(int selection, const SaveListEntry& entry);
  // Why an entry of this flag is not copied (empty for one that is), as the grid says it;
  // and why a refused name is not.
  static QString ReasonOf(const SaveListEntry& entry);
  static QString RefusedReason();

  int ListSel() const { return selection_; }
  const std::vector<int>& Rows() const { return rows_; }  // save-list rows shown
  // The refused names shown after the rows (none under "copied this run").
  const QStringList& Refused() const { return shownRefused_; }
  bool Visible() const { return visible_; }
  bool Rebuilding() const { return rebuilding_; }
  // Counts the rebuilds that ended with the rows shown: a view over the rows resets when it
  // changes (the same number of rows may be other rows).
  int Generation() const { return generation_; }

  // The selector back to "every entry", nothing shown, no name refused.
  void SetListSelForm(const RunEnvironment& env);
  void Clear();
  // A name the run refused, for the next rebuilds (SetListSelForm forgets them all).
  void NoteRefused(const QString& path) { refused_ += path; }
  // Rebuilds the rows for the selector; a Cancel stops it with the view hidden.
  void DispSelSaveList(RunContext& run, const SaveListTable& list);
  void ListSel_Click(RunContext& run, const SaveListTable& list, int selection);

 private:
  int selection_ = All;
  std::vector<int> rows_;
  QStringList refused_, shownRefused_;
  bool visible_ = false;
  bool rebuilding_ = false;
  int generation_ = 0;
};

}  // namespace qarno
