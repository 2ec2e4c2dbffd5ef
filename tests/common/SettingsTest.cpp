// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Settings.h"
#include "support/TestEnv.h"

#include <QFile>
#include <gtest/gtest.h>

namespace qarno {
namespace {

using test::TestEnv;

TEST(Settings, FirstStartGivesTheDefaults) {
  TestEnv env;
  auto store = OpenSettingsStore();
  EXPECT_TRUE(store->fileName().startsWith(env.root()));
  Settings st;
  BackupSet set;
  LoadSettings(*store, QStringLiteral("1.10"), st, set);
  EXPECT_EQ(st.Top, 0);
  EXPECT_EQ(st.Left, 0);
  EXPECT_EQ(st.Width, 8400);
  EXPECT_EQ(st.Height, 6700);
  EXPECT_EQ(set.SaveLevel, Level::Level2);
  EXPECT_EQ(set.options.ComplexTypeMode, 1);
  EXPECT_EQ(set.options.ComplexSettingMode, 1);
  EXPECT_EQ(set.options.ChkVolSer, 1);
  EXPECT_EQ(set.options.RsvSizeChk, 1);
  EXPECT_EQ(set.options.RsvSize, 50);
  EXPECT_EQ(set.options.DElErrFile, 1);
  EXPECT_EQ(set.options.CalUseSize, 1);
  EXPECT_EQ(set.options.LockFile, 0);
  EXPECT_EQ(set.options.PathLen, 100);
  EXPECT_EQ(set.options.RestoreHomeDir, QStringLiteral("C:\\tmp"));
  EXPECT_EQ(st.SetDirName, QStringLiteral("SetDir"));
  EXPECT_EQ(st.Version, QStringLiteral("1.10"));
  EXPECT_EQ(st.positions[QStringLiteral("FDelHisDataHeight")], QStringLiteral("5000"));
  EXPECT_EQ(st.positions[QStringLiteral("SaveDirWidth")], QStringLiteral("4500"));
}

TEST(Settings, ValuesRoundTripUnderTheirExactKeysAndTheDirectorySizeStaysFixed) {
  TestEnv env;
  {
    auto store = OpenSettingsStore();
    Settings st;
    BackupSet set;
    set.Name = QStringLiteral("日次");
    set.SaveLevel = Level::Overwrite;
    set.options.ComplexTypeMode = 0;
    set.options.ComplexSettingMode = 0;
    set.options.LockFile = 1;
    st.positions[QStringLiteral("SaveDirHeight")] = QStringLiteral("9999");
    st.positions[QStringLiteral("FDelHisDataHeight")] = QString();
    st.Width = 9000;
    SaveSettings(*store, st, set);
  }
  QFile f(SettingsStorePath());
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray ini = f.readAll();
  EXPECT_TRUE(ini.contains("ResentFile="));
  EXPECT_TRUE(ini.contains("ComlexSetting=0"));
  EXPECT_TRUE(ini.contains("ComplexType=0"));
  EXPECT_FALSE(ini.contains("SaveDirHeight"));

  auto store = OpenSettingsStore();
  Settings st;
  BackupSet set;
  LoadSettings(*store, QStringLiteral("1.10"), st, set);
  EXPECT_EQ(set.Name, QStringLiteral("日次"));
  EXPECT_EQ(set.SaveLevel, Level::Overwrite);
  EXPECT_EQ(set.options.ComplexTypeMode, 0);
  EXPECT_EQ(set.options.ComplexSettingMode, 0);
  EXPECT_EQ(set.options.LockFile, 1);
  EXPECT_EQ(st.Width, 9000);
  EXPECT_EQ(st.positions[QStringLiteral("SaveDirHeight")], QStringLiteral("4000"));
  EXPECT_EQ(st.positions[QStringLiteral("FDelHisDataHeight")], QStringLiteral("3900"));  // fix-up
}

TEST(Settings, NotifyIsOnUnlessTurnedOffAndANonsenseValueKeepsIt) {
  TestEnv env;
  auto store = OpenSettingsStore();
  Settings st;
  BackupSet set;
  LoadSettings(*store, QStringLiteral("1.10"), st, set);
  EXPECT_EQ(st.Notify, 1);
  store->setValue(QStringLiteral("Startup Setting/Notify"), QStringLiteral("0"));
  LoadSettings(*store, QStringLiteral("1.10"), st, set);
  EXPECT_EQ(st.Notify, 0);
  Settings fresh;
  store->setValue(QStringLiteral("Startup Setting/Notify"), QStringLiteral("ja"));
  LoadSettings(*store, QStringLiteral("1.10"), fresh, set);
  EXPECT_EQ(fresh.Notify, 1);
  // Written back at exit, so that the key can be found in the file.
  st.Notify = 0;
  SaveSettings(*store, st, set);
  EXPECT_EQ(store->value(QStringLiteral("Startup Setting/Notify")).toString(), QStringLiteral("0"));
}

TEST(Settings, DriveTableComesFromTheDrivesSection) {
  TestEnv env;
  auto store = OpenSettingsStore();
  store->setValue(QStringLiteral("Drives/d"), QStringLiteral("/media/usb"));
  store->setValue(QStringLiteral("Drives/C"), QStringLiteral("/srv/c"));
  store->setValue(QStringLiteral("Drives/XY"), QStringLiteral("/nonsense"));
  const DriveTable t = LoadDriveTable(*store);
  EXPECT_EQ(t.ToHost(QStringLiteral("D:\\x")), QStringLiteral("/media/usb/x"));
  EXPECT_EQ(t.ToHost(QStringLiteral("C:\\x")), QStringLiteral("/srv/c/x"));
  EXPECT_FALSE(t.ToHost(QStringLiteral("E:\\x")));
}

}  // namespace
}  // namespace qarno
