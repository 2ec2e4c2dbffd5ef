// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's warning for a set that has gone without a successful run for longer than
// its limit: shown when such a set is loaded, following the clock from the window's timer,
// and gone after a run or when a set without a limit is loaded.
#include "engine/windows/RunWindow.h"
#include "mainwin/Staleness.h"
#include "mainwin/windows/WindowWorld.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

namespace qarno::test {
namespace {

QString HistoryLine(const QString& save, const QDateTime& when) {
  return save + QStringLiteral(",Level-0,10,T:\\dst,,,,") + when.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) +
         QStringLiteral(",00:00:01,\"\",0");
}

QStringList SetWithLimit(int days) {
  QStringList lines = PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}, 0);
  if (days > 0) lines.insert(1, QStringLiteral("#StaleDays=%1").arg(days));
  return lines;
}

TEST(StaleMark, ShownPastTheLimitFollowsTheClockAndGoesWithAnotherSetOrARun) {
  WindowWorld world;
  world.children.runForReal = true;
  world.env.ui.onYield = [](int) { QApplication::processEvents(); };
  world.env.WriteFile(QStringLiteral("T:\\src\\a.txt"), "hello");
  world.env.MakeDir(QStringLiteral("T:\\dst"));
  // The last run ten days ago (to the second, as the history keeps it), the limit three.
  const QDateTime now = QDateTime::currentDateTime();
  const QDateTime last = now.addDays(-10).addMSecs(-now.time().msec());
  world.WriteSet(QStringLiteral("daily"), SetWithLimit(3), {HistoryLine(QStringLiteral("qrn20240101_1"), last)});
  world.WriteSet(QStringLiteral("other"), SetWithLimit(0), {HistoryLine(QStringLiteral("qrn20240101_1"), last)});
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  const QString tenDays = QStringLiteral("最後に成功した保存から 10 日経っています（警告までの日数: 3 日）");
  EXPECT_FALSE(Ui(w).StaleMark->isHidden());
  EXPECT_EQ(Ui(w).StaleMark->text(), QStringLiteral("最後の保存から 10 日経過"));
  EXPECT_EQ(Ui(w).StaleMark->toolTip(), tenDays);
  EXPECT_EQ(Ui(w).StaleMark->parentWidget(), Ui(w).FSetName);

  // The timer follows the clock (when the mark may change is the core's rule).
  QDateTime clock = last.addDays(2);
  w.clock = [&] { return clock; };
  w.ShowStaleMark();
  EXPECT_TRUE(Ui(w).StaleMark->isHidden());
  clock = last.addDays(3).addSecs(1);
  w.Timer1_Timer();
  EXPECT_FALSE(Ui(w).StaleMark->isHidden());
  EXPECT_EQ(Ui(w).StaleMark->text(), QStringLiteral("最後の保存から 3 日経過"));
  clock = last.addDays(4);
  w.Timer1_Timer();
  EXPECT_EQ(Ui(w).StaleMark->text(), QStringLiteral("最後の保存から 4 日経過"));
  // A clock set back before the run: no warning.
  clock = last.addDays(-1);
  w.Timer1_Timer();
  EXPECT_TRUE(Ui(w).StaleMark->isHidden());
  w.clock = [] { return QDateTime::currentDateTime(); };
  w.ShowStaleMark();
  EXPECT_EQ(Ui(w).StaleMark->toolTip(), tenDays);

  // Another set's limit never carries over; coming back shows it again.
  w.SetNameS_Click(QStringLiteral("other"));
  EXPECT_TRUE(Ui(w).StaleMark->isHidden());
  w.SetNameS_Click(QStringLiteral("daily"));
  EXPECT_FALSE(Ui(w).StaleMark->isHidden());

  // A run from the main window: once the run window has closed, the warning is gone.
  world.m().set.SaveLevel = Level::Level0;  // the run on record has no listing to build on
  QTest::mouseClick(Ui(w).BackUp, Qt::LeftButton);
  QPointer<SaveExecWindow> r = qobject_cast<SaveExecWindow*>(w.OpenChild());
  ASSERT_TRUE(r);
  ASSERT_TRUE(QTest::qWaitFor([&] { return r && r->Cancel->text() == QStringLiteral("閉じる"); }, 20000));
  QTest::mouseClick(r->Cancel, Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return world.m().OpenDialogKind == DialogKind::None && w.isVisible(); }, 3000));
  EXPECT_EQ(world.program->main->HisTable.Rows(), 3);
  EXPECT_TRUE(Ui(w).StaleMark->isHidden());
  EXPECT_TRUE(Ui(w).StaleMark->toolTip().isEmpty());
}

TEST(StaleMark, ASetWithALimitAndNoRunIsStaleFromTheStart) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"), SetWithLimit(7));
  world.Start(QStringLiteral("daily"));
  EXPECT_FALSE(Ui(*world.w).StaleMark->isHidden());
  EXPECT_EQ(Ui(*world.w).StaleMark->text(), QStringLiteral("保存がまだありません"));
  EXPECT_EQ(Ui(*world.w).StaleMark->toolTip(), QStringLiteral("成功した保存がまだありません（警告までの日数: 7 日）"));
}

}  // namespace
}  // namespace qarno::test
