// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QarnoConsole.h"
#include "mainwin/Qarno.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

using test::TestEnv;

TEST(CommandLine, GetNextArgHonoursBothQuotes) {
  QString text = QStringLiteral("\"my set\" /L1  'a b' plain \"open");
  QString arg;
  ASSERT_TRUE(Qarno::GetNextArg(text, arg));
  EXPECT_EQ(arg, QStringLiteral("my set"));
  ASSERT_TRUE(Qarno::GetNextArg(text, arg));
  EXPECT_EQ(arg, QStringLiteral("/L1"));
  ASSERT_TRUE(Qarno::GetNextArg(text, arg));
  EXPECT_EQ(arg, QStringLiteral("a b"));
  ASSERT_TRUE(Qarno::GetNextArg(text, arg));
  EXPECT_EQ(arg, QStringLiteral("plain"));
  ASSERT_TRUE(Qarno::GetNextArg(text, arg));
  EXPECT_EQ(arg, QStringLiteral("open"));
  EXPECT_FALSE(Qarno::GetNextArg(text, arg));
}

TEST(CommandLine, SwitchesSetTheirValuesAndIgnoreNonsense) {
  TestEnv env;
  Qarno q(*env.m);
  Module1& m = *env.m;
  q.ReadCommandLine(QStringLiteral("  daily /l1 /B2 /c0 /W1 /D2 /X5  "));
  EXPECT_EQ(m.set.Name, QStringLiteral("daily"));
  EXPECT_EQ(m.set.SaveLevel, Level::Level1);
  EXPECT_EQ(m.AutoRunMode.mode, 2);
  EXPECT_EQ(m.set.options.ComplexTypeMode, 0);
  EXPECT_EQ(q.windowState, 1);
  EXPECT_EQ(m.DebugMode, 2);
  EXPECT_FALSE(m.ShutdownAfterRun);

  q.ReadCommandLine(QStringLiteral("/L9 /Lx /C7 /W5"));
  EXPECT_EQ(m.set.SaveLevel, Level::Level1);
  EXPECT_EQ(m.set.options.ComplexTypeMode, 0);
  EXPECT_EQ(q.windowState, 1);
  EXPECT_EQ(m.AutoRunMode.mode, -1);  // reset at every reading

  q.ReadCommandLine(QStringLiteral("/S"));
  EXPECT_TRUE(m.ShutdownAfterRun);
  EXPECT_EQ(m.AutoRunMode.mode, 1);
  q.ReadCommandLine(QStringLiteral("/B /D"));
  EXPECT_EQ(m.AutoRunMode.mode, 0);  // an unreadable number counts as 0
  q.ReadCommandLine(QStringLiteral("/B3.6 /L2.4"));
  EXPECT_EQ(m.AutoRunMode.mode, 4);
  EXPECT_EQ(m.set.SaveLevel, Level::Level2);
  EXPECT_EQ(JoinCommandLine({"my set", "/B1"}), QStringLiteral("\"my set\" /B1"));
}

TEST(CommandLine, StartUpAppliesTheCommandLineOverTheSetFile) {
  TestEnv env;
  Module1& m = *env.m;
  env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrn"), "#Version 1.10\r\ndir=T:\\dst\r\n#SaveLevel=2\r\nT:\\src\r\n");
  env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrl"),
                "#Version 1.10\r\nqrn20010101_00,Level-0,1,T:\\dst,0000-0000,,0,2001/01/01 00:00:00,00:00:01,\"\",0\r\n");
  auto store = OpenSettingsStore();
  Qarno q(m);
  q.store = store.get();
  q.Form_Load(QStringLiteral("daily /l1 /B1"));
  EXPECT_TRUE(q.setLoaded);
  EXPECT_EQ(m.SetFolder, QStringLiteral("T:\\prog\\SetDir"));
  EXPECT_EQ(m.set.SaveLevel, Level::Level1);  // the set file made it Level-2; the command line wins
  EXPECT_EQ(m.AutoRunMode.mode, 1);
  EXPECT_FALSE(m.SetModified);

  // A set that cannot be loaded never starts an automatic run.
  Qarno q2(m);
  q2.store = store.get();
  env.ui.Expect(Question::SetFileMissing, Answer::OK, QStringLiteral("セットファイルがありません。"));
  q2.Form_Load(QStringLiteral("other /B2"));
  EXPECT_FALSE(q2.setLoaded);
  EXPECT_EQ(m.AutoRunMode.mode, -1);
}

}  // namespace
}  // namespace qarno
