// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PowerOff.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>

namespace qarno {

bool LogindPowerOff() {
  // The D-Bus types are registered here, before the first bus connection starts Qt's D-Bus
  // thread: registered later from that thread, the type registry is made after the thread's
  // owner and so is gone first at exit, while the thread still hands a message and an error
  // over — Qt then warns twice of "an invalid type" after the program's own last line.
  qRegisterMetaType<QDBusMessage>();
  qRegisterMetaType<QDBusError>();
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
  call << false;  // not interactive
  const QDBusMessage reply = bus.call(call, QDBus::Block, 25000);
  return reply.type() == QDBusMessage::ReplyMessage;
}

}  // namespace qarno
