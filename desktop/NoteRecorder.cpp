// SPDX-License-Identifier: MIT
#include "desktop/NoteRecorder.h"

#include "platform/Clock.h"

namespace {

Firing noteFiring(const DueEntry& due, const QDateTime& ran)
{
    Firing firing;
    firing.due = due.due;
    firing.ran = ran;
    firing.line = due.entry.line();
    firing.outcome = Firing::Outcome::NoteShown;
    return firing;
}

} // namespace

NoteRecorder::NoteRecorder(const Clock& clock, Recorder record) : clock(clock), record(std::move(record)) {}

void NoteRecorder::shown(const DueEntry& due)
{
    up.append(due);
    record(noteFiring(due, clock.now()));
}

void NoteRecorder::snoozed(const QString& line, const QDateTime& until)
{
    std::optional<Firing> firing = takeUp(line);
    if (!firing)
        return;
    firing->outcome = Firing::Outcome::NoteSnoozed;
    firing->until = until;
    record(*firing);
}

void NoteRecorder::closed(const QString& line)
{
    std::optional<Firing> firing = takeUp(line);
    if (!firing)
        return;
    firing->outcome = Firing::Outcome::NoteClosed;
    record(*firing);
}

std::optional<Firing> NoteRecorder::takeUp(const QString& line)
{
    for (auto it = up.begin(); it != up.end(); ++it) {
        if (it->entry.line() == line) {
            const Firing firing = noteFiring(*it, clock.now());
            up.erase(it);
            return firing;
        }
    }
    return std::nullopt;
}
