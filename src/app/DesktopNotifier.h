// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The freedesktop notification service over the session bus (Linux and other free desktops):
// sending a run's notice and waiting for the action that opens its log. Used by the helper
// program qarno-notify (see app/Notify.h for why a helper).
#ifndef _WIN32
#include "app/Notify.h"

#include <QDBusConnection>
#include <functional>
#include <memory>

class QDBusServiceWatcher;

namespace qarno {

class NotifyEvents;

class DesktopNotifier {
 public:
  static constexpr int kCallTimeoutMs = 2000;
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

// The helper's main (arguments without the program name): sends the notice over the session
// bus and, when the service shows actions, waits for one. Exit status 0 when the notice was
// delivered, 1 when it could not be, 2 on bad arguments.
int RunNotifyHelper(const QStringList& arguments);

}  // namespace qarno
#endif
