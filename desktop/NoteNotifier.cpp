// SPDX-License-Identifier: MIT
#include "desktop/NoteNotifier.h"

#include "platform/Notifications.h"
#include "platform/RegistryStore.h"

#include <QStringList>

const QString NoteNotifier::settingsKey = QStringLiteral("Software/Nudgeon");
const QString NoteNotifier::notifyValue = QStringLiteral("NoteNotifications");

NoteNotifier::NoteNotifier(NoteView& window, Notifications& notifications, RegistryStore& store,
                           Handlers handlers)
    : window(window), notifications(notifications), store(store), handlers(std::move(handlers))
{}

bool NoteNotifier::enabled(const RegistryStore& store)
{
    return store.readString(settingsKey, notifyValue).value_or(QString()).trimmed() != QLatin1String("0");
}

Notice NoteNotifier::noticeFor(const QString& text, const QString& timeText)
{
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString shown = line.trimmed();
        if (shown.isEmpty())
            continue;
        if (lines.size() == MaxLines) {
            lines.last().append(QChar(0x2026));
            break;
        }
        lines.append(shown.size() > MaxLineLength ? shown.left(MaxLineLength - 1) + QChar(0x2026) : shown);
    }
    return Notice{tr("Nudgeon note at %1").arg(timeText.trimmed()),
                  lines.join(QLatin1Char('\n')),
                  {{QStringLiteral("show"), tr("Show")}, {QStringLiteral("snooze"), tr("Snooze 5 min")}},
                  true};
}

void NoteNotifier::showNote(const QString& text, const QString& path, const QString& timeText,
                            const QString& line)
{
    if (enabled(store) && notifications.available()) {
        const quint32 id =
            notifications.notify(noticeFor(text, timeText), [this, path, line](const QString& key) {
                if (key == QLatin1String("show") && handlers.show)
                    handlers.show(path);
                else if (key == QLatin1String("snooze") && handlers.snooze)
                    handlers.snooze(path, line, SnoozeMinutes);
            });
        up.append({path, line, id});
    }
    window.showNote(text, path, timeText, line);
}

void NoteNotifier::noteClosed(const QString& path, const QString& line)
{
    for (auto it = up.begin(); it != up.end();) {
        if (it->path == path && it->line == line) {
            notifications.withdraw(it->id);
            it = up.erase(it);
        } else {
            ++it;
        }
    }
}
