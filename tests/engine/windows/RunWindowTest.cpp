// SPDX-License-Identifier: GPL-3.0-or-later
// The backup run window over the main window: a run from the main window's BackUp to the
// closed window, Cancel during the copy, the result list's selector, the recorded-run view,
// and an automatic run from the command line.
#include "engine/windows/RunWindow.h"
#include "mainwin/windows/WindowWorld.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScopeGuard>
#include <QRegularExpression>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <gtest/gtest.h>

namespace qarno::test {
namespace {

const QString kSave = QStringLiteral("qrn20240101_1");

// The world of a run window test: the main window on set "daily" (T:\src to T:\dst), the run
// window opened for real, and the yields of long loops turning the event loop as the
// desktop's prompter does.
struct RunWorld {
  WindowWorld world;
  std::function<void()> atYield;

  RunWorld() {
    world.children.runForReal = true;
    world.env.ui.onYield = [this](int) {
      if (atYield) atYield();
      QApplication::processEvents();
    };
    world.env.MakeDir(QStringLiteral("T:\\dst"));
  }
  void Files(int n, int bytes = 64) {
    for (int i = 0; i < n; ++i)
      world.env.WriteFile(QStringLiteral("T:\\src\\f%1.txt").arg(i, 4, 10, QLatin1Char('0')), QByteArray(bytes, 'x'));
  }
  void Start(int level = 0, const QStringList& history = {}, const QString& commandLine = QStringLiteral("daily")) {
    world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}, level),
                   history);
    world.Start(commandLine);
  }
  SaveExecWindow* Window() const { return qobject_cast<SaveExecWindow*>(world.w->OpenChild()); }
  // Waits until the run window has closed and the main window took over again.
  bool WaitClosed(int ms = 3000) {
    return QTest::qWaitFor([&] { return world.m().OpenDialogKind == DialogKind::None && world.w->isVisible(); }, ms);
  }
  QStringList ShownFlags(SaveExecWindow& r) const {
    QStringList flags;
    for (int i = 0; i < r.selSaveListModel->rowCount(); ++i)
      flags += r.selSaveListModel->index(i, SaveListEntry::Flag).data().toString();
    return flags;
  }
};

TEST(RunWindow, Level0FromTheMainWindowToTheClosedWindow) {
  RunWorld t;
  t.world.env.WriteFile(QStringLiteral("T:\\src\\a.txt"), "hello");
  t.world.env.WriteFile(QStringLiteral("T:\\src\\sub\\b.txt"), QByteArray(3000, 'b'));
  t.Start();
  QarnoWindow& w = *t.world.w;
  Module1& m = t.world.m();
  w.setGeometry(QRect(40, 50, 720, 560));
  const QRect before = w.geometry();

  QTest::mouseClick(Ui(w).BackUp, Qt::LeftButton);
  QPointer<SaveExecWindow> r = t.Window();
  ASSERT_TRUE(r);
  // Opened in place of the main window, before the run has started.
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(r->isVisible());
  EXPECT_EQ(r->geometry(), before);
  EXPECT_EQ(r->windowTitle(), m.MainCaption + QStringLiteral("  保存実行"));
  EXPECT_EQ(r->Cancel->text(), QStringLiteral("中止"));
  EXPECT_EQ(r->Cancel->toolTip(), QStringLiteral("バックアップを中断して、このダイアログ･ボックスを閉じます"));
  EXPECT_EQ(r->ListSel->toolTip(), QStringLiteral("セーブリストに表示する内容を選択します"));
  EXPECT_FALSE(r->ListInfo->isVisible());
  EXPECT_FALSE(r->SelSaveList->isVisible());
  EXPECT_FALSE(r->SaveList->isVisible());
  EXPECT_TRUE(r->AutoSave->isActive());
  EXPECT_EQ(m.OpenDialogKind, DialogKind::SaveExec);
  EXPECT_EQ(m.ExecMode, SaveExecMode::Run);

  // The run starts by itself and ends with the result: what this run copied.
  ASSERT_TRUE(QTest::qWaitFor([&] { return r && r->Cancel->text() == QStringLiteral("閉じる"); }, 20000));
  QTest::qWait(350);
  ASSERT_TRUE(r);
  EXPECT_TRUE(r->run.state().outcome.succeeded);
  EXPECT_EQ(r->TSetName->text(), QStringLiteral("daily"));
  EXPECT_TRUE(r->TNewSetName->text().startsWith(QStringLiteral("qrn")));
  EXPECT_EQ(r->TOldSetName->text(), QString());
  EXPECT_EQ(r->SaveDir->text(), QStringLiteral("T:\\dst"));
  EXPECT_EQ(r->SaveLevel->text(), QStringLiteral("Level-0"));
  EXPECT_EQ(r->CompMode->text(), QStringLiteral("圧縮しない"));
  EXPECT_EQ(r->Status->text(), QStringLiteral("全て終了しました"));
  EXPECT_TRUE(r->ProcesTime->text().startsWith(QStringLiteral("経過時間  "))) << r->ProcesTime->text().toStdString();
  EXPECT_TRUE(r->ProcesTime->text().endsWith(QStringLiteral(" ( Total 100% )")));
  EXPECT_EQ(r->ProgressBar->value(), 100);
  EXPECT_TRUE(r->ListInfo->isVisible());
  EXPECT_EQ(r->listInfoModel->index(0, 1).data().toString(), QStringLiteral("2"));  // files copied
  EXPECT_EQ(r->ListSel->currentIndex(), 1);
  EXPECT_TRUE(r->ListSel->isEnabled());
  EXPECT_TRUE(r->SelSaveList->isVisible());
  const QStringList flags = t.ShownFlags(*r);
  EXPECT_GE(flags.size(), 2);
  EXPECT_EQ(flags.count(QStringLiteral("3")), flags.size());
  EXPECT_EQ(r->saveListModel->rowCount(), r->run.SaveList().Count());
  const QString save = r->TNewSetName->text();

  // Not an automatic run: the window waits for the user.
  QTest::qWait(400);
  ASSERT_TRUE(r);
  EXPECT_TRUE(r->isVisible());
  EXPECT_FALSE(w.isVisible());
  // The user moved it; closing gives the place back to the main window.
  r->setGeometry(QRect(90, 80, 760, 600));
  const QRect moved = r->geometry();
  QTest::mouseClick(r->Cancel, Qt::LeftButton);
  ASSERT_TRUE(t.WaitClosed());
  EXPECT_EQ(w.geometry(), moved);
  EXPECT_EQ(m.ExecMode, SaveExecMode::None);
  EXPECT_TRUE(Ui(w).BackUp->isEnabled());  // the main window's controls as they were
  EXPECT_TRUE(Ui(w).BSetName->isEnabled());
  EXPECT_EQ(Ui(w).hisModel->rowCount(), 1);
  EXPECT_EQ(Ui(w).hisModel->index(0, 0).data().toString(), save);
  EXPECT_EQ(w.exitStatus, 0);
  EXPECT_EQ(t.world.env.ReadFile(QStringLiteral("T:\\dst\\daily\\") + save + QStringLiteral("\\Drive_T\\src\\a.txt")), "hello");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !r; }));  // the window is gone
}

TEST(RunWindow, CancelDuringTheCopyStopsTheRunAndTheWindowClosesItself) {
  RunWorld t;
  t.Files(150);
  t.Start();
  QarnoWindow& w = *t.world.w;
  Module1& m = t.world.m();
  bool clicked = false, runningAtClick = false, selectorAtClick = true, cancelAtClick = false;
  int copiedAtClick = 0, lastProcessed = 0;
  t.atYield = [&] {
    SaveExecWindow* r = t.Window();
    if (r && r->run.state().progress.phase == phase::Copy)
      lastProcessed = static_cast<int>(r->run.state().progress.processedCount);
    if (!r || clicked || r->run.state().progress.phase != phase::Copy || r->run.state().progress.processedCount < 10)
      return;
    clicked = true;
    runningAtClick = r->Running();
    selectorAtClick = r->ListSel->isEnabled();
    cancelAtClick = r->Cancel->isEnabled();
    copiedAtClick = static_cast<int>(r->run.state().progress.processedCount);
    QTimer::singleShot(0, r->Cancel, [r] { QTest::mouseClick(r->Cancel, Qt::LeftButton); });
  };
  QTest::mouseClick(Ui(w).BackUp, Qt::LeftButton);
  QPointer<SaveExecWindow> r = t.Window();
  ASSERT_TRUE(r);
  ASSERT_TRUE(QTest::qWaitFor([&] { return clicked; }, 20000));
  EXPECT_TRUE(runningAtClick);
  EXPECT_FALSE(selectorAtClick);  // nothing starts a second operation during the run
  EXPECT_TRUE(cancelAtClick);
  // The copy stops at its next yield; with the stop asked for and closing allowed again, the
  // timer closes the window by itself.
  ASSERT_TRUE(t.WaitClosed());
  EXPECT_EQ(m.OpenDialogKind, DialogKind::None);
  EXPECT_EQ(w.exitStatus, 2);
  EXPECT_EQ(Ui(w).hisModel->rowCount(), 0);
  EXPECT_FALSE(m.CancelFlag);  // taken by the close
  const QString log = QString::fromUtf8(t.world.env.ReadFile(m.LogFilePath()));
  EXPECT_TRUE(log.contains(QStringLiteral("中止されました"))) << log.toStdString();
  EXPECT_TRUE(log.contains(QStringLiteral("終了")));
  // The copy went no further than the next yield, and the partial save was removed (the
  // set's default: a failed run's data is deleted).
  EXPECT_LE(lastProcessed, copiedAtClick + 2);
  EXPECT_LT(lastProcessed, 150);
  EXPECT_TRUE(QDir(t.world.env.Host(QStringLiteral("T:\\dst\\daily"))).entryList({QStringLiteral("qrn*")}).isEmpty());
}

// A listing whose entries carry each flag a recorded run can hold, in turn.
QStringList FlaggedListing(int entries, const QStringList& cycle) {
  QStringList lines = {QStringLiteral("\"T:\\src\",----D,0,2024/01/01 10:00:00,2,") + kSave + QStringLiteral(",,,,0,")};
  for (int i = 0; i < entries; ++i)
    lines += QStringLiteral("\"T:\\src\\f%1.txt\",---A-,%2,2024/01/01 10:00:00,%3,%4,,,,0,")
                 .arg(i, 4, 10, QLatin1Char('0'))
                 .arg(100 + i)
                 .arg(cycle[i % cycle.size()], kSave);
  return lines;
}

TEST(RunWindow, RecordedRunAndTheSelectorThatIsDisabledWhileTheListIsRebuilt) {
  RunWorld t;
  const QStringList cycle = {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("-2"), QStringLiteral("8"),
                             QStringLiteral("4"), QStringLiteral("3")};
  const QStringList listing = FlaggedListing(300, cycle);
  t.world.env.WriteFile(QStringLiteral("T:\\dst\\daily\\") + kSave + QStringLiteral(".csv"),
                        (listing.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
  t.Start(1, {kSave + QStringLiteral(",Level-1,30,T:\\dst,,,,2024/01/01 10:00:00,00:00:05,\"\",150")});
  QarnoWindow& w = *t.world.w;
  Module1& m = t.world.m();
  PickHistoryRow(w, 1);
  ASSERT_EQ(w.SelectedHistoryRow(), 1);
  Ui(w).EditHistoryDisp->trigger();
  QPointer<SaveExecWindow> r = t.Window();
  ASSERT_TRUE(r);
  EXPECT_EQ(m.ExecMode, SaveExecMode::RecordedRun);
  EXPECT_EQ(r->windowTitle(), m.MainCaption + QStringLiteral("  履歴情報の詳細"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return r && r->SelSaveList->isVisible(); }, 10000));
  EXPECT_EQ(r->TSetName->text(), QStringLiteral("daily"));
  EXPECT_EQ(r->TNewSetName->text(), kSave);
  EXPECT_EQ(r->TOldSetName->text(), kSave);
  EXPECT_EQ(r->SaveDir->text(), QStringLiteral("T:\\dst"));
  EXPECT_EQ(r->SaveLevel->text(), QStringLiteral("Level-1"));
  EXPECT_EQ(r->CompMode->text(), QString());
  EXPECT_EQ(r->Cancel->text(), QStringLiteral("閉じる"));
  EXPECT_TRUE(r->Status->text().isEmpty());
  EXPECT_TRUE(r->ProcesTime->text().isEmpty());
  EXPECT_EQ(r->ListSel->currentIndex(), 0);
  EXPECT_EQ(r->selSaveListModel->rowCount(), 301);
  EXPECT_EQ(r->listInfoModel->index(0, 0).data().toString(), QStringLiteral("300"));  // files in the listing
  EXPECT_EQ(r->listInfoModel->index(1, 0).data().toString(), QStringLiteral("1"));

  // During each rebuild the selector is disabled and the grid hidden; a key on the selector
  // then changes nothing.
  int rebuildYields = 0, enabledDuring = 0, shownDuring = 0;
  t.atYield = [&] {
    if (!r || !r->run.View().Rebuilding()) return;
    ++rebuildYields;
    if (r->ListSel->isEnabled()) ++enabledDuring;
    if (r->SelSaveList->isVisible()) ++shownDuring;
    QTest::keyClick(r->ListSel, Qt::Key_Down);
  };
  auto expectOnly = [&](const QStringList& wanted) {
    QStringList expected;
    for (const QString& line : listing)
      if (wanted.contains(line.section(u',', 4, 4))) expected += line.section(u',', 4, 4);
    EXPECT_EQ(t.ShownFlags(*r), expected);
  };
  QTest::keyClick(r->ListSel, Qt::Key_Down);  // copied this run only
  EXPECT_EQ(r->ListSel->currentIndex(), 1);
  expectOnly({QStringLiteral("3")});
  EXPECT_TRUE(r->SelSaveList->isVisible());
  EXPECT_TRUE(r->ListSel->isEnabled());
  QTest::keyClick(r->ListSel, Qt::Key_Down);  // not copied only: left unsaved, locked, waiting
  EXPECT_EQ(r->ListSel->currentIndex(), 2);
  expectOnly({QStringLiteral("-2"), QStringLiteral("8"), QStringLiteral("4")});
  EXPECT_EQ(r->selSaveListModel->rowCount(), 150);
  QTest::keyClick(r->ListSel, Qt::Key_Home);  // the whole list; "2" only shows here
  EXPECT_EQ(r->ListSel->currentIndex(), 0);
  EXPECT_EQ(r->selSaveListModel->rowCount(), 301);
  EXPECT_GE(rebuildYields, 6);  // every 100 rows, three rebuilds
  EXPECT_EQ(enabledDuring, 0);
  EXPECT_EQ(shownDuring, 0);
  t.atYield = nullptr;

  // Closing: the main window comes back; the close box does what Cancel does.
  r->close();
  ASSERT_TRUE(t.WaitClosed());
  EXPECT_EQ(m.ExecMode, SaveExecMode::None);
  EXPECT_TRUE(Ui(w).Restore->isEnabled());
  EXPECT_EQ(w.exitStatus, 0);
}

TEST(RunWindow, EveryEntryCountedAsNotCopiedIsFoundInThatViewWithItsReason) {
  RunWorld t;
  t.Files(3);
  t.Start();
  QarnoWindow& w = *t.world.w;
  const QString refused = QStringLiteral("T:\\src\\\"q.txt");  // a name no listing line can carry
  t.world.m().set.SaveList.append(refused);
  const QString gone = QStringLiteral("T:\\src\\f0002.txt");
  // One copier, so the file is surely still waiting for its copy at the first yield of the
  // copy (workers could have copied all three by then).
  qputenv("QARNO_COPY_WORKERS", "1");
  const auto oneCopier = qScopeGuard([] { qunsetenv("QARNO_COPY_WORKERS"); });
  bool deleted = false;
  t.atYield = [&] {
    SaveExecWindow* r = t.Window();
    if (deleted || !r || r->run.state().progress.phase != phase::Copy) return;
    deleted = QFile::remove(t.world.env.Host(gone));  // it goes between the scan and its copy
  };
  t.world.env.ui.Expect(Question::UncopiedEntries, Answer::OK, QStringLiteral("2 個コピーできませんでした。"));
  QTest::mouseClick(Ui(w).BackUp, Qt::LeftButton);
  QPointer<SaveExecWindow> r = t.Window();
  ASSERT_TRUE(r);
  ASSERT_TRUE(QTest::qWaitFor([&] { return r && r->Cancel->text() == QStringLiteral("閉じる"); }, 20000));
  QTest::qWait(350);
  ASSERT_TRUE(r);
  ASSERT_TRUE(deleted);
  EXPECT_EQ(r->run.state().outcome.uncopiedCount, 2);
  EXPECT_EQ(r->ListSel->currentIndex(), int(ResultView::NotCopied));
  SaveListModel& shown = *r->selSaveListModel;
  ASSERT_EQ(shown.rowCount(), 2);
  const int reason = SaveListEntry::FieldCount;
  EXPECT_EQ(shown.headerData(reason, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("理由"));
  EXPECT_EQ(shown.index(0, SaveListEntry::Path).data().toString(), gone);
  EXPECT_EQ(shown.index(0, SaveListEntry::Flag).data().toString(), QStringLiteral("6"));
  EXPECT_EQ(shown.index(0, reason).data().toString(), QStringLiteral("コピーの前になくなりました"));
  EXPECT_EQ(shown.index(1, SaveListEntry::Path).data().toString(), refused);
  EXPECT_EQ(shown.index(1, reason).data().toString(), QStringLiteral("保存できない名前です"));
  // What was copied has no reason; the refused name is no copy of this run either.
  r->ListSel_Click(ResultView::CopiedThisRun);
  for (int i = 0; i < shown.rowCount(); ++i) {
    EXPECT_EQ(shown.index(i, reason).data().toString(), QString());
    EXPECT_NE(shown.index(i, SaveListEntry::Path).data().toString(), refused);
  }
  QTest::mouseClick(r->Cancel, Qt::LeftButton);
  ASSERT_TRUE(t.WaitClosed());
}

TEST(RunWindow, ARecordedRunWhoseListingIsGoneShowsAnEmptyListUntilClosed) {
  RunWorld t;
  t.Start(1, {kSave + QStringLiteral(",Level-1,30,T:\\dst,,,,2024/01/01 10:00:00,00:00:05,\"\",0")});
  QarnoWindow& w = *t.world.w;
  Ui(w).HisTable->selectRow(0);
  t.world.env.ui.Expect(Question::PreviousListingMissing, Answer::OK,
                        QStringLiteral("T:\\dst\\daily\\") + kSave + QStringLiteral(".csv\rこの保存のCSVファイルがありません。"));
  Ui(w).EditHistoryDisp->trigger();
  QPointer<SaveExecWindow> r = t.Window();
  ASSERT_TRUE(r);
  ASSERT_TRUE(QTest::qWaitFor([&] { return t.world.env.ui.Exhausted(); }, 5000));
  QTest::qWait(400);
  ASSERT_TRUE(r);
  EXPECT_TRUE(r->isVisible());
  EXPECT_EQ(r->selSaveListModel->rowCount(), 0);
  EXPECT_EQ(r->Cancel->text(), QStringLiteral("閉じる"));
  QTest::mouseClick(r->Cancel, Qt::LeftButton);
  ASSERT_TRUE(t.WaitClosed());
}

TEST(RunWindow, AnAutomaticRunOpensRunsClosesAndTheProgramEndsHalfASecondLater) {
  RunWorld t;
  t.Files(20);
  QString title;
  bool shown = false;
  QTimer watch;
  watch.setInterval(5);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (!t.world.w) return;
    if (SaveExecWindow* r = t.Window(); r && r->isVisible()) {
      shown = true;
      title = r->windowTitle();
    }
  });
  watch.start();
  t.Start(2, {}, QStringLiteral("daily /B1 /L0"));
  QarnoWindow& w = *t.world.w;
  Module1& m = t.world.m();
  ASSERT_TRUE(QTest::qWaitFor([&] { return m.OpenDialogKind == DialogKind::None && shown; }, 20000));
  // The main window's 500 ms timer ends the program at one of its next ticks.
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.exited; }, 3000));
  EXPECT_EQ(title, m.MainCaption + QStringLiteral("  保存実行"));
  EXPECT_EQ(w.exitStatus, 0);
  EXPECT_EQ(Ui(w).hisModel->rowCount(), 1);
  EXPECT_EQ(Ui(w).hisModel->index(0, 1).data().toString(), QStringLiteral("Level-0"));
  EXPECT_EQ(m.AutoRunMode.mode, -1);
}

TEST(RunWindow, AnUnattendedRunThatFailsClosesAndEndsTheProgramWithStatusTwo) {
  RunWorld t;
  t.Files(3);
  t.world.env.MakeDir(QStringLiteral("T:\\d,st"));
  // A destination the history could not record: the run refuses it without asking.
  t.world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\d,st"), {QStringLiteral("T:\\src")}, 0));
  t.world.Start(QStringLiteral("daily /B2"));
  QarnoWindow& w = *t.world.w;
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.exited; }, 10000));
  EXPECT_EQ(w.exitStatus, 2);
  EXPECT_TRUE(t.world.env.ui.messages.isEmpty());
  EXPECT_EQ(Ui(w).hisModel->rowCount(), 0);
  const QString log = QString::fromUtf8(t.world.env.ReadFile(t.world.m().LogFilePath()));
  EXPECT_TRUE(log.contains(QStringLiteral("カンマ"))) << log.toStdString();
}

TEST(RunWindow, AMinimisedRunShowsItsPercentageAndHandsItsStateBack) {
  RunWorld t;
  t.Files(120);
  t.Start();
  QarnoWindow& w = *t.world.w;
  QStringList minimisedTitles;
  // A grid that still shows rows while the run rebuilds them must not read them.
  int rebuildsWithRowsShown = 0, cellsReadDuringRebuild = 0;
  t.atYield = [&] {
    SaveExecWindow* r = t.Window();
    if (!r) return;
    if (r->run.View().Rebuilding() && r->selSaveListModel->rowCount() > 0) {
      ++rebuildsWithRowsShown;
      if (r->selSaveListModel->index(0, 0).data().isValid()) ++cellsReadDuringRebuild;
    }
    if (!r->isMinimized()) r->showMinimized();
    r->Timer1_Timer();
    minimisedTitles += r->windowTitle();
  };
  QTest::mouseClick(Ui(w).BackUp, Qt::LeftButton);
  QPointer<SaveExecWindow> r = t.Window();
  ASSERT_TRUE(r);
  ASSERT_TRUE(QTest::qWaitFor([&] { return r && r->Cancel->text() == QStringLiteral("閉じる"); }, 20000));
  t.atYield = nullptr;
  QTest::qWait(350);
  ASSERT_TRUE(r);
  // While it ran, minimised: the program's name and the overall percentage.
  const QRegularExpression percent(QStringLiteral("^") + QRegularExpression::escape(t.world.m().MainCaption) + QStringLiteral(" \\d{1,3}%$"));
  EXPECT_TRUE(minimisedTitles.filter(percent).size() >= 1) << minimisedTitles.join(u'|').toStdString();
  EXPECT_TRUE(w.isMinimized());  // the main window follows
  EXPECT_GT(rebuildsWithRowsShown, 0);
  EXPECT_EQ(cellsReadDuringRebuild, 0);
  EXPECT_EQ(r->windowTitle(), r->run.state().texts.FSaveExecCaption + QStringLiteral("　終了"));
  QTest::mouseClick(r->Cancel, Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return t.world.m().OpenDialogKind == DialogKind::None; }));
  EXPECT_TRUE(w.isMinimized());
  EXPECT_TRUE(w.isVisible());
}

}  // namespace
}  // namespace qarno::test
