// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DriveTable.h"
#include "platform/WinPath.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

TEST(DriveTable, CIsTheHostRootByDefaultAndOtherLettersAreMissing) {
  DriveTable t;
  EXPECT_EQ(t.ToHost(QStringLiteral("C:\\data\\a.txt")), QStringLiteral("/data/a.txt"));
  EXPECT_EQ(t.ToHost(QStringLiteral("c:\\")), QStringLiteral("/"));
  EXPECT_EQ(t.ToHost(QStringLiteral("C:")), QStringLiteral("/"));
  EXPECT_FALSE(t.ToHost(QStringLiteral("D:\\x")));
  EXPECT_FALSE(t.ToHost(QStringLiteral("relative\\x")));
}

TEST(DriveTable, MappedLettersCompareWithoutCase) {
  DriveTable t;
  t.Map(u'd', QStringLiteral("/media/usb/"));
  EXPECT_EQ(t.ToHost(QStringLiteral("D:\\x\\y")), QStringLiteral("/media/usb/x/y"));
  EXPECT_EQ(t.ToHost(QStringLiteral("d:\\x\\")), QStringLiteral("/media/usb/x"));
  EXPECT_EQ(t.ToHost(QStringLiteral("D:\\")), QStringLiteral("/media/usb"));
  t.Unmap(u'D');
  EXPECT_FALSE(t.ToHost(QStringLiteral("D:\\x")));
}

TEST(DriveTable, FromHostPrefersTheClosestDriveAndRefusesBackslashNames) {
  DriveTable t;
  t.Map(u'E', QStringLiteral("/srv/backup"));
  EXPECT_EQ(t.FromHost(QStringLiteral("/srv/backup/set/a")), QStringLiteral("E:\\set\\a"));
  EXPECT_EQ(t.FromHost(QStringLiteral("/srv/backup")), QStringLiteral("E:\\"));
  EXPECT_EQ(t.FromHost(QStringLiteral("/srv/backupx")), QStringLiteral("C:\\srv\\backupx"));
  EXPECT_FALSE(t.FromHost(QStringLiteral("/tmp/a\\b")));
  t.Unmap(u'C');
  EXPECT_FALSE(t.FromHost(QStringLiteral("/etc/passwd")));
}

TEST(WinPath, DriveRootsJoinsAndSafePaths) {
  EXPECT_EQ(winpath::DriveRoot(QStringLiteral("X:")), QStringLiteral("X:\\"));
  EXPECT_EQ(winpath::DriveRoot(QStringLiteral("X:\\dir")), QStringLiteral("X:\\"));
  EXPECT_TRUE(winpath::IsDriveRoot(QStringLiteral("x:\\")));
  EXPECT_FALSE(winpath::IsDriveRoot(QStringLiteral("x:\\a")));
  EXPECT_EQ(winpath::Join(QStringLiteral("E:\\"), QStringLiteral("a")), QStringLiteral("E:\\a"));
  EXPECT_EQ(winpath::Join(QStringLiteral("E:\\r"), QStringLiteral("a")), QStringLiteral("E:\\r\\a"));
  EXPECT_TRUE(winpath::IsSafeAbsolute(QStringLiteral("C:\\a\\b.txt")));
  EXPECT_FALSE(winpath::IsSafeAbsolute(QStringLiteral("C:\\a\\..\\..\\etc")));
  EXPECT_FALSE(winpath::IsSafeAbsolute(QStringLiteral("C:\\a\\.\\b")));
  EXPECT_FALSE(winpath::IsSafeAbsolute(QStringLiteral("C:\\a/../b")));
  EXPECT_FALSE(winpath::IsSafeAbsolute(QStringLiteral("\\\\server\\share\\x")));
  EXPECT_FALSE(winpath::IsSafeAbsolute(QStringLiteral("a\\b")));
}

}  // namespace
}  // namespace qarno
