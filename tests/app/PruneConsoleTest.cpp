// SPDX-License-Identifier: GPL-3.0-or-later
// qarno-restore --prune on a set's real files: the dry run changes no byte, the status names
// the saves the history lost, and the prune takes whole chains and those saves, nothing else.
#include "app/RestoreConsole.h"
#include "common/Settings.h"
#include "support/TestEnv.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <cstdio>

namespace qarno {
namespace {

using test::TestEnv;

struct PruneConsole : ::testing::Test {
  TestEnv env;
  const QStringList runs = {"qrn20261101_01", "qrn20261102_01", "qrn20261110_01", "qrn20261111_01", "qrn20261120_01"};
  const QString orphan = QStringLiteral("qrn20261102_02");  // a run killed before its row was written

  void SetUp() override {
    OpenSettingsStore()->setValue(QStringLiteral("Drives/T"), env.root());
    env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrn"), "#Version 1.10\r\ndir=T:\\dst\r\n#KeepChains=2\r\nT:\\src\r\n");
    const char* levels[] = {"Level-0", "Level-1", "Level-0", "Level-2", "Level-0"};
    QByteArray history = "#Version 1.10\r\n";
    for (int i = static_cast<int>(runs.size()) - 1; i >= 0; --i) {
      WriteSave(runs[i]);
      history += runs[i].toUtf8() + ',' + levels[i] + ",2,T:\\dst,1A2B-3C4D,V,8,2026/11/" + runs[i].mid(9, 2).toUtf8() +
                 " 12:00:00,00:00:01,\"\",0\r\n";
    }
    env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrl"), history);
    WriteSave(orphan);
    env.WriteFile(QStringLiteral("T:\\dst\\daily\\notes\\mine.txt"), "not a save");
    env.WriteFile(QStringLiteral("T:\\dst\\daily\\qrn2026.csv"), "not a save name");
    // A link inside a save that goes: the link goes, never what it points at.
    env.WriteFile(QStringLiteral("T:\\outside\\keep.txt"), "keep");
    ASSERT_TRUE(QFile::link(env.Host(QStringLiteral("T:\\outside")),
                            env.Host(QStringLiteral("T:\\dst\\daily\\qrn20261101_01\\Drive_T\\link"))));
  }
  void WriteSave(const QString& run) {
    const QString dir = QStringLiteral("T:\\dst\\daily\\") + run;
    env.WriteFile(dir + QStringLiteral(".csv"), "listing of " + run.toUtf8());
    env.WriteFile(dir + QStringLiteral("\\Drive_T\\src\\a.txt"), "a of " + run.toUtf8());
  }
  bool There(const QString& run) const {
    const QString dir = QStringLiteral("T:\\dst\\daily\\") + run;
    return env.Exists(dir) || env.Exists(dir + QStringLiteral(".csv"));
  }
  // Every file of the destination and the set's own files, with a hash of its bytes.
  std::string Files() const {
    QStringList out;
    for (const QString& top : {QStringLiteral("/dst"), QStringLiteral("/prog/SetDir"), QStringLiteral("/outside")}) {
      QDirIterator it(env.root() + top, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::System,
                      QDirIterator::Subdirectories);
      while (it.hasNext()) {
        const QString path = it.next();
        // The log and the hold's lock file are the program's own, not the set's history or data.
        if (path.endsWith(QLatin1String(".log")) || path.endsWith(QLatin1String(".lck"))) continue;
        QFile f(path);
        const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<dir>");
        out += path + u' ' + QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
      }
    }
    out.sort();
    return out.join(u'\n').toStdString();
  }
  int Run(const QStringList& args, QString& out) {
    ::testing::internal::CaptureStdout();
    const int status = RunRestoreConsole(args);
    std::fflush(stdout);
    out = QString::fromLocal8Bit(::testing::internal::GetCapturedStdout());
    return status;
  }
};

TEST_F(PruneConsole, TheDryRunChangesNothingThePruneTakesWholeChainsAndOrphans) {
  const std::string before = Files();
  QString out;
  ASSERT_EQ(Run({"daily", "--prune", "--dry-run"}, out), 0) << out.toStdString();
  EXPECT_EQ(Files(), before);  // history and data, byte for byte
  for (const QString& gone : {runs[0], runs[1], orphan}) EXPECT_TRUE(out.contains(gone)) << out.toStdString();
  for (const QString& kept : runs.mid(2)) EXPECT_FALSE(out.contains(kept)) << out.toStdString();
  EXPECT_TRUE(out.contains(QStringLiteral("qrn20261101_01\tLevel-0\t2026/11/01 12:00:00\t8"))) << out.toStdString();
  EXPECT_TRUE(out.contains(QStringLiteral("解放されるサイズ: "))) << out.toStdString();
  // This call's own policy.
  ASSERT_EQ(Run({"daily", "--prune", "--dry-run", "--keep-chains", "1"}, out), 0);
  EXPECT_TRUE(out.contains(runs[3]) && out.contains(runs[2]) && !out.contains(runs[4])) << out.toStdString();
  EXPECT_EQ(Files(), before);

  ASSERT_EQ(Run({"daily", "--status"}, out), 0);
  EXPECT_TRUE(out.contains(QStringLiteral("孤立した保存データー: ") + orphan)) << out.toStdString();
  EXPECT_FALSE(out.contains(QStringLiteral("孤立した保存データー: ") + runs[0])) << out.toStdString();

  ASSERT_EQ(Run({"daily", "--prune"}, out), 0) << out.toStdString();
  EXPECT_TRUE(out.contains(QStringLiteral("解放したサイズ: "))) << out.toStdString();
  for (const QString& gone : {runs[0], runs[1], orphan}) EXPECT_FALSE(There(gone)) << gone.toStdString();
  for (const QString& kept : runs.mid(2)) {
    EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\dst\\daily\\") + kept + QStringLiteral("\\Drive_T\\src\\a.txt")),
              "a of " + kept.toUtf8());
  }
  const QString history = QString::fromUtf8(env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrl")));
  EXPECT_FALSE(history.contains(runs[0]) || history.contains(runs[1]));
  EXPECT_TRUE(history.contains(runs[2]) && history.contains(runs[4]));
  EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\outside\\keep.txt")), "keep");
  EXPECT_TRUE(env.Exists(QStringLiteral("T:\\dst\\daily\\notes\\mine.txt")));
  EXPECT_TRUE(env.Exists(QStringLiteral("T:\\dst\\daily\\qrn2026.csv")));
  EXPECT_TRUE(QString::fromUtf8(env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.log")))
                  .contains(QStringLiteral("古い保存を削除しました [qrn20261101_01] [Level-0]")));
  ASSERT_EQ(Run({"daily", "--status"}, out), 0);
  EXPECT_FALSE(out.contains(QStringLiteral("孤立"))) << out.toStdString();

  // The options that belong to --prune alone, and counts out of bounds.
  for (const QStringList& wrong : {QStringList{"daily", "--dry-run"}, QStringList{"daily", "--keep-days", "3"},
                                   QStringList{"daily", "--prune", "--keep-chains", "x"},
                                   QStringList{"daily", "--prune", "--keep-days", "-1"},
                                   QStringList{"daily", runs[4], "--prune"}, QStringList{"daily", "--prune", "--status"}})
    EXPECT_EQ(Run(wrong, out), 2) << wrong.join(u' ').toStdString();
}

}  // namespace
}  // namespace qarno
