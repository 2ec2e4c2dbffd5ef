// SPDX-License-Identifier: GPL-3.0-or-later
// The windows for a user whose locale is not Japanese: with the English translation as built,
// no caption, label, button, menu, heading or tip of any window is left in Japanese, Qt's
// standard buttons are English, and a message the user reads in English still reaches the
// log in the program's own words. (The other window tests run without a translator: they
// keep the Japanese texts as they are.)
#include "engine/windows/RunWindow.h"
#include "maintenance/windows/HistoryDialogs.h"
#include "maintenance/windows/SettingDialogs.h"
#include "maintenance/windows/ShutdownDialog.h"
#include "mainwin/windows/DirDialogs.h"
#include "mainwin/windows/QtPrompter.h"
#include "mainwin/windows/SetDialogs.h"
#include "mainwin/windows/WindowWorld.h"
#include "restore/windows/FRestoreWindow.h"
#include "restore/windows/VerifyWindow.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>
#include <QTranslator>
#include <gtest/gtest.h>

namespace qarno::test {
namespace {

const QString kRun1 = QStringLiteral("qrn20240101_1,Level-0,10,T:\\dst,,,,2024/01/01 10:00:00,00:00:01,\"\",0");
const QString kRun2 = QStringLiteral("qrn20240102_1,Level-1,5,T:\\dst,,,,2024/01/02 10:00:00,00:00:01,\"\",0");

bool IsJapanese(const QString& text) {
  static const QRegularExpression kana(QStringLiteral("[\\x{3000}-\\x{30ff}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
  return kana.match(text).hasMatch();
}

// The texts of the window a person reads or a screen reader speaks that are still Japanese,
// each with the control it belongs to. The grids' cells are the user's data; their headings
// are the window's.
QStringList JapaneseTexts(QWidget& window) {
  QStringList found;
  auto check = [&](QObject* o, const QString& what, const QString& text) {
    if (IsJapanese(text)) found += QStringLiteral("%1.%2 %3: %4").arg(window.objectName(), o->objectName(), what, text);
  };
  check(&window, QStringLiteral("title"), window.windowTitle());
  QList<QWidget*> widgets = window.findChildren<QWidget*>();
  widgets += &window;
  for (QWidget* w : widgets) {
    check(w, QStringLiteral("tip"), w->toolTip());
    check(w, QStringLiteral("name"), w->accessibleName());
    if (auto* label = qobject_cast<QLabel*>(w)) check(w, QStringLiteral("label"), label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(w)) check(w, QStringLiteral("button"), button->text());
    if (auto* frame = qobject_cast<QGroupBox*>(w)) check(w, QStringLiteral("frame"), frame->title());
    if (auto* box = qobject_cast<QComboBox*>(w))
      for (int i = 0; i < box->count(); ++i) check(w, QStringLiteral("item"), box->itemText(i));
    if (auto* menu = qobject_cast<QMenu*>(w)) {
      check(w, QStringLiteral("menu"), menu->title());
      for (QAction* a : menu->actions()) check(w, QStringLiteral("command"), a->text());
    }
    if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model())
      for (int c = 0; c < view->model()->columnCount(); ++c)
        check(w, QStringLiteral("heading"), view->model()->headerData(c, Qt::Horizontal).toString());
  }
  return found;
}

struct InEnglish : ::testing::Test {
  QTranslator core, windows;
  QList<QTranslator*> setAside;  // a translation an earlier test installed (Qt's own Japanese)
  WindowWorld world;

  void SetUp() override {
    for (QTranslator* t : qApp->findChildren<QTranslator*>())
      if (QCoreApplication::removeTranslator(t)) setAside += t;
    ASSERT_TRUE(core.load(QStringLiteral("qarno_en"), QStringLiteral(QARNO_TRANSLATIONS_DIR)));
    ASSERT_TRUE(windows.load(QStringLiteral("qarno-windows_en"), QStringLiteral(QARNO_TRANSLATIONS_DIR)));
    QCoreApplication::installTranslator(&core);
    QCoreApplication::installTranslator(&windows);
  }
  void TearDown() override {
    QCoreApplication::removeTranslator(&windows);
    QCoreApplication::removeTranslator(&core);
    for (QTranslator* t : setAside) QCoreApplication::installTranslator(t);
  }
};

TEST_F(InEnglish, EveryWindowSpeaksEnglishAndTheLogKeepsTheProgramsOwnWords) {
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}), {kRun2, kRun1});
  world.Start(QStringLiteral("daily"));
  QarnoWindow& w = *world.w;
  Module1& m = world.m();
  const DriveTable& drives = world.program->fs->drives();
  MainControls ui(w);

  QStringList japanese = JapaneseTexts(w);
  QTest::mouseClick(ui.Change, Qt::LeftButton);  // the skip list's label and tips
  japanese += JapaneseTexts(w);
  auto look = [&](QWidget& window) {
    window.show();
    QTest::qWait(20);
    japanese += JapaneseTexts(window);
    window.close();
  };
  {
    FSetting d(m, &w);
    look(d);
  }
  {
    FNoCompType d(m, &w);
    look(d);
  }
  {
    GetSetName d(m, &w, false);
    look(d);
  }
  {
    FDelSetName d(*world.program->main, &w);
    look(d);
  }
  {
    FSetDir d(m, &w);
    look(d);
  }
  for (int tag : {0, 1}) {
    for (bool saveList : {true, false}) {
      FApend d(m, drives, &w, tag, saveList, tag == 1 ? 0 : -1, {});
      look(d);
    }
    GetSaveDir d(m, drives, &w, tag, QStringLiteral("Qarno"), QStringLiteral("T:\\dst"));
    look(d);
  }
  {
    FDelHisData d(*world.program->main, &w);
    look(d);
  }
  {
    w.SelectHistoryRow(1);
    FEditHisData d(w);
    look(d);
  }
  {
    FDelAgree d(&w);
    look(d);
  }
  {
    FShutdown d(m, &w);
    d.Timer1->stop();
    japanese += JapaneseTexts(d);
  }
  {
    SaveExecWindow d(w, [] {});
    japanese += JapaneseTexts(d);
  }
  {
    w.SelectHistoryRow(1);
    FRestoreWindow d(w, [] {});
    japanese += JapaneseTexts(d);
  }
  {
    FVerify d(w, 1);
    japanese += JapaneseTexts(d);
  }
  EXPECT_TRUE(japanese.isEmpty()) << japanese.join(u'\n').toStdString();

  // A message the main window composes: English on the screen, Japanese in the log.
  ui.SList->clearSelection();
  world.env.ui.Expect(Question::NoItemSelected, Answer::OK);
  QTest::mouseClick(ui.Modify, Qt::LeftButton);
  const Message said = world.env.ui.Shown(Question::NoItemSelected).value(0);
  EXPECT_EQ(said.Shown(), QStringLiteral("No item is selected."));
  EXPECT_EQ(said.text, QStringLiteral("項目が選択されていません。"));

  // Qt's standard buttons of a message box.
  QtPrompter prompter;
  QStringList buttons;
  QTimer::singleShot(20, [&buttons] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* b : box->buttons()) buttons += b->text().remove(u'&');
    QTest::keyClick(box, Qt::Key_Escape);
  });
  prompter.MsgBox(Question::SaveChangedSet, QStringLiteral("Qarno  daily"), QStringLiteral("x"), Buttons::YesNoCancel);
  buttons.sort();
  EXPECT_EQ(buttons, (QStringList{QStringLiteral("Cancel"), QStringLiteral("No"), QStringLiteral("Yes")}));
}

}  // namespace
}  // namespace qarno::test
