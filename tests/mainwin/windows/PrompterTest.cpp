// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt prompter: the message box's icon, title, text and buttons, in Japanese.
#include "mainwin/windows/QtPrompter.h"
#include "platform/Language.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace qarno {
namespace {

struct BoxSeen {
  QString title, text, defaultText;
  QStringList buttons;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

TEST(QtPrompter, ShowsTheMessageWithJapaneseButtonsTheFirstAsDefaultAndEscapeAsCancelOrNo) {
  InstallUiLanguage(*qApp, UiLanguage::Japanese);
  QtPrompter ui;
  BoxSeen* seen = nullptr;
  auto capture = [&](int key) {
    seen = new BoxSeen;
    QTimer::singleShot(20, [seen, key] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      seen->title = box->windowTitle();
      seen->text = box->text();
      seen->icon = box->icon();
      seen->defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
      for (QAbstractButton* b : box->buttons()) seen->buttons += b->text();
      QTest::keyClick(box, static_cast<Qt::Key>(key));
    });
  };
  capture(Qt::Key_Escape);
  EXPECT_EQ(ui.MsgBox(Question::SaveChangedSet, QStringLiteral("Qarno  daily"),
                      QStringLiteral("（daily）は変更されています。\r保存しますか？"), Buttons::YesNoCancel),
            Answer::Cancel);
  EXPECT_EQ(seen->title, QStringLiteral("Qarno  daily"));
  EXPECT_EQ(seen->text, QStringLiteral("（daily）は変更されています。\n保存しますか？"));
  EXPECT_EQ(seen->icon, QMessageBox::Warning);
  EXPECT_TRUE(seen->defaultText.startsWith(QStringLiteral("はい"))) << seen->defaultText.toStdString();
  EXPECT_TRUE(seen->buttons.join(u' ').contains(QStringLiteral("キャンセル")));
  delete seen;

  capture(Qt::Key_Escape);
  EXPECT_EQ(ui.MsgBox(Question::OverwriteSet, QStringLiteral("t"), QStringLiteral("a\r\nb"), Buttons::YesNo), Answer::No);
  EXPECT_EQ(seen->text, QStringLiteral("a\nb"));
  EXPECT_TRUE(seen->buttons.join(u' ').contains(QStringLiteral("いいえ")));
  delete seen;

  capture(Qt::Key_Return);  // Enter takes the default, the first button
  EXPECT_EQ(ui.MsgBox(Question::CannotRestore, QStringLiteral("t"), QStringLiteral("x"), Buttons::AbortRetryIgnore),
            Answer::Abort);
  EXPECT_TRUE(seen->buttons.join(u' ').contains(QStringLiteral("中止")));
  EXPECT_TRUE(seen->buttons.join(u' ').contains(QStringLiteral("再試行")));
  EXPECT_TRUE(seen->buttons.join(u' ').contains(QStringLiteral("無視")));
  delete seen;

  capture(Qt::Key_Escape);
  EXPECT_EQ(ui.MsgBox(Question::ProgramVersionInfo, QStringLiteral("t"), QStringLiteral("Qarno Version 1.10"),
                      Buttons::OK, Icon::Information),
            Answer::OK);
  EXPECT_EQ(seen->icon, QMessageBox::Information);
  delete seen;
}

// /B2 on a desktop: the run window shows, but no question may wait for a click; once the run
// is attended again (a failed set-file write stops the automatic run) the boxes come back.
TEST(QtPrompter, AnUnattendedRunAnswersWithoutABoxAndLogsTheQuestion) {
  QtPrompter ui;
  bool unattended = true;
  QStringList logged;
  ui.SetUnattended([&] { return unattended; }, [&](const QString& line) { logged += line; });
  bool boxShown = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      boxShown = true;
      QTest::keyClick(box, Qt::Key_Escape);
    }
  });
  watch.start(10);
  EXPECT_EQ(ui.MsgBox(Question::ReserveShort, QStringLiteral("t"), QStringLiteral("F:\\\r残量"), Buttons::YesNo),
            Answer::No);
  EXPECT_EQ(ui.MsgBox(Question::SwapMedium, QStringLiteral("t"), QStringLiteral("x"), Buttons::OKCancel),
            Answer::Cancel);
  EXPECT_FALSE(boxShown);
  ASSERT_EQ(logged.size(), 2);
  EXPECT_EQ(logged[0], QStringLiteral("F:\\ / 残量 -> No"));

  unattended = false;
  EXPECT_EQ(ui.MsgBox(Question::SwapMedium, QStringLiteral("t"), QStringLiteral("x"), Buttons::OKCancel),
            Answer::Cancel);
  EXPECT_TRUE(boxShown);
  EXPECT_EQ(logged.size(), 2);
}

TEST(QtPrompter, YieldsTurnTheEventLoopEveryFewMillisecondsAndCallTheHookEveryTime) {
  QtPrompter ui;
  QObject receiver;
  int hooks = 0, turns = 0;
  bool pending = false;
  // One event always waits; each turn of the loop takes it and the next yield posts another.
  auto post = [&] {
    pending = true;
    QMetaObject::invokeMethod(&receiver, [&] { pending = false; ++turns; }, Qt::QueuedConnection);
  };
  ui.SetOnYield([&] {
    ++hooks;
    if (!pending) post();
  });
  post();
  QElapsedTimer t;
  t.start();
  for (int i = 0; i < 20000; ++i) ui.DoEvents();
  const qint64 ms = t.elapsed();
  EXPECT_EQ(hooks, 20000);
  EXPECT_GE(turns, 1);  // the first yield turns it
  EXPECT_LE(turns, ms / 5 + 2);
  // After a pause the next yield turns it at once: a click lands there.
  QTest::qSleep(10);
  const int before = turns;
  ui.DoEvents();
  EXPECT_EQ(turns, before + 1);
}

}  // namespace
}  // namespace qarno
