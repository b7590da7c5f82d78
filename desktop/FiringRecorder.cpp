// SPDX-License-Identifier: MIT
#include "desktop/FiringRecorder.h"

#include "engine/HistoryLog.h"
#include "platform/Notifications.h"

// A notification shows this much of a program's error output: its last lines.
constexpr int NoticeErrorLength = 300;

FiringRecorder::FiringRecorder(HistoryLog& history, Notifications& notifications, QObject* parent)
    : QObject(parent), history(history), notifications(notifications)
{}

void FiringRecorder::record(const Firing& firing)
{
    history.append(firing);
    if (!firing.failed())
        return;
    ++unseen;
    emit unseenFailuresChanged(unseen);
    if (!notifications.available())
        return;
    Notice notice;
    notice.title = noticeTitle(firing);
    notice.body = noticeBody(firing);
    if (notifications.supportsActions())
        notice.actions = {{QStringLiteral("history"), tr("History...")}};
    notifications.notify(notice, [this](const QString& key) {
        if (key == QLatin1String("history"))
            emit historyRequested();
    });
}

void FiringRecorder::markSeen()
{
    if (unseen == 0)
        return;
    unseen = 0;
    emit unseenFailuresChanged(0);
}

QString FiringRecorder::tipMark() const
{
    return unseen ? tr("%n failed", nullptr, unseen) : QString();
}

QString FiringRecorder::noticeTitle(const Firing& firing)
{
    if (firing.outcome == Firing::Outcome::MailKept)
        return tr("A mail was not sent");
    return tr("A program failed");
}

QString FiringRecorder::noticeBody(const Firing& firing)
{
    QString body = firing.line + QLatin1Char('\n') + firing.describe();
    if (!firing.errorOutput.isEmpty())
        body += QLatin1Char('\n') + firing.errorOutput.right(NoticeErrorLength);
    return body;
}
