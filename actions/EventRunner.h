#pragma once
// Carries out a due entry: starts its program or plays its sound, puts the dialer's number on
// the clipboard, hands a mailed note to the mail program, and shows a note.

#include "EventActions.h"

class Clipboard;
class Clock;
class ErrorBox;
class Launcher;
class NoteView;
class Sound;
class TTimerForm;
struct ScheduleState;

class EventRunner : public EventActions
{
public:
    struct Services
    {
        Launcher& launcher;
        Clipboard& clipboard;
        Sound& sound;
        Clock& clock;
        ErrorBox& errors;
        // The mail program to start for a mailed note: its path, or its name to look for.
        QString mailProgramPath = mailProgram;
    };

    EventRunner(TTimerForm& timerForm, const Services& services, NoteView& noteView);

    QString act(int slot) override;
    void showNote(const QString& path, const QString& timeText) override;

    static const QString mailProgram;
    static const QString dialerProgram;

private:
    TTimerForm& timerForm;
    ScheduleState& s;
    Services services;
    NoteView& noteView;
};
