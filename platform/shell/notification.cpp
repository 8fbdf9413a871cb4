#include "platform/shell/notification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace shell {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
}  // namespace

bool ShowDesktopNotification(const std::string& summary, const std::string& body) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  // Sent without asking first whether the service is there: the bus starts
  // it on demand, and without one the call's error reply is dropped unread.
  QDBusMessage call =
      QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/Notifications"),
                                     kService, QStringLiteral("Notify"));
  // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout
  call << QStringLiteral("Reelcast") << 0u << QStringLiteral("reelcast")
       << QString::fromStdString(summary) << QString::fromStdString(body) << QStringList()
       << QVariantMap() << -1;
  // The reply (the notification's number) is of no use here: never wait.
  return bus.send(call);
}

}  // namespace shell
