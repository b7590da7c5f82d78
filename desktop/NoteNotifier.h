// SPDX-License-Identifier: MIT
#pragma once

#include "actions/NoteView.h"

#include <QCoreApplication>
#include <QList>
#include <functional>

class Notifications;
class RegistryStore;
struct Notice;

// Shows a due note in its window and, unless the user turned it off, as a desktop
// notification too: on a desktop that cannot keep the window on top, the notification is what
// the user sees. The notification goes when its note is closed or snoozed.
class NoteNotifier : public NoteView
{
    Q_DECLARE_TR_FUNCTIONS(NoteNotifier)

public:
    struct Handlers
    {
        // Brings the note of this file to the front.
        std::function<void(const QString& path)> show;
        // Puts the note of this file and entry off by the given minutes.
        std::function<void(const QString& path, const QString& line, int minutes)> snooze;
    };

    NoteNotifier(NoteView& window, Notifications& notifications, RegistryStore& store, Handlers handlers);

    void showNote(const QString& text, const QString& path, const QString& timeText,
                  const QString& line) override;
    // The note of this file and entry was closed or snoozed: its notification goes.
    void noteClosed(const QString& path, const QString& line);

    // The notice for a note: its time as the title, its first lines as the text.
    static Notice noticeFor(const QString& text, const QString& timeText);
    // Whether due notes are notified; on unless the store's value says "0".
    static bool enabled(const RegistryStore& store);

    static const QString settingsKey;
    static const QString notifyValue;
    static constexpr int SnoozeMinutes = 5;
    static constexpr int MaxLines = 3;
    static constexpr int MaxLineLength = 80;

private:
    NoteView& window;
    Notifications& notifications;
    RegistryStore& store;
    Handlers handlers;
    struct Shown
    {
        QString path;
        QString line;
        quint32 id;
    };
    // The notifications up, with their notes.
    QList<Shown> up;
};
