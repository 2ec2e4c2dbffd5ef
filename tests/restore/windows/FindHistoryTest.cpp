// SPDX-License-Identifier: GPL-3.0-or-later
// "履歴から探す" over real saves: a file changed at every run shows as one timeline, newest
// first; a chosen version is restored from the run holding it (elsewhere and in place),
// compared byte for byte, only after the user's OK and without touching the restore window's
// own list; a pattern that finds nothing says so; a stop ends the search and nothing else.
#include "RestoreWindowWorld.h"
#include "restore/windows/FindHistoryWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

namespace qarno::test {
namespace {

const QDateTime kTime(QDate(2024, 3, 1), QTime(9, 0, 0));

struct Timeline {
  RestoreWindowWorld t{{{QStringLiteral("docs\\note.txt"), "v0"}, {QStringLiteral("other.txt"), "other"}}};
  QStringList saves;  // oldest first
  const QByteArray v1 = "version one!", v2 = "the third version, the longest";

  Timeline() {
    t.world.env.SetTime(QStringLiteral("T:\\src\\docs\\note.txt"), kTime);
    saves += t.Backup(Level::Level0);
    t.world.env.WriteFile(QStringLiteral("T:\\src\\docs\\note.txt"), v1, kTime.addDays(1));
    saves += t.Backup(Level::Level1);
    t.world.env.WriteFile(QStringLiteral("T:\\src\\docs\\note.txt"), v2, kTime.addDays(2));
    saves += t.Backup(Level::Level1);
  }

  // Opens the dialog from the restore window for the text and waits until the search ended.
  FindHistoryWindow& Find(FRestoreWindow& w, const QString& text) {
    w.SearchName->setText(text);
    QTest::mouseClick(w.FindInHistory, Qt::LeftButton);
    if (!w.findHistory) throw std::runtime_error("no find dialog");
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.findHistory && w.findHistory->isVisible() && !w.findHistory->Searching() &&
                                             w.findHistory->Status->text() != QString() &&
                                             !w.findHistory->Status->text().startsWith(QStringLiteral("履歴から探して")); },
                                5000));
    return *w.findHistory;
  }
  static void Choose(FindHistoryWindow& d, int path, int version) {
    d.Versions->setCurrentIndex(d.model->index(version, 0, d.model->index(path, 0)));
  }
  static QString Cell(FindHistoryWindow& d, int path, int version, int column) {
    return d.model->index(version, column, d.model->index(path, 0)).data().toString();
  }
  bool Closed(FRestoreWindow& w) {
    return QTest::qWaitFor([&] { return !w.findHistory && w.FindInHistory->isEnabled(); }, 3000);
  }
};

TEST(FindHistory, ThePatternOfTheSearchText) {
  EXPECT_EQ(FindPatternFor(QStringLiteral("readme")), QStringLiteral("*readme*"));
  EXPECT_EQ(FindPatternFor(QStringLiteral("  docs\\a.txt ")), QStringLiteral("*docs\\a.txt*"));
  EXPECT_EQ(FindPatternFor(QStringLiteral("*\\a.txt")), QStringLiteral("*\\a.txt"));  // the skip list's rule
  EXPECT_EQ(FindPatternFor(QStringLiteral("   ")), QString());
}

TEST(FindHistory, EveryVersionNewestFirstAndTheOldestRestoredElsewhereAfterTheOK) {
  Timeline tl;
  RestoreWindowWorld& t = tl.t;
  t.world.m().set.options.RestoreHomeDir = QStringLiteral("T:\\restore");
  FRestoreWindow& w = t.Open();
  w.Position->setCurrentIndex(1);
  emit w.Position->activated(1);
  const int listed = w.listModel->rowCount();

  FindHistoryWindow& d = tl.Find(w, QStringLiteral("NOTE"));
  EXPECT_EQ(d.objectName(), QStringLiteral("FFindHistory"));
  EXPECT_EQ(d.windowTitle(), QStringLiteral("Qarno  daily  復元  履歴から探す"));
  EXPECT_EQ(d.Pattern->text(), QStringLiteral("*NOTE*"));
  EXPECT_EQ(d.Target->text(), QStringLiteral("復元先: T:\\restore の下"));
  // While the dialog is open the restore window's commands wait.
  EXPECT_FALSE(w.FindInHistory->isEnabled());
  EXPECT_FALSE(w.Search->isEnabled());
  ASSERT_EQ(d.model->Paths(), 1);
  EXPECT_EQ(d.model->index(0, 0).data().toString(), QStringLiteral("T:\\src\\docs\\note.txt  (3 版)"));
  EXPECT_EQ(d.model->index(0, 0).data(FoundVersionsModel::PathRole).toString(), QStringLiteral("T:\\src\\docs\\note.txt"));
  EXPECT_TRUE(d.Versions->isFirstColumnSpanned(0, QModelIndex()));
  ASSERT_EQ(d.model->rowCount(d.model->index(0, 0)), 3);
  for (int i = 0; i < 3; ++i) {
    const QString save = tl.saves[2 - i];
    EXPECT_EQ(tl.Cell(d, 0, i, FoundVersionsModel::Name), save);
    EXPECT_EQ(tl.Cell(d, 0, i, FoundVersionsModel::Level), i == 2 ? QStringLiteral("Level-0") : QStringLiteral("Level-1"));
    EXPECT_EQ(tl.Cell(d, 0, i, FoundVersionsModel::Copy),
              QStringLiteral("T:\\dst\\daily\\") + save + QStringLiteral("\\Drive_T\\src\\docs\\note.txt"));
  }
  EXPECT_EQ(tl.Cell(d, 0, 0, FoundVersionsModel::Size), QString::number(tl.v2.size()));
  EXPECT_EQ(tl.Cell(d, 0, 1, FoundVersionsModel::Size), QString::number(tl.v1.size()));
  EXPECT_EQ(tl.Cell(d, 0, 2, FoundVersionsModel::Size), QStringLiteral("2"));
  EXPECT_EQ(tl.Cell(d, 0, 2, FoundVersionsModel::FileDate), QStringLiteral("2024/03/01 09:00:00"));
  // A path row is no version: nothing to restore.
  d.Versions->setCurrentIndex(d.model->index(0, 0));
  EXPECT_FALSE(d.RestoreVersion->isEnabled());

  // The oldest version; the first answer is Cancel: nothing is written.
  tl.Choose(d, 0, 2);
  ASSERT_TRUE(d.RestoreVersion->isEnabled());
  const QString target = QStringLiteral("T:\\restore\\Drive_T\\src\\docs\\note.txt");
  t.world.env.ui.Expect(Question::RestoreVersion, Answer::Cancel, QStringLiteral("復元先 ") + target);
  QTest::mouseClick(d.RestoreVersion, Qt::LeftButton);
  EXPECT_FALSE(t.world.env.Exists(QStringLiteral("T:\\restore")));
  t.world.env.ui.Expect(Question::RestoreVersion, Answer::OK, tl.saves[0]);
  QTest::mouseClick(d.RestoreVersion, Qt::LeftButton);
  EXPECT_TRUE(t.world.env.ui.Exhausted());
  EXPECT_EQ(t.world.env.ReadFile(target), QByteArray("v0"));
  EXPECT_EQ(d.Status->text(), QStringLiteral("復元しました。\n") + target);
  // Only that path: the other file of the Level-0 run stays where it is.
  EXPECT_FALSE(t.world.env.Exists(QStringLiteral("T:\\restore\\Drive_T\\src\\other.txt")));
  EXPECT_EQ(t.world.env.ReadFile(QStringLiteral("T:\\src\\docs\\note.txt")), tl.v2);
  // The restore window still shows its own run, unmarked and not run.
  EXPECT_EQ(w.RestoreSaveName->text(), tl.saves[2]);
  EXPECT_EQ(w.listModel->rowCount(), listed);
  EXPECT_EQ(w.restore.table().ReservedCount(), 0);
  EXPECT_EQ(w.restore.table().CountMarked(RestoreFlag::Restored), 0);

  QTest::mouseClick(d.Cancel, Qt::LeftButton);
  ASSERT_TRUE(tl.Closed(w));
  EXPECT_TRUE(w.Search->isEnabled());

  // In place: the middle version replaces the newest one, and the window's run is the same.
  w.Position->setCurrentIndex(0);
  emit w.Position->activated(0);
  FindHistoryWindow& again = tl.Find(w, QStringLiteral("*\\note.txt"));
  EXPECT_EQ(again.Target->text(), QStringLiteral("復元先: 元の場所"));
  tl.Choose(again, 0, 1);
  t.world.env.ui.Expect(Question::RestoreVersion, Answer::OK, QStringLiteral("復元先 T:\\src\\docs\\note.txt"));
  QTest::mouseClick(again.RestoreVersion, Qt::LeftButton);
  EXPECT_EQ(t.world.env.ReadFile(QStringLiteral("T:\\src\\docs\\note.txt")), tl.v1);
  again.close();
  ASSERT_TRUE(tl.Closed(w));
  EXPECT_EQ(w.RestoreSaveName->text(), tl.saves[2]);
  EXPECT_FALSE(w.OK->isEnabled());
  w.close();
  ASSERT_TRUE(t.WaitClosed());
}

TEST(FindHistory, AVersionWhoseCopyIsGoneIsReportedAndNothingElseIsWritten) {
  Timeline tl;
  RestoreWindowWorld& t = tl.t;
  t.world.m().set.options.RestoreHomeDir = QStringLiteral("T:\\restore");
  FRestoreWindow& w = t.Open();
  w.Position->setCurrentIndex(1);
  emit w.Position->activated(1);
  FindHistoryWindow& d = tl.Find(w, QStringLiteral("note.txt"));
  QFile::remove(t.world.env.Host(QStringLiteral("T:\\dst\\daily\\") + tl.saves[1] + QStringLiteral("\\Drive_T\\src\\docs\\note.txt")));
  tl.Choose(d, 0, 1);
  t.world.env.ui.Expect(Question::RestoreVersion, Answer::OK);
  t.world.env.ui.Expect(Question::CannotRestore, Answer::Ignore, QStringLiteral("T:\\src\\docs\\note.txt"));
  QTest::mouseClick(d.RestoreVersion, Qt::LeftButton);
  EXPECT_TRUE(t.world.env.ui.Exhausted());
  EXPECT_TRUE(d.Status->text().startsWith(QStringLiteral("復元できませんでした。")));
  EXPECT_FALSE(t.world.env.Exists(QStringLiteral("T:\\restore\\Drive_T\\src\\docs\\note.txt")));
  d.close();
  ASSERT_TRUE(tl.Closed(w));
  w.close();
  ASSERT_TRUE(t.WaitClosed());
}

TEST(FindHistory, NothingFoundIsSaidAndAnEmptyTextOpensNothing) {
  Timeline tl;
  FRestoreWindow& w = tl.t.Open();
  FindHistoryWindow& d = tl.Find(w, QStringLiteral("no-such-file"));
  EXPECT_EQ(d.Status->text(), QStringLiteral("「*no-such-file*」は保存履歴にありませんでした。"));
  EXPECT_EQ(d.model->Paths(), 0);
  EXPECT_FALSE(d.RestoreVersion->isEnabled());
  EXPECT_EQ(d.Cancel->text(), QStringLiteral("閉じる"));
  QTest::keyClick(&d, Qt::Key_Escape);
  ASSERT_TRUE(tl.Closed(w));

  w.SearchName->setText(QStringLiteral("  "));
  QTest::mouseClick(w.FindInHistory, Qt::LeftButton);
  EXPECT_FALSE(w.findHistory);
  EXPECT_EQ(w.Status->text(), QStringLiteral("探すファイルの名前を入力してください。"));
  EXPECT_TRUE(w.FindInHistory->isEnabled());
  w.close();
  ASSERT_TRUE(tl.t.WaitClosed());
}

TEST(FindHistory, CancelStopsTheSearchButNeitherTheDialogNorTheRestoreWindow) {
  Timeline tl;
  RestoreWindowWorld& t = tl.t;
  FRestoreWindow& w = t.Open();
  int searchingYields = 0;
  t.onYield = [&](int) {
    if (w.findHistory && w.findHistory->Searching() && ++searchingYields == 2) w.findHistory->Cancel->click();
  };
  FindHistoryWindow& d = tl.Find(w, QStringLiteral("note"));
  t.onYield = nullptr;
  EXPECT_EQ(searchingYields, 2);
  EXPECT_EQ(d.Status->text(), QStringLiteral("中止されました。(1 / 3 の保存履歴を探しました)"));
  EXPECT_FALSE(t.world.m().CancelFlag);
  EXPECT_EQ(d.Cancel->text(), QStringLiteral("閉じる"));
  // Neither window took the stop for a close.
  QTest::qWait(400);
  ASSERT_TRUE(t.win);
  ASSERT_TRUE(w.findHistory);
  EXPECT_TRUE(d.isVisible());

  // Closing while a search runs: it stops, then the dialog closes.
  t.onYield = [&](int) {
    if (w.findHistory && w.findHistory->Searching()) w.findHistory->close();
  };
  d.FindVersions();
  t.onYield = nullptr;
  ASSERT_TRUE(tl.Closed(w));
  EXPECT_FALSE(t.world.m().CancelFlag);
  ASSERT_TRUE(t.win);
  w.close();
  ASSERT_TRUE(t.WaitClosed());
}

}  // namespace
}  // namespace qarno::test
