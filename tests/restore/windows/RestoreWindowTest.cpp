// SPDX-License-Identifier: GPL-3.0-or-later
// The restore window over real saves: loading a run's listing (and stopping the loading),
// ticks that follow the folder tree, the list search, the choice of the target, restores in
// place and elsewhere compared byte for byte with what was saved, and a run stopped half way.
#include "RestoreWindowWorld.h"
#include "mainwin/windows/DirDialogs.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>
#include <stdexcept>

namespace qarno::test {
namespace {

QListView& List(FRestoreWindow& w) { return *w.RestoreList; }
QString ItemText(FRestoreWindow& w, int item) { return w.listModel->index(item).data().toString(); }
bool Ticked(FRestoreWindow& w, int item) {
  return w.listModel->index(item).data(Qt::CheckStateRole).toInt() == Qt::Checked;
}
int ItemOf(FRestoreWindow& w, const QString& path) {
  for (int i = 0; i < w.listModel->rowCount(); ++i) {
    if (ItemText(w, i) == path) return i;
  }
  ADD_FAILURE() << "no item " << path.toStdString();
  return -1;
}
void Tick(FRestoreWindow& w, const QString& path, bool on) {
  w.listModel->setData(w.listModel->index(ItemOf(w, path)), on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}
QString Info(FRestoreWindow& w, int row, int column) {
  return w.infoModel->index(row, column).data().toString();
}

TEST(RestoreWindow, LoadsTheRunAndTicksAFolderWithWhatIsBelowItOnly) {
  RestoreWindowWorld t({{QStringLiteral("data\\a.txt"), "alpha"},
                        {QStringLiteral("data\\sub\\b.txt"), QByteArray(1025, 'b')},
                        {QStringLiteral("database\\c.txt"), "gamma"}});
  const QString save = t.Backup();
  FRestoreWindow& w = t.Open();

  EXPECT_EQ(w.windowTitle(), QStringLiteral("Qarno  daily  復元"));
  EXPECT_FALSE(t.world.w->isVisible());
  EXPECT_EQ(t.world.m().OpenDialogKind, DialogKind::Restore);
  EXPECT_EQ(w.SetName->text(), QStringLiteral("daily"));
  EXPECT_EQ(w.RestoreSaveName->text(), save);
  EXPECT_EQ(w.Position->itemText(0), QStringLiteral("元の場所に復元する"));
  EXPECT_EQ(w.Position->itemText(1), QStringLiteral("別の場所に復元する"));
  EXPECT_EQ(w.WriteHDir->text(), QStringLiteral("マイコンピュータ"));
  EXPECT_FALSE(w.ChgWriteHDir->isEnabled());
  EXPECT_EQ(w.RestoreList->toolTip(),
            QStringLiteral("復元可能なファイルやフォルダーを表示し、「チェック」された項目を「復元予約」します。"));
  EXPECT_EQ(w.AllSelect->toolTip(), QStringLiteral("全ての復元リストに｢復元予約」のマークをつけます。"));
  EXPECT_EQ(w.Status->text(), QString());
  EXPECT_FALSE(w.OK->isEnabled());
  EXPECT_TRUE(w.Cancel->isEnabled());
  EXPECT_EQ(w.Cancel->text(), QStringLiteral("中止"));
  // T:\src, data, data\a.txt, data\sub, data\sub\b.txt, database, database\c.txt.
  ASSERT_EQ(w.listModel->rowCount(), 7);
  EXPECT_EQ(w.SaveList->model()->rowCount(), 7);
  EXPECT_FALSE(w.SaveList->isVisible());
  EXPECT_EQ(w.RestoreListInfo->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("復元予約"));
  EXPECT_EQ(w.RestoreListInfo->model()->headerData(2, Qt::Vertical).toString(), QStringLiteral("サイズ(KB)"));
  EXPECT_EQ(Info(w, 0, 0), QStringLiteral("3"));  // files
  EXPECT_EQ(Info(w, 1, 0), QStringLiteral("4"));  // folders
  EXPECT_EQ(Info(w, 2, 0), QStringLiteral("4"));  // 1 + 2 + 1 KB
  EXPECT_EQ(Info(w, 0, 2), QString());            // nothing restored yet: empty

  Tick(w, QStringLiteral("T:\\src\\data"), true);
  EXPECT_TRUE(Ticked(w, ItemOf(w, QStringLiteral("T:\\src\\data\\sub\\b.txt"))));
  EXPECT_TRUE(Ticked(w, ItemOf(w, QStringLiteral("T:\\src\\data\\a.txt"))));
  EXPECT_FALSE(Ticked(w, ItemOf(w, QStringLiteral("T:\\src\\database"))));
  EXPECT_FALSE(Ticked(w, ItemOf(w, QStringLiteral("T:\\src\\database\\c.txt"))));
  EXPECT_FALSE(Ticked(w, 0));
  EXPECT_EQ(Info(w, 0, 1), QStringLiteral("2"));
  EXPECT_EQ(Info(w, 1, 1), QStringLiteral("2"));
  EXPECT_EQ(Info(w, 2, 1), QStringLiteral("3"));
  EXPECT_TRUE(w.OK->isEnabled());
  // The ticks are the table's marks.
  EXPECT_TRUE(w.restore.table().IsMarked(ItemOf(w, QStringLiteral("T:\\src\\data\\a.txt")) + 1));

  // Unticking the sub-folder leaves its parent ticked; unticking the parent clears the rest.
  Tick(w, QStringLiteral("T:\\src\\data\\sub"), false);
  EXPECT_FALSE(Ticked(w, ItemOf(w, QStringLiteral("T:\\src\\data\\sub\\b.txt"))));
  EXPECT_TRUE(Ticked(w, ItemOf(w, QStringLiteral("T:\\src\\data"))));
  Tick(w, QStringLiteral("T:\\src\\data"), false);
  EXPECT_EQ(Info(w, 0, 1), QStringLiteral("0"));
  EXPECT_FALSE(w.OK->isEnabled());

  QTest::mouseClick(w.AllSelect, Qt::LeftButton);
  for (int i = 0; i < 7; ++i) EXPECT_TRUE(Ticked(w, i)) << i;
  EXPECT_EQ(Info(w, 2, 1), QStringLiteral("4"));
  QTest::mouseClick(w.AllClear, Qt::LeftButton);
  for (int i = 0; i < 7; ++i) EXPECT_FALSE(Ticked(w, i)) << i;

  // Cancel while idle closes the window; the main window comes back at its place.
  w.move(w.pos() + QPoint(30, 20));
  const QRect where = w.geometry();
  QTest::mouseClick(w.Cancel, Qt::LeftButton);
  ASSERT_TRUE(t.WaitClosed());
  EXPECT_EQ(t.world.m().OpenDialogKind, DialogKind::None);
  EXPECT_EQ(t.world.w->geometry(), where);
  EXPECT_FALSE(t.world.m().CancelFlag);
  EXPECT_TRUE(Ui(*t.world.w).Restore->isEnabled());
}

TEST(RestoreWindow, TheDeferredLoadingWaitsForTheRestoreWindowKind) {
  RestoreWindowWorld t({{QStringLiteral("a.txt"), "a"}});
  t.Backup();
  // Opened while another window kind is recorded: the timer ticks without loading.
  QPointer<FRestoreWindow> w = OpenRestoreWindow(*t.world.w, [] {});
  QTest::qWait(350);
  EXPECT_EQ(w->listModel->rowCount(), 0);
  EXPECT_FALSE(w->RestoreList->isVisible());
  EXPECT_EQ(w->Status->text(), QStringLiteral("初期化中 .... "));
  EXPECT_TRUE(w->findChild<InitRestore*>());
  t.world.m().OpenDialogKind = DialogKind::Restore;
  ASSERT_TRUE(QTest::qWaitFor([&] { return w->RestoreList->isVisible(); }, 3000));
  EXPECT_EQ(w->listModel->rowCount(), 2);
  // It fired once and went.
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w->findChild<InitRestore*>(); }, 1000));
  t.world.m().OpenDialogKind = DialogKind::None;
  w->close();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !w; }, 1000));
}

TEST(RestoreWindow, SearchGoesOnAfterTheSelectedItemAndSaysWhenNothingIsLeft) {
  RestoreWindowWorld t({{QStringLiteral("docs\\ReadMe.txt"), "1"},
                        {QStringLiteral("docs\\other.txt"), "2"},
                        {QStringLiteral("more\\readme.md"), "3"}});
  t.Backup();
  FRestoreWindow& w = t.Open();
  const int first = ItemOf(w, QStringLiteral("T:\\src\\docs\\ReadMe.txt"));
  const int second = ItemOf(w, QStringLiteral("T:\\src\\more\\readme.md"));

  // Nothing selected: from the top; letter case does not matter.
  QTest::keyClicks(w.SearchName, QStringLiteral("README"));
  QTest::mouseClick(w.Search, Qt::LeftButton);
  EXPECT_EQ(List(w).currentIndex().row(), first);
  EXPECT_EQ(w.Status->text(), QStringLiteral("見つけました(README) ... %1 行目").arg(first));
  // Enter in the search text searches on from the item found.
  QTest::keyClick(w.SearchName, Qt::Key_Return);
  EXPECT_EQ(List(w).currentIndex().row(), second);
  EXPECT_EQ(w.Status->text(), QStringLiteral("見つけました(README) ... %1 行目").arg(second));
  // Nothing after it: said so, and the selection stays.
  QTest::mouseClick(w.Search, Qt::LeftButton);
  EXPECT_EQ(w.Status->text(), QStringLiteral("ありませんでした。"));
  EXPECT_EQ(List(w).currentIndex().row(), second);
  EXPECT_EQ(w.restore.state().stage, rstage::Idle);
  EXPECT_TRUE(w.Search->isEnabled());
  // A click on the list only clears the status line.
  QTest::mouseClick(w.RestoreListInfo->viewport(), Qt::LeftButton);
  EXPECT_EQ(w.Status->text(), QString());

  // A Cancel during a search ends the search only.
  List(w).setCurrentIndex(QModelIndex());
  w.SearchName->setText(QStringLiteral("no such name"));
  t.onYield = [&](int) { w.Cancel->click(); };
  w.Search_Click();
  t.onYield = nullptr;
  EXPECT_EQ(w.Status->text(), QStringLiteral("サーチは中止されました。"));
  QTest::qWait(400);
  EXPECT_TRUE(t.win);
  EXPECT_FALSE(t.world.m().CancelFlag);
}

TEST(RestoreWindow, ThePositionSwitchesBetweenMyComputerAndTheChosenTopDirectory) {
  RestoreWindowWorld t({{QStringLiteral("a.txt"), "a"}});
  t.Backup();
  Module1& m = t.world.m();
  m.set.options.RestoreHomeDir = QStringLiteral("T:\\restore");
  FRestoreWindow& w = t.Open();
  m.SetModified = false;

  w.Position->setCurrentIndex(1);
  emit w.Position->activated(1);
  EXPECT_EQ(w.WriteHDir->text(), QStringLiteral("T:\\restore"));
  EXPECT_TRUE(w.ChgWriteHDir->isEnabled());
  EXPECT_EQ(m.set.options.RestorePosition, 1);
  EXPECT_TRUE(m.SetModified);

  t.world.env.MakeDir(QStringLiteral("T:\\elsewhere"));
  OnDialog<GetSaveDir>(QStringLiteral("GetSaveDir"), [](GetSaveDir& d) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Qarno  daily  復元  復元先ディレクトリの選択"));
    EXPECT_EQ(d.Text1->text(), QStringLiteral("T:\\restore"));
    d.Text1->setText(QStringLiteral("T:\\elsewhere"));
    d.OK->click();
  });
  QTest::mouseClick(w.ChgWriteHDir, Qt::LeftButton);
  EXPECT_EQ(w.WriteHDir->text(), QStringLiteral("T:\\elsewhere"));
  EXPECT_EQ(m.set.options.RestoreHomeDir, QStringLiteral("T:\\elsewhere"));

  w.Position->setCurrentIndex(0);
  emit w.Position->activated(0);
  EXPECT_EQ(w.WriteHDir->text(), QStringLiteral("マイコンピュータ"));
  EXPECT_FALSE(w.ChgWriteHDir->isEnabled());
  EXPECT_EQ(m.set.options.RestorePosition, 0);
  w.Position->setCurrentIndex(1);
  emit w.Position->activated(1);
  EXPECT_EQ(w.WriteHDir->text(), QStringLiteral("T:\\elsewhere"));
  w.close();
  ASSERT_TRUE(t.WaitClosed());
}

TEST(RestoreWindow, RestoresInPlaceAndElsewhereByteForByte) {
  const QMap<QString, QByteArray> files = {{QStringLiteral("a.txt"), "alpha"},
                                           {QStringLiteral("docs\\big.bin"), QByteArray(300000, '\x5a') + "tail"},
                                           {QStringLiteral("docs\\deep\\c.txt"), "gamma"},
                                           {QStringLiteral("empty.txt"), ""}};
  RestoreWindowWorld t(files);
  t.Backup();
  const QString src = t.world.env.Host(QStringLiteral("T:\\src"));
  const auto saved = Contents(src);
  Module1& m = t.world.m();

  // In place: the docs folder is damaged and removed in part, then restored with its tick.
  t.world.env.WriteFile(QStringLiteral("T:\\src\\docs\\big.bin"), "damaged");
  QFile::remove(t.world.env.Host(QStringLiteral("T:\\src\\docs\\deep\\c.txt")));
  t.world.env.WriteFile(QStringLiteral("T:\\src\\a.txt"), "changed since");
  {
    FRestoreWindow& w = t.Open();
    Tick(w, QStringLiteral("T:\\src\\docs"), true);
    QTest::mouseClick(w.OK, Qt::LeftButton);
    EXPECT_EQ(w.Status->text(), QStringLiteral("復元を実行中  ...... 終了"));
    EXPECT_EQ(w.Cancel->text(), QStringLiteral("閉じる"));
    EXPECT_FALSE(w.OK->isEnabled());
    EXPECT_EQ(Info(w, 0, 2), QStringLiteral("2"));  // files restored
    EXPECT_EQ(Info(w, 1, 2), QStringLiteral("2"));  // folders restored
    // Restored entries lose their ticks.
    EXPECT_FALSE(Ticked(w, ItemOf(w, QStringLiteral("T:\\src\\docs\\big.bin"))));
    EXPECT_EQ(w.SaveNameTable->model()->rowCount(), 1);
    // Another run only after the marks were cleared.
    Tick(w, QStringLiteral("T:\\src\\a.txt"), true);
    EXPECT_FALSE(w.OK->isEnabled());
    QTest::mouseClick(w.AllClear, Qt::LeftButton);
    Tick(w, QStringLiteral("T:\\src\\a.txt"), true);
    EXPECT_TRUE(w.OK->isEnabled());
    QTest::mouseClick(w.Cancel, Qt::LeftButton);
    ASSERT_TRUE(t.WaitClosed());
  }
  auto inPlace = saved;
  inPlace[QStringLiteral("a.txt")] = "changed since";  // not ticked: left as it is
  EXPECT_EQ(Contents(src), inPlace);

  // Elsewhere: everything, under T:\restore\Drive_T\src.
  m.set.options.RestoreHomeDir = QStringLiteral("T:\\restore");
  {
    FRestoreWindow& w = t.Open();
    w.Position->setCurrentIndex(1);
    emit w.Position->activated(1);
    QTest::mouseClick(w.AllSelect, Qt::LeftButton);
    QTest::mouseClick(w.OK, Qt::LeftButton);
    EXPECT_EQ(w.Status->text(), QStringLiteral("復元を実行中  ...... 終了"));
    EXPECT_EQ(Info(w, 2, 2), Info(w, 2, 1));
    w.close();
    ASSERT_TRUE(t.WaitClosed());
  }
  EXPECT_EQ(Contents(t.world.env.Host(QStringLiteral("T:\\restore\\Drive_T\\src"))), saved);
  EXPECT_EQ(Contents(src), inPlace);
}

TEST(RestoreWindow, AnotherPlaceNeedsATopDirectoryOutsideTheSaves) {
  RestoreWindowWorld t({{QStringLiteral("a.txt"), "a"}});
  t.Backup();
  Module1& m = t.world.m();
  for (const QString& top : {QString(), QStringLiteral("T:\\dst\\daily")}) {
    m.set.options.RestoreHomeDir = top;
    FRestoreWindow& w = t.Open();
    w.Position->setCurrentIndex(1);
    emit w.Position->activated(1);
    QTest::mouseClick(w.AllSelect, Qt::LeftButton);
    t.world.env.ui.Expect(Question::RestoreTopDirInvalid, Answer::OK, top);
    QTest::mouseClick(w.OK, Qt::LeftButton);
    EXPECT_TRUE(t.world.env.ui.Exhausted());
    // Nothing was run: the marks stand and the window can still start.
    EXPECT_EQ(w.restore.table().ReservedCount(), 2);
    EXPECT_TRUE(w.OK->isEnabled());
    w.close();
    ASSERT_TRUE(t.WaitClosed());
  }
  EXPECT_FALSE(t.world.env.Exists(QStringLiteral("T:\\Drive_T")));
}

QMap<QString, QByteArray> ManyFiles(int n) {
  QMap<QString, QByteArray> files;
  for (int i = 0; i < n; ++i) files.insert(QStringLiteral("f%1.txt").arg(i, 4, 10, QLatin1Char('0')), QByteArray::number(i));
  return files;
}

TEST(RestoreWindow, CancelWhileTheListingLoadsClosesTheWindow) {
  RestoreWindowWorld t(ManyFiles(160));
  t.Backup();
  t.onYield = [&](int) {
    if (t.win && t.win->restore.state().stage == rstage::ReadCsv) t.win->Cancel->click();
  };
  t.world.w->Restore_Click();
  ASSERT_TRUE(t.WaitClosed());
  t.onYield = nullptr;
  EXPECT_EQ(t.world.m().OpenDialogKind, DialogKind::None);
  EXPECT_FALSE(t.world.m().CancelFlag);
  EXPECT_TRUE(Ui(*t.world.w).Restore->isEnabled());
}

TEST(RestoreWindow, CancelDuringARunStopsItAndTheWindowStays) {
  RestoreWindowWorld t(ManyFiles(300));
  t.Backup();
  Module1& m = t.world.m();
  m.set.options.RestoreHomeDir = QStringLiteral("T:\\restore");
  FRestoreWindow& w = t.Open();
  w.Position->setCurrentIndex(1);
  emit w.Position->activated(1);
  QTest::mouseClick(w.AllSelect, Qt::LeftButton);

  int restoredYields = 0;
  bool commandsOff = true, minimisedCaption = false;
  t.onYield = [&](int) {
    if (w.restore.state().stage != rstage::Restore || w.restore.table().Restored().files < 20) return;
    commandsOff = commandsOff && !w.OK->isEnabled() && !w.AllClear->isEnabled() && !w.Search->isEnabled() &&
                  !w.Position->isEnabled() && w.Cancel->isEnabled();
    if (++restoredYields == 1) {
      w.setWindowState(Qt::WindowMinimized);
      w.Timer1_Timer();
      minimisedCaption = w.windowTitle().startsWith(QStringLiteral("Qarno  daily  復元 ")) && w.windowTitle().endsWith(u'%');
      w.setWindowState(Qt::WindowNoState);
      w.Cancel->click();
    }
  };
  QTest::mouseClick(w.OK, Qt::LeftButton);
  t.onYield = nullptr;
  EXPECT_TRUE(commandsOff);
  EXPECT_TRUE(minimisedCaption);
  EXPECT_EQ(w.Status->text(), QStringLiteral("復元を実行中  ...... 中止されました"));
  const int restored = static_cast<int>(w.restore.table().Restored().files);
  EXPECT_GE(restored, 20);
  EXPECT_LT(restored, 300);
  const auto copies = Contents(t.world.env.Host(QStringLiteral("T:\\restore\\Drive_T\\src")));
  EXPECT_EQ(copies.size(), restored);  // the restored files, and nothing else
  // The stop did not close the window, and the run counts as done.
  QTest::qWait(400);
  ASSERT_TRUE(t.win);
  EXPECT_EQ(w.Cancel->text(), QStringLiteral("中止"));
  EXPECT_FALSE(w.OK->isEnabled());
  EXPECT_TRUE(w.AllClear->isEnabled());
  w.close();
  ASSERT_TRUE(t.WaitClosed());
}

// The program ends (its main window goes) while the restore window is open: the window goes
// with it, and its timer never reads the set, history or module after them.
TEST(RestoreWindow, GoesWithTheMainWindowItReads) {
  RestoreWindowWorld t(ManyFiles(3));
  t.Backup();
  t.Open();
  ASSERT_TRUE(t.win);
  t.world.w.reset();
  EXPECT_TRUE(t.win.isNull());
  QTest::qWait(350);  // a tick of a timer left behind would read freed memory here
}

}  // namespace
}  // namespace qarno::test
