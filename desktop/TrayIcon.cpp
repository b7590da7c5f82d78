// SPDX-License-Identifier: MIT
#include "desktop/TrayIcon.h"

#include "desktop/MakerLinks.h"
#include "engine/StatusTip.h"

#include <QPainter>

TrayIcon::TrayIcon(MakerLinks& links, bool hostPresent)
    : trayMenu(std::make_unique<QMenu>()), helpSubmenu(std::make_unique<QMenu>()), hostPresent(hostPresent)
{
    // Where the desktop shows no tip (GNOME's AppIndicator), the menu tells what is due next.
    nextAction = trayMenu->addAction(QString());
    nextAction->setEnabled(false);
    nextAction->setVisible(false);
    nextSeparator = trayMenu->addSeparator();
    nextSeparator->setVisible(false);
    newAction = trayMenu->addAction(tr("&New"));
    setupAction = trayMenu->addAction(tr("&Setup"));
    historyAction = trayMenu->addAction(tr("&History..."));
    helpSubmenu->setTitle(tr("&Help"));
    QObject::connect(helpSubmenu->addAction(tr("&Contents")), &QAction::triggered,
                     [&links] { links.openHelp(); });
    QObject::connect(helpSubmenu->addAction(tr("&Web page")), &QAction::triggered,
                     [&links] { links.openWebPage(); });
    QObject::connect(helpSubmenu->addAction(tr("&E-mail us")), &QAction::triggered,
                     [&links] { links.writeEmail(); });
    QObject::connect(helpSubmenu->addAction(tr("&About")), &QAction::triggered,
                     [&links] { links.showAbout(); });
    trayMenu->addMenu(helpSubmenu.get());
    closeAction = trayMenu->addAction(tr("&Close"));
    QObject::connect(newAction, &QAction::triggered, [this] { openSetup(true); });
    QObject::connect(setupAction, &QAction::triggered, [this] { openSetup(false); });
}

void TrayIcon::openSetup(bool newEntriesOnly)
{
    if (setupOpener)
        setupOpener(newEntriesOnly);
}

TrayIcon::~TrayIcon()
{
    remove();
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
    this->tip = tip.left(StatusTip::MaxLength);
    added = true;
    // Made before a tray host exists, Qt's icon would never reach one that comes later.
    if (!hostPresent)
        return;
    if (!trayIcon) {
        // An XEmbed tray that goes away and comes back takes the icon again by itself.
        trayIcon = std::make_unique<QSystemTrayIcon>(mainIcon());
        trayIcon->setContextMenu(trayMenu.get());
        // A left click opens the setup dialog once the click itself is done.
        QObject::connect(trayIcon.get(), &QSystemTrayIcon::activated, trayMenu.get(),
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             if (reason == QSystemTrayIcon::Trigger)
                                 QMetaObject::invokeMethod(
                                     trayMenu.get(), [this] { openSetup(false); }, Qt::QueuedConnection);
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
    this->tip = tip.left(StatusTip::MaxLength);
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
    return (failureMark + QStringLiteral(" - ") + tip).left(StatusTip::MaxLength);
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

void TrayIcon::showNext(const QString& text)
{
    nextAction->setText(text);
    const bool shown = !text.isEmpty();
    nextAction->setVisible(shown);
    nextSeparator->setVisible(shown);
}

void TrayIcon::remove()
{
    if (added && trayIcon)
        trayIcon->hide();
    added = false;
}
