// SPDX-License-Identifier: GPL-3.0-or-later
// The platform's writes: a copy opens its source first and replaces a target only whole; no
// link below the write anchor is followed; special files never block a read.
#include "platform/HostPlatform.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qarno::test {
namespace {

QByteArray N(const QString& host) { return QFile::encodeName(host); }

TEST(SafeCopy, ACopyOntoItsOwnSourceIsRefusedAndTheSourceStays) {
  TestEnv env;
  env.WriteFile(QStringLiteral("T:\\a\\f.txt"), "precious");
  ASSERT_EQ(::link(N(env.Host(QStringLiteral("T:\\a\\f.txt"))).constData(), N(env.Host(QStringLiteral("T:\\a\\hard.txt"))).constData()), 0);
  const CopyResult same = env.fs.Copy(QStringLiteral("T:\\a\\f.txt"), QStringLiteral("T:\\a\\f.txt"));
  EXPECT_EQ(same.error, FsError::NotRegular);
  const CopyResult hard = env.fs.Copy(QStringLiteral("T:\\a\\f.txt"), QStringLiteral("T:\\a\\hard.txt"));
  EXPECT_EQ(hard.error, FsError::NotRegular);
  EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\a\\f.txt")), QByteArray("precious"));
}

TEST(SafeCopy, ASourceThatEndsEarlyFailsAndTheOldTargetStays) {
  TestEnv env;
  env.WriteFile(QStringLiteral("T:\\s\\big"), QByteArray(10000, 'n'));
  env.WriteFile(QStringLiteral("T:\\d\\big"), "the earlier copy");
  CopyOptions slow;
  slow.chunk = 1000;
  int chunks = 0;
  slow.onChunk = [&] {
    if (++chunks == 2) ::truncate(N(env.Host(QStringLiteral("T:\\s\\big"))).constData(), 1500);
    return true;
  };
  const CopyResult r = env.fs.Copy(QStringLiteral("T:\\s\\big"), QStringLiteral("T:\\d\\big"), slow);
  EXPECT_FALSE(r);
  EXPECT_TRUE(r.sourceFailed);
  EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\d\\big")), QByteArray("the earlier copy"));
  EXPECT_EQ(QDir(env.Host(QStringLiteral("T:\\d"))).entryList(QDir::Files | QDir::Hidden).size(), 1);  // no leftovers
  // A copy stopped by its caller leaves nothing new either.
  slow.onChunk = [] { return false; };
  EXPECT_FALSE(env.fs.Copy(QStringLiteral("T:\\s\\big"), QStringLiteral("T:\\d\\new"), slow));
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\d\\new")));
}

TEST(SafeCopy, MissingUnreadableAndSpecialSourcesSayWhy) {
  TestEnv env;
  env.MakeDir(QStringLiteral("T:\\d"));
  const CopyResult missing = env.fs.Copy(QStringLiteral("T:\\s\\none"), QStringLiteral("T:\\d\\x"));
  EXPECT_EQ(missing.error, FsError::NotFound);
  EXPECT_TRUE(missing.sourceFailed);
  ::mkfifo(N(env.Host(QStringLiteral("T:\\d\\pipe"))).constData(), 0644);
  const CopyResult pipe = env.fs.Copy(QStringLiteral("T:\\d\\pipe"), QStringLiteral("T:\\d\\x"));  // never blocks
  EXPECT_EQ(pipe.error, FsError::NotRegular);
  EXPECT_FALSE(env.fs.ReadAll(QStringLiteral("T:\\d\\pipe")));
  EXPECT_FALSE(env.fs.Open(QStringLiteral("T:\\d\\pipe"), QIODevice::ReadOnly));
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\d\\x")));
  if (::geteuid() != 0) {
    env.WriteFile(QStringLiteral("T:\\s\\locked"), "x");
    ::chmod(N(env.Host(QStringLiteral("T:\\s\\locked"))).constData(), 0);
    EXPECT_EQ(env.fs.Copy(QStringLiteral("T:\\s\\locked"), QStringLiteral("T:\\d\\x")).error, FsError::AccessDenied);
  }
}

TEST(SafeCopy, CopiesNeverKeepSetuidSetgidOrSticky) {
  TestEnv env;
  env.WriteFile(QStringLiteral("T:\\s\\tool"), "x");
  ::chmod(N(env.Host(QStringLiteral("T:\\s\\tool"))).constData(), 06755);
  env.MakeDir(QStringLiteral("T:\\d"));
  ASSERT_TRUE(env.fs.Copy(QStringLiteral("T:\\s\\tool"), QStringLiteral("T:\\d\\tool")));
  struct stat st;
  ::stat(N(env.Host(QStringLiteral("T:\\d\\tool"))).constData(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0755u);
  // Changing the attributes of a file drops them too.
  ::chmod(N(env.Host(QStringLiteral("T:\\d\\tool"))).constData(), 04755);
  ASSERT_TRUE(env.fs.SetAttr(QStringLiteral("T:\\d\\tool"), attr::ReadOnly));
  ::stat(N(env.Host(QStringLiteral("T:\\d\\tool"))).constData(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0555u);
}

TEST(WriteAnchor, NoLinkBelowTheAnchorIsFollowed) {
  TestEnv env;
  env.WriteFile(QStringLiteral("T:\\s\\f.txt"), "data");
  env.MakeDir(QStringLiteral("T:\\save\\real"));
  env.MakeDir(QStringLiteral("T:\\outside"));
  env.WriteFile(QStringLiteral("T:\\outside\\victim"), "victim");
  ::symlink(N(env.Host(QStringLiteral("T:\\outside"))).constData(), N(env.Host(QStringLiteral("T:\\save\\folderlink"))).constData());
  ::symlink(N(env.Host(QStringLiteral("T:\\outside\\victim"))).constData(), N(env.Host(QStringLiteral("T:\\save\\real\\filelink"))).constData());
  env.fs.SetWriteAnchor(QStringLiteral("T:\\save"));
  // Through a folder link: refused.
  EXPECT_FALSE(env.fs.Copy(QStringLiteral("T:\\s\\f.txt"), QStringLiteral("T:\\save\\folderlink\\new")));
  EXPECT_FALSE(env.fs.MkDir(QStringLiteral("T:\\save\\folderlink\\sub")));
  EXPECT_FALSE(env.fs.SetCurrentDir(QStringLiteral("T:\\save\\folderlink")));
  EXPECT_FALSE(env.fs.WriteAtomic(QStringLiteral("T:\\save\\folderlink\\w"), "w"));
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\outside\\new")));
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\outside\\sub")));
  // A file link at the last component is replaced, never written through; its target keeps
  // its content and its permissions.
  EXPECT_FALSE(env.fs.SetAttr(QStringLiteral("T:\\save\\real\\filelink"), attr::ReadOnly));
  ASSERT_TRUE(env.fs.Copy(QStringLiteral("T:\\s\\f.txt"), QStringLiteral("T:\\save\\real\\filelink")));
  EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\outside\\victim")), QByteArray("victim"));
  struct stat st;
  ASSERT_EQ(::lstat(N(env.Host(QStringLiteral("T:\\save\\real\\filelink"))).constData(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_TRUE(st.st_mode & S_IWUSR);
  // Folders that are real are used as before; above the anchor links are the user's own.
  EXPECT_TRUE(env.fs.Copy(QStringLiteral("T:\\s\\f.txt"), QStringLiteral("T:\\save\\real\\ok")));
  // A folder the last copy went through, moved away and a link put in its place: the next
  // copy below it goes neither through the link nor into the folder that was moved.
  ASSERT_TRUE(env.fs.MkDir(QStringLiteral("T:\\save\\real\\deep")));
  ASSERT_TRUE(env.fs.Copy(QStringLiteral("T:\\s\\f.txt"), QStringLiteral("T:\\save\\real\\deep\\a")));
  env.MakeDir(QStringLiteral("T:\\outside\\deep"));
  ASSERT_EQ(::rename(N(env.Host(QStringLiteral("T:\\save\\real"))).constData(), N(env.Host(QStringLiteral("T:\\save\\moved"))).constData()), 0);
  ::symlink(N(env.Host(QStringLiteral("T:\\outside"))).constData(), N(env.Host(QStringLiteral("T:\\save\\real"))).constData());
  EXPECT_FALSE(env.fs.Copy(QStringLiteral("T:\\s\\f.txt"), QStringLiteral("T:\\save\\real\\deep\\b")));
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\outside\\deep\\b")));
  EXPECT_FALSE(env.Exists(QStringLiteral("T:\\save\\moved\\deep\\b")));
  env.fs.SetWriteAnchor(QString());
  EXPECT_TRUE(env.fs.Copy(QStringLiteral("T:\\s\\f.txt"), QStringLiteral("T:\\save\\folderlink\\fine")));
  EXPECT_TRUE(env.Exists(QStringLiteral("T:\\outside\\fine")));
}

// Setting the attributes of a file just copied skips the look at it only when they change
// nothing; a change still looks, and the memory of the copy goes with the file.
TEST(WriteAnchor, AttributesAfterACopyNeverReachThroughALinkOrAFileThatWent) {
  TestEnv env;
  env.WriteFile(QStringLiteral("T:\\s\\f.txt"), "data");
  env.MakeDir(QStringLiteral("T:\\save\\d"));
  env.WriteFile(QStringLiteral("T:\\outside\\victim"), "victim");
  const QByteArray victim = N(env.Host(QStringLiteral("T:\\outside\\victim")));
  env.fs.SetWriteAnchor(QStringLiteral("T:\\save"));
  const QString copy = QStringLiteral("T:\\save\\d\\f.txt");
  ASSERT_TRUE(env.fs.Copy(QStringLiteral("T:\\s\\f.txt"), copy));
  // Swapped for a link between the copy and its attributes.
  ASSERT_EQ(::unlink(N(env.Host(copy)).constData()), 0);
  ASSERT_EQ(::symlink(victim.constData(), N(env.Host(copy)).constData()), 0);
  EXPECT_FALSE(env.fs.SetAttr(copy, attr::ReadOnly));
  struct stat st;
  ASSERT_EQ(::stat(victim.constData(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IWUSR);
  // Removed through the platform: no attributes are set on nothing.
  const QString other = QStringLiteral("T:\\save\\d\\g.txt");
  ASSERT_TRUE(env.fs.Copy(QStringLiteral("T:\\s\\f.txt"), other));
  ASSERT_TRUE(env.fs.Kill(other));
  EXPECT_FALSE(env.fs.SetAttr(other, attr::Normal));
}

TEST(AtomicWrite, AFailedWriteLeavesTheOldFileAndNoLeftovers) {
  TestEnv env;
  env.WriteFile(QStringLiteral("T:\\w\\list.csv"), "old");
  ::chmod(N(env.Host(QStringLiteral("T:\\w\\list.csv"))).constData(), 0666);
  ASSERT_TRUE(env.fs.WriteAtomic(QStringLiteral("T:\\w\\list.csv"), "new"));
  EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\w\\list.csv")), QByteArray("new"));
  struct stat st;
  ::stat(N(env.Host(QStringLiteral("T:\\w\\list.csv"))).constData(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0664u);  // the file keeps its permissions, but not others' write
  // A step that fails on the way: told, the old file as it was, nothing left beside it.
  struct FailingStep : ForwardingPlatform {
    using ForwardingPlatform::ForwardingPlatform;
    int failAt = 0;
    FsStatus WriteBeside(BesideFile& f, const QByteArray& b) override {
      return failAt == 1 ? FsError::NoSpace : base_.WriteBeside(f, b);
    }
    FsStatus SyncBeside(BesideFile& f) override { return failAt == 2 ? FsError::Other : base_.SyncBeside(f); }
    FsStatus ReplaceWithBeside(BesideFile& f) override {
      return failAt == 3 ? FsError::AccessDenied : base_.ReplaceWithBeside(f);
    }
  } failing(env.fs);
  for (const FsError error : {FsError::NoSpace, FsError::Other, FsError::AccessDenied}) {
    ++failing.failAt;
    EXPECT_EQ(failing.WriteAtomic(QStringLiteral("T:\\w\\list.csv"), "newer").error, error);
    EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\w\\list.csv")), QByteArray("new"));
  }
  // A folder in the way, an unmapped drive, a missing folder: told, nothing written.
  env.MakeDir(QStringLiteral("T:\\w\\dir"));
  EXPECT_EQ(env.fs.WriteAtomic(QStringLiteral("T:\\w\\dir"), "x").error, FsError::NotRegular);
  EXPECT_EQ(env.fs.WriteAtomic(QStringLiteral("Q:\\x"), "x").error, FsError::NotFound);
  EXPECT_EQ(env.fs.WriteAtomic(QStringLiteral("T:\\nowhere\\x"), "x").error, FsError::NotFound);
  EXPECT_EQ(QDir(env.Host(QStringLiteral("T:\\w"))).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// --- What killed runs leave --------------------------------------------------------------

// A process id that was in use a moment ago and is free now.
pid_t GonePid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

TEST(Leftovers, TemporaryNamesAKilledRunLeftArePassedOverAndOnlyTheProgramsOwnGo) {
  TestEnv env;
  const QString own = QStringLiteral(".qarno-%1-").arg(::getpid());
  const QString gone = QStringLiteral(".qarno-%1-").arg(GonePid());
  // A run killed before it renamed its files, whose pid this process has now (a container
  // job that always starts as the same pid): every name this process would take first.
  for (int n = 1; n <= 40; ++n) env.WriteFile(QStringLiteral("T:\\d\\") + own + QString::number(n) + QStringLiteral(".tmp"), "old");
  env.WriteFile(QStringLiteral("T:\\s\\f.txt"), "data");
  env.WriteFile(QStringLiteral("T:\\d\\list.csv"), "old");
  ASSERT_TRUE(env.fs.WriteAtomic(QStringLiteral("T:\\d\\list.csv"), "new"));
  ASSERT_TRUE(env.fs.WriteAtomic(QStringLiteral("T:\\d\\new.csv"), "new"));
  ASSERT_TRUE(env.fs.Copy(QStringLiteral("T:\\s\\f.txt"), QStringLiteral("T:\\d\\list.csv")));
  EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\d\\list.csv")), QByteArray("data"));

  // Another process's, whether gone or alive, an unpacking folder, and names that only look alike.
  env.WriteFile(QStringLiteral("T:\\d\\") + gone + QStringLiteral("7.tmp"), "x");
  env.WriteFile(QStringLiteral("T:\\d\\.qarno-1-3.tmp"), "pid 1 is alive");
  env.WriteFile(QStringLiteral("T:\\d\\.qarno-unpack-%1-2\\f.txt").arg(GonePid()), "half");
  env.WriteFile(QStringLiteral("T:\\d\\.qarno-notes.tmp"), "mine");
  env.WriteFile(QStringLiteral("T:\\d\\.qarno-1-3.tmp.txt"), "mine");
  env.WriteFile(QStringLiteral("T:\\outside\\victim"), "victim");
  ::symlink(N(env.Host(QStringLiteral("T:\\outside\\victim"))).constData(),
            N(env.Host(QStringLiteral("T:\\d\\") + gone + QStringLiteral("8.tmp"))).constData());
  EXPECT_EQ(env.fs.RemoveLeftovers(QStringLiteral("T:\\d")), 40 + 3);
  QStringList left = QDir(env.Host(QStringLiteral("T:\\d"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  left.sort();
  EXPECT_EQ(left, QStringList({".qarno-1-3.tmp", ".qarno-1-3.tmp.txt", ".qarno-notes.tmp", "list.csv", "new.csv"}));
  EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\outside\\victim")), QByteArray("victim"));
}

TEST(Leftovers, ANewFileIsNeverAtItsNameBeforeItIsWhole) {
  TestEnv env;
  env.WriteFile(QStringLiteral("T:\\s\\big"), QByteArray(10000, 'n'));
  CopyOptions slow;
  slow.chunk = 1000;
  bool seenEarly = false;
  slow.onChunk = [&] {
    seenEarly = seenEarly || env.Exists(QStringLiteral("T:\\d\\big"));
    return true;
  };
  env.MakeDir(QStringLiteral("T:\\d"));
  ASSERT_TRUE(env.fs.Copy(QStringLiteral("T:\\s\\big"), QStringLiteral("T:\\d\\big"), slow));
  EXPECT_FALSE(seenEarly);  // a kill on the way would have left a short file there
  EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\d\\big")).size(), 10000);
}

}  // namespace
}  // namespace qarno::test
