// SPDX-License-Identifier: GPL-3.0-or-later
// The save and skip list view of the main window and the add-entries dialog.
#include "mainwin/windows/DirDialogs.h"
#include "mainwin/windows/WindowWorld.h"

#include <QDir>
#include <gtest/gtest.h>

namespace qarno::test {
namespace {

QStringList Entries(int n) {
  QStringList out;
  for (int i = 1; i <= n; ++i) out += QStringLiteral("T:\\e%1").arg(i);
  return out;
}

void Select(QarnoWindow& w, std::initializer_list<int> rows) {
  Ui(w).SList->clearSelection();
  for (int r : rows)
    Ui(w).SList->selectionModel()->select(Ui(w).listModel->index(r), QItemSelectionModel::Select);
}

TEST(ListEditing, RemovesTheSelectedRowsOfTheShownListOnly) {
  WindowWorld world;
  QStringList lines = PlainSet(QStringLiteral("T:\\dst"), Entries(6));
  lines += {QStringLiteral("#skip *.tmp"), QStringLiteral("#skip T:\\e2")};
  world.WriteSet(QStringLiteral("daily"), lines);
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  Select(w, {1, 4});  // rows 2 and 5
  QTest::mouseClick(Ui(w).Remove, Qt::LeftButton);
  EXPECT_EQ(world.m().set.SaveList,
            (QStringList{QStringLiteral("T:\\e1"), QStringLiteral("T:\\e3"), QStringLiteral("T:\\e4"),
                         QStringLiteral("T:\\e6")}));
  EXPECT_EQ(world.m().set.SkipList, (QStringList{QStringLiteral("*.tmp"), QStringLiteral("T:\\e2")}));
  EXPECT_TRUE(world.m().SetModified);
  EXPECT_EQ(Ui(w).listModel->rowCount(), 4);

  // Nothing selected: the message, nothing changes.
  world.m().SetModified = false;
  Ui(w).SList->clearSelection();
  world.env.ui.Expect(Question::NoItemSelected, Answer::OK, QStringLiteral("項目が選択されていません。"));
  QTest::mouseClick(Ui(w).Remove, Qt::LeftButton);
  EXPECT_FALSE(world.m().SetModified);
  EXPECT_EQ(world.env.ui.Shown(Question::NoItemSelected).value(0).title, QStringLiteral("Qarno  daily"));
}

TEST(ListEditing, SwitchingShowsTheOtherListWithItsLabelAndTooltips) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"),
                 PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\a")}) + QStringList{QStringLiteral("#skip *.bak")});
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  EXPECT_EQ(Ui(w).SLabel->text(), QStringLiteral("保存リスト"));
  EXPECT_EQ(Ui(w).Remove->toolTip(), QStringLiteral("選択されている項目を保存リストから削除します"));
  QTest::mouseClick(Ui(w).Change, Qt::LeftButton);
  EXPECT_EQ(Ui(w).SLabel->text(), QStringLiteral("スキップリスト"));
  EXPECT_EQ(Ui(w).listModel->data(Ui(w).listModel->index(0), Qt::DisplayRole).toString(), QStringLiteral("*.bak"));
  EXPECT_EQ(Ui(w).Apend->toolTip(), QStringLiteral("スキップリストに追加するためのダイアログ・ボックスを開きます"));
  EXPECT_EQ(Ui(w).Remove->toolTip(), QStringLiteral("選択されている項目をスキップリストから削除します"));
  EXPECT_TRUE(Ui(w).SList->toolTip().endsWith(QStringLiteral("は保存対象から除かれます")));
  // Another set keeps the kind of list shown.
  world.WriteSet(QStringLiteral("other"), PlainSet(QStringLiteral("T:\\o"), {}) + QStringList{QStringLiteral("#skip x")});
  w.SetNameS_Click(QStringLiteral("other"));
  EXPECT_EQ(Ui(w).SLabel->text(), QStringLiteral("スキップリスト"));
  EXPECT_EQ(Ui(w).listModel->rowCount(), 1);
}

TEST(ListEditing, CtrlAThenDeleteEmptiesTheListAndDisablesTheBackup) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), Entries(4)));
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  EXPECT_TRUE(Ui(w).BackUp->isEnabled());
  Ui(w).SList->setFocus();
  QTest::keyClick(Ui(w).SList, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(w.SelectedRows().size(), 4);
  QTest::keyClick(Ui(w).SList, Qt::Key_Delete);
  EXPECT_TRUE(world.m().set.SaveList.isEmpty());
  EXPECT_TRUE(world.m().SetModified);
  EXPECT_FALSE(Ui(w).BackUp->isEnabled());
}

TEST(ListEditing, FocusAndScrollPositions) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), Entries(60)));
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  w.SListSetForcus(20);
  EXPECT_EQ(w.SListTopRow(), 8);
  EXPECT_EQ(w.SelectedRows(), QList<int>{20});
  w.SListSetForcus(5);
  EXPECT_EQ(w.SListTopRow(), 0);
  EXPECT_EQ(w.SelectedRows(), QList<int>{5});

  // A view scrolled to row 20 stays there when a row below it goes.
  Ui(w).SList->scrollTo(Ui(w).listModel->index(20), QAbstractItemView::PositionAtTop);
  ASSERT_EQ(w.SListTopRow(), 20);
  Select(w, {45});
  w.Remove_Click();
  EXPECT_EQ(w.SListTopRow(), 20);
  // Fewer rows than the top row: back at the start.
  Select(w, {});
  for (int i = 0; i < 45; ++i) Ui(w).SList->selectionModel()->select(Ui(w).listModel->index(i), QItemSelectionModel::Select);
  w.Remove_Click();
  EXPECT_EQ(w.SListTopRow(), 0);
}

TEST(AddEntries, AddsWithoutDuplicatesIgnoringCaseAndSelectsTheNewEntry) {
  WindowWorld world;
  world.env.MakeDir(QStringLiteral("T:\\DATA\\sub"));
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\DATA")}));
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  bool seen = false;
  OnDialog<FApend>(QStringLiteral("FApend"), [&](FApend& d) {
    seen = true;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("保存リストの追加"));
    EXPECT_TRUE(d.Apend->isVisible());
    EXPECT_EQ(d.BExit->text(), QStringLiteral("閉じる"));
    // It opens on the last entry of the list.
    EXPECT_EQ(d.Dir1->path(), QStringLiteral("T:\\DATA"));
    world.env.ui.Expect(Question::AlreadyRegistered, Answer::OK, QStringLiteral("t:\\data\r"));
    d.Text1->setText(QStringLiteral("  t:\\data "));
    QTest::mouseClick(d.Apend, Qt::LeftButton);
    EXPECT_EQ(world.m().set.SaveList.size(), 1);
    EXPECT_EQ(world.env.ui.Shown(Question::AlreadyRegistered).value(0).title, QStringLiteral("保存リストの追加"));
    d.Text1->setText(QStringLiteral("T:\\data\\sub"));
    QTest::keyClick(d.Text1, Qt::Key_Return);  // Enter adds too; the dialog stays open
    d.Text1->setText(QStringLiteral("T:\\other"));
    QTest::mouseClick(d.Apend, Qt::LeftButton);
    EXPECT_EQ(w.SelectedRows(), QList<int>{2});
    EXPECT_TRUE(d.isVisible());
    world.env.ui.Expect(Question::NoItemSelected, Answer::OK);
    d.Text1->setText(QStringLiteral("   "));
    QTest::mouseClick(d.Apend, Qt::LeftButton);
    QTest::mouseClick(d.BExit, Qt::LeftButton);
  });
  QTest::mouseClick(Ui(w).Apend, Qt::LeftButton);
  EXPECT_TRUE(seen);
  EXPECT_EQ(world.m().set.SaveList, (QStringList{QStringLiteral("T:\\DATA"), QStringLiteral("T:\\data\\sub"),
                                                 QStringLiteral("T:\\other")}));
  EXPECT_TRUE(world.m().SetModified);
  EXPECT_TRUE(world.env.ui.Exhausted());
}

TEST(AddEntries, ModifyAcceptsItsOwnTextAndRefusesAnotherEntrysText) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"),
                 PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\a"), QStringLiteral("T:\\b")}));
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  OnDialog<FApend>(QStringLiteral("FApend"), [&](FApend& d) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("保存リストの変更"));
    EXPECT_FALSE(d.Apend->isVisible());
    EXPECT_EQ(d.BExit->text(), QStringLiteral("OK"));
    EXPECT_EQ(d.Text1->text(), QStringLiteral("T:\\b"));
    QTest::mouseClick(d.BExit, Qt::LeftButton);  // unchanged: accepted
  });
  Select(w, {1});
  Ui(w).SList->setCurrentIndex(Ui(w).listModel->index(1));
  QTest::mouseClick(Ui(w).Modify, Qt::LeftButton);
  EXPECT_EQ(world.m().set.SaveList, (QStringList{QStringLiteral("T:\\a"), QStringLiteral("T:\\b")}));

  OnDialog<FApend>(QStringLiteral("FApend"), [&](FApend& d) {
    world.env.ui.Expect(Question::AlreadyRegistered, Answer::OK);
    d.Text1->setText(QStringLiteral("t:\\A"));
    QTest::mouseClick(d.BExit, Qt::LeftButton);  // refused: stays open with the text
    EXPECT_TRUE(d.isVisible());
    d.Text1->setText(QStringLiteral("T:\\c"));
    QTest::keyClick(d.Text1, Qt::Key_Return);
  });
  Ui(w).SList->setCurrentIndex(Ui(w).listModel->index(1));
  DoubleClick(Ui(w).SList->viewport(), Ui(w).SList->visualRect(Ui(w).listModel->index(1)).center());
  EXPECT_EQ(world.m().set.SaveList, (QStringList{QStringLiteral("T:\\a"), QStringLiteral("T:\\c")}));
  EXPECT_EQ(w.SelectedRows(), QList<int>{1});
}

TEST(AddEntries, FilesOfADriveRootAndADriveThatIsNotReady) {
  WindowWorld world;
  const QString floppy = world.env.root() + QStringLiteral("/floppy");
  QDir().mkpath(floppy);
  QFile(floppy + QStringLiteral("/boot.ini")).open(QIODevice::WriteOnly);
  world.MapDrive(u'A', floppy);
  world.MapDrive(u'X', world.env.root() + QStringLiteral("/missing"));
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {}) + QStringList{QStringLiteral("#skip A:\\")});
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  w.Change_Click();  // the skip list, whose entry is A:'s root
  OnDialog<FApend>(QStringLiteral("FApend"), [&](FApend& d) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("スキップリストの追加"));
    EXPECT_EQ(d.Dir1->path(), QStringLiteral("A:\\"));
    ASSERT_EQ(d.File1->count(), 1);
    QTest::mouseClick(d.File1->viewport(), Qt::LeftButton, {}, d.File1->visualItemRect(d.File1->item(0)).center());
    EXPECT_EQ(d.Text1->text(), QStringLiteral("A:\\boot.ini"));
    // The drive list shows the table's letters the Windows way; X:'s folder is missing.
    QStringList texts;
    for (int i = 0; i < d.Drive1->count(); ++i) texts += d.Drive1->itemText(i);
    EXPECT_TRUE(texts.contains(QStringLiteral("c: [/]"))) << texts.join(u'|').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("x:")));
    const int x = texts.indexOf(QStringLiteral("x:"));
    world.env.ui.Expect(Question::ApendDriveNotReady, Answer::OK, QStringLiteral("x:\rドライブの準備ができていません"));
    d.Drive1->setCurrentIndex(x);
    emit d.Drive1->activated(x);
    EXPECT_EQ(d.Dir1->path(), QStringLiteral("A:\\"));
    EXPECT_EQ(d.Drive1->currentText().left(2), QStringLiteral("a:"));
    DoubleClick(d.File1->viewport(), d.File1->visualItemRect(d.File1->item(0)).center());
    QTest::mouseClick(d.BExit, Qt::LeftButton);
  });
  QTest::mouseClick(Ui(w).Apend, Qt::LeftButton);
  EXPECT_EQ(world.m().set.SkipList, (QStringList{QStringLiteral("A:\\"), QStringLiteral("A:\\boot.ini")}));
  EXPECT_TRUE(world.env.ui.Exhausted());
}

TEST(AddEntries, KeepsItsPlaceAndSizeAndOpensAtTheLowerRightFirst) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {}));
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  QPoint first;
  OnDialog<FApend>(QStringLiteral("FApend"), [&](FApend& d) {
    first = d.pos() - w.frameGeometry().topLeft();
    // First opening: the dialog's lower right corner on the main window's.
    EXPECT_NEAR(first.x() + d.width(), w.frameGeometry().width(), 2);
    d.move(d.pos() + QPoint(-Px(&d, 300), 0));
    d.resize(Px(&d, 5600), Px(&d, 4200));
    QTest::mouseClick(d.BExit, Qt::LeftButton);
  });
  QTest::mouseClick(Ui(w).Apend, Qt::LeftButton);
  // Stored in twips; a pixel is 15 twips at 96 dots per inch.
  EXPECT_NEAR(world.m().settings.positions.value(QStringLiteral("FApendWidth")).toDouble(), 5600, 15);
  world.Restart(QStringLiteral("daily"));
  OnDialog<FApend>(QStringLiteral("FApend"), [&](FApend& d) {
    EXPECT_NEAR((d.pos() - world.w->frameGeometry().topLeft()).x(), first.x() - Px(&d, 300), 1);
    EXPECT_EQ(d.width(), Px(&d, 5600));
    QTest::mouseClick(d.BExit, Qt::LeftButton);
  });
  QTest::mouseClick(Ui(*world.w).Apend, Qt::LeftButton);
}

}  // namespace
}  // namespace qarno::test
