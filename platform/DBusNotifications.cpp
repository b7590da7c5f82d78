// SPDX-License-Identifier: MIT
#include "platform/DBusNotifications.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QGuiApplication>
#include <QIcon>
#include <QVariantMap>

namespace {
const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");
const QString iconName = QStringLiteral("nudgeon");
// NotificationClosed's reason for a notification that timed out; a server may still offer it
// from its history.
constexpr uint Expired = 1;
// A server that has not answered by then is taken as absent; the program must not hang on it.
constexpr int CallTimeout = 3000;

QDBusMessage call(const QString& method, const QVariantList& arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, CallTimeout);
}
} // namespace

DBusNotifications::DBusNotifications(const QImage& icon, QObject* parent)
    : QObject(parent), icon(icon.convertToFormat(QImage::Format_RGBA8888))
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                SLOT(actionInvoked(uint, QString)));
    bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                SLOT(notificationClosed(uint, uint)));
}

bool DBusNotifications::available()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusConnectionInterface* names = bus.interface();
    if (names->isServiceRegistered(service))
        return true;
    const QDBusReply<QStringList> activatable = names->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(service);
}

QStringList DBusNotifications::capabilities()
{
    const QDBusMessage reply = call(QStringLiteral("GetCapabilities"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst().toStringList();
}

bool DBusNotifications::supportsActions()
{
    return capabilities().contains(QStringLiteral("actions"));
}

quint32 DBusNotifications::notify(const Notice& notice, std::function<void(const QString&)> onAction)
{
    if (!QDBusConnection::sessionBus().isConnected())
        return 0;
    const QStringList caps = capabilities();
    // A server that reads markup would take a "<" in a note for the start of a tag.
    const QString body =
        caps.contains(QStringLiteral("body-markup")) ? notice.body.toHtmlEscaped() : notice.body;
    QStringList actions;
    if (caps.contains(QStringLiteral("actions"))) {
        for (const auto& [key, caption] : notice.actions)
            actions << key << caption;
    }
    const bool themed = QIcon::hasThemeIcon(iconName);
    const QDBusMessage reply = call(
        QStringLiteral("Notify"), {QStringLiteral("Nudgeon"), 0u, themed ? iconName : QString(), notice.title,
                                   body, actions, hints(notice, themed), notice.untilWithdrawn ? 0 : -1});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return 0;
    const quint32 id = reply.arguments().constFirst().toUInt();
    if (id != 0 && onAction && !actions.isEmpty())
        handlers.insert(id, std::move(onAction));
    return id;
}

QVariantMap DBusNotifications::hints(const Notice& notice, bool themed) const
{
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QGuiApplication::desktopFileName());
    if (notice.untilWithdrawn)
        hints.insert(QStringLiteral("resident"), true);
    if (!themed && !icon.isNull()) {
        // The server's image-data: width, height, row stride, alpha, bits per sample, channels
        // and the RGBA bytes.
        QDBusArgument image;
        image.beginStructure();
        image << icon.width() << icon.height() << static_cast<int>(icon.bytesPerLine()) << true << 8 << 4
              << QByteArray(reinterpret_cast<const char*>(icon.constBits()), icon.sizeInBytes());
        image.endStructure();
        hints.insert(QStringLiteral("image-data"), QVariant::fromValue(image));
    }
    return hints;
}

void DBusNotifications::withdraw(quint32 id)
{
    if (id == 0)
        return;
    handlers.remove(id);
    if (QDBusConnection::sessionBus().isConnected())
        call(QStringLiteral("CloseNotification"), {id});
}

void DBusNotifications::actionInvoked(uint id, const QString& key)
{
    const auto handler = handlers.value(id);
    if (handler)
        handler(key);
}

void DBusNotifications::notificationClosed(uint id, uint reason)
{
    // A server that keeps expired notifications in its history still offers their buttons.
    if (reason != Expired)
        handlers.remove(id);
}
