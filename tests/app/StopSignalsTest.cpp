// SPDX-License-Identifier: GPL-3.0-or-later
// Stopping an unattended run from outside: Ctrl+C or the service manager's SIGTERM act as the
// Cancel button, a second signal ends the program at once.
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/types.h>

namespace qarno::test {
namespace {

QString Program(const char* name) {
  return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + u'/' + QString::fromUtf8(name);
}

struct StopSignals : ::testing::Test {
  TestEnv env;
  QProcess qarno;
  void SetUp() override {
    if (!QFileInfo::exists(Program("Qarno"))) GTEST_SKIP() << "Qarno not built beside the tests";
    QFile conf(env.root() + QStringLiteral("/config/Qarno/Qarno.conf"));
    QDir().mkpath(env.root() + QStringLiteral("/config/Qarno"));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write("[Drives]\nT=" + QFile::encodeName(env.root()) + "\n");
    conf.close();
    for (int i = 0; i < 200; ++i) env.WriteFile(QStringLiteral("T:\\src\\f%1.txt").arg(i), "x");
    env.MakeDir(QStringLiteral("T:\\dst"));
    env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrn"),
                  "#Version 1.10\r\ndir=T:\\dst\r\n#ComplexTypeMode=0\r\n#CalUseSize=0\r\n#RsvSizeChk=0\r\n#DElErrFile=1\r\nT:\\src\r\n");
    qarno.setProcessChannelMode(QProcess::MergedChannels);
  }
};

TEST_F(StopSignals, TheFirstSignalStopsTheRunAsCancelDoes) {
  for (int sig : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(sig);
    qarno.start(Program("Qarno"), {QStringLiteral("daily"), QStringLiteral("/B2"), QStringLiteral("/L0")});
    ASSERT_TRUE(qarno.waitForStarted());
    ASSERT_TRUE(CatchesSignal(qarno.processId(), sig));
    ::kill(static_cast<pid_t>(qarno.processId()), sig);
    ASSERT_TRUE(qarno.waitForFinished(30000));
    EXPECT_EQ(qarno.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(qarno.exitCode(), 2);
    const QString log = QString::fromUtf8(env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.log")));
    EXPECT_TRUE(log.endsWith(QStringLiteral("中止されました\r\n終了\r\n\r\n"))) << log.toStdString();
    // Cleaned up as a Cancel does: no save, no history of it.
    EXPECT_TRUE(QDir(env.Host(QStringLiteral("T:\\dst\\daily"))).entryList({QStringLiteral("qrn*")}).isEmpty());
    EXPECT_FALSE(env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrl")).contains("qrn"));
  }
}

TEST_F(StopSignals, ASecondSignalEndsTheProgramAtOnce) {
  qarno.start(Program("Qarno"), {QStringLiteral("daily"), QStringLiteral("/B2"), QStringLiteral("/L0")});
  ASSERT_TRUE(qarno.waitForStarted());
  ASSERT_TRUE(CatchesSignal(qarno.processId(), SIGINT));
  // Two stop signals in a row (two kinds, since a signal already pending is not sent twice).
  ::kill(static_cast<pid_t>(qarno.processId()), SIGINT);
  ::kill(static_cast<pid_t>(qarno.processId()), SIGTERM);
  ASSERT_TRUE(qarno.waitForFinished(30000));
  EXPECT_EQ(qarno.exitStatus(), QProcess::CrashExit);
}

}  // namespace
}  // namespace qarno::test
