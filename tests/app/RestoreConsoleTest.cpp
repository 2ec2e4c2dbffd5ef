// SPDX-License-Identifier: GPL-3.0-or-later
// The set names qarno-restore takes: exactly a name a set file can have, nothing that reads
// as a switch, a quote, a path or a Windows device.
#include "app/RestoreConsole.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

TEST(RestoreConsole, OnlyNamesASetFileCanHaveAreSetNames) {
  for (const char* good : {"daily", "日次 バックアップ", "a.b", "it's", "con1", "COMMON", "LPT0"})
    EXPECT_EQ(SetNameProblem(QString::fromUtf8(good)), QString()) << good;
  const QString tab = QStringLiteral("a\tb");
  for (const QString& bad : {QString(), QStringLiteral("/L0"), QStringLiteral("/"), QStringLiteral("\"daily\""),
                             QStringLiteral("'daily"), QStringLiteral("a\\b"), QStringLiteral("a/b"), QStringLiteral("C:daily"),
                             QStringLiteral(".."), QStringLiteral("x..y"), QStringLiteral("a*"), QStringLiteral("a?"),
                             QStringLiteral("a<b"), QStringLiteral("a>b"), QStringLiteral("a|b"), tab,
                             QStringLiteral("daily."), QStringLiteral("daily "), QStringLiteral("CON"), QStringLiteral("nul.txt"),
                             QStringLiteral("com1"), QStringLiteral("LPT9.log")}) {
    const QString problem = SetNameProblem(bad);
    EXPECT_FALSE(problem.isEmpty()) << bad.toStdString();
    EXPECT_FALSE(problem.contains(u'\n'));
  }
}

}  // namespace
}  // namespace qarno
