// SPDX-License-Identifier: GPL-3.0-or-later
// Finding a file's versions across the runs of a generated history: files changed, renamed
// and added again, saved at several levels, and listings that are missing or hostile.
#include "RestoreWorld.h"
#include "restore/RunFinder.h"

#include <gtest/gtest.h>

namespace qarno::test {
namespace {

struct Find : ::testing::Test {
  RestoreWorld w;
  const QString S0 = QStringLiteral("qrn20240101_01"), S1 = QStringLiteral("qrn20240102_01"),
                S2 = QStringLiteral("qrn20240103_01"), S3 = QStringLiteral("qrn20240104_01");
  QString F(const QString& rel) const { return QStringLiteral("T:\\src\\") + rel; }
  void SetUp() override {
    // S0 (Level-0): a.txt, b.txt. S1 (Level-1): a.txt changed, b.txt renamed to c.txt.
    // S2 (Level-2): b.txt added again. S3: its listing is lost.
    w.WriteListing(S0, {RestoreWorld::Line(F(QString()), QStringLiteral("----D"), 0, QStringLiteral("3"), S0),
                        RestoreWorld::Line(F(QStringLiteral("a.txt")), QStringLiteral("---A-"), 1, QStringLiteral("3"), S0),
                        RestoreWorld::Line(F(QStringLiteral("b.txt")), QStringLiteral("---A-"), 2, QStringLiteral("3"), S0, QStringLiteral("1"))});
    w.WriteListing(S1, {RestoreWorld::Line(F(QStringLiteral("a.txt")), QStringLiteral("---A-"), 11, QStringLiteral("3"), S1),
                        RestoreWorld::Line(F(QStringLiteral("c.txt")), QStringLiteral("---A-"), 2, QStringLiteral("3"), S1, QStringLiteral("0"), QStringLiteral("000000"))});
    w.WriteListing(S2, {RestoreWorld::Line(F(QStringLiteral("a.txt")), QStringLiteral("---A-"), 11, QStringLiteral("2"), S1),
                        RestoreWorld::Line(F(QStringLiteral("c.txt")), QStringLiteral("---A-"), 2, QStringLiteral("2"), S1, QStringLiteral("0"), QStringLiteral("000000")),
                        RestoreWorld::Line(F(QStringLiteral("b.txt")), QStringLiteral("---A-"), 5, QStringLiteral("3"), S2),
                        QStringLiteral("\"T:\\src\\..\\..\\etc\\passwd\",---A-,1,2024/01/01 00:00:00,3,") + S2,
                        RestoreWorld::Line(F(QStringLiteral("x.txt")), QStringLiteral("---A-"), 7, QStringLiteral("3"), QStringLiteral("qrn20990101_01")),
                        QStringLiteral("\"T:\\src\\half.txt\",---A-")});
    for (const QString& s : {S0, S1, S2, S3}) w.AddHistory(s);
  }
  FindResult Run(const QString& pattern) {
    RunFinder finder(w.m, w.main.HisTable, w.m.set.Name);
    return finder.Find(pattern);
  }
  static QStringList Rows(const FindResult& r) {
    QStringList out;
    for (const FoundVersion& v : r.versions) out += v.path.mid(7) + u' ' + v.saveName + u' ' + QString::number(v.size);
    return out;
  }
};

TEST_F(Find, EveryRunHoldingAVersionIsListedOncePerVersionNewestFirst) {
  const FindResult r = Run(QStringLiteral("*\\A.TXT"));  // the skip list's rule: no case
  EXPECT_EQ(Rows(r), (QStringList{QStringLiteral("a.txt ") + S1 + QStringLiteral(" 11"), QStringLiteral("a.txt ") + S0 + QStringLiteral(" 1")}));
  EXPECT_EQ(r.listingsRead, 3);
  EXPECT_EQ(r.listingsUnread, QStringList{S3});
  EXPECT_EQ(r.versions[0].copyPath, QStringLiteral("T:\\dst\\daily\\") + S1 + QStringLiteral("\\Drive_T\\src\\a.txt"));
  EXPECT_EQ(r.versions[0].runDate, w.main.HisTable.Cell(1, HistoryEntry::SaveDate));
}

TEST_F(Find, RenamedAndReAddedFilesAreSeparatePathsAndCopiesAreWhereTheyLie) {
  const FindResult r = Run(QStringLiteral("T:\\src\\?.txt"));  // "?" is no wildcard in the skip list
  EXPECT_TRUE(r.versions.empty());
  const FindResult all = Run(QStringLiteral("T:\\src\\*.txt"));
  EXPECT_EQ(Rows(all), (QStringList{QStringLiteral("a.txt ") + S1 + QStringLiteral(" 11"), QStringLiteral("a.txt ") + S0 + QStringLiteral(" 1"),
                                    QStringLiteral("b.txt ") + S2 + QStringLiteral(" 5"), QStringLiteral("b.txt ") + S0 + QStringLiteral(" 2"),
                                    QStringLiteral("c.txt ") + S1 + QStringLiteral(" 2")}));
  // Packed, aliased: the copy's real place.
  const auto packedB = std::find_if(all.versions.begin(), all.versions.end(), [&](const FoundVersion& v) { return v.saveName == S0 && v.path.endsWith(u"b.txt"); });
  ASSERT_NE(packedB, all.versions.end());
  EXPECT_TRUE(packedB->packed);
  EXPECT_TRUE(packedB->copyPath.endsWith(QStringLiteral("\\Drive_T\\src\\b.txt.LZH")));
  const auto aliased = std::find_if(all.versions.begin(), all.versions.end(), [&](const FoundVersion& v) { return v.path.endsWith(u"c.txt"); });
  EXPECT_EQ(aliased->copyPath, QStringLiteral("T:\\dst\\daily\\") + S1 + QStringLiteral("\\Alias\\000000"));
}

TEST_F(Find, HostileLinesAndRunsOutsideTheHistoryAreNotFound) {
  const FindResult r = Run(QStringLiteral("*"));
  for (const FoundVersion& v : r.versions) {
    EXPECT_FALSE(v.path.contains(QStringLiteral(".."))) << v.path.toStdString();
    EXPECT_NE(v.saveName, QStringLiteral("qrn20990101_01"));
    EXPECT_FALSE(v.path.endsWith(u"half.txt"));
  }
  EXPECT_EQ(r.versions.size(), 5u);  // folders are not versions of a file
}

}  // namespace
}  // namespace qarno::test
