// SPDX-License-Identifier: GPL-3.0-or-later
// The result view: which entries each selector shows, and a stop during a rebuild.
#include "records/ResultView.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

namespace qarno::test {
namespace {

TEST(ResultView, EachSelectorShowsTheEntriesOfItsFlags) {
  struct Case {
    Flag flag;
    bool all, copied, notCopied;
  };
  const Case cases[] = {
      {Flag::Copied, true, true, false},    // copied by this run
      {Flag::Unchanged, true, false, false},  // held by an earlier save: only in the whole list
      {Flag::NotSaved, true, false, true},
      {Flag::Locked, true, false, true},
      {Flag::ToCopy, true, false, true},    // still waiting: the run stopped before it
      {Flag::Vanished, true, false, true},  // counted as not copied: it must be found there
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(CodeOf(c.flag).toString().toStdString());
    SaveListEntry e;
    e.flag = c.flag;
    EXPECT_EQ(ResultView::ChkSelList(ResultView::All, e), c.all);
    EXPECT_EQ(ResultView::ChkSelList(ResultView::CopiedThisRun, e), c.copied);
    EXPECT_EQ(ResultView::ChkSelList(ResultView::NotCopied, e), c.notCopied);
  }
}

struct ViewWorld : ::testing::Test {
  TestEnv env;
  QString caption = QStringLiteral("t");
  RunProgress progress;
  ModuleRunContext context{*env.m, caption, progress};
  RunContext& run = context.run;
  SaveListTable list;
  ResultView view;
  void Fill(int n) {
    for (int i = 0; i < n; ++i) {
      SaveListEntry e;
      e.path = QStringLiteral("C:\\%1").arg(i);
      e.flag = i % 2 ? Flag::Copied : Flag::NotSaved;
      list.Append(e);
    }
  }
};

TEST_F(ViewWorld, RebuildKeepsOrderAndPutsBackThePhaseAndStatus) {
  Fill(5);
  progress.status = QStringLiteral("before");
  view.ListSel_Click(run, list, ResultView::CopiedThisRun);
  EXPECT_EQ(view.Rows(), (std::vector<int>{2, 4}));
  EXPECT_TRUE(view.Visible());
  EXPECT_EQ(progress.status, QStringLiteral("before"));
  EXPECT_EQ(progress.phase, phase::Idle);
  // Before anything was copied, "copied this run" shows nothing.
  SaveListTable fresh;
  view.ListSel_Click(run, fresh, ResultView::CopiedThisRun);
  EXPECT_TRUE(view.Rows().empty());
}

TEST_F(ViewWorld, AStopDuringTheRebuildLeavesTheViewHidden) {
  Fill(250);
  env.ui.onYield = [&](int) { env.m->CancelFlag.Set(); };  // the first yield comes after 100 rows
  view.ListSel_Click(run, list, ResultView::All);
  EXPECT_FALSE(view.Visible());
  EXPECT_FALSE(view.Rebuilding());
  EXPECT_EQ(view.Rows().size(), 100u);  // the rows before the stop
  EXPECT_EQ(progress.phase, phase::ViewIdle);
}

}  // namespace
}  // namespace qarno::test
