// SPDX-License-Identifier: GPL-3.0-or-later
// The verify window over real saves, opened from the main window's history commands: a clean
// run quick and full (nothing written anywhere), a damaged copy listed with what was found,
// a run without its manifest, a run whose listing is gone, and a full verify stopped by
// "中止" and by closing the window while it runs.
#include "engine/FSaveExec.h"
#include "mainwin/windows/WindowWorld.h"
#include "restore/windows/VerifyWindow.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <gtest/gtest.h>

namespace qarno::test {
namespace {

// Every file below a host folder with its bytes, and the modification times (what a
// verification must leave as it was).
QMap<QString, QByteArray> Snapshot(const QString& hostDir) {
  QMap<QString, QByteArray> out;
  QDirIterator it(hostDir, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    out.insert(QDir(hostDir).relativeFilePath(path),
               f.readAll() + '@' + it.fileInfo().lastModified().toString(Qt::ISODateWithMs).toUtf8());
  }
  return out;
}

struct VerifyWorld {
  WindowWorld world;
  std::function<void(int)> atYield;

  // The set "daily" saves T:\src to T:\dst with plain copies; `files` files of 2000 bytes.
  explicit VerifyWorld(int files = 3) {
    for (int i = 0; i < files; ++i)
      world.env.WriteFile(QStringLiteral("T:\\src\\f%1.txt").arg(i, 3, 10, QLatin1Char('0')),
                          QByteArray(2000, static_cast<char>('a' + i % 26)));
    world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}, 0));
    world.Start(QStringLiteral("daily"));
    world.env.ui.onYield = [this](int n) {
      if (atYield) atYield(n);
    };
  }

  // A Level-0 run, as the run window makes it, selected in the main window; its save name.
  QString Backup() {
    Module1& m = world.m();
    m.set.SaveLevel = Level::Level0;
    m.ExecMode = SaveExecMode::Run;
    FSaveExec run(m, *world.program->main);
    run.Form_Load();
    EXPECT_TRUE(run.OK_Click()) << run.state().progress.status.toStdString();
    m.ExecMode = SaveExecMode::None;
    world.w->SelectHistoryRow(1);
    world.w->ShowHistory();
    return run.state().paths.SaveSetName;
  }
  QString Copy(const QString& save, int file) const {
    return world.env.Host(QStringLiteral("T:\\dst\\daily\\") + save +
                          QStringLiteral("\\Drive_T\\src\\f%1.txt").arg(file, 3, 10, QLatin1Char('0')));
  }
  // Opens the window from the history pop-up menu and hands it to `act`.
  void Verify(std::function<void(FVerify&)> act) {
    OnDialog<FVerify>(QStringLiteral("FVerify"), std::move(act));
    Ui(*world.w).HisTableVerify->trigger();
  }
};

QStringList Row(FVerify& d, int row) {
  QStringList cells;
  for (int c = 0; c < VerifyProblemModel::ColumnCount; ++c)
    cells += d.problemModel->index(row, c).data().toString();
  return cells;
}

TEST(VerifyWindow, ACleanRunIsCleanQuickAndFullAndNothingIsWritten) {
  VerifyWorld t;
  const QString save = t.Backup();
  QarnoWindow& w = *t.world.w;
  Module1& m = t.world.m();
  const auto before = Snapshot(t.world.env.root());
  const int historyRows = t.world.program->main->HisTable.Rows();

  t.Verify([&](FVerify& d) {
    // Modal over the locked main window, as the other dialogs.
    EXPECT_EQ(m.OpenDialogKind, DialogKind::Verify);
    EXPECT_FALSE(Ui(w).BSetName->isEnabled());
    EXPECT_FALSE(Ui(w).EditMenu->menuAction()->isEnabled());
    EXPECT_EQ(w.OpenChild(), &d);
    EXPECT_EQ(d.windowTitle(), m.MainCaption + QStringLiteral("  検証"));
    EXPECT_TRUE(d.TSaveName->text().startsWith(save + QStringLiteral("    Level-0    "))) << d.TSaveName->text().toStdString();
    EXPECT_TRUE(d.QuickVerify->isChecked());
    EXPECT_EQ(d.Cancel->text(), QStringLiteral("閉じる"));

    QTest::mouseClick(d.Start, Qt::LeftButton);
    EXPECT_FALSE(d.report().full);
    EXPECT_TRUE(d.report().Clean());
    EXPECT_EQ(d.Status->text(), QStringLiteral("簡易検証が終わりました。問題は見つかりませんでした。"));
    EXPECT_EQ(d.Totals->text(), QStringLiteral("検証したファイル 3 / 3、目録と照合 0、問題 0 件"));
    EXPECT_EQ(d.Progress->value(), 100);
    EXPECT_EQ(d.problemModel->rowCount(), 0);
    EXPECT_TRUE(d.ManifestNote->isHidden());

    d.FullVerify->click();
    QTest::mouseClick(d.Start, Qt::LeftButton);
    EXPECT_TRUE(d.report().full);
    EXPECT_EQ(d.Status->text(), QStringLiteral("完全検証が終わりました。問題は見つかりませんでした。"));
    EXPECT_EQ(d.Totals->text(), QStringLiteral("検証したファイル 3 / 3、目録と照合 3、問題 0 件"));
    QTest::mouseClick(d.Cancel, Qt::LeftButton);
  });
  EXPECT_FALSE(w.OpenChild());
  EXPECT_EQ(t.world.children.calls, QStringList{QStringLiteral("FVerify row 1 kind 12")});
  EXPECT_EQ(m.OpenDialogKind, DialogKind::None);
  EXPECT_TRUE(Ui(w).BSetName->isEnabled());
  EXPECT_TRUE(Ui(w).EditMenu->menuAction()->isEnabled());
  // A verification only reads: the saves, the set and the history stay as they were.
  EXPECT_EQ(Snapshot(t.world.env.root()), before);
  EXPECT_EQ(t.world.program->main->HisTable.Rows(), historyRows);
  EXPECT_FALSE(m.HistoryModified);
  EXPECT_FALSE(m.SetModified);
  EXPECT_FALSE(m.CancelFlag);
}

TEST(VerifyWindow, ADamagedCopyIsListedAndARunWithoutItsManifestIsSaidSo) {
  VerifyWorld t;
  const QString save = t.Backup();
  {
    QFile copy(t.Copy(save, 1));
    ASSERT_TRUE(copy.resize(1500));
  }
  t.Verify([&](FVerify& d) {
    QTest::mouseClick(d.Start, Qt::LeftButton);
    ASSERT_EQ(d.problemModel->rowCount(), 1);
    EXPECT_EQ(Row(d, 0), (QStringList{QStringLiteral("サイズが違います"), QStringLiteral("T:\\src\\f001.txt"),
                                      QStringLiteral("一覧では 2000 バイト、実際は 1500 バイト")}));
    EXPECT_EQ(d.Status->text(), QStringLiteral("簡易検証が終わりました。問題が 1 件見つかりました。"));
    EXPECT_EQ(d.Totals->text(), QStringLiteral("検証したファイル 3 / 3、目録と照合 0、問題 1 件"));

    // Another start shows the new report only: the same bytes back, another one changed.
    {
      QFile copy(t.Copy(save, 1));
      ASSERT_TRUE(copy.open(QIODevice::WriteOnly | QIODevice::Truncate));
      copy.write(QByteArray(2000, 'b'));
    }
    {
      QFile copy(t.Copy(save, 2));
      ASSERT_TRUE(copy.open(QIODevice::ReadWrite));
      copy.seek(10);
      copy.write("Z");
    }
    d.FullVerify->click();
    QTest::mouseClick(d.Start, Qt::LeftButton);
    ASSERT_EQ(d.problemModel->rowCount(), 1);
    EXPECT_EQ(Row(d, 0).mid(0, 2), (QStringList{QStringLiteral("内容が違います"), QStringLiteral("T:\\src\\f002.txt")}));

    // Without the manifest the full check can only compare sizes, and the window says so.
    ASSERT_TRUE(QFile::remove(t.world.env.Host(QStringLiteral("T:\\dst\\daily\\") + save + QStringLiteral(".sum"))));
    QTest::mouseClick(d.Start, Qt::LeftButton);
    EXPECT_EQ(d.problemModel->rowCount(), 0);
    EXPECT_FALSE(d.ManifestNote->isHidden());
    EXPECT_TRUE(d.ManifestNote->text().startsWith(QStringLiteral("この保存には内容の目録がありません")));
    EXPECT_EQ(d.Totals->text(), QStringLiteral("検証したファイル 3 / 3、目録と照合 0、問題 0 件"));
    QTest::mouseClick(d.Cancel, Qt::LeftButton);
  });
}

TEST(VerifyWindow, ARunWhoseListingIsGoneCannotBeVerifiedAndSaysWhy) {
  VerifyWorld t;
  const QString save = t.Backup();
  ASSERT_TRUE(QFile::remove(t.world.env.Host(QStringLiteral("T:\\dst\\daily\\") + save + QStringLiteral(".csv"))));
  t.Verify([&](FVerify& d) {
    QTest::mouseClick(d.Start, Qt::LeftButton);
    EXPECT_FALSE(d.report().listingRead);
    EXPECT_TRUE(d.Status->text().startsWith(QStringLiteral("保存リストを読めませんでした。"))) << d.Status->text().toStdString();
    EXPECT_TRUE(d.Status->text().endsWith(save + QStringLiteral(".csv")));
    EXPECT_TRUE(d.Totals->text().isEmpty());
    QTest::mouseClick(d.Cancel, Qt::LeftButton);
  });
}

TEST(VerifyWindow, StopAndCloseDuringAFullVerifyStopAtTheNextFile) {
  VerifyWorld t(40);
  t.Backup();
  QarnoWindow& w = *t.world.w;
  Module1& m = t.world.m();
  t.Verify([&](FVerify& d) {
    d.FullVerify->click();
    const int yieldsBefore = t.world.env.ui.yields;
    t.atYield = [&](int n) {
      if (n - yieldsBefore != 10) return;
      // While it runs: the choices are held, the progress follows, the button stops.
      EXPECT_FALSE(d.Start->isEnabled());
      EXPECT_FALSE(d.QuickVerify->isEnabled());
      EXPECT_EQ(d.Cancel->text(), QStringLiteral("中止"));
      d.Timer1_Timer();
      EXPECT_GT(d.Progress->value(), 0);
      EXPECT_LT(d.Progress->value(), 100);
      EXPECT_TRUE(d.Status->text().startsWith(QStringLiteral("検証中 "))) << d.Status->text().toStdString();
      EXPECT_TRUE(d.Status->text().contains(QStringLiteral(" / 40  T:\\src\\f0")));
      QTest::mouseClick(d.Cancel, Qt::LeftButton);
      EXPECT_TRUE(d.isVisible());  // the window stays; the verifier stops
    };
    QTest::mouseClick(d.Start, Qt::LeftButton);
    EXPECT_TRUE(d.report().stopped);
    // Stopped at the yield the click came in, before its file.
    EXPECT_EQ(t.world.env.ui.yields - yieldsBefore, 10);
    EXPECT_EQ(d.report().checked, 9);
    EXPECT_FALSE(m.CancelFlag);  // cleared for the next command
    EXPECT_EQ(d.Status->text(), QStringLiteral("完全検証を中止しました。問題はそれまでに見つかったものです。"));
    EXPECT_EQ(d.Cancel->text(), QStringLiteral("閉じる"));
    EXPECT_TRUE(d.Start->isEnabled());

    // Closing the window while it runs stops the verifier first, then the window closes.
    const int yieldsAgain = t.world.env.ui.yields;
    t.atYield = [&](int n) {
      if (n - yieldsAgain == 20) d.close();
    };
    QTest::mouseClick(d.Start, Qt::LeftButton);
    EXPECT_TRUE(d.report().stopped);
    EXPECT_FALSE(d.isVisible());
  });
  t.atYield = nullptr;
  EXPECT_EQ(m.OpenDialogKind, DialogKind::None);
  EXPECT_FALSE(m.CancelFlag);
  EXPECT_TRUE(Ui(w).BSetName->isEnabled());
}

TEST(VerifyWindow, TheCommandWantsASelectedRunAndAnIdleMainWindow) {
  // Two runs on record, none of whose saves are there (nothing but the menus matter here).
  WindowWorld world;
  const QString run = QStringLiteral(",Level-0,10,T:\\dst,,,,2024/01/0%1 10:00:00,00:00:01,\"\",0");
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}),
                 {QStringLiteral("qrn20240101_1") + run.arg(1), QStringLiteral("qrn20240102_1") + run.arg(2)});
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  EXPECT_EQ(Ui(w).EditHistoryVerify->text(), QStringLiteral("検証"));
  EXPECT_EQ(Ui(w).HisTableVerify->text(), QStringLiteral("検証"));
  const QList<QAction*> items = Ui(w).HisTableMenu->actions();
  EXPECT_EQ(items.indexOf(Ui(w).HisTableVerify), items.indexOf(Ui(w).HisTableDisp) + 1);

  // A right-click on the older run selects it; its command verifies that run.
  const QRect second = Ui(w).HisTable->visualRect(Ui(w).hisModel->index(1, 0));
  RightClick(Ui(w).HisTable->viewport(), second.center());
  EXPECT_TRUE(QTest::qWaitFor([&] { return Ui(w).HisTableMenu->isVisible(); }, 2000));
  Ui(w).HisTableMenu->hide();
  OnDialog<FVerify>(QStringLiteral("FVerify"), [&](FVerify& d) {
    EXPECT_TRUE(d.TSaveName->text().startsWith(QStringLiteral("qrn20240101_1")));
    QTest::mouseClick(d.Cancel, Qt::LeftButton);
  });
  Ui(w).HisTableVerify->trigger();
  EXPECT_EQ(world.children.calls, QStringList{QStringLiteral("FVerify row 2 kind 12")});

  // While another window holds the main window, neither the menu nor the grid answers.
  w.LockControls();
  EXPECT_FALSE(Ui(w).EditMenu->menuAction()->isEnabled());
  RightClick(Ui(w).HisTable->viewport(), second.center());
  QTest::qWait(50);
  EXPECT_FALSE(Ui(w).HisTableMenu->isVisible());
  w.Qarno_RestoreState();

  // Without a selected run the command does nothing.
  world.w->SelectHistoryRow(0);
  Ui(w).EditHistoryVerify->trigger();
  EXPECT_EQ(world.children.calls.size(), 1);
  EXPECT_EQ(world.m().OpenDialogKind, DialogKind::None);
}

}  // namespace
}  // namespace qarno::test
