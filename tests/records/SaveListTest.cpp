// SPDX-License-Identifier: GPL-3.0-or-later
// The save list's path index answers exactly as a walk of the rows would.
#include "records/SaveList.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace qarno {
namespace {

// The circular walk the index stands for: from `position`, row by row, wrapping to row 1.
bool LinearFind(const SaveListTable& t, const QString& path, int& position) {
  const int last = t.Count();
  if (last < 1) return false;
  const int start = (position < 1 || position > last) ? 1 : position;
  int i = start;
  do {
    if (t[i].path == path) {
      position = i;
      return true;
    }
    i = i == last ? 1 : i + 1;
  } while (i != start);
  return false;
}

TEST(SaveListIndex, AgreesWithALinearWalkOnGeneratedListsWithDuplicates) {
  QRandomGenerator rng(20240601);
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    SaveListTable t;
    const int n = 1 + static_cast<int>(rng.bounded(200));
    const int distinct = 1 + static_cast<int>(rng.bounded(static_cast<quint32>(n)));  // fewer names than rows: duplicates
    for (int i = 0; i < n; ++i) {
      SaveListEntry e;
      e.path = QStringLiteral("C:\\p%1").arg(rng.bounded(distinct));
      t.Append(e);
    }
    for (int q = 0; q < 200; ++q) {
      const QString path = QStringLiteral("C:\\p%1").arg(rng.bounded(distinct + 3));  // some never listed
      int fast = static_cast<int>(rng.bounded(n + 3)) - 1;  // also 0, -1 and past the end
      int slow = fast;
      const bool found = t.FindNewPath(path, fast);
      ASSERT_EQ(found, LinearFind(t, path, slow)) << path.toStdString();
      if (found) {
        ASSERT_EQ(fast, slow) << path.toStdString();
      }
    }
  }
}

TEST(SaveListIndex, DuplicatesAreFoundFromThePositionOnThenFromTheTop) {
  SaveListTable t;
  for (const char* p : {"C:\\a", "C:\\b", "C:\\a", "C:\\c", "C:\\a"}) {
    SaveListEntry e;
    e.path = QString::fromUtf8(p);
    t.Append(e);
  }
  int pos = 1;
  ASSERT_TRUE(t.FindNewPath(QStringLiteral("C:\\a"), pos));
  EXPECT_EQ(pos, 1);  // the first of the duplicates, not the last
  pos = 2;
  ASSERT_TRUE(t.FindNewPath(QStringLiteral("C:\\a"), pos));
  EXPECT_EQ(pos, 3);
  pos = 5;
  ASSERT_TRUE(t.FindNewPath(QStringLiteral("C:\\b"), pos));
  EXPECT_EQ(pos, 2);  // wrapped
  pos = 1;
  EXPECT_FALSE(t.FindNewPath(QStringLiteral("C:\\A"), pos));  // letter case counts
  EXPECT_EQ(pos, 1);
}

}  // namespace
}  // namespace qarno
