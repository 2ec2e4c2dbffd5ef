// SPDX-License-Identifier: GPL-3.0-or-later
// A run that finds its destination short of the reserve deletes old chains the set lets go,
// oldest first, until the reserve is met, and asks nobody; what the policy keeps it never
// touches. On a real small tmpfs.
#include "EngineWorld.h"
#include "support/SmallVolume.h"

#include <QDir>
#include <gtest/gtest.h>

namespace qarno::test {
namespace {

struct Medium {
  SmallVolume vol{3072};
  EngineWorld w;
  QStringList saves;

  Medium(int keepDays) {
    if (!vol.mounted()) return;
    w.env.fs.drives().Map(u'S', vol.path());
    QDir().mkpath(vol.path() + QStringLiteral("/dst"));
    w.m.set.SaveDir = QStringLiteral("S:\\dst");
    w.m.set.options.RsvSizeChk = 1;
    w.m.set.options.RsvSize = 1;  // MB
    w.m.set.PruneForSpace = true;
    w.m.set.KeepDays = keepDays;
  }
  // A Level-0 of two files of 300 KB: the reserve runs short between them on the fourth.
  RunResult Run() {
    w.Source(QStringLiteral("a.bin"), QByteArray(300 * 1024, char('a' + saves.size())));
    w.Source(QStringLiteral("b.bin"), QByteArray(300 * 1024, char('A' + saves.size())));
    const RunResult r = w.Run(Level::Level0);
    saves += r.saveName;
    return r;
  }
  bool There(const QString& save) const { return QDir(vol.path() + QStringLiteral("/dst/daily/") + save).exists(); }
  QStringList Rows() const {
    QStringList out;
    for (int r = 1; r < w.main.HisTable.Rows(); ++r) out += w.main.HisTable.Cell(r, HistoryEntry::SaveName);
    return out;
  }
};

TEST(PruneForSpace, TheOldestChainMakesRoomAndWhatThePolicyKeepsIsAskedAbout) {
  {
    Medium d(0);
    if (!d.vol.mounted()) GTEST_SKIP() << "needs root to mount a small tmpfs";
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(d.Run().succeeded) << i;
    EXPECT_TRUE(d.w.ui.messages.isEmpty()) << d.w.ui.messages.value(0).text.toStdString();
    EXPECT_FALSE(d.There(d.saves[0]));
    EXPECT_FALSE(d.Rows().contains(d.saves[0]));
    for (const QString& kept : d.saves.mid(1)) EXPECT_TRUE(d.There(kept) && d.Rows().contains(kept)) << kept.toStdString();
    EXPECT_TRUE(d.w.Log().contains(QStringLiteral("古い保存を削除しました [") + d.saves[0] + QStringLiteral("] [Level-0]")))
        << d.w.Log().toStdString();
    EXPECT_EQ(d.w.run->state().outcome.uncopiedCount, 0);
  }
  {
    Medium d(30);  // every run is younger: nothing may go, so the user is asked as before
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(d.Run().succeeded) << i;
    d.w.ui.Expect(Question::ReserveShort, Answer::No);
    d.w.ui.Expect(Question::ReserveSwitchOff, Answer::Yes);
    EXPECT_TRUE(d.Run().succeeded);
    EXPECT_TRUE(d.w.ui.Exhausted());
    for (const QString& kept : d.saves) EXPECT_TRUE(d.There(kept) && d.Rows().contains(kept)) << kept.toStdString();
  }
}

}  // namespace
}  // namespace qarno::test
