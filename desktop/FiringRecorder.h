// SPDX-License-Identifier: MIT
#pragma once

#include "engine/Firing.h"

#include <QObject>

class HistoryLog;
class Notifications;

// Writes each firing to the history and tells a failure at once: a program that could not
// start or ended with a non-zero status, or a mail kept in the outbox, gives a desktop
// notification and counts as unseen until the user has looked at the history.
class FiringRecorder : public QObject
{
    Q_OBJECT

public:
    FiringRecorder(HistoryLog& history, Notifications& notifications, QObject* parent = nullptr);

    void record(const Firing& firing);
    // The user has looked at the history.
    void markSeen();
    int unseenFailures() const { return unseen; }
    // What the tray's tip says of unseen failures, e.g. "1 failed"; empty when there are none.
    QString tipMark() const;

    // The notice a failure gives.
    static QString noticeTitle(const Firing& firing);
    static QString noticeBody(const Firing& firing);

signals:
    void unseenFailuresChanged(int count);
    // The user chose to see the history from a notification.
    void historyRequested();

private:
    HistoryLog& history;
    Notifications& notifications;
    int unseen = 0;
};
