// SPDX-License-Identifier: GPL-3.0-or-later
// The composition root as the programs use it: start-up and exit of a program run.
#include "app/Program.h"
#include "common/Settings.h"
#include "support/TestEnv.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace qarno::test {
namespace {

TEST(Program, ExitSavesWhatChangedAndTheSettingsOnlyWhenInteractive) {
  TestEnv env;  // its own program folder and settings store
  Program p(env.ui);
  ASSERT_TRUE(p.ok()) << p.error.toStdString();
  p.Form_Load(QString());
  Module1& m = *p.m;
  m.set.Name = QStringLiteral("s");
  m.set.SaveDir = QStringLiteral("C:\\dst");
  m.SetModified = true;
  m.AutoRunMode.mode = 1;
  EXPECT_TRUE(p.Exit());
  EXPECT_TRUE(QFileInfo::exists(env.root() + QStringLiteral("/prog/SetDir/s.qrn")));
  EXPECT_TRUE(QFileInfo::exists(env.root() + QStringLiteral("/prog/Qarno.nct")));
  EXPECT_FALSE(p.store->contains(QStringLiteral("Startup Setting/ResentFile")));
  m.AutoRunMode.mode = -1;
  EXPECT_TRUE(p.Exit());
  EXPECT_EQ(p.store->value(QStringLiteral("Startup Setting/ResentFile")).toString(), QStringLiteral("s"));
}

TEST(Program, StartUpReadsTheTypeListAfterTheSet) {
  TestEnv env;
  env.WriteFile(QStringLiteral("T:\\prog\\Qarno.nct"), "\"1.10\"\r\n2\r\n\"jpg\"\r\n\"zip\"\r\n");
  Program p(env.ui);
  ASSERT_TRUE(p.ok());
  p.Form_Load(QString());
  EXPECT_EQ(p.m->NoCompTypes, (QStringList{QStringLiteral("jpg"), QStringLiteral("zip")}));
}

}  // namespace
}  // namespace qarno::test
