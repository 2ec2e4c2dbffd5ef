// SPDX-License-Identifier: GPL-3.0-or-later
// The days before the stale warning in the settings dialog: into the set and its file, back
// into the dialog after a restart, and text that is no such number refused with the dialog
// kept open.
#include "maintenance/windows/SettingDialogs.h"
#include "mainwin/windows/DesktopWindows.h"
#include "mainwin/windows/WindowWorld.h"

#include <QFile>
#include <gtest/gtest.h>

namespace qarno::test {
namespace {

QString SetFileText(const WindowWorld& world) {
  QFile f(world.SetFile(QStringLiteral("daily")));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  return QString::fromUtf8(f.readAll());
}

TEST(StaleSetting, TheDaysGoIntoTheSetFileAndComeBackAndBadTextIsRefused) {
  WindowWorld world;
  world.WriteSet(QStringLiteral("daily"), PlainSet(QStringLiteral("T:\\dst"), {QStringLiteral("T:\\src")}));
  world.Start(QStringLiteral("daily"));
  ScriptedPrompter& ui = world.env.ui;

  OnDialog<FSetting>(QStringLiteral("FSetting"), [&](FSetting& d) {
    EXPECT_EQ(d.TStaleDays->text(), QStringLiteral("0"));  // off
    EXPECT_TRUE(d.TStaleDays->isEnabled());
    d.TStaleDays->setText(QStringLiteral(" 14 "));
    QTest::mouseClick(d.OK, Qt::LeftButton);
  });
  DesktopWindows().OpenSetting(*world.w);
  EXPECT_EQ(world.m().set.StaleDays, 14);
  EXPECT_TRUE(world.m().SetModified);  // kept in the set file: the set has changed
  ASSERT_TRUE(world.program->main->WriteSetFile());
  EXPECT_TRUE(SetFileText(world).contains(QStringLiteral("#StaleDays=14\r\n")));

  world.Restart(QStringLiteral("daily"));
  EXPECT_EQ(world.m().set.StaleDays, 14);
  EXPECT_FALSE(world.m().SetModified);
  OnDialog<FSetting>(QStringLiteral("FSetting"), [&](FSetting& d) {
    EXPECT_EQ(d.TStaleDays->text(), QStringLiteral("14"));
    for (const char* bad : {"abc", "-1", "+3", "7.5", "36501", "99999999999999999999", "3 日"}) {
      SCOPED_TRACE(bad);
      d.TStaleDays->setText(QString::fromUtf8(bad));
      ui.Expect(Question::OptionNumberInvalid, Answer::OK,
                QString::fromUtf8(bad) +
                    QStringLiteral("\r警告までの日数は 0 から 36500 までの整数で指定してください（0 または空欄で警告しません）。"
                                   "元の値に戻しました。"));
      QTest::mouseClick(d.OK, Qt::LeftButton);
      EXPECT_TRUE(d.isVisible());
      EXPECT_EQ(d.TStaleDays->text(), QStringLiteral("14"));  // the value it had
      EXPECT_EQ(world.m().set.StaleDays, 14);
      EXPECT_FALSE(world.m().SetModified);
    }
    // The same number again changes nothing.
    QTest::mouseClick(d.OK, Qt::LeftButton);
  });
  EXPECT_FALSE(DesktopWindows().OpenSetting(*world.w));
  EXPECT_TRUE(ui.Exhausted());
  EXPECT_FALSE(world.m().SetModified);

  // The largest limit is taken; a blank box switches the warning off, and the set file
  // loses its line.
  OnDialog<FSetting>(QStringLiteral("FSetting"), [&](FSetting& d) {
    d.TStaleDays->setText(QStringLiteral("36500"));
    QTest::mouseClick(d.OK, Qt::LeftButton);
  });
  DesktopWindows().OpenSetting(*world.w);
  EXPECT_EQ(world.m().set.StaleDays, 36500);
  OnDialog<FSetting>(QStringLiteral("FSetting"), [&](FSetting& d) {
    d.TStaleDays->clear();
    QTest::mouseClick(d.OK, Qt::LeftButton);
  });
  DesktopWindows().OpenSetting(*world.w);
  EXPECT_EQ(world.m().set.StaleDays, 0);
  EXPECT_TRUE(world.m().SetModified);
  ASSERT_TRUE(world.program->main->WriteSetFile());
  EXPECT_FALSE(SetFileText(world).contains(QStringLiteral("StaleDays")));
}

}  // namespace
}  // namespace qarno::test
