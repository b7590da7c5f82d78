// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <functional>

class Notifications;

// Tells the user that the program runs though no tray shows its icon: a desktop notification
// where a server shows one, else the setup dialog opens.
class NoTrayNotice
{
    Q_DECLARE_TR_FUNCTIONS(NoTrayNotice)

public:
    NoTrayNotice(Notifications& notifications, std::function<void()> openSetup);
    void tell();

private:
    Notifications& notifications;
    std::function<void()> openSetup;
};
