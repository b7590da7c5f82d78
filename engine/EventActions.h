#pragma once
// What running an entry does beyond the engine's own bookkeeping: programs, sounds, the
// dialer, the mail program and the note window.

#include <QString>

class EventActions
{
public:
    virtual ~EventActions() = default;
    // Carries out the entry in the given place, whose line the engine has just taken apart
    // into the schedule's fields. Returns the full path of a note to show, or nothing.
    virtual QString act(int slot) = 0;
    // Shows the note with the entry's time text and returns once the note is hidden again.
    virtual void showNote(const QString& path, const QString& timeText) = 0;
};
