#include "app/Notify.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QFileInfo>
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
}  // namespace

std::optional<RunNotice> MakeRunNotice(int status, const QString& setName, const QString& saveName,
                                       const QString& what, const QString& logPath) {
  if (status != 1 && status != 2) return std::nullopt;
  RunNotice n;
  n.failed = status == 2;
  n.summary = n.failed ? QStringLiteral("Qarno: バックアップが失敗しました")
                       : QStringLiteral("Qarno: コピーできなかったファイルがあります");
  QStringList lines;
  lines += QStringLiteral("セット名: ") + setName;
  if (!saveName.isEmpty()) lines += QStringLiteral("保存名: ") + saveName;
  if (!what.isEmpty()) lines += what;
  if (!logPath.isEmpty()) lines += QStringLiteral("ログ: ") + logPath;
  n.body = lines.join(u'\n');
  n.logPath = logPath;
  return n;
}

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
    actions << QStringLiteral("default") << QStringLiteral("ログを開く") << ActionKey() << QStringLiteral("ログを開く");
  }
  QVariantMap hints;
  hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(notice.failed ? 2 : 1));
  hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("qarno"));
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
  call << QStringLiteral("Qarno") << uint(0) << QStringLiteral("qarno") << notice.summary << body << actions << hints
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

bool SessionBusConfigured() {
  if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS")) return !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS");
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

QString NotifyHelperPath() {
  const QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
  if (dir.isEmpty()) return QString();
  for (const QString& candidate : {dir + QStringLiteral("/qarno-notify"), dir + QStringLiteral("/../lib/qarno/qarno-notify")}) {
    const QFileInfo info(candidate);
    if (info.isFile() && info.isExecutable()) return info.canonicalFilePath();
  }
  return QString();
}

QStringList NotifyHelperArguments(const RunNotice& notice) {
  QStringList args{QStringLiteral("--summary"), notice.summary, QStringLiteral("--body"), notice.body};
  if (!notice.logPath.isEmpty()) args << QStringLiteral("--log") << notice.logPath;
  if (notice.failed) args << QStringLiteral("--critical");
  return args;
}

namespace {
// The helper's own options beside the notice: how long to wait for the action.
struct HelperOptions {
  RunNotice notice;
  int waitMs = DesktopNotifier::kActionWaitMs;
};

std::optional<HelperOptions> ParseHelperArguments(const QStringList& args) {
  HelperOptions o;
  bool haveSummary = false;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == u"--critical") {
      o.notice.failed = true;
    } else if (a == u"--summary" && hasValue) {
      o.notice.summary = args[++i];
      haveSummary = true;
    } else if (a == u"--body" && hasValue) {
      o.notice.body = args[++i];
    } else if (a == u"--log" && hasValue) {
      o.notice.logPath = args[++i];
    } else if (a == u"--wait" && hasValue) {
      bool ok = false;
      const int seconds = args[++i].toInt(&ok);
      if (!ok || seconds < 0 || seconds > DesktopNotifier::kActionWaitMs / 1000) return std::nullopt;
      o.waitMs = seconds * 1000;
    } else {
      return std::nullopt;
    }
  }
  if (!haveSummary || o.notice.summary.isEmpty()) return std::nullopt;
  return o;
}
}  // namespace

std::optional<RunNotice> NoticeFromHelperArguments(const QStringList& arguments) {
  const auto o = ParseHelperArguments(arguments);
  if (!o) return std::nullopt;
  return o->notice;
}

bool StartNotifyHelper(const RunNotice& notice, const QString& helperPath) {
  if (!SessionBusConfigured() || helperPath.isEmpty()) return false;
  QProcess p;
  p.setProgram(helperPath);
  p.setArguments(NotifyHelperArguments(notice));
  // The helper may outlive the run by hours: it must not hold the run's folder (a backup
  // medium that is to be unmounted) nor write into a cron mail.
  p.setWorkingDirectory(QStringLiteral("/"));
  p.setStandardInputFile(QProcess::nullDevice());
  p.setStandardOutputFile(QProcess::nullDevice());
  p.setStandardErrorFile(QProcess::nullDevice());
  return p.startDetached();
}

int RunNotifyHelper(const QStringList& arguments) {
  const auto o = ParseHelperArguments(arguments);
  if (!o) {
    std::fprintf(stderr,
                 "usage: qarno-notify --summary TEXT [--body TEXT] [--log FILE] [--critical] [--wait SECONDS]\n");
    return 2;
  }
  DesktopNotifier notifier(QDBusConnection::sessionBus());
  const auto id = notifier.Send(o->notice);
  if (!id) return 1;
  if (!o->notice.logPath.isEmpty() && o->waitMs > 0 && notifier.Capabilities().contains(QStringLiteral("actions")))
    notifier.WaitForAction(*id, o->notice.logPath, o->waitMs, OpenWithDesktop);
  return 0;
}

}  // namespace qarno

#include "Notify.moc"
