// SPDX-License-Identifier: MIT
#include "platform/QtClock.h"

#include <QThread>

QDateTime QtClock::now() const
{
    return QDateTime::currentDateTime();
}

void QtClock::sleep(int ms)
{
    QThread::msleep(static_cast<unsigned long>(ms));
}
