// SPDX-License-Identifier: GPL-3.0-or-later
// The shipped defaults reach a new program folder once, and never replace the user's list.
#include "platform/InstallLayout.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qarno {
namespace {

void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(SeedProgramFolder, CopiesTheShippedTypesOnceAndLeavesTheUsersListAlone) {
  QTemporaryDir root;
  const QString data = root.filePath(QStringLiteral("share/qarno"));
  const QString home = root.filePath(QStringLiteral("home"));
  QDir().mkpath(data);
  QDir().mkpath(home);
  const QByteArray shipped = "\"1.10\"\r\n4\r\n\"lzh\"\r\n\"zip\"\r\n\"mp3\"\r\n\"jpg\"\r\n";

  // Nothing shipped (a build folder): nothing appears.
  SeedProgramFolder(home, data);
  EXPECT_FALSE(QFile::exists(home + QStringLiteral("/Qarno.nct")));
  SeedProgramFolder(home, QString());
  EXPECT_FALSE(QFile::exists(home + QStringLiteral("/Qarno.nct")));

  Write(data + QStringLiteral("/Qarno.nct"), shipped);
  SeedProgramFolder(home, data);
  EXPECT_EQ(Read(home + QStringLiteral("/Qarno.nct")), shipped);
  EXPECT_EQ(QDir(home).entryList(QDir::Files), QStringList{QStringLiteral("Qarno.nct")});  // no leftovers

  // The user emptied the list: an empty list is a list, and stays.
  Write(home + QStringLiteral("/Qarno.nct"), "\"1.10\"\r\n0\r\n");
  SeedProgramFolder(home, data);
  EXPECT_EQ(Read(home + QStringLiteral("/Qarno.nct")), QByteArray("\"1.10\"\r\n0\r\n"));
}

}  // namespace
}  // namespace qarno
