// SPDX-License-Identifier: GPL-3.0-or-later
// Values of the settings store that a hand edit or another program left outside what they
// can mean: each takes its default instead of steering a run somewhere unexpected.
#include "common/Settings.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

using test::TestEnv;

struct Loaded {
  Settings st;
  BackupSet set;
};

Loaded LoadWith(const QList<QPair<QString, QString>>& values) {
  auto store = OpenSettingsStore();
  store->beginGroup(QStringLiteral("Startup Setting"));
  for (const auto& [key, value] : values) store->setValue(key, value);
  store->endGroup();
  Loaded l;
  LoadSettings(*store, QStringLiteral("1.10"), l.st, l.set);
  return l;
}

TEST(SettingsRange, NumbersOutsideTheirRangeTakeTheirDefaults) {
  TestEnv env;
  for (const QString& level : {QStringLiteral("5"), QStringLiteral("-1"), QStringLiteral("32767"), QStringLiteral("4.6"),
                               QStringLiteral("nan"), QStringLiteral("1e300"), QStringLiteral("two")}) {
    EXPECT_EQ(LoadWith({{QStringLiteral("SaveLevel"), level}}).set.SaveLevel, Level::Level2) << level.toStdString();
  }
  EXPECT_EQ(LoadWith({{QStringLiteral("SaveLevel"), QStringLiteral("4")}}).set.SaveLevel, Level::Repair);
  EXPECT_EQ(LoadWith({{QStringLiteral("SaveLevel"), QStringLiteral(" 0 ")}}).set.SaveLevel, Level::Level0);

  const Loaded bad = LoadWith({{QStringLiteral("ComplexType"), QStringLiteral("2")},
                               {QStringLiteral("ComlexSetting"), QStringLiteral("-1")},
                               {QStringLiteral("RestorePosition"), QStringLiteral("7")},
                               {QStringLiteral("ChkVolSer"), QStringLiteral("9")},
                               {QStringLiteral("DelOption"), QStringLiteral("3")},
                               {QStringLiteral("RsvSizeChk"), QStringLiteral("2")},
                               {QStringLiteral("RsvSize"), QStringLiteral("-50")},
                               {QStringLiteral("DElErrFile"), QStringLiteral("5")},
                               {QStringLiteral("LockFile"), QStringLiteral("-1")},
                               {QStringLiteral("PathLenMode"), QStringLiteral("2")},
                               {QStringLiteral("PathLen"), QStringLiteral("0")},
                               {QStringLiteral("CalUseSize"), QStringLiteral("99999")},
                               {QStringLiteral("Height"), QStringLiteral("-10")},
                               {QStringLiteral("Width"), QStringLiteral("inf")},
                               {QStringLiteral("Top"), QStringLiteral("nan")}});
  const RunOptions defaults;
  const RunOptions& o = bad.set.options;
  EXPECT_EQ(o.ComplexTypeMode, defaults.ComplexTypeMode);
  EXPECT_EQ(o.ComplexSettingMode, defaults.ComplexSettingMode);
  EXPECT_EQ(o.RestorePosition, defaults.RestorePosition);
  EXPECT_EQ(o.ChkVolSer, defaults.ChkVolSer);
  EXPECT_EQ(bad.st.DelOption, 0);
  EXPECT_EQ(o.RsvSizeChk, defaults.RsvSizeChk);
  EXPECT_EQ(o.RsvSize, 50);
  EXPECT_EQ(o.DElErrFile, defaults.DElErrFile);
  EXPECT_EQ(o.LockFile, defaults.LockFile);
  EXPECT_EQ(o.PathLenMode, defaults.PathLenMode);
  EXPECT_EQ(o.PathLen, 100);
  EXPECT_EQ(o.CalUseSize, defaults.CalUseSize);
  EXPECT_EQ(bad.st.Height, 6700);
  EXPECT_EQ(bad.st.Width, 8400);
  EXPECT_EQ(bad.st.Top, 0);

  // The edges of each range are values like any other.
  const Loaded edge = LoadWith({{QStringLiteral("RsvSize"), QStringLiteral("0")}, {QStringLiteral("PathLen"), QStringLiteral("1")},
                                {QStringLiteral("RestorePosition"), QStringLiteral("0")}, {QStringLiteral("Top"), QStringLiteral("-300")}});
  EXPECT_EQ(edge.set.options.RsvSize, 0);
  EXPECT_EQ(edge.set.options.PathLen, 1);
  EXPECT_EQ(edge.set.options.RestorePosition, 0);
  EXPECT_EQ(edge.st.Top, -300);
}

TEST(SettingsRange, EmptyTextsTakeTheirDefaults) {
  TestEnv env;
  const Loaded l = LoadWith({{QStringLiteral("RestoreHomeDir"), QString()},
                             {QStringLiteral("SetDirName"), QString()},
                             {QStringLiteral("Version"), QString()},
                             {QStringLiteral("SaveDirHeight"), QString()},
                             {QStringLiteral("FApendWidth"), QString()},
                             {QStringLiteral("NoCompTypeTop"), QString()},
                             {QStringLiteral("FDelHisDataHeight"), QString()},
                             {QStringLiteral("SettingTop"), QStringLiteral("120")}});
  EXPECT_EQ(l.set.options.RestoreHomeDir, QStringLiteral("C:\\tmp"));
  EXPECT_EQ(l.st.SetDirName, QStringLiteral("SetDir"));
  EXPECT_EQ(l.st.Version, QStringLiteral("1.10"));
  EXPECT_EQ(l.st.positions[QStringLiteral("SaveDirHeight")], QStringLiteral("4000"));
  EXPECT_EQ(l.st.positions[QStringLiteral("FApendWidth")], QStringLiteral("4400"));
  EXPECT_EQ(l.st.positions[QStringLiteral("NoCompTypeTop")], QStringLiteral("0"));
  EXPECT_EQ(l.st.positions[QStringLiteral("SettingTop")], QStringLiteral("120"));
  // The history-deletion dialog's own rule for an empty height; a missing one is the default.
  EXPECT_EQ(l.st.positions[QStringLiteral("FDelHisDataHeight")], QStringLiteral("3900"));
  EXPECT_EQ(l.st.positions[QStringLiteral("FDelHisDataWidth")], QStringLiteral("4400"));
}

}  // namespace
}  // namespace qarno
