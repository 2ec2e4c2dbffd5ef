// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Module1.h"
#include "platform/ArchiverLibrary.h"
#include "support/TestEnv.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace qarno {
namespace {

using test::TestEnv;

QString BuiltLibrary() { return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + QStringLiteral("/libunlha32.so"); }

TEST(Archiver, AMissingLibraryIsNotInstalled) {
  TestEnv env;
  LoadedArchiver missing(env.root() + QStringLiteral("/nowhere/libunlha32.so"));
  EXPECT_FALSE(missing.Load());
  EXPECT_EQ(missing.GetVersion(), -1);
  EXPECT_NE(missing.Unlha(QStringLiteral("a \"x.LZH\" \"y\""), 256), 0);
  env.m->archiver = &missing;
  EXPECT_FALSE(env.m->ChkUnlha());
  env.m->archiver = nullptr;
  EXPECT_FALSE(env.m->ChkUnlha());
  // A file that is no library at all.
  env.WriteFile(QStringLiteral("T:\\fake.so"), "not a library");
  LoadedArchiver fake(env.Host(QStringLiteral("T:\\fake.so")));
  EXPECT_FALSE(fake.Load());
}

TEST(Archiver, PacksAndUnpacksThroughTheLoadedLibrary) {
  TestEnv env;
  LoadedArchiver lib(BuiltLibrary());
  if (!lib.Load()) GTEST_SKIP() << "archiver library not built beside the tests";
  env.m->archiver = &lib;
  EXPECT_TRUE(env.m->ChkUnlha());
  EXPECT_EQ(lib.GetVersion(), 100);
  lib.SetMethod(7);
  const QByteArray data = QByteArray("Qarno packs one file per archive. ").repeated(500);
  env.WriteFile(QStringLiteral("T:\\src\\日本語 name.txt"), data, QDateTime(QDate(2003, 4, 5), QTime(6, 7, 8)));
  env.MakeDir(QStringLiteral("T:\\dst"));
  const QString pack = QStringLiteral("a -n -a1 -jss -jyko -gm1 \"") + env.Host(QStringLiteral("T:\\dst\\日本語 name.txt.LZH")) +
                       QStringLiteral("\" \"") + env.Host(QStringLiteral("T:\\src\\日本語 name.txt")) + u'"';
  ASSERT_EQ(lib.Unlha(pack, 256), 0);
  const QByteArray archive = env.ReadFile(QStringLiteral("T:\\dst\\日本語 name.txt.LZH"));
  ASSERT_FALSE(archive.isEmpty());
  EXPECT_LT(archive.size(), data.size() / 4);
  EXPECT_EQ(archive.mid(2, 5), QByteArray("-lh7-"));
  // Unpacking to a full path, as the restore does.
  env.MakeDir(QStringLiteral("T:\\out"));
  const QString cmd = QStringLiteral("e -n -a1 -jss -jyko -f1 -c1 -m1 -gm1 \"") + env.Host(QStringLiteral("T:\\dst\\日本語 name.txt.LZH")) +
                      QStringLiteral("\" \"") + env.Host(QStringLiteral("T:\\out\\back.txt")) + u'"';
  EXPECT_EQ(lib.Unlha(cmd, 1024), 0);
  EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\out\\back.txt")), data);
  EXPECT_EQ(*env.fs.FileTime(QStringLiteral("T:\\out\\back.txt")), QDateTime(QDate(2003, 4, 5), QTime(6, 7, 8)).toSecsSinceEpoch());
}

TEST(Archiver, TheReadObserverSeesEachPackedByteOnceEvenWhenTheFileIsStoredAfterAll) {
  TestEnv env;
  LoadedArchiver lib(BuiltLibrary());
  if (!lib.Load()) GTEST_SKIP() << "archiver library not built beside the tests";
  env.MakeDir(QStringLiteral("T:\\dst"));
  // Text shrinks; bytes without pattern do not, and the archiver reads them again to store them.
  QByteArray noise(200000, 0);
  uint32_t x = 12345;
  for (char& c : noise) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
  const QByteArray text = QByteArray("the same words again ").repeated(3000);
  for (const QByteArray& data : {text, QByteArray(), noise}) {
    env.WriteFile(QStringLiteral("T:\\src\\f"), data);
    QByteArray seen;
    int starts = 0;
    ASSERT_TRUE(lib.SetReadObserver([&](const char* bytes, size_t size) {
      if (size == 0) ++starts;
      else seen.append(bytes, static_cast<qsizetype>(size));
    }));
    const QString pack = QStringLiteral("a -n -a1 -jss -jyko -gm1 \"") + env.Host(QStringLiteral("T:\\dst\\f.LZH")) +
                         QStringLiteral("\" \"") + env.Host(QStringLiteral("T:\\src\\f")) + u'"';
    ASSERT_EQ(lib.Unlha(pack, 256), 0);
    EXPECT_EQ(starts, 1);
    EXPECT_TRUE(seen == data) << seen.size() << " bytes seen of " << data.size();
    // Switched off, it sees nothing more.
    ASSERT_TRUE(lib.SetReadObserver({}));
    seen.clear();
    ASSERT_EQ(lib.Unlha(pack, 256), 0);
    EXPECT_TRUE(seen.isEmpty());
  }
  // The stored case really was taken: the archive of the noise says -lh0-.
  EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\dst\\f.LZH")).mid(2, 5), QByteArray("-lh0-"));

  // Threads packing at once each see their own file only, and a thread that set no observer
  // sees nothing of another's.
  for (int t = 0; t < 3; ++t) env.WriteFile(QStringLiteral("T:\\src\\t%1").arg(t), text + QByteArray(1000 * t, char('0' + t)));
  QByteArray seenBy[3];
  bool packedBy[3] = {false, false, false};
  std::vector<std::thread> threads;
  for (int t = 0; t < 3; ++t) {
    threads.emplace_back([&, t] {
      const QString pack = QStringLiteral("a -n -a1 -jss -jyko -gm1 \"") + env.Host(QStringLiteral("T:\\dst\\t%1.LZH").arg(t)) +
                           QStringLiteral("\" \"") + env.Host(QStringLiteral("T:\\src\\t%1").arg(t)) + u'"';
      packedBy[t] = true;
      for (int round = 0; round < 20 && packedBy[t]; ++round) {
        if (t < 2) {
          lib.SetReadObserver([&, t](const char* bytes, size_t size) {
            if (size == 0) seenBy[t].clear();
            else seenBy[t].append(bytes, static_cast<qsizetype>(size));
          });
        }
        packedBy[t] = lib.Unlha(pack, 256) == 0;
        if (t < 2) lib.SetReadObserver({});
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < 3; ++t) {
    EXPECT_TRUE(packedBy[t]) << t;
    EXPECT_TRUE(seenBy[t] == (t < 2 ? env.ReadFile(QStringLiteral("T:\\src\\t%1").arg(t)) : QByteArray())) << t;
  }
}

}  // namespace
}  // namespace qarno
