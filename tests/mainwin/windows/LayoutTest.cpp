// SPDX-License-Identifier: GPL-3.0-or-later
// The windows as a user meets them on today's desktop: measured at their default and minimum
// sizes (no control lower than its text, no caption cut, the lists showing their rows), Tab
// going through every control top-left to bottom-right, and a name for every control that
// screen readers and automation find.
#include "engine/windows/RunWindow.h"
#include "maintenance/windows/HistoryDialogs.h"
#include "maintenance/windows/SettingDialogs.h"
#include "maintenance/windows/ShutdownDialog.h"
#include "mainwin/windows/DesktopWindows.h"
#include "mainwin/windows/DirDialogs.h"
#include "mainwin/windows/Placement.h"
#include "mainwin/windows/SetDialogs.h"
#include "mainwin/windows/WindowWorld.h"
#include "restore/windows/FRestoreWindow.h"
#include "restore/windows/FindHistoryWindow.h"
#include "restore/windows/VerifyWindow.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <gtest/gtest.h>

namespace qarno::test {
namespace {

const QString kRun1 = QStringLiteral("qrn20240101_1,Level-0,10,T:\\dst,,,,2024/01/01 10:00:00,00:00:01,\"\",0");
const QString kRun2 = QStringLiteral("qrn20240102_1,Level-1,5,T:\\dst,,,,2024/01/02 10:00:00,00:00:01,\"\",0");

// What is wrong with the layout of the window as it stands: controls lower than their text,
// captions cut (a closed box's current text included), push buttons of unequal height.
QStringList LayoutProblems(QWidget& window) {
  QStringList problems;
  auto name = [](QWidget* w) { return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName(); };
  int buttonHeight = -1;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    // The parts of a compound box are its own business: the box itself is measured.
    if (!w->isVisibleTo(&window) || qobject_cast<QComboBox*>(w->parentWidget()) ||
        qobject_cast<QAbstractSpinBox*>(w->parentWidget()))
      continue;
    const QFontMetrics fm = w->fontMetrics();
    if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) {
      const bool cut = label->wordWrap() ? label->height() < label->heightForWidth(label->width())
                                         : label->width() < label->sizeHint().width() ||
                                               label->height() < label->sizeHint().height();
      if (cut) problems += QStringLiteral("label %1 cut: %2x%3").arg(name(w)).arg(w->width()).arg(w->height());
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      if (w->height() < fm.height() || w->width() < fm.horizontalAdvance(button->text().remove(u'&')))
        problems += QStringLiteral("button %1 squashed: %2x%3").arg(name(w)).arg(w->width()).arg(w->height());
      if (qobject_cast<QPushButton*>(w)) {
        if (buttonHeight >= 0 && w->height() != buttonHeight)
          problems += QStringLiteral("button %1 %2 high beside %3").arg(name(w)).arg(w->height()).arg(buttonHeight);
        buttonHeight = w->height();
      }
    } else if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w)) {
      if (w->height() < w->minimumSizeHint().height())
        problems += QStringLiteral("box %1 squashed: %2").arg(name(w)).arg(w->height());
      if (auto* box = qobject_cast<QComboBox*>(w)) {
        QStyleOptionComboBox opt;
        opt.initFrom(box);
        opt.editable = box->isEditable();
        opt.currentText = box->currentText();
        const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, box);
        if (field.width() < fm.horizontalAdvance(box->currentText()))
          problems += QStringLiteral("box %1 cuts \"%2\": %3 of %4")
                          .arg(name(w), box->currentText())
                          .arg(field.width())
                          .arg(fm.horizontalAdvance(box->currentText()));
      }
    } else if (auto* frame = qobject_cast<QGroupBox*>(w)) {
      if (w->width() < fm.horizontalAdvance(frame->title()))
        problems += QStringLiteral("frame %1 caption cut").arg(name(w));
    }
  }
  if (!problems.isEmpty()) qWarning().noquote() << problems.join(u'\n');
  return problems;
}

// The name a screen reader gives the control: its accessible name, or what Qt derives from
// its text.
QString AccessibleNameOf(QWidget* control) {
  if (!control->accessibleName().isEmpty()) return control->accessibleName();
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(control);
  return a ? a->text(QAccessible::Name).trimmed() : QString();
}

// The controls a screen reader cannot name, or that have no name of their own.
QStringList Nameless(QWidget& window) {
  QStringList nameless;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    // Hidden working tables are nobody's to find.
    if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(&window) || qobject_cast<QComboBox*>(w->parentWidget()))
      continue;
    if (qobject_cast<QAbstractItemView*>(w->parentWidget()) || qobject_cast<QAbstractSpinBox*>(w->parentWidget()))
      continue;
    // Automation finds a control by its name too.
    if (AccessibleNameOf(w).isEmpty() || w->objectName().isEmpty())
      nameless += window.objectName() + u'.' + w->objectName() + u' ' + QString::fromLatin1(w->metaObject()->className());
  }
  return nameless;
}

// The problems of the window at the size it opens with, then at its minimum.
QStringList ProblemsAtDefaultAndMinimum(QWidget& window) {
  window.show();
  QTest::qWait(50);
  QStringList problems;
  for (const QString& p : LayoutProblems(window)) problems += window.objectName() + u' ' + p;
  window.resize(1, 1);
  QTest::qWait(50);
  for (const QString& p : LayoutProblems(window)) problems += window.objectName() + QStringLiteral(" (minimum) ") + p;
  return problems;
}

int VisibleRows(QAbstractItemView* view, int rowHeight) { return view->viewport()->height() / rowHeight; }

struct Layout : ::testing::Test {
  WindowWorld world;
  void StartWithHistory(const QStringList& saveList) {
    world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), saveList), {kRun2, kRun1});
    world.Start(QStringLiteral("daily"));
  }
};

TEST_F(Layout, TheMainWindowShowsItsListsWholeAtItsDefaultSizeAndSquashesNothingAtItsMinimum) {
  QStringList entries;
  for (int i = 0; i < 12; ++i) entries += QStringLiteral("T:\\src\\folder%1").arg(i);
  StartWithHistory(entries);
  QarnoWindow& w = *world.w;
  MainControls ui(w);
  // The closed level box shows its longest caption whole.
  int longest = 0;
  for (int i = 1; i < ui.SaveLevel->count(); ++i)
    if (ui.SaveLevel->fontMetrics().horizontalAdvance(ui.SaveLevel->itemText(i)) >
        ui.SaveLevel->fontMetrics().horizontalAdvance(ui.SaveLevel->itemText(longest)))
      longest = i;
  ui.SaveLevel->setCurrentIndex(longest);
  QTest::qWait(50);
  const int ownWidth = w.width();

  // The default size: eight rows of the list, the history up to its date with the names whole.
  EXPECT_GE(VisibleRows(ui.SList, ui.SList->sizeHintForRow(0)), 8);
  const int date = HistoryEntry::SaveDate;
  EXPECT_LE(ui.HisTable->columnViewportPosition(date) + ui.HisTable->columnWidth(date),
            ui.HisTable->viewport()->width());
  EXPECT_GE(ui.HisTable->columnWidth(HistoryEntry::SaveName),
            ui.HisTable->fontMetrics().horizontalAdvance(QStringLiteral("qrn20240102_1")));
  EXPECT_EQ(LayoutProblems(w), QStringList());

  // With the stale warning and a long Japanese name, at the default and at the minimum size.
  ui.StaleMark->setText(QStringLiteral("最後の保存から 40 日"));
  ui.StaleMark->show();
  ui.SetName->setText(QStringLiteral("とても長い日本語のセット名の毎日の保存用"));
  w.ArrangeControls();
  QTest::qWait(50);
  EXPECT_EQ(LayoutProblems(w), QStringList()) << "default size";
  w.resize(1, 1);
  QTest::qWait(50);
  EXPECT_GE(w.width(), Px(&w, 5900) - 20);
  EXPECT_EQ(LayoutProblems(w), QStringList()) << "minimum size";
  EXPECT_GE(ui.SList->height(), ui.SList->sizeHintForRow(0) * 2);  // the list gave way, but shows rows

  // A size of the user's wins over the window's own default.
  w.resize(Px(&w, 10000), Px(&w, 7400));
  const int stored = w.frameGeometry().width();
  world.Restart(QStringLiteral("daily"));
  EXPECT_LT(Px(world.w.get(), 10000), ownWidth);
  EXPECT_NEAR(world.w->frameGeometry().width(), stored, 1);
}

TEST_F(Layout, TheDialogsStayOnTheScreenWithTheirRowsAndButtonsWhole) {
  StartWithHistory({QStringLiteral("T:\\src")});
  QarnoWindow& w = *world.w;
  // The main window at its smallest, at the screen's left edge: the settings dialog, wider
  // than it, is centred on it but kept on the screen.
  w.resize(1, 1);
  w.move(w.screen()->availableGeometry().topLeft());
  QTest::qWait(50);
  bool checked = false;
  OnDialog<FSetting>(QStringLiteral("FSetting"), [&](FSetting& d) {
    EXPECT_GE(d.frameGeometry().left(), d.screen()->availableGeometry().left());
    EXPECT_GE(d.frameGeometry().top(), d.screen()->availableGeometry().top());
    EXPECT_EQ(d.OK->height(), d.Cancel->height());
    EXPECT_EQ(LayoutProblems(d), QStringList());
    d.resize(1, 1);
    QTest::qWait(50);
    EXPECT_EQ(LayoutProblems(d), QStringList()) << "minimum size";
    checked = true;
    d.reject();
  });
  DesktopWindows().OpenSetting(w);
  EXPECT_TRUE(checked);

  // The history deletion dialog: eight rows and the date; the agreement in whole lines.
  FDelHisData del(*world.program->main, &w);
  del.show();
  QTest::qWait(50);
  EXPECT_GE(VisibleRows(del.HisTable, del.HisTable->verticalHeader()->defaultSectionSize()), 8);
  const int date = HistoryEntry::SaveDate;
  EXPECT_LE(del.HisTable->columnViewportPosition(date) + del.HisTable->columnWidth(date),
            del.HisTable->viewport()->width());
  EXPECT_EQ(LayoutProblems(del), QStringList());
  del.resize(1, 1);
  QTest::qWait(50);
  EXPECT_EQ(LayoutProblems(del), QStringList()) << "minimum size";
  del.close();
  FDelAgree agree(&w);
  agree.Label1->setText(QStringLiteral("保存名 qrn20240102_1 の履歴情報が削除されます！\nデータも削除されます！"));
  agree.adjustSize();
  agree.show();
  QTest::qWait(50);
  // Two lines, none broken again mid-word.
  EXPECT_GE(agree.Label1->width(),
            agree.Label1->fontMetrics().horizontalAdvance(QStringLiteral("保存名 qrn20240102_1 の履歴情報が削除されます！")));
  EXPECT_EQ(LayoutProblems(agree), QStringList());

  // The add dialog in modify mode: OK as high as the rest; the path box has the focus.
  for (int tag : {0, 1}) {
    FApend add(world.m(), world.program->fs->drives(), &w, tag, true, 0, {});
    add.show();
    QTest::qWait(50);
    EXPECT_EQ(LayoutProblems(add), QStringList()) << tag;
    EXPECT_EQ(add.focusWidget(), add.Text1) << tag;
  }
  GetSaveDir dir(world.m(), world.program->fs->drives(), &w, 0, QStringLiteral("Qarno"), QStringLiteral("T:\\dst"));
  dir.show();
  QTest::qWait(50);
  EXPECT_EQ(dir.focusWidget(), dir.Text1);
  EXPECT_EQ(LayoutProblems(dir), QStringList());
}

TEST_F(Layout, EveryOtherWindowIsWholeAtItsDefaultAndItsMinimumSize) {
  StartWithHistory({QStringLiteral("T:\\src")});
  QarnoWindow& w = *world.w;
  Module1& m = world.m();
  QStringList problems;
  {
    FNoCompType d(m, &w);
    problems += ProblemsAtDefaultAndMinimum(d);
  }
  for (bool saveAs : {false, true}) {
    GetSetName d(m, &w, saveAs);
    problems += ProblemsAtDefaultAndMinimum(d);
  }
  {
    FDelSetName d(*world.program->main, &w);
    problems += ProblemsAtDefaultAndMinimum(d);
  }
  {
    FSetDir d(m, &w);
    problems += ProblemsAtDefaultAndMinimum(d);
  }
  {
    w.SelectHistoryRow(1);
    FEditHisData d(w);
    problems += ProblemsAtDefaultAndMinimum(d);
  }
  {
    FShutdown d(m, &w);
    d.Timer1->stop();
    problems += ProblemsAtDefaultAndMinimum(d);
  }
  {
    SaveExecWindow d(w, [] {});
    problems += ProblemsAtDefaultAndMinimum(d);
  }
  {
    w.SelectHistoryRow(1);
    FVerify d(w, 1);
    problems += ProblemsAtDefaultAndMinimum(d);
  }
  {
    w.SelectHistoryRow(1);
    FRestoreWindow d(w, [] {});
    d.Timer1->stop();
    problems += ProblemsAtDefaultAndMinimum(d);
    FindHistoryWindow find(m, world.program->main->HisTable, d.restore, QStringLiteral("*note*"), &d);
    problems += ProblemsAtDefaultAndMinimum(find);
    find.hide();
  }
  EXPECT_EQ(problems, QStringList());
}

TEST_F(Layout, TabLeavesTheGridsAndVisitsTheMainWindowTopLeftToBottomRight) {
  StartWithHistory({QStringLiteral("T:\\src")});
  QarnoWindow& w = *world.w;
  MainControls ui(w);
  PickHistoryRow(w, 1);  // 復元 enabled
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  ui.BSetName->setFocus();
  QStringList order;
  for (int i = 0; i < 16 && !order.contains(QApplication::focusWidget()->objectName()); ++i) {
    order += QApplication::focusWidget()->objectName();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  EXPECT_EQ(order, (QStringList{"BSetName", "SaveDir", "BSaveDir", "SaveLevel", "SList", "Apend", "Remove", "Modify",
                                "Change", "HisTable", "BackUp", "Restore", "BExit"}));
  // After the list switch too (the grid still lets go of Tab).
  QTest::mouseClick(ui.Change, Qt::LeftButton);
  ui.HisTable->setFocus();
  QTest::keyClick(ui.HisTable, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), ui.BackUp);
}

TEST_F(Layout, EveryControlOfEveryWindowHasAName) {
  StartWithHistory({QStringLiteral("T:\\src")});
  QarnoWindow& w = *world.w;
  Module1& m = world.m();
  QStringList nameless = Nameless(w);
  auto walk = [&](QWidget& window) {
    window.show();
    QTest::qWait(20);
    nameless += Nameless(window);
    window.close();
  };
  {
    FSetting d(m, &w);
    walk(d);
  }
  {
    FNoCompType d(m, &w);
    walk(d);
  }
  {
    GetSetName d(m, &w, false);
    walk(d);
  }
  {
    FDelSetName d(*world.program->main, &w);
    walk(d);
  }
  {
    FSetDir d(m, &w);
    walk(d);
  }
  {
    FApend d(m, world.program->fs->drives(), &w, 0, true, -1, {});
    walk(d);
  }
  {
    GetSaveDir d(m, world.program->fs->drives(), &w, 0, QStringLiteral("Qarno"), QStringLiteral("T:\\dst"));
    walk(d);
  }
  {
    FDelHisData d(*world.program->main, &w);
    walk(d);
  }
  {
    w.SelectHistoryRow(1);
    FEditHisData d(w);
    walk(d);
  }
  {
    FDelAgree d(&w);
    walk(d);
  }
  {
    FShutdown d(m, &w);
    d.Timer1->stop();
    nameless += Nameless(d);
  }
  // The run, restore and verify windows, opened on the newest run as the main window opens them.
  {
    SaveExecWindow d(w, [] {});
    nameless += Nameless(d);
  }
  {
    w.SelectHistoryRow(1);
    FRestoreWindow d(w, [] {});
    nameless += Nameless(d);
  }
  {
    FVerify d(w, 1);
    nameless += Nameless(d);
  }
  {
    FRestoreWindow d(w, [] {});
    FindHistoryWindow find(world.m(), world.program->main->HisTable, d.restore, QStringLiteral("*note*"), &d);
    nameless += Nameless(find);
  }
  EXPECT_EQ(nameless, QStringList());
}

}  // namespace
}  // namespace qarno::test
