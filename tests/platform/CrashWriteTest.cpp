// SPDX-License-Identifier: GPL-3.0-or-later
// The files a run and the main window keep (the history, a listing, a manifest, the set
// file) are written by the program's own code through a platform that can lose power at any
// step: afterwards each is wholly the old file or wholly the new one, and once the write said
// it was done, the new one.
#include "mainwin/Qarno.h"
#include "records/CsvListing.h"
#include "records/ListingLine.h"
#include "support/CrashPlatform.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <functional>

namespace qarno::test {
namespace {

using Step = CrashPlatform::Step;

// What a crash after each step left of the file that should be `old` or `now`: one line per
// crash that left something else, or lost a write that was done.
QStringList BadCrashes(CrashPlatform& fs, TestEnv& env, const QString& path, const QByteArray& old,
                       const QByteArray& now) {
  QStringList bad;
  for (size_t k = 0; k <= fs.steps.size(); ++k) {
    fs.CrashAfter(k);
    const QByteArray left = env.Exists(path) ? env.ReadFile(path) : QByteArray("(none)");
    const bool done = k == fs.steps.size();
    if (left != now && (done || left != old))
      bad << QStringLiteral("after %1 of %2 steps: %3")
                 .arg(k)
                 .arg(fs.steps.size())
                 .arg(QString::fromUtf8(left.left(40)));
  }
  return bad;
}

const RunPaths kPaths =
    RunPaths::Of(QStringLiteral("T:\\dst"), QStringLiteral("daily"), QStringLiteral("qrn20010101_00"));

struct DurableFile {
  const char* name;
  QString path;
  QByteArray old;  // on the disk before; the program reads it first where it does
  std::function<bool(Module1&)> write;
};

void PrintTo(const DurableFile& f, std::ostream* os) { *os << f.name; }

bool WriteListing(Module1& m) {
  SaveListTable list;
  for (const char* line : {"\"T:\\src\\a.txt\",---A-,3,2001/01/01 10:00:00,1,qrn20010101_00,,,,0,",
                           "\"T:\\src\\b.txt\",---A-,5,2001/01/01 11:00:00,1,qrn20010101_00,,,,0,"})
    list.Append(SplitListingLine(QString::fromUtf8(line)).ToEntry());
  RunProgress progress;
  const QString caption = QStringLiteral("Qarno  daily");
  ModuleRunContext run{m, caption, progress};
  RunMedium medium;
  return OutCsvList(run.run, kPaths, false, QString(), list, medium);
}

// A listing longer than the pieces it is written in.
bool WriteLongListing(Module1& m) {
  SaveListTable list;
  for (int i = 0; i < 4000; ++i) {
    SaveListEntry e = SplitListingLine(QStringLiteral("\"T:\\src\\a.txt\",---A-,3,2001/01/01 10:00:00,1,qrn20010101_00,,,,0,")).ToEntry();
    e.path = QStringLiteral("T:\\src\\folder %1\\a file named at some length %1.txt").arg(i);
    list.Append(e);
  }
  RunProgress progress;
  const QString caption = QStringLiteral("Qarno  daily");
  ModuleRunContext run{m, caption, progress};
  RunMedium medium;
  const bool ok = OutCsvList(run.run, kPaths, false, QString(), list, medium);
  QByteArray whole;
  for (int row = 1; row <= list.Count(); ++row) whole += m.codec.EncodeLine(FormatListingLine(list[row]));
  return ok && m.fs.ReadAll(kPaths.SaveCsvFile) == whole;
}

bool WriteManifest(Module1& m) {
  RunProgress progress;
  const QString caption = QStringLiteral("Qarno  daily");
  ModuleRunContext run{m, caption, progress};
  return OutSumList(run.run, kPaths, false, {{QStringLiteral("T:\\src\\a.txt"), 3, QByteArray(32, 'a')}});
}

const DurableFile kFiles[] = {
    {"History", QStringLiteral("T:\\prog\\SetDir\\daily.qrl"),
     "qrn990301_00.csv,,10,D:\\,1111-2222,V1,20\r\nqrn990302_00.csv,Level-1,11,D:\\,1111-2222,V1,21\r\n",
     [](Module1& m) {
       Qarno q(m);
       q.ReadHisFile();
       return q.SaveHisFile();
     }},
    {"SetFile", QStringLiteral("T:\\prog\\SetDir\\daily.qrn"), "#Version 1.10\r\ndir=E:\\old\r\n",
     [](Module1& m) { return Qarno(m).WriteSetFile(); }},
    {"Listing", kPaths.SaveCsvFile, "\"T:\\src\\old.txt\",---A-,1,2000/01/01 00:00:00,1,qrn20000101_00,,,,0,\r\n",
     WriteListing},
    {"Manifest", kPaths.SaveSumFile, "an earlier manifest\n", WriteManifest},
    {"LongListing", kPaths.SaveCsvFile, "\"T:\\src\\old.txt\",---A-,1,2000/01/01 00:00:00,1,qrn20000101_00,,,,0,\r\n",
     WriteLongListing},
};

class CrashWrite : public ::testing::TestWithParam<DurableFile> {
 protected:
  CrashWrite() { SetUpDailySet(m, env); }
  TestEnv env;
  CrashPlatform fs{env.fs};
  Module1 m{fs, env.ui, QStringLiteral("T:\\prog")};
};

TEST_P(CrashWrite, ACrashAtAnyStepLeavesTheOldFileOrTheWholeNewOne) {
  const DurableFile& f = GetParam();
  env.WriteFile(f.path, f.old);
  fs.Forget();
  ASSERT_TRUE(f.write(m));
  const QByteArray now = env.ReadFile(f.path);
  ASSERT_NE(now, f.old);
  // A long file is written in several pieces, each a Write of its own.
  std::vector<Step> order = fs.Order();
  order.erase(std::unique(order.begin(), order.end()), order.end());
  EXPECT_EQ(order, (std::vector<Step>{Step::Create, Step::Write, Step::SyncFile, Step::Replace, Step::SyncFolder}));
  EXPECT_TRUE(fs.faults.isEmpty()) << fs.faults.join(u'\n').toStdString();
  const QStringList bad = BadCrashes(fs, env, f.path, f.old, now);
  EXPECT_TRUE(bad.isEmpty()) << bad.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(OwnFiles, CrashWrite, ::testing::ValuesIn(kFiles),
                         [](const ::testing::TestParamInfo<DurableFile>& info) { return info.param.name; });

// A writer that leaves out a step, or takes them in another order, is caught: by the double
// as it renames a file not yet synced, or by what a crash leaves.
TEST(CrashPlatform, AWriterThatSkipsASyncOrRenamesFirstIsCaught) {
  const std::vector<std::vector<Step>> broken = {
      {Step::Write, Step::Replace, Step::SyncFolder},                  // never synced
      {Step::Write, Step::Replace, Step::SyncFile, Step::SyncFolder},   // renamed first
      {Step::Write, Step::SyncFile, Step::Replace},                    // the rename never made durable
  };
  for (size_t i = 0; i < broken.size(); ++i) {
    SCOPED_TRACE(i);
    TestEnv env;
    CrashPlatform fs(env.fs);
    const QString path = QStringLiteral("T:\\w\\list.csv");
    env.WriteFile(path, "old");
    std::unique_ptr<BesideFile> file;
    ASSERT_TRUE(fs.CreateBeside(path, file));
    for (Step step : broken[i]) {
      switch (step) {
        case Step::Write: fs.WriteBeside(*file, "new"); break;
        case Step::SyncFile: fs.SyncBeside(*file); break;
        case Step::Replace: fs.ReplaceWithBeside(*file); break;
        case Step::SyncFolder: fs.SyncBesideFolder(*file); break;
        case Step::Create: break;
      }
    }
    ASSERT_EQ(env.ReadFile(path), QByteArray("new"));
    EXPECT_FALSE(fs.faults.isEmpty() && BadCrashes(fs, env, path, "old", "new").isEmpty());
  }
}

}  // namespace
}  // namespace qarno::test
