// SPDX-License-Identifier: MIT
#include "actions/NotePlacement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

QPoint NotePlacement::centred(const QRect& available, const QSize& size)
{
    const int x = available.x() + std::max(0, (available.width() - size.width()) / 2);
    const int y = available.y() + std::max(0, (available.height() - size.height()) / 2);
    return {x, y};
}

void NotePlacement::place(QWidget& window)
{
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    window.move(centred(screen->availableGeometry(), window.frameGeometry().size()));
}
