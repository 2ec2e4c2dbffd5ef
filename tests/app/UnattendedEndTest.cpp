// SPDX-License-Identifier: GPL-3.0-or-later
// The program run by cron or a timer, on a desktop (Qt's offscreen platform stands in for a
// display) as without one: whatever goes wrong, it ends by itself with the status a script
// reads, and a stop signal ends it whatever window or dialog is open.
#include "support/SmallVolume.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/types.h>

namespace qarno::test {
namespace {

QString Beside(const char* name) {
  return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + u'/' + QString::fromUtf8(name);
}

enum class Screen { Desktop, Console };

struct Unattended : ::testing::Test {
  TestEnv env;
  QByteArray drives;
  QString programFolder;
  void SetUp() override {
    if (!QFileInfo::exists(Beside("Qarno"))) GTEST_SKIP() << "Qarno not built beside the tests";
    drives = "T=" + QFile::encodeName(env.root()) + "\n";
    programFolder = env.root() + QStringLiteral("/prog");
    env.WriteFile(QStringLiteral("T:\\src\\a.txt"), "a");
    env.MakeDir(QStringLiteral("T:\\dst"));
  }
  static QByteArray SetFile() {
    return "#Version 1.10\r\ndir=T:\\dst\r\n#ComplexTypeMode=0\r\n#CalUseSize=0\r\n#RsvSizeChk=0\r\nT:\\src\r\n";
  }
  // Starts Qarno with its own settings (the drive table) and program folder.
  void Start(QProcess& qarno, Screen screen, const QStringList& args) {
    QDir().mkpath(env.root() + QStringLiteral("/config/Qarno"));
    QFile conf(env.root() + QStringLiteral("/config/Qarno/Qarno.conf"));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write("[Drives]\n" + drives);
    conf.close();
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) e.remove(QLatin1String(var));
    if (screen == Screen::Desktop) e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    e.insert(QStringLiteral("QARNO_HOME"), programFolder);
    // The program's own language, whatever the locale the tests run in.
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"}) e.remove(QLatin1String(var));
    e.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    qarno.setProcessEnvironment(e);
    qarno.start(Beside("Qarno"), args);
    ASSERT_TRUE(qarno.waitForStarted());
  }
  // The exit status, or -1 when the program had not ended after 20 seconds (then killed).
  int Run(Screen screen, const QStringList& args, QByteArray* err = nullptr) {
    QProcess qarno;
    Start(qarno, screen, args);
    const bool ended = qarno.waitForFinished(20000);
    if (!ended) {
      qarno.kill();
      qarno.waitForFinished();
    }
    if (err) *err = qarno.readAllStandardError();
    return ended && qarno.exitStatus() == QProcess::NormalExit ? qarno.exitCode() : -1;
  }
};

TEST_F(Unattended, ARunThatCannotStartEndsWithItsStatusAndSaysWhy) {
  env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrn"), SetFile());
  env.MakeDir(QStringLiteral("T:\\prog\\SetDir\\daily.qrl"));  // a history that cannot be read
  env.WriteFile(QStringLiteral("T:\\prog\\evil.qrn"), SetFile());  // a set file outside the set folder
  for (Screen screen : {Screen::Desktop, Screen::Console}) {
    SCOPED_TRACE(screen == Screen::Desktop ? "desktop" : "console");
    QByteArray err;
    EXPECT_EQ(Run(screen, {QStringLiteral("/B2")}), 3);  // no set named, none used before
    EXPECT_EQ(Run(screen, {QStringLiteral("NoSuchSet"), QStringLiteral("/B2"), QStringLiteral("/L0")}, &err), 3);
    EXPECT_TRUE(QString::fromLocal8Bit(err).contains(QStringLiteral("セットファイルがありません。"))) << err.toStdString();

    // A name with a path is refused as the set dialogs refuse it: nothing outside is read or written.
    EXPECT_EQ(Run(screen, {QStringLiteral("../evil"), QStringLiteral("/B2"), QStringLiteral("/L0")}, &err), 3);
    EXPECT_TRUE(QString::fromLocal8Bit(err).contains(QStringLiteral("../evil / この名前は使えません。")))
        << err.toStdString();
    EXPECT_FALSE(env.Exists(QStringLiteral("T:\\prog\\evil.log")));
    EXPECT_FALSE(env.Exists(QStringLiteral("T:\\prog\\evil.qrl")));

    // A history that cannot be read fails the run (a nightly job never reports success for
    // a backup it did not make), in standard error and the log.
    EXPECT_EQ(Run(screen, {QStringLiteral("daily"), QStringLiteral("/B2"), QStringLiteral("/L0")}, &err), 2);
    EXPECT_TRUE(QString::fromLocal8Bit(err).contains(QStringLiteral("daily.qrl / ファイルが読めません。")))
        << err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.log")))
                    .contains(QStringLiteral("ファイルが読めません。")));
    EXPECT_FALSE(env.Exists(QStringLiteral("T:\\dst\\daily")));
  }
}

TEST_F(Unattended, ARunWhoseSetFolderIsFullEndsFailed) {
  SmallVolume vol(256);
  if (!vol.mounted()) GTEST_SKIP() << "needs root to mount a small tmpfs";
  drives += "S=" + QFile::encodeName(vol.path()) + "\n";
  programFolder = vol.path();
  for (Screen screen : {Screen::Desktop, Screen::Console}) {
    SCOPED_TRACE(screen == Screen::Desktop ? "desktop" : "console");
    vol.Drain();
    QDir().mkpath(vol.path() + QStringLiteral("/SetDir"));
    QFile set(vol.path() + QStringLiteral("/SetDir/daily.qrn"));
    ASSERT_TRUE(set.open(QIODevice::WriteOnly));
    set.write(SetFile());
    set.close();
    QFile history(vol.path() + QStringLiteral("/SetDir/daily.qrl"));
    ASSERT_TRUE(history.open(QIODevice::WriteOnly));
    history.close();
    vol.Fill(0);  // the log, the history and the set file cannot be written
    EXPECT_EQ(Run(screen, {QStringLiteral("daily"), QStringLiteral("/B2"), QStringLiteral("/L0")}), 2);
  }
}

TEST_F(Unattended, TheFirstStopSignalEndsTheProgramWhateverDialogIsOpen) {
  // Started without a set name the program asks for one; a set that is not there is a
  // message box. Neither waits for a click once the service manager stops the program.
  for (const QStringList& args : {QStringList{}, QStringList{QStringLiteral("NoSuchSet")}}) {
    SCOPED_TRACE(args.join(u' ').toStdString());
    QProcess qarno;
    Start(qarno, Screen::Desktop, args);
    ASSERT_TRUE(CatchesSignal(qarno.processId(), SIGTERM));
    QThread::msleep(1500);  // the dialog is up
    ::kill(static_cast<pid_t>(qarno.processId()), SIGTERM);
    const bool ended = qarno.waitForFinished(10000);
    if (!ended) qarno.kill();
    ASSERT_TRUE(ended);
    EXPECT_EQ(qarno.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(qarno.exitCode(), 0);
    qarno.waitForFinished();
    // Nothing written on the way out: the settings are as they were.
    EXPECT_EQ(env.ReadFile(QStringLiteral("T:\\config\\Qarno\\Qarno.conf")), "[Drives]\n" + drives);
  }
}

}  // namespace
}  // namespace qarno::test
