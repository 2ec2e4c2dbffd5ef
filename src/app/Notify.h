#pragma once
// The desktop notification after an unattended run that did not end cleanly (exit status 1,
// entries left uncopied, or 2, failed or cancelled): a message to the desktop's notification
// service (org.freedesktop.Notifications on the session bus) with the set, the save and what
// went wrong, and an action that opens the set's log.
//
// A run started by cron or a systemd timer must end as soon as it is done, yet the action
// can only be answered to the program that sent the notification (servers send their signals
// to the sender alone). So the run hands the notice to a small helper program, qarno-notify,
// started on its own; the helper sends it, waits for the action and opens the log. Without a
// session bus, a notification service or the helper nothing happens, silently, and nothing
// waits longer than a short timeout.
#include <QDBusConnection>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QDBusServiceWatcher;

namespace qarno {

class NotifyEvents;

struct RunNotice {
  QString summary;  // the notification's title
  QString body;     // set, save, what went wrong, the log (plain text)
  QString logPath;  // host path of the set's log, opened by the action
  bool failed = false;  // status 2: shown as critical (it stays until dismissed)
};

// The notice for an unattended run's exit status, or none: only 1 (entries left uncopied)
// and 2 (failed or cancelled) are told. `what` says what went wrong; `saveName` may be empty
// (the run failed before it chose one).
std::optional<RunNotice> MakeRunNotice(int status, const QString& setName, const QString& saveName,
                                       const QString& what, const QString& logPath);

class DesktopNotifier {
 public:
  static constexpr int kCallTimeoutMs = 2000;
  // Up to when the helper answers the action; a notification kept longer in the desktop's
  // message list still shows the log's path in its text.
  static constexpr int kActionWaitMs = 12 * 3600 * 1000;

  explicit DesktopNotifier(QDBusConnection bus, int callTimeoutMs = kCallTimeoutMs);
  ~DesktopNotifier();

  // Sends the notice; the id the service gave it, or none when there is no bus, no service
  // or no answer in time.
  std::optional<uint> Send(const RunNotice& notice);
  // The service's capabilities ("actions", "body-markup", ...); empty when it does not answer.
  QStringList Capabilities();
  // Waits until the user chose an action of notification `id` (then calls `open` with the
  // log's path), the notification was closed, the bus went away or `maxWaitMs` passed.
  // True when the log was opened.
  bool WaitForAction(uint id, const QString& logPath, int maxWaitMs,
                     const std::function<void(const QString&)>& open);

  static QString ActionKey() { return QStringLiteral("open-log"); }

 private:
  QDBusConnection bus_;
  int timeoutMs_;
  std::optional<QStringList> caps_;
  std::unique_ptr<NotifyEvents> events_;
  std::unique_ptr<QDBusServiceWatcher> watcher_;
};

// Opens a file with the desktop's handler (xdg-open), without waiting for it.
void OpenWithDesktop(const QString& path);

// True when this process has a session bus to talk to: DBUS_SESSION_BUS_ADDRESS is set and
// not empty, or (it is not set at all and) $XDG_RUNTIME_DIR/bus exists. Setting it to the
// empty text turns notifications off for a process and its children.
bool SessionBusConfigured();

// Where the helper lies: beside the executable (the build folder), else ../lib/qarno/ from
// it (an installed program).
QString NotifyHelperPath();

// The helper's command line, and the notice it carries.
QStringList NotifyHelperArguments(const RunNotice& notice);
std::optional<RunNotice> NoticeFromHelperArguments(const QStringList& arguments);

// Starts the helper on its own for the notice; false when there is no session bus or no
// helper. Never waits for it.
bool StartNotifyHelper(const RunNotice& notice, const QString& helperPath = NotifyHelperPath());

// The helper's main (arguments without the program name): sends the notice over the session
// bus and, when the service shows actions, waits for one. Exit status 0 when the notice was
// delivered, 1 when it could not be, 2 on bad arguments.
int RunNotifyHelper(const QStringList& arguments);

}  // namespace qarno
