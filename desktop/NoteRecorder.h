// SPDX-License-Identifier: MIT
#pragma once

#include "engine/DueEntry.h"
#include "engine/Firing.h"

#include <QList>
#include <functional>
#include <optional>

class Clock;

// Turns what became of each shown note into firings: shown, then closed or snoozed until a
// time, each with the entry's line and the time the note was due.
class NoteRecorder
{
public:
    using Recorder = std::function<void(const Firing&)>;

    NoteRecorder(const Clock& clock, Recorder record);

    // The note of this occurrence was handed to the note window.
    void shown(const DueEntry& due);
    // The engine put the note of the entry of this line off until the given time.
    void snoozed(const QString& line, const QDateTime& until);
    // The note of the entry of this line went away: closed, unless a snooze took it first.
    void closed(const QString& line);

private:
    // A firing of the note of this line that is up or waiting, which it then no longer is;
    // nothing when no note of it is.
    std::optional<Firing> takeUp(const QString& line);

    const Clock& clock;
    Recorder record;
    // The notes up or waiting, in the order they were shown.
    QList<DueEntry> up;
};
