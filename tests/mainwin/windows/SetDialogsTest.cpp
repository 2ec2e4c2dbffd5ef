// SPDX-License-Identifier: GPL-3.0-or-later
// The set name, set deletion, set folder and directory dialogs over the main window.
#include "mainwin/windows/DirDialogs.h"
#include "mainwin/windows/SetDialogs.h"
#include "mainwin/windows/WindowWorld.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace qarno::test {
namespace {

const QString kRun1 = QStringLiteral("qrn20240101_1,Level-0,10,T:\\dst,,,,2024/01/01 10:00:00,00:00:01,\"\",0");

TEST(SetNameDialog, ChoosesAnExistingSetTrimmedAndCreatesANewOneOnlyWhenAgreed) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}), {kRun1});
  world.WriteSet(QStringLiteral("weekly"), PlainSet(QStringLiteral("T:\\w"), {QStringLiteral("T:\\x")}), {kRun1});
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  ScriptedPrompter& ui = world.env.ui;
  OnDialog<GetSetName>(QStringLiteral("GetSetName"), [&](GetSetName& d) {
    EXPECT_EQ(d.Text1->text(), QStringLiteral("daily"));
    EXPECT_EQ(d.List1->count(), 2);
    d.Text1->setText(QStringLiteral("  weekly  "));
    QTest::keyClick(d.Text1, Qt::Key_Return);
  });
  QTest::mouseClick(Ui(w).BSetName, Qt::LeftButton);
  EXPECT_EQ(Ui(w).SetName->text(), QStringLiteral("weekly"));
  EXPECT_TRUE(ui.messages.isEmpty());

  // A new name: Cancel leaves the dialog open and creates nothing; empty and unusable names
  // are refused; OK creates an empty set, at Level-0 (no history).
  OnDialog<GetSetName>(QStringLiteral("GetSetName"), [&](GetSetName& d) {
    d.Text1->setText(QStringLiteral("fresh"));
    ui.Expect(Question::CreateSet, Answer::Cancel, QStringLiteral("fresh\r新しいセット名です。\r作成しますか？"));
    QTest::mouseClick(d.OK, Qt::LeftButton);
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(QFileInfo::exists(world.SetFile(QStringLiteral("fresh"))));
    d.Text1->setText(QStringLiteral("   "));
    ui.Expect(Question::SetFileNameMissing, Answer::OK, QStringLiteral("セットファイル名を指定してください。"));
    QTest::mouseClick(d.OK, Qt::LeftButton);
    for (const char* bad : {"../x", "a\\b", "c:x", "con", "x.", "a|b"}) {
      d.Text1->setText(QLatin1String(bad));
      ui.Expect(Question::SetNameInvalid, Answer::OK, QStringLiteral("この名前は使えません。"));
      QTest::mouseClick(d.OK, Qt::LeftButton);
      EXPECT_TRUE(d.isVisible());
    }
    d.Text1->setText(QStringLiteral("fresh"));
    ui.Expect(Question::CreateSet, Answer::OK);
    QTest::mouseClick(d.OK, Qt::LeftButton);
  });
  world.m().set.SaveLevel = Level::Level1;
  w.SetChoice();
  EXPECT_FALSE(QFileInfo::exists(world.env.root() + QStringLiteral("/prog/x.qrn")));
  EXPECT_TRUE(QFileInfo::exists(world.SetFile(QStringLiteral("fresh"))));
  EXPECT_EQ(QFileInfo(world.SetFile(QStringLiteral("fresh"))).size(), 0);
  EXPECT_EQ(Ui(w).SetName->text(), QStringLiteral("fresh"));
  EXPECT_TRUE(Ui(w).SaveDir->text().isEmpty());
  EXPECT_EQ(Ui(w).listModel->rowCount(), 0);
  EXPECT_EQ(Ui(w).SaveLevel->currentIndex(), 0);
  EXPECT_FALSE(Ui(w).BackUp->isEnabled());
  EXPECT_TRUE(ui.Exhausted());
}

TEST(SetNameDialog, SaveAsAsksBeforeOverwritingAndDropsAChangedHistoryOnlyWhenAgreed) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}), {kRun1});
  world.WriteSet(QStringLiteral("old"), PlainSet(QStringLiteral("T:\\old"), {QStringLiteral("T:\\gone")}));
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  ScriptedPrompter& ui = world.env.ui;
  world.m().HistoryModified = true;
  ui.Expect(Question::DiscardChangedHistory, Answer::No, QStringLiteral("（daily）の保存履歴は変更されています。\r破棄しますか？"));
  Ui(w).FileSaveAs->trigger();  // No: nothing happens

  ui.Expect(Question::DiscardChangedHistory, Answer::Yes);
  OnDialog<GetSetName>(QStringLiteral("GetSetName"), [&](GetSetName& d) {
    d.Text1->setText(QStringLiteral("old"));
    ui.Expect(Question::OverwriteSet, Answer::No, QStringLiteral("old\rすでにあります。\r上書きしますか？"));
    QTest::mouseClick(d.OK, Qt::LeftButton);
    EXPECT_TRUE(d.isVisible());
    ui.Expect(Question::OverwriteSet, Answer::Yes);
    QTest::mouseClick(d.OK, Qt::LeftButton);
  });
  Ui(w).FileSaveAs->trigger();
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Qarno  old"));
  QFile f(world.SetFile(QStringLiteral("old")));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray written = f.readAll();
  EXPECT_TRUE(written.contains("dir=T:\\dst\r\n"));
  EXPECT_TRUE(written.contains("T:\\src\r\n"));
  EXPECT_FALSE(written.contains("T:\\gone"));
  EXPECT_EQ(Ui(w).hisModel->rowCount(), 0);  // the history is not copied
  EXPECT_TRUE(QFileInfo::exists(world.SetFile(QStringLiteral("daily"))));
  EXPECT_TRUE(ui.Exhausted());
}

TEST(SetDeletion, DeletingTheCurrentSetEmptiesTheWindowAndNothingIsWrittenBack) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}), {kRun1});
  world.WriteSet(QStringLiteral("other"), PlainSet(QStringLiteral("T:\\o"), {}));
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  ScriptedPrompter& ui = world.env.ui;
  world.m().SetModified = true;
  world.m().HistoryModified = true;
  OnDialog<FDelSetName>(QStringLiteral("FDelSetName"), [&](FDelSetName& d) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Qarno  セット名の削除"));
    // Another set first: the window is untouched, the name leaves the list.
    QTest::mouseClick(d.List1->viewport(), Qt::LeftButton, {}, d.List1->visualItemRect(d.List1->item(1)).center());
    EXPECT_EQ(d.Text1->text(), QStringLiteral("other"));
    ui.Expect(Question::DeleteSet, Answer::OK,
              QStringLiteral("セット名： other\r本当に削除しますか？\r\r(保存履歴は削除されますが、保存データは削除されません！）"));
    QTest::mouseClick(d.Remove, Qt::LeftButton);
    EXPECT_EQ(d.List1->count(), 1);
    EXPECT_EQ(Ui(w).SetName->text(), QStringLiteral("daily"));
    d.Text1->setText(QStringLiteral("daily"));
    ui.Expect(Question::DeleteSet, Answer::Cancel);
    QTest::keyClick(d.Text1, Qt::Key_Return);
    EXPECT_TRUE(QFileInfo::exists(world.SetFile(QStringLiteral("daily"))));
    ui.Expect(Question::DeleteSet, Answer::OK);
    QTest::mouseClick(d.Remove, Qt::LeftButton);
    EXPECT_EQ(d.List1->count(), 0);
    d.Text1->clear();
    ui.Expect(Question::NoSetName, Answer::OK);
    QTest::mouseClick(d.Remove, Qt::LeftButton);
    QTest::mouseClick(d.Cancel, Qt::LeftButton);
  });
  Ui(w).EditSetNameDelete->trigger();
  EXPECT_FALSE(QFileInfo::exists(world.SetFile(QStringLiteral("daily"))));
  EXPECT_FALSE(QFileInfo::exists(world.env.root() + QStringLiteral("/prog/SetDir/daily.qrl")));
  EXPECT_TRUE(Ui(w).SetName->text().isEmpty());
  EXPECT_TRUE(Ui(w).SaveDir->text().isEmpty());
  EXPECT_EQ(Ui(w).listModel->rowCount(), 0);
  EXPECT_EQ(Ui(w).hisModel->rowCount(), 0);
  EXPECT_FALSE(world.m().SetModified);
  EXPECT_FALSE(world.m().HistoryModified);
  EXPECT_FALSE(Ui(w).BackUp->isEnabled());
  QTest::mouseClick(Ui(w).BExit, Qt::LeftButton);
  EXPECT_TRUE(w.exited);
  EXPECT_TRUE(QDir(world.env.root() + QStringLiteral("/prog/SetDir")).entryList(QDir::Files).isEmpty());
  EXPECT_TRUE(ui.Exhausted());
}

TEST(SetFolderDialog, RefusesUnusableNamesAndMovesToANewFolder) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}));
  world.env.MakeDir(QStringLiteral("T:\\prog\\Empty"));
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  ScriptedPrompter& ui = world.env.ui;

  // An unchanged name changes nothing.
  OnDialog<FSetDir>(QStringLiteral("FSetDir"), [&](FSetDir& d) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Qarno セットフォルダーの選択"));
    EXPECT_EQ(d.TSetDir->text(), QStringLiteral("SetDir"));
    EXPECT_EQ(d.LSetName->count(), 1);
    const auto empty = d.LSetDir->findItems(QStringLiteral("Empty"), Qt::MatchExactly);
    ASSERT_EQ(empty.size(), 1);
    QTest::mouseClick(d.LSetDir->viewport(), Qt::LeftButton, {}, d.LSetDir->visualItemRect(empty[0]).center());
    EXPECT_EQ(d.LSetName->count(), 0);
    d.TSetDir->setText(QStringLiteral("SetDir"));
    QTest::mouseClick(d.OK, Qt::LeftButton);
  });
  Ui(w).OptionSetDir->trigger();
  EXPECT_EQ(Ui(w).SetName->text(), QStringLiteral("daily"));

  OnDialog<FSetDir>(QStringLiteral("FSetDir"), [&](FSetDir& d) {
    for (const char* bad : {"", "..", "a/b", "x:y", "sets "}) {
      d.TSetDir->setText(QLatin1String(bad));
      ui.Expect(*bad ? Question::SetFolderNameInvalid : Question::SetFolderNameMissing, Answer::OK);
      QTest::keyClick(d.TSetDir, Qt::Key_Return);
      EXPECT_TRUE(d.isVisible()) << bad;
    }
    d.TSetDir->setText(QStringLiteral("Sets2"));
    QTest::mouseClick(d.OK, Qt::LeftButton);
  });
  // Then the set choice follows, in the new, empty folder.
  OnDialog<GetSetName>(QStringLiteral("GetSetName"), [&](GetSetName& d) {
    EXPECT_EQ(d.List1->count(), 0);
    EXPECT_TRUE(d.Text1->text().isEmpty());
    QTest::mouseClick(d.Cancel, Qt::LeftButton);
  });
  Ui(w).OptionSetDir->trigger();
  EXPECT_TRUE(QFileInfo(world.env.root() + QStringLiteral("/prog/Sets2")).isDir());
  EXPECT_EQ(world.m().SetFolder, QStringLiteral("T:\\prog\\Sets2"));
  EXPECT_TRUE(Ui(w).SetName->text().isEmpty());
  EXPECT_EQ(Ui(w).listModel->rowCount(), 0);
  EXPECT_TRUE(ui.Exhausted());
}

TEST(DirectoryDialog, OkTakesTheDirectoryCancelKeepsTheDestination) {
  WindowWorld world;
  world.env.MakeDir(QStringLiteral("T:\\dst\\deeper"));
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}));
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  OnDialog<GetSaveDir>(QStringLiteral("GetSaveDir"), [&](GetSaveDir& d) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Qarno  daily  保存先ディレクトリの選択"));
    EXPECT_EQ(d.Dir1->path(), QStringLiteral("T:\\dst"));
    d.Text1->setText(QStringLiteral("T:\\typed"));
    QTest::mouseClick(d.Cancel, Qt::LeftButton);
  });
  QTest::mouseClick(Ui(w).BSaveDir, Qt::LeftButton);
  EXPECT_EQ(Ui(w).SaveDir->text(), QStringLiteral("T:\\dst"));
  EXPECT_EQ(world.m().set.SaveDir, QStringLiteral("T:\\dst"));
  EXPECT_FALSE(world.m().SetModified);

  OnDialog<GetSaveDir>(QStringLiteral("GetSaveDir"), [&](GetSaveDir& d) {
    d.Text1->clear();
    world.env.ui.Expect(Question::NoDirectoryName, Answer::OK, QStringLiteral("ディレクトリ名を指定してください。"));
    QTest::mouseClick(d.OK, Qt::LeftButton);
    // A click in the directory list puts that directory's path in the text.
    QTreeWidgetItem* deeper = d.Dir1->findItems(QStringLiteral("deeper"), Qt::MatchExactly | Qt::MatchRecursive).value(0);
    ASSERT_NE(deeper, nullptr);
    QTest::mouseClick(d.Dir1->viewport(), Qt::LeftButton, {}, d.Dir1->visualItemRect(deeper).center());
    EXPECT_EQ(d.Text1->text(), QStringLiteral("T:\\dst\\deeper"));
    QTest::keyClick(d.Text1, Qt::Key_Return);
  });
  QTest::mouseClick(Ui(w).BSaveDir, Qt::LeftButton);
  EXPECT_EQ(Ui(w).SaveDir->text(), QStringLiteral("T:\\dst\\deeper"));
  EXPECT_TRUE(world.m().SetModified);
  EXPECT_TRUE(world.env.ui.Exhausted());
}

TEST(DirectoryDialog, AMovedDialogReopensThereAfterARestartAtTheSizeOfTheStart) {
  WindowWorld world;
  world.MapDrive(u'A', world.env.root() + QStringLiteral("/no-floppy"));
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}));
  world.env.MakeDir(QStringLiteral("T:\\dst"));
  world.Start(QStringLiteral("daily"));
  QPoint centred;
  QSize first;
  OnDialog<GetSaveDir>(QStringLiteral("GetSaveDir"), [&](GetSaveDir& d) {
    // First opening: centred over the main window, 4500 × 4000 twips (wider where the drive
    // box needs it for its drive's name).
    first = d.size();
    EXPECT_GE(d.width(), Px(&d, 4500));
    EXPECT_EQ(d.height(), Px(&d, 4000));
    centred = d.pos() - world.w->frameGeometry().topLeft();
    EXPECT_NEAR(centred.x(), (world.w->frameGeometry().width() - d.width()) / 2, 1);
    // The floppy without a disk: the message, the directory list stays.
    const int a = d.Drive1->findText(QStringLiteral("a:"));
    ASSERT_GE(a, 0);
    world.env.ui.Expect(Question::SaveDirDriveNotReady, Answer::OK,
                        QStringLiteral("ドライブの準備ができていません。\rしばらくしてから再試行してください。"));
    d.Drive1->setCurrentIndex(a);
    emit d.Drive1->activated(a);
    EXPECT_EQ(d.Dir1->path(), QStringLiteral("T:\\dst"));
    d.move(d.pos() + QPoint(Px(&d, 300), 0));
    d.resize(Px(&d, 6000), Px(&d, 5000));
    QTest::mouseClick(d.OK, Qt::LeftButton);
  });
  QTest::mouseClick(Ui(*world.w).BSaveDir, Qt::LeftButton);
  world.Restart(QStringLiteral("daily"));
  OnDialog<GetSaveDir>(QStringLiteral("GetSaveDir"), [&](GetSaveDir& d) {
    const QPoint offset = d.pos() - world.w->frameGeometry().topLeft();
    EXPECT_NEAR(offset.x(), centred.x() + Px(&d, 300), 1);
    EXPECT_NEAR(offset.y(), centred.y(), 1);
    EXPECT_EQ(d.size(), first);
    QTest::mouseClick(d.Cancel, Qt::LeftButton);
  });
  QTest::mouseClick(Ui(*world.w).BSaveDir, Qt::LeftButton);
  QSettings store(SettingsStorePath(), QSettings::IniFormat);
  EXPECT_FALSE(store.contains(QStringLiteral("Startup Setting/SaveDirWidth")));
}

TEST(DirectoryDialog, ModeOneServesTheRestoreWindow) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}));
  world.env.MakeDir(QStringLiteral("T:\\restore"));
  world.Start(QStringLiteral("daily"));
  GetSaveDir d(world.m(), world.program->fs->drives(), world.w.get(), 1, QStringLiteral("Qarno  daily  復元"),
               QStringLiteral("T:\\restore"));
  EXPECT_EQ(d.windowTitle(), QStringLiteral("Qarno  daily  復元  復元先ディレクトリの選択"));
  EXPECT_EQ(d.Dir1->path(), QStringLiteral("T:\\restore"));
  d.Text1->setText(QStringLiteral("T:\\elsewhere"));
  d.OK_Click();
  EXPECT_EQ(d.chosen, QStringLiteral("T:\\elsewhere"));
  EXPECT_EQ(world.m().set.SaveDir, QStringLiteral("T:\\dst"));  // the caller stores it
  EXPECT_FALSE(world.m().SetModified);
}

TEST(DialogState, MinimisingADialogMinimisesTheMainWindowAndBack) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}));
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  OnDialog<GetSetName>(QStringLiteral("GetSetName"), [&](GetSetName& d) {
    d.setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(w.windowState() & Qt::WindowMinimized);
    w.setWindowState(Qt::WindowNoState);
    EXPECT_FALSE(d.windowState() & Qt::WindowMinimized);
    QTest::mouseClick(d.Cancel, Qt::LeftButton);
  });
  QTest::mouseClick(Ui(w).BSetName, Qt::LeftButton);
}

}  // namespace
}  // namespace qarno::test
