// SPDX-License-Identifier: GPL-3.0-or-later
// The shutdown after an unattended run without a display: the 30-second countdown on
// standard error, cancelled by a stop signal, and the power-off request of the login manager.
#include "app/PowerOff.h"
#include "app/QarnoConsole.h"
#include "support/TestEnv.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/types.h>

namespace qarno::test {
namespace {

QString Lines(std::FILE* f) {
  std::fflush(f);
  std::rewind(f);
  QByteArray all;
  char buf[4096];
  while (size_t n = std::fread(buf, 1, sizeof buf, f)) all.append(buf, static_cast<qsizetype>(n));
  return QString::fromLocal8Bit(all);
}

TEST(ConsoleShutdown, CountsThirtySecondsAndAStopCancelsIt) {
  std::FILE* out = std::tmpfile();
  ASSERT_TRUE(out);
  int waits = 0;
  EXPECT_TRUE(ConsoleShutdownCountdown([] { return false; }, [&] { ++waits; }, out));
  const QString all = Lines(out);
  EXPECT_EQ(waits, 300);  // ten looks at the stop signal a second
  EXPECT_EQ(all.count(QStringLiteral("残り")), 30);
  EXPECT_TRUE(all.contains(QStringLiteral("残り29秒\n")));
  EXPECT_TRUE(all.endsWith(QStringLiteral("残り0秒\n")));
  std::fclose(out);

  out = std::tmpfile();
  int looks = 0;
  EXPECT_FALSE(ConsoleShutdownCountdown([&] { return ++looks > 35; }, [] {}, out));
  EXPECT_EQ(Lines(out).count(QStringLiteral("残り")), 3);
  std::fclose(out);
}

TEST(ConsoleShutdown, WithoutTheLoginManagerThePowerOffIsRefused) {
  TestEnv env;  // its system bus leads nowhere
  EXPECT_FALSE(LogindPowerOff());
}

TEST(ConsoleShutdown, ABusWithoutTheLoginManagerRefusesThePowerOffWithoutQtWarnings) {
  // In a process of its own (a new one, not a fork of this one with its threads), which
  // ends as the program does after the request: Qt's warnings came at the very end.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // A bus of the test's own, with no service files: nothing real answers. The process of
  // the request runs this test again and finds the bus already started.
  std::unique_ptr<QProcess> daemon;
  if (qEnvironmentVariableIsEmpty("QARNO_TEST_SYSTEM_BUS")) {
    daemon = std::make_unique<QProcess>();
    daemon->start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!daemon->waitForStarted(5000)) GTEST_SKIP() << "dbus-daemon is not installed";
    for (int i = 0; i < 50 && !daemon->canReadLine(); ++i) daemon->waitForReadyRead(100);
    const QByteArray address = daemon->readLine().trimmed();
    ASSERT_FALSE(address.isEmpty());
    qputenv("QARNO_TEST_SYSTEM_BUS", address);
  }
  const auto askAndEnd = [] {
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", qgetenv("QARNO_TEST_SYSTEM_BUS"));
    qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArray());
    bool accepted = true;
    {
      int argc = 1;
      char name[] = "qarno";
      char* argv[] = {name, nullptr};
      QCoreApplication app(argc, argv);
      accepted = LogindPowerOff();
    }
    std::exit(accepted ? 1 : 0);
  };
  // Whether the warnings come depends on which thread gets there first: about one process
  // in ten showed them.
  for (int i = 0; i < 30; ++i) {
    EXPECT_EXIT(askAndEnd(), ::testing::ExitedWithCode(0), ::testing::Not(::testing::HasSubstr("invalid type")));
  }
  qunsetenv("QARNO_TEST_SYSTEM_BUS");
  daemon->kill();
  daemon->waitForFinished();
}

QString Beside(const char* name) {
  return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + u'/' + QString::fromUtf8(name);
}

TEST(ConsoleShutdown, SigtermDuringTheCountdownKeepsTheComputerOn) {
  if (!QFileInfo::exists(Beside("Qarno"))) GTEST_SKIP() << "Qarno not built beside the tests";
  TestEnv env;
  QDir().mkpath(env.root() + QStringLiteral("/config/Qarno"));
  QFile conf(env.root() + QStringLiteral("/config/Qarno/Qarno.conf"));
  ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
  conf.write("[Drives]\nT=" + QFile::encodeName(env.root()) + "\n");
  conf.close();
  env.WriteFile(QStringLiteral("T:\\src\\a.txt"), "a");
  env.MakeDir(QStringLiteral("T:\\dst"));
  env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrn"),
                "#Version 1.10\r\ndir=T:\\dst\r\n#ComplexTypeMode=0\r\n#CalUseSize=0\r\n#RsvSizeChk=0\r\nT:\\src\r\n");
  QProcess qarno;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LC_ALL", "LC_MESSAGES", "LANGUAGE"})
    environment.remove(QLatin1String(var));
  environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));  // the program's own language
  qarno.setProcessEnvironment(environment);
  qarno.start(Beside("Qarno"), {QStringLiteral("daily"), QStringLiteral("/B2"), QStringLiteral("/L0"), QStringLiteral("/S")});
  ASSERT_TRUE(qarno.waitForStarted());
  QByteArray err;
  for (int i = 0; i < 200 && !err.contains("残り28秒"); ++i) {
    qarno.waitForReadyRead(100);
    err += qarno.readAllStandardError();
  }
  ASSERT_TRUE(err.contains("残り29秒")) << err.toStdString();
  ::kill(static_cast<pid_t>(qarno.processId()), SIGTERM);
  ASSERT_TRUE(qarno.waitForFinished(10000));
  err += qarno.readAllStandardError();
  EXPECT_EQ(qarno.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(qarno.exitCode(), 0);  // the run itself succeeded
  EXPECT_TRUE(err.contains("コンピューターの終了は取り消されました。")) << err.toStdString();
  EXPECT_FALSE(err.contains("残り0秒"));
  const QString log = QString::fromUtf8(env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.log")));
  EXPECT_TRUE(log.contains(QStringLiteral("コンピューターの終了は取り消されました。"))) << log.toStdString();
}

}  // namespace
}  // namespace qarno::test
