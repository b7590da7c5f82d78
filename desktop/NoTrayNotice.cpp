// SPDX-License-Identifier: MIT
#include "desktop/NoTrayNotice.h"

#include "platform/Notifications.h"

NoTrayNotice::NoTrayNotice(Notifications& notifications, std::function<void()> openSetup)
    : notifications(notifications), openSetup(std::move(openSetup))
{}

void NoTrayNotice::tell()
{
    if (notifications.available()) {
        const Notice notice{tr("Nudgeon runs without a tray icon"),
                            tr("This desktop shows no tray. Start Nudgeon again from the applications "
                               "menu to open its setup dialog; its notes still pop up when due."),
                            {{QStringLiteral("setup"), tr("Setup")}}};
        const quint32 id = notifications.notify(notice, [open = openSetup](const QString& key) {
            if (key == QLatin1String("setup") && open)
                open();
        });
        if (id != 0) {
            shownId = id;
            return;
        }
    }
    if (openSetup)
        openSetup();
}

void NoTrayNotice::withdraw()
{
    notifications.withdraw(shownId);
    shownId = 0;
}
