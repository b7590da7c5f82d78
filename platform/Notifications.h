// SPDX-License-Identifier: MIT
#pragma once
// Desktop notifications: a short message in the corner of the screen, with buttons where the
// desktop shows them.

#include <QList>
#include <QPair>
#include <QString>
#include <functional>

struct Notice
{
    QString title;
    // Plain text; the service makes it safe for a server that reads markup.
    QString body;
    // Key and caption of each button, in order.
    QList<QPair<QString, QString>> actions;
    // Stays, with its buttons, until it is withdrawn: it does not expire.
    bool untilWithdrawn = false;
};

class Notifications
{
public:
    virtual ~Notifications() = default;
    // Whether a notification server runs, or would be started on demand.
    virtual bool available() = 0;
    // Whether the server shows buttons for actions.
    virtual bool supportsActions() = 0;
    // Shows a notice; onAction is handed the key of the button the user chose. Returns the
    // notice's id, 0 when nothing could be shown.
    virtual quint32 notify(const Notice& notice, std::function<void(const QString& key)> onAction) = 0;
    // Takes a shown notice away; an id of 0 or of a notice already gone is harmless.
    virtual void withdraw(quint32 id) = 0;
};
