// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: start-up, the enabling rules, the hand-over to the other windows, the
// commands of the menus, the exit and the automatic run.
#include "mainwin/windows/SetDialogs.h"
#include "mainwin/windows/WindowWorld.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace qarno::test {
namespace {

const QString kRun1 = QStringLiteral("qrn20240101_1,Level-0,10,T:\\dst,,,,2024/01/01 10:00:00,00:00:01,\"\",0");
const QString kRun2 = QStringLiteral("qrn20240102_1,Level-1,5,T:\\dst,,,,2024/01/02 10:00:00,00:00:01,\"\",0");

TEST(MainWindow, StartUpShowsTheSetAndAppliesTheCommandLineAgainAfterTheSetFile) {
  WindowWorld world;
  // Stored at Level-0 with history: loading makes it Level-2, the command line's /l1 wins.
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}, 0),
                 {kRun2, kRun1});
  world.Start(QStringLiteral("daily /l1"));
  QarnoWindow& w = *world.w;
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Qarno  daily"));
  EXPECT_EQ(Ui(w).SetName->text(), QStringLiteral("daily"));
  EXPECT_EQ(Ui(w).SaveDir->text(), QStringLiteral("T:\\dst"));
  EXPECT_EQ(Ui(w).SaveLevel->currentIndex(), 1);
  EXPECT_EQ(Ui(w).SaveLevel->count(), 5);
  EXPECT_EQ(Ui(w).SaveLevel->itemText(3), QStringLiteral("上書き   （ 追加/変更分だけ上書きする ）"));
  EXPECT_FALSE(world.m().SetModified);
  EXPECT_EQ(Ui(w).hisModel->rowCount(), 2);
  EXPECT_EQ(Ui(w).hisModel->data(Ui(w).hisModel->index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("qrn20240102_1"));
  EXPECT_EQ(Ui(w).hisModel->headerData(6, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("サイズ(KB)"));
  EXPECT_EQ(Ui(w).listModel->rowCount(), 1);
  EXPECT_TRUE(Ui(w).BackUp->isEnabled());
  // The newest run is highlighted for the menus, but restoring waits for the user's pick.
  EXPECT_EQ(w.SelectedHistoryRow(), 1);
  EXPECT_FALSE(Ui(w).Restore->isEnabled());
  PickHistoryRow(w, 2);
  EXPECT_TRUE(Ui(w).Restore->isEnabled());
  EXPECT_EQ(w.SelectedHistoryRow(), 2);
  EXPECT_EQ(Ui(w).BExit->toolTip(), QStringLiteral("プログラムを終了します"));
  EXPECT_EQ(Ui(w).FileMenu->title(), QStringLiteral("保存セット(&B)"));
  for (const char* name : {"FSetName", "SetName", "BSetName", "FSaveDir", "SaveDir", "BSaveDir", "FSaveLevel",
                           "SaveLevel", "SFrame", "SLabel", "SList", "Apend", "Remove", "Modify", "Change",
                           "FHistory", "HisTable", "BackUp", "Restore", "BExit", "Timer1", "Line1", "EditMenu",
                           "HelpMenu", "OptionMenu", "SetNameMenu", "HisTableMenu"})
    EXPECT_NE(world.w->findChild<QObject*>(QLatin1String(name)), nullptr) << name;
  // The left column is 3700 twips wide (wider where the level box needs it), the window no
  // smaller than 5900 × 6400 twips.
  EXPECT_GE(Ui(w).FSetName->width(), Px(&w, 3700));
  EXPECT_EQ(Ui(w).FSetName->width(), Ui(w).SFrame->width());
  w.resize(10, 10);
  EXPECT_GE(w.width(), Px(&w, 5900) - 20);
}

TEST(MainWindow, BackupNeedsANameADestinationAndASaveListEntry) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"), PlainSet(QString(), {}));
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  EXPECT_FALSE(Ui(w).BackUp->isEnabled());  // neither destination nor entries
  EXPECT_FALSE(Ui(w).Restore->isEnabled());  // no history
  EXPECT_EQ(Ui(w).SaveLevel->currentIndex(), 0);  // no history: Level-0
  QTest::keyClicks(Ui(w).SaveDir, QStringLiteral("T:\\dst"));
  EXPECT_TRUE(world.m().SetModified);
  EXPECT_FALSE(Ui(w).BackUp->isEnabled());  // still no entry
  world.m().set.SaveList = {QStringLiteral("T:\\src")};
  w.SListDisp();
  EXPECT_TRUE(Ui(w).BackUp->isEnabled());
  Ui(w).SaveDir->clear();
  QTest::keyClicks(Ui(w).SaveDir, QStringLiteral(" "));
  QTest::keyClick(Ui(w).SaveDir, Qt::Key_Backspace);
  EXPECT_FALSE(Ui(w).BackUp->isEnabled());
}

TEST(MainWindow, LockedWhileADialogIsOpenAndRestoredAfter) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}), {kRun1});
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  PickHistoryRow(w, 1);
  bool checked = false;
  OnDialog<GetSetName>(QStringLiteral("GetSetName"), [&](GetSetName& d) {
    EXPECT_EQ(world.m().OpenDialogKind, DialogKind::SetName);
    for (QWidget* c : {static_cast<QWidget*>(Ui(w).BSetName), static_cast<QWidget*>(Ui(w).BSaveDir),
                       static_cast<QWidget*>(Ui(w).SaveLevel), static_cast<QWidget*>(Ui(w).Apend),
                       static_cast<QWidget*>(Ui(w).Remove), static_cast<QWidget*>(Ui(w).Change),
                       static_cast<QWidget*>(Ui(w).BackUp), static_cast<QWidget*>(Ui(w).Restore),
                       static_cast<QWidget*>(Ui(w).BExit), static_cast<QWidget*>(Ui(w).SList),
                       static_cast<QWidget*>(Ui(w).HisTable)})
      EXPECT_FALSE(c->isEnabled()) << c->objectName().toStdString();
    for (QMenu* menu : {Ui(w).FileMenu, Ui(w).OptionMenu, Ui(w).EditMenu, Ui(w).HelpMenu}) EXPECT_FALSE(menu->menuAction()->isEnabled());
    EXPECT_TRUE(Ui(w).Modify->isEnabled());  // not among the locked controls
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Qarno  セット名の選択"));
    checked = true;
    QTest::mouseClick(d.Cancel, Qt::LeftButton);
  });
  QTest::mouseClick(Ui(w).BSetName, Qt::LeftButton);
  EXPECT_TRUE(checked);
  EXPECT_EQ(world.m().OpenDialogKind, DialogKind::None);
  EXPECT_TRUE(Ui(w).BackUp->isEnabled());
  EXPECT_FALSE(Ui(w).Restore->isEnabled());  // the set was read again: its runs are picked anew
  EXPECT_TRUE(Ui(w).FileMenu->menuAction()->isEnabled());
  EXPECT_TRUE(Ui(w).SList->isEnabled());
}

TEST(MainWindow, TheSaveQuestionBeforeAnotherSetYesNoAndCancel) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}));
  world.WriteSet(QStringLiteral("other"), PlainSet(QStringLiteral("T:\\o"), {QStringLiteral("T:\\x")}));
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  ScriptedPrompter& ui = world.env.ui;

  // Cancel: nothing happens, no dialog.
  world.m().set.SaveDir = QStringLiteral("T:\\changed");
  world.m().SetModified = true;
  ui.Expect(Question::SaveChangedSet, Answer::Cancel, QStringLiteral("（daily）は変更されています。\r保存しますか？"));
  w.SetChoice();
  EXPECT_TRUE(world.m().SetModified);
  EXPECT_EQ(world.m().set.Name, QStringLiteral("daily"));

  // No: the discarded message, then the dialog; choosing "other" loads it, daily unchanged.
  ui.Expect(Question::SaveChangedSet, Answer::No);
  ui.Expect(Question::ChangesDiscarded, Answer::OK, QStringLiteral("（daily）の変更は破棄されました。"));
  OnDialog<GetSetName>(QStringLiteral("GetSetName"), [](GetSetName& d) {
    d.Text1->setText(QStringLiteral("other"));
    QTest::mouseClick(d.OK, Qt::LeftButton);
  });
  w.SetChoice();
  EXPECT_EQ(Ui(w).SetName->text(), QStringLiteral("other"));
  EXPECT_EQ(Ui(w).SaveDir->text(), QStringLiteral("T:\\o"));
  EXPECT_FALSE(QFile(world.SetFile(QStringLiteral("daily"))).readAll().contains("changed"));

  // Yes: written first, then the dialog (cancelled: the same set is read again).
  world.m().set.SaveDir = QStringLiteral("T:\\kept");
  world.m().SetModified = true;
  ui.Expect(Question::SaveChangedSet, Answer::Yes);
  OnDialog<GetSetName>(QStringLiteral("GetSetName"), [](GetSetName& d) { QTest::mouseClick(d.Cancel, Qt::LeftButton); });
  w.SetChoice();
  QFile f(world.SetFile(QStringLiteral("other")));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.readAll().contains("dir=T:\\kept"));
  EXPECT_EQ(Ui(w).SaveDir->text(), QStringLiteral("T:\\kept"));
  EXPECT_TRUE(ui.Exhausted());
}

TEST(MainWindow, HandsOverToTheRunRestoreAndMaintenanceWindowsAndTakesBack) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}),
                 {kRun2, kRun1});
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  world.m().SetModified = true;
  QTest::mouseClick(Ui(w).BackUp, Qt::LeftButton);
  EXPECT_FALSE(world.m().SetModified);  // written before the run window opens
  EXPECT_FALSE(w.isVisible());          // hidden while the run window is open
  EXPECT_FALSE(Ui(w).BSetName->isEnabled());
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.isVisible(); }));
  EXPECT_TRUE(Ui(w).BSetName->isEnabled());
  EXPECT_EQ(world.m().OpenDialogKind, DialogKind::None);

  EXPECT_FALSE(Ui(w).Restore->isEnabled());  // no row picked yet
  Ui(w).HisTable->setFocus();
  QTest::keyClick(Ui(w).HisTable, Qt::Key_Space);  // the highlighted newest run, picked by key
  EXPECT_TRUE(Ui(w).Restore->isEnabled());
  QTest::mouseClick(Ui(w).Restore, Qt::LeftButton);
  EXPECT_TRUE(world.m().SetModified);  // the restore window may change the restore options
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.isVisible(); }));

  // The history commands work on every row, the last one included.
  Ui(w).HisTable->selectRow(1);
  Ui(w).EditHistoryEdit->trigger();
  DoubleClick(Ui(w).HisTable->viewport(), Ui(w).HisTable->visualRect(Ui(w).hisModel->index(1, 0)).center());
  Ui(w).EditHistoryDisp->trigger();
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.isVisible(); }));
  world.children.onDelHisData = [](QarnoWindow& main) {
    main.main.HisTable.RemoveRow(1);
    main.main.HisTable.RemoveRow(1);
    main.m.HistoryModified = true;
  };
  world.m().set.SaveLevel = Level::Level2;
  Ui(w).EditHistoryDelete->trigger();
  EXPECT_EQ(world.m().set.SaveLevel, Level::Level0);  // no history left: Level-0
  EXPECT_EQ(Ui(w).SaveLevel->currentIndex(), 0);
  EXPECT_FALSE(Ui(w).Restore->isEnabled());
  Ui(w).EditHistoryDisp->trigger();  // no rows: nothing happens
  world.children.settingChanged = true;
  Ui(w).OptionSetting->trigger();
  Ui(w).OptionNoCompType->trigger();
  EXPECT_EQ(world.children.calls,
            (QStringList{QStringLiteral("FSaveExec 1 kind 4"), QStringLiteral("FRestore kind 5"),
                         QStringLiteral("FEditHisData row 2 kind 11"), QStringLiteral("FEditHisData row 2 kind 11"),
                         QStringLiteral("FSaveExec 2 kind 4"), QStringLiteral("FDelHisData kind 9"),
                         QStringLiteral("FSetting kind 6"), QStringLiteral("FNoCompType")}));
  EXPECT_TRUE(world.m().SetModified);
}

TEST(MainWindow, RunAndRestoreNeedASetName) {
  WindowWorld world;
  OnDialog<GetSetName>(QStringLiteral("GetSetName"), [](GetSetName& d) { QTest::mouseClick(d.Cancel, Qt::LeftButton); });
  world.Start();  // no set named: the set name dialog opens at start
  QarnoWindow& w = *world.w;
  EXPECT_TRUE(Ui(w).SetName->text().isEmpty());
  world.env.ui.Expect(Question::NoSetName, Answer::OK, QStringLiteral("セット名を指定してください。"));
  w.BackUp_Click();
  world.env.ui.Expect(Question::NoSetName, Answer::OK);
  w.Restore_Click();
  EXPECT_TRUE(world.children.calls.isEmpty());
}

TEST(MainWindow, SetNameMenuListsTheSetsAndLoadsOneWithoutAsking) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}));
  world.WriteSet(QStringLiteral("b-weekly"), PlainSet(QStringLiteral("T:\\w"), {QStringLiteral("T:\\x")}));
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  world.m().set.SaveDir = QStringLiteral("T:\\written");
  world.m().SetModified = true;
  RightClick(Ui(w).SetName);
  EXPECT_FALSE(world.m().SetModified);  // written before the menu opens
  ASSERT_TRUE(QTest::qWaitFor([&] { return Ui(w).SetNameMenu->isVisible(); }));
  QStringList names;
  for (QAction* a : Ui(w).SetNameSelect->actions()) names += a->text();
  EXPECT_EQ(names, (QStringList{QStringLiteral("b-weekly"), QStringLiteral("daily")}));
  Ui(w).SetNameSelect->actions().first()->trigger();
  Ui(w).SetNameMenu->hide();
  EXPECT_EQ(Ui(w).SetName->text(), QStringLiteral("b-weekly"));
  EXPECT_EQ(Ui(w).SaveDir->text(), QStringLiteral("T:\\w"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return Ui(w).SetNameSelect->isEmpty(); }));

  // The history menu opens only over a history with rows.
  RightClick(Ui(w).HisTable->viewport());
  EXPECT_FALSE(Ui(w).HisTableMenu->isVisible());
}

TEST(MainWindow, VersionHelpAndArchiverCommands) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}));
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  world.env.ui.Expect(Question::ProgramVersionInfo, Answer::OK, QStringLiteral("Qarno Version ") + world.m().ProgramVersion);
  Ui(w).HelpVersion->trigger();
  EXPECT_EQ(world.env.ui.Shown(Question::ProgramVersionInfo).value(0).icon, Icon::Information);
  QUrl opened;
  w.openUrl = [&](const QUrl& url) {
    opened = url;
    return true;
  };
  Ui(w).HelpHelp->trigger();
  EXPECT_TRUE(opened.toLocalFile().endsWith(QStringLiteral("share/qarno/guide/index.html")))
      << opened.toString().toStdString();
  w.openUrl = [](const QUrl&) { return false; };
  world.env.ui.Expect(Question::HelpMissing, Answer::OK);
  Ui(w).HelpHelp->trigger();
  // The archiver is built beside the tests: its version as n.nn.
  world.env.ui.Expect(Question::ArchiverVersionInfo, Answer::OK, QStringLiteral("UNLHA32 バージョン情報\r    Version "));
  world.env.ui.AnswerAll(Question::ArchiverMissing, Answer::OK);
  Ui(w).HelpUnLhaVersion->trigger();
}

TEST(MainWindow, ExitSavesWhatChangedAndAFailedSaveKeepsTheProgramOpen) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}));
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  world.m().set.SaveDir = QStringLiteral("T:\\new");
  world.m().SetModified = true;
  // The set file cannot be replaced: a folder stands in its place.
  const QString setFile = world.SetFile(QStringLiteral("daily"));
  QFile::rename(setFile, setFile + QStringLiteral(".bak"));
  QDir().mkpath(setFile + QStringLiteral("/blocker"));
  world.env.ui.Expect(Question::SetFileNotSaved, Answer::OK, QStringLiteral("保存できませんでした"));
  QTest::mouseClick(Ui(w).BExit, Qt::LeftButton);
  EXPECT_FALSE(w.exited);
  EXPECT_TRUE(world.m().SetModified);
  // Closing by the frame runs the same save, and stays open as well.
  world.env.ui.Expect(Question::SetFileNotSaved, Answer::OK);
  EXPECT_FALSE(w.close());
  QDir(setFile).removeRecursively();
  w.move(Px(&w, 300), Px(&w, 600));
  QTest::mouseClick(Ui(w).BExit, Qt::LeftButton);
  EXPECT_TRUE(w.exited);
  QFile f(setFile);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.readAll().contains("dir=T:\\new"));
  // The settings keep the set shown and the window's place, in twips.
  QSettings store(SettingsStorePath(), QSettings::IniFormat);
  EXPECT_EQ(store.value(QStringLiteral("Startup Setting/ResentFile")).toString(), QStringLiteral("daily"));
  EXPECT_NEAR(store.value(QStringLiteral("Startup Setting/Left")).toDouble(), 300, 20);
}

TEST(MainWindow, AnAutomaticRunStartsItselfAndTheProgramEndsHalfASecondAfter) {
  WindowWorld world;
  world.env.WriteFile(QStringLiteral("T:\\src\\a.txt"), "hello");
  world.env.MakeDir(QStringLiteral("T:\\dst"));
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}));
  world.children.runForReal = true;
  world.Start(QStringLiteral("daily /B1 /L0"));
  QarnoWindow& w = *world.w;
  EXPECT_EQ(world.children.calls.value(0), QStringLiteral("FSaveExec 1 kind 4"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return world.m().OpenDialogKind == DialogKind::None; }, 20000));
  // The main window's 500 ms timer ends the program at one of its next ticks (how soon is
  // not timed here: a loaded test machine may be slow).
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.exited; }, 3000));
  EXPECT_EQ(w.exitStatus, 0);
  EXPECT_EQ(world.m().AutoRunMode.mode, -1);
  EXPECT_TRUE(QFileInfo::exists(world.env.root() + QStringLiteral("/prog/SetDir/daily.qrl")));
  EXPECT_EQ(Ui(w).hisModel->rowCount(), 1);
  // An automatic run does not write the settings.
  QSettings store(SettingsStorePath(), QSettings::IniFormat);
  EXPECT_FALSE(store.contains(QStringLiteral("Startup Setting/ResentFile")));
}

TEST(MainWindow, ShutdownAfterTheRunIsAskedAndARefusalKeepsTheProgramOpen) {
  WindowWorld world;
  world.env.WriteFile(QStringLiteral("T:\\src\\a.txt"), "hello");
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}));
  world.children.shutdownAgreed = false;
  world.Start(QStringLiteral("daily /S"));  // /S alone: a run and the end after it
  QarnoWindow& w = *world.w;
  ASSERT_TRUE(QTest::qWaitFor([&] { return world.children.calls.contains(QStringLiteral("FShutdown")); }, 3000));
  QTest::qWait(700);
  EXPECT_FALSE(w.exited);
  EXPECT_EQ(world.m().AutoRunMode.mode, -1);  // no further automatic exit
  EXPECT_EQ(world.children.calls.count(QStringLiteral("FShutdown")), 1);
}

TEST(MainWindow, FiveThousandRunsAndEntriesShowAtOnce) {
  WindowWorld world;
  QStringList entries, history;
  for (int i = 0; i < 5000; ++i) {
    entries += QStringLiteral("T:\\data\\folder%1").arg(i, 4, 10, QLatin1Char('0'));
    history += QStringLiteral("qrn2024%1_1,Level-1,5,T:\\dst,,,,2024/01/02 10:00:00,00:00:01,\"c\",0")
                   .arg(i, 5, 10, QLatin1Char('0'));
  }
  world.WriteSet(QStringLiteral("big"), PlainSet(QStringLiteral("T:\\dst"), entries), history);
  world.Start(QStringLiteral("big"));
  QarnoWindow& w = *world.w;
  EXPECT_EQ(Ui(w).listModel->rowCount(), 5000);
  EXPECT_EQ(Ui(w).hisModel->rowCount(), 5000);
  w.ShowSet();
  for (int i = 0; i < 50; ++i) {
    Ui(w).SList->verticalScrollBar()->setValue(i * 100);
    Ui(w).HisTable->verticalScrollBar()->setValue(i * 100);
    QApplication::processEvents();
  }
  // Showing the set again keeps every row (how fast is bench/windows' business).
  w.ShowSet();
  QApplication::processEvents();
  EXPECT_EQ(Ui(w).listModel->rowCount(), 5000);
  EXPECT_EQ(Ui(w).hisModel->rowCount(), 5000);
}

}  // namespace
}  // namespace qarno::test
