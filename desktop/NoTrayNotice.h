// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <functional>

class Notifications;

// Tells the user that the program runs though no tray shows its icon: a desktop notification
// where a server shows one, else the setup dialog opens. The notification goes again as soon
// as a tray shows the icon; a setup dialog it opened stays.
class NoTrayNotice
{
    Q_DECLARE_TR_FUNCTIONS(NoTrayNotice)

public:
    NoTrayNotice(Notifications& notifications, std::function<void()> openSetup);
    void tell();
    // A tray shows the icon now: the notification, if one is up, is taken away.
    void withdraw();

private:
    Notifications& notifications;
    std::function<void()> openSetup;
    quint32 shownId = 0;
};
