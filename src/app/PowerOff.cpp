#include "app/PowerOff.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace qarno {

bool LogindPowerOff() {
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
