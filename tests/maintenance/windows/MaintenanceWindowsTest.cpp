// SPDX-License-Identifier: GPL-3.0-or-later
// The settings, type-list and history dialogs and the shutdown confirmation over the main
// window, driven offscreen.
#include "maintenance/windows/HistoryDialogs.h"
#include "maintenance/windows/SettingDialogs.h"
#include "maintenance/windows/ShutdownDialog.h"
#include "mainwin/windows/DesktopWindows.h"
#include "mainwin/windows/ListModels.h"
#include "mainwin/windows/WindowWorld.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace qarno::test {
namespace {

QString HistoryRow(const QString& name, const QString& comment = QString()) {
  return name + QStringLiteral(",Level-0,10,T:\\dst,1A2B-3C4D,VOL,12,2024/01/01 10:00:00,00:00:01,\"") + comment +
         QStringLiteral("\",0");
}

void StartDaily(WindowWorld& world, const QStringList& history, const QString& commandLine = QStringLiteral("daily")) {
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}), history);
  world.Start(commandLine);
}

// A run's listing and folder on the destination.
void MakeRunData(WindowWorld& world, const QString& name) {
  world.env.WriteFile(QStringLiteral("T:\\dst\\daily\\") + name + QStringLiteral(".csv"), "listing");
  world.env.WriteFile(QStringLiteral("T:\\dst\\daily\\") + name + QStringLiteral("\\Drive_T\\src\\a.txt"), "a");
}

// Answers the history deletion's questions in turn with these buttons, recording the texts.
void AnswerAgree(QStringList buttons, QStringList* texts) {
  if (buttons.isEmpty()) return;
  const QString button = buttons.takeFirst();
  OnDialog<FDelAgree>(QStringLiteral("FDelAgree"), [button, buttons, texts](FDelAgree& d) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Qarno　履歴情報の削除"));
    texts->append(d.Label1->text());
    AnswerAgree(buttons, texts);  // the next question comes while this handler's click runs
    QTest::mouseClick(d.findChild<QPushButton*>(button), Qt::LeftButton);
  });
}

// ---------------------------------------------------------------------------------------

TEST(SettingDialog, CompressionChoicesGreyOutButKeepTheirChoice) {
  WindowWorld world;
  StartDaily(world, {});
  Module1& m = world.m();
  m.set.options.ComplexSettingMode = 1;
  OnDialog<FSetting>(QStringLiteral("FSetting"), [&](FSetting& d) {
    EXPECT_EQ(d.windowTitle(), m.MainCaption + QStringLiteral("  設定"));
    EXPECT_EQ(d.ComplexType2->text(), QStringLiteral("圧縮する(LHA)"));
    EXPECT_EQ(d.BTypeSetting->toolTip(), QStringLiteral("圧縮しないファイルタイプを登録します。全セット名で共通です"));
    EXPECT_EQ(d.FComplexSetting->toolTip(), QStringLiteral("「圧縮する」を選択した場合に、圧縮する条件を設定します"));
    EXPECT_EQ(d.DebModeSel->count(), 3);
    EXPECT_EQ(d.DebModeSel->itemText(2), QStringLiteral("ファイル名を含めないで出力する"));
    EXPECT_FALSE(d.changed);
    // The set packs nothing: the condition is greyed out, with its choice kept.
    EXPECT_TRUE(d.ComplexType1->isChecked());
    EXPECT_FALSE(d.ComplexSetting1->isEnabled());
    EXPECT_FALSE(d.ComplexSetting2->isEnabled());
    EXPECT_TRUE(d.ComplexSetting2->isChecked());
    EXPECT_FALSE(d.BTypeSetting->isEnabled());  // "必ず圧縮する" needs no list
    d.ComplexType2->click();
    EXPECT_TRUE(d.ComplexSetting1->isEnabled());
    EXPECT_TRUE(d.ComplexSetting2->isChecked());
    d.ComplexSetting1->click();
    EXPECT_TRUE(d.BTypeSetting->isEnabled());
    d.ComplexType1->click();
    EXPECT_TRUE(d.ComplexType1->isChecked());
    EXPECT_FALSE(d.ComplexSetting1->isEnabled());
    EXPECT_TRUE(d.ComplexSetting1->isChecked());
    EXPECT_TRUE(d.BTypeSetting->isEnabled());  // the compression choice leaves it alone
    d.ComplexType2->click();
    EXPECT_TRUE(d.changed);
    // The number boxes follow their check boxes.
    d.CPathLen->setChecked(false);
    EXPECT_FALSE(d.TPathLen->isEnabled());
    d.CRsvSizeChk->setChecked(true);
    EXPECT_TRUE(d.TRsvSize->isEnabled());
    QTest::mouseClick(d.OK, Qt::LeftButton);
  });
  EXPECT_TRUE(DesktopWindows().OpenSetting(*world.w));
  EXPECT_EQ(m.set.options.ComplexTypeMode, 1);
  EXPECT_EQ(m.set.options.ComplexSettingMode, 0);
  EXPECT_TRUE(m.SetModified);
}

TEST(SettingDialog, TheMediumCheckAloneMarksTheSetAndCancelTakesNothing) {
  WindowWorld world;
  StartDaily(world, {});
  Module1& m = world.m();
  const int16_t before = m.set.options.ChkVolSer;
  OnDialog<FSetting>(QStringLiteral("FSetting"), [&](FSetting& d) {
    QTest::mouseClick(d.CVolSer, Qt::LeftButton);
    d.DebModeSel->setCurrentIndex(1);
    EXPECT_FALSE(d.changed);
    QTest::mouseClick(d.OK, Qt::LeftButton);
  });
  DesktopWindows real;
  EXPECT_FALSE(real.OpenSetting(*world.w));
  EXPECT_EQ(m.set.options.ChkVolSer, before ? 0 : 1);
  EXPECT_EQ(m.DebugMode, 1);
  EXPECT_TRUE(m.SetModified);  // the set file holds it: kept by the next save of the set

  m.SetModified = false;
  OnDialog<FSetting>(QStringLiteral("FSetting"), [&](FSetting& d) {
    QTest::mouseClick(d.CVolSer, Qt::LeftButton);
    QTest::mouseClick(d.ComplexType2, Qt::LeftButton);
    QTest::mouseClick(d.Cancel, Qt::LeftButton);
  });
  EXPECT_FALSE(real.OpenSetting(*world.w));
  EXPECT_EQ(m.set.options.ChkVolSer, before ? 0 : 1);
  EXPECT_EQ(m.set.options.ComplexTypeMode, 0);
  EXPECT_FALSE(m.SetModified);
  EXPECT_EQ(m.settings.positions.value(QStringLiteral("SettingTop")).isEmpty(), false);
}

TEST(SettingDialog, ANumberThatIsNoWholeShortIsRefusedAndTheDialogStaysOpen) {
  WindowWorld world;
  StartDaily(world, {});
  Module1& m = world.m();
  ScriptedPrompter& ui = world.env.ui;
  OnDialog<FSetting>(QStringLiteral("FSetting"), [&](FSetting& d) {
    d.TRsvSize->setText(QStringLiteral("40000"));
    ui.Expect(Question::OptionNumberInvalid, Answer::OK,
              QStringLiteral("40000\r残量制限の値は 0 から 32767 までの整数で指定してください。"));
    QTest::mouseClick(d.OK, Qt::LeftButton);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.TRsvSize->text(), QStringLiteral("50"));  // the value it had
    d.TPathLen->setText(QStringLiteral("abc"));
    ui.Expect(Question::OptionNumberInvalid, Answer::OK, QStringLiteral("abc\r文字数制限の値は 1 から 32767"));
    QTest::mouseClick(d.OK, Qt::LeftButton);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.TPathLen->text(), QStringLiteral("260"));
    d.TPathLen->setText(QStringLiteral("200"));
    QTest::mouseClick(d.OK, Qt::LeftButton);
  });
  EXPECT_TRUE(DesktopWindows().OpenSetting(*world.w));  // the reserve box was typed in
  EXPECT_TRUE(ui.Exhausted());
  EXPECT_EQ(m.set.options.RsvSize, 50);
  EXPECT_EQ(m.set.options.PathLen, 200);
  EXPECT_EQ(ui.asterisks, 2);
}

TEST(SettingDialog, TheTypeButtonOpensTheTypeListWhichKeepsItsChangesOnCancel) {
  WindowWorld world;
  StartDaily(world, {});
  Module1& m = world.m();
  m.set.options.ComplexTypeMode = 1;
  m.set.options.ComplexSettingMode = 0;
  m.NoCompTypes = {QStringLiteral("lzh")};
  OnDialog<FSetting>(QStringLiteral("FSetting"), [&](FSetting& d) {
    OnDialog<FNoCompType>(QStringLiteral("FNoCompType"), [&](FNoCompType& t) {
      t.Text1->setText(QStringLiteral("mp4"));
      QTest::mouseClick(t.BAdd, Qt::LeftButton);
      QTest::mouseClick(t.BOK, Qt::LeftButton);
    });
    QTest::mouseClick(d.BTypeSetting, Qt::LeftButton);
    QTest::mouseClick(d.Cancel, Qt::LeftButton);
  });
  EXPECT_FALSE(DesktopWindows().OpenSetting(*world.w));
  EXPECT_EQ(m.NoCompTypes, (QStringList{"lzh", "mp4"}));
}

TEST(NoCompTypeDialog, AddsTrimmedUniqueTypesDeletesAndResetsAndTakesTheListOnClosing) {
  WindowWorld world;
  StartDaily(world, {});
  Module1& m = world.m();
  ScriptedPrompter& ui = world.env.ui;
  m.NoCompTypes = {QStringLiteral("zip"), QStringLiteral("doc")};
  m.settings.positions[QStringLiteral("NoCompTypeTop")] = QStringLiteral("0");
  m.settings.positions[QStringLiteral("NoCompTypeLeft")] = QStringLiteral("0");
  OnDialog<FNoCompType>(QStringLiteral("FNoCompType"), [&](FNoCompType& d) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Qarno"));
    EXPECT_EQ(d.LNoCompType->count(), 2);
    EXPECT_EQ(d.pos(), world.w->frameGeometry().topLeft());
    d.Text1->setText(QStringLiteral("  ZIP "));
    QTest::keyClick(d.Text1, Qt::Key_Return);
    EXPECT_EQ(d.LNoCompType->count(), 2);
    EXPECT_TRUE(d.Text1->text().isEmpty());
    d.Text1->setText(QStringLiteral("   "));
    QTest::mouseClick(d.BAdd, Qt::LeftButton);
    EXPECT_EQ(d.LNoCompType->count(), 2);
    d.Text1->setText(QStringLiteral("a,b"));
    ui.Expect(Question::NoCompTypeUnusable, Answer::OK, QStringLiteral("a,b\r"));
    QTest::keyClick(d.Text1, Qt::Key_Return);
    EXPECT_EQ(d.LNoCompType->count(), 2);
    d.Text1->setText(QStringLiteral(" flac "));
    QTest::keyClick(d.Text1, Qt::Key_Return);
    ASSERT_EQ(d.LNoCompType->count(), 3);
    EXPECT_EQ(d.LNoCompType->item(2)->text(), QStringLiteral("flac"));
    EXPECT_TRUE(d.isVisible());  // Enter stays in the box
    QTest::mouseClick(d.BDel, Qt::LeftButton);  // nothing selected: nothing happens
    EXPECT_EQ(d.LNoCompType->count(), 3);
    d.LNoCompType->setCurrentRow(1);
    QTest::mouseClick(d.BDel, Qt::LeftButton);
    EXPECT_EQ(d.LNoCompType->count(), 2);
    d.close();  // the close box takes the list over as "閉じる" does
  });
  DesktopWindows().OpenNoCompType(*world.w);
  EXPECT_EQ(m.NoCompTypes, (QStringList{"zip", "flac"}));

  OnDialog<FNoCompType>(QStringLiteral("FNoCompType"), [&](FNoCompType& d) {
    QTest::mouseClick(d.BInit, Qt::LeftButton);
    QTest::mouseClick(d.BOK, Qt::LeftButton);
  });
  DesktopWindows().OpenNoCompType(*world.w);
  EXPECT_EQ(m.NoCompTypes, (QStringList{"lzh", "zip", "mp3", "jpg"}));
  EXPECT_TRUE(ui.Exhausted());
}

// ---------------------------------------------------------------------------------------

TEST(DelHisDataDialog, DeletesTheSelectedBlockBottomUpAndHandsTheHistoryBack) {
  WindowWorld world;
  const QStringList names = {"qrn20240103_01", "qrn20240102_01", "qrn20240101_01"};
  for (const QString& n : names) MakeRunData(world, n);
  StartDaily(world, {HistoryRow(names[0]), HistoryRow(names[1]), HistoryRow(names[2])});
  Module1& m = world.m();
  m.settings.DelOption = 0;
  QStringList texts;
  OnDialog<FDelHisData>(QStringLiteral("FDelHisData"), [&](FDelHisData& d) {
    EXPECT_EQ(d.windowTitle(), m.MainCaption + QStringLiteral("  履歴情報の削除"));
    EXPECT_EQ(d.TSetName->text(), QStringLiteral("daily"));
    EXPECT_FALSE(d.CDelOption->isChecked());
    QTest::mouseClick(d.CDelOption, Qt::LeftButton);
    EXPECT_EQ(m.settings.DelOption, 1);
    d.HisTable->selectRow(1);
    d.HisTable->selectionModel()->select(d.HisTable->model()->index(2, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    // Row 3 with its data ("削除" twice), then row 2 without ("削除", "いいえ").
    AnswerAgree({"BDel", "BDel", "BDel", "BNo"}, &texts);
    QTest::mouseClick(d.Remove, Qt::LeftButton);
    EXPECT_EQ(d.HisTable->model()->rowCount(), 1);
    EXPECT_EQ(d.Status->text(), QStringLiteral("終了"));
    EXPECT_EQ(d.HisTable->selectionModel()->selectedRows().first().row(), 0);  // the row above
    // The main window's table is not touched until the dialog closes.
    EXPECT_EQ(Ui(*world.w).hisModel->rowCount(), 3);
    QTest::mouseClick(d.Cancel, Qt::LeftButton);
  });
  world.children.onDelHisData = [](QarnoWindow& main) { DesktopWindows().OpenDelHisData(main); };
  world.w->HistoryDelete_Click();
  world.children.calls.clear();
  ASSERT_EQ(texts.size(), 4);
  EXPECT_EQ(texts[0], QStringLiteral("保存名： qrn20240101_01　が履歴から削除されます！"));
  EXPECT_EQ(texts[1], QStringLiteral("保存名： qrn20240101_01　の保存データが削除されます!\n\nよろしいですか？"));
  EXPECT_EQ(texts[2], QStringLiteral("保存名： qrn20240102_01　が履歴から削除されます！"));
  EXPECT_EQ(Ui(*world.w).hisModel->rowCount(), 1);
  EXPECT_TRUE(m.HistoryModified);
  EXPECT_FALSE(world.env.Exists(QStringLiteral("T:\\dst\\daily\\qrn20240101_01")));
  EXPECT_TRUE(world.env.Exists(QStringLiteral("T:\\dst\\daily\\qrn20240102_01")));
  EXPECT_FALSE(m.settings.positions.value(QStringLiteral("FDelHisDataWidth")).isEmpty());
  EXPECT_EQ(m.OpenDialogKind, DialogKind::None);
}

TEST(DelHisDataDialog, AllRemoveClosesAfterItsRunAndTheOnlyRowTakesTheLog) {
  WindowWorld world;
  MakeRunData(world, QStringLiteral("qrn20240101_01"));
  world.env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.log"), "log");
  StartDaily(world, {HistoryRow(QStringLiteral("qrn20240101_01"))});
  Module1& m = world.m();
  m.settings.DelOption = 1;
  QStringList texts;
  OnDialog<FDelHisData>(QStringLiteral("FDelHisData"), [&](FDelHisData& d) {
    QStringList captions;
    world.env.ui.onYield = [&](int) {
      if (captions.isEmpty() && d.deletion.busy) captions += d.Cancel->text();
    };
    AnswerAgree({"BDelALL", "BDelALL"}, &texts);
    QTest::mouseClick(d.AllRemove, Qt::LeftButton);
    world.env.ui.onYield = nullptr;
    EXPECT_EQ(captions, QStringList{"中止"});  // while the data went
    EXPECT_FALSE(d.isVisible());
  });
  DesktopWindows().OpenDelHisData(*world.w);
  EXPECT_EQ(texts.size(), 2);
  EXPECT_FALSE(world.program->main->HisTable.HasData());
  EXPECT_FALSE(world.env.Exists(QStringLiteral("T:\\prog\\SetDir\\daily.log")));
  EXPECT_FALSE(world.env.Exists(QStringLiteral("T:\\dst\\daily\\qrn20240101_01.csv")));
  EXPECT_TRUE(m.HistoryModified);
}

TEST(DelHisDataDialog, ClosingDuringTheDataDeletionStopsItAndACraftedRowKeepsItsData) {
  WindowWorld world;
  MakeRunData(world, QStringLiteral("qrn20240102_01"));
  for (int i = 0; i < 10; ++i)
    world.env.WriteFile(QStringLiteral("T:\\dst\\daily\\qrn20240102_01\\f%1").arg(i), "x");
  StartDaily(world, {HistoryRow(QStringLiteral("qrn20240102_01")), HistoryRow(QStringLiteral(".."))});
  Module1& m = world.m();
  m.settings.DelOption = 1;
  ScriptedPrompter& ui = world.env.ui;
  QStringList texts;
  OnDialog<FDelHisData>(QStringLiteral("FDelHisData"), [&](FDelHisData& d) {
    // The crafted row: out of the history, its "data" (the destination) left alone.
    d.HisTable->selectRow(1);
    AnswerAgree({"BDel"}, &texts);
    ui.Expect(Question::RunDataNotDeleted, Answer::OK, QStringLiteral("..\r"));
    QTest::mouseClick(d.Remove, Qt::LeftButton);
    EXPECT_EQ(d.HisTable->model()->rowCount(), 1);
    // The real run: the close box during its deletion stops it; the dialog stays open.
    d.HisTable->selectRow(0);
    AnswerAgree({"BDel", "BDel"}, &texts);
    int yields = 0;
    ui.onYield = [&](int) {
      if (++yields == 2) {
        QCloseEvent close;
        QApplication::sendEvent(&d, &close);
        EXPECT_FALSE(close.isAccepted());
      }
    };
    QTest::mouseClick(d.Remove, Qt::LeftButton);
    ui.onYield = nullptr;
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.Status->text(), QStringLiteral("データーの削除中... 中止されました。"));
    EXPECT_EQ(d.Cancel->text(), QStringLiteral("終了"));
    QTest::mouseClick(d.Cancel, Qt::LeftButton);
  });
  DesktopWindows().OpenDelHisData(*world.w);
  EXPECT_TRUE(ui.Exhausted());
  EXPECT_FALSE(world.program->main->HisTable.HasData());
  EXPECT_TRUE(world.env.Exists(QStringLiteral("T:\\dst\\daily\\qrn20240102_01")));  // stopped part-way
  EXPECT_TRUE(world.env.Exists(QStringLiteral("T:\\dst")));
  EXPECT_TRUE(world.env.Exists(QStringLiteral("T:\\prog\\SetDir\\daily.qrn")));
}

// ---------------------------------------------------------------------------------------

TEST(EditHisDataDialog, StepsThroughTheRowsAndWritesTheCommentIntoTheMainGridAtOnce) {
  WindowWorld world;
  StartDaily(world, {HistoryRow(QStringLiteral("qrn20240103_01"), QStringLiteral("third")),
                     HistoryRow(QStringLiteral("qrn20240102_01"), QStringLiteral("second")),
                     HistoryRow(QStringLiteral("qrn20240101_01"), QStringLiteral("first"))});
  QarnoWindow& w = *world.w;
  Module1& m = world.m();
  Ui(w).HisTable->selectRow(1);
  ASSERT_EQ(w.SelectedHistoryRow(), 2);
  OnDialog<FEditHisData>(QStringLiteral("FEditHisData"), [&](FEditHisData& d) {
    EXPECT_EQ(d.windowTitle(), m.MainCaption + QStringLiteral("  履歴情報の編集"));
    EXPECT_EQ(d.TSaveName->text(), QStringLiteral("qrn20240102_01"));
    EXPECT_EQ(d.TSaveDir->text(), QStringLiteral("T:\\dst"));
    EXPECT_EQ(d.TVolSerial->text(), QStringLiteral("1A2B-3C4D"));
    EXPECT_EQ(d.TMemo->text(), QStringLiteral("second"));
    EXPECT_TRUE(d.BPre->isEnabled());
    EXPECT_TRUE(d.BNext->isEnabled());
    QTest::mouseClick(d.BNext, Qt::LeftButton);
    EXPECT_EQ(d.TSaveName->text(), QStringLiteral("qrn20240101_01"));
    EXPECT_FALSE(d.BNext->isEnabled());
    EXPECT_EQ(Ui(w).HisTable->currentIndex().row(), 2);  // the main grid follows
    d.TMemo->clear();
    QTest::keyClicks(d.TMemo, QStringLiteral("say \"hi\""));
    EXPECT_EQ(Ui(w).hisModel->index(2, HistoryEntry::Comment).data().toString(), QStringLiteral("say ＂hi＂"));
    d.TMemo->setText(QStringLiteral("two\nlines"));
    EXPECT_EQ(world.program->main->HisTable.Cell(3, HistoryEntry::Comment), QStringLiteral("two lines"));
    QTest::mouseClick(d.BPre, Qt::LeftButton);
    QTest::mouseClick(d.BPre, Qt::LeftButton);
    EXPECT_EQ(d.TMemo->text(), QStringLiteral("third"));
    EXPECT_FALSE(d.BPre->isEnabled());
    QTest::mouseClick(d.BExit, Qt::LeftButton);
  });
  world.children.onEditHisData = [](QarnoWindow& main, int row) { DesktopWindows().OpenEditHisData(main, row); };
  w.HistoryEdit_Click();
  EXPECT_TRUE(m.HistoryModified);
  EXPECT_EQ(m.OpenDialogKind, DialogKind::None);
  EXPECT_FALSE(m.settings.positions.value(QStringLiteral("EditHisDataTop")).isEmpty());
}

TEST(EditHisDataDialog, OneRowDisablesBothStepsSteppingMarksTheHistoryAndTheHeaderClosesAtOnce) {
  WindowWorld world;
  StartDaily(world, {HistoryRow(QStringLiteral("qrn20240101_01"), QStringLiteral("only"))});
  Module1& m = world.m();
  Ui(*world.w).HisTable->selectRow(0);
  m.HistoryModified = false;
  OnDialog<FEditHisData>(QStringLiteral("FEditHisData"), [&](FEditHisData& d) {
    EXPECT_FALSE(d.BPre->isEnabled());
    EXPECT_FALSE(d.BNext->isEnabled());
    QTest::mouseClick(d.BExit, Qt::LeftButton);
  });
  DesktopWindows().OpenEditHisData(*world.w, 1);
  EXPECT_TRUE(m.HistoryModified);  // showing a row refills its comment
  EXPECT_EQ(world.program->main->HisTable.Cell(1, HistoryEntry::Comment), QStringLiteral("only"));

  // The header row current: nothing is shown at all.
  world.w->SelectHistoryRow(0);
  FEditHisData d(*world.w);
  EXPECT_EQ(d.exec(), QDialog::Rejected);
  EXPECT_FALSE(d.isVisible());
}

// ---------------------------------------------------------------------------------------

struct Shutdown : ::testing::Test {
  WindowWorld world;
  QStringList statuses;
  void SetUp() override {
    world.env.WriteFile(QStringLiteral("T:\\src\\a.txt"), "hello");
    world.children.onShutdown = [](QarnoWindow& w) { return DesktopWindows().ConfirmShutdown(w); };
  }
  // The automatic run with /S; `act` handles the confirmation.
  void RunWith(std::function<void(FShutdown&)> act) {
    OnDialog<FShutdown>(QStringLiteral("FShutdown"), [this, act](FShutdown& d) {
#ifdef _WIN32
      EXPECT_EQ(d.windowTitle(), QStringLiteral("Windows 終了確認"));
      EXPECT_EQ(d.Label1->text(), QStringLiteral("Windowsを終了します"));
#else
      // Not Windows here: the box names what is shut down as the user knows it.
      EXPECT_EQ(d.windowTitle(), QStringLiteral("コンピューター 終了確認"));
      EXPECT_EQ(d.Label1->text(), QStringLiteral("コンピューターを終了します"));
#endif
      EXPECT_EQ(d.BCancel->text(), QStringLiteral("取り消し"));
      EXPECT_EQ(d.pos(), world.w->frameGeometry().topLeft());
      // The ticks are given by hand below; the main window's exit timer must not start a
      // second exit meanwhile.
      d.Timer1->stop();
      QTest::qWait(1200);
      act(d);
    });
    StartDaily(world, {}, QStringLiteral("daily /S"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return world.children.calls.contains(QStringLiteral("FShutdown")); }, 5000));
    QTest::qWait(700);
    EXPECT_EQ(world.children.calls.count(QStringLiteral("FShutdown")), 1);
  }
  void CountDown(FShutdown& d) {
    for (int i = 0; i < 30 && d.isVisible(); ++i) {
      d.Timer1_Timer();
      statuses += d.LStatus->text();
      if (i == 14) {
        EXPECT_EQ(d.PBar->value(), 50);
      }
      if (i < 29) {
        EXPECT_TRUE(d.isVisible());
      }
    }
  }
};

TEST_F(Shutdown, ThirtyTicksProceedAndARefusedShutdownKeepsTheProgramOpen) {
  world.powerOffAccepted = false;
  RunWith([this](FShutdown& d) {
    CountDown(d);
    EXPECT_EQ(d.tag, QStringLiteral("True"));
  });
  ASSERT_EQ(statuses.size(), 30);
  EXPECT_EQ(statuses.first(), QStringLiteral("残り29秒"));
  EXPECT_EQ(statuses.last(), QStringLiteral("残り0秒"));
  EXPECT_EQ(world.powerOffs, 1);
  EXPECT_FALSE(world.w->exited);
  EXPECT_TRUE(world.w->isVisible());
  EXPECT_EQ(world.m().AutoRunMode.mode, -1);  // no further automatic exit
}

TEST_F(Shutdown, CancelKeepsTheProgramOpenWithoutPoweringOff) {
  RunWith([](FShutdown& d) { QTest::mouseClick(d.BCancel, Qt::LeftButton); });
  EXPECT_EQ(world.powerOffs, 0);
  EXPECT_FALSE(world.w->exited);
}

TEST_F(Shutdown, AnAcceptedShutdownEndsTheProgram) {
  world.powerOffAccepted = true;
  RunWith([](FShutdown& d) { QTest::mouseClick(d.BOK, Qt::LeftButton); });
  EXPECT_EQ(world.powerOffs, 1);
  EXPECT_TRUE(world.w->exited);
  EXPECT_EQ(world.env.ui.asterisks >= 2, true);  // on showing and on OK
}

}  // namespace
}  // namespace qarno::test
