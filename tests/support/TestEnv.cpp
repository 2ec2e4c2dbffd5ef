// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestEnv.h"

#include "mainwin/Qarno.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>
#include <utime.h>

namespace qarno::test {

namespace {
DriveTable TableFor(const QString& root) {
  DriveTable t;
  t.Map(u'T', root);
  return t;
}
}  // namespace

TestEnv::TestEnv() : fs(TableFor(dir_.path())) {
  savedHome_ = qgetenv("QARNO_HOME");
  savedConfig_ = qgetenv("XDG_CONFIG_HOME");
  savedBus_ = qgetenv("DBUS_SESSION_BUS_ADDRESS");
  // No session bus: a test's failed run never notifies the desktop it runs on.
  qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArray(""));
  // No system bus either: nothing a test runs (in process or as a child) can reach the
  // login manager and power the machine off.
  savedSystemBus_ = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
  qputenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + dir_.path() + QStringLiteral("/no-system-bus")).toLocal8Bit());
  QDir(dir_.path()).mkpath(QStringLiteral("prog"));
  QDir(dir_.path()).mkpath(QStringLiteral("config"));
  qputenv("QARNO_HOME", (dir_.path() + QStringLiteral("/prog")).toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", (dir_.path() + QStringLiteral("/config")).toLocal8Bit());
  m = std::make_unique<Module1>(fs, ui, QStringLiteral("T:\\prog"));
  m->ProgramVersion = Qarno::MakeProgramVersion(QARNO_VERSION_MAJOR, QARNO_VERSION_MINOR, QARNO_VERSION_PATCH);
  m->SetFolder = QStringLiteral("T:\\prog\\SetDir");
  QDir(dir_.path()).mkpath(QStringLiteral("prog/SetDir"));
}

TestEnv::~TestEnv() {
  m.reset();
  QDir::setCurrent(QDir::tempPath());
  if (savedHome_.isNull()) qunsetenv("QARNO_HOME");
  else qputenv("QARNO_HOME", savedHome_);
  if (savedConfig_.isNull()) qunsetenv("XDG_CONFIG_HOME");
  else qputenv("XDG_CONFIG_HOME", savedConfig_);
  if (savedBus_.isNull()) qunsetenv("DBUS_SESSION_BUS_ADDRESS");
  else qputenv("DBUS_SESSION_BUS_ADDRESS", savedBus_);
  if (savedSystemBus_.isNull()) qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  else qputenv("DBUS_SYSTEM_BUS_ADDRESS", savedSystemBus_);
}

QString TestEnv::Host(const QString& winPath) const { return *fs.HostPath(winPath); }

void TestEnv::WriteFile(const QString& winPath, const QByteArray& content, const QDateTime& mtime) {
  const QString host = Host(winPath);
  QDir().mkpath(QFileInfo(host).path());
  QFile f(host);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << host.toStdString();
  f.write(content);
  f.close();
  if (mtime.isValid()) SetTime(winPath, mtime);
}

void TestEnv::SetTime(const QString& winPath, const QDateTime& mtime) {
  struct utimbuf t;
  t.actime = t.modtime = static_cast<time_t>(mtime.toSecsSinceEpoch());
  ::utime(QFile::encodeName(Host(winPath)).constData(), &t);
}

QByteArray TestEnv::ReadFile(const QString& winPath) const {
  QFile f(Host(winPath));
  if (!f.open(QIODevice::ReadOnly)) return QByteArray();
  return f.readAll();
}

bool TestEnv::Exists(const QString& winPath) const { return QFileInfo::exists(Host(winPath)); }

void TestEnv::MakeDir(const QString& winPath) { QDir().mkpath(Host(winPath)); }

void SetUpDailySet(Module1& m, TestEnv& env) {
  m.ProgramVersion = QStringLiteral("1.10");
  m.SetFolder = QStringLiteral("T:\\prog\\SetDir");
  m.set.Name = QStringLiteral("daily");
  m.set.SaveDir = QStringLiteral("T:\\dst");
  m.set.SaveList = {QStringLiteral("T:\\src")};
  m.set.options.ComplexTypeMode = 0;
  m.set.options.CalUseSize = 0;
  m.set.options.RsvSizeChk = 0;
  m.set.options.PathLen = 260;
  m.MainCaption = QStringLiteral("Qarno  daily");
  env.MakeDir(QStringLiteral("T:\\src"));
  env.MakeDir(QStringLiteral("T:\\dst"));
}

bool CatchesSignal(qint64 pid, int sig) {
  for (int i = 0; i < 2000; ++i) {  // its caught-signals mask
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
      for (const QByteArray& line : status.readAll().split('\n')) {
        if (!line.startsWith("SigCgt:")) continue;
        bool ok = false;
        const qulonglong mask = line.mid(7).trimmed().toULongLong(&ok, 16);
        if (ok && (mask & (1ULL << (sig - 1)))) return true;
      }
    }
    QThread::msleep(10);
  }
  return false;
}

}  // namespace qarno::test
