// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Notifications.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QVariantMap>

// Notifications through the desktop's org.freedesktop.Notifications server on the session bus.
class DBusNotifications : public QObject, public Notifications
{
    Q_OBJECT

public:
    // The icon is sent as image data when no icon theme has the program's icon, as when the
    // program runs from its build folder.
    explicit DBusNotifications(const QImage& icon = {}, QObject* parent = nullptr);

    bool available() override;
    bool supportsActions() override;
    quint32 notify(const Notice& notice, std::function<void(const QString& key)> onAction) override;
    void withdraw(quint32 id) override;

private slots:
    // Remote signals are connected by name: QtDBus knows no other way.
    void actionInvoked(uint id, const QString& key);
    void notificationClosed(uint id, uint reason);

private:
    QStringList capabilities();
    // The notifications' hints: the desktop file, and the icon where no theme has it.
    QVariantMap hints(const Notice& notice, bool themed) const;

    QHash<quint32, std::function<void(const QString&)>> handlers;
    QImage icon;
};
