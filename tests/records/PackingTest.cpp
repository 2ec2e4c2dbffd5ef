// SPDX-License-Identifier: GPL-3.0-or-later
// Packing one file: which types stay unpacked, and the archive made at its place whatever
// the process's current directory is.
#include "platform/ArchiverLibrary.h"
#include "records/LhaPacking.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace qarno::test {
namespace {

TEST(Packing, NoCompressionTypesAreMatchedByTheLastExtension) {
  TestEnv env;
  Module1& m = *env.m;
  m.NoCompTypes = {QStringLiteral("txt"), QStringLiteral("gz")};
  m.set.options.ComplexSettingMode = 0;
  struct Case {
    const char16_t* path;
    bool unpacked;
  };
  const Case cases[] = {
      {u"C:\\A\\B.TXT", true},          // letter case ignored
      {u"C:\\A\\B.TXT.Z", false},       // only the last extension counts
      {u"C:\\A\\B.TXT.GZ", true},
      {u"C:\\A\\README", false},        // no dot: packed
      {u"C:\\V1.0\\README", false},     // a dot in a folder name is no extension
      {u"C:\\A\\B.", false},            // a dot at the end gives no extension
  };
  for (const Case& c : cases) EXPECT_EQ(IsNoCompType(m.set.options.ComplexSettingMode, m.NoCompTypes, QString::fromUtf16(c.path)), c.unpacked) << QString::fromUtf16(c.path).toStdString();
  m.set.options.ComplexSettingMode = 1;  // every type packed
  EXPECT_FALSE(IsNoCompType(m.set.options.ComplexSettingMode, m.NoCompTypes, QStringLiteral("C:\\A\\B.TXT")));
}

TEST(Packing, TheArchiveIsMadeWhereItIsNamedNotInTheCurrentDirectory) {
  TestEnv env;
  LoadedArchiver archiver(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + QStringLiteral("/libunlha32.so"));
  if (!archiver.Load()) GTEST_SKIP() << "archiver library not built beside the tests";
  env.m->archiver = &archiver;
  env.WriteFile(QStringLiteral("T:\\src\\a.txt"), QByteArray(4000, 'a'));
  env.MakeDir(QStringLiteral("T:\\dst\\sub"));
  env.MakeDir(QStringLiteral("T:\\elsewhere"));
  QDir::setCurrent(env.Host(QStringLiteral("T:\\elsewhere")));
  ASSERT_TRUE(SaveLha(env.m->Environment(), QStringLiteral("T:\\src\\a.txt"), QStringLiteral("T:\\dst\\sub\\a.txt.LZH")));
  EXPECT_TRUE(env.Exists(QStringLiteral("T:\\dst\\sub\\a.txt.LZH")));
  EXPECT_TRUE(QDir(env.Host(QStringLiteral("T:\\elsewhere"))).isEmpty());
  // A source that cannot be opened is never handed to the archiver.
  EXPECT_FALSE(SaveLha(env.m->Environment(), QStringLiteral("T:\\src\\missing.txt"), QStringLiteral("T:\\dst\\sub\\m.LZH")));
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\dst\\sub\\m.LZH")));
}

}  // namespace
}  // namespace qarno::test
