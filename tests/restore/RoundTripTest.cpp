// SPDX-License-Identifier: GPL-3.0-or-later
// Backup → restore round trips with the real backup engine: a tree is saved at Level-0,
// changed, saved at Level-1, changed again and saved at Level-2; every run is then restored
// under another directory and in place, and must give back the tree as it stood at that run:
// content, sizes, last-write times and the read-only bit, aliased and packed entries
// included.
#include "RestoreWorld.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace qarno::test {
namespace {

struct Node {
  bool dir = false;
  QByteArray content;
  qint64 mtime = 0;
  bool readOnly = false;
  bool operator==(const Node& o) const {
    return dir == o.dir && content == o.content && (dir || mtime == o.mtime) && readOnly == o.readOnly;
  }
};
using Tree = QMap<QString, Node>;

Tree Snapshot(const QString& hostDir) {
  Tree t;
  QDirIterator it(hostDir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QFileInfo fi(path);
    Node n;
    n.dir = fi.isDir();
    struct stat st;
    ::stat(QFile::encodeName(path).constData(), &st);
    n.readOnly = (st.st_mode & S_IWUSR) == 0;
    if (!n.dir) {
      QFile f(path);
      f.open(QIODevice::ReadOnly);
      n.content = f.readAll();
      n.mtime = st.st_mtime;
    }
    t.insert(QDir(hostDir).relativeFilePath(path), n);
  }
  return t;
}

std::string Describe(const Tree& want, const Tree& got) {
  std::string out;
  for (auto it = want.begin(); it != want.end(); ++it) {
    if (!got.contains(it.key())) out += "missing " + it.key().toStdString() + "\n";
    else if (!(got[it.key()] == it.value()))
      out += "differs " + it.key().toStdString() + " (mtime " + std::to_string(got[it.key()].mtime) + " vs " +
             std::to_string(it.value().mtime) + ", ro " + std::to_string(got[it.key()].readOnly) + ")\n";
  }
  for (auto it = got.begin(); it != got.end(); ++it)
    if (!want.contains(it.key())) out += "extra " + it.key().toStdString() + "\n";
  return out;
}

QString ArchiverBesideTests() {
  return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2) +
         QStringLiteral("/libunlha32.so");
}

struct RoundTrip : ::testing::TestWithParam<bool> {
  RestoreWorld w;
  LoadedArchiver real{ArchiverBesideTests()};
  const QDateTime t0{QDate(2019, 4, 5), QTime(6, 7, 8)};
  const QDateTime t1{QDate(2020, 8, 9), QTime(10, 11, 12)};
  const QDateTime t2{QDate(2021, 12, 1), QTime(2, 3, 4)};
  // Long enough that the deep file's place in the run folder is aliased, short enough for
  // the rest.
  const QString deep = QStringLiteral("T:\\src\\deep\\a_rather_long_directory_name\\and_a_long_file_name.txt");

  void SetUp() override {
    if (GetParam()) {
      if (!QFileInfo::exists(real.path()) || real.GetVersion() < 0) GTEST_SKIP() << "archiver library not built";
      w.m.archiver = &real;
      w.m.set.options.ComplexTypeMode = 1;
    }
    w.m.set.options.PathLen = 70;
  }
  void Put(const QString& rel, const QByteArray& content, const QDateTime& when) {
    w.env.WriteFile(QStringLiteral("T:\\src\\") + rel, content, when);
  }
  void SetReadOnly(const QString& rel, bool on) {
    ::chmod(QFile::encodeName(w.Host(QStringLiteral("T:\\src\\") + rel)).constData(), on ? 0444 : 0644);
  }
  QString Backup(Level level) {
    RunOutcome outcome;
    const QString save = w.Backup(level, true, &outcome);
    EXPECT_TRUE(outcome.succeeded);
    EXPECT_EQ(outcome.uncopiedCount, 0);
    return save;
  }
  void Restore(const QString& save, const QString& topDir) {
    auto r = w.Open(save);
    ASSERT_EQ(w.RestoreAll(*r, topDir), RestoreOutcome::Finished) << r->state().Status.toStdString();
    EXPECT_EQ(r->table().ReservedCount(), 0);
    EXPECT_EQ(r->state().Status, QStringLiteral("復元を実行中  ...... 終了"));
    EXPECT_EQ(r->table().Cell(cell::RestoredKB), r->table().Cell(cell::MarkedKB));
  }
  void WipeSource() {
    QDirIterator it(w.Host(QStringLiteral("T:\\src")), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) ::chmod(QFile::encodeName(it.next()).constData(), 0755);
    QDir(w.Host(QStringLiteral("T:\\src"))).removeRecursively();
  }
};

TEST_P(RoundTrip, EveryLevelRestoresTheTreeAsItStoodAtThatRun) {
  Put(QStringLiteral("a.txt"), "alpha", t0);
  Put(QStringLiteral("docs\\report.doc"), QByteArray(5000, 'r'), t0);
  Put(QStringLiteral("docs\\big.bin"), QByteArray(300000, '\x5a') + QByteArray("tail"), t0);
  Put(QStringLiteral("docs\\gone.txt"), "soon removed", t0);
  Put(QStringLiteral("docs\\.hidden"), "", t0);
  Put(QStringLiteral("deep\\a_rather_long_directory_name\\and_a_long_file_name.txt"), "deep one", t0);
  Put(QStringLiteral("ro.txt"), "read only", t0);
  SetReadOnly(QStringLiteral("ro.txt"), true);
  w.env.MakeDir(QStringLiteral("T:\\src\\empty"));
  const Tree s0 = Snapshot(w.Host(QStringLiteral("T:\\src")));
  const QString n0 = Backup(Level::Level0);

  // Level-1: one file changed, one added, one removed, the read-only one made writable,
  // the aliased one changed (a new alias in the new run).
  Put(QStringLiteral("a.txt"), "alpha, changed", t1);
  Put(QStringLiteral("docs\\new.txt"), "new in level 1", t1);
  QFile::remove(w.Host(QStringLiteral("T:\\src\\docs\\gone.txt")));
  SetReadOnly(QStringLiteral("ro.txt"), false);
  Put(QStringLiteral("deep\\a_rather_long_directory_name\\and_a_long_file_name.txt"), "deep two!", t1);
  const Tree s1 = Snapshot(w.Host(QStringLiteral("T:\\src")));
  const QString n1 = Backup(Level::Level1);

  // Level-2: the report changed and made read-only.
  Put(QStringLiteral("docs\\report.doc"), QByteArray(6000, 'R'), t2);
  SetReadOnly(QStringLiteral("docs\\report.doc"), true);
  const Tree s2 = Snapshot(w.Host(QStringLiteral("T:\\src")));
  const QString n2 = Backup(Level::Level2);
  ASSERT_EQ(QSet<QString>({n0, n1, n2}).size(), 3);

  // The listings do hold what this test means to cover.
  const QString l1 = QString::fromUtf8(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\") + n1 + QStringLiteral(".csv")));
  EXPECT_TRUE(l1.contains(u'"' + deep + QStringLiteral("\",---A-,9,")));
  EXPECT_TRUE(l1.contains(QStringLiteral(",000001\r\n")) || l1.contains(QStringLiteral(",000000\r\n")));
  EXPECT_TRUE(l1.contains(QStringLiteral("docs\\big.bin\",---A-,300004,") ));
  if (GetParam()) {
    EXPECT_TRUE(l1.contains(QStringLiteral(",1,\r\n")));
  }

  const std::vector<std::pair<QString, const Tree*>> runs = {{n0, &s0}, {n1, &s1}, {n2, &s2}};
  int k = 0;
  for (const auto& [name, tree] : runs) {
    const QString top = QStringLiteral("T:\\r%1").arg(k++);
    Restore(name, top);
    const Tree got = Snapshot(w.Host(top + QStringLiteral("\\Drive_T\\src")));
    EXPECT_TRUE(got == *tree) << name.toStdString() << " elsewhere:\n" << Describe(*tree, got);
  }
  for (const auto& [name, tree] : runs) {
    WipeSource();
    Restore(name, QString());
    const Tree got = Snapshot(w.Host(QStringLiteral("T:\\src")));
    EXPECT_TRUE(got == *tree) << name.toStdString() << " in place:\n" << Describe(*tree, got);
  }
  EXPECT_TRUE(w.ui.messages.isEmpty()) << w.ui.messages.value(0).text.toStdString();

  // A run right after restoring the last run in place (Level-2 compares with that run) finds
  // nothing changed.
  const QString n3 = Backup(Level::Level2);
  const QStringList l3 = QString::fromUtf8(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\") + n3 + QStringLiteral(".csv")))
                             .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
  for (const QString& line : l3) {
    if (line.contains(QStringLiteral(",----D,"))) continue;  // folders get today's date back
    EXPECT_TRUE(line.contains(QStringLiteral(",2,qrn"))) << line.toStdString();
  }
  WipeSource();
}

// Pruned by the set's policy after each run, a whole chain goes at a time: every run that
// stays still gives back the tree as it stood at its time, and the overwrite save stays.
TEST_P(RoundTrip, EveryRunThePolicyKeepsStillRestoresItsTree) {
  w.m.set.KeepChains = 2;
  Put(QStringLiteral("docs\\report.doc"), QByteArray(5000, 'r'), t0);
  ASSERT_EQ(Backup(Level::Overwrite), kOverwriteSave);
  const Level levels[] = {Level::Level0, Level::Level1, Level::Level2, Level::Level0, Level::Level2, Level::Level0, Level::Level1};
  std::vector<std::pair<QString, Tree>> runs;
  for (int i = 0; i < 7; ++i) {
    const QDateTime when = t0.addDays(i + 1);
    Put(QStringLiteral("a.txt"), "alpha " + QByteArray::number(i), when);
    Put(QStringLiteral("docs\\n%1.txt").arg(i), "new in run " + QByteArray::number(i), when);
    if (i == 4) QFile::remove(w.Host(QStringLiteral("T:\\src\\docs\\n3.txt")));
    const Tree tree = Snapshot(w.Host(QStringLiteral("T:\\src")));
    runs.emplace_back(Backup(levels[i]), tree);
  }
  // The first chain (runs 0-2) went once the third began; the second and third stay, and
  // the run after the prune took a number past today's others, not one the prune freed.
  QStringList rows;
  for (int r = 1; r < w.main.HisTable.Rows(); ++r) rows += w.main.HisTable.Cell(r, HistoryEntry::SaveName);
  EXPECT_EQ(rows, (QStringList{kOverwriteSave, runs[6].first, runs[5].first, runs[4].first, runs[3].first}));
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\dst\\daily\\") + runs[i].first)) << i;
  EXPECT_TRUE(w.env.Exists(QStringLiteral("T:\\dst\\daily\\Qrn_All")));
  for (int i = 3; i < 7; ++i) {
    const QString top = QStringLiteral("T:\\r%1").arg(i);
    Restore(runs[i].first, top);
    const Tree got = Snapshot(w.Host(top + QStringLiteral("\\Drive_T\\src")));
    EXPECT_TRUE(got == runs[i].second) << runs[i].first.toStdString() << ":\n" << Describe(runs[i].second, got);
  }
  EXPECT_TRUE(w.ui.messages.isEmpty()) << w.ui.messages.value(0).text.toStdString();
}

// An overwrite run replaces the copies of its save one by one, then writes the listing and
// the manifest that describe them. Killed in between (here: its listing cannot be written),
// it leaves new copies under the old records; a copy changed in place keeps even its size
// and date. The restore gives back what there is, names each such entry and is not clean.
TEST_P(RoundTrip, OverwriteCopiesThatAreNotWhatTheirListingSaysAreNamed) {
  Put(QStringLiteral("a.txt"), "alpha", t0);
  Put(QStringLiteral("b.txt"), QByteArray(5000, 'b'), t0);
  Put(QStringLiteral("c.txt"), "unchanged", t0);
  ASSERT_EQ(Backup(Level::Overwrite), kOverwriteSave);

  Put(QStringLiteral("a.txt"), "alpha, the second", t1);
  w.fs.writeFails.insert(QStringLiteral("T:\\dst\\daily\\Qrn_All.csv"), FsError::NoSpace);
  w.ui.AnswerAll(Question::ListingNotWritten, Answer::OK);
  w.Backup(Level::Overwrite, false);
  w.fs.writeFails.clear();
  const QString a = QStringLiteral("T:\\src\\a.txt"), b = QStringLiteral("T:\\src\\b.txt");
  QStringList expected{a};
  if (!GetParam()) {
    // Other bytes, same size and time: only the manifest can tell (an archive its CRC).
    w.env.WriteFile(QStringLiteral("T:\\dst\\daily\\Qrn_All\\Drive_T\\src\\b.txt"), QByteArray(5000, 'B'), t0);
    expected += b;
  }

  auto r = w.Open(kOverwriteSave);
  ASSERT_EQ(w.RestoreAll(*r, QStringLiteral("T:\\back")), RestoreOutcome::Finished);
  EXPECT_EQ(r->table().CountMarked(RestoreFlag::Failed), 0);
  QStringList named;
  for (const RestoreMismatch& x : r->Mismatches()) named += x.path;
  EXPECT_EQ(named, expected);
  EXPECT_TRUE(r->state().Status.endsWith(QStringLiteral("%1 個は保存時の一覧と一致しません（ログを見てください）").arg(expected.size())))
      << r->state().Status.toStdString();
  // The newest bytes there are stay restored.
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\back\\Drive_T\\src\\a.txt")), QByteArray("alpha, the second"));
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\back\\Drive_T\\src\\c.txt")), QByteArray("unchanged"));
}

INSTANTIATE_TEST_SUITE_P(Storage, RoundTrip, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? std::string("Packed") : std::string("Plain"); });

}  // namespace
}  // namespace qarno::test
