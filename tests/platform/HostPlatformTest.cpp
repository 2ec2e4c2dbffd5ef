// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostPlatform.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qarno {
namespace {

using test::TestEnv;

const DirEntry* Find(const std::vector<DirEntry>& v, const QString& name) {
  for (const DirEntry& e : v)
    if (e.name == name) return &e;
  return nullptr;
}

TEST(HostPlatform, ListingMapsAttributesTheSameWayEveryTime) {
  TestEnv env;
  env.WriteFile(QStringLiteral("T:\\d\\plain.txt"), "abc");
  env.WriteFile(QStringLiteral("T:\\d\\.hidden"), "x");
  env.WriteFile(QStringLiteral("T:\\d\\ro.txt"), "r");
  ::chmod(QFile::encodeName(env.Host(QStringLiteral("T:\\d\\ro.txt"))).constData(), 0444);
  env.MakeDir(QStringLiteral("T:\\d\\sub"));
  ::mkfifo(QFile::encodeName(env.Host(QStringLiteral("T:\\d\\fifo"))).constData(), 0644);
  ::symlink("plain.txt", QFile::encodeName(env.Host(QStringLiteral("T:\\d\\link.txt"))).constData());
  ::symlink("sub", QFile::encodeName(env.Host(QStringLiteral("T:\\d\\linkdir"))).constData());
  ::symlink("nowhere", QFile::encodeName(env.Host(QStringLiteral("T:\\d\\dangling"))).constData());

  auto list = env.fs.List(QStringLiteral("T:\\d\\*.*"));
  ASSERT_TRUE(list);
  EXPECT_EQ(list->size(), 6u);  // no fifo, no dangling link, no . or ..
  const DirEntry* plain = Find(*list, QStringLiteral("plain.txt"));
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->attributes, attr::Archive);
  EXPECT_EQ(plain->size, 3);
  EXPECT_FALSE(plain->isDirectory);
  EXPECT_EQ(Find(*list, QStringLiteral(".hidden"))->attributes, attr::Archive | attr::Hidden);
  EXPECT_EQ(Find(*list, QStringLiteral("ro.txt"))->attributes, attr::Archive | attr::ReadOnly);
  EXPECT_EQ(Find(*list, QStringLiteral("sub"))->attributes, attr::Directory);
  EXPECT_TRUE(Find(*list, QStringLiteral("sub"))->isDirectory);
  // A link to a file is the file; a link to a directory is a directory never entered.
  EXPECT_EQ(Find(*list, QStringLiteral("link.txt"))->size, 3);
  EXPECT_EQ(Find(*list, QStringLiteral("linkdir"))->attributes, attr::Directory);
  EXPECT_FALSE(Find(*list, QStringLiteral("linkdir"))->isDirectory);
  EXPECT_FALSE(Find(*list, QStringLiteral("fifo")));
}

TEST(HostPlatform, PatternsMatchWithoutCaseAndPlainNamesExactly) {
  TestEnv env;
  env.WriteFile(QStringLiteral("T:\\p\\a.DOC"), "1");
  env.WriteFile(QStringLiteral("T:\\p\\b.doc"), "2");
  env.WriteFile(QStringLiteral("T:\\p\\c.txt"), "3");
  env.WriteFile(QStringLiteral("T:\\p\\README"), "4");
  EXPECT_EQ(env.fs.List(QStringLiteral("T:\\p\\*.doc"))->size(), 2u);
  EXPECT_EQ(env.fs.List(QStringLiteral("T:\\p\\c.txt"))->size(), 1u);
  EXPECT_EQ(env.fs.List(QStringLiteral("T:\\p\\C.TXT"))->size(), 0u);
  EXPECT_EQ(env.fs.List(QStringLiteral("T:\\p\\?.txt"))->size(), 1u);
  EXPECT_EQ(env.fs.List(QStringLiteral("T:\\p\\*.*"))->size(), 4u);
  EXPECT_FALSE(env.fs.List(QStringLiteral("T:\\missing\\*.*")));
  EXPECT_FALSE(env.fs.List(QStringLiteral("Q:\\*.*")));
  EXPECT_TRUE(MatchesNamePattern(QStringLiteral("README"), QStringLiteral("READ*.*")));
  EXPECT_FALSE(MatchesNamePattern(QStringLiteral("abc"), QStringLiteral("*d")));
}

TEST(HostPlatform, CopyOverwritesAndKeepsTimeAndPermissions) {
  TestEnv env;
  const QDateTime when(QDate(2001, 2, 3), QTime(4, 5, 6));
  env.WriteFile(QStringLiteral("T:\\s\\f.bin"), QByteArray(200000, 'x'), when);
  ::chmod(QFile::encodeName(env.Host(QStringLiteral("T:\\s\\f.bin"))).constData(), 0440);
  env.WriteFile(QStringLiteral("T:\\d\\f.bin"), "old");
  ::chmod(QFile::encodeName(env.Host(QStringLiteral("T:\\d\\f.bin"))).constData(), 0444);
  ASSERT_TRUE(env.fs.CopyFile(QStringLiteral("T:\\s\\f.bin"), QStringLiteral("T:\\d\\f.bin")));
  EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\d\\f.bin")), QByteArray(200000, 'x'));
  EXPECT_EQ(*env.fs.FileTime(QStringLiteral("T:\\d\\f.bin")), when.toSecsSinceEpoch());
  struct stat st;
  ::stat(QFile::encodeName(env.Host(QStringLiteral("T:\\d\\f.bin"))).constData(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0440u);
  EXPECT_FALSE(env.fs.CopyFile(QStringLiteral("T:\\s\\none"), QStringLiteral("T:\\d\\x")));
  EXPECT_FALSE(env.fs.CopyFile(QStringLiteral("T:\\s"), QStringLiteral("T:\\d\\x")));
}

TEST(HostPlatform, CopyIntoTheCurrentFolderReportsWhatWasCopied) {
  TestEnv env;
  const QDateTime when(QDate(2002, 3, 4), QTime(5, 6, 7));
  env.WriteFile(QStringLiteral("T:\\s\\f.txt"), "content", when);
  env.MakeDir(QStringLiteral("T:\\d"));
  env.MakeDir(QStringLiteral("T:\\other"));
  ASSERT_TRUE(env.fs.SetCurrentDir(QStringLiteral("T:\\d")));
  const CopyResult info = env.fs.Copy(QStringLiteral("T:\\s\\f.txt"), QStringLiteral("T:\\d\\g.txt"));
  ASSERT_TRUE(info);
  EXPECT_EQ(info.source.size, 7);
  EXPECT_EQ(info.source.mtime, when.toSecsSinceEpoch());
  EXPECT_EQ(info.source.attributes, attr::Archive);
  EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\d\\g.txt")), QByteArray("content"));
  // Elsewhere than the current folder, and after the current folder is gone.
  ASSERT_TRUE(env.fs.Copy(QStringLiteral("T:\\s\\f.txt"), QStringLiteral("T:\\other\\g.txt")));
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\d\\other")));
  EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\other\\g.txt")), QByteArray("content"));
  QDir(env.Host(QStringLiteral("T:\\d"))).removeRecursively();
  env.MakeDir(QStringLiteral("T:\\d"));
  ASSERT_TRUE(env.fs.Copy(QStringLiteral("T:\\s\\f.txt"), QStringLiteral("T:\\d\\h.txt")));
  EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\d\\h.txt")), QByteArray("content"));
  EXPECT_FALSE(env.fs.Copy(QStringLiteral("T:\\s\\missing"), QStringLiteral("T:\\d\\x")));
}

TEST(HostPlatform, FileOperationsBehaveAsOnWindows) {
  TestEnv env;
  env.WriteFile(QStringLiteral("T:\\a.txt"), "a");
  env.WriteFile(QStringLiteral("T:\\b.txt"), "b");
  EXPECT_FALSE(env.fs.Rename(QStringLiteral("T:\\a.txt"), QStringLiteral("T:\\b.txt")));  // never replaces
  EXPECT_TRUE(env.fs.Rename(QStringLiteral("T:\\a.txt"), QStringLiteral("T:\\c.txt")));
  EXPECT_TRUE(env.fs.SetAttr(QStringLiteral("T:\\c.txt"), attr::ReadOnly | attr::Archive));
  EXPECT_EQ(*env.fs.GetAttr(QStringLiteral("T:\\c.txt")), attr::ReadOnly | attr::Archive);
  EXPECT_TRUE(env.fs.SetAttr(QStringLiteral("T:\\c.txt"), attr::Normal));
  EXPECT_EQ(*env.fs.GetAttr(QStringLiteral("T:\\c.txt")), attr::Archive);
  EXPECT_EQ(*env.fs.FileLen(QStringLiteral("T:\\c.txt")), 1);
  EXPECT_EQ(*env.fs.FileLen(QStringLiteral("T:\\")), 0);
  EXPECT_FALSE(env.fs.FileLen(QStringLiteral("T:\\none")));
  EXPECT_TRUE(env.fs.MkDir(QStringLiteral("T:\\x")));
  EXPECT_FALSE(env.fs.Kill(QStringLiteral("T:\\x")));  // a directory is not a file
  EXPECT_TRUE(env.fs.SetCurrentDir(QStringLiteral("T:\\x")));
  EXPECT_EQ(env.fs.CurrentDir(), QStringLiteral("T:\\x"));
  EXPECT_FALSE(env.fs.SetCurrentDir(QStringLiteral("T:\\c.txt")));
  EXPECT_TRUE(env.fs.RmDir(QStringLiteral("T:\\x")));
  EXPECT_TRUE(env.fs.Kill(QStringLiteral("T:\\c.txt")));
  EXPECT_TRUE(env.fs.WriteAtomic(QStringLiteral("T:\\w.txt"), "one"));
  EXPECT_TRUE(env.fs.WriteAtomic(QStringLiteral("T:\\w.txt"), "two"));
  EXPECT_TRUE(env.fs.Append(QStringLiteral("T:\\w.txt"), "+"));
  EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\w.txt")), QByteArray("two+"));
  EXPECT_FALSE(env.fs.WriteAtomic(QStringLiteral("T:\\nodir\\w.txt"), "x"));
}

TEST(HostPlatform, VolumesOfMappedDrivesAnswerAndUnmappedOnesDoNot) {
  TestEnv env;
  EXPECT_TRUE(env.fs.VolumeOf(QStringLiteral("T:\\")));
  EXPECT_NE(env.fs.DriveTypeOf(QStringLiteral("T:\\")), DriveType::NoRootDir);
  auto space = env.fs.FreeSpaceOf(QStringLiteral("T:\\"));
  ASSERT_TRUE(space);
  EXPECT_GT(space->bytesPerSector * space->sectorsPerCluster, 0u);
  EXPECT_FALSE(env.fs.VolumeOf(QStringLiteral("Q:\\")));
  EXPECT_EQ(env.fs.DriveTypeOf(QStringLiteral("Q:\\")), DriveType::NoRootDir);
  EXPECT_FALSE(env.fs.FreeSpaceOf(QStringLiteral("Q:\\")));
}

}  // namespace
}  // namespace qarno
