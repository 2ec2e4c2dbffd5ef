// SPDX-License-Identifier: GPL-3.0-or-later
// A run whose files are copied by workers ends exactly as a run on one thread: the same
// listing, manifest, log, history and save, a full medium met at the same entry, and a
// Cancel that leaves nothing behind.
#include "EngineWorld.h"
#include "platform/TextCodec.h"
#include "support/SmallVolume.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <atomic>
#include <mutex>
#include <unistd.h>

namespace qarno::test {
namespace {

// The test double, but copies may be handed to workers (whose platforms are real ones).
struct WorkerPlatform : FaultyPlatform {
  using FaultyPlatform::FaultyPlatform;
  std::unique_ptr<Platform> ForWorker() override { return base_.ForWorker(); }
};

struct WorkerWorld {
  explicit WorkerWorld(int workers) {
    qputenv("QARNO_COPY_WORKERS", QByteArray::number(workers));
    SetUpDailySet(m, env);
  }
  ~WorkerWorld() { qunsetenv("QARNO_COPY_WORKERS"); }
  TestEnv env;
  WorkerPlatform fs{env.fs};
  Module1 m{fs, env.ui, QStringLiteral("T:\\prog")};
  Qarno main{m};
  std::unique_ptr<FSaveExec> run;

  void Source(const QString& rel, const QByteArray& content) {
    env.WriteFile(QStringLiteral("T:\\src\\") + rel, content, EngineWorld::kTime);
  }
  RunResult Run() { return RunSave(m, main, run, Level::Level0); }
  // Every file below a folder with its bytes, times of day and the free space the trace
  // tells (of the test's own file system) masked.
  std::map<QString, QByteArray> Files(const QString& winFolder) const {
    std::map<QString, QByteArray> all;
    const QString root = env.Host(winFolder);
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    static const QRegularExpression time(QStringLiteral("\\d\\d:\\d\\d(:\\d\\d)?|(?<=\n3021 \\[)\\d+"));
    while (it.hasNext()) {
      const QString path = it.next();
      QFile f(path);
      if (!f.open(QIODevice::ReadOnly)) continue;
      QByteArray bytes = f.readAll();
      if (path.endsWith(u".log") || path.endsWith(u".qrl") || path.endsWith(u".deb") || path.endsWith(u".csv"))
        bytes = QString::fromUtf8(bytes).replace(time, QStringLiteral("hh:mm:ss")).toUtf8();
      all[path.mid(root.size())] = bytes;
    }
    return all;
  }
};

QString ArchiverBesideTests() {
  return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + QStringLiteral("/libunlha32.so");
}

TEST(CopyWorkers, FourWorkersSaveByteForByteWhatOneThreadSaves) {
  LoadedArchiver archiver(ArchiverBesideTests());
  if (!archiver.Load()) GTEST_SKIP() << "archiver library not built beside the tests";
  std::map<QString, QByteArray> saved[2], program[2];
  int index = 0;
  for (const int workers : {1, 4}) {
    SCOPED_TRACE(workers);
    WorkerWorld w(workers);
    w.m.archiver = &archiver;
    w.m.set.options.ComplexTypeMode = 1;  // packed, but for the listed types
    w.m.set.options.ComplexSettingMode = 0;
    w.m.NoCompTypes = {QStringLiteral("jpg")};
    w.m.settings.ContentManifest = 1;
    w.m.set.options.RsvSizeChk = 1;  // the reserve is checked before every entry
    w.m.set.options.RsvSize = 1;
    w.m.set.options.PathLen = 90;  // only the long name goes under an alias
    w.m.DebugMode = 1;
    // Sizes from nothing to well over a worker's read, in several folders, so that workers
    // finish out of order.
    for (int i = 0; i < 48; ++i) {
      const int size = (i * 7919) % 5 == 0 ? 300000 + i : (i * 131) % 2000;
      w.Source(QStringLiteral("d%1\\f%2.%3").arg(i % 3).arg(i).arg(i % 4 == 0 ? u"jpg" : u"txt"),
               QByteArray(size, char('a' + i % 26)));
    }
    w.Source(QStringLiteral("d1\\") + QString(70, u'L') + QStringLiteral(".txt"), "long");
    w.Source(QStringLiteral("d2\\gone.txt"), "vanishes after the scan");
    w.Source(QStringLiteral("d2\\swapped.txt"), "a link takes its place after the scan");
    w.env.ui.onYield = [&](int) {
      if (!w.run || w.run->state().progress.phase != phase::ThisList) return;
      QFile::remove(w.env.Host(QStringLiteral("T:\\src\\d2\\gone.txt")));
      const QString swapped = w.env.Host(QStringLiteral("T:\\src\\d2\\swapped.txt"));
      if (!QFileInfo(swapped).isSymLink() && QFile::remove(swapped))
        QFile::link(w.env.Host(QStringLiteral("T:\\src\\d0\\f0.jpg")), swapped);
    };
    w.env.ui.Expect(Question::UncopiedEntries, Answer::OK, QStringLiteral("2 個コピーできませんでした。"));
    const RunResult r = w.Run();
    ASSERT_TRUE(r.succeeded);
    EXPECT_EQ(r.uncopied, 2);
    w.m.CloseDebugFile();
    w.m.CloseLogFile();
    saved[index] = w.Files(QStringLiteral("T:\\dst"));
    program[index] = w.Files(QStringLiteral("T:\\prog"));
    const QString listing = QString::fromUtf8(saved[index][QStringLiteral("/daily/") + r.saveName + QStringLiteral(".csv")]);
    EXPECT_TRUE(listing.contains(QStringLiteral(",000000\r\n"))) << "the alias";
    EXPECT_TRUE(w.env.Exists(QStringLiteral("T:\\dst\\daily\\") + r.saveName + QStringLiteral("\\Drive_T\\src\\d1\\f1.txt.LZH")));
    EXPECT_TRUE(w.env.Exists(QStringLiteral("T:\\dst\\daily\\") + r.saveName + QStringLiteral("\\Drive_T\\src\\d0\\f0.jpg")));
    ++index;
  }
  for (auto* files : {saved, program}) {
    ASSERT_EQ(files[0].size(), files[1].size());
    for (const auto& [path, bytes] : files[0]) {
      const QList<QByteArray> one = bytes.split('\n'), four = files[1][path].split('\n');
      ASSERT_EQ(one.size(), four.size()) << path.toStdString();
      for (qsizetype i = 0; i < one.size(); ++i) ASSERT_EQ(one[i], four[i]) << path.toStdString() << " line " << i;
    }
  }
}

// With a second core the scan's folders are listed ahead of it on a thread of their own:
// far more folders than that thread may hold ready, folders skipped while they are queued,
// listed or ready, and a skipped folder saved again by a later entry of the save list.
TEST(CopyWorkers, AScanWithItsFoldersListedAheadFindsWhatOneThreadFinds) {
  QStringList rows[2];
  QString logs[2];
  int index = 0;
  for (const int workers : {1, 2}) {
    SCOPED_TRACE(workers);
    WorkerWorld w(workers);
    for (int a = 0; a < 6; ++a)
      for (int b = 0; b < 6; ++b)
        for (int c = 0; c < 5; ++c)
          for (int f = 0; f < 3; ++f)
            w.Source(QStringLiteral("a%1\\b%2\\c%3\\f%4.txt").arg(a).arg(b).arg(c).arg(f), QByteArray(a + b + c + f, 'x'));
    w.m.set.SkipList = {QStringLiteral("T:\\src\\a1"), QStringLiteral("T:\\src\\a3\\b2"), QStringLiteral("*\\c4")};
    w.m.set.SaveList = {QStringLiteral("T:\\src"), QStringLiteral("T:\\src\\a1\\b5")};
    FSaveExec run(w.m, w.main);
    run.Form_Load();
    ASSERT_TRUE(run.MkSaveList());
    for (int r = 1; r < run.SaveList().Rows(); ++r)
      rows[index] += run.SaveList()[r].path + u' ' + FieldText(run.SaveList()[r], SaveListEntry::Size);
    logs[index] = QString::fromUtf8(w.env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.log")));
    ++index;
  }
  // The root, then five a folders of 1 + 6 b + 24 c folders and 72 files (no c4), less
  // a3\b2; then a1\b5 on its own, with its 4 c folders and 12 files.
  EXPECT_EQ(rows[0].size(), 1 + 5 * (1 + 6 + 24 + 72) - (1 + 4 + 12) + 1 + 4 + 12);
  EXPECT_EQ(rows[0], rows[1]);
  EXPECT_EQ(logs[0], logs[1]);
}

TEST(CopyWorkers, AMediumFilledWithWorkersEndsAtTheSameEntryAsOnOneThread) {
  QStringList flags[2], logs[2], files[2];
  int uncopied[2] = {0, 0};
  int index = 0;
  for (const int workers : {1, 4}) {
    SCOPED_TRACE(workers);
    WorkerWorld w(workers);
    SmallVolume vol(1024);
    if (!vol.mounted()) GTEST_SKIP() << "needs root to mount a small tmpfs";
    w.env.fs.drives().Map(u'S', vol.path());
    w.m.set.SaveDir = QStringLiteral("S:\\");
    for (int i = 0; i < 24; ++i) w.Source(QStringLiteral("f%1.bin").arg(i, 2, 10, QChar(u'0')), QByteArray(24 * 1024, char('a' + i)));
    vol.Fill(200 * 1024);
    // No: the rest is not saved. Then the medium has room again for the listing.
    w.env.ui.Expect(Question::DestinationFull, Answer::No, QStringLiteral("ドライブの空き量が足りません。"));
    w.env.ui.Expect(Question::UncopiedEntries, Answer::OK, QStringLiteral("個コピーできませんでした。"));
    w.env.ui.onYield = [&](int) {
      if (!w.env.ui.messages.isEmpty()) vol.Drain();
    };
    const RunResult r = w.Run();
    ASSERT_TRUE(r.succeeded);
    EXPECT_TRUE(w.env.ui.Exhausted());
    uncopied[index] = r.uncopied;
    for (const QString& line : TextCodec().DecodeLines(w.env.ReadFile(QStringLiteral("S:\\daily\\") + r.saveName + QStringLiteral(".csv")))) {
      const QStringList f = EngineWorld::Fields(line);
      flags[index] += f[0] + u' ' + f[4];
      // Nothing in the save for an entry that is not listed as saved, and the other way round.
      if (f[0].endsWith(u".bin")) {
        EXPECT_EQ(w.env.Exists(QStringLiteral("S:\\daily\\") + r.saveName + QStringLiteral("\\Drive_T\\src\\") + f[0].mid(7)),
                  f[4] == u"3")
            << line.toStdString();
      }
    }
    QDirIterator it(vol.path() + QStringLiteral("/daily"), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) files[index] += it.next().mid(vol.path().size());
    files[index].sort();
    logs[index] = QString::fromUtf8(w.env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.log")))
                      .replace(QRegularExpression(QStringLiteral("\\d\\d:\\d\\d(:\\d\\d)?")), QStringLiteral("hh:mm"))
                      .split(u'\n');
    ++index;
  }
  EXPECT_GT(uncopied[0], 0);
  EXPECT_LT(uncopied[0], 24);
  EXPECT_EQ(uncopied[0], uncopied[1]);
  EXPECT_EQ(flags[0], flags[1]);
  EXPECT_EQ(files[0], files[1]);
  EXPECT_EQ(logs[0], logs[1]);
}

TEST(CopyWorkers, TheFreeSpaceIsAskedOncePerBatchYetTheReserveStopsAtTheSameEntryAsOnOneThread) {
  {
    // Far above the reserve: a few questions for the whole run, not one for every entry.
    WorkerWorld w(4);
    SmallVolume vol(80 * 1024);
    if (!vol.mounted()) GTEST_SKIP() << "needs root to mount a small tmpfs";
    w.env.fs.drives().Map(u'S', vol.path());
    w.m.set.SaveDir = QStringLiteral("S:\\");
    w.m.set.options.RsvSizeChk = 1;
    w.m.set.options.RsvSize = 1;
    for (int i = 0; i < 64; ++i) w.Source(QStringLiteral("f%1.bin").arg(i, 2, 10, QChar(u'0')), QByteArray(4096, 'x'));
    int asked = 0;
    w.fs.onFreeQuery = [&] { ++asked; };
    const RunResult r = w.Run();
    ASSERT_TRUE(r.succeeded);
    EXPECT_EQ(r.uncopied, 0);
    EXPECT_LT(asked, 16);
  }
  // Near it: asked for every entry, and the short reserve is met where one thread meets it.
  QStringList flags[2];
  int index = 0;
  for (const int workers : {1, 4}) {
    SCOPED_TRACE(workers);
    WorkerWorld w(workers);
    SmallVolume vol(4096);
    w.env.fs.drives().Map(u'S', vol.path());
    w.m.set.SaveDir = QStringLiteral("S:\\");
    w.m.set.options.RsvSizeChk = 1;
    w.m.set.options.RsvSize = 1;
    for (int i = 0; i < 40; ++i) w.Source(QStringLiteral("f%1.bin").arg(i, 2, 10, QChar(u'0')), QByteArray(24 * 1024, char('a' + i % 26)));
    vol.Fill((1024 + 300) * 1024);
    w.env.ui.Expect(Question::ReserveShort, Answer::No, QStringLiteral("保存先ディスク残量が制限値以下です!"));
    w.env.ui.Expect(Question::ReserveSwitchOff, Answer::No, QStringLiteral("今回の保存での残量制限を無効にしますか？"));
    w.env.ui.Expect(Question::UncopiedEntries, Answer::OK, QStringLiteral("個コピーできませんでした。"));
    const RunResult r = w.Run();
    ASSERT_TRUE(r.succeeded);
    EXPECT_TRUE(w.env.ui.Exhausted());
    EXPECT_GT(r.uncopied, 0);
    EXPECT_LT(r.uncopied, 40);
    for (const QString& line : TextCodec().DecodeLines(w.env.ReadFile(QStringLiteral("S:\\daily\\") + r.saveName + QStringLiteral(".csv"))))
      flags[index] += EngineWorld::Fields(line)[0] + u' ' + EngineWorld::Fields(line)[4];
    ++index;
  }
  EXPECT_EQ(flags[0], flags[1]);
}

// A worker's platform on which the save's folder d1 goes just before the first copy into it,
// as another program might take it away. The copies into d1 wait for that, so the folder is
// still empty when it goes, whichever worker gets there first.
struct FolderGoesBeforeItsCopy : ForwardingPlatform {
  explicit FolderGoesBeforeItsCopy(std::unique_ptr<Platform> own) : ForwardingPlatform(*own), own_(std::move(own)) {}
  using ForwardingPlatform::Copy;
  CopyResult Copy(const QString& from, const QString& to, const CopyOptions& o) override {
    if (to.contains(u"\\d1\\")) {
      const std::lock_guard lock(first);
      if (!removed.exchange(true)) {
        EXPECT_TRUE(RmDir(to.left(to.lastIndexOf(u'\\'))));
      }
    }
    return ForwardingPlatform::Copy(from, to, o);
  }
  std::unique_ptr<Platform> own_;
  static inline std::atomic<bool> removed{false};
  static inline std::mutex first;
};

// The run hands a worker the copies into a folder it made a moment ago without entering it
// again: one that went meanwhile is made anew by the run, and its files are all saved.
TEST(CopyWorkers, ASaveFolderThatGoesWhileWorkersCopyIsMadeAnew) {
  struct Platform : WorkerPlatform {
    using WorkerPlatform::WorkerPlatform;
    std::unique_ptr<qarno::Platform> ForWorker() override {
      return std::make_unique<FolderGoesBeforeItsCopy>(base_.ForWorker());
    }
  };
  WorkerWorld w(2);
  Platform fs(w.env.fs);
  Module1 m(fs, w.env.ui, QStringLiteral("T:\\prog"));
  SetUpDailySet(m, w.env);
  Qarno main(m);
  for (const char* name : {"d0\\x.txt", "d1\\a.txt", "d1\\b.txt", "d1\\c.txt", "d2\\y.txt"})
    w.Source(QString::fromLatin1(name), QByteArray(name));
  FolderGoesBeforeItsCopy::removed = false;
  std::unique_ptr<FSaveExec> run;
  const RunResult r = RunSave(m, main, run, Level::Level0);
  ASSERT_TRUE(r.succeeded);
  EXPECT_TRUE(FolderGoesBeforeItsCopy::removed);
  EXPECT_EQ(r.uncopied, 0);
  for (const char* name : {"d0\\x.txt", "d1\\a.txt", "d1\\b.txt", "d1\\c.txt", "d2\\y.txt"})
    EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\") + r.saveName + QStringLiteral("\\Drive_T\\src\\") + QString::fromLatin1(name)),
              QByteArray(name)) << name;
}

TEST(CopyWorkers, ACancelWhileWorkersCopyLeavesNoSaveBehind) {
  WorkerWorld w(4);
  for (int i = 0; i < 120; ++i) w.Source(QStringLiteral("d%1\\f%2").arg(i % 4).arg(i), QByteArray(100 * 1024, char('a' + i % 26)));
  bool pressed = false;
  w.env.ui.onYield = [&](int) {
    if (!pressed && w.run && w.run->state().progress.phase == phase::Copy && w.run->state().progress.processedCount >= 10) {
      w.m.CancelFlag.Set();
      pressed = true;
    }
  };
  const RunResult r = w.Run();
  EXPECT_FALSE(r.succeeded);
  EXPECT_LT(w.run->state().progress.processedCount, 80);  // only what was in flight went on
  EXPECT_TRUE(QString::fromUtf8(w.env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.log")))
                  .endsWith(QStringLiteral("中止されました\r\n終了\r\n\r\n")));
  // No worker wrote anything after the failed save was removed.
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\dst\\daily\\") + r.saveName));
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\dst\\daily\\") + r.saveName + QStringLiteral(".csv")));
  EXPECT_FALSE(w.main.HisTable.HasData());
}

}  // namespace
}  // namespace qarno::test
