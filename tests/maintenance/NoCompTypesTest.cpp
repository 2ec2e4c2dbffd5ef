// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/NoCompTypes.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

using test::TestEnv;

TEST(NoCompTypes, FileRoundTripsInItsQuotedRecordFormat) {
  TestEnv env;
  Module1& m = *env.m;
  m.NoCompTypes = DefaultNoCompTypes();
  WriteNctFile(m);
  EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\prog\\Qarno.nct")),
            QByteArray("\"") + m.ProgramVersion.toUtf8() + "\"\r\n4\r\n\"lzh\"\r\n\"zip\"\r\n\"mp3\"\r\n\"jpg\"\r\n");
  m.NoCompTypes.clear();
  ReadNctFile(m);
  EXPECT_EQ(m.NoCompTypes, DefaultNoCompTypes());
}

TEST(NoCompTypes, OldOrShortFilesReadAsFarAsTheyGo) {
  TestEnv env;
  Module1& m = *env.m;
  env.WriteFile(QStringLiteral("T:\\prog\\Qarno.nct"), "\"1.01\"\r\n1\r\n\"lzh\"\r\n");
  ReadNctFile(m);
  EXPECT_TRUE(m.NoCompTypes.isEmpty());
  env.WriteFile(QStringLiteral("T:\\prog\\Qarno.nct"), "\"1.29\"\r\n3\r\n\"lzh\"\r\n\"zip\"\r\n");
  ReadNctFile(m);
  EXPECT_EQ(m.NoCompTypes, (QStringList{"lzh", "zip"}));
  env.WriteFile(QStringLiteral("T:\\prog\\Qarno.nct"), "\"1.02\",2,\"a\",\"b\"\r\n");
  ReadNctFile(m);
  EXPECT_EQ(m.NoCompTypes, (QStringList{"a", "b"}));
  m.ProgramFolder = QStringLiteral("T:\\missing");
  ReadNctFile(m);
  EXPECT_TRUE(m.NoCompTypes.isEmpty());
  WriteNctFile(m);  // silent failure
}

}  // namespace
}  // namespace qarno
