// SPDX-License-Identifier: GPL-3.0-or-later
// A backup never destroys what it saves and never reports a failed write as success: one
// named test per fault that was found, on real temporary trees (and a real full tmpfs).
#include "EngineWorld.h"
#include "maintenance/NoCompTypes.h"
#include "restore/FRestore.h"
#include "support/SmallVolume.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFile>
#include "platform/TextCodec.h"

#include <QDirIterator>
#include <gtest/gtest.h>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <limits>
#include <chrono>
#include <thread>

namespace qarno::test {
namespace {

struct Safety : ::testing::Test {
  EngineWorld w;
  void SetUp() override {
    for (int i = 0; i < 3; ++i) w.Source(QStringLiteral("f%1.txt").arg(i), QByteArray(100 + i, char('a' + i)));
  }
  QString Save(const QString& save, const QString& rel) const {
    return QStringLiteral("T:\\dst\\daily\\") + save + QStringLiteral("\\Drive_T\\src\\") + rel;
  }
  QStringList Fields(const QString& save, const QString& rel) const {
    return EngineWorld::Fields(w.ListingLine(save, w.Src(rel)));
  }
  mode_t Mode(const QString& winPath) const {
    struct stat st;
    if (::stat(QFile::encodeName(w.env.Host(winPath)).constData(), &st) != 0) return 0;
    return st.st_mode & 07777;
  }
};

// --- A full medium -------------------------------------------------------------------------

struct FullDisk : Safety {
  std::unique_ptr<SmallVolume> vol;
  void SetUp() override {
    Safety::SetUp();
    vol = std::make_unique<SmallVolume>(256);
    if (!vol->mounted()) GTEST_SKIP() << "needs root to mount a small tmpfs";
    w.env.fs.drives().Map(u'S', vol->path());
  }
};

TEST_F(FullDisk, AHistoryThatCannotBeWrittenStaysWholeAndTheRunFails) {
  // The set folder on the small volume; the saves elsewhere.
  w.m.SetFolder = QStringLiteral("S:\\SetDir");
  QDir().mkpath(vol->path() + QStringLiteral("/SetDir"));
  ASSERT_TRUE(w.Run(Level::Level0).succeeded);
  QFile history(vol->path() + QStringLiteral("/SetDir/daily.qrl"));
  ASSERT_TRUE(history.open(QIODevice::ReadOnly));
  const QByteArray good = history.readAll();
  history.close();
  ASSERT_FALSE(good.isEmpty());
  const QByteArray goodOnDestination = w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\daily.qrl"));

  vol->Fill(0);
  w.Source(QStringLiteral("f0.txt"), "changed");
  w.ui.Expect(Question::HistoryNotSaved, Answer::OK, QStringLiteral("daily.qrl\r保存できませんでした"));
  const RunResult r = w.Run(Level::Level1);
  EXPECT_FALSE(r.succeeded);
  ASSERT_TRUE(history.open(QIODevice::ReadOnly));
  EXPECT_EQ(history.readAll(), good);  // never an empty or half history
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\daily.qrl")), goodOnDestination);
  EXPECT_EQ(w.m.AutoRunMode.mode, -1);
}

TEST_F(FullDisk, AListingThatCannotBeWrittenFailsTheRunAtEveryLevel) {
  w.m.set.SaveDir = QStringLiteral("S:\\");
  for (Level lv : {Level::Level0, Level::Level1, Level::Level2, Level::Overwrite, Level::Repair}) {
    SCOPED_TRACE(NumberOf(lv));
    vol->Drain();
    // The run before it that this level builds on.
    if (lv != Level::Level0) {
      ASSERT_TRUE(w.Run(lv == Level::Overwrite ? Level::Overwrite : Level::Level0).succeeded);
    }
    const QByteArray previousAll = QFile::exists(vol->path() + QStringLiteral("/daily/Qrn_All.csv"))
                                       ? [&] {
                                           QFile f(vol->path() + QStringLiteral("/daily/Qrn_All.csv"));
                                           f.open(QIODevice::ReadOnly);
                                           return f.readAll();
                                         }()
                                       : QByteArray();
    w.Source(QStringLiteral("f1.txt"), QByteArray(200, char('k' + NumberOf(lv))));
    // The medium fills up once the copies are made, while the listing is written.
    bool filled = false;
    w.ui.onYield = [&](int) {
      if (!filled && w.run && w.run->state().progress.phase == phase::Csv) {
        vol->Fill(0);
        filled = true;
      }
    };
    w.ui.Expect(Question::ListingNotWritten, Answer::OK, QStringLiteral("CSVファイルが作成できませんでした。"));
    const RunResult r = w.Run(lv);
    w.ui.onYield = nullptr;
    EXPECT_FALSE(r.succeeded);
    EXPECT_TRUE(filled);
    // No listing of the failed run (or, for the overwrite save, the earlier one unchanged).
    if (lv == Level::Overwrite) {
      QFile f(vol->path() + QStringLiteral("/daily/Qrn_All.csv"));
      ASSERT_TRUE(f.open(QIODevice::ReadOnly));
      EXPECT_EQ(f.readAll(), previousAll);
    } else if (lv != Level::Repair) {
      EXPECT_FALSE(QFile::exists(vol->path() + QStringLiteral("/daily/") + r.saveName + QStringLiteral(".csv")));
    }
    EXPECT_TRUE(w.ui.Exhausted());
    w.m.AutoRunMode.mode = -1;
  }
}

TEST_F(FullDisk, TheSetFileAndTheTypeListStayAsTheyWereOnAFullMedium) {
  w.m.SetFolder = QStringLiteral("S:\\SetDir");
  w.m.ProgramFolder = QStringLiteral("S:\\");
  QDir().mkpath(vol->path() + QStringLiteral("/SetDir"));
  ASSERT_TRUE(w.main.WriteSetFile());
  w.m.NoCompTypes = {QStringLiteral("jpg"), QStringLiteral("zip")};
  WriteNctFile(w.m);
  auto read = [&](const QString& rel) {
    QFile f(vol->path() + rel);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  };
  const QByteArray set = read(QStringLiteral("/SetDir/daily.qrn"));
  const QByteArray types = read(QStringLiteral("/Qarno.nct"));
  ASSERT_FALSE(set.isEmpty());
  ASSERT_FALSE(types.isEmpty());
  vol->Fill(0);
  w.m.set.SaveList.append(QStringLiteral("T:\\more\\") + QString(3000, u'x'));  // a bigger file now
  w.ui.Expect(Question::SetFileNotSaved, Answer::OK, QStringLiteral("保存できませんでした"));
  EXPECT_FALSE(w.main.WriteSetFile());
  EXPECT_EQ(read(QStringLiteral("/SetDir/daily.qrn")), set);
  w.m.NoCompTypes.append(QString(3000, u'y'));
  WriteNctFile(w.m);
  EXPECT_EQ(read(QStringLiteral("/Qarno.nct")), types);  // kept, not removed
}

// --- Paths that climb, patterns and quotes --------------------------------------------------

TEST_F(Safety, ASaveListEntryThatClimbsIsRefusedAndCounted) {
  w.m.set.SaveList = {QStringLiteral("T:\\src"), QStringLiteral("T:\\src\\sub\\..\\f0.txt"),
                      QStringLiteral("T:\\src\\.\\f1.txt"), QStringLiteral("T:\\src\\\"q.txt")};
  w.ui.Expect(Question::UncopiedEntries, Answer::OK, QStringLiteral("3 個コピーできませんでした。"));
  const RunResult r = w.Run(Level::Level0);
  ASSERT_TRUE(r.succeeded);
  EXPECT_EQ(r.uncopied, 3);
  const QString all = w.Listing(r.saveName).join(u'\n');
  EXPECT_FALSE(all.contains(QStringLiteral("..")));
  EXPECT_FALSE(all.contains(QStringLiteral("\\.\\")));
  EXPECT_TRUE(w.Log().contains(QStringLiteral("保存できませんでした（ファイル名） [T:\\src\\sub\\..\\f0.txt]")));
  EXPECT_TRUE(w.Log().contains(QStringLiteral("保存できませんでした（ファイル名） [T:\\src\\\"q.txt]")));
  EXPECT_EQ(w.env.ReadFile(w.Src("f0.txt")), QByteArray(100, 'a'));  // the source as it was
}

TEST_F(Safety, ARepairNeverCopiesAClimbingPathOfThePreviousListing) {
  const RunResult r0 = w.Run(Level::Level0);
  ASSERT_TRUE(r0.succeeded);
  // A listing line, damaged or crafted, that would put its copy onto the source itself.
  QFile listing(w.env.Host(QStringLiteral("T:\\dst\\daily\\") + r0.saveName + QStringLiteral(".csv")));
  ASSERT_TRUE(listing.open(QIODevice::Append));
  listing.write("\"T:\\src\\x\\..\\..\\..\\..\\..\\src\\f0.txt\",---A-,100,2001/02/03 04:05:06,-2,,,,,,\r\n");
  listing.close();
  w.ui.Expect(Question::UncopiedEntries, Answer::OK, QStringLiteral("1 個コピーできませんでした。"));
  const RunResult r = w.Run(Level::Repair);
  ASSERT_TRUE(r.succeeded);
  EXPECT_EQ(w.env.ReadFile(w.Src("f0.txt")), QByteArray(100, 'a'));
  EXPECT_FALSE(w.Listing(r0.saveName).join(u'\n').contains(QStringLiteral("..")));
}

TEST_F(Safety, AFolderWhoseNameHoldsAStarIsScannedOnce) {
  w.Source(QStringLiteral("star*dir\\inner.txt"), "in");
  w.Source(QStringLiteral("starry.txt"), "no");
  const RunResult r = w.Run(Level::Level0);
  ASSERT_TRUE(r.succeeded);
  const QStringList lines = w.Listing(r.saveName);
  EXPECT_EQ(lines.filter(QStringLiteral("star*dir\\inner.txt")).size(), 1);
  EXPECT_EQ(lines.filter(QStringLiteral("starry.txt")).size(), 1);
}

// --- Permissions ------------------------------------------------------------------------------

TEST_F(Safety, CopiesNeverCarrySetuidAndPrivateFoldersStayPrivate) {
  if (::geteuid() != 0) GTEST_SKIP() << "root only: the bits matter when root copies others' files";
  w.Source(QStringLiteral("tool"), "#!/bin/sh\n");
  ::chmod(QFile::encodeName(w.env.Host(w.Src("tool"))).constData(), 04755);
  w.Source(QStringLiteral("private\\secret.txt"), "s");
  ::chmod(QFile::encodeName(w.env.Host(w.Src("private\\secret.txt"))).constData(), 0600);
  ::chmod(QFile::encodeName(w.env.Host(w.Src("private"))).constData(), 0700);
  w.Source(QStringLiteral("shared\\open.txt"), "o");
  ::chmod(QFile::encodeName(w.env.Host(w.Src("shared"))).constData(), 0755);
  const RunResult r = w.Run(Level::Level0);
  ASSERT_TRUE(r.succeeded);
  EXPECT_EQ(Mode(Save(r.saveName, QStringLiteral("tool"))), 0755u);
  EXPECT_EQ(Mode(Save(r.saveName, QStringLiteral("private"))), 0700u);
  EXPECT_EQ(Mode(Save(r.saveName, QStringLiteral("shared"))), 0755u);
  EXPECT_EQ(Mode(QStringLiteral("T:\\dst\\daily\\") + r.saveName), 0700u);  // the save itself
  EXPECT_EQ(Mode(QStringLiteral("T:\\dst\\daily")), 0700u);
}

// --- The overwrite save ----------------------------------------------------------------------

TEST_F(Safety, TheOverwriteListingSurvivesAFailedWriteOfTheNewOne) {
  ASSERT_TRUE(w.Run(Level::Overwrite).succeeded);
  const QByteArray first = w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\Qrn_All.csv"));
  w.Source(QStringLiteral("f0.txt"), "changed");
  w.fs.writeFails.insert(QStringLiteral("T:\\dst\\daily\\Qrn_All.csv"), FsError::NoSpace);
  w.ui.Expect(Question::ListingNotWritten, Answer::OK, QStringLiteral("Qrn_All.csv\rCSVファイルが作成できませんでした。"));
  EXPECT_FALSE(w.Run(Level::Overwrite).succeeded);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\Qrn_All.csv")), first);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\Qrn_All_Bak.csv")), first);
  // A Cancel while the listing is written leaves it just as well.
  w.fs.writeFails.clear();
  w.m.AutoRunMode.mode = -1;
  bool pressed = false;
  w.ui.onYield = [&](int) {
    if (!pressed && w.run && w.run->state().progress.phase == phase::Csv) {
      w.m.CancelFlag.Set();
      pressed = true;
    }
  };
  EXPECT_FALSE(w.Run(Level::Overwrite).succeeded);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\Qrn_All.csv")), first);
}

TEST_F(Safety, AFailedOverwriteCopyKeepsThePreviousCopyAndItsListing) {
  ASSERT_TRUE(w.Run(Level::Overwrite).succeeded);
  const QString copy = Save(QStringLiteral("Qrn_All"), QStringLiteral("f0.txt"));
  w.Source(QStringLiteral("f0.txt"), "new content");
  w.fs.unopenable.insert(w.Src("f0.txt"));  // the changed file cannot be read now
  w.ui.Expect(Question::UncopiedEntries, Answer::OK, QStringLiteral("1 個コピーできませんでした。"));
  const RunResult r = w.Run(Level::Overwrite);
  ASSERT_TRUE(r.succeeded);
  EXPECT_EQ(r.uncopied, 1);
  EXPECT_EQ(w.env.ReadFile(copy), QByteArray(100, 'a'));
  const QStringList f = Fields(QStringLiteral("Qrn_All"), QStringLiteral("f0.txt"));
  EXPECT_EQ(f[4], QStringLiteral("8"));        // not saved this time: copied again next time
  EXPECT_EQ(f[2], QStringLiteral("100"));      // the previous copy's size
  EXPECT_EQ(f[5], QStringLiteral("Qrn_All"));  // and where it lies
  // The restore still gives the previous copy back.
  w.main.ReadHisFile();
  FRestore restore(w.m, w.main.HisTable);
  restore.Form_Load();
  ASSERT_TRUE(restore.FormInit(1));
  restore.SetTarget(1, QStringLiteral("T:\\back"));
  EXPECT_EQ(restore.MarkPathTree(w.Src("f0.txt")), 1);
  EXPECT_EQ(restore.OK_Click(), RestoreOutcome::Finished);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\back\\Drive_T\\src\\f0.txt")), QByteArray(100, 'a'));
}

TEST_F(Safety, AliasesNeverRepeatInASaveWhoseHistoryRowWasDeleted) {
  w.m.set.options.PathLen = 30;  // every file aliased
  ASSERT_TRUE(w.Run(Level::Overwrite).succeeded);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\Qrn_All\\Alias\\000002")), QByteArray(102, 'c'));
  // The row goes, the data stays.
  w.main.ClearHisTable();
  ASSERT_TRUE(w.main.SaveHisFile());
  w.Source(QStringLiteral("f9.txt"), "late");
  const RunResult r = w.Run(Level::Overwrite);
  ASSERT_TRUE(r.succeeded);
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\Qrn_All\\Alias\\000002")), QByteArray(102, 'c'));
  const int alias = Fields(QStringLiteral("Qrn_All"), QStringLiteral("f9.txt"))[10].toInt();
  EXPECT_GT(alias, 2);
}

TEST_F(Safety, ALinkPlantedInTheSaveDoesNotRedirectTheCopies) {
  ASSERT_TRUE(w.Run(Level::Overwrite).succeeded);
  w.env.MakeDir(QStringLiteral("T:\\outside"));
  const QString folder = w.env.Host(QStringLiteral("T:\\dst\\daily\\Qrn_All\\Drive_T\\src"));
  QDir(folder).removeRecursively();
  ASSERT_EQ(::symlink(QFile::encodeName(w.env.Host(QStringLiteral("T:\\outside"))).constData(),
                      QFile::encodeName(folder).constData()),
            0);
  w.Source(QStringLiteral("f0.txt"), "changed");
  w.ui.AnswerAll(Question::UncopiedEntries, Answer::OK);
  w.Run(Level::Overwrite);
  EXPECT_TRUE(QDir(w.env.Host(QStringLiteral("T:\\outside"))).isEmpty());
}

// --- Deep trees and links the scan finds -----------------------------------------------------

// Enters the folders of `parts` one by one below an open folder, making them where asked: a
// tree deeper than any path the host accepts is reached this way only. -1 when a step fails.
int Enter(int dir, const QList<QByteArray>& parts, bool make) {
  int fd = ::fcntl(dir, F_DUPFD_CLOEXEC, 0);
  for (const QByteArray& part : parts) {
    if (fd < 0) return -1;
    if (make) ::mkdirat(fd, part.constData(), 0755);
    const int next = ::openat(fd, part.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    ::close(fd);
    fd = next;
  }
  return fd;
}

// Removes a folder and all below it, relative to open folders.
void RemoveBelow(int dir, const QByteArray& name) {
  const int fd = ::openat(dir, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (DIR* d = fd < 0 ? nullptr : ::fdopendir(fd)) {
    QList<QByteArray> names;
    while (struct dirent* e = ::readdir(d))
      if (qstrcmp(e->d_name, ".") != 0 && qstrcmp(e->d_name, "..") != 0) names += e->d_name;
    for (const QByteArray& n : names)
      if (::unlinkat(::dirfd(d), n.constData(), 0) != 0) RemoveBelow(::dirfd(d), n);
    ::closedir(d);
  }
  ::unlinkat(dir, name.constData(), AT_REMOVEDIR);
}

TEST_F(Safety, AFolderPastTheHostPathLimitIsRefusedAndTheDeepestFileTakenIsSaved) {
  // No aliases: the copy makes every folder on the destination, whose paths are longer still.
  w.m.set.options.PathLen = std::numeric_limits<int16_t>::max();
  const int src = ::open(QFile::encodeName(w.env.Host(QStringLiteral("T:\\src"))).constData(), O_RDONLY | O_DIRECTORY);
  const int root = ::open(QFile::encodeName(w.env.root()).constData(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(src, 0);
  struct Cleanup {
    int src, root;
    ~Cleanup() {
      RemoveBelow(src, QByteArray(200, 'd'));
      RemoveBelow(root, "dst");
      ::close(src);
      ::close(root);
    }
  } cleanup{src, root};
  // Folders down to where one more name fills the host's path limit: "kept" takes every byte
  // a path may have, "refused" one more, and below it the tree goes on past 4,200 bytes.
  QList<QByteArray> folders;
  qsizetype room = PATH_MAX - 2 - QFile::encodeName(w.env.Host(QStringLiteral("T:\\src"))).size();
  for (; room > 254; room -= 201) folders += QByteArray(200, 'd');
  const QByteArray kept(room, 'k'), refused(room + 1, 'z');
  const int last = Enter(src, folders, true);
  ASSERT_GE(last, 0);
  const int keptFd = ::openat(last, kept.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_EQ(::write(keptFd, "kept", 4), 4);
  ::close(keptFd);
  const int deepest = Enter(last, {refused, QByteArray(200, 'd'), QByteArray(200, 'd')}, true);
  ASSERT_GE(deepest, 0);
  ::close(::openat(deepest, "lost.txt", O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
  ::close(deepest);
  ::close(last);
  QString folder = QStringLiteral("T:\\src");
  for (const QByteArray& f : folders) folder += u'\\' + QString::fromLatin1(f);
  const QString keptPath = folder + u'\\' + QString::fromLatin1(kept);

  w.ui.AnswerAll(Question::UncopiedEntries, Answer::OK);
  const RunResult r0 = w.Run(Level::Level0);
  ASSERT_TRUE(r0.succeeded);
  EXPECT_EQ(r0.uncopied, 1);
  EXPECT_TRUE(w.Log().contains(QStringLiteral("保存できませんでした（ファイル名） [") + folder + u'\\' +
                               QString::fromLatin1(refused) + u']'));
  EXPECT_FALSE(w.Listing(r0.saveName).join(u'\n').contains(QStringLiteral("lost.txt")));
  EXPECT_FALSE(w.ListingLine(r0.saveName, w.Src(QStringLiteral("f0.txt"))).isEmpty());
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(r0.saveName, keptPath))[4], QStringLiteral("3"));
  EXPECT_TRUE(w.HistoryLines().join(u'\n').contains(r0.saveName));
  const int copyFolder = Enter(root, QList<QByteArray>{"dst", "daily", r0.saveName.toLatin1(), "Drive_T", "src"} + folders, false);
  ASSERT_GE(copyFolder, 0);
  char copy[8] = {};
  const int copyFd = ::openat(copyFolder, kept.constData(), O_RDONLY | O_CLOEXEC);
  EXPECT_EQ(::read(copyFd, copy, sizeof copy), 4);
  EXPECT_STREQ(copy, "kept");
  ::close(copyFd);
  ::close(copyFolder);

  // The next level finds the deep file unchanged, held by the first run.
  const RunResult r1 = w.Run(Level::Level1);
  ASSERT_TRUE(r1.succeeded);
  EXPECT_EQ(r1.uncopied, 1);
  EXPECT_EQ(EngineWorld::Fields(w.ListingLine(r1.saveName, keptPath))[5], r0.saveName);
}

TEST_F(Safety, LinksFoundInASavedTreeAreLeftOutAndTheCopyNeverFollowsOne) {
  // A file only its owner may read, with links to it and to its folder planted in the tree.
  w.env.WriteFile(QStringLiteral("T:\\vault\\secret.txt"), "only root");
  ::chmod(QFile::encodeName(w.env.Host(QStringLiteral("T:\\vault\\secret.txt"))).constData(), 0644);
  ::chmod(QFile::encodeName(w.env.Host(QStringLiteral("T:\\vault"))).constData(), 0700);
  const QByteArray vault = QFile::encodeName(w.env.Host(QStringLiteral("T:\\vault")));
  auto plant = [&](const QByteArray& target, const QString& at) {
    const QByteArray host = QFile::encodeName(w.env.Host(at));
    ::unlink(host.constData());
    ::rename(host.constData(), host + ".old");  // a folder goes aside
    ASSERT_EQ(::symlink(target.constData(), host.constData()), 0);
  };
  plant(vault + "/secret.txt", w.Src(QStringLiteral("planted.txt")));
  plant(vault, w.Src(QStringLiteral("planted")));
  // A link the user names in the save list is saved as the file it points at.
  w.env.WriteFile(QStringLiteral("T:\\elsewhere\\real.txt"), "named");
  w.env.MakeDir(QStringLiteral("T:\\home"));
  plant(QFile::encodeName(w.env.Host(QStringLiteral("T:\\elsewhere\\real.txt"))), QStringLiteral("T:\\home\\mine.txt"));
  w.m.set.SaveList = {QStringLiteral("T:\\src"), QStringLiteral("T:\\home\\mine.txt")};
  // Once the scan has seen a file and a folder as they are, both become links.
  w.Source(QStringLiteral("sub\\inner.txt"), "in");
  bool swapped = false;
  w.fs.listOverride = [&](const QString& pattern) -> std::optional<std::vector<DirEntry>> {
    if (swapped || pattern != u"T:\\src\\*.*") return std::nullopt;
    auto real = w.env.fs.List(pattern);
    swapped = true;
    plant(vault + "/secret.txt", w.Src(QStringLiteral("f2.txt")));
    plant(vault, w.Src(QStringLiteral("sub")));
    return real;
  };

  w.ui.Expect(Question::UncopiedEntries, Answer::OK, QStringLiteral("2 個コピーできませんでした。"));
  const RunResult r = w.Run(Level::Level0);
  ASSERT_TRUE(r.succeeded);
  EXPECT_EQ(r.uncopied, 2);  // the swapped file and what the swapped folder showed
  EXPECT_TRUE(w.ListingLine(r.saveName, w.Src(QStringLiteral("planted.txt"))).isEmpty());
  EXPECT_TRUE(w.ListingLine(r.saveName, w.Src(QStringLiteral("planted"))).isEmpty());
  EXPECT_TRUE(w.Log().contains(QStringLiteral("保存しませんでした（シンボリックリンク） [T:\\src\\planted.txt]")));
  EXPECT_TRUE(w.Log().contains(QStringLiteral("保存しませんでした（シンボリックリンク） [T:\\src\\planted]")));
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\") + r.saveName + QStringLiteral("\\Drive_T\\home\\mine.txt")),
            QByteArray("named"));
  QDirIterator it(w.env.Host(QStringLiteral("T:\\dst\\daily\\") + r.saveName), QDir::Files | QDir::Hidden,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    QFile copy(it.next());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_NE(copy.readAll(), QByteArray("only root")) << it.filePath().toStdString();
  }
}

// --- Questions, records, counts ---------------------------------------------------------------

TEST_F(Safety, YesAtTheFullMediumQuestionCopiesTheFileOnTheNewMedium) {
  w.fs.copyFails.insert(w.Src("f1.txt"));  // the copy fails with a medium too full for it
  w.fs.freeKB = 0;
  w.ui.Expect(Question::DestinationFull, Answer::Yes, QStringLiteral("ドライブの空き量が足りません。"));
  // The new medium: room, copies work, and its own serial.
  const int readsBefore = w.fs.volumeReads;
  w.fs.onVolumeRead = [&](int n) {
    if (n > readsBefore && !w.ui.messages.isEmpty()) {
      w.fs.copyFails.clear();
      w.fs.freeKB.reset();
      w.fs.volume.serial = 0x0BAD0001;
    }
  };
  const RunResult r = w.Run(Level::Level0);
  ASSERT_TRUE(r.succeeded);
  EXPECT_EQ(r.uncopied, 0);
  EXPECT_EQ(Fields(r.saveName, QStringLiteral("f1.txt"))[4], QStringLiteral("3"));
  // What was copied after the question records the medium it is on.
  EXPECT_EQ(Fields(r.saveName, QStringLiteral("f0.txt"))[6], QStringLiteral("1A2B-3C4D"));
  EXPECT_EQ(Fields(r.saveName, QStringLiteral("f1.txt"))[6], QStringLiteral("0BAD-0001"));
  EXPECT_EQ(Fields(r.saveName, QStringLiteral("f2.txt"))[6], QStringLiteral("0BAD-0001"));
  EXPECT_EQ(w.env.ReadFile(Save(r.saveName, QStringLiteral("f1.txt"))), QByteArray(101, 'b'));
}

TEST_F(Safety, ADestinationWithACommaIsRefusedBeforeTheRun) {
  w.env.MakeDir(QStringLiteral("T:\\a,b"));
  w.m.set.SaveDir = QStringLiteral("T:\\a,b");
  w.ui.Expect(Question::SaveDirHasComma, Answer::OK, QStringLiteral("T:\\a,b\r保存先のディレクトリ名に「,」(カンマ)は使えません。"));
  EXPECT_FALSE(w.Run(Level::Level0).succeeded);
  EXPECT_FALSE(w.main.HisTable.HasData());
  EXPECT_FALSE(QDir(w.env.Host(QStringLiteral("T:\\a,b"))).exists(QStringLiteral("daily")));
}

TEST_F(Safety, AVolumeLabelWithACommaKeepsTheRecordsReadable) {
  w.fs.volume = VolumeInfo{QStringLiteral("MY,DISK"), 0x12345678};
  const RunResult r0 = w.Run(Level::Level0);
  ASSERT_TRUE(r0.succeeded);
  EXPECT_EQ(Fields(r0.saveName, QStringLiteral("f0.txt"))[7], QStringLiteral("MY，DISK"));
  // The history reads back with its fields in place, and the next run sees the same medium.
  w.main.ReadHisFile();
  EXPECT_EQ(w.main.HisTable.Cell(1, HistoryEntry::VolName), QStringLiteral("MY，DISK"));
  EXPECT_EQ(w.main.HisTable.Cell(1, HistoryEntry::VolSerial), QStringLiteral("1234-5678"));
  w.Source(QStringLiteral("f0.txt"), "changed");
  EXPECT_TRUE(w.Run(Level::Level1).succeeded);  // no medium question
}

TEST_F(Safety, AFailedHistoryWriteTakesTheNewSavesRowWithIt) {
  w.m.set.options.DElErrFile = 1;
  w.fs.writeFails.insert(QStringLiteral("T:\\prog\\SetDir\\daily.qrl"), FsError::NoSpace);
  w.ui.Expect(Question::HistoryNotSaved, Answer::OK, QStringLiteral("daily.qrl\r保存できませんでした"));
  const RunResult r = w.Run(Level::Level0);
  EXPECT_FALSE(r.succeeded);
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\dst\\daily\\") + r.saveName));
  EXPECT_FALSE(w.env.Exists(QStringLiteral("T:\\dst\\daily\\") + r.saveName + QStringLiteral(".csv")));
  EXPECT_FALSE(w.main.ChkHis(r.saveName));
}

TEST_F(Safety, ACancelledUsedSizeCountRecordsNoSizeAndTheRunSucceeds) {
  w.m.set.options.CalUseSize = 1;
  w.ui.onYield = [&](int) {
    if (w.run && w.run->state().progress.phase == phase::UsedSize) w.m.CancelFlag.Set();
  };
  const RunResult r = w.Run(Level::Level0);
  EXPECT_TRUE(r.succeeded);
  ASSERT_TRUE(w.main.HisTable.HasData());
  EXPECT_EQ(w.main.HisTable.Cell(1, HistoryEntry::UsedKB), QString());
  EXPECT_TRUE(w.HistoryLines()[1].contains(QStringLiteral(",BACKUP1,,")));
}

TEST_F(Safety, AnArchiveNeverMeetsAFileOfItsOwnName) {
  LoadedArchiver archiver(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + QStringLiteral("/libunlha32.so"));
  if (!archiver.Load()) GTEST_SKIP() << "archiver library not built beside the tests";
  w.m.archiver = &archiver;
  w.m.set.options.ComplexTypeMode = 1;
  w.m.set.options.ComplexSettingMode = 0;
  w.m.NoCompTypes = {QStringLiteral("lzh")};
  w.Source(QStringLiteral("doc"), QByteArray(3000, 'd'));
  w.Source(QStringLiteral("doc.LZH"), "a real archive of the user's");
  const RunResult r = w.Run(Level::Level0);
  ASSERT_TRUE(r.succeeded);
  const QStringList packed = Fields(r.saveName, QStringLiteral("doc"));
  const QStringList plain = Fields(r.saveName, QStringLiteral("doc.LZH"));
  EXPECT_EQ(packed[9], QStringLiteral("1"));
  EXPECT_TRUE(packed[10].isEmpty());
  EXPECT_EQ(plain[9], QStringLiteral("0"));
  ASSERT_FALSE(plain[10].isEmpty());  // under an alias: both copies have their own name
  EXPECT_EQ(w.env.ReadFile(QStringLiteral("T:\\dst\\daily\\") + r.saveName + QStringLiteral("\\Alias\\") + plain[10]),
            QByteArray("a real archive of the user's"));
  EXPECT_NE(w.env.ReadFile(Save(r.saveName, QStringLiteral("doc.LZH"))), QByteArray("a real archive of the user's"));
}

// --- Files the run makes, and what killed runs left -----------------------------------

TEST(OwnFiles, EveryFileARunMakesIsOnlyWhatTheUmaskAllows) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run the backup as an unprivileged user";
  for (const mode_t mask : {mode_t(022), mode_t(077)}) {
    SCOPED_TRACE(mask);
    EngineWorld w;
    w.Source(QStringLiteral("a.txt"), "a");
    QDirIterator all(w.env.root(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    ASSERT_EQ(::lchown(QFile::encodeName(w.env.root()).constData(), 65534, 65534), 0);
    while (all.hasNext()) ASSERT_EQ(::lchown(QFile::encodeName(all.next()).constData(), 65534, 65534), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      ::umask(mask);
      if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
      const bool ok = w.Run(Level::Level0).succeeded && w.Run(Level::Overwrite).succeeded;
      ::_exit(ok ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    // History, listings, manifests, the set file, the log, the hold, the saves' folders; the
    // copies under Drive_ keep their source's bits and are not the run's to decide.
    QStringList seen;
    for (const QString& top : {QStringLiteral("T:\\prog\\SetDir"), QStringLiteral("T:\\dst")}) {
      QDirIterator it(w.env.Host(top), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
      while (it.hasNext()) {
        const QString path = it.next();
        if (path.contains(QStringLiteral("/Drive_"))) continue;
        struct stat st;
        ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, (S_ISDIR(st.st_mode) ? 0777u : 0666u) & ~mask) << path.toStdString();
        seen += it.fileName();
      }
    }
    for (const char* name : {"daily.qrl", "daily.log", "daily.lck", "Qrn_All", "Qrn_All.csv", "Qrn_All.sum"})
      EXPECT_TRUE(seen.contains(QString::fromLatin1(name))) << name;
  }
}

TEST_F(Safety, WhatAKilledRunLeftIsRemovedByTheNextRunAndNeverStopsIt) {
  // A run killed before it renamed its new files, in a container where the next run has
  // the same pid: the names it left are the first ones the next run would take.
  auto plant = [&](const QString& folder) {
    for (int n = 1; n <= 10; ++n) w.env.WriteFile(folder + QStringLiteral("\\.qarno-%1-%2.tmp").arg(::getpid()).arg(n), "half");
  };
  auto leftovers = [&](const QString& folder) {
    return QDir(w.env.Host(folder)).entryList({QStringLiteral(".qarno-*")}, QDir::Files | QDir::Hidden).size();
  };
  plant(QStringLiteral("T:\\prog\\SetDir"));
  plant(QStringLiteral("T:\\dst\\daily"));
  ASSERT_TRUE(w.Run(Level::Overwrite).succeeded);
  EXPECT_EQ(leftovers(QStringLiteral("T:\\prog\\SetDir")), 0);
  EXPECT_EQ(leftovers(QStringLiteral("T:\\dst\\daily")), 0);
  // An overwrite run clears the folders of the save it writes into again.
  const QString folder = QStringLiteral("T:\\dst\\daily\\Qrn_All\\Drive_T\\src");
  plant(folder);
  w.Source(QStringLiteral("f0.txt"), "changed", EngineWorld::kTime.addDays(1));
  ASSERT_TRUE(w.Run(Level::Overwrite).succeeded);
  EXPECT_EQ(leftovers(folder), 0);
  EXPECT_EQ(w.env.ReadFile(folder + QStringLiteral("\\f0.txt")), QByteArray("changed"));
}

TEST_F(Safety, OneRunOfASetAtATimeAndNoRowOfTheOtherIsLost) {
  HostPlatform other(w.env.fs.drives());
  const QString setFolder = QStringLiteral("T:\\prog\\SetDir");
  ASSERT_TRUE(w.Run(Level::Level0).succeeded);
  const QStringList history = w.HistoryLines();
  const QStringList saves = QDir(w.env.Host(QStringLiteral("T:\\dst\\daily"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot);

  // Another run holds the set for longer than the wait: this one fails and says why.
  w.m.setHoldWaitMs = 200;
  SetLockResult hold = other.LockSet(setFolder, QStringLiteral("daily"), LockKind::Exclusive, 0);
  ASSERT_TRUE(hold);
  w.ui.Expect(Question::SetInUse, Answer::OK, QStringLiteral("セット「daily」は他で使用中です"));
  EXPECT_FALSE(w.Run(Level::Level0).succeeded);
  EXPECT_EQ(w.HistoryLines(), history);
  EXPECT_EQ(QDir(w.env.Host(QStringLiteral("T:\\dst\\daily"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot), saves);
  EXPECT_TRUE(w.Log().contains(QStringLiteral("セットは他で使用中です")));

  // The other run records its row and lets go while this one waits: this one goes on from
  // the history as the other left it.
  w.m.setHoldWaitMs = 20000;
  std::thread holder([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    QStringList lines = history;
    lines += QString(history.last()).replace(history.last().section(u',', 0, 0), QStringLiteral("qrn20010203_09"));
    w.env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrl"), TextCodec().EncodeLines(lines));
    hold.lock.reset();
  });
  const RunResult r = w.Run(Level::Level0);
  holder.join();
  ASSERT_TRUE(r.succeeded);
  const QStringList after = w.HistoryLines().filter(QStringLiteral("qrn"));
  EXPECT_EQ(after.size(), 3);
  EXPECT_EQ(after.filter(QStringLiteral("qrn20010203_09")).size(), 1);
  EXPECT_EQ(after.filter(r.saveName).size(), 1);
}

}  // namespace
}  // namespace qarno::test
