// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef _WIN32
#include "app/DesktopNotifier.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QVariantMap>
#include <cstdio>
#include <vector>

namespace qarno {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// The desktop entry and icon the package installs, so that the desktop shows and groups the
// notification as Qarno's.
const QString kDesktopId = QStringLiteral("io.github.qarno.Qarno");
}  // namespace

// Records the service's signals about our notifications from the moment the notifier exists,
// so that an action chosen before the wait began is not lost.
class NotifyEvents : public QObject {
  Q_OBJECT
 public:
  struct Event {
    uint id;
    QString action;  // empty: the notification was closed
  };
  std::vector<Event> events;
  bool gone = false;  // the bus or the service went away
  QEventLoop* loop = nullptr;

 public slots:
  void onAction(uint id, const QString& key) { Add({id, key}); }
  void onClosed(uint id, uint /*reason*/) { Add({id, QString()}); }
  void onGone() {
    gone = true;
    if (loop) loop->quit();
  }

 private:
  void Add(Event e) {
    events.push_back(std::move(e));
    if (loop) loop->quit();
  }
};

DesktopNotifier::DesktopNotifier(QDBusConnection bus, int callTimeoutMs)
    : bus_(std::move(bus)), timeoutMs_(callTimeoutMs), events_(std::make_unique<NotifyEvents>()) {
  if (!bus_.isConnected()) return;
  bus_.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), events_.get(),
               SLOT(onAction(uint, QString)));
  bus_.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), events_.get(),
               SLOT(onClosed(uint, uint)));
  bus_.connect(QString(), QStringLiteral("/org/freedesktop/DBus/Local"), QStringLiteral("org.freedesktop.DBus.Local"),
               QStringLiteral("Disconnected"), events_.get(), SLOT(onGone()));
  watcher_ = std::make_unique<QDBusServiceWatcher>(kService, bus_, QDBusServiceWatcher::WatchForUnregistration);
  QObject::connect(watcher_.get(), &QDBusServiceWatcher::serviceUnregistered, events_.get(), &NotifyEvents::onGone);
}

DesktopNotifier::~DesktopNotifier() = default;

QStringList DesktopNotifier::Capabilities() {
  if (caps_) return *caps_;
  if (!bus_.isConnected()) return {};
  const QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("GetCapabilities"));
  const QDBusMessage reply = bus_.call(call, QDBus::Block, timeoutMs_);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
  caps_ = reply.arguments().at(0).toStringList();
  return *caps_;
}

std::optional<uint> DesktopNotifier::Send(const RunNotice& notice) {
  if (!bus_.isConnected()) return std::nullopt;
  // Servers that read markup would take "<" and "&" of a set name or path for tags.
  QString body = notice.body;
  if (Capabilities().contains(QStringLiteral("body-markup"))) body = body.toHtmlEscaped();
  QStringList actions;
  if (!notice.logPath.isEmpty()) {
    // "default" is a click on the notification itself; the second one a button.
    const QString open = QCoreApplication::translate("DesktopNotifier", "ログを開く");
    actions << QStringLiteral("default") << open << ActionKey() << open;
  }
  QVariantMap hints;
  hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(notice.failed ? 2 : 1));
  hints.insert(QStringLiteral("desktop-entry"), kDesktopId);
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
  call << QStringLiteral("Qarno") << uint(0) << kDesktopId << notice.summary << body << actions << hints
       << int(-1);
  const QDBusMessage reply = bus_.call(call, QDBus::Block, timeoutMs_);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
  bool ok = false;
  const uint id = reply.arguments().at(0).toUInt(&ok);
  if (!ok) return std::nullopt;
  return id;
}

bool DesktopNotifier::WaitForAction(uint id, const QString& logPath, int maxWaitMs,
                                    const std::function<void(const QString&)>& open) {
  if (!bus_.isConnected()) return false;
  QEventLoop loop;
  QTimer timeout;
  timeout.setSingleShot(true);
  QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
  timeout.start(maxWaitMs);
  events_->loop = &loop;
  bool opened = false;
  for (;;) {
    bool done = events_->gone;
    for (const NotifyEvents::Event& e : events_->events) {
      if (e.id != id) continue;  // another program's notification
      done = true;
      if (!e.action.isEmpty() && (e.action == ActionKey() || e.action == u"default")) {
        if (open) open(logPath);
        opened = true;
      }
      break;
    }
    events_->events.clear();
    if (done || !timeout.isActive()) break;
    loop.exec();
  }
  events_->loop = nullptr;
  return opened;
}

void OpenWithDesktop(const QString& path) {
  QProcess p;
  p.setProgram(QStringLiteral("xdg-open"));
  p.setArguments({path});
  p.setWorkingDirectory(QStringLiteral("/"));
  p.setStandardOutputFile(QProcess::nullDevice());
  p.setStandardErrorFile(QProcess::nullDevice());
  p.startDetached();
}

int RunNotifyHelper(const QStringList& arguments) {
  const QByteArray usage =
      QCoreApplication::translate(
          "DesktopNotifier",
          "使い方: qarno-notify --summary TEXT [--body TEXT] [--log FILE] [--critical] [--wait SECONDS]")
          .toLocal8Bit();
  QString error;
  const auto o = ParseNotifyHelperArguments(arguments, &error);
  if (!o) {
    std::fprintf(stderr, "qarno-notify: %s\n%s\n", error.toLocal8Bit().constData(), usage.constData());
    return 2;
  }
  if (o->help) {
    std::fprintf(stdout, "%s\n%s\n", usage.constData(),
                 QCoreApplication::translate(
                     "DesktopNotifier",
                     "Qarno が無人実行の後で使う補助プログラム: デスクトップに通知を出し、その操作でログを開く")
                     .toLocal8Bit()
                     .constData());
    return 0;
  }
  if (o->version) {
    std::printf("qarno-notify %d.%d.%d\n", QARNO_VERSION_MAJOR, QARNO_VERSION_MINOR, QARNO_VERSION_PATCH);
    return 0;
  }
  DesktopNotifier notifier(QDBusConnection::sessionBus());
  const auto id = notifier.Send(o->notice);
  if (!id) return 1;
  if (!o->notice.logPath.isEmpty() && o->waitMs > 0 && notifier.Capabilities().contains(QStringLiteral("actions")))
    notifier.WaitForAction(*id, o->notice.logPath, o->waitMs, OpenWithDesktop);
  return 0;
}

}  // namespace qarno

#include "DesktopNotifier.moc"
#endif
