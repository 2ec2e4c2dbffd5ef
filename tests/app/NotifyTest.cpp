// SPDX-License-Identifier: GPL-3.0-or-later
// The notification after an unattended run, against a private session bus (a dbus-daemon of
// the test's own, with no service files, so nothing real is ever started or told) and a fake
// notification service that records every call.
#include "app/DesktopNotifier.h"
#include "app/QarnoConsole.h"
#include "app/RestoreConsole.h"
#include "common/Settings.h"
#include "support/TestEnv.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace qarno::test {
namespace {

// QtDBus wants an application object for its connections and event loops.
void EnsureApplication() {
  static int argc = 1;
  static char name[] = "app_tests";
  static char* argv[] = {name, nullptr};
  if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

// dbus-daemon on a socket in a temporary folder, for the lifetime of the object.
class PrivateBus {
 public:
  PrivateBus() {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty() || !dir_.isValid()) return;
    QFile config(dir_.filePath(QStringLiteral("bus.conf")));
    if (!config.open(QIODevice::WriteOnly)) return;
    config.write(QStringLiteral(
                     "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                     " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                     "<busconfig><type>session</type><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>\n"
                     "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                     "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                     .arg(dir_.path())
                     .toUtf8());
    config.close();
    daemon_.start(daemon, {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
                           QStringLiteral("--print-address=1")});
    if (!daemon_.waitForStarted(5000)) return;
    QElapsedTimer t;
    t.start();
    while (!daemon_.canReadLine() && t.elapsed() < 5000) daemon_.waitForReadyRead(100);
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
  }
  ~PrivateBus() {
    daemon_.kill();
    daemon_.waitForFinished(2000);
  }
  QString address() const { return address_; }

 private:
  QTemporaryDir dir_;
  QProcess daemon_;
  QString address_;
};

struct NotifyCall {
  QString app, icon, summary, body;
  uint replaces = 0;
  QStringList actions;
  QVariantMap hints;
  int timeout = 0;
};

// org.freedesktop.Notifications as a desktop offers it, recording each Notify call. It lives
// in a thread of its own, so that the code under test may block on its calls.
class FakeNotifications : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  QStringList capabilities{QStringLiteral("actions"), QStringLiteral("body")};
  bool silent = false;  // never answers Notify

  std::vector<NotifyCall> Calls() {
    QMutexLocker lock(&mutex_);
    return calls_;
  }
  // Waits until `n` calls came, at most `ms`.
  bool WaitForCalls(size_t n, int ms) {
    QElapsedTimer t;
    t.start();
    while (Calls().size() < n) {
      if (t.elapsed() > ms) return false;
      QThread::msleep(20);
    }
    return true;
  }

 public slots:
  QStringList GetCapabilities() { return capabilities; }
  uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary, const QString& body,
              const QStringList& actions, const QVariantMap& hints, int timeout) {
    if (silent) {
      setDelayedReply(true);
      return 0;
    }
    QMutexLocker lock(&mutex_);
    calls_.push_back({app, icon, summary, body, replaces, actions, hints, timeout});
    return static_cast<uint>(calls_.size()) + 40;
  }
  void CloseNotification(uint) {}

 private:
  QMutex mutex_;
  std::vector<NotifyCall> calls_;
};

class ServiceThread {
 public:
  explicit ServiceThread(const QString& address) : bus_(QDBusConnection::connectToBus(address, QStringLiteral("fake"))) {
    thread_.start();
    service_.moveToThread(&thread_);
    ok_ = bus_.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service_,
                              QDBusConnection::ExportAllSlots) &&
          bus_.registerService(QStringLiteral("org.freedesktop.Notifications"));
  }
  ~ServiceThread() {
    bus_.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    bus_.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
    thread_.quit();
    thread_.wait();
    QDBusConnection::disconnectFromBus(QStringLiteral("fake"));
  }
  bool ok() const { return ok_; }
  FakeNotifications& service() { return service_; }
  // What the desktop sends when the user clicks an action or closes a notification.
  void Emit(const QString& name, const QVariantList& args) {
    QDBusMessage s = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                                QStringLiteral("org.freedesktop.Notifications"), name);
    s.setArguments(args);
    bus_.send(s);
  }

 private:
  QDBusConnection bus_;
  QThread thread_;
  FakeNotifications service_;
  bool ok_ = false;
};

struct Notify : ::testing::Test {
  void SetUp() override {
    EnsureApplication();
    bus = std::make_unique<PrivateBus>();
    if (bus->address().isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed or did not start";
  }
  void TearDown() override {
    client.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("client"));
  }
  DesktopNotifier& Client(int timeoutMs = DesktopNotifier::kCallTimeoutMs) {
    client = std::make_unique<DesktopNotifier>(QDBusConnection::connectToBus(bus->address(), QStringLiteral("client")),
                                               timeoutMs);
    return *client;
  }
  static RunNotice Failure() {
    return *MakeRunNotice(2, QStringLiteral("daily"), QStringLiteral("qrn20240102_3"),
                          QStringLiteral("ドライブ情報が取得できません。"), QStringLiteral("/home/u/SetDir/daily.log"));
  }
  std::unique_ptr<PrivateBus> bus;
  std::unique_ptr<DesktopNotifier> client;
};

TEST(RunNoticeText, OnlyUncopiedAndFailedRunsAreToldWithWhatWentWrong) {
  EXPECT_FALSE(MakeRunNotice(0, QStringLiteral("s"), QStringLiteral("qrn1_1"), QString(), QStringLiteral("/l")));
  EXPECT_FALSE(MakeRunNotice(3, QStringLiteral("s"), QString(), QString(), QStringLiteral("/l")));
  const auto uncopied = MakeRunNotice(1, QStringLiteral("s"), QStringLiteral("qrn1_1"),
                                      QStringLiteral("2 個コピーできませんでした。"), QStringLiteral("/p/s.log"));
  ASSERT_TRUE(uncopied);
  EXPECT_FALSE(uncopied->failed);
  EXPECT_EQ(uncopied->body, QStringLiteral("セット名: s\n保存名: qrn1_1\n2 個コピーできませんでした。\nログ: /p/s.log"));
  // A run that failed before it chose a save name has no save line.
  const auto early = MakeRunNotice(2, QStringLiteral("s"), QString(), QStringLiteral("x"), QStringLiteral("/p/s.log"));
  ASSERT_TRUE(early);
  EXPECT_TRUE(early->failed);
  EXPECT_FALSE(early->body.contains(QStringLiteral("保存名")));
  EXPECT_NE(early->summary, uncopied->summary);
}

TEST(RunNoticeText, AStaleSetIsToldOnlyWhenStaleAndStaysUntilDismissed) {
  EXPECT_FALSE(MakeStaleNotice(QStringLiteral("s"), QString(), QStringLiteral("/p/s.log")));
  const auto n = MakeStaleNotice(QStringLiteral("s"), QStringLiteral("最後の保存から 9 日"), QStringLiteral("/p/s.log"));
  ASSERT_TRUE(n);
  EXPECT_TRUE(n->failed);
  EXPECT_EQ(n->body, QStringLiteral("セット名: s\n最後の保存から 9 日\nログ: /p/s.log"));
}

TEST(RunNoticeText, TheHelperGetsTheNoticeVerbatimEvenWhenATextLooksLikeAnOption) {
  RunNotice n{QStringLiteral("--critical"), QStringLiteral("--log\nline two"), QStringLiteral("/a b/--wait.log"), false};
  const auto back = NoticeFromHelperArguments(NotifyHelperArguments(n));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->summary, n.summary);
  EXPECT_EQ(back->body, n.body);
  EXPECT_EQ(back->logPath, n.logPath);
  EXPECT_FALSE(back->failed);
  n.failed = true;
  n.logPath.clear();
  EXPECT_TRUE(NoticeFromHelperArguments(NotifyHelperArguments(n))->failed);
  // No title, an option without its value, an unknown option: refused.
  EXPECT_FALSE(NoticeFromHelperArguments({QStringLiteral("--body"), QStringLiteral("b")}));
  EXPECT_FALSE(NoticeFromHelperArguments({QStringLiteral("--summary")}));
  EXPECT_FALSE(NoticeFromHelperArguments({QStringLiteral("--summary"), QStringLiteral("t"), QStringLiteral("-x")}));
  EXPECT_FALSE(NoticeFromHelperArguments({QStringLiteral("--summary"), QStringLiteral("t"), QStringLiteral("--wait"),
                                          QStringLiteral("-1")}));
}

TEST(SessionBus, AnEmptyAddressTurnsNotificationsOffAndTheRuntimeSocketCountsWhenUnset) {
  const QByteArray savedBus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
  const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
  QTemporaryDir runtime;
  qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
  QFile(runtime.filePath(QStringLiteral("bus"))).open(QIODevice::WriteOnly);
  qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArray(""));
  EXPECT_FALSE(SessionBusConfigured());
  EXPECT_FALSE(StartNotifyHelper(*MakeRunNotice(2, QStringLiteral("s"), {}, {}, {}), QStringLiteral("/bin/true")));
  qunsetenv("DBUS_SESSION_BUS_ADDRESS");
  EXPECT_TRUE(SessionBusConfigured());
  QFile::remove(runtime.filePath(QStringLiteral("bus")));
  EXPECT_FALSE(SessionBusConfigured());
  qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArray("unix:path=/nonexistent"));
  EXPECT_TRUE(SessionBusConfigured());
  // A bus but no helper program: nothing is started.
  EXPECT_FALSE(StartNotifyHelper(*MakeRunNotice(2, QStringLiteral("s"), {}, {}, {}), QString()));
  if (savedBus.isNull()) qunsetenv("DBUS_SESSION_BUS_ADDRESS");
  else qputenv("DBUS_SESSION_BUS_ADDRESS", savedBus);
  if (savedRuntime.isNull()) qunsetenv("XDG_RUNTIME_DIR");
  else qputenv("XDG_RUNTIME_DIR", savedRuntime);
}

TEST_F(Notify, TheServiceGetsTitleSetSaveWhatAndTheLogAction) {
  ServiceThread fake(bus->address());
  ASSERT_TRUE(fake.ok());
  const auto id = Client().Send(Failure());
  ASSERT_TRUE(id);
  EXPECT_EQ(*id, 41u);
  const auto calls = fake.service().Calls();
  ASSERT_EQ(calls.size(), 1u);
  const NotifyCall& c = calls[0];
  EXPECT_EQ(c.app, QStringLiteral("Qarno"));
  EXPECT_EQ(c.icon, QStringLiteral("io.github.qarno.Qarno"));
  EXPECT_EQ(c.replaces, 0u);
  EXPECT_EQ(c.timeout, -1);
  EXPECT_EQ(c.summary, QStringLiteral("Qarno: バックアップが失敗しました"));
  EXPECT_TRUE(c.body.contains(QStringLiteral("セット名: daily")));
  EXPECT_TRUE(c.body.contains(QStringLiteral("保存名: qrn20240102_3")));
  EXPECT_TRUE(c.body.contains(QStringLiteral("ドライブ情報が取得できません。")));
  EXPECT_TRUE(c.body.contains(QStringLiteral("/home/u/SetDir/daily.log")));
  EXPECT_TRUE(c.actions.contains(DesktopNotifier::ActionKey()));
  EXPECT_EQ(c.actions.size() % 2, 0);  // key, label pairs
  EXPECT_EQ(c.hints.value(QStringLiteral("urgency")).toInt(), 2);
  EXPECT_EQ(c.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("io.github.qarno.Qarno"));
  // Entries left uncopied are told with normal urgency; without a log there is no action.
  RunNotice uncopied = *MakeRunNotice(1, QStringLiteral("daily"), {}, {}, {});
  ASSERT_TRUE(client->Send(uncopied));
  const auto calls2 = fake.service().Calls();
  ASSERT_EQ(calls2.size(), 2u);
  EXPECT_EQ(calls2[1].hints.value(QStringLiteral("urgency")).toInt(), 1);
  EXPECT_TRUE(calls2[1].actions.isEmpty());
}

TEST_F(Notify, MarkupIsEscapedOnlyForServicesThatReadIt) {
  ServiceThread fake(bus->address());
  ASSERT_TRUE(fake.ok());
  const RunNotice n = *MakeRunNotice(2, QStringLiteral("a&b <i>"), {}, {}, {});
  ASSERT_TRUE(Client().Send(n));
  fake.service().capabilities += QStringLiteral("body-markup");
  QDBusConnection::disconnectFromBus(QStringLiteral("client"));
  ASSERT_TRUE(Client().Send(n));  // a new client asks for the capabilities again
  const auto calls = fake.service().Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_TRUE(calls[0].body.contains(QStringLiteral("a&b <i>")));
  EXPECT_TRUE(calls[1].body.contains(QStringLiteral("a&amp;b &lt;i&gt;")));
}

TEST_F(Notify, TheLogOpensOnItsActionOrAClickAndNotOnCloseOrAnotherNotification) {
  ServiceThread fake(bus->address());
  ASSERT_TRUE(fake.ok());
  DesktopNotifier& n = Client();
  QStringList opened;
  const auto open = [&opened](const QString& path) { opened += path; };

  // Another program's notification is ignored; ours opens the log. The signals are sent
  // before the wait begins: a choice made that early is not lost.
  auto id = n.Send(Failure());
  ASSERT_TRUE(id);
  fake.Emit(QStringLiteral("ActionInvoked"), {*id + 100, DesktopNotifier::ActionKey()});
  fake.Emit(QStringLiteral("ActionInvoked"), {*id, DesktopNotifier::ActionKey()});
  EXPECT_TRUE(n.WaitForAction(*id, QStringLiteral("/home/u/SetDir/daily.log"), 5000, open));
  EXPECT_EQ(opened, QStringList{QStringLiteral("/home/u/SetDir/daily.log")});

  // A click on the notification itself ("default") opens it too.
  id = n.Send(Failure());
  ASSERT_TRUE(id);
  fake.Emit(QStringLiteral("ActionInvoked"), {*id, QStringLiteral("default")});
  EXPECT_TRUE(n.WaitForAction(*id, QStringLiteral("/l"), 5000, open));
  EXPECT_EQ(opened.size(), 2);

  // Closed (dismissed or expired): the wait ends without opening anything.
  id = n.Send(Failure());
  ASSERT_TRUE(id);
  fake.Emit(QStringLiteral("NotificationClosed"), {*id, 2u});
  QElapsedTimer t;
  t.start();
  EXPECT_FALSE(n.WaitForAction(*id, QStringLiteral("/l"), 5000, open));
  EXPECT_LT(t.elapsed(), 4000);
  EXPECT_EQ(opened.size(), 2);

  // Nothing happens: the wait ends at its limit.
  id = n.Send(Failure());
  ASSERT_TRUE(id);
  t.restart();
  EXPECT_FALSE(n.WaitForAction(*id, QStringLiteral("/l"), 300, open));
  EXPECT_GE(t.elapsed(), 250);
  EXPECT_EQ(opened.size(), 2);
}

TEST_F(Notify, NoServiceOrASilentOneGivesNothingWithinTheTimeout) {
  QElapsedTimer t;
  t.start();
  EXPECT_FALSE(Client(500).Send(Failure()));  // the bus has no notification service at all
  EXPECT_LT(t.elapsed(), 2000);
  client.reset();
  QDBusConnection::disconnectFromBus(QStringLiteral("client"));

  ServiceThread fake(bus->address());
  ASSERT_TRUE(fake.ok());
  fake.service().silent = true;
  t.restart();
  EXPECT_FALSE(Client(500).Send(Failure()));
  EXPECT_LT(t.elapsed(), 3000);
}

TEST_F(Notify, NoBusAtAllGivesNothingAtOnce) {
  QElapsedTimer t;
  t.start();
  DesktopNotifier n(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/qarno-bus"),
                                                  QStringLiteral("nobus")));
  EXPECT_FALSE(n.Send(Failure()));
  EXPECT_TRUE(n.Capabilities().isEmpty());
  EXPECT_FALSE(n.WaitForAction(1, QStringLiteral("/l"), 5000, [](const QString&) {}));
  EXPECT_LT(t.elapsed(), 1000);
  QDBusConnection::disconnectFromBus(QStringLiteral("nobus"));
}

// The helper program as Qarno starts it.
TEST_F(Notify, TheHelperDeliversAndEndsAtOnceWithoutABus) {
  const QString helper = NotifyHelperPath();
  if (helper.isEmpty()) GTEST_SKIP() << "qarno-notify is not built beside the tests";
  ServiceThread fake(bus->address());
  ASSERT_TRUE(fake.ok());
  fake.service().capabilities = {QStringLiteral("body")};  // no actions: nothing to wait for
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus->address());
  p.setProcessEnvironment(env);
  p.start(helper, NotifyHelperArguments(Failure()));
  ASSERT_TRUE(p.waitForFinished(10000));
  EXPECT_EQ(p.exitCode(), 0);
  ASSERT_EQ(fake.service().Calls().size(), 1u);
  EXPECT_EQ(fake.service().Calls()[0].summary, Failure().summary);

  env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent/qarno-bus"));
  p.setProcessEnvironment(env);
  QElapsedTimer t;
  t.start();
  p.start(helper, NotifyHelperArguments(Failure()));
  ASSERT_TRUE(p.waitForFinished(10000));
  EXPECT_EQ(p.exitCode(), 1);
  EXPECT_LT(t.elapsed(), 5000);
  p.start(helper, {QStringLiteral("--body"), QStringLiteral("no title")});
  ASSERT_TRUE(p.waitForFinished(10000));
  EXPECT_EQ(p.exitCode(), 2);
}

// The whole way: an unattended run from the command line that leaves an entry uncopied
// tells the desktop through the helper; a clean run and Notify=0 tell nothing.
TEST_F(Notify, AnUnattendedRunNotifiesOnlyWhenItLeftSomethingAndTheSettingAllowsIt) {
  if (NotifyHelperPath().isEmpty()) GTEST_SKIP() << "qarno-notify is not built beside the tests";
  TestEnv env;
  ServiceThread fake(bus->address());
  ASSERT_TRUE(fake.ok());
  fake.service().capabilities = {QStringLiteral("body")};
  qputenv("DBUS_SESSION_BUS_ADDRESS", bus->address().toLocal8Bit());  // TestEnv puts it back
  {
    auto store = OpenSettingsStore();
    store->setValue(QStringLiteral("Drives/T"), env.root());
  }
  env.WriteFile(QStringLiteral("T:\\src\\a.txt"), "a");
  env.MakeDir(QStringLiteral("T:\\dst"));
  const auto writeSet = [&env](const char* extra) {
    env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrn"),
                  QByteArray("#Version 1.10\r\ndir=T:\\dst\r\n#ComplexTypeMode=0\r\n#CalUseSize=0\r\n#RsvSizeChk=0\r\n"
                             "T:\\src\r\n") +
                      extra);
  };

  writeSet("");
  EXPECT_EQ(RunConsole({"daily", "/B2", "/L0"}), kExitOk);
  // A save-list entry that climbs with ".." is refused and counts as not copied.
  writeSet("T:\\src\\..\\src\r\n");
  EXPECT_EQ(RunConsole({"daily", "/B2", "/L0"}), kExitUncopied);
  ASSERT_TRUE(fake.service().WaitForCalls(1, 10000));
  const NotifyCall c = fake.service().Calls()[0];
  EXPECT_EQ(c.summary, QStringLiteral("Qarno: コピーできなかったファイルがあります"));
  EXPECT_TRUE(c.body.contains(QStringLiteral("セット名: daily"))) << c.body.toStdString();
  EXPECT_TRUE(c.body.contains(QStringLiteral("保存名: qrn"))) << c.body.toStdString();
  EXPECT_TRUE(c.body.contains(QStringLiteral("1 個コピーできませんでした。"))) << c.body.toStdString();
  EXPECT_TRUE(c.body.contains(env.root() + QStringLiteral("/prog/SetDir/daily.log"))) << c.body.toStdString();

  // The same run with Notify=0: nothing more arrives.
  {
    auto store = OpenSettingsStore();
    store->setValue(QStringLiteral("Startup Setting/Notify"), QStringLiteral("0"));
  }
  EXPECT_EQ(RunConsole({"daily", "/B2", "/L0"}), kExitUncopied);
  EXPECT_FALSE(fake.service().WaitForCalls(2, 1500));
}

// Backups that silently stopped: no run is left to fail, so the status check run by cron or a
// timer tells the desktop, and only when the set really has gone stale.
TEST_F(Notify, TheStatusCheckTellsAStaleSetAndNothingElse) {
  if (NotifyHelperPath().isEmpty()) GTEST_SKIP() << "qarno-notify is not built beside the tests";
  TestEnv env;
  ServiceThread fake(bus->address());
  ASSERT_TRUE(fake.ok());
  qputenv("DBUS_SESSION_BUS_ADDRESS", bus->address().toLocal8Bit());  // TestEnv puts it back
  {
    auto store = OpenSettingsStore();
    store->setValue(QStringLiteral("Drives/T"), env.root());
  }
  env.MakeDir(QStringLiteral("T:\\dst"));
  const auto writeSet = [&env](int staleDays) {
    env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrn"),
                  QStringLiteral("#Version 1.10\r\ndir=T:\\dst\r\n#StaleDays=%1\r\nT:\\src\r\n").arg(staleDays).toUtf8());
  };
  env.WriteFile(QStringLiteral("T:\\prog\\SetDir\\daily.qrl"),
                "#Version 1.10\r\nqrn20010101_00,Level-0,1,T:\\dst,1A2B-3C4D,V,2,2001/01/01 00:00:00,00:00:01,\"\",0\r\n");

  writeSet(0);  // no limit: nothing to tell
  EXPECT_EQ(RunRestoreConsole({"daily", "--status", "--notify"}), 0);
  writeSet(30);
  EXPECT_EQ(RunRestoreConsole({"daily", "--status"}), 1);  // without --notify: the status alone
  EXPECT_FALSE(fake.service().WaitForCalls(1, 1000));
  EXPECT_EQ(RunRestoreConsole({"daily", "--status", "--notify"}), 1);
  ASSERT_TRUE(fake.service().WaitForCalls(1, 10000));
  const NotifyCall c = fake.service().Calls()[0];
  EXPECT_EQ(c.summary, QStringLiteral("Qarno: バックアップが止まっています"));
  EXPECT_TRUE(c.body.contains(QStringLiteral("セット名: daily"))) << c.body.toStdString();
  EXPECT_TRUE(c.body.contains(env.root() + QStringLiteral("/prog/SetDir/daily.log"))) << c.body.toStdString();
  // --notify belongs to the status check alone.
  EXPECT_EQ(RunRestoreConsole({"daily", "--notify"}), 2);
}

}  // namespace
}  // namespace qarno::test

#include "NotifyTest.moc"
