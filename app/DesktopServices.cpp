#include "app/DesktopServices.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>
#include <QVariantMap>

#include "app/TextConversion.h"

namespace {

bool ServiceRegistered(const QString& name) {
  const QDBusConnection bus = QDBusConnection::sessionBus();
  return bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(name).value();
}

}  // namespace

bool ShowInFileManager(const std::string& path) {
  const QString file = PathText(path);
  static const QString kFileManager = QStringLiteral("org.freedesktop.FileManager1");
  if (ServiceRegistered(kFileManager)) {
    QDBusMessage call = QDBusMessage::createMethodCall(kFileManager, QStringLiteral("/org/freedesktop/FileManager1"),
                                                       kFileManager, QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(file).toString()} << QString();
    if (QDBusConnection::sessionBus().call(call, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage) return true;
  }
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file).absolutePath()));
}

void NotifyDesktop(const QString& summary, const QString& body, QWidget* window) {
  static const QString kNotifications = QStringLiteral("org.freedesktop.Notifications");
  if (ServiceRegistered(kNotifications)) {
    QDBusMessage call = QDBusMessage::createMethodCall(kNotifications, QStringLiteral("/org/freedesktop/Notifications"),
                                                       kNotifications, QStringLiteral("Notify"));
    call << QApplication::applicationDisplayName() << 0u << QStringLiteral("hamper-packer") << summary << body
         << QStringList() << QVariantMap() << -1;
    // Not waited for: a notification that does not arrive is no reason to hold the window.
    if (QDBusConnection::sessionBus().send(call)) return;
  }
  if (window) QApplication::alert(window);
}
