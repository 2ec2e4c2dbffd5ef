// SPDX-License-Identifier: GPL-3.0-or-later
// The workflows with the keyboard alone, as a user without a mouse goes through them: Tab
// and Shift+Tab between the controls, Space on buttons and list rows, the arrows in lists,
// grids and drop-down lists, Enter in text boxes and lists, Alt with a menu's letter, and
// Escape to close a window. A row picked with the keys counts as a clicked one.
#include "RestoreWindowWorld.h"
#include "engine/windows/RunWindow.h"
#include "maintenance/windows/SettingDialogs.h"
#include "mainwin/windows/DesktopWindows.h"
#include "mainwin/windows/DirDialogs.h"
#include "mainwin/windows/SetDialogs.h"

#include <QListWidget>

namespace qarno::test {
namespace {

// Tab (Shift+Tab with `back`) in the window until `target` has the focus; false when the
// keys never get there. Keys are for the active window, which a desktop makes of a dialog as
// it opens; the offscreen platform may not (or only later, on a busy machine), and a view
// that takes the focus in an inactive window gets no focus-in: no current row to act on.
bool TabTo(QWidget& window, QWidget* target, bool back = false) {
  if (QApplication::activeWindow() != &window) QApplication::setActiveWindow(&window);
  for (int i = 0; i < 40 && window.focusWidget() != target; ++i) {
    QWidget* at = window.focusWidget() ? window.focusWidget() : &window;
    QTest::keyClick(at, Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
  }
  return window.focusWidget() == target;
}

void Press(QWidget* control, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(control, key, modifiers);
}

TEST(Keyboard, ASetIsPickedSavedRestoredElsewhereAndSetUpWithTheKeysAlone) {
  RestoreWindowWorld t({{QStringLiteral("a.txt"), "alpha"}, {QStringLiteral("docs\\b.txt"), "beta"}});
  WindowWorld& world = t.world;
  world.children.runForReal = true;
  world.children.onSetting = [](QarnoWindow& main) { return DesktopWindows().OpenSetting(main); };
  world.WriteSet(QStringLiteral("archive"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}, 0));
  world.env.MakeDir(QStringLiteral("T:\\dst"));
  world.env.MakeDir(QStringLiteral("T:\\elsewhere"));
  QarnoWindow& w = *world.w;
  MainControls ui(w);
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

  // The set: the list of sets reached with Tab, the set picked with the arrows, Enter.
  OnDialog<GetSetName>(QStringLiteral("GetSetName"), [](GetSetName& d) {
    EXPECT_TRUE(TabTo(d, d.List1));
    Press(d.List1, Qt::Key_Home);
    for (int i = 0; i < 5 && d.List1->currentItem()->text() != QStringLiteral("archive"); ++i) Press(d.List1, Qt::Key_Down);
    EXPECT_EQ(d.Text1->text(), QStringLiteral("archive"));
    Press(d.List1, Qt::Key_Return);
  });
  ASSERT_TRUE(TabTo(w, ui.BSetName));
  Press(ui.BSetName, Qt::Key_Space);
  EXPECT_EQ(ui.SetName->text(), QStringLiteral("archive"));

  // Two saves, each started with Space on 保存開始 and its window closed with Escape.
  for (int run = 0; run < 2; ++run) {
    if (run == 1) world.env.WriteFile(QStringLiteral("T:\\src\\a.txt"), "changed", QDateTime::currentDateTime().addDays(1));
    ASSERT_TRUE(TabTo(w, ui.BackUp)) << run;
    Press(ui.BackUp, Qt::Key_Space);
    QPointer<SaveExecWindow> r = qobject_cast<SaveExecWindow*>(w.OpenChild());
    ASSERT_TRUE(r);
    ASSERT_TRUE(QTest::qWaitFor([&] { return r && r->Cancel->text() == QStringLiteral("閉じる"); }, 20000));
    EXPECT_TRUE(r->run.state().outcome.succeeded);
    Press(r->focusWidget() ? r->focusWidget() : r.data(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !r && w.isVisible(); }, 3000)) << run;
  }
  ASSERT_EQ(ui.hisModel->rowCount(), 2);

  // The older run picked in the history with the arrow keys, restored under another folder.
  w.activateWindow();
  ASSERT_TRUE(TabTo(w, ui.HisTable, true));
  Press(ui.HisTable, Qt::Key_Down);
  EXPECT_EQ(w.SelectedHistoryRow(), 2);
  ASSERT_TRUE(TabTo(w, ui.Restore));
  Press(ui.Restore, Qt::Key_Space);
  ASSERT_TRUE(t.win);
  FRestoreWindow& rw = *t.win;
  ASSERT_TRUE(QTest::qWaitFor([&] { return rw.RestoreList->isVisible() && rw.Position->isEnabled(); }, 5000));
  ASSERT_TRUE(TabTo(rw, rw.Position));
  Press(rw.Position, Qt::Key_Down);
  EXPECT_EQ(world.m().set.options.RestorePosition, 1);
  OnDialog<GetSaveDir>(QStringLiteral("GetSaveDir"), [](GetSaveDir& d) {
    EXPECT_EQ(d.focusWidget(), d.Text1);
    Press(d.Text1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(d.Text1, QStringLiteral("T:\\elsewhere"));
    Press(d.Text1, Qt::Key_Return);
  });
  ASSERT_TRUE(TabTo(rw, rw.ChgWriteHDir));
  Press(rw.ChgWriteHDir, Qt::Key_Space);
  EXPECT_EQ(rw.WriteHDir->text(), QStringLiteral("T:\\elsewhere"));
  ASSERT_TRUE(TabTo(rw, rw.RestoreList, true));
  Press(rw.RestoreList, Qt::Key_Down);
  Press(rw.RestoreList, Qt::Key_Space);  // the top of the list, ticked with what is below it
  ASSERT_TRUE(TabTo(rw, rw.OK));
  Press(rw.OK, Qt::Key_Space);
  EXPECT_EQ(rw.Status->text(), QStringLiteral("復元を実行中  ...... 終了"));
  EXPECT_EQ(world.env.ReadFile(QStringLiteral("T:\\elsewhere\\Drive_T\\src\\a.txt")), QByteArray("alpha"));
  Press(rw.focusWidget() ? rw.focusWidget() : &rw, Qt::Key_Escape);
  ASSERT_TRUE(t.WaitClosed());

  // A file of the folder added to the save list: picked in the file list with the arrows.
  OnDialog<FApend>(QStringLiteral("FApend"), [](FApend& d) {
    EXPECT_TRUE(TabTo(d, d.File1));
    Press(d.File1, Qt::Key_Space);  // the row Tab marked, picked
    EXPECT_EQ(d.Text1->text(), QStringLiteral("T:\\src\\a.txt"));
    EXPECT_TRUE(TabTo(d, d.Apend));
    Press(d.Apend, Qt::Key_Space);
    Press(d.Apend, Qt::Key_Escape);
  });
  ASSERT_TRUE(TabTo(w, ui.Apend, true));
  Press(ui.Apend, Qt::Key_Space);
  EXPECT_EQ(world.m().set.SaveList.last(), QStringLiteral("T:\\src\\a.txt"));

  // The settings: Alt+O, S; a value typed, Enter for OK.
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  OnDialog<FSetting>(QStringLiteral("FSetting"), [](FSetting& d) {
    EXPECT_TRUE(TabTo(d, d.TStaleDays));
    Press(d.TStaleDays, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(d.TStaleDays, QStringLiteral("45"));
    Press(d.TStaleDays, Qt::Key_Return);
  });
  world.m().SetModified = false;
  Press(w.focusWidget(), Qt::Key_O, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 2000));
  Press(QApplication::activePopupWidget(), Qt::Key_S);
  EXPECT_EQ(world.m().set.StaleDays, 45);
  EXPECT_TRUE(world.m().SetModified);
  EXPECT_TRUE(world.env.ui.Exhausted());
}

}  // namespace
}  // namespace qarno::test
