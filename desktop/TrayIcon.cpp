// SPDX-License-Identifier: MIT
#include "TrayIcon.h"

#include "MakerLinks.h"
#include "Scheduler.h"

#include <QPainter>

// The tip holds at most this many characters.
constexpr int MaxTipLength = 63;

TrayIcon::TrayIcon(Scheduler& scheduler, MakerLinks& links, bool hostPresent)
    : scheduler(scheduler), trayMenu(std::make_unique<QMenu>()), HelpItem(std::make_unique<QMenu>()),
      hostPresent(hostPresent)
{
    NewNote = trayMenu->addAction(tr("&New"));
    Setup = trayMenu->addAction(tr("&Setup"));
    historyAction = trayMenu->addAction(tr("&History..."));
    HelpItem->setTitle(tr("&Help"));
    QObject::connect(HelpItem->addAction(tr("&Contents")), &QAction::triggered, [&links] { links.HelpIt(); });
    QObject::connect(HelpItem->addAction(tr("&Web page")), &QAction::triggered,
                     [&links] { links.VisitUs(); });
    QObject::connect(HelpItem->addAction(tr("&E-mail us")), &QAction::triggered,
                     [&links] { links.EMailUs(); });
    QObject::connect(HelpItem->addAction(tr("&About")), &QAction::triggered, [&links] { links.ShowAbout(); });
    trayMenu->addMenu(HelpItem.get());
    CloseItem = trayMenu->addAction(tr("&Close"));
    QObject::connect(NewNote, &QAction::triggered, [this] { SetupClick(true); });
    QObject::connect(Setup, &QAction::triggered, [this] { SetupClick(false); });
    QObject::connect(CloseItem, &QAction::triggered, &scheduler, &Scheduler::CloseIt);
}

void TrayIcon::SetupClick(bool newMode)
{
    if (scheduler.isSetupOpen() || !openSetup)
        return;
    scheduler.setNewMode(newMode);
    openSetup();
}

TrayIcon::~TrayIcon()
{
    remove();
    // The engine outlives its icon when the program ends: it must not reach it any more.
    scheduler.setTray(nullptr);
}

QIcon TrayIcon::mainIcon()
{
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/icons/MAINICON-%1.png").arg(size), QSize(size, size));
    return icon;
}

void TrayIcon::add(const QString& tip)
{
    this->tip = tip.left(MaxTipLength);
    added = true;
    // Made before a tray host exists, Qt's icon would never reach one that comes later.
    if (!hostPresent)
        return;
    if (!trayIcon) {
        // An XEmbed tray that goes away and comes back takes the icon again by itself.
        trayIcon = std::make_unique<QSystemTrayIcon>(mainIcon());
        trayIcon->setContextMenu(trayMenu.get());
        // A left click opens the setup dialog once the click itself is done.
        QObject::connect(trayIcon.get(), &QSystemTrayIcon::activated, &scheduler,
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             if (reason == QSystemTrayIcon::Trigger)
                                 QMetaObject::invokeMethod(
                                     &scheduler, [this] { SetupClick(false); }, Qt::QueuedConnection);
                         });
    }
    trayIcon->setIcon(failureMark.isEmpty() ? mainIcon() : markedIcon());
    trayIcon->setToolTip(shownTip());
    trayIcon->show();
}

void TrayIcon::hostAppeared()
{
    if (hostPresent)
        return;
    hostPresent = true;
    if (added)
        add(tip);
}

void TrayIcon::modify(const QString& tip)
{
    if (!added)
        return;
    this->tip = tip.left(MaxTipLength);
    if (trayIcon && trayIcon->toolTip() != shownTip())
        trayIcon->setToolTip(shownTip());
}

void TrayIcon::setFailureMark(const QString& mark)
{
    if (failureMark == mark)
        return;
    failureMark = mark;
    if (!trayIcon)
        return;
    trayIcon->setIcon(mark.isEmpty() ? mainIcon() : markedIcon());
    trayIcon->setToolTip(shownTip());
}

QString TrayIcon::shownTip() const
{
    if (failureMark.isEmpty())
        return tip;
    return (failureMark + QStringLiteral(" - ") + tip).left(MaxTipLength);
}

QIcon TrayIcon::markedIcon()
{
    QIcon marked;
    const QIcon plain = mainIcon();
    for (int size : {16, 22, 32, 48, 64, 128}) {
        QPixmap pixmap = plain.pixmap(size, size);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::white, qMax(1, size / 16)));
        painter.setBrush(QColor(0xd0, 0x20, 0x20));
        const int dot = size / 2;
        painter.drawEllipse(QRect(size - dot, size - dot, dot - 1, dot - 1));
        painter.end();
        marked.addPixmap(pixmap);
    }
    return marked;
}

void TrayIcon::remove()
{
    if (added && trayIcon)
        trayIcon->hide();
    added = false;
}
